// Colour menu buttons of one command on two toolbars and a stand-alone colour bar of it: a choice
// reaches all of them and sends the command once; the frame's document colours; the archive form.
#include "platform/settings/archive.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_menu_button.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QProcess>
#include <QTemporaryDir>
#include <optional>

using namespace platform;

namespace {

constexpr unsigned kFillColour = 5001;

// A frame that answers the request for the document's colours.
class DocumentFrame : public CommandDialog {
 public:
  bool event(QEvent* e) override {
    if (e->type() == UXTOOLBAR__GETDOCUMENTCOLORS && answer) {
      auto* m = static_cast<RegisteredMessageEvent*>(e);
      auto* list = reinterpret_cast<std::list<COLORREF>*>(m->lParam());
      *list = {rgb(1, 2, 3), rgb(4, 5, 6)};
      return true;
    }
    if (e->type() == registerWindowMessage("WM_SETMESSAGESTRING"))
      prompts.push_back(static_cast<unsigned>(static_cast<RegisteredMessageEvent*>(e)->wParam()));
    return CommandDialog::event(e);
  }
  void onUpdateCommandUi(CommandUi& state) override {
    if (state.id == kFillColour && fillEnabled) state.enable(*fillEnabled);
  }
  bool answer = false;
  std::optional<bool> fillEnabled;
  std::vector<unsigned> prompts;
};

constexpr COLORREF kStripe = rgb(0x12, 0x34, 0x56);

// The button drawn with a 16 x 15 image.
QImage drawn(CUxColorMenuButton* button, bool horizontal) {
  ToolbarImages images;
  images.SetImageSize({16, 15});
  QImage glyph(16, 15, QImage::Format_RGB32);
  glyph.fill(QColor(0x80, 0x80, 0x80));
  images.AddImage(glyph);
  QImage canvas(40, 40, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  Dc dc(canvas);
  button->OnDraw(&dc, {0, 0, 32, 30}, &images, horizontal, false, false, true, true);
  return canvas;
}

// The box of the stripe's own colour when the button draws itself.
QRect stripeOf(CUxColorMenuButton* button, bool horizontal) {
  const QImage canvas = drawn(button, horizontal);
  QRect box;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (fromPixel(canvas.pixel(x, y)) == kStripe) box |= QRect(x, y, 1, 1);
  return box;
}

}  // namespace

class ColorMenuButtonTest : public ::testing::Test {
 protected:
  ColorMenuButtonTest() {
    frame.resize(400, 300);
    for (int i = 0; i < 2; ++i) {
      auto* bar = new CUxToolBar(&frame);
      bar->Create(&frame, 0x50000000u | CbrsAlignTop, 0xE800 + i);
      auto button = std::make_unique<CUxColorMenuButton>();
      button->m_nCommandId = kFillColour;
      button->ShowAutomatic = true;
      button->AutomaticLabel = L"Automatic";
      button->DocumentColorsLabel = L"Document";
      button->ShowDocumentColors = true;
      buttons[i] = button.get();
      bar->InsertButton(std::move(button));
      bar->move(0, 30 * i);
      bar->resize(bar->sizeHint());
      bar->AdjustLayout();
      bars[i] = bar;
    }
    alone = new CUxColorBar;
    alone->CommandId = kFillColour;
    alone->CreateColorBar(&frame, 0x50000000u | CbrsAlignTop, 0xE900);
    alone->SetOwner(&frame);
    alone->setGeometry(0, 100, 93, 80);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));
  }
  UxLibrary library;
  DocumentFrame frame;
  CUxToolBar* bars[2] = {};
  CUxColorMenuButton* buttons[2] = {};
  CUxColorBar* alone = nullptr;
};

TEST_F(ColorMenuButtonTest, AChoiceReachesEveryButtonAndBarOfTheCommandAndSendsItOnce) {
  ASSERT_TRUE(buttons[0]->OpenPopupMenu(bars[0]));
  auto* popup = dynamic_cast<CColorPopup*>(buttons[0]->m_pPopupMenu);
  ASSERT_NE(popup, nullptr);
  CUxColorBar* bar = popup->GetColorBar();
  // Nobody answered the document colours: no such section.
  for (int i = 0; i < bar->GetCount(); ++i)
    if (auto* c = dynamic_cast<CColorButton*>(bar->GetButton(i))) {
      EXPECT_FALSE(c->IsDocumentCaption);
    }
  // Red is the 14th standard colour, after the automatic entry.
  const Rect r = bar->GetButton(14)->m_rect;
  const QPoint at = bar->ClientToWidget({r.left + 3, r.top + 3});
  QTest::mouseMove(bar, at);
  QTest::mouseClick(bar, Qt::LeftButton, {}, at);
  QApplication::processEvents();
  EXPECT_EQ(buttons[0]->GetColor(), rgb(255, 0, 0));
  EXPECT_EQ(buttons[1]->GetColor(), rgb(255, 0, 0));
  EXPECT_EQ(alone->GetColor(), rgb(255, 0, 0));
  EXPECT_EQ(colorMenuButtonMap()[kFillColour], rgb(255, 0, 0));
  ASSERT_EQ(frame.commands.size(), 1u);
  EXPECT_EQ(frame.commands[0].first, kFillColour);
  EXPECT_EQ(buttons[0]->m_pPopupMenu, nullptr);

  // A choice in the stand-alone bar reaches the buttons without a notification of their own.
  const Rect blue = alone->GetButton(16)->m_rect;
  const QPoint there = alone->ClientToWidget({blue.left + 3, blue.top + 3});
  QTest::mouseMove(alone, there);
  QTest::mouseClick(alone, Qt::LeftButton, {}, there);
  EXPECT_EQ(buttons[0]->GetColor(), rgb(0, 0, 255));
  EXPECT_EQ(buttons[1]->GetColor(), rgb(0, 0, 255));
  EXPECT_EQ(frame.commands.size(), 2u);

  // A frame that answers gives the popup its document section.
  frame.answer = true;
  ASSERT_TRUE(buttons[1]->OpenPopupMenu(bars[1]));
  bar = dynamic_cast<CColorPopup*>(buttons[1]->m_pPopupMenu)->GetColorBar();
  EXPECT_EQ(bar->DocumentColors.size(), 2u);
  EXPECT_EQ(bar->CalcSize(false).cy, 24 + 64 + 8 + 16 + 4 + 24 + 4);
  buttons[1]->m_pPopupMenu->close();
}

TEST_F(ColorMenuButtonTest, AStandAloneBarGreysWithItsCommandAndTellsTheStatusBarOfIt) {
  const auto cellsDisabled = [this] {
    int n = 0;
    for (int i = 0; i < alone->GetCount(); ++i) n += (alone->GetButton(i)->m_nStyle & kStyleDisabled) != 0;
    return n;
  };
  const Rect r = alone->GetButton(16)->m_rect;
  const QPoint blue = alone->ClientToWidget({r.left + 3, r.top + 3});

  // Hovering a cell shows the command's prompt.
  QTest::mouseMove(&frame, {300, 250});
  QTest::mouseMove(alone, blue);
  ASSERT_FALSE(frame.prompts.empty());
  EXPECT_EQ(frame.prompts.back(), kFillColour);

  frame.fillEnabled = false;
  CUxToolBar::IdleUpdateAll();
  EXPECT_EQ(cellsDisabled(), alone->GetCount());
  QTest::mouseClick(alone, Qt::LeftButton, {}, blue);
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_NE(alone->GetColor(), rgb(0, 0, 0xFF));
  // Cells built again while the command is off are grey as well.
  alone->Rebuild();
  EXPECT_EQ(cellsDisabled(), alone->GetCount());

  frame.fillEnabled = true;
  CUxToolBar::IdleUpdateAll();
  EXPECT_EQ(cellsDisabled(), 0);
  QTest::mouseMove(alone, blue + QPoint(1, 0));
  QTest::mouseClick(alone, Qt::LeftButton, {}, blue);
  EXPECT_EQ(alone->GetColor(), rgb(0, 0, 0xFF));
  EXPECT_EQ(frame.commands.size(), 1u);
}

TEST_F(ColorMenuButtonTest, TheArchiveFormRoundTripsWithoutTheDockedCounts) {
  CUxColorMenuButton source;
  source.m_nCommandId = 77;
  source.Colors = {rgb(1, 1, 1), rgb(2, 2, 2)};
  source.Columns = 3;
  source.ColumnsWhenDockedVert = 9;
  source.ShowOther = true;
  source.OtherLabel = L"その他";
  source.AutomaticColor = rgb(9, 8, 7);
  source.UseSystemColorDialog = true;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeObject(&source);
  }
  Archive in(Archive::Load, bytes);
  std::unique_ptr<CObject> object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton));
  auto* loaded = dynamic_cast<CUxColorMenuButton*>(object.get());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Colors, source.Colors);
  EXPECT_EQ(loaded->Columns, 3);
  EXPECT_EQ(loaded->ColumnsWhenDockedVert, -1);
  EXPECT_TRUE(loaded->ShowOther);
  EXPECT_EQ(loaded->OtherLabel, L"その他");
  EXPECT_EQ(loaded->AutomaticColor, rgb(9, 8, 7));
  EXPECT_TRUE(loaded->UseSystemColorDialog);
  // A stream cut short is refused, not half-read.
  bytes.resize(bytes.size() - 3);
  Archive cut(Archive::Load, bytes);
  EXPECT_THROW(cut.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton)), ArchiveException);

  // The stand-alone bar's own record.
  alone->Columns = 4;
  alone->AutomaticLabel = L"Auto";
  alone->UseSystemColorDialog = true;
  std::vector<uint8_t> barBytes;
  {
    Archive out(Archive::Store, barBytes);
    alone->Serialize(out);
  }
  CUxColorBar copy;
  Archive barIn(Archive::Load, barBytes);
  copy.Serialize(barIn);
  EXPECT_EQ(copy.Columns, 4);
  EXPECT_EQ(copy.CommandId, kFillColour);
  EXPECT_EQ(copy.AutomaticLabel, L"Auto");
  EXPECT_TRUE(copy.UseSystemColorDialog);
  EXPECT_EQ(copy.Colors, alone->Colors);
  EXPECT_EQ(copy.GetCount(), 21);
}

TEST_F(ColorMenuButtonTest, ADialogControlFitsSquareCellsCentredAndSendsItsId) {
  auto* control = new CUxColorBar;
  ASSERT_TRUE(control->CreateControl(&frame, Rect::fromSize(10, 200, 150, 90), 1234));
  EXPECT_EQ(control->objectName(), QStringLiteral("id1234"));
  EXPECT_EQ(control->CellWidth, control->CellHeight);
  const Rect client = control->ClientRect();
  const Size size = control->CalcSize(false);
  EXPECT_LE(size.cx, client.width());
  EXPECT_LE(size.cy, client.height());
  EXPECT_EQ(control->OffsetX, (client.width() - size.cx) / 2);
  EXPECT_EQ(control->OffsetY, (client.height() - size.cy) / 2);
  // A bigger cell would no longer fit.
  ++control->CellWidth;
  ++control->CellHeight;
  const Size bigger = control->CalcSize(false);
  EXPECT_TRUE(bigger.cx > client.width() || bigger.cy > client.height());
  --control->CellWidth;
  --control->CellHeight;

  const Rect r = control->GetButton(3)->m_rect;
  EXPECT_GE(r.left, control->OffsetX);
  const QPoint at = control->ClientToWidget({r.left + 2, r.top + 2});
  QTest::mouseMove(control, at);
  QTest::mouseClick(control, Qt::LeftButton, {}, at);
  ASSERT_EQ(frame.commands.size(), 1u);
  EXPECT_EQ(frame.commands[0].first, 1234u);
  EXPECT_EQ(control->GetColor(), rgb(0x80, 0x80, 0));

  // A tiny control still gets cells of a pixel and never divides by nothing.
  auto* tiny = new CUxColorBar;
  ASSERT_TRUE(tiny->CreateControl(&frame, Rect::fromSize(0, 0, 3, 3), 1235));
  EXPECT_EQ(tiny->CellWidth, 1);
  EXPECT_EQ(tiny->CellHeight, 1);
}

TEST_F(ColorMenuButtonTest, TheStripeMovesDownOnAVerticalBarAndWithTheImageOfThePressedLook) {
  CUxColorMenuButton* button = buttons[0];
  button->SetImage(0);
  button->SetColor(kStripe, false);
  const QRect plain = stripeOf(button, true);
  ASSERT_FALSE(plain.isEmpty());
  EXPECT_EQ(stripeOf(button, false), plain.translated(0, 1));

  button->m_nStyle |= kStyleChecked;
  EXPECT_EQ(stripeOf(button, true), plain.translated(1, 1));
  EXPECT_EQ(stripeOf(button, false), plain.translated(1, 2));
  button->m_nStyle &= ~kStyleChecked;

  // An open menu draws the image pressed, and the stripe with it.
  ASSERT_TRUE(button->OpenPopupMenu(bars[0]));
  EXPECT_EQ(stripeOf(button, true), plain.translated(1, 1));
  button->m_pPopupMenu->close();
  QApplication::processEvents();

  // Looks that leave the image in place leave the stripe there too.
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  button->m_nStyle |= kStylePressed;
  manager->bShadowHighlightedImages = true;
  EXPECT_EQ(stripeOf(button, true), plain);
  manager->bShadowHighlightedImages = false;
  manager->bFlatMenus = true;
  // Flat menus frame only a stripe of the face colour: this one shows its colour to the edge.
  EXPECT_EQ(stripeOf(button, true), plain.adjusted(-1, -1, 1, 1));
  manager->bFlatMenus = false;

  // A button whose command is off shows no colour: its stripe is the shadow's, whatever it holds.
  button->m_nStyle |= kStyleDisabled;
  const QImage off = drawn(button, true);
  button->m_nStyle &= ~kStyleDisabled;
  for (int y = plain.top(); y <= plain.bottom(); ++y)
    for (int x = plain.left(); x <= plain.right(); ++x)
      ASSERT_EQ(fromPixel(off.pixel(x, y)), globalData().clrBarShadow) << x << "," << y;
}

// A toolbar saved with a colour menu button is loaded by the next run of the program before it
// has made any colour class: the test runs itself again as that next run. A workspace stating
// no data version has the docked counts in the stream.
TEST(ColourClassesAtStartUp, AToolbarSavedWithAColourMenuButtonLoadsInTheNextRun) {
  const char* nextRun = std::getenv("KELVARA_STORED_COLOUR_TOOLBAR");
  QTemporaryDir store;
  UxLibrary library;
  setenv("XDG_CONFIG_HOME", nextRun ? nextRun : store.path().toUtf8().constData(), 1);
  setWorkspace(new CObject, true);
  QWidget frame;
  auto* bar = new CUxToolBar(&frame);
  ASSERT_TRUE(bar->Create(&frame, 0x50000000u | CbrsAlignTop, 0xE820));
  if (nextRun) {
    ASSERT_TRUE(bar->LoadState());
    auto* loaded = dynamic_cast<CUxColorMenuButton*>(bar->GetButton(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Colors, std::vector<COLORREF>{rgb(1, 2, 3)});
    EXPECT_EQ(loaded->RowsWhenDockedHorz, 2);
    return;
  }
  auto button = std::make_unique<CUxColorMenuButton>();
  button->Colors = {rgb(1, 2, 3)};
  button->RowsWhenDockedHorz = 2;
  bar->InsertButton(std::move(button));
  ASSERT_TRUE(bar->SaveState());
  QProcess next;
  qputenv("KELVARA_STORED_COLOUR_TOOLBAR", store.path().toUtf8());
  next.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ColourClassesAtStartUp.*")});
  qunsetenv("KELVARA_STORED_COLOUR_TOOLBAR");
  ASSERT_TRUE(next.waitForFinished(60000));
  const QByteArray output = next.readAllStandardOutput();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
