// Combo boxes on toolbars: the kept items against the control's, one selection and text for
// every box of a command, notifications only for what the user does, archives, vertical bars and
// customise mode.
#include "platform/settings/archive.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/combos/toolbar_combo_box.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"

#include "toolbar_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr unsigned kPick = 400;

std::unique_ptr<CUxToolbarComboBoxButton> pickBox(unsigned style = CUxToolbarComboBoxButton::kDropDownList) {
  auto box = std::make_unique<CUxToolbarComboBoxButton>(kPick, -1, style, 120);
  box->AddItem(L"赤", 11);
  box->AddItem(L"緑", 22);
  box->AddItem(L"青", 33);
  return box;
}

CUxToolBar* barWith(QWidget* frame, unsigned id, unsigned align, std::unique_ptr<CUxToolbarButton> button) {
  auto* bar = new CUxToolBar(frame);
  bar->Create(frame, 0x50000000u | align, id);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(401, -1, L"前"));
  bar->InsertButton(std::move(button));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  return bar;
}

CUxToolbarComboBoxButton* comboOf(CUxToolBar* bar) { return static_cast<CUxToolbarComboBoxButton*>(bar->GetButton(1)); }

std::wstring labels(unsigned id) { return id == kPick ? L"色を選びます\n色" : L""; }

std::vector<uint8_t> stored(CUxToolbarButton& button) {
  std::vector<uint8_t> bytes;
  Archive out(Archive::Store, bytes);
  button.Serialize(out);
  return bytes;
}

}  // namespace

class ComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.resize(500, 300);
    frame.show();
  }
  void TearDown() override { CUxToolBar::SetCustomizeMode(false); }
  UxLibrary library;
  TestFrame frame;
};

TEST_F(ComboBoxTest, KeptItemsAndTheControlsItems) {
  CUxToolbarComboBoxButton alone(kPick, -1, CUxToolbarComboBoxButton::kDropDownList, 0);
  EXPECT_EQ(alone.m_nWidth, 150);
  EXPECT_EQ(alone.m_dwComboStyle, 0x50200003u);
  alone.AddItem(L"一", 1);
  alone.AddItem(L"二", 2);
  alone.AddItem(L"三", 3);
  EXPECT_EQ(alone.GetItem(-1), nullptr);
  EXPECT_EQ(alone.GetItemData(5), 0u);
  EXPECT_FALSE(alone.SelectItem(3));
  EXPECT_TRUE(alone.SelectItem(1));
  EXPECT_STREQ(alone.GetItem(), L"二");
  EXPECT_EQ(alone.GetText(), L"一");

  CUxToolBar* bar = barWith(&frame, 1, CbrsAlignTop, pickBox());
  CUxToolbarComboBoxButton* box = comboOf(bar);
  auto* combo = bar->findChild<QComboBox*>(QStringLiteral("id400"));
  ASSERT_EQ(combo, box->GetComboBox());
  EXPECT_TRUE(combo->isVisible());
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(box->m_nWidth, 120);
  EXPECT_EQ(box->m_rectControl.width(), 118);

  // A text already there adds nothing, but selects it in the control with the new data; the
  // control's lookup ignores case, the kept list does not.
  EXPECT_EQ(box->AddItem(L"緑", 99), 2);
  EXPECT_EQ(box->GetCount(), 3);
  EXPECT_EQ(combo->currentIndex(), 1);
  EXPECT_EQ(box->GetItemData(1), 99u);
  EXPECT_EQ(box->GetItemData(7), CUxToolbarComboBoxButton::kComboError);
  EXPECT_EQ(box->AddItem(L"Blue"), 3);
  EXPECT_EQ(box->AddItem(L"BLUE"), 4);
  EXPECT_EQ(combo->count(), 4);
  QCoreApplication::processEvents();
  EXPECT_TRUE(frame.commands.empty());
}

TEST_F(ComboBoxTest, TwoBoxesOfOneCommandStayInStep) {
  CUxToolBar* first = barWith(&frame, 1, CbrsAlignTop, pickBox());
  CUxToolBar* second = barWith(&frame, 2, CbrsAlignTop, pickBox());
  QComboBox* chosen = comboOf(first)->GetComboBox();
  QComboBox* other = comboOf(second)->GetComboBox();

  chosen->setFocus();
  QTest::keyClick(chosen, Qt::Key_Down);
  QCoreApplication::processEvents();
  EXPECT_EQ(chosen->currentIndex(), 0);
  EXPECT_EQ(other->currentIndex(), 0);
  EXPECT_EQ(comboOf(second)->m_nSelected, 0);
  EXPECT_EQ(comboOf(second)->GetText(), L"赤");
  // The owner hears of the change once, from the box the user used.
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{kPick, CbnSelChange}, {kPick, CbnSelEndOk}}));

  // The program's own selection does not notify.
  frame.commands.clear();
  EXPECT_TRUE(comboOf(first)->SelectItem(2, false));
  QCoreApplication::processEvents();
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_EQ(other->currentIndex(), 0);
  // Selected with the notice, it brings the other box of its command along.
  EXPECT_TRUE(comboOf(first)->SelectItem(1, true));
  EXPECT_EQ(other->currentIndex(), 1);
  EXPECT_EQ(comboOf(second)->m_nSelected, 1);

  // Typing in an editable box shows the text in the other one.
  CUxToolBar* third = barWith(&frame, 3, CbrsAlignTop, pickBox(CUxToolbarComboBoxButton::kDropDown));
  CUxToolBar* fourth = barWith(&frame, 4, CbrsAlignTop, pickBox(CUxToolbarComboBoxButton::kDropDown));
  QComboBox* typed = comboOf(third)->GetComboBox();
  ASSERT_TRUE(typed->lineEdit());
  typed->lineEdit()->clear();
  frame.commands.clear();
  QTest::keyClicks(typed->lineEdit(), QStringLiteral("kx"));
  QCoreApplication::processEvents();
  EXPECT_EQ(comboOf(fourth)->GetComboBox()->currentText(), QStringLiteral("kx"));
  EXPECT_EQ(comboOf(fourth)->GetText(), L"kx");
  ASSERT_EQ(frame.commands.size(), 4u);
  EXPECT_EQ(frame.commands[0].second, CbnEditUpdate);
  EXPECT_EQ(frame.commands[1].second, CbnEditChange);
  QTest::keyClick(typed->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(typed->count(), 3);  // what was typed does not join the list
  frame.commands.clear();
  comboOf(fourth)->GetComboBox()->setFocus();
  QCoreApplication::processEvents();
  EXPECT_NE(std::find(frame.commands.begin(), frame.commands.end(), std::pair<unsigned, int>{kPick, CbnKillFocus}),
            frame.commands.end());
}

TEST_F(ComboBoxTest, ArchiveBytesAndRoundTrip) {
  CUxToolbarComboBoxButton box(kPick, -1, CUxToolbarComboBoxButton::kDropDownList, 90);
  box.AddItem(L"A", 7);
  box.AddItem(L"語", 0x12345678);
  box.SelectItem(1);
  box.m_nListHeight = 200;
  // The base's fields, then the combo's.
  std::vector<uint8_t> expected;
  {
    Archive base(Archive::Store, expected);
    box.CUxToolbarButton::Serialize(base);
  }
  const size_t baseSize = expected.size();
  const std::vector<uint8_t> tail{
      90, 0, 0, 0,                                     // width
      0x03, 0x00, 0x20, 0x50,                          // style
      1, 0, 0, 0,                                      // selection
      0xFF, 0xFE, 0xFF, 1, 'A', 0,                     // current text
      200, 0, 0, 0,                                    // list height
      2, 0,                                            // item count
      0xFF, 0xFE, 0xFF, 1, 'A', 0,                     // items
      0xFF, 0xFE, 0xFF, 1, 0x9E, 0x8A,
      7, 0, 0, 0, 0x78, 0x56, 0x34, 0x12,              // item data
  };
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(stored(box), expected);

  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeObject(&box);
  }
  Archive in(Archive::Load, bytes);
  std::unique_ptr<CObject> object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
  auto* back = dynamic_cast<CUxToolbarComboBoxButton*>(object.get());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->m_itemTexts, box.m_itemTexts);
  EXPECT_EQ(back->m_itemData, box.m_itemData);
  EXPECT_EQ(back->m_nSelected, 1);
  EXPECT_EQ(back->GetText(), L"A");
  EXPECT_EQ(back->m_nWidth, 90);
  EXPECT_EQ(back->m_rect.width(), 90);
  EXPECT_EQ(back->m_dwComboStyle, box.m_dwComboStyle);
  EXPECT_EQ(back->m_nListHeight, 200);

  // Stored from a bar, the control's items are what goes into the archive.
  CUxToolBar* bar = barWith(&frame, 1, CbrsAlignTop, pickBox());
  comboOf(bar)->GetComboBox()->addItem(QStringLiteral("黄"));
  const std::vector<uint8_t> fromBar = stored(*comboOf(bar));
  EXPECT_EQ(comboOf(bar)->GetCount(), 4);
  EXPECT_EQ(fromBar.size(), baseSize + 22 + 2 + 4 * 6 + 4 * 4);  // four items, four values
}

TEST_F(ComboBoxTest, VerticalBarsAndCustomiseMode) {
  CUxToolBar* bar = barWith(&frame, 1, CbrsAlignTop, pickBox());
  CUxToolbarComboBoxButton* box = comboOf(bar);
  EXPECT_TRUE(box->OnClick(bar, false));
  bar->SetBarStyle((bar->GetBarStyle() & ~CbrsAlignAny) | CbrsAlignLeft);
  bar->AdjustLayout();
  EXPECT_TRUE(box->GetComboBox()->isHidden());
  EXPECT_FALSE(box->OnClick(bar, false));
  EXPECT_LT(bar->GetItemRect(1).width(), 120);  // an ordinary button
  bar->SetBarStyle((bar->GetBarStyle() & ~CbrsAlignAny) | CbrsAlignTop);
  bar->AdjustLayout();
  EXPECT_TRUE(box->GetComboBox()->isVisible());
  EXPECT_EQ(bar->GetItemRect(1).width(), 120);
  EXPECT_NE(QApplication::focusWidget(), box->GetComboBox());

  // Placed while customising: disabled until a style change finds it editable.
  CUxToolBar::SetCustomizeMode(true);
  CUxToolBar* later = barWith(&frame, 2, CbrsAlignTop, pickBox());
  EXPECT_FALSE(comboOf(later)->GetComboBox()->isEnabled());
  comboOf(later)->SetStyle(0);
  EXPECT_TRUE(comboOf(later)->GetComboBox()->isEnabled());
  CUxToolBar::SetCustomizeMode(false);
  comboOf(later)->SetStyle(kStyleDisabled);
  EXPECT_FALSE(comboOf(later)->GetComboBox()->isEnabled());
}

TEST_F(ComboBoxTest, AHiddenBoxIsListedInTheChevronUnderItsLabel) {
  setCommandStringSource(labels);
  CUxToolBar* bar = barWith(&frame, 1, CbrsAlignTop, pickBox());
  comboOf(bar)->m_strText = L"赤";
  bar->EnableCustomizeButton(true, 0, L"");
  bar->AdjustLayout();
  layOutAtClientWidth(bar, 60);
  CCustomizeButton* chevron = bar->m_pCustomizeBtn;
  ASSERT_EQ(chevron->GetInvisibleButtons().size(), 1u);
  EXPECT_TRUE(comboOf(bar)->GetComboBox()->isHidden());
  ASSERT_TRUE(chevron->OnClick(bar, false));
  ASSERT_TRUE(chevron->m_pPopupMenu);
  CUxPopupMenuBar* items = chevron->m_pPopupMenu->GetMenuBar();
  ASSERT_EQ(items->GetCount(), 1);
  EXPECT_EQ(items->GetButton(0)->m_nCommandId, kPick);
  EXPECT_EQ(items->GetButton(0)->m_strText, L"色");
  chevron->m_pPopupMenu->CloseMenu();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  setCommandStringSource(nullptr);
}

TEST_F(ComboBoxTest, ADesktopFontChangeReachesTheFontsTheBarsAndTheBoxes) {
  CUxToolBar* bar = barWith(&frame, 1, CbrsAlignTop, pickBox());
  QComboBox* control = comboOf(bar)->GetComboBox();
  ASSERT_TRUE(control);
  const int textHeight = globalData().nTextHeight;
  const int uprightHeight = globalData().TextHeightVert();
  const int rowHeight = bar->CalcFixedLayout(false, true).cy;

  ClassicSystemMetrics larger;
  larger.menu.height = -28;
  const SystemMetricsOverride use(larger);
  const QFont previous = QApplication::font();
  QFont changed = previous;
  changed.setPointSize(previous.pointSize() + 4);
  QApplication::setFont(changed);
  EXPECT_GT(globalData().nTextHeight, textHeight);
  EXPECT_GT(globalData().TextHeightVert(), uprightHeight);
  EXPECT_EQ(control->font(), globalData().fontRegular.qfont());
  EXPECT_GT(bar->CalcFixedLayout(false, true).cy, rowHeight);
  EXPECT_EQ(bar->GetItemRect(1).height(), control->sizeHint().height());
  QApplication::setFont(previous);
}
