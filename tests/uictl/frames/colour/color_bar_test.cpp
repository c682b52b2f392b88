// A colour menu button's palette torn off into a bar of the frame, as a host does it, and what
// such a stand-alone bar shows and does: its pressed cells, double clicks in customise mode,
// a cancelled other colour; and the colour names in an archive.
#include "platform/settings/archive.h"
#include "platform/windows/color_dialog.h"
#include "platform/windows/command_target.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_button.h"
#include "uictl/frames/colour/color_menu_button.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "patience.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr unsigned kFillColour = 5101;
constexpr unsigned kTearOffId = 0xE950;
const std::vector<COLORREF> kColours{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0),
                                     rgb(4, 0, 0), rgb(5, 0, 0), rgb(6, 0, 0)};

// A frame that docks bars, takes commands and tells its document's colours.
class PaletteFrame : public DockFrame, public CommandTarget {
 public:
  bool onCommand(unsigned id, int) override {
    commands.push_back(id);
    return true;
  }
  void onUpdateCommandUi(CommandUi& ui) override { ui.enable(); }
  bool event(QEvent* e) override {
    if (e->type() == UXTOOLBAR__GETDOCUMENTCOLORS) {
      *reinterpret_cast<std::list<COLORREF>*>(static_cast<RegisteredMessageEvent*>(e)->lParam()) = {rgb(7, 7, 7)};
      return true;
    }
    return DockFrame::event(e);
  }
  std::vector<unsigned> commands;
};

class CancellingChooser : public ColorDialogs {
 public:
  std::optional<COLORREF> chooseColor(QWidget*, COLORREF) override {
    ++asked;
    return std::nullopt;
  }
  int asked = 0;
};

}  // namespace

class ColorBarTest : public ::testing::Test {
 protected:
  ColorBarTest() {
    frame.resize(600, 400);
    frame.EnableDocking(CbrsAlignAny);
    toolbar = new CUxToolBar(&frame);
    toolbar->Create(&frame, 0x50000000u | CbrsAlignTop | CbrsSizeDynamic, 0xE801);
    auto owned = std::make_unique<CUxColorMenuButton>();
    button = owned.get();
    button->m_nCommandId = kFillColour;
    button->Colors = kColours;
    button->Columns = 6;
    button->RowsWhenDockedHorz = 2;
    button->ColumnsWhenDockedVert = 1;
    button->ShowAutomatic = true;
    button->AutomaticLabel = L"自動";
    button->AutomaticColor = rgb(9, 9, 9);
    button->ShowOther = true;
    button->OtherLabel = L"その他";
    button->ShowDocumentColors = true;
    button->DocumentColorsLabel = L"文書の色";
    toolbar->InsertButton(std::move(owned));
    toolbar->EnableDocking(CbrsAlignAny);
    frame.DockControlBar(toolbar, DockBarTop);
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));
  }
  ~ColorBarTest() override { CUxToolBar::SetCustomizeMode(false); }

  // Opens the button's popup and tears it off, as a host's tear-off gesture does.
  CUxColorBar* tearOff() {
    if (!button->OpenPopupMenu(toolbar)) return nullptr;
    auto* popup = dynamic_cast<CColorPopup*>(button->m_pPopupMenu);
    if (!popup) return nullptr;
    // The palette's own choice of dialog (its button's popup asks the button instead) goes along.
    popup->GetColorBar()->UseSystemColorDialog = true;
    auto* bar = dynamic_cast<CUxColorBar*>(popup->CreateTearOffBar(&frame, kTearOffId, L"塗りつぶしの色"));
    popup->close();
    QApplication::processEvents();
    return bar;
  }
  CUxColorBar* dockedTearOff() {
    CUxColorBar* bar = tearOff();
    if (!bar) return nullptr;
    frame.DockControlBar(bar, DockBarTop);
    frame.RecalcLayout(true);
    QApplication::processEvents();
    return bar;
  }
  static int indexOf(CUxColorBar* bar, COLORREF colour) {
    for (int i = 0; i < bar->GetCount(); ++i)
      if (auto* c = dynamic_cast<CColorButton*>(bar->GetButton(i)); c && c->IsPlain() && c->Color == colour) return i;
    return -1;
  }
  static QPoint centreOf(CUxColorBar* bar, int index) {
    const Rect r = bar->GetButton(index)->m_rect;
    return bar->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }

  UxLibrary library;
  PaletteFrame frame;
  CUxToolBar* toolbar = nullptr;
  CUxColorMenuButton* button = nullptr;
};

TEST_F(ColorBarTest, TearingOffMakesADockableBarOfTheButtonsCommandWithThePopupsPalette) {
  button->SetColor(kColours[4], false);
  CUxColorBar* bar = tearOff();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->parentWidget(), &frame);
  EXPECT_EQ(bar->objectName(), QStringLiteral("id%1").arg(kTearOffId));
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("塗りつぶしの色"));
  const unsigned style = CbrsGripper | CbrsAlignTop | CbrsBorderBottom | CbrsHideInplace | CbrsTooltips | CbrsFlyBy;
  EXPECT_EQ(bar->GetBarStyle() & style, style);
  EXPECT_EQ(bar->m_dwDockStyle, unsigned(CbrsAlignAny));
  EXPECT_EQ(bar->CommandId, kFillColour);
  EXPECT_TRUE(bar->IsTearOff);
  EXPECT_FALSE(bar->InPopup);
  EXPECT_EQ(bar->GetParentButton(), nullptr);
  EXPECT_EQ(bar->Colors, kColours);
  EXPECT_EQ(bar->Columns, 6);
  EXPECT_EQ(bar->RowsWhenDockedHorz, 2);
  EXPECT_EQ(bar->ColumnsWhenDockedVert, 1);
  EXPECT_EQ(bar->SelectedColor, kColours[4]);
  EXPECT_EQ(bar->AutomaticColor, rgb(9, 9, 9));
  EXPECT_EQ(bar->AutomaticLabel, L"自動");
  EXPECT_EQ(bar->OtherLabel, L"その他");
  EXPECT_EQ(bar->DocumentColorsLabel, L"文書の色");
  EXPECT_EQ(bar->DocumentColors, std::list<COLORREF>{rgb(7, 7, 7)});
  EXPECT_TRUE(bar->UseSystemColorDialog);
  EXPECT_TRUE(bar->m_bLocked);

  // Docked at the top it lays its palette out in the two rows asked for.
  frame.DockControlBar(bar, DockBarTop);
  frame.RecalcLayout(true);
  ASSERT_TRUE(dynamic_cast<DockBar*>(bar->parentWidget()));
  const Rect first = bar->GetButton(indexOf(bar, kColours[0]))->m_rect;
  EXPECT_EQ(bar->GetButton(indexOf(bar, kColours[2]))->m_rect.top, first.top);
  EXPECT_GT(bar->GetButton(indexOf(bar, kColours[3]))->m_rect.top, first.top);

  // A choice there reaches the button and sends the command once.
  const QPoint at = centreOf(bar, indexOf(bar, kColours[1]));
  QTest::mouseMove(bar, at);
  QTest::mouseClick(bar, Qt::LeftButton, {}, at);
  EXPECT_EQ(button->GetColor(), kColours[1]);
  EXPECT_EQ(colorMenuButtonMap()[kFillColour], kColours[1]);
  EXPECT_EQ(frame.commands, std::vector<unsigned>{kFillColour});
}

TEST_F(ColorBarTest, AColourButtonsPopupIsNotTornOff) {
  auto* colourButton = new CUxColorButton(&frame);
  colourButton->setGeometry(10, 300, 100, 24);
  colourButton->show();
  QTest::mouseClick(colourButton, Qt::LeftButton, {}, {10, 10});
  CColorPopup* popup = colourButton->GetPopup();
  ASSERT_NE(popup, nullptr);
  const int bars = static_cast<int>(CUxToolBar::GetAllToolbars().size());
  EXPECT_EQ(popup->CreateTearOffBar(&frame, kTearOffId, L"x"), nullptr);
  EXPECT_EQ(static_cast<int>(CUxToolBar::GetAllToolbars().size()), bars);
  popup->close();
}

TEST_F(ColorBarTest, ACellHeldDownLooksPressedAndTheCurrentColoursCellChecked) {
  button->SetColor(kColours[4], false);
  CUxColorBar* bar = dockedTearOff();
  ASSERT_NE(bar, nullptr);
  const GlobalDrawData& g = globalData();
  const auto cornerPixels = [bar](int index) {
    const Rect r = bar->GetButton(index)->m_rect;
    const QImage shown = bar->grab().toImage();
    const QPoint topLeft = bar->ClientToWidget({r.left, r.top}), bottomRight = bar->ClientToWidget({r.right - 1, r.bottom - 1});
    return std::pair{fromPixel(shown.pixel(topLeft)), fromPixel(shown.pixel(bottomRight))};
  };
  EXPECT_EQ(cornerPixels(indexOf(bar, kColours[4])), std::pair(g.clrBarShadow, g.clrBarHighlight));

  const int held = indexOf(bar, kColours[2]);
  const QPoint at = centreOf(bar, held);
  QTest::mouseMove(bar, at);
  EXPECT_EQ(cornerPixels(held), std::pair(g.clrBarHighlight, g.clrBarShadow));  // hot: raised
  QTest::mousePress(bar, Qt::LeftButton, {}, at);
  ASSERT_TRUE(bar->GetButton(held)->m_nStyle & kStylePressed);
  EXPECT_EQ(cornerPixels(held), std::pair(g.clrBarShadow, g.clrBarHighlight));   // held: sunken
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
  EXPECT_EQ(bar->GetColor(), kColours[2]);
}

TEST_F(ColorBarTest, InCustomiseModeADoubleClickBesideTheCellsLeavesTheBarDockedUnlessItTakesInputThere) {
  CUxColorBar* bar = dockedTearOff();
  ASSERT_NE(bar, nullptr);
  const QPoint beside = bar->ClientToWidget({1, 1});
  ASSERT_EQ(bar->HitTest({1, 1}), -1);
  CUxToolBar::SetCustomizeMode(true);
  QTest::mouseDClick(bar, Qt::LeftButton, {}, beside);
  EXPECT_FALSE(bar->IsFloating());

  bar->EnabledInCustomizeMode = true;
  QTest::mouseDClick(bar, Qt::LeftButton, {}, beside);
  EXPECT_TRUE(bar->IsFloating());
}

TEST_F(ColorBarTest, ACancelledOtherColourOfAStandAloneBarGivesTheFocusBackToTheFrame) {
  CUxColorBar* bar = dockedTearOff();
  ASSERT_NE(bar, nullptr);
  auto* field = new QLineEdit(&frame);
  field->setGeometry(10, 300, 100, 24);
  field->show();
  field->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), field);
  const COLORREF before = bar->GetColor();

  CancellingChooser chooser;
  ColorDialogOverride guard(chooser);
  int other = -1;
  for (int i = 0; i < bar->GetCount(); ++i)
    if (auto* c = dynamic_cast<CColorButton*>(bar->GetButton(i)); c && c->IsOther) other = i;
  ASSERT_GE(other, 0);
  const QPoint at = centreOf(bar, other);
  QTest::mouseMove(bar, at);
  QTest::mouseClick(bar, Qt::LeftButton, {}, at);
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_EQ(bar->GetColor(), before);
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_EQ(QApplication::focusWidget(), &frame);
}

TEST(ColorBarMap, TheNamesGoIntoAnArchiveAndOnlyAWholeRecordReplacesThem) {
  auto& names = colorBarMap();
  names = {{rgb(0xFF, 0, 0), L"赤"}, {rgb(0, 0x80, 0), L"Green"}};
  const auto saved = names;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    serializeColorBarMap(out);
  }
  // The count, then the first colour of the pairs.
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6), (std::vector<uint8_t>{2, 0, 0xFF, 0, 0, 0}));

  names = {{rgb(1, 2, 3), L"other"}};
  {
    Archive in(Archive::Load, bytes);
    serializeColorBarMap(in);
  }
  EXPECT_EQ(names, saved);

  // A record cut short in its last name changes nothing.
  names = {{rgb(1, 2, 3), L"other"}};
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 2);
  Archive in(Archive::Load, cut);
  EXPECT_THROW(serializeColorBarMap(in), ArchiveException);
  EXPECT_EQ(names, (std::map<COLORREF, std::wstring>{{rgb(1, 2, 3), L"other"}}));
  names.clear();
}
