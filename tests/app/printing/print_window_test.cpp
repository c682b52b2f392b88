#include <gtest/gtest.h>

#include <QImage>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "app/printing/card_tool_dialog.h"
#include "app/printing/print_preview_dialog.h"
#include "app/printing/print_prompts.h"
#include "app_test_support.h"
#include "print_fixture.h"

using printtest::PrintApp;

namespace {

bool hasInk(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) return true;
  return false;
}

}  // namespace

TEST(PrintWindow, ALargeWindowCentresTheWhitePageWithoutScrollBars) {
  PrintApp p;
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.sampleIds());
  window.resize(1000, 1300);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.Paginate();
  QWidget* page = window.previewControl();
  // A4 at 80 %: 634 x 898 screen pixels.
  EXPECT_EQ(page->size(), QSize(634, 898));
  const QWidget* client = page->parentWidget();
  EXPECT_EQ(page->x(), 20 + (client->width() - 634 - 40) / 2);
  EXPECT_EQ(page->y(), 20 + (client->height() - 898 - 40) / 2);
  EXPECT_FALSE(window.findChild<QScrollBar*>("vscroll")->isVisible());
  EXPECT_FALSE(window.findChild<QScrollBar*>("hscroll")->isVisible());
  const QImage image = page->grab().toImage();
  EXPECT_EQ(image.pixel(300, 500), qRgb(255, 255, 255));
  EXPECT_EQ(qGray(image.pixel(0, 400)), 0);  // the sheet's frame
  // "暗記シート" at 10 mm from the corner: 30 pixels at 80 %.
  EXPECT_TRUE(hasInk(image, QRect(30, 30, 120, 20)));
  EXPECT_TRUE(hasInk(image, QRect(15, 14, 30, 14)));  // the header "%S" 5 mm from the edge
  EXPECT_FALSE(hasInk(image, QRect(60, 2, 100, 24)));
  // The first row at 20 mm (60 px), numbered in the first region from 10 mm.
  EXPECT_TRUE(hasInk(image, QRect(30, 60, 100, 14)));
}

TEST(PrintWindow, ASmallWindowScrollsThePageAndZoomStopsAtItsBounds) {
  PrintApp p;
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.sampleIds());
  window.resize(500, 400);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* vertical = window.findChild<QScrollBar*>("vscroll");
  EXPECT_TRUE(vertical->isVisible());
  EXPECT_EQ(window.previewControl()->y(), 20);
  vertical->setValue(100);
  const int clientHeight = window.previewControl()->parentWidget()->height() -
                           (window.findChild<QScrollBar*>("hscroll")->isVisible() ? vertical->sizeHint().width() : 0);
  EXPECT_NEAR(window.previewControl()->y(), 20 + clientHeight - 898 - 40, 1);

  for (int i = 0; i < 10; ++i) window.runCommand(153);
  EXPECT_EQ(window.zoomPercent(), 20);
  window.runCommand(139);
  EXPECT_EQ(window.zoomPercent(), 100);
  for (int i = 0; i < 50; ++i) window.runCommand(152);
  EXPECT_EQ(window.zoomPercent(), 500);
  EXPECT_TRUE(window.windowTitle().endsWith("[500%]"));
}

TEST(PrintWindow, PageSetUpRepaginatesAndAPrinterThatCannotOpenKeepsThePrevious) {
  PrintApp p;
  const std::vector<int> ids = p.addNumberedQuestions(200);
  CPrintPreviewDlg window(p.app, nullptr, L"set", ids);
  window.Paginate();
  const int a4Pages = window.pageCount();
  PageSetup a5;
  a5.paper = QPageSize::A5;
  p.prompts.nextSetup = a5;
  window.runCommand(134);
  EXPECT_EQ(window.renderer().geometry.paperWidth, 14800);
  EXPECT_GT(window.pageCount(), a4Pages);
  PageSetup missing = a5;
  missing.printerName = L"no-such-printer-here";
  missing.paper = QPageSize::A3;
  p.prompts.nextSetup = missing;
  window.runCommand(134);
  EXPECT_EQ(window.renderer().geometry.paperWidth, 14800);
  ASSERT_EQ(p.boxes.texts.size(), 1u);
  // Shuffling keeps every row reachable: the pages are counted again for the new order.
  window.runCommand(157);
  EXPECT_EQ(window.pageStarts().front(), 0);
  EXPECT_TRUE(window.windowTitle().contains(QString("(1/%1)").arg(window.pageCount())));
}

TEST(PrintDialogs, UnattendedRunsAnswerEveryPrintDialogThemselves) {
  testenv::ScopedEnv ok("KELVARA_AUTOANSWER", "ok");
  PageSetup setup;
  setup.paper = QPageSize::A5;
  EXPECT_TRUE(runPageSetup(nullptr, setup, PrinterGeometry()));
  EXPECT_EQ(setup.paper, QPageSize::A5);
  const std::optional<PrintRange> all = choosePrintRange(nullptr, 5, 2);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->from, 1);
  EXPECT_EQ(all->to, 5);
  TemplateFont font;
  font.size = 90;
  EXPECT_TRUE(chooseTemplateFont(nullptr, font, PrintTemplate::heightOfSize));
  EXPECT_EQ(font.size, 90);
  EXPECT_EQ(askTemplateName(nullptr, L"name"), L"name");
  testenv::ScopedEnv cancel("KELVARA_AUTOANSWER", "cancel");
  EXPECT_FALSE(runPageSetup(nullptr, setup, PrinterGeometry()));
  EXPECT_FALSE(choosePrintRange(nullptr, 5, 2));
  EXPECT_FALSE(askTemplateName(nullptr, L"name"));
}

TEST(PrintWindow, ThePrintAndCardToolMenuBarsHaveNoContextMenu) {
  PrintApp p;
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.sampleIds());
  window.show();
  EXPECT_EQ(apptest::contextMenusOverMenuBar(*window.findChild<QMenuBar*>()), 0);
  CPrintToolDlg tool(p.app, nullptr, {1});
  tool.show();
  EXPECT_EQ(apptest::contextMenusOverMenuBar(*tool.findChild<QMenuBar*>()), 0);
}
