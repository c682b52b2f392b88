#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "app/printing/card_tool_dialog.h"
#include "app/shell/app_look.h"
#include "app/printing/print_preview_dialog.h"
#include "app/printing/print_prompts.h"
#include "app_test_support.h"
#include "list_view_input.h"
#include "print_fixture.h"
#include "scoped_env.h"
#include "study_window_support.h"
#include "patience.h"

using printtest::PrintApp;

namespace {

QStringList labels(const std::vector<PaperChoice>& papers) {
  QStringList names;
  for (const PaperChoice& paper : papers) names << QString::fromStdWString(paper.label);
  return names;
}

QStringList items(const QComboBox& combo) {
  QStringList texts;
  for (int i = 0; i < combo.count(); ++i) texts << combo.itemText(i);
  return texts;
}

const QStringList kCommonPapers{"A3", "A4", "A5", "B4 (JIS)", "B5 (JIS)", "Letter", "Legal"};

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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));
  studytest::expectProgramIcon(window.windowIcon());
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));
  auto* vertical = window.findChild<QScrollBar*>("vscroll");
  EXPECT_TRUE(vertical->isVisible());
  EXPECT_EQ(window.previewControl()->y(), 20);
  vertical->setValue(100);
  const int clientHeight = window.previewControl()->parentWidget()->height() -
                           (window.findChild<QScrollBar*>("hscroll")->isVisible() ? vertical->sizeHint().width() : 0);
  EXPECT_NEAR(window.previewControl()->y(), 20 + clientHeight - 898 - 40, 1);

  // The wheel zooms with Ctrl held: in when turned away from the learner, out when turned back.
  QWidget& page = *window.previewControl();
  const QPoint middle = page.rect().center();
  listinput::turnWheelOver(page, middle, -1, Qt::ControlModifier);
  EXPECT_EQ(window.zoomPercent(), 90);
  listinput::turnWheelOver(page, middle, 2, Qt::ControlModifier);
  EXPECT_EQ(window.zoomPercent(), 70);
  listinput::turnWheelOver(page, middle, -1);
  EXPECT_EQ(window.zoomPercent(), 70);

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

TEST(PrintWindow, StoppingTheShuffleBringsTheGivenOrderBackAndThePagesStopAtTheirEnds) {
  PrintApp p;
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.addNumberedQuestions(200));
  window.Paginate();
  ASSERT_GE(window.pageCount(), 3);
  const auto firstPage = [&] { return window.previewControl()->grab().toImage(); };
  const QImage inGivenOrder = firstPage();
  window.findChild<QAction*>("id157")->trigger();
  EXPECT_NE(firstPage(), inGivenOrder);
  window.findChild<QAction*>("id157")->trigger();
  window.findChild<QAction*>("id158")->trigger();
  EXPECT_EQ(firstPage(), inGivenOrder);

  const QString ofAll = QString("/%1)").arg(window.pageCount());
  QAction& previous = *window.findChild<QAction*>("id150");
  QAction& next = *window.findChild<QAction*>("id151");
  next.trigger();
  previous.trigger();
  previous.trigger();
  EXPECT_EQ(window.currentPage(), 0);
  EXPECT_TRUE(window.windowTitle().contains("(1" + ofAll)) << window.windowTitle().toStdString();
  for (int i = 0; i <= window.pageCount(); ++i) next.trigger();
  EXPECT_EQ(window.currentPage(), window.pageCount() - 1);
  EXPECT_TRUE(window.windowTitle().contains(QString("(%1").arg(window.pageCount()) + ofAll));
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

TEST(TemplateNameDialog, OffersTheNameSelectedSoThatTypingReplacesIt) {
  testenv::ScopedEnv shown("KELVARA_AUTOANSWER", nullptr);
  apptest::whenDialogShows([](QDialog& dialog) {
    QTest::keyClicks(dialog.findChild<QLineEdit*>("id1289"), "walk");
    dialog.findChild<QPushButton*>("id1")->click();
  });
  EXPECT_EQ(askTemplateName(nullptr, L"新規テンプレート"), L"walk");
}

TEST(PageSetupDialog, OffersTheOrientationAndThePapersOfThePrinterChosen) {
  testenv::ScopedEnv shown("KELVARA_AUTOANSWER", nullptr);
  PageSetup setup;
  setup.paper = QPageSize::A5;
  QStringList pdfPapers;
  QString paperShown;
  apptest::whenDialogShows([&](QDialog& dialog) {
    auto* printer = dialog.findChild<QComboBox*>("printer");
    auto* paper = dialog.findChild<QComboBox*>("paper");
    auto* orientation = dialog.findChild<QComboBox*>("orientation");
    EXPECT_EQ(items(*orientation), (QStringList{QString::fromWCharArray(L"縦"), QString::fromWCharArray(L"横")}));
    EXPECT_EQ(orientation->currentIndex(), 0);
    EXPECT_EQ(printer->currentText(), "PDF");
    pdfPapers = items(*paper);
    paperShown = paper->currentText();
    // Each printer lists its own papers as it is chosen.
    for (int i = 0; i < printer->count(); ++i) {
      printer->setCurrentIndex(i);
      EXPECT_EQ(items(*paper), labels(papersFor(printer->itemData(i).toString().toStdWString()))) << i;
    }
    printer->setCurrentIndex(printer->findText("PDF"));
    paper->setCurrentIndex(paper->findText("B5 (JIS)"));
    orientation->setCurrentIndex(1);
    dialog.findChild<QPushButton*>("id1")->click();
  });
  ASSERT_TRUE(runPageSetup(nullptr, setup, PrinterGeometry()));
  EXPECT_EQ(pdfPapers, kCommonPapers);
  EXPECT_EQ(paperShown, "A5");
  EXPECT_TRUE(setup.paper.isEquivalentTo(QPageSize(QPageSize::JisB5)));
  EXPECT_EQ(setup.orientation, QPageLayout::Landscape);
  EXPECT_EQ(setup.printerName, L"");
}

TEST(PrintDialog, WithoutAPrinterItOpensOnThePdfFileItNamesAndSpeaksJapanese) {
  testenv::ScopedEnv shown("KELVARA_AUTOANSWER", nullptr);
  setUpApplicationLook();
  const QString pdf = QString::fromWCharArray(L"/tmp/単語シート.pdf");
  QStringList seen, english;
  apptest::whenDialogShows([&](QDialog& dialog) {
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())  // its options, where pages are chosen
      if (button->text().endsWith(">>")) button->click();
    seen << dialog.findChild<QComboBox*>("printers")->currentText() << dialog.findChild<QLineEdit*>("filename")->text();
    auto* tabs = dialog.findChild<QTabWidget*>();
    for (int tab = 0; tab < tabs->count(); ++tab) {
      tabs->setCurrentIndex(tab);
      for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = widget->toolTip() + (button ? button->text() : QString());
        if (widget->isVisibleTo(&dialog) && text.contains(QRegularExpression("[A-Za-z]{2,}"))) english << text;
      }
    }
    dialog.accept();
  });
  const std::optional<PrintRange> range = choosePrintRange(nullptr, 5, 1, {L"", pdf.toStdWString()});
  EXPECT_EQ(seen, (QStringList{QString::fromWCharArray(L"PDF ファイルに出力"), pdf}));
  EXPECT_TRUE(english.isEmpty()) << english.join('\n').toStdString();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->pdfFile, pdf.toStdWString());
}

TEST(PaperList, APrinterOffersItsOwnSizesAndAPdfFileTheCommonOnes) {
  EXPECT_EQ(labels(papersFor(L"")), kCommonPapers);
  EXPECT_EQ(defaultPaperFor(L""), QPageSize(QPageSize::A4));
  // Every printer of the print system on this machine (there may be none).
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    const std::wstring name = info.printerName().toStdWString();
    const std::vector<PaperChoice> papers = papersFor(name);
    const QList<QPageSize> own = info.supportedPageSizes();
    if (own.isEmpty()) {
      EXPECT_EQ(labels(papers), kCommonPapers) << info.printerName().toStdString();
      continue;
    }
    ASSERT_EQ(papers.size(), static_cast<size_t>(own.size())) << info.printerName().toStdString();
    for (qsizetype i = 0; i < own.size(); ++i) {
      EXPECT_EQ(papers[i].size, own[i]);
      EXPECT_EQ(papers[i].label, own[i].name().toStdWString());
    }
    // Opened on its last paper, lying: the printer takes both.
    PageSetup setup;
    setup.printerName = name;
    setup.paper = papers.back().size;
    setup.orientation = QPageLayout::Landscape;
    const std::unique_ptr<QPrinter> printer = openPrinter(setup);
    ASSERT_TRUE(printer) << info.printerName().toStdString();
    EXPECT_TRUE(printer->pageLayout().pageSize().isEquivalentTo(setup.paper)) << info.printerName().toStdString();
    EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape);
    const PrinterGeometry g = geometryOf(*printer, setup.margins);
    EXPECT_GE(g.pageWidth, g.pageHeight);
    // Turned, the paper's unprintable top and bottom come to the sides.
    setup.orientation = QPageLayout::Portrait;
    const std::unique_ptr<QPrinter> upright = openPrinter(setup);
    ASSERT_TRUE(upright);
    const PrinterGeometry u = geometryOf(*upright, setup.margins);
    EXPECT_EQ(u.pageWidth, g.pageHeight);
    EXPECT_GE(g.unprintable[0], std::max(u.unprintable[1], u.unprintable[3]) - 1);
    EXPECT_GE(g.unprintable[1], std::max(u.unprintable[0], u.unprintable[2]) - 1);
  }
  // A printer gone meanwhile, or one that reports no sizes, offers the common ones.
  EXPECT_EQ(labels(printerPapers(QPrinterInfo())), kCommonPapers);
  EXPECT_EQ(labels(papersFor(L"no-such-printer-here")), kCommonPapers);
  EXPECT_EQ(defaultPaperFor(L"no-such-printer-here"), QPageSize(QPageSize::A4));
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
