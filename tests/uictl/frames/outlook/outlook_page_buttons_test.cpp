// Page-button mode of a derived outlook bar (large page buttons, gripper, small icons and the
// chevron's commands) and the bar's saved state with its pages.
#include "platform/windows/menu_handles.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/frames/outlook/outlook_bar.h"
#include "uictl/frames/workspace_version.h"

#include "frames_test_support.h"

#include <QLineEdit>
#include <QTemporaryDir>

using namespace platform;

namespace {

// A bar that shows its pages as large buttons, and keeps what it was built with as its defaults.
class PageButtonBar : public CUxOutlookBar {
 public:
  PageButtonBar() { m_bPageButtonMode = true; }
  void keepAsDefault() {
    m_DefaultPages.clear();
    for (const auto& page : m_Pages) m_DefaultPages.push_back(std::make_unique<CUxOutlookBarPage>(*page));
    m_OrigButtons.clear();
    for (const auto& button : m_Buttons) {
      auto copy = std::make_unique<CUxOutlookButton>();
      copy->CopyFrom(*button);
      m_OrigButtons.push_back(std::move(copy));
    }
  }
};

class OldWorkspace : public CObject, public UxWorkspaceDataVersion {
 public:
  int GetDataVersionMajor() const override { return 4; }
  int GetDataVersionMinor() const override { return 70; }
};

}  // namespace

class OutlookPageButtonsTest : public DialogTest {
 protected:
  OutlookPageButtonsTest() {
    setenv("XDG_CONFIG_HOME", home.path().toUtf8().constData(), 1);
    dialog.resize(300, 600);
    bar->Create(&dialog, 0x50001408, 1700);
    for (unsigned id = 1; id <= 4; ++id) bar->AddPage(id, QStringLiteral("page %1").arg(id).toStdWString().c_str());
    bar->AddButton(257, L"one", 300, 1);
    bar->AddButton(259, L"two", 301, 1);
    bar->setGeometry(0, 0, 120, 500);
    QApplication::processEvents();
  }
  ~OutlookPageButtonsTest() override { setWorkspace(nullptr, false); }
  int largeShown() const {
    int n = 0;
    for (const auto& page : bar->m_Pages) n += !page->m_rectButton.isEmpty();
    return n;
  }

  QTemporaryDir home;
  PageButtonBar* bar = new PageButtonBar;
};

TEST_F(OutlookPageButtonsTest, FewerAndMoreLargePageButtonsThroughTheChevronAndTheGripper) {
  EXPECT_EQ(largeShown(), 4);
  EXPECT_FALSE(bar->CanShowMorePageButtons());
  EXPECT_TRUE(bar->m_pWndToolBar->isVisible());
  // All pages large: the caption names the active page and the large buttons stand at the bottom.
  EXPECT_EQ(bar->FindPage(4)->m_rectButton.bottom, bar->m_rectToolBar.top);
  EXPECT_TRUE(bar->FindPage(1)->m_btnPage->m_bChecked);

  bar->OnCommand(kCmdShowFewerPageButtons, 0, nullptr);
  EXPECT_EQ(largeShown(), 3);
  EXPECT_TRUE(bar->FindPage(4)->m_rectButton.isEmpty());
  // The last page now sits in the row of small icons, and clicking it makes it active.
  COutlookPageToolBar* row = bar->m_pWndToolBar;
  ASSERT_EQ(row->m_pageOfButton.size(), 1u);
  const int icon = row->m_pageOfButton.begin()->first;
  EXPECT_EQ(row->PageOfButton(icon), 4);
  EXPECT_EQ(row->GetButton(icon)->m_nCommandId, unsigned(kCmdFirstPageIcon));
  const Rect r = row->GetItemRect(icon);
  QTest::mouseClick(row, Qt::LeftButton, {}, row->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  EXPECT_EQ(bar->GetActivePageID(), 4);
  row->OnUpdateCmdUI(bar, true);
  EXPECT_TRUE(row->GetButton(icon)->m_nStyle & kStyleChecked);

  // The chevron offers both commands; the bar answers which of them can run.
  const MenuHandle menu = static_cast<CCustomizeButton*>(row->m_pCustomizeBtn)->ExportToMenu();
  ASSERT_EQ(getMenuItemCount(menu), 2);
  EXPECT_EQ(getMenuItemId(menu, 0), unsigned(kCmdShowMorePageButtons));
  EXPECT_EQ(getMenuString(menu, 1, MfByPosition), L"Show Fewer Buttons");
  destroyMenu(menu);
  CommandUi more;
  more.id = kCmdShowMorePageButtons;
  bar->onUpdateCommandUi(more);
  EXPECT_TRUE(more.handled && more.enabled);

  // Down to none, then the gripper dragged up by two page buttons shows two again.
  bar->ShowFewerPageButtons();
  bar->ShowFewerPageButtons();
  bar->ShowFewerPageButtons();
  EXPECT_EQ(largeShown(), 0);
  EXPECT_FALSE(bar->CanShowFewerPageButtons());
  const Rect grip = bar->m_rectGripper;
  const int h = bar->m_nPageButtonHeight;
  QTest::mousePress(bar, Qt::LeftButton, {}, {20, grip.top + 2});
  QTest::mouseMove(bar, {20, grip.top - 2 * h - 1});
  EXPECT_EQ(largeShown(), 2);
  QTest::mouseMove(bar, {20, bar->m_rectGripper.top - 10 * h});
  EXPECT_EQ(largeShown(), 4);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, {20, 5});
  EXPECT_FALSE(bar->m_bGripperDragging);
}

TEST_F(OutlookPageButtonsTest, SavedStateKeepsPagesAndResetReturnsToTheDefaults) {
  bar->keepAsDefault();
  bar->m_nBarThickness = 150;
  ASSERT_TRUE(bar->SaveState());
  // Changed after saving: a page less, another name, another thickness.
  bar->RenamePage(2, L"renamed");
  bar->m_Pages.pop_back();
  bar->m_nBarThickness = 90;
  ASSERT_TRUE(bar->LoadState());
  ASSERT_EQ(bar->GetPageCount(), 4);
  EXPECT_EQ(std::wstring(bar->FindPageName(2)), L"page 2");
  EXPECT_EQ(bar->m_nBarThickness, 150);
  EXPECT_EQ(bar->GetActivePageID(), 1);
  EXPECT_EQ(bar->GetCount(), 2);
  EXPECT_EQ(static_cast<CUxOutlookButton*>(bar->GetButton(1))->m_dwPageID, 1u);

  // Reset: back to the pages and buttons the bar was built with.
  bar->AddPage(9, L"extra");
  bar->RemoveButton(0);
  bar->SetActivePage(9, false);
  EXPECT_TRUE(bar->ResetAll());
  EXPECT_EQ(bar->GetPageCount(), 4);
  EXPECT_EQ(bar->FindPage(9), nullptr);
  EXPECT_EQ(bar->GetActivePageID(), -1);
  EXPECT_EQ(bar->GetVisibleButtonCount(), 0);
  bar->SetActivePage(1, false);
  EXPECT_EQ(bar->GetVisibleButtonCount(), 2);
  // The page that was active stays so when the defaults have it, with its buttons shown.
  bar->RemoveButton(0);
  EXPECT_TRUE(bar->ResetAll());
  EXPECT_EQ(bar->GetActivePageID(), 1);
  EXPECT_EQ(bar->GetVisibleButtonCount(), 2);

  // A workspace of an older data version saved no pages: loading leaves the bar without any.
  setWorkspace(new OldWorkspace, true);
  ASSERT_TRUE(bar->SaveState());
  ASSERT_TRUE(bar->LoadState());
  EXPECT_EQ(bar->GetPageCount(), 0);
  EXPECT_EQ(bar->GetActivePageID(), -1);
}

TEST_F(OutlookPageButtonsTest, RenamingNeedsANameAndEndsOnEnterEscapeOrAClickElsewhere) {
  auto* edit = new QLineEdit(bar);
  bar->BeginPageRename(2, edit);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(bar->m_pWndEditName, edit);
  edit->setText(QStringLiteral("新しい名前"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(bar->m_pWndEditName, nullptr);
  EXPECT_EQ(std::wstring(bar->FindPageName(2)), L"新しい名前");
  EXPECT_EQ(bar->FindPage(2)->m_btnPage->text(), QStringLiteral("新しい名前"));

  // A move elsewhere changes nothing; a click elsewhere ends the editing without a rename.
  auto* second = new QLineEdit(bar);
  bar->BeginPageRename(3, second);
  second->setText(QStringLiteral("unused"));
  QTest::mouseMove(&dialog, {250, 300});
  EXPECT_EQ(bar->m_pWndEditName, second);
  QTest::mouseClick(&dialog, Qt::LeftButton, {}, {250, 300});
  EXPECT_EQ(bar->m_pWndEditName, nullptr);
  EXPECT_EQ(std::wstring(bar->FindPageName(3)), L"page 3");

  auto* third = new QLineEdit(bar);
  bar->BeginPageRename(3, third);
  QTest::keyClick(third, Qt::Key_Escape);
  EXPECT_EQ(bar->m_pWndEditName, nullptr);
  EXPECT_EQ(bar->m_nPageUnderRename, -1);
}

// A gripper drag needs the mouse: when another window takes it, the drag is over.
TEST_F(OutlookPageButtonsTest, AGripperDragEndsWhenAnotherWindowTakesTheMouse) {
  bar->ShowFewerPageButtons();
  bar->ShowFewerPageButtons();
  const Rect grip = bar->m_rectGripper;
  const int h = bar->m_nPageButtonHeight;
  const QPoint onGrip = bar->ClientToWidget({20, grip.top + 2});
  QTest::mouseMove(bar, onGrip);
  EXPECT_TRUE(bar->testAttribute(Qt::WA_SetCursor));
  QTest::mousePress(bar, Qt::LeftButton, {}, onGrip);
  ASSERT_TRUE(bar->m_bGripperDragging);
  ASSERT_EQ(getCapture(), bar);

  auto* other = new QWidget(&dialog);
  setCapture(other);
  EXPECT_FALSE(bar->m_bGripperDragging);
  // The other window keeps the mouse, and the bar's cursor is the usual one again.
  EXPECT_EQ(getCapture(), other);
  EXPECT_FALSE(bar->testAttribute(Qt::WA_SetCursor));
  releaseCapture();
  QTest::mouseMove(bar, bar->ClientToWidget({20, grip.top - 3 * h}));
  EXPECT_EQ(largeShown(), 2);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->ClientToWidget({20, grip.top - 3 * h}));
  EXPECT_EQ(largeShown(), 2);
}

// Page buttons are tall enough for the large page images as well as for their text.
TEST_F(OutlookPageButtonsTest, PageButtonsAreAsTallAsTheLargePageImages) {
  const int textOnly = bar->m_nPageButtonHeight;
  EXPECT_EQ(textOnly, globalData().nTextHeight + 4 + 2);
  bar->m_sizeLargePageImage = {48, 48};
  bar->m_largePageImages.assign(4, QImage(48, 48, QImage::Format_RGB32));
  bar->AdjustLayout();
  EXPECT_EQ(bar->m_nPageButtonHeight, 50);
  EXPECT_EQ(bar->FindPage(1)->m_rectButton.height(), 50);
  EXPECT_EQ(bar->FindPage(1)->m_btnPage->height(), 50);
  // Images lower than the text leave the text's height.
  bar->m_sizeLargePageImage = {8, 8};
  bar->m_largePageImages.assign(4, QImage(8, 8, QImage::Format_RGB32));
  bar->AdjustLayout();
  EXPECT_EQ(bar->m_nPageButtonHeight, textOnly);
}

// The small icons are not customised: their row takes no input while customise mode lasts.
TEST_F(OutlookPageButtonsTest, TheSmallIconRowIsDisabledWhileCustomising) {
  bar->ShowFewerPageButtons();
  COutlookPageToolBar* row = bar->m_pWndToolBar;
  ASSERT_TRUE(row->isVisible());
  EXPECT_TRUE(row->isEnabled());
  ASSERT_TRUE(CUxToolBar::SetCustomizeMode(true));
  EXPECT_FALSE(row->isEnabled());
  EXPECT_TRUE(bar->isEnabled());
  const int icon = row->m_pageOfButton.begin()->first;
  const Rect r = row->GetItemRect(icon);
  QTest::mouseClick(row, Qt::LeftButton, {}, row->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  EXPECT_EQ(bar->GetActivePageID(), 1);
  ASSERT_TRUE(CUxToolBar::SetCustomizeMode(false));
  EXPECT_TRUE(row->isEnabled());
  QTest::mouseClick(row, Qt::LeftButton, {}, row->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  EXPECT_EQ(bar->GetActivePageID(), 4);
}

// A narrow bar's chevron offers the small icons that do not fit, then the two page-button
// commands; Escape typed where the keyboard is ends a splitter or a gripper drag.
TEST_F(OutlookPageButtonsTest, TheChevronOffersItsCommandsAndEscapeEndsDragsWhereverTheKeysGo) {
  bar->setGeometry(0, 0, 80, 500);
  for (int i = 0; i < 4; ++i) bar->ShowFewerPageButtons();
  auto* chevron = static_cast<CCustomizeButton*>(bar->m_pWndToolBar->m_pCustomizeBtn);
  const int hidden = static_cast<int>(chevron->GetInvisibleButtons().size());
  QTest::mouseClick(bar->m_pWndToolBar, Qt::LeftButton, {}, bar->m_pWndToolBar->ClientToWidget(chevron->m_rect.topLeft()));
  ASSERT_TRUE(hidden > 0 && chevron->m_pPopupMenu);
  CUxPopupMenuBar* items = chevron->m_pPopupMenu->GetMenuBar();
  ASSERT_EQ(items->GetCount(), hidden + 3);
  EXPECT_EQ(items->GetButton(hidden + 1)->m_strText, L"Show More buttons");
  QTest::mouseClick(items, Qt::LeftButton, {}, items->ClientToWidget(items->GetButton(hidden + 1)->m_rect.topLeft()));
  QApplication::processEvents();
  EXPECT_EQ(bar->m_nVisibleLargePageButtons, 1);

  auto* edit = new QLineEdit(&dialog);
  edit->setFocus();
  for (const Point at : {Point{bar->m_rectSplitter.left, 100}, Point{20, bar->m_rectGripper.top + 1}}) {
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->ClientToWidget(at));
    ASSERT_TRUE(bar->m_bSplitterDragging || bar->m_bGripperDragging);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(bar->m_bSplitterDragging || bar->m_bGripperDragging);
    EXPECT_EQ(getCapture(), nullptr);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->ClientToWidget(at));
  }
}
