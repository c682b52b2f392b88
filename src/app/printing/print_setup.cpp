#include "app/printing/print_setup.h"

#include <QPrinter>
#include <QPrinterInfo>
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

std::optional<std::wstring> pdfTargetFromEnvironment() {
  const char* path = std::getenv("KELVARA_PRINT_PDF");
  if (!path || !*path) return std::nullopt;
  return QString::fromLocal8Bit(path).toStdWString();
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
  QPageLayout layout = printer->pageLayout();
  layout.setPageSize(QPageSize(setup.paper));
  layout.setOrientation(QPageLayout::Portrait);
  layout.setMargins(setup.printerName.empty() ? QMarginsF() : layout.minimumMargins());
  printer->setPageLayout(layout);
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
