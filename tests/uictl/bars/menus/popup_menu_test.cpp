// Popup menus driven as a user drives them: real menus, a frame that keeps the active popup and
// routes keys, and mouse events delivered to the widget under the point.
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/commands/key_focus.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/ux_registry.h"

#include "bars_test_support.h"
#include "popup_test_support.h"
#include "patience.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace platform;

namespace {

MenuHandle fileMenu() {
  const MenuHandle recent = createPopupMenu();
  appendMenu(recent, MfString, 110, L"One");
  appendMenu(recent, MfString, 111, L"Two");
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 100, L"&Open\tCtrl+O");
  appendMenu(menu, MfString, 101, L"&Save");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfPopup, recent.id(), L"&Recent");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString | MfGrayed, 102, L"E&xit");
  return menu;
}

MenuHandle longMenu(int items) {
  const MenuHandle menu = createPopupMenu();
  for (int i = 0; i < items; ++i) appendMenu(menu, MfString, 300u + static_cast<unsigned>(i), L"Item " + std::to_wstring(i));
  return menu;
}

}  // namespace

class PopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.setGeometry(0, 0, 700, 700);
    frame.show();
    bar = new CUxToolBar(&frame);
    bar->Create(&frame, 0x50000000u | CbrsAlignTop, 7);
    for (const wchar_t* title : {L"&File", L"&Edit"}) {
      auto button = std::make_unique<CUxToolbarMenuButton>(0, fileMenu(), -1, title);
      button->m_bShowText = true;
      bar->InsertButton(std::move(button));
    }
    bar->resize(bar->sizeHint());
    bar->AdjustLayout();
    bar->show();
    file = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(0));
  }
  void TearDown() override {
    closeAllPopups();
    toolbarClassData().bCustomizeMode = false;
    basicCommands().clear();
  }
  CUxPopupMenu* contextMenu(int x, int y, MenuHandle menu) {
    auto* popup = new CUxPopupMenu;
    if (!popup->Create(&frame, x, y, menu, false, true)) return nullptr;
    return popup;
  }
  // The desktop's delay as the next popup reads it.
  static void useMenuShowDelay(const wchar_t* milliseconds) {
    CUxRegistry writer;
    ASSERT_TRUE(writer.CreateKey(L"Control Panel\\Desktop"));
    ASSERT_TRUE(writer.Write(L"MenuShowDelay", milliseconds));
    CUxPopupMenuBar::m_nMenuShowDelay = -1;
  }
  CUxPopupMenu* openFile() {
    mouseAt(QEvent::MouseButtonPress, itemCentre(bar, 0));
    // The pointer's own move events arrive before the test goes on.
    settle();
    return file->m_pPopupMenu;
  }

  UxLibrary library;
  ScopedRegistry registry;
  MenuFrame frame;
  CUxToolBar* bar = nullptr;
  CUxToolbarMenuButton* file = nullptr;
};

TEST_F(PopupMenuTest, AMenuBecomesItemsAtTheAskedPlace) {
  frame.unanswered.insert(102);
  CUxPopupMenu* popup = contextMenu(-1, -1, fileMenu());
  ASSERT_TRUE(popup);
  EXPECT_TRUE(popup->isVisible());
  EXPECT_FALSE(popup->isActiveWindow());
  EXPECT_EQ(popup->pos(), frame.mapToGlobal(QPoint(5, 5)));
  EXPECT_EQ(frame.active, popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  ASSERT_EQ(items->GetCount(), 6);
  EXPECT_TRUE(items->GetButton(2)->m_nStyle & kStyleSeparator);
  EXPECT_EQ(items->GetButton(3)->m_nCommandId, kSubMenuCommand);
  EXPECT_TRUE(items->GetButton(5)->m_nStyle & kStyleDisabled);
  // The tab between label and shortcut makes room.
  EXPECT_GT(items->GetButton(0)->m_rect.width(), 0);

  // Exported again, the menu keeps its items.
  const MenuHandle exported = items->ExportToMenu();
  EXPECT_EQ(getMenuItemCount(exported), 6);
  EXPECT_EQ(getMenuItemCount(getSubMenu(exported, 3)), 2);
  destroyMenu(exported);

  // A separator neither starts the items nor follows another.
  const MenuHandle ragged = createPopupMenu();
  appendMenu(ragged, MfSeparator, 0);
  appendMenu(ragged, MfString, 100, L"&Open");
  appendMenu(ragged, MfSeparator, 0);
  appendMenu(ragged, MfSeparator, 0);
  appendMenu(ragged, MfString, 101, L"&Save");
  CUxPopupMenu* tidy = contextMenu(10, 10, ragged);
  ASSERT_TRUE(tidy);
  EXPECT_EQ(tidy->GetMenuBar()->GetCount(), 3);

  auto* empty = contextMenu(10, 10, createPopupMenu());
  ASSERT_TRUE(empty);
  const int shadow = empty->GetShadowSize();
  EXPECT_EQ(empty->size(), QSize(56 + shadow, 26 + shadow));
}

TEST_F(PopupMenuTest, KeysWalkTheItemsOpenSubmenusAndPostTheChosenCommandOnceTheChainIsGone) {
  CUxPopupMenu* popup = contextMenu(50, 50, fileMenu());
  ASSERT_TRUE(popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  frame.press(Qt::Key_Up);
  EXPECT_EQ(items->GetHighlightedButton(), 5);
  frame.press(Qt::Key_Down);
  EXPECT_EQ(items->GetHighlightedButton(), 0);
  frame.press(Qt::Key_Down);
  frame.press(Qt::Key_Down);
  EXPECT_EQ(items->GetHighlightedButton(), 3) << "separators are skipped";

  frame.press(Qt::Key_Right);
  auto* recent = dynamic_cast<CUxToolbarMenuButton*>(items->GetButton(3));
  ASSERT_TRUE(recent->m_pPopupMenu);
  CUxPopupMenu* sub = recent->m_pPopupMenu;
  EXPECT_EQ(frame.active, sub);
  EXPECT_EQ(sub->GetMenuBar()->GetHighlightedButton(), 0);
  EXPECT_GE(sub->x(), popup->x() + popup->GetFinalSize().cx);

  frame.press(Qt::Key_Escape);
  settle();
  EXPECT_EQ(openPopups(), std::vector<CUxPopupMenu*>{popup}) << "Escape closes only the innermost popup";
  EXPECT_EQ(frame.active, popup);

  frame.press(Qt::Key_S);
  EXPECT_TRUE(frame.commands.empty()) << "the command is posted";
  settle();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));
  EXPECT_TRUE(openPopups().empty());
  EXPECT_FALSE(frame.active);
}

TEST_F(PopupMenuTest, RightAndLeftMoveTheOpenMenuAlongTheToolbar) {
  ASSERT_TRUE(openFile());
  auto* edit = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(1));
  frame.press(Qt::Key_Right);
  settle();
  EXPECT_FALSE(file->m_pPopupMenu);
  ASSERT_TRUE(edit->m_pPopupMenu);
  EXPECT_EQ(edit->m_pPopupMenu->GetMenuBar()->GetHighlightedButton(), 0);
  frame.press(Qt::Key_Left);
  settle();
  EXPECT_TRUE(file->m_pPopupMenu);
  EXPECT_FALSE(edit->m_pPopupMenu);
  EXPECT_EQ(openPopups().size(), 1u);

  // A second click on the open title closes its menu.
  mouseAt(QEvent::MouseButtonRelease, itemCentre(bar, 0));
  mouseAt(QEvent::MouseButtonPress, itemCentre(bar, 0));
  settle();
  EXPECT_FALSE(file->m_pPopupMenu);
  EXPECT_TRUE(openPopups().empty());
}

TEST_F(PopupMenuTest, ShortenedMenusHideRarelyUsedCommandsUntilCtrlDown) {
  CUxToolBar::AddBasicCommand(100);
  for (int i = 0; i < 20; ++i) commandUsage().AddCmd(102);
  CUxPopupMenu* popup = openFile();
  ASSERT_TRUE(popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  EXPECT_FALSE(items->AreAllCommandsShown());
  // Open, the submenu, Exit and the show-all item; Save is hidden.
  EXPECT_EQ(items->CommandToIndex(101), -1);
  EXPECT_TRUE(dynamic_cast<CUxShowAllButton*>(items->GetButton(items->GetCount() - 1)));

  const QPoint where = popup->pos();
  QTest::keyClick(&frame, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_TRUE(items->AreAllCommandsShown());
  EXPECT_GE(items->CommandToIndex(101), 0);
  EXPECT_EQ(popup->pos(), where) << "shown again in place";
  closeAllPopups();

  // A hidden item's mnemonic runs it.
  ASSERT_TRUE(openFile());
  frame.press(Qt::Key_S);
  settle();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));
}

TEST_F(PopupMenuTest, SubmenusOpenAndCloseAfterTheMenuShowDelay) {
  useMenuShowDelay(L"40");
  CUxPopupMenu* popup = contextMenu(50, 50, fileMenu());
  ASSERT_TRUE(popup);
  EXPECT_EQ(CUxPopupMenuBar::m_nMenuShowDelay, 40);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  auto* recent = dynamic_cast<CUxToolbarMenuButton*>(items->GetButton(3));
  mouseAt(QEvent::MouseMove, itemCentre(items, 3));
  mouseAt(QEvent::MouseMove, itemCentre(items, 3) + QPoint(1, 0));
  EXPECT_FALSE(recent->m_pPopupMenu);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recent->m_pPopupMenu; }, testwait::kPatienceMs));

  // Leaving for another item closes it after the delay.
  mouseAt(QEvent::MouseMove, itemCentre(items, 0));
  EXPECT_TRUE(recent->m_pPopupMenu);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !recent->m_pPopupMenu; }, testwait::kPatienceMs));
  settle();

  // Unless the pointer reaches the submenu first.
  mouseAt(QEvent::MouseMove, itemCentre(items, 3));
  ASSERT_TRUE(QTest::qWaitFor([&] { return recent->m_pPopupMenu; }, testwait::kPatienceMs));
  CUxPopupMenuBar* subItems = recent->m_pPopupMenu->GetMenuBar();
  mouseAt(QEvent::MouseMove, itemCentre(items, 0));
  mouseAt(QEvent::MouseMove, itemCentre(subItems, 0));
  mouseAt(QEvent::MouseMove, itemCentre(subItems, 0) + QPoint(1, 0));
  QTest::qWait(150);
  EXPECT_TRUE(recent->m_pPopupMenu);
}

TEST_F(PopupMenuTest, ShowingAllCommandsWhileASubmenuWaitsToOpenOrCloseLeavesNoTimerBehind) {
  useMenuShowDelay(L"40");
  CUxToolBar::AddBasicCommand(100);
  for (int i = 0; i < 20; ++i) commandUsage().AddCmd(102);
  CUxPopupMenu* popup = openFile();
  ASSERT_TRUE(popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  const QPoint recent = itemCentre(items, items->CommandToIndex(kSubMenuCommand));
  mouseAt(QEvent::MouseMove, recent);
  mouseAt(QEvent::MouseMove, recent + QPoint(1, 0));
  ASSERT_TRUE(QTest::qWaitFor([&] { return openPopups().size() == 2u; }, testwait::kPatienceMs));
  // The click rebuilds the items while the submenu waits to close and show-all to open.
  const QPoint showAll = itemCentre(items, items->GetCount() - 1);
  for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) mouseAt(type, showAll);
  QTest::qWait(200);
  settle();
  EXPECT_TRUE(items->AreAllCommandsShown());
  EXPECT_EQ(openPopups(), std::vector<CUxPopupMenu*>{popup});
}

TEST_F(PopupMenuTest, TheReleaseOfTheOpeningClickChoosesNothingButADragFromTheTitleDoes) {
  const QPoint cursor(120, 120);
  QCursor::setPos(cursor);
  CUxPopupMenu* popup = contextMenu(cursor.x() - 5, cursor.y() - 5, fileMenu());
  ASSERT_TRUE(popup);
  mouseAt(QEvent::MouseButtonRelease, cursor);
  settle();
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_EQ(openPopups().size(), 1u);
  mouseAt(QEvent::MouseButtonPress, cursor);
  mouseAt(QEvent::MouseButtonRelease, cursor);
  settle();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{100, 0}}));
  frame.commands.clear();

  CUxPopupMenu* dropped = openFile();
  ASSERT_TRUE(dropped);
  const QPoint save = itemCentre(dropped->GetMenuBar(), 1);
  mouseAt(QEvent::MouseMove, save);
  mouseAt(QEvent::MouseMove, save + QPoint(1, 0));
  mouseAt(QEvent::MouseButtonRelease, save);
  EXPECT_TRUE(frame.commands.empty());
  settle();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));
  EXPECT_TRUE(openPopups().empty());
  EXPECT_FALSE(file->m_pPopupMenu);
}

TEST_F(PopupMenuTest, RefusedPopupsNeverShowAndDeactivationClosesUnlessInACommand) {
  frame.refuse = true;
  EXPECT_FALSE(file->OpenPopupMenu());
  settle();
  EXPECT_TRUE(openPopups().empty());
  EXPECT_FALSE(file->m_pPopupMenu);
  frame.refuse = false;

  CUxPopupMenu* popup = contextMenu(50, 50, fileMenu());
  ASSERT_TRUE(popup);
  popup->GetMenuBar()->SetInCommand(true);
  popup->OnActivateApp(false);
  settle();
  EXPECT_EQ(openPopups().size(), 1u);
  popup->GetMenuBar()->SetInCommand(false);
  popup->OnActivateApp(false);
  settle();
  EXPECT_TRUE(openPopups().empty());

  // A bar that goes with its menu open takes the popup along.
  ASSERT_TRUE(openFile());
  delete bar;
  settle();
  EXPECT_TRUE(openPopups().empty());
}

TEST_F(PopupMenuTest, PlacementFlipsAndScrollsOnTheWorkArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // A submenu without room on the right opens on the parent's left.
  CUxPopupMenu* popup = contextMenu(area.right() - 60, 50, fileMenu());
  ASSERT_TRUE(popup);
  EXPECT_LE(popup->x() + popup->width(), area.right() + 1);
  popup->GetMenuBar()->OnKey(VkDown);
  popup->GetMenuBar()->OnKey(VkDown);
  popup->GetMenuBar()->OnKey(VkDown);
  frame.press(Qt::Key_Right);
  CUxPopupMenu* sub = popup->GetSelItem()->m_pPopupMenu;
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->x() + sub->GetFinalSize().cx, popup->x());
  closeAllPopups();

  // Near the bottom, a menu opens above its button.
  bar->move(0, area.bottom() - bar->height() - 2);
  frame.setGeometry(0, 0, 700, area.height());
  CUxPopupMenu* above = openFile();
  ASSERT_TRUE(above);
  EXPECT_EQ(above->y() + above->GetFinalSize().cy, bar->mapToGlobal(bar->ClientToWidget({0, file->m_rect.top})).y());
  closeAllPopups();

  // Too tall for either side: the larger side, with scroll buttons.
  CUxPopupMenu* tall = contextMenu(20, 20, longMenu(60));
  ASSERT_TRUE(tall);
  EXPECT_TRUE(tall->IsScrollable());
  EXPECT_LE(tall->y() + tall->GetFinalSize().cy, area.bottom() + 1);
  EXPECT_TRUE(tall->GetScrollUpRect().isEmpty());
  EXPECT_FALSE(tall->GetScrollDownRect().isEmpty());
  frame.press(Qt::Key_End);
  EXPECT_GT(tall->GetMenuBar()->GetOffset(), 0);
  EXPECT_FALSE(tall->GetScrollUpRect().isEmpty());
  EXPECT_TRUE(tall->GetScrollDownRect().isEmpty());
}

TEST_F(PopupMenuTest, TheShadowDarkensTheWindowBehindItOnlyWhereItFits) {
  QPalette white = frame.palette();
  white.setColor(QPalette::Window, Qt::white);
  frame.setPalette(white);
  frame.setAutoFillBackground(true);
  CUxPopupMenu* popup = contextMenu(100, 100, fileMenu());
  ASSERT_TRUE(popup);
  ASSERT_EQ(popup->GetShadowSize(), 6);
  const QImage shot = popup->grab().toImage();
  const int right = popup->GetFinalSize().cx;
  const QRgb shade = shot.pixel(right + 1, popup->height() / 2);
  EXPECT_LT(qGray(shade), 250);
  EXPECT_GT(qGray(shade), 100);
  // Darkest next to the menu, lighter towards the outer edge.
  EXPECT_LT(qGray(shot.pixel(right, popup->height() / 2)), qGray(shot.pixel(right + 5, popup->height() / 2)));
  closeAllPopups();

  // Leaving the top-level window loses the shadow.
  CUxPopupMenu* outside = contextMenu(frame.width() - 20, 100, fileMenu());
  ASSERT_TRUE(outside);
  EXPECT_EQ(outside->GetShadowSize(), 0);
  EXPECT_EQ(outside->width(), outside->GetFinalSize().cx);
  closeAllPopups();

  toolbarClassData().bCustomizeMode = true;
  CUxPopupMenu* customizing = contextMenu(100, 100, fileMenu());
  ASSERT_TRUE(customizing);
  EXPECT_EQ(customizing->GetShadowSize(), 0);

  // While customising, an item's image in menus is switched off and on again.
  CUxPopupMenuBar* items = customizing->GetMenuBar();
  items->m_iSelected = 0;
  items->OnCustomizeCommand(kCmdTextOnly);
  EXPECT_TRUE(GetCommandManager().IsMenuItemWithoutImage(100));
  items->OnCustomizeCommand(kCmdImageAndText);
  EXPECT_FALSE(GetCommandManager().IsMenuItemWithoutImage(100));
}

TEST_F(PopupMenuTest, UnderAWindowThatRoutesNothingThePopupTakesKeysAndOutsideClicks) {
  TestFrame plain;
  plain.setGeometry(0, 0, 400, 300);
  plain.show();
  auto* popup = new CUxPopupMenu;
  ASSERT_TRUE(popup->Create(&plain, 20, 20, fileMenu()));
  QTest::keyClick(&plain, Qt::Key_Down);
  EXPECT_EQ(popup->GetMenuBar()->GetHighlightedButton(), 0);
  mouseAt(QEvent::MouseButtonPress, plain.mapToGlobal(QPoint(390, 290)));
  settle();
  EXPECT_TRUE(openPopups().empty());
}

namespace {

class TwoRecentFiles : public RecentFileList {
 public:
  int GetSize() const override { return 3; }
  bool GetDisplayName(int index, std::wstring& name, const std::wstring&) const override {
    if (index == 1 || empty) return false;
    name = index == 0 ? L"単語.db" : L"A&B.db";
    return true;
  }
  bool empty = false;
};

MenuHandle menuWithRecentFiles() {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 100, L"&Open");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString, 0xE110, L"Recent File");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString, 102, L"E&xit");
  return menu;
}

}  // namespace

TEST_F(PopupMenuTest, TheRecentFilePlaceholderBecomesTheShownEntries) {
  TwoRecentFiles files;
  setRecentFileList(&files);
  CUxPopupMenu* popup = contextMenu(20, 20, menuWithRecentFiles());
  ASSERT_TRUE(popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  ASSERT_EQ(items->GetCount(), 6);
  EXPECT_EQ(items->GetButton(2)->m_strText, L"&1 単語.db");
  EXPECT_EQ(items->GetButton(2)->m_nCommandId, 0xE110u);
  EXPECT_EQ(items->GetButton(3)->m_strText, L"&2 A&&B.db");
  EXPECT_EQ(items->GetButton(3)->m_nCommandId, 0xE112u);
  EXPECT_TRUE(items->GetButton(4)->m_nStyle & kStyleSeparator);
  closeAllPopups();

  // Nothing to show: one separator stays where the entries would be.
  files.empty = true;
  popup = contextMenu(20, 20, menuWithRecentFiles());
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->GetMenuBar()->GetCount(), 3);
  setRecentFileList(nullptr);
}

TEST_F(PopupMenuTest, AWidgetInAPopupWithTheKeyFocusGetsTheTypedKeysUntilItGoes) {
  CUxPopupMenu* popup = contextMenu(20, 20, fileMenu());
  ASSERT_TRUE(popup);
  auto* edit = new QLineEdit(popup);
  setLibraryKeyFocus(edit);
  QTest::keyClicks(&frame, QStringLiteral("ab"));
  EXPECT_EQ(edit->text(), QStringLiteral("ab"));
  EXPECT_EQ(popup->GetMenuBar()->GetHighlightedButton(), -1) << "the menu saw none of them";
  delete edit;
  EXPECT_FALSE(libraryKeyFocus());

  // A holder that leaves a key unaccepted: the key travels up once instead of going round for ever.
  auto* plain = new QWidget(popup);
  setLibraryKeyFocus(plain);
  QTest::keyClick(&frame, Qt::Key_F13);
  EXPECT_EQ(libraryKeyFocus(), plain);
  delete plain;
}

// While the user customises, an item dragged out of a menu that closes on the way (the pointer
// opened another menu) has left it: moved, not copied, it is gone from the menu's items.
TEST_F(PopupMenuTest, AnItemMovedOutOfAMenuThatClosesOnTheWayLeavesIt) {
  struct ClosingDrag : ToolbarDragDriver {
    QPointer<CUxPopupMenu> closing;
    ToolbarDragResult DoDragDrop(QWidget*, std::unique_ptr<QMimeData>, unsigned, const QRect&,
                                 ToolbarDropSource& source) override {
      source.bDragStarted = true;
      if (closing) closing->CloseMenu(false);
      ToolbarDragResult result;
      result.started = true;
      result.effect = DropEffectMove;
      result.endPoint = {5000, 5000};
      return result;
    }
  } drag;
  setToolbarDragDriver(&drag);
  for (const bool copy : {true, false}) {
    CUxPopupMenu* popup = openFile();
    ASSERT_TRUE(popup);
    const size_t before = file->GetCommands().size();
    toolbarClassData().bCustomizeMode = true;
    drag.closing = popup;
    CUxPopupMenuBar* items = popup->GetMenuBar();
    const QPoint save = items->mapFromGlobal(itemCentre(items, 1));
    const Qt::KeyboardModifiers modifiers = copy ? Qt::ControlModifier : Qt::NoModifier;
    QTest::mousePress(items, Qt::LeftButton, modifiers, save);
    settle();
    EXPECT_EQ(file->m_pPopupMenu, nullptr);
    ASSERT_EQ(file->GetCommands().size(), copy ? before : before - 1) << copy;
    if (!copy) {
      for (const auto& item : file->GetCommands()) EXPECT_NE(item->m_nCommandId, 101u);
    }
    toolbarClassData().bCustomizeMode = false;
  }
  setToolbarDragDriver(nullptr);
}

namespace {

// One item of a popup drawn on its own, as its bar paints it.
QImage drawnItem(CUxToolbarButton* item, ToolbarImages* images, bool highlight) {
  QImage image = canvas(item->m_rect.width(), item->m_rect.height(), globalData().clrBtnFace);
  Dc dc(image);
  item->OnDraw(&dc, Rect::fromSize(0, 0, item->m_rect.width(), item->m_rect.height()), images, true, false, highlight);
  return image;
}

// The image column at the left of a drawn item.
QRect imageColumn(const QImage& item, CUxPopupMenuBar* bar) {
  const int m = CUxVisualManager::GetInstance()->GetMenuImageMargin();
  return QRect(0, 0, 3 * m + bar->GetCurrentMenuImageSize().cx + 1, item.height());
}

// The first column (from the left) within `area` that holds a pixel of `colour`, and how many it holds.
std::pair<int, int> firstColumnOf(const QImage& image, const QRect& area, COLORREF colour) {
  for (int x = area.left(); x <= area.right(); ++x)
    if (const int n = countPixels(image, QRect(x, area.top(), 1, area.height()), colour)) return {x, n};
  return {-1, 0};
}

}  // namespace

TEST_F(PopupMenuTest, MenuItemsDrawGreyMarksToolIconsShadowsAndArrowsForTheirDirection) {
  const MenuHandle sub = createPopupMenu();
  appendMenu(sub, MfString, 120, L"Inner");
  const MenuHandle menu = createPopupMenu();
  for (unsigned id : {500u, 501u, 502u, kScClose, 911u, 503u}) appendMenu(menu, MfString, id, L"Item");
  appendMenu(menu, MfPopup, sub.id(), L"More");
  CUxPopupMenu* popup = contextMenu(-1, -1, menu);
  ASSERT_TRUE(popup);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  ASSERT_EQ(items->GetCount(), 7);
  const GlobalDrawData& data = globalData();
  const COLORREF black = data.clrBtnText, grey = data.clrBtnShadow;

  // Checked and radio marks and the window commands' pictures turn grey when disabled.
  auto* check = static_cast<CUxToolbarMenuButton*>(items->GetButton(0));
  auto* radio = static_cast<CUxToolbarMenuButton*>(items->GetButton(1));
  auto* enabled = static_cast<CUxToolbarMenuButton*>(items->GetButton(2));
  auto* close = static_cast<CUxToolbarMenuButton*>(items->GetButton(3));
  check->m_nStyle |= kStyleChecked | kStyleDisabled;
  radio->m_nStyle |= kStyleChecked | kStyleDisabled;
  radio->m_bRadio = true;
  enabled->m_nStyle |= kStyleChecked;
  close->m_nStyle |= kStyleDisabled;
  for (CUxToolbarButton* item : {static_cast<CUxToolbarButton*>(check), static_cast<CUxToolbarButton*>(radio),
                                 static_cast<CUxToolbarButton*>(close)}) {
    const QImage image = drawnItem(item, nullptr, false);
    const QRect column = imageColumn(image, items);
    EXPECT_EQ(countPixels(image, column, black), 0) << item->m_nCommandId;
    EXPECT_GT(countPixels(image, column, grey), 4) << item->m_nCommandId;
  }
  const QImage active = drawnItem(enabled, nullptr, false);
  EXPECT_GT(countPixels(active, imageColumn(active, items), black), 4);

  // A user tool shows its program's icon, also without an image of its own.
  FakeUserTools tools;
  setUserToolsLookup(&tools);
  ToolbarImages strip;
  strip.SetImageSize({4, 4});
  QImage cell(4, 4, QImage::Format_RGB32);
  cell.fill(qRgb(255, 0, 0));
  strip.AddImage(cell);
  ImageDrawState state;
  ASSERT_TRUE(strip.PrepareDrawImage(state));
  const QImage tool = drawnItem(items->GetButton(4), &strip, false);
  EXPECT_EQ(countPixels(tool, imageColumn(tool, items), rgb(0, 0, 255)), 16);
  setUserToolsLookup(nullptr);

  // With shadowed highlighted images a highlighted image lifts off its shadow.
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const bool shadows = manager->bShadowHighlightedImages;
  manager->bShadowHighlightedImages = true;
  CUxToolbarButton* imaged = items->GetButton(5);
  imaged->m_iImage = 0;
  const QImage plain = drawnItem(imaged, &strip, false);
  const QImage lifted = drawnItem(imaged, &strip, true);
  manager->bShadowHighlightedImages = shadows;
  strip.EndDrawImage(state);
  const QRect column = imageColumn(plain, items);
  const int plainX = firstColumnOf(plain, column, rgb(255, 0, 0)).first;
  const int liftedX = firstColumnOf(lifted, column, rgb(255, 0, 0)).first;
  ASSERT_GE(plainX, 0);
  EXPECT_EQ(liftedX, plainX - 1);
  EXPECT_EQ(countPixels(lifted, column, rgb(255, 0, 0)), 16);
  // Where the image's last pixel was, its shadow shows.
  int plainY = 0;
  while (plainY < plain.height() && countPixels(plain, QRect(column.left(), plainY, column.width(), 1), rgb(255, 0, 0)) == 0)
    ++plainY;
  EXPECT_EQ(fromPixel(plain.pixel(plainX + 3, plainY + 3)), rgb(255, 0, 0));
  EXPECT_EQ(fromPixel(lifted.pixel(plainX - 1, plainY - 1)), rgb(255, 0, 0));
  const COLORREF shadow = fromPixel(lifted.pixel(plainX + 3, plainY + 3));
  EXPECT_NE(shadow, rgb(255, 0, 0));
  EXPECT_NE(shadow, fromPixel(lifted.pixel(plainX + 6, plainY + 3)));  // not the background either

  // The sub-menu arrow points the way the sub-menu opens.
  CUxToolbarButton* more = items->GetButton(6);
  const QImage ltr = drawnItem(more, nullptr, false);
  const QRect arrowArea(ltr.width() - 20, 0, 20, ltr.height());
  EXPECT_EQ(firstColumnOf(ltr, arrowArea, black).second, 7);  // the arrow's base comes first
  items->setLayoutDirection(Qt::RightToLeft);
  const QImage rtl = drawnItem(more, nullptr, false);
  EXPECT_EQ(firstColumnOf(rtl, arrowArea, black).second, 1);  // its tip does
}

namespace {

class AcceleratedFrame : public MenuFrame, public AcceleratorSource {
 public:
  AccelTable GetDefaultAccelerator(bool document) const override { return document ? documentTable : frameTable; }
  AccelTable frameTable = std::make_shared<std::vector<Accel>>(
      std::vector<Accel>{{FVirtKey | FControl | FShift, 'N', 100}, {FVirtKey, 0x71, 101}, {FVirtKey | FAlt, 0x73, kScClose}});
  AccelTable documentTable = std::make_shared<std::vector<Accel>>(std::vector<Accel>{{FVirtKey, 0x72, 101}});
};

}  // namespace

TEST(MenuShortcuts, WithTheSettingOnItemsShowTheirAcceleratorsKeys) {
  UxLibrary library;
  AcceleratedFrame frame;
  frame.setGeometry(0, 0, 400, 400);
  frame.show();
  const MenuHandle sub = createPopupMenu();
  appendMenu(sub, MfString, 100, L"Inner\tOld");
  auto menu = [&] {
    const MenuHandle m = createPopupMenu();
    appendMenu(m, MfString, 100, L"&New\tCtrl+N");
    appendMenu(m, MfString, 101, L"&Save");
    appendMenu(m, MfString, 102, L"&Keep\tCtrl+K");
    appendMenu(m, MfString, kScClose, L"&Close\tCtrl+F4");
    return m;
  };
  auto texts = [&](bool setting) {
    CUxToolbarMenuButton::g_bShowShortcuts = setting;
    auto* popup = new CUxPopupMenu;
    std::vector<std::wstring> shown;
    if (popup->Create(&frame, 10, 10, menu(), false, true))
      for (int i = 0; i < popup->GetMenuBar()->GetCount(); ++i) shown.push_back(popup->GetMenuBar()->GetButton(i)->m_strText);
    popup->close();
    settle();
    CUxToolbarMenuButton::g_bShowShortcuts = false;
    return shown;
  };
  // Off, the default: the texts as the menu has them.
  EXPECT_EQ(texts(false), (std::vector<std::wstring>{L"&New\tCtrl+N", L"&Save", L"&Keep\tCtrl+K", L"&Close\tCtrl+F4"}));
  // On: the document's table before the frame's; a command without an accelerator loses its old
  // key text; window commands keep theirs.
  EXPECT_EQ(texts(true),
            (std::vector<std::wstring>{L"&New\tCtrl+Shift+N", L"&Save\tF3", L"&Keep", L"&Close\tCtrl+F4"}));
}
