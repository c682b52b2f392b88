#include "app/printing/print_setup.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>

std::vector<std::wstring> systemPrinters() {
  std::vector<std::wstring> names;
  const QString preferred = QPrinterInfo::defaultPrinterName();
  if (!preferred.isEmpty()) names.push_back(preferred.toStdWString());
  for (const QString& name : QPrinterInfo::availablePrinterNames())
    if (name != preferred) names.push_back(name.toStdWString());
  return names;
}

namespace {

std::vector<PaperChoice> commonPapers() {
  const std::pair<QPageSize::PageSizeId, const wchar_t*> papers[] = {
      {QPageSize::A3, L"A3"},          {QPageSize::A4, L"A4"},          {QPageSize::A5, L"A5"},
      {QPageSize::JisB4, L"B4 (JIS)"}, {QPageSize::JisB5, L"B5 (JIS)"}, {QPageSize::Letter, L"Letter"},
      {QPageSize::Legal, L"Legal"}};
  std::vector<PaperChoice> choices;
  for (const auto& [id, label] : papers) choices.push_back({QPageSize(id), label});
  return choices;
}

}  // namespace

std::vector<PaperChoice> printerPapers(const QPrinterInfo& printer) {
  std::vector<PaperChoice> choices;
  for (const QPageSize& size : printer.supportedPageSizes())
    if (size.isValid()) choices.push_back({size, size.name().toStdWString()});
  return choices.empty() ? commonPapers() : choices;
}

std::vector<PaperChoice> papersFor(const std::wstring& printerName) {
  if (printerName.empty()) return commonPapers();
  return printerPapers(QPrinterInfo::printerInfo(QString::fromStdWString(printerName)));
}

QPageSize defaultPaperFor(const std::wstring& printerName) {
  if (printerName.empty()) return QPageSize(QPageSize::A4);
  const QPageSize size = QPrinterInfo::printerInfo(QString::fromStdWString(printerName)).defaultPageSize();
  return size.isValid() ? size : QPageSize(QPageSize::A4);
}

std::optional<std::wstring> pdfTargetFromEnvironment() {
  const char* path = std::getenv("KELVARA_PRINT_PDF");
  if (!path || !*path) return std::nullopt;
  return QString::fromLocal8Bit(path).toStdWString();
}

std::vector<std::wstring> offeredPrinters() {
  return pdfTargetFromEnvironment() ? std::vector<std::wstring>() : systemPrinters();
}

std::unique_ptr<QPrinter> openPrinter(const PageSetup& setup) {
  std::unique_ptr<QPrinter> printer;
  if (setup.printerName.empty()) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdWString(setup.printerName));
    if (info.isNull()) return nullptr;
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid()) return nullptr;
  }
  printer->setResolution(kPrintResolution);
  printer->setFullPage(false);
  // Through the printer, not a layout of our own: it then brings the unprintable edges of that
  // paper, and a printer takes no layout whose margins lie inside them.
  printer->setPageOrientation(QPageLayout::Portrait);
  printer->setPageSize(setup.paper);
  const QMarginsF upright = printer->pageLayout().minimumMargins();
  printer->setPageOrientation(setup.orientation);
  const QPageLayout layout = printer->pageLayout();
  if (setup.printerName.empty()) {
    printer->setPageMargins(QMarginsF(), layout.units());
  } else {
    // The print system reports the edges of the upright paper also for a turned one. Turned, the
    // upright top and bottom edges come to the sides (and the sides to top and bottom); which way
    // it turns is the driver's, so each side keeps out of the wider of the two.
    QMarginsF edges = layout.minimumMargins();
    if (setup.orientation == QPageLayout::Landscape) {
      const qreal sides = std::max(upright.top(), upright.bottom());
      const qreal ends = std::max(upright.left(), upright.right());
      edges = QMarginsF(std::max(edges.left(), sides), std::max(edges.top(), ends), std::max(edges.right(), sides),
                        std::max(edges.bottom(), ends));
    }
    printer->setPageMargins(edges, layout.units());
  }
  return printer;
}

PrinterGeometry geometryOf(QPrinter& printer, const std::array<int, 4>& margins) {
  PrinterGeometry g;
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const QRectF paperMm = printer.pageLayout().fullRect(QPageLayout::Millimeter);
  g.resolutionX = printer.logicalDpiX();
  g.resolutionY = printer.logicalDpiY();
  g.pageWidth = static_cast<int>(std::lround(paper.width()));
  g.pageHeight = static_cast<int>(std::lround(paper.height()));
  g.paperWidth = static_cast<int>(std::lround(paperMm.width() * 100));
  g.paperHeight = static_cast<int>(std::lround(paperMm.height() * 100));
  g.unprintable[0] = static_cast<int>(std::lround(page.left() - paper.left()));
  g.unprintable[1] = static_cast<int>(std::lround(page.top() - paper.top()));
  g.unprintable[2] = std::max(0, g.pageWidth - g.unprintable[0] - static_cast<int>(std::lround(page.width())));
  g.unprintable[3] = std::max(0, g.pageHeight - g.unprintable[1] - static_cast<int>(std::lround(page.height())));
  g.margins = margins;
  return g;
}

std::array<int, 4> minimumMargins(const PrinterGeometry& g) {
  auto hundredths = [](int pixels, int dpi) {
    return static_cast<int>(std::ceil(static_cast<double>(pixels) / dpi * 25.4 * 100));
  };
  return {hundredths(g.unprintable[0], g.resolutionX), hundredths(g.unprintable[1], g.resolutionY),
          hundredths(g.unprintable[2], g.resolutionX), hundredths(g.unprintable[3], g.resolutionY)};
}
