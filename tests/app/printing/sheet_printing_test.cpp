#include <gtest/gtest.h>

#include <QDate>
#include <QRegularExpression>

#include "app/printing/print_preview_dialog.h"
#include "app/printing/sheet_renderer.h"
#include "held_database.h"
#include "platform/files/file_system.h"
#include "platform/windows/file_dialog.h"
#include "print_fixture.h"

using printtest::PrintApp;
using printtest::pdfInfo;
using printtest::pdfText;

namespace {

constexpr wchar_t kSetPath[] = L"中学生向け問題/中学校 学校・教室などの単語";

struct PdfRun {
  explicit PdfRun(PrintApp& p) : file(p.path(L"sheet.pdf")), env("KELVARA_PRINT_PDF", QString::fromStdWString(file).toUtf8().constData()) {}
  std::wstring file;
  testenv::ScopedEnv env;
};

// Answers the file dialog of printing to a PDF with this file, while it lives.
struct PdfSaver : platform::FileDialogs {
  explicit PdfSaver(std::wstring pdf) : file(std::move(pdf)) {}
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& r) override {
    return r.open ? std::nullopt : std::optional<std::wstring>(file);
  }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override { return {}; }
  std::wstring file;
  platform::FileDialogOverride guard{*this};
};

int occurrences(const std::string& text, const std::string& word) {
  int count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++count;
  return count;
}

}  // namespace

TEST(SheetPrinting, TheSampleSetPrintsTitleRowsHeaderAndFooterOnOnePdfPage) {
  PrintApp p;
  PdfRun pdf(p);
  CPrintPreviewDlg window(p.app, nullptr, kSetPath, p.sampleIds());
  window.Paginate();
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(p.prompts.ranges, 0);  // unattended PDF output asks nothing
  const std::string text = pdfText(pdf.file);
  EXPECT_NE(text.find("暗記シート"), std::string::npos);
  EXPECT_NE(text.find("1. 教室"), std::string::npos) << text;
  EXPECT_NE(text.find("1. classroom"), std::string::npos);
  EXPECT_NE(text.find(QString::fromStdWString(kSetPath).toStdString()), std::string::npos);
  EXPECT_NE(text.find(QDate::currentDate().toString("yyyy/MM/dd").toStdString()), std::string::npos);
  EXPECT_NE(text.find("- 1/1 -"), std::string::npos);
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), "1");
  EXPECT_EQ(pdfInfo(pdf.file, "Title"), "KlvPrint - " + QString::fromStdWString(kSetPath).toStdString());
  EXPECT_NE(pdfInfo(pdf.file, "Page size").find("(A4)"), std::string::npos);
}

TEST(SheetPrinting, AHeldDatabaseOpensNoWindowAndPrintsNothingWhileAnOpenWindowPrintsFromMemory) {
  PrintApp p;
  PdfRun pdf(p);
  const std::vector<int> ids = p.sampleIds();
  CPrintPreviewDlg opened(p.app, nullptr, kSetPath, ids);
  opened.Paginate();
  apptest::HeldDatabase held(p.settings.databasePath.value);
  ASSERT_TRUE(opened.Print());
  EXPECT_NE(pdfText(pdf.file).find("1. 教室"), std::string::npos);
  const std::optional<std::string> printed = platform::readFileBytes(pdf.file);

  held.nextAction();
  CPrintPreviewDlg refused(p.app, nullptr, kSetPath, ids);
  EXPECT_FALSE(refused.Print());
  EXPECT_EQ(refused.exec(), QDialog::Rejected);
  EXPECT_EQ(platform::readFileBytes(pdf.file), printed);
  EXPECT_EQ(p.boxes.texts, std::vector<std::wstring>{L"印刷する問題を読み込めませんでした。\n" + apptest::kBusyCause});
}

TEST(SheetPrinting, AThousandShuffledQuestionsPrintEachOnceInTheShuffleOrderOnTheCountedPages) {
  PrintApp p;
  PdfRun pdf(p);
  const std::vector<int> ids = p.addNumberedQuestions(1000);
  CPrintPreviewDlg window(p.app, nullptr, L"big", ids);
  window.runCommand(157);  // shuffle 1
  ASSERT_GT(window.pageCount(), 10);
  EXPECT_TRUE(window.windowTitle().contains(QString("(1/%1)").arg(window.pageCount())));
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), std::to_string(window.pageCount()));
  const QString text = QString::fromStdString(pdfText(pdf.file));
  std::vector<int> printed;
  QRegularExpressionMatchIterator it = QRegularExpression("質問Q(\\d+)E").globalMatch(text);
  while (it.hasNext()) printed.push_back(ids[it.next().captured(1).toInt() - 1]);
  EXPECT_EQ(printed, shuffledOrder(ids, 1));
  EXPECT_EQ(occurrences(text.toStdString(), "answerA1000E"), 1);
  // Every page starts where pagination said it would: the last page's footer counts them all.
  EXPECT_EQ(occurrences(text.toStdString(), QString("- %1/%1 -").arg(window.pageCount()).toStdString()), 1);
}

TEST(SheetPrinting, TheChosenRangeOrTheCurrentPageAloneIsPrinted) {
  PrintApp p;
  PdfRun pdf(p);
  const std::vector<int> ids = p.addNumberedQuestions(250);
  testenv::ScopedEnv noPdf("KELVARA_PRINT_PDF", nullptr);
  CPrintPreviewDlg window(p.app, nullptr, L"range", ids);
  window.Paginate();
  ASSERT_GE(window.pageCount(), 4);
  const std::vector<int> starts = window.pageStarts();
  // Without KELVARA_PRINT_PDF and without a printer the PDF file is asked for.
  PdfSaver saver(pdf.file);
  p.prompts.range = PrintRange{2, 3};
  ASSERT_TRUE(window.Print());
  EXPECT_TRUE(p.prompts.offered.pdfFile.ends_with(L"/KlvPrint.pdf"));
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), "2");
  const std::string text = pdfText(pdf.file);
  EXPECT_NE(text.find("質問Q" + std::to_string(starts[1] + 1) + "E"), std::string::npos);
  EXPECT_EQ(text.find("質問Q" + std::to_string(starts[1]) + "E"), std::string::npos);
  EXPECT_NE(text.find(QString("- 3/%1 -").arg(window.pageCount()).toStdString()), std::string::npos);

  window.runCommand(151);  // the current page becomes 2 of the list
  window.runCommand(151);
  p.prompts.range = PrintRange{3, 3};
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), "1");
  EXPECT_NE(pdfText(pdf.file).find("質問Q" + std::to_string(starts[2] + 1) + "E"), std::string::npos);

  // A file named in the print dialog is not asked for again.
  p.prompts.range = PrintRange{1, 1, p.path(L"印刷.pdf")};
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(p.path(L"印刷.pdf"), "Pages") + pdfInfo(pdf.file, "Pages"), "11");
  // The next print of the run, in a window of its own, offers the file of the last.
  CPrintPreviewDlg again(p.app, nullptr, L"range", ids);
  again.Paginate();
  ASSERT_TRUE(again.Print());
  EXPECT_EQ(p.prompts.offered.pdfFile, p.path(L"印刷.pdf"));
}

TEST(SheetPrinting, AnEmptySetPrintsOnePageOfFixedTextsHeaderAndFooter) {
  PrintApp p;
  PdfRun pdf(p);
  CPrintPreviewDlg window(p.app, nullptr, L"empty set", {});
  window.Paginate();
  EXPECT_EQ(window.pageCount(), 1);
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), "1");
  const std::string text = pdfText(pdf.file);
  EXPECT_NE(text.find("暗記シート"), std::string::npos);
  EXPECT_NE(text.find("empty set"), std::string::npos);
  EXPECT_NE(text.find("- 1/1 -"), std::string::npos);
}

TEST(SheetPrinting, ANarrowNumberedRegionAndRowsTallerThanThePageStillEnd) {
  PrintApp p;
  PdfRun pdf(p);
  const std::vector<int> ids = p.addNumberedQuestions(3);
  CPrintPreviewDlg window(p.app, nullptr, L"tall", ids);
  PrintTemplate& sheet = window.printTemplate();
  sheet.regions[0].width = 5;
  sheet.regions[1].lineHeightScale = 400;  // one line is taller than the paper
  window.Paginate();
  EXPECT_EQ(window.pageCount(), 3);
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(pdf.file, "Pages"), "3");
  EXPECT_NE(pdfText(pdf.file, 3, 3).find("answerA3E"), std::string::npos);
}

TEST(SheetPrinting, TheUnattendedPdfTakesThePaperOrientationAndMarginsOfThePageSetUp) {
  PrintApp p;
  PdfRun pdf(p);
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.addNumberedQuestions(60));
  std::vector<int> pages;
  for (int bottom : {1000, 6000}) {  // a wider bottom margin leaves fewer rows to a page
    p.prompts.nextSetup = PageSetup{L"a-printer", QPageSize::A5, QPageLayout::Landscape, {1000, 1000, 1000, bottom}};
    window.runCommand(134);
    ASSERT_TRUE(window.Print());  // to the file still, on the paper chosen
    pages.push_back(std::stoi(pdfInfo(pdf.file, "Pages")));
    EXPECT_EQ(pdfInfo(pdf.file, "Page size"), "595 x 420 pts (A5)");
  }
  EXPECT_LT(pages[0], pages[1]);
}

TEST(SheetPrinting, LandscapeTurnsThePdfPagesAndTheirRowsStartWhereTheLowerPagesEnd) {
  PrintApp p;
  const std::wstring file = p.path(L"landscape.pdf");
  const std::vector<int> ids = p.addNumberedQuestions(120);
  CPrintPreviewDlg window(p.app, nullptr, L"wide", ids);
  p.prompts.nextSetup = PageSetup();  // A4 upright into a PDF file, whatever printer the machine has
  window.runCommand(134);
  const std::vector<int> portraitStarts = window.pageStarts();
  PageSetup landscape;
  landscape.orientation = QPageLayout::Landscape;
  p.prompts.nextSetup = landscape;
  window.runCommand(134);
  const PrinterGeometry& g = window.renderer().geometry;
  EXPECT_EQ(g.paperWidth, 29700);
  EXPECT_EQ(g.paperHeight, 21000);
  EXPECT_GT(g.pageWidth, g.pageHeight);
  EXPECT_EQ(window.previewControl()->size(), QSize(898, 634));  // A4 lying, at 80 %
  const std::vector<int> starts = window.pageStarts();
  EXPECT_GT(starts.size(), portraitStarts.size());
  ASSERT_GE(starts.size(), 3u);

  PdfSaver saver(file);
  ASSERT_TRUE(window.Print());
  EXPECT_EQ(pdfInfo(file, "Pages"), std::to_string(starts.size()));
  const QRegularExpressionMatch size =
      QRegularExpression("([0-9.]+) x ([0-9.]+) pts").match(QString::fromStdString(pdfInfo(file, "Page size")));
  ASSERT_TRUE(size.hasMatch()) << pdfInfo(file, "Page size");
  EXPECT_NEAR(size.captured(1).toDouble(), 841.89, 0.5);
  EXPECT_NEAR(size.captured(2).toDouble(), 595.28, 0.5);
  // Each printed page begins with the row pagination gave it.
  for (size_t page = 1; page < starts.size(); ++page) {
    const std::string text = pdfText(file, static_cast<int>(page) + 1, static_cast<int>(page) + 1);
    EXPECT_NE(text.find("質問Q" + std::to_string(starts[page] + 1) + "E"), std::string::npos) << page;
    EXPECT_EQ(text.find("質問Q" + std::to_string(starts[page]) + "E"), std::string::npos) << page;
  }
}
