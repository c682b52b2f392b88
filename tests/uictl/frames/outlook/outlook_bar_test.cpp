// The outlook bar built exactly as the main dialog builds it, and what its pages, command
// buttons, animation and scrolling do for the user.
#include "platform/drawing/system_metrics.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/outlook/caption_bar.h"
#include "uictl/frames/outlook/outlook_bar.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QAbstractButton>
#include <QTemporaryDir>

using namespace platform;

namespace {

constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlue257 = 0xC80000;  // the square inside bitmap 257

// The dialog's own bar: it hears of every page change and asks for the same page again, as the
// dialog does when it shows the page.
class RecordingBar : public CUxOutlookBar {
 public:
  void OnActivatePage() override {
    seen.push_back(m_nActivePageID);
    SetActivePage(m_nActivePageID, true);
  }
  void DoPaint(Dc* dc) override {
    ++paints;
    CUxOutlookBar::DoPaint(dc);
  }
  std::vector<int> seen;
  int paints = 0;
};

// Counts the animation's steps and where the moving page button stood at each.
struct CountingSleeper {
  CountingSleeper() {
    setOutlookAnimationSleeper([this](int ms) {
      waits.push_back(ms);
      if (bar) paints.push_back(bar->paints);
      if (watched) tops.push_back(watched->geometry().top());
    });
  }
  ~CountingSleeper() { setOutlookAnimationSleeper(nullptr); }
  std::vector<int> waits, tops, paints;
  QWidget* watched = nullptr;
  const RecordingBar* bar = nullptr;
};

const wchar_t* const kPageNames[] = {L"問題集の情報", L"学習", L"問題毎の履歴", L"インターネット\nランキング"};

}  // namespace

class OutlookBarTest : public ::testing::Test {
 protected:
  OutlookBarTest() {
    dialog.resize(400, 600);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
  }

  // What the main dialog does when it starts; the fourth image comes from a file beside it.
  RecordingBar* buildAsTheShell() {
    auto* bar = new RecordingBar;
    EXPECT_TRUE(bar->Create(&dialog, 0x50001408, 1700));
    bar->SetTransparentColor(0x00FF00);
    bar->SetOwner(&dialog);
    bar->EnableSplitter(false);
    bar->SetColors(0xFFFFFF, 0xC0C0C0);
    bar->EnableTextLabels(true);
    EXPECT_TRUE(bar->AddPage(1, L"スマート学習"));
    EXPECT_TRUE(bar->AddButton(257, L"スマート学習", 32859, 1));
    EXPECT_TRUE(bar->AddButton(259, L"インターネット\nランキング", 230, 1));
    EXPECT_TRUE(bar->AddPage(2, L"通常学習"));
    const unsigned commands[] = {32803, 32802, 32804, 230};
    const unsigned bitmaps[] = {249, 257, 258, 259};
    QImage(QStringLiteral(":/bitmap/258.bmp")).save(files.filePath("olbar4.bmp"), "BMP");
    for (int i = 0; i < 4; ++i) {
      const std::wstring file = files.filePath(QStringLiteral("olbar%1.bmp").arg(i + 1)).toStdWString();
      if (QFile::exists(QString::fromStdWString(file)))
        EXPECT_TRUE(bar->AddButtonFromFile(file, kPageNames[i], commands[i], 2));
      else
        EXPECT_TRUE(bar->AddButton(bitmaps[i], kPageNames[i], commands[i], 2));
    }
    bar->setGeometry(0, 41, 100, 500);
    QApplication::processEvents();
    return bar;
  }

  UxLibrary library;
  QTemporaryDir files;
  CommandDialog dialog;
};

TEST_F(OutlookBarTest, BuiltAsTheShellBuildsIt) {
  RecordingBar* bar = buildAsTheShell();
  EXPECT_EQ(dialog.findChild<CUxOutlookBar*>("id1700"), bar);
  // The first page became active at once, without waiting for anything.
  EXPECT_EQ(bar->seen, std::vector<int>{1});
  EXPECT_EQ(bar->GetActivePageID(), 1);
  EXPECT_EQ(std::wstring(bar->FindPageName(2)), L"通常学習");
  EXPECT_EQ(bar->FindPageName(3), nullptr);
  EXPECT_TRUE(bar->m_rectSplitter.isEmpty());
  EXPECT_EQ(bar->GetVisibleButtonCount(), 2);
  EXPECT_EQ(bar->GetCount(), 6);

  // Page 1's button at the top of the bar, page 2's at the bottom, the buttons between.
  const int h = bar->m_nPageButtonHeight;
  EXPECT_EQ(bar->FindPage(1)->m_rectButton, (Rect{2, 0, 98, h}));
  EXPECT_EQ(bar->FindPage(2)->m_rectButton, (Rect{2, 499 - h, 98, 499}));
  EXPECT_EQ(bar->FindPage(2)->m_btnPage->geometry(), QRect(2, 499 - h, 96, h));
  const Rect first = bar->GetVisibleButton(0)->m_rect, second = bar->GetVisibleButton(1)->m_rect;
  EXPECT_EQ(first.top, h);
  EXPECT_EQ(second.top, first.bottom);
  // The two-line label makes its button one line taller.
  const int line = regularLineHeight();
  EXPECT_EQ(first.height(), 32 + line + 10);
  EXPECT_EQ(second.height(), 32 + 2 * line + 10);

  // Green is transparent, the labels are white and nothing else changed colour.
  const QImage shown = bar->grab().toImage();
  int green = 0, white = 0, blue = 0, shadow = 0;
  for (int y = first.top; y < second.bottom; ++y)
    for (int x = 2; x < 98; ++x) {
      const COLORREF c = fromPixel(shown.pixel(x, y));
      green += c == kGreen;
      white += c == kWhite;
      blue += c == kBlue257;
      shadow += c == globalData().clrBarShadow;
    }
  EXPECT_EQ(green, 0);
  EXPECT_EQ(blue, 16 * 16);
  EXPECT_GT(white, 0);
  EXPECT_GT(shadow, 0);
  // The label's second line is white too.
  int whiteBelow = 0;
  for (int y = second.top + 5 + 32 + 7 + line; y < second.bottom; ++y)
    for (int x = 2; x < 98; ++x) whiteBelow += fromPixel(shown.pixel(x, y)) == kWhite;
  EXPECT_GT(whiteBelow, 0);

  // As wide as two images and a margin, or the widest label line when that is wider.
  int widest = 2 * 32 + 10;
  for (const wchar_t* label : {L"スマート学習", L"インターネット\nランキング", L"問題集の情報", L"学習", L"問題毎の履歴"})
    widest = std::max(widest, regularLabelWidth(label));
  EXPECT_EQ(bar->CalcFixedLayout(false, false).cx, widest);

  // The dialog answers no command-UI requests; the bar's buttons stay usable all the same.
  CUxToolBar::IdleUpdateAll();
  EXPECT_TRUE(bar->FindPage(2)->m_btnPage->isEnabled());
  EXPECT_FALSE(bar->GetVisibleButton(1)->m_nStyle & kStyleDisabled);
  // A command button's command reaches the dialog.
  const QPoint centre((second.left + second.right) / 2, (second.top + second.bottom) / 2);
  QTest::mouseClick(bar, Qt::LeftButton, {}, centre);
  EXPECT_EQ(dialog.commands, (std::vector<std::pair<unsigned, int>>{{230, 0}}));

  // A disabled button's label is not in the bar's white but in the visual manager's colour for
  // it, the button face.
  ClassicSystemMetrics tinted;
  tinted.colours[ColorBtnFace] = rgb(30, 140, 60);
  const SystemMetricsOverride use(tinted);
  bar->GetVisibleButton(1)->m_nStyle |= kStyleDisabled;
  const QImage greyed = bar->grab().toImage();
  int whiteLabel = 0, faceLabel = 0;
  for (int y = second.top + 5 + 32 + 7; y < second.bottom; ++y)
    for (int x = 2; x < 98; ++x) {
      const COLORREF c = fromPixel(greyed.pixel(x, y));
      whiteLabel += c == kWhite;
      faceLabel += c == rgb(30, 140, 60);
    }
  EXPECT_EQ(whiteLabel, 0);
  EXPECT_GT(faceLabel, 0);
}

TEST_F(OutlookBarTest, PageChangesSlideThePageButtonInStepsAndEndPainted) {
  RecordingBar* bar = buildAsTheShell();
  const int h = bar->m_nPageButtonHeight;
  CountingSleeper sleeper;
  sleeper.watched = bar->FindPage(2)->m_btnPage.get();
  sleeper.bar = bar;

  bar->SetActivePage(2, true);
  EXPECT_EQ(bar->seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(bar->FindPage(2)->m_rectButton, (Rect{2, h, 98, 2 * h}));
  ASSERT_FALSE(sleeper.waits.empty());
  EXPECT_EQ(sleeper.waits.size(), static_cast<size_t>((499 - h - h + h - 1) / h));
  for (size_t i = 0; i < sleeper.tops.size(); ++i) EXPECT_EQ(sleeper.tops[i], 499 - h - static_cast<int>(i + 1) * h);
  for (int ms : sleeper.waits) EXPECT_EQ(ms, 10);
  // Every step was painted before its wait, and the end once more.
  for (size_t i = 1; i < sleeper.paints.size(); ++i) EXPECT_GT(sleeper.paints[i], sleeper.paints[i - 1]);
  EXPECT_GT(bar->paints, sleeper.paints.back());
  EXPECT_EQ(bar->GetVisibleButtonCount(), 4);
  EXPECT_EQ(bar->GetVisibleButton(0)->m_rect.top, 2 * h);

  // Back to the first page: the second page button goes down to the bottom in steps of its height.
  sleeper.waits.clear();
  sleeper.tops.clear();
  bar->SetActivePage(1, true);
  ASSERT_FALSE(sleeper.tops.empty());
  for (size_t i = 0; i < sleeper.tops.size(); ++i) EXPECT_EQ(sleeper.tops[i], static_cast<int>(i + 1) * h);
  EXPECT_GE(sleeper.tops.back(), 499 - h);
  EXPECT_EQ(bar->FindPage(2)->m_btnPage->geometry().top(), 499 - h);

  // The active page again, or a page that does not exist: nothing happens.
  sleeper.waits.clear();
  bar->SetActivePage(1, true);
  bar->SetActivePage(7, true);
  EXPECT_EQ(bar->seen, (std::vector<int>{1, 2, 1}));
  EXPECT_TRUE(sleeper.waits.empty());

  // Clicking the active page button does nothing; clicking the other one animates to it.
  QTest::mouseClick(bar->FindPage(1)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  EXPECT_EQ(bar->seen.size(), 3u);
  QTest::mouseClick(bar->FindPage(2)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  EXPECT_EQ(bar->seen.back(), 2);
  EXPECT_FALSE(sleeper.waits.empty());
}

TEST_F(OutlookBarTest, PagesAndButtonsRefuseWhatDoesNotFit) {
  auto* bar = new CUxOutlookBar;
  bar->Create(&dialog, 0x50001408, 1700);
  bar->EnableSplitter(false);
  bar->setGeometry(0, 0, 100, 400);
  // Without pages every button shows; one added so keeps page -1 and hides once pages exist.
  EXPECT_TRUE(bar->AddButton(0, L"free", 500));
  EXPECT_EQ(bar->GetVisibleButtonCount(), 1);
  EXPECT_EQ(bar->GetButton(0)->GetImage(), -1);
  EXPECT_FALSE(bar->AddButton(4242, L"missing", 501));
  EXPECT_FALSE(bar->AddButtonFromFile(L"/nonexistent/olbar1.bmp", L"missing", 501));

  EXPECT_TRUE(bar->AddPage(10, L"ten"));
  EXPECT_FALSE(bar->AddPage(10, L"again"));
  EXPECT_FALSE(bar->AddPage(11, L"far", nullptr, 5));
  EXPECT_EQ(bar->GetPageCount(), 1);
  EXPECT_EQ(std::wstring(bar->FindPageName(10)), L"ten");
  EXPECT_EQ(bar->GetVisibleButtonCount(), 0);
  EXPECT_EQ(bar->GetButton(0)->m_rect, (Rect{-1, -1, -1, -1}));

  // Page -1 is the first page; a page with a window takes no buttons, and its window is only hidden.
  EXPECT_TRUE(bar->AddButton(257, L"first", 502, -1));
  EXPECT_EQ(static_cast<CUxOutlookButton*>(bar->GetButton(1))->m_dwPageID, 10u);
  EXPECT_EQ(bar->m_csImage, (Size{32, 32}));
  auto* window = new QWidget(&dialog);
  EXPECT_TRUE(bar->AddPage(12, L"window", window, 0));
  EXPECT_FALSE(bar->AddButton(0, L"no", 503, 12));
  EXPECT_FALSE(bar->AddButton(0, L"no", 503, 99));
  bar->SetActivePage(12, false);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry(), bar->m_rectWorkArea.toQRect());
  // The window's owner may delete it first: the page then has none.
  delete window;
  bar->SetActivePage(10, false);
  EXPECT_EQ(bar->GetVisibleButtonCount(), 1);

  // Outlook buttons of different pages are different buttons; a copy keeps its page.
  CUxOutlookButton a, b, copy;
  a.m_nCommandId = b.m_nCommandId = 230;
  a.m_dwPageID = 1;
  b.m_dwPageID = 2;
  EXPECT_FALSE(a.CompareWith(b));
  copy.CopyFrom(b);
  EXPECT_EQ(copy.m_dwPageID, 2u);
  EXPECT_TRUE(copy.CompareWith(b));
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    b.Serialize(out);
  }
  CUxOutlookButton loaded;
  Archive in(Archive::Load, bytes);
  loaded.Serialize(in);
  EXPECT_EQ(loaded.m_dwPageID, 2u);
  EXPECT_EQ(loaded.m_nCommandId, 230u);
}

namespace {
// A bar whose page buttons are flat strips of no height.
class FlatPageBar : public CUxOutlookBar {
 public:
  void AdjustLayout() override {
    CUxOutlookBar::AdjustLayout();
    m_nPageButtonHeight = 0;
    AdjustLocations();
  }
};
}  // namespace

TEST_F(OutlookBarTest, ScrollingMovesByTheButtonsThatComeAndGo) {
  auto* bar = new CUxOutlookBar;
  bar->Create(&dialog, 0x50001408, 1700);
  bar->EnableSplitter(false);
  bar->EnableTextLabels(true);
  bar->AddPage(1, L"one");
  bar->AddPage(2, L"two");
  // Buttons of unequal heights on page 1, and page 2's after them in the list.
  const wchar_t* labels[] = {L"a", L"b\nb\nb", L"c", L"d\nd", L"e", L"f"};
  for (const wchar_t* label : labels) bar->AddButton(257, label, 600, 1);
  for (int i = 0; i < 3; ++i) bar->AddButton(259, L"other", 700, 2);
  bar->setGeometry(0, 0, 100, 250);
  QApplication::processEvents();
  const int top = bar->m_rectWorkArea.top;
  ASSERT_TRUE(bar->m_pBtnDown->isVisible());
  EXPECT_FALSE(bar->m_pBtnUp->isVisible());

  // A press on the down arrow scrolls at once; the release stops the repeat.
  QTest::mousePress(bar->m_pBtnDown, Qt::LeftButton, {}, {3, 3});
  EXPECT_EQ(bar->m_iFirstVisibleButton, 1);
  QTest::mouseRelease(bar->m_pBtnDown, Qt::LeftButton, {}, {3, 3});
  bar->ScrollDown();
  EXPECT_EQ(bar->m_iFirstVisibleButton, 2);
  EXPECT_EQ(bar->GetVisibleButton(2)->m_rect.top, top);
  EXPECT_TRUE(bar->m_pBtnUp->isVisible());
  // Up again: the tall second button comes back and starts the work area.
  bar->ScrollUp();
  EXPECT_EQ(bar->GetVisibleButton(1)->m_rect.top, top);
  bar->ScrollDown();

  // A little taller keeps the scroll; tall enough for every button scrolls all the way back.
  bar->resize(100, 260);
  QApplication::processEvents();
  EXPECT_GT(bar->m_iScrollOffset, 0);
  bar->resize(100, 700);
  QApplication::processEvents();
  EXPECT_EQ(bar->m_iScrollOffset, 0);
  EXPECT_EQ(bar->GetVisibleButton(0)->m_rect.top, bar->m_rectWorkArea.top);

  // Page buttons of no height: the change is made without animating.
  auto* flat = new FlatPageBar;
  flat->Create(&dialog, 0x50001408, 1701);
  flat->AddPage(1, L"one");
  flat->AddPage(2, L"two");
  flat->setGeometry(100, 0, 100, 300);
  CountingSleeper sleeper;
  flat->SetActivePage(2, true);
  EXPECT_EQ(flat->GetActivePageID(), 2);
  EXPECT_TRUE(sleeper.waits.empty());
}

// The close button hides a bar docked in a frame, which can show it again; in the dialog,
// which cannot, the bar stays.
TEST_F(OutlookBarTest, TheCloseButtonHidesTheBarWhereItsFrameCanShowItAgain) {
  constexpr unsigned kWithCaption = 0x50000000u | 0x00C00000u | CbrsAlignLeft;
  const auto closeButtonOf = [](CUxOutlookBar* bar) {
    auto* close = bar->findChild<QAbstractButton*>(QStringLiteral("id%1").arg(CUxOutlookBar::kCloseId));
    return close && close->isVisible() ? close : nullptr;
  };
  DockFrame frame;
  frame.EnableDocking(CbrsAlignAny);
  frame.resize(500, 400);
  frame.show();
  auto* docked = new CUxOutlookBar;
  ASSERT_TRUE(docked->Create(&frame, kWithCaption, 1701));
  docked->setWindowTitle(QStringLiteral("ショートカット"));
  ASSERT_TRUE(docked->AddPage(1, L"学習"));
  ASSERT_TRUE(docked->AddButton(257, L"スマート学習", 32859, 1));
  docked->EnableDocking(CbrsAlignAny);
  frame.DockControlBar(docked, DockBarLeft);
  frame.RecalcLayout(true);
  QApplication::processEvents();
  QAbstractButton* close = closeButtonOf(docked);
  ASSERT_NE(close, nullptr);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(docked->IsVisible());
  frame.ShowControlBar(docked, true, false);
  EXPECT_TRUE(docked->IsVisible());

  auto* inDialog = new CUxOutlookBar;
  ASSERT_TRUE(inDialog->Create(&dialog, kWithCaption, 1702));
  ASSERT_TRUE(inDialog->AddPage(1, L"学習"));
  inDialog->setGeometry(0, 0, 100, 300);
  QApplication::processEvents();
  close = closeButtonOf(inDialog);
  ASSERT_NE(close, nullptr);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_TRUE(inDialog->isVisible());
  EXPECT_TRUE(dialog.commands.empty());
}

// The splitter sets the bar's width: a frame lays the bar and its neighbours out again at once,
// a bar in a dialog takes the width itself.
TEST_F(OutlookBarTest, ASplitterDragWidensTheBarThroughItsFrame) {
  DockFrame frame;
  frame.EnableDocking(CbrsAlignAny);
  auto* pane = new QWidget(&frame);
  frame.SetCentralWidget(pane);
  frame.resize(500, 400);
  frame.show();
  auto* docked = new CUxOutlookBar;
  ASSERT_TRUE(docked->Create(&frame, 0x50000000u | CbrsAlignLeft, 1701));
  ASSERT_TRUE(docked->AddPage(1, L"学習"));
  ASSERT_TRUE(docked->AddButton(257, L"スマート学習", 32859, 1));
  docked->EnableDocking(CbrsAlignAny);
  frame.DockControlBar(docked, DockBarLeft);
  frame.RecalcLayout(true);
  QApplication::processEvents();
  const auto paneLeftOfBar = [&] { return pane->geometry().left() - docked->mapTo(&frame, QPoint(docked->width(), 0)).x(); };
  const int gap = paneLeftOfBar();
  const Rect splitter = docked->m_rectSplitter;
  ASSERT_FALSE(splitter.isEmpty());

  const QPoint from = docked->ClientToWidget({splitter.left + 1, 100});
  const QPoint to = docked->ClientToWidget({splitter.left + 41, 100});
  QTest::mousePress(docked, Qt::LeftButton, {}, from);
  QTest::mouseMove(docked, to);
  EXPECT_TRUE(docked->m_bSplitterDragging);
  QTest::mouseRelease(docked, Qt::LeftButton, {}, to);
  const int wanted = splitter.left + 41 + 3;
  EXPECT_FALSE(docked->m_bSplitterDragging);
  EXPECT_EQ(docked->m_nBarThickness, wanted);
  EXPECT_EQ(docked->width(), wanted);
  // The pane beside it moved at once, and the bar's strip follows its new edge.
  EXPECT_EQ(paneLeftOfBar(), gap);
  EXPECT_EQ(docked->m_rectSplitter.right, docked->ClientRect().right);
  EXPECT_EQ(docked->m_iHot, -1);
  QApplication::processEvents();
  EXPECT_EQ(docked->width(), wanted);
  EXPECT_EQ(paneLeftOfBar(), gap);

  // Without a frame the bar takes the width itself.
  auto* alone = new CUxOutlookBar;
  ASSERT_TRUE(alone->Create(&dialog, 0x50001408, 1700));
  alone->AddPage(1, L"学習");
  alone->setGeometry(0, 0, 100, 300);
  QApplication::processEvents();
  const Rect strip = alone->m_rectSplitter;
  QTest::mousePress(alone, Qt::LeftButton, {}, alone->ClientToWidget({strip.left, 50}));
  QTest::mouseRelease(alone, Qt::LeftButton, {}, alone->ClientToWidget({strip.left - 30, 50}));
  EXPECT_EQ(alone->size(), QSize(strip.left - 30 + 3, 300));

  // A drag whose mouse another window takes is cancelled: the line goes, the width stays.
  const Rect moved = alone->m_rectSplitter;
  QTest::mousePress(alone, Qt::LeftButton, {}, alone->ClientToWidget({moved.left, 50}));
  ASSERT_FALSE(alone->m_rectDragLine.isEmpty());
  auto* other = new QWidget(&dialog);
  setCapture(other);
  EXPECT_FALSE(alone->m_bSplitterDragging);
  EXPECT_TRUE(alone->m_rectDragLine.isEmpty());
  EXPECT_EQ(getCapture(), other);
  releaseCapture();
  QTest::mouseRelease(alone, Qt::LeftButton, {}, alone->ClientToWidget({moved.left - 30, 50}));
  EXPECT_EQ(alone->width(), strip.left - 30 + 3);
}

namespace {
class PageScrollBar : public CUxOutlookBar {
 public:
  PageScrollBar() { m_bScrollByPage = true; }
};
}  // namespace

// Scrolling by page moves the buttons the work area shows, and the last button stays in view.
TEST_F(OutlookBarTest, ScrollByPageMovesAWorkAreaOfButtonsAtATime) {
  auto* bar = new PageScrollBar;
  bar->Create(&dialog, 0x50001408, 1700);
  bar->EnableSplitter(false);
  bar->EnableTextLabels(true);
  bar->AddPage(1, L"one");
  for (unsigned i = 0; i < 10; ++i) bar->AddButton(257, L"a", 600 + i, 1);
  bar->setGeometry(0, 0, 100, 250);
  QApplication::processEvents();
  const int step = bar->GetVisibleButton(0)->m_rect.height();
  const int perPage = bar->m_rectWorkArea.height() / step;
  ASSERT_GE(perPage, 2);
  ASSERT_LT(2 * perPage, 10);
  const int top = bar->m_rectWorkArea.top;

  QTest::mousePress(bar->m_pBtnDown, Qt::LeftButton, {}, {3, 3});
  QTest::mouseRelease(bar->m_pBtnDown, Qt::LeftButton, {}, {3, 3});
  EXPECT_EQ(bar->m_iFirstVisibleButton, perPage);
  EXPECT_EQ(bar->GetVisibleButton(perPage)->m_rect.top, top);
  bar->ScrollDown();
  EXPECT_EQ(bar->m_iFirstVisibleButton, 2 * perPage);
  // Down as far as it goes: the last button is still shown.
  for (int i = 0; i < 5; ++i) bar->ScrollDown();
  EXPECT_LE(bar->m_iFirstVisibleButton, 9);
  EXPECT_LE(bar->GetVisibleButton(9)->m_rect.bottom, bar->m_rectWorkArea.bottom);
  const int last = bar->m_iFirstVisibleButton;
  bar->ScrollUp();
  EXPECT_EQ(bar->m_iFirstVisibleButton, std::max(0, last - perPage));
  for (int i = 0; i < 5; ++i) bar->ScrollUp();
  EXPECT_EQ(bar->m_iFirstVisibleButton, 0);
  EXPECT_EQ(bar->m_iScrollOffset, 0);
  EXPECT_EQ(bar->GetVisibleButton(0)->m_rect.top, top);
}

namespace {
// A frame's status bar or bottom toolbar: a strip of fixed height along the bottom.
class BottomStrip : public CUxControlBar {
 public:
  BottomStrip(QWidget* frame, unsigned id, int height) : CUxControlBar(frame), m_height(height) {
    SetDlgCtrlID(id);
    SetBarStyle(CbrsAlignBottom);
  }
  Size CalcFixedLayout(bool, bool) override { return {32767, m_height}; }
  int m_height;
};
}  // namespace

// A horizontal bar made in a frame lies against the frame's status bar, whatever bars were made
// between them; a vertical one lies between the bars made before it.
TEST_F(OutlookBarTest, AHorizontalBarGoesRightBehindTheStatusBar) {
  DockFrame frame;
  auto* pane = new QWidget(&frame);
  frame.SetCentralWidget(pane);
  frame.resize(500, 400);
  auto* status = new BottomStrip(&frame, kStatusBarId, 20);
  auto* toolbar = new BottomStrip(&frame, 0xE802, 30);
  auto* bar = new CUxOutlookBar;
  ASSERT_TRUE(bar->Create(&frame, 0x50000000u | CbrsAlignBottom, 0xE803));
  // A vertical bar comes last: it takes only the height the others leave.
  auto* left = new CUxOutlookBar;
  ASSERT_TRUE(left->Create(&frame, 0x50000000u | CbrsAlignLeft, 0xE804));
  frame.show();
  frame.RecalcLayout(true);
  EXPECT_EQ(status->geometry(), QRect(0, 380, 500, 20));
  EXPECT_EQ(bar->geometry().bottom(), 379);
  EXPECT_EQ(toolbar->geometry().bottom(), bar->geometry().top() - 1);
  EXPECT_EQ(left->geometry().bottom(), toolbar->geometry().top() - 1);

  // Without a status bar the bar stays where it was made.
  DockFrame plain;
  auto* first = new BottomStrip(&plain, 0xE802, 30);
  auto* second = new CUxOutlookBar;
  ASSERT_TRUE(second->Create(&plain, 0x50000000u | CbrsAlignBottom, 0xE803));
  EXPECT_EQ(plain.children().indexOf(first) + 1, plain.children().indexOf(second));
}

namespace {
// Another desktop's 3-D colours, so that a mapped gray shows.
class TintedSystem : public ClassicSystemMetrics {
 public:
  TintedSystem() {
    colours[ColorBtnShadow] = rgb(10, 20, 90);
    colours[ColorBtnFace] = rgb(30, 140, 60);
    colours[Color3dLight] = rgb(250, 200, 10);
  }
};
}  // namespace

// A background image's dark, face and light grays become the desktop's 3-D colours.
TEST_F(OutlookBarTest, TheBackgroundImageTakesTheDesktops3dColours) {
  TintedSystem desktop;
  SystemMetricsOverride use(desktop);
  auto* bar = new CUxOutlookBar;
  ASSERT_TRUE(bar->Create(&dialog, 0x50001408, 1700));
  bar->EnableSplitter(false);
  bar->setGeometry(0, 0, 100, 300);
  bar->SetBackgroundImage(300);
  ASSERT_TRUE(bar->m_bBackImageUsable);
  const QImage well = bar->m_BackImage.GetImageWell();
  ASSERT_EQ(well.size(), QSize(12, 12));
  EXPECT_EQ(fromPixel(well.pixel(5, 1)), rgb(10, 20, 90));
  EXPECT_EQ(fromPixel(well.pixel(5, 4)), rgb(30, 140, 60));
  EXPECT_EQ(fromPixel(well.pixel(5, 7)), rgb(250, 200, 10));
  EXPECT_EQ(fromPixel(well.pixel(5, 10)), rgb(200, 0, 0));
  // What the work area shows: the tinted bands, no classic gray.
  QApplication::processEvents();
  const QImage shown = bar->grab().toImage();
  const Rect work = bar->m_rectWorkArea;
  int tinted = 0, gray = 0;
  for (int y = work.top; y < work.bottom; ++y)
    for (int x = work.left; x < work.right; ++x) {
      const COLORREF c = fromPixel(shown.pixel(x, y));
      tinted += c == rgb(10, 20, 90) || c == rgb(250, 200, 10);
      gray += c == rgb(128, 128, 128) || c == rgb(223, 223, 223);
    }
  EXPECT_GT(tinted, 0);
  EXPECT_EQ(gray, 0);
}

// A desktop that gives a dark palette: the bars inside the dialog, which the toolkit does not tell
// of the change, take its colours, and the classic ones again with the stock palette.
TEST_F(OutlookBarTest, TheBarsInsideTheDialogFollowTheDesktopsPalette) {
  RecordingBar* bar = buildAsTheShell();
  auto* caption = new CUxCaptionBar;
  ASSERT_TRUE(caption->Create(0x50001408, &dialog, 1701, -1));
  caption->setGeometry(100, 0, 300, 30);
  QApplication::processEvents();
  const auto pixel = [](QWidget* widget, int x, int y) { return fromPixel(widget->grab().toImage().pixel(x, y)); };
  const COLORREF classicFace = globalData().clrBarFace;
  const QPalette before = QApplication::palette();
  QPalette dark = before;
  dark.setColor(QPalette::Button, QColor(49, 54, 59));
  dark.setColor(QPalette::Dark, QColor(98, 108, 118));
  dark.setColor(QPalette::Light, QColor(24, 27, 29));

  QApplication::setPalette(dark);
  EXPECT_EQ(globalData().clrBarFace, rgb(49, 54, 59));
  EXPECT_EQ(pixel(caption, 150, 1), rgb(49, 54, 59));
  EXPECT_EQ(pixel(caption, 150, 0), rgb(24, 27, 29));
  // The bar's background between its buttons is the desktop's shadow colour.
  const Rect work = bar->m_rectWorkArea;
  EXPECT_EQ(pixel(bar, work.left + 1, work.bottom - 2), rgb(98, 108, 118));

  QApplication::setPalette(before);
  EXPECT_EQ(globalData().clrBarFace, classicFace);
  EXPECT_EQ(pixel(caption, 150, 1), classicFace);
}
