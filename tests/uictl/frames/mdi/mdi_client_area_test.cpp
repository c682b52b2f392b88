// The MDI client area in a frame of its own: tabs off by default, one tab per shown child with
// shared icon images, no tab for a child on its way out, and the "Window" menu's child items.
#include "platform/windows/menu_handles.h"
#include "uictl/frames/mdi/mdi_child_wnd.h"
#include "uictl/frames/mdi/mdi_client_area.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QPixmap>
#include <functional>

using namespace platform;

namespace {

QIcon colourIcon(Qt::GlobalColor colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(colour);
  return QIcon(pixmap);
}

// A frame that does something of its own when the active tab changes.
class ReactingFrame : public QWidget {
 public:
  bool event(QEvent* e) override {
    if (e->type() == UXM_ONCHANGE_ACTIVE_TAB && onTabChange) onTabChange();
    return QWidget::event(e);
  }
  std::function<void()> onTabChange;
};

std::vector<std::wstring> tabLabels(CUxTabWnd& tabs) {
  std::vector<std::wstring> labels;
  for (int i = 0; i < tabs.GetTabsNum(); ++i) {
    std::wstring label;
    tabs.GetTabLabel(i, label);
    labels.push_back(label);
  }
  return labels;
}

}  // namespace

class MdiClientAreaTest : public ::testing::Test {
 protected:
  MdiClientAreaTest() {
    frame.resize(640, 480);
    area = new MDIClientAreaWnd(&frame);
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));
  }
  CUxMDIChildWnd* addChild(const QString& title, const QIcon& icon = {}) {
    auto* child = new CUxMDIChildWnd;
    child->setWidget(new QWidget);
    child->setWindowTitle(title);
    if (!icon.isNull()) child->setWindowIcon(icon);
    area->addSubWindow(child);
    child->show();
    return child;
  }

  UxLibrary library;
  ReactingFrame frame;
  MDIClientAreaWnd* area;
};

TEST_F(MdiClientAreaTest, TabsAreOffByDefaultAndTheClientTakesTheWholeRectangle) {
  EXPECT_FALSE(area->AreMDITabsEnabled());
  EXPECT_FALSE(area->Tabs().isVisible());
  addChild(QStringLiteral("one"));
  EXPECT_EQ(area->Tabs().GetTabsNum(), 0);
  QRect rect(10, 20, 500, 400);
  area->CalcWindowRect(rect);
  EXPECT_EQ(rect, QRect(10, 20, 500, 400));
  EXPECT_EQ(area->geometry(), rect);
  EXPECT_FALSE(area->Tabs().isVisible());

  // Switched on, the strip takes the rectangle and the client exactly its window area.
  area->EnableMDITabs(true);
  rect = QRect(10, 20, 500, 400);
  area->CalcWindowRect(rect);
  EXPECT_TRUE(area->Tabs().isVisible());
  EXPECT_EQ(area->Tabs().geometry(), QRect(10, 20, 500, 400));
  EXPECT_EQ(rect, area->Tabs().WindowArea().toQRect().translated(10, 20));
  EXPECT_EQ(area->geometry(), rect);
  EXPECT_LT(rect.height(), 400 - area->Tabs().GetTabsHeight());
}

TEST_F(MdiClientAreaTest, ChildrenGetTabsWithSharedIconsAndFollowTheirTitles) {
  area->EnableMDITabs(true);
  const QIcon red = colourIcon(Qt::red);
  CUxMDIChildWnd* first = addChild(QStringLiteral("first"), red);
  CUxMDIChildWnd* second = addChild(QStringLiteral("second"), red);
  EXPECT_EQ(area->TabIcons().size(), 1u);
  EXPECT_EQ(area->Tabs().GetTabImage(0), 0);
  EXPECT_EQ(area->Tabs().GetTabImage(1), 0);
  addChild(QStringLiteral("third"), colourIcon(Qt::blue));
  EXPECT_EQ(area->TabIcons().size(), 2u);
  EXPECT_EQ(area->Tabs().GetTabImage(2), 1);

  first->setWindowTitle(QStringLiteral("first, edited"));
  EXPECT_EQ(tabLabels(area->Tabs()), (std::vector<std::wstring>{L"first, edited", L"second", L"third"}));

  // Activating a child makes its tab the active one, and a tab click activates its child.
  area->setActiveSubWindow(first);
  EXPECT_EQ(area->Tabs().GetActiveTab(), 0);
  area->Tabs().ActivateTab(1);
  EXPECT_EQ(area->activeSubWindow(), second);

  // Hidden, a child loses its tab; shown again it comes back last and active.
  first->hide();
  second->setWindowTitle(QStringLiteral("second, edited"));
  EXPECT_EQ(tabLabels(area->Tabs()), (std::vector<std::wstring>{L"second, edited", L"third"}));
  first->show();
  EXPECT_EQ(tabLabels(area->Tabs()), (std::vector<std::wstring>{L"second, edited", L"third", L"first, edited"}));
  EXPECT_EQ(area->Tabs().GetActiveTab(), 2);
}

TEST_F(MdiClientAreaTest, AChildOnItsWayOutNeverGetsItsTabBack) {
  area->EnableMDITabs(true);
  CUxMDIChildWnd* stays = addChild(QStringLiteral("stays"));
  CUxMDIChildWnd* leaving = addChild(QStringLiteral("leaving"));
  ASSERT_EQ(area->Tabs().GetTabsNum(), 2);
  // The frame retitles a child while the leaving one's tab goes: the leaving child is still
  // shown and listed then.
  std::vector<int> tabsSeen;
  frame.onTabChange = [&] {
    stays->setWindowTitle(QStringLiteral("renamed meanwhile"));
    tabsSeen.push_back(area->Tabs().GetTabsNum());
  };
  delete leaving;
  EXPECT_EQ(tabsSeen, std::vector<int>{1});
  EXPECT_EQ(tabLabels(area->Tabs()), std::vector<std::wstring>{L"renamed meanwhile"});

  // Closed, a child goes with its tab.
  frame.onTabChange = nullptr;
  stays->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(area->Tabs().GetTabsNum(), 0);
}

TEST_F(MdiClientAreaTest, TheWindowMenuListsNineChildrenAndActivatesThem) {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 0xE130, L"新しいウィンドウ(&N)");
  std::vector<CUxMDIChildWnd*> children;
  for (int i = 0; i < 11; ++i) children.push_back(addChild(QStringLiteral("doc %1").arg(i)));
  area->setActiveSubWindow(children[2]);
  area->RefreshWindowMenu(menu);
  // The menu's own item, a separator, nine children and the item for the rest.
  ASSERT_EQ(getMenuItemCount(menu), 12);
  EXPECT_TRUE(getMenuState(menu, 1, MfByPosition) & MfSeparator);
  EXPECT_EQ(getMenuItemId(menu, 2), 0xFF00u);
  EXPECT_EQ(getMenuString(menu, 2, MfByPosition), L"&1 doc 0");
  EXPECT_EQ(getMenuItemId(menu, 10), 0xFF08u);
  EXPECT_EQ(getMenuItemId(menu, 11), 0xFF09u);
  EXPECT_TRUE(getMenuState(menu, 0xFF02, MfByCommand) & MfChecked);
  EXPECT_FALSE(getMenuState(menu, 0xFF00, MfByCommand) & MfChecked);

  EXPECT_TRUE(area->RunWindowCommand(0xFF04));
  EXPECT_EQ(area->activeSubWindow(), children[4]);

  // An active child beyond the ninth takes the ninth place; fewer children, no item for more.
  area->setActiveSubWindow(children[10]);
  area->RefreshWindowMenu(menu);
  EXPECT_EQ(getMenuString(menu, 0xFF08, MfByCommand), L"&9 doc 10");
  EXPECT_TRUE(getMenuState(menu, 0xFF08, MfByCommand) & MfChecked);
  for (int i = 0; i < 9; ++i) delete children[size_t(i)];
  area->RefreshWindowMenu(menu);
  EXPECT_EQ(getMenuItemCount(menu), 4);
  EXPECT_EQ(getMenuState(menu, 0xFF09, MfByCommand), kMenuError);
  destroyMenu(menu);
}
