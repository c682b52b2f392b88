// Buttons dragged between bars in customise mode: moved, copied with Ctrl, dropped outside
// every bar, cancelled with Escape, and dropped back in their own place.
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"

#include "toolbar_test_support.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Offscreen Qt cannot drag: this delivers the enter, move and drop events a drag would, along a
// path of points (a null widget is a point outside every bar, in screen coordinates).
class ScriptedDrag : public ToolbarDragDriver {
 public:
  struct Step {
    QWidget* target;
    QPoint point;
  };
  ToolbarDragResult DoDragDrop(QWidget*, std::unique_ptr<QMimeData> data, unsigned, const QRect&,
                               ToolbarDropSource& source) override {
    ToolbarDragResult result;
    result.started = source.bDragStarted = true;
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QWidget* current = nullptr;
    deleteCursor.clear();
    for (const Step& step : path) {
      if (step.target != current) {
        if (current) {
          QDragLeaveEvent leave;
          QCoreApplication::sendEvent(current, &leave);
        }
        current = step.target;
        if (current) {
          QDragEnterEvent enter(step.point, actions, data.get(), Qt::LeftButton, modifiers);
          QCoreApplication::sendEvent(current, &enter);
        }
      } else if (current) {
        QDragMoveEvent move(step.point, actions, data.get(), Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(current, &move);
      }
      deleteCursor.push_back(source.bShowDeleteCursor);
    }
    const Step& last = path.back();
    result.endPoint = last.target ? last.target->mapToGlobal(last.point) : last.point;
    if (escape || !current) {
      if (current) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(current, &leave);
      }
      result.escapePressed = escape;
      return result;
    }
    QDropEvent drop(last.point, actions, data.get(), Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(current, &drop);
    if (drop.isAccepted()) result.effect = drop.dropAction() == Qt::CopyAction ? DropEffectCopy : DropEffectMove;
    return result;
  }
  std::vector<Step> path;
  Qt::KeyboardModifiers modifiers;
  bool escape = false;
  std::vector<bool> deleteCursor;
};

std::vector<unsigned> commandsOf(const CUxToolBar* bar) {
  std::vector<unsigned> ids;
  for (int i = 0; i < bar->GetCount(); ++i) ids.push_back(bar->GetButton(i)->m_nCommandId);
  return ids;
}

}  // namespace

class ToolbarDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setToolbarDragDriver(&drag);
    frame.resize(500, 200);
    frame.show();
    first = makeBar(&frame, 1);
    second = makeBar(&frame, 2, kOtherResource);
    second->move(0, 60);
    CUxToolBar::SetCustomizeMode(true);
  }
  void TearDown() override {
    CUxToolBar::SetCustomizeMode(false);
    setToolbarDragDriver(nullptr);
  }
  // Presses on a button of `from` (with the modifiers of the drag) and lets the driver run.
  void dragFrom(CUxToolBar* from, int index, std::vector<ScriptedDrag::Step> path, Qt::KeyboardModifiers modifiers = {}) {
    drag.path = std::move(path);
    drag.modifiers = modifiers;
    QTest::mousePress(from, Qt::LeftButton, modifiers, centreOf(from, index));
    QTest::mouseRelease(from, Qt::LeftButton, modifiers, centreOf(from, index));
  }
  UxLibrary library;
  ScriptedDrag drag;
  TestFrame frame;
  CUxToolBar* first = nullptr;
  CUxToolBar* second = nullptr;
};

TEST_F(ToolbarDragTest, MoveCopyDeleteAndEscapeBetweenBars) {
  // Moved onto the other bar before its first button.
  const QPoint startOfSecond = second->ClientToWidget({second->GetItemRect(0).left + 2, 5});
  dragFrom(first, 0, {{first, centreOf(first, 0)}, {second, startOfSecond}});
  EXPECT_EQ(commandsOf(first), (std::vector<unsigned>{101, 0, 102}));
  EXPECT_EQ(commandsOf(second), (std::vector<unsigned>{100, 200, 201}));
  EXPECT_EQ(drag.deleteCursor, (std::vector<bool>{false, false}));
  EXPECT_EQ(second->m_iDragIndex, -1);
  EXPECT_TRUE(second->m_rectDrag.isEmpty());

  // With Ctrl it is copied after the last button and stays where it was.
  const Rect last = second->GetItemRect(2);
  dragFrom(first, 0, {{second, second->ClientToWidget({last.right - 2, 5})}}, Qt::ControlModifier);
  EXPECT_EQ(commandsOf(first), (std::vector<unsigned>{101, 0, 102}));
  EXPECT_EQ(commandsOf(second), (std::vector<unsigned>{100, 200, 201, 101}));

  // Escape keeps it; dropped outside every bar, it is gone.
  const QPoint away = frame.mapToGlobal(QPoint(450, 180));
  drag.escape = true;
  dragFrom(second, 3, {{second, centreOf(second, 3)}, {nullptr, away}});
  EXPECT_EQ(second->GetCount(), 4);
  drag.escape = false;
  dragFrom(second, 3, {{second, centreOf(second, 3)}, {nullptr, away}});
  EXPECT_EQ(commandsOf(second), (std::vector<unsigned>{100, 200, 201}));
  EXPECT_EQ(drag.deleteCursor, (std::vector<bool>{false, true}));

  // A locked bar takes nothing.
  CUxToolBar* locked = makeBar(&frame, 3, kOtherResource, CbrsAlignTop, true);
  dragFrom(first, 0, {{locked, centreOf(locked, 0)}}, Qt::ControlModifier);
  EXPECT_EQ(locked->GetCount(), 2);
}

TEST_F(ToolbarDragTest, DroppedInItsOwnPlaceAButtonStartsOrEndsAGroup) {
  // 101 moved 8 pixels on along the bar: a group begins before it.
  const QPoint start = centreOf(first, 1);
  dragFrom(first, 1, {{first, start}, {first, start + QPoint(8, 0)}});
  EXPECT_EQ(commandsOf(first), (std::vector<unsigned>{100, 0, 101, 0, 102}));
  // Moved back 8 pixels, the group ends; a move of less than 6 pixels changes nothing.
  const QPoint again = centreOf(first, 2);
  dragFrom(first, 2, {{first, again}, {first, again + QPoint(-3, 0)}});
  EXPECT_EQ(first->GetCount(), 5);
  dragFrom(first, 2, {{first, again}, {first, again + QPoint(-8, 0)}});
  EXPECT_EQ(commandsOf(first), (std::vector<unsigned>{100, 101, 0, 102}));
  // Moved along its own bar to another place.
  const Rect end = first->GetItemRect(3);
  dragFrom(first, 0, {{first, centreOf(first, 0)}, {first, first->ClientToWidget({end.right - 2, 5})}});
  EXPECT_EQ(commandsOf(first), (std::vector<unsigned>{101, 0, 102, 100}));
}
