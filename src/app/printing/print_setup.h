// The printer the sheets go to: a printer of the print system or a PDF file, always driven at
// 600 dpi with its smallest margins, so that the painter's origin is the printable corner and the
// template's own margins are measured from the paper's edge.
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/printing/sheet_renderer.h"

class QPrinter;
class QPrinterInfo;

// What the page set-up chooses.
struct PageSetup {
  std::wstring printerName;  // a printer of the print system; empty for a PDF file
  QPageSize paper{QPageSize::A4};
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  std::array<int, 4> margins{1000, 1000, 1000, 1000};  // left, top, right, bottom in 1/100 mm
};

// A paper the page set-up offers, under the name it shows.
struct PaperChoice {
  QPageSize size;
  std::wstring label;
};

inline constexpr int kPrintResolution = 600;

// The printers of the print system, the default first.
std::vector<std::wstring> systemPrinters();
// The file KELVARA_PRINT_PDF names, when it is set.
std::optional<std::wstring> pdfTargetFromEnvironment();
// The printers of the print system that the page set-up offers beside a PDF file: none while
// KELVARA_PRINT_PDF sends every page to its file.
std::vector<std::wstring> offeredPrinters();

// The papers offered for a printer of the print system (empty name: a PDF file, which gets the
// fixed list of common sizes).
std::vector<PaperChoice> papersFor(const std::wstring& printerName);
// The sizes the printer itself reports, in its order and under its names; the fixed list when it
// reports none (a printer gone meanwhile, or one whose driver lists nothing).
std::vector<PaperChoice> printerPapers(const QPrinterInfo& printer);
// The paper a set-up starts with: the printer's own default, A4 for a PDF file.
QPageSize defaultPaperFor(const std::wstring& printerName);

// A printer for the set-up; null when the named printer cannot be opened.
std::unique_ptr<QPrinter> openPrinter(const PageSetup& setup);
// Paper, offsets and resolution as the sheets need them, with the set-up's margins.
PrinterGeometry geometryOf(QPrinter& printer, const std::array<int, 4>& margins);
// The unprintable edges in 1/100 mm, rounded up: margins may not be smaller.
std::array<int, 4> minimumMargins(const PrinterGeometry& geometry);
