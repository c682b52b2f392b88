// The printer the sheets go to: a printer of the print system or a PDF file, always driven at
// 600 dpi with its smallest margins, so that the painter's origin is the printable corner and the
// template's own margins are measured from the paper's edge.
#pragma once

#include <QPageSize>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/printing/sheet_renderer.h"

class QPrinter;

// What the page set-up chooses.
struct PageSetup {
  std::wstring printerName;  // a printer of the print system; empty for a PDF file
  QPageSize::PageSizeId paper = QPageSize::A4;
  std::array<int, 4> margins{1000, 1000, 1000, 1000};  // left, top, right, bottom in 1/100 mm
};

inline constexpr int kPrintResolution = 600;

// The printers of the print system, the default first.
std::vector<std::wstring> systemPrinters();
// The file KELVARA_PRINT_PDF names, when it is set.
std::optional<std::wstring> pdfTargetFromEnvironment();

// A printer for the set-up; null when the named printer cannot be opened.
std::unique_ptr<QPrinter> openPrinter(const PageSetup& setup);
// Paper, offsets and resolution as the sheets need them, with the set-up's margins.
PrinterGeometry geometryOf(QPrinter& printer, const std::array<int, 4>& margins);
// The unprintable edges in 1/100 mm, rounded up: margins may not be smaller.
std::array<int, 4> minimumMargins(const PrinterGeometry& geometry);
