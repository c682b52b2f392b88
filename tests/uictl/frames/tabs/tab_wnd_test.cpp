// The tab window inside a parent that records what it is told and can veto renames and moves:
// removing tabs, keys, drags, scrolling, squeezing and the places of tabs and buttons.
#include "platform/windows/command_target.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

using namespace platform;

namespace {

struct Notice {
  QEvent::Type type;
  uintptr_t wParam;
  intptr_t lParam;
  friend bool operator==(const Notice&, const Notice&) = default;
};

class RecordingParent : public QWidget {
 public:
  bool event(QEvent* e) override {
    for (QEvent::Type type :
         {UXM_ONCHANGE_ACTIVE_TAB, UXM_ON_RENAME_TAB, UXM_ON_BEFOREMOVE_TAB, UXM_ON_MOVE_TAB, UXM_ON_HSCROLL})
      if (e->type() == type) {
        auto* m = static_cast<RegisteredMessageEvent*>(e);
        notices.push_back({type, m->wParam(), type == UXM_ON_RENAME_TAB ? 0 : m->lParam()});
        m->result = type == UXM_ON_BEFOREMOVE_TAB ? vetoMove : type == UXM_ON_RENAME_TAB ? vetoRename : 0;
        return true;
      }
    return QWidget::event(e);
  }
  std::vector<Notice> notices;
  int vetoMove = 0;
  int vetoRename = 0;
};

void send(QWidget* w, QEvent::Type type, QPoint at) {
  QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

QPoint leftHalf(const Rect& r) { return {r.left + 2, (r.top + r.bottom) / 2}; }
QPoint rightHalf(const Rect& r) { return {r.right - 3, (r.top + r.bottom) / 2}; }

}  // namespace

class TabWndTest : public ::testing::Test {
 protected:
  TabWndTest() {
    parent.resize(400, 300);
    parent.show();
    QApplication::setActiveWindow(&parent);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent, testwait::kPatienceMs));
  }
  CUxTabWnd* make(int style, int width = 400, bool close = true, int location = TabsAtBottom) {
    auto* w = new CUxTabWnd;
    w->Create(style, Rect::fromSize(0, 0, width, 200), &parent, 7, location, close);
    return w;
  }
  QWidget* page(CUxTabWnd* tabs) {
    auto* p = new QWidget(tabs);
    p->setFocusPolicy(Qt::StrongFocus);
    return p;
  }
  void addTabs(CUxTabWnd* tabs, int n, const std::wstring& label = L"Tab") {
    for (int i = 0; i < n; ++i) tabs->AppendTab(page(tabs), label + std::to_wstring(i));
  }
  Rect rectOf(CUxTabWnd* tabs, int i) {
    Rect r;
    tabs->GetTabRectangle(i, r);
    return r;
  }
  std::vector<std::wstring> labels(CUxTabWnd* tabs) {
    std::vector<std::wstring> out;
    for (int i = 0; i < tabs->GetTabsNum(); ++i) {
      std::wstring l;
      tabs->GetTabLabel(i, l);
      out.push_back(l);
    }
    return out;
  }
  Notice change(int now, int before) { return {UXM_ONCHANGE_ACTIVE_TAB, uintptr_t(now), before}; }

  UxLibrary library;
  RecordingParent parent;
};

TEST_F(TabWndTest, RemovingTabsKeepsTheRightTabActiveAndTellsTheParent) {
  CUxTabWnd* tabs = make(TabStyle3DScrolled);
  QWidget* first = page(tabs);
  tabs->AppendTab(first, L"one");
  // The first tab is activated without taking the focus: there was no active tab before.
  EXPECT_EQ(tabs->GetActiveTab(), 0);
  EXPECT_FALSE(first->hasFocus());
  EXPECT_TRUE(first->isVisibleTo(tabs));

  // Removing the only tab is removing all: nothing is active, ids start again, nothing is said.
  tabs->DeleteTab(0);
  EXPECT_EQ(tabs->GetActiveTab(), -1);
  EXPECT_TRUE(parent.notices.empty());
  addTabs(tabs, 3);
  EXPECT_EQ(tabs->GetTabRecord(0)->m_nID, 1);

  // Removing a tab after the active one keeps it and still says so.
  tabs->DeleteTab(2);
  EXPECT_EQ(tabs->GetActiveTab(), 0);
  EXPECT_EQ(parent.notices, std::vector<Notice>{change(0, 0)});

  // A tab's window destroyed by anyone takes its tab with it.
  addTabs(tabs, 2, L"more");
  ASSERT_EQ(tabs->GetTabsNum(), 4);
  delete tabs->GetTabWindow(1);
  EXPECT_EQ(labels(tabs), (std::vector<std::wstring>{L"Tab0", L"more0", L"more1"}));
  EXPECT_EQ(tabs->GetActiveTab(), 0);

  // A tab put in front of the active one leaves that one active and its window shown.
  tabs->ActivateTab(2);
  QWidget* shown = tabs->GetActiveTabWindow();
  tabs->InsertTabAt(page(tabs), L"front", 0);
  EXPECT_EQ(tabs->GetActiveTabWindow(), shown);
  EXPECT_TRUE(shown->isVisibleTo(tabs));

  // Removing a tab before the active one leaves the same window active, a place further left,
  // and says so as a new activation.
  const int active = tabs->GetActiveTab();
  parent.notices.clear();
  tabs->DeleteTab(0);
  EXPECT_EQ(tabs->GetActiveTab(), active - 1);
  EXPECT_EQ(tabs->GetActiveTabWindow(), shown);
  EXPECT_TRUE(shown->isVisibleTo(tabs));
  EXPECT_EQ(parent.notices, std::vector<Notice>{change(active - 1, -1)});
}

TEST_F(TabWndTest, CtrlPageDownWrapsAndASingleTabSwallowsTheKey) {
  CUxTabWnd* tabs = make(TabStyle3DScrolled);
  tabs->AppendTab(page(tabs), L"only");
  QTest::keyClick(tabs->GetTabWindow(0), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(tabs->GetActiveTab(), 0);
  EXPECT_TRUE(parent.notices.empty());

  addTabs(tabs, 2);
  tabs->ActivateTab(2);
  QTest::keyClick(tabs->GetTabWindow(2), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(tabs->GetActiveTab(), 0);
  EXPECT_TRUE(tabs->GetTabWindow(0)->hasFocus());
  QTest::keyClick(tabs, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(tabs->GetActiveTab(), 2);
  EXPECT_EQ(parent.notices, (std::vector<Notice>{change(0, 2), change(2, 0)}));
}

TEST_F(TabWndTest, DraggingATabMovesItOnlyWhereItLandsElsewhere) {
  CUxTabWnd* tabs = make(TabStyle3DScrolled);
  tabs->m_bDragAllowed = true;
  addTabs(tabs, 3);
  auto drag = [&](int from, QPoint to) {
    parent.notices.clear();
    send(tabs, QEvent::MouseButtonPress, leftHalf(rectOf(tabs, from)));
    send(tabs, QEvent::MouseMove, to);
    send(tabs, QEvent::MouseButtonRelease, to);
  };
  // On its own left half: no move, nothing said (the press activated nothing new).
  drag(0, leftHalf(rectOf(tabs, 0)));
  EXPECT_TRUE(parent.notices.empty());

  // Tab 1's right half of its own: both notices, and the order stays.
  drag(1, rightHalf(rectOf(tabs, 1)));
  EXPECT_EQ(parent.notices, (std::vector<Notice>{change(1, 0), {UXM_ON_BEFOREMOVE_TAB, 1, 2}, {UXM_ON_MOVE_TAB, 1, 2}}));
  EXPECT_EQ(labels(tabs), (std::vector<std::wstring>{L"Tab0", L"Tab1", L"Tab2"}));

  // Tab 0 after tab 2 ends at index 2 and active; a vetoed move changes nothing.
  drag(0, rightHalf(rectOf(tabs, 2)));
  EXPECT_EQ(labels(tabs), (std::vector<std::wstring>{L"Tab1", L"Tab2", L"Tab0"}));
  EXPECT_EQ(tabs->GetActiveTab(), 2);
  parent.vetoMove = 1;
  drag(2, leftHalf(rectOf(tabs, 0)));
  EXPECT_EQ(labels(tabs), (std::vector<std::wstring>{L"Tab1", L"Tab2", L"Tab0"}));

  // A press on the strip beside the tabs starts no drag.
  parent.vetoMove = 0;
  const Rect area = tabs->TabsArea();
  send(tabs, QEvent::MouseButtonPress, {area.right - 2, (area.top + area.bottom) / 2});
  send(tabs, QEvent::MouseMove, leftHalf(rectOf(tabs, 0)));
  send(tabs, QEvent::MouseButtonRelease, leftHalf(rectOf(tabs, 0)));
  EXPECT_EQ(labels(tabs), (std::vector<std::wstring>{L"Tab1", L"Tab2", L"Tab0"}));
}

TEST_F(TabWndTest, RenamingAsksTheParentAndKeepsTheBoxOnRefusal) {
  CUxTabWnd* tabs = make(TabStyle3DScrolled);
  tabs->m_bRenameAllowed = true;
  addTabs(tabs, 2);
  ASSERT_TRUE(tabs->BeginTabRename(1));
  QLineEdit* edit = tabs->RenameEdit();
  ASSERT_TRUE(edit);
  edit->setText(QStringLiteral("renamed"));
  parent.vetoRename = 1;
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(tabs->RenameEdit(), edit);
  EXPECT_EQ(labels(tabs)[1], L"Tab1");
  parent.vetoRename = 0;
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_FALSE(tabs->RenameEdit());
  EXPECT_EQ(labels(tabs)[1], L"renamed");
}

TEST_F(TabWndTest, ScrollButtonsStopAtTheEndsAndTabsComeIntoView) {
  CUxTabWnd* tabs = make(TabStyle3DScrolled, 200);
  addTabs(tabs, 12, L"A long label ");
  ASSERT_GT(tabs->ScrollOffsetMax(), 0);
  CUxTabStripButton* left = tabs->ScrollButton(1);
  CUxTabStripButton* right = tabs->ScrollButton(2);
  EXPECT_FALSE(left->isEnabled());
  for (int i = 0; i < 200 && right->isEnabled(); ++i) right->click();
  EXPECT_EQ(tabs->ScrollOffset(), tabs->ScrollOffsetMax());
  for (int i = 0; i < 200 && left->isEnabled(); ++i) left->click();
  EXPECT_EQ(tabs->ScrollOffset(), 0);

  tabs->ActivateTab(11);
  const Rect area = tabs->TabsArea(), last = rectOf(tabs, 11);
  EXPECT_TRUE(last.left >= area.left && last.right <= area.right);

  // With the close button off the scroll buttons close up at the right end.
  CUxTabWnd* closeless = make(TabStyle3DScrolled, 200, false);
  EXPECT_EQ(closeless->ScrollButton(4)->width(), 0);
  EXPECT_EQ(closeless->ScrollButton(2)->geometry().right() + 1, closeless->ScrollButton(4)->x());
  EXPECT_GT(closeless->TabsArea().width(), tabs->TabsArea().width());

  // A tab wider than the area is never scrolled to.
  CUxTabWnd* narrow = make(TabStyle3DScrolled, 120);
  addTabs(narrow, 1);
  narrow->AppendTab(page(narrow), L"A label far wider than the whole of this narrow strip");
  const int before = narrow->ScrollOffset();
  EXPECT_TRUE(narrow->ScrollTabIntoView(1));
  EXPECT_EQ(narrow->ScrollOffset(), before);

  // In the slanted look the left button does nothing while the first tab is shown.
  CUxTabWnd* slanted = make(TabStyle3DSlanted, 200);
  addTabs(slanted, 8, L"Slanted ");
  slanted->ScrollButton(1)->setEnabled(true);
  slanted->ScrollButton(1)->click();
  EXPECT_EQ(slanted->ScrollOffset(), 0);
  EXPECT_EQ(slanted->GetFirstShownTab(), 0);
}

TEST_F(TabWndTest, PlacesTabsByStyleAndSize) {
  // Squeezed: short tabs keep their width, long ones share the rest and get a tooltip.
  CUxTabWnd* squeezed = make(TabStyle3D, 300);
  squeezed->AppendTab(page(squeezed), L"a");
  for (int i = 0; i < 3; ++i) squeezed->AppendTab(page(squeezed), L"A very long label that cannot fit " + std::to_wstring(i));
  const Rect shortTab = rectOf(squeezed, 0), longTab = rectOf(squeezed, 1);
  EXPECT_EQ(shortTab.width(), squeezed->GetTabRecord(0)->m_nNeededWidth);
  EXPECT_LT(longTab.width(), squeezed->GetTabRecord(1)->m_nNeededWidth);
  EXPECT_LE(rectOf(squeezed, 3).right, squeezed->TabsArea().right + 3);
  EXPECT_EQ(squeezed->TabTipAt({longTab.left + 2, longTab.top + 2}),
            L"A very long label that cannot fit 0");
  EXPECT_TRUE(squeezed->TabTipAt({shortTab.left + 2, shortTab.top + 2}).empty());

  // With every share too small for the text margin, all tabs are equally wide.
  CUxTabWnd* crowded = make(TabStyle3D, 60);
  addTabs(crowded, 20, L"Crowded ");
  const int equal = (crowded->TabsArea().width() + 6) / 20;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(rectOf(crowded, i).width(), equal);

  // Tabs at the top hang 2 pixels below the area's top.
  CUxTabWnd* top = make(TabStyle3DScrolled, 300, true, TabsAtTop);
  addTabs(top, 2);
  EXPECT_EQ(rectOf(top, 1).top, top->TabsArea().top + 2);

  // A flat strip lower than its row shows no tabs and flat buttons.
  CUxTabWnd* flat = make(TabStyleFlat);
  addTabs(flat, 2);
  flat->resize(300, 10);
  EXPECT_EQ(flat->TabsArea().width(), 0);
  EXPECT_EQ(flat->ScrollButton(1)->height(), 0);
}

TEST_F(TabWndTest, TheSharedScrollBarScrollsTheActiveWindow) {
  CUxTabWnd* tabs = make(TabStyleFlatSharedScroll, 400);
  auto* wide = new QScrollArea(tabs);
  auto* content = new QWidget;
  content->resize(2000, 50);
  wide->setWidget(content);
  tabs->AppendTab(wide, L"wide");
  tabs->AppendTab(page(tabs), L"plain");
  tabs->resize(401, 200);
  QScrollBar* shared = tabs->SharedScrollBar();
  ASSERT_TRUE(tabs->SyncSharedScrollBar());
  EXPECT_TRUE(shared->isEnabled());
  EXPECT_GT(shared->width(), 0);
  EXPECT_EQ(shared->maximum(), wide->horizontalScrollBar()->maximum());
  EXPECT_EQ(wide->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

  shared->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  const int step = wide->horizontalScrollBar()->singleStep();
  EXPECT_EQ(wide->horizontalScrollBar()->value(), step);
  EXPECT_EQ(parent.notices.back(), (Notice{UXM_ON_HSCROLL, 1u | (uintptr_t(step) << 16), 0}));

  // A window with nothing to scroll leaves the bar disabled.
  tabs->ActivateTab(1);
  EXPECT_FALSE(shared->isEnabled());
}
