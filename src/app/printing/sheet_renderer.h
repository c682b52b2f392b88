// Lays out study sheets: one row per question in the template's regions, fixed texts, a header
// and a footer. The same page rendering serves the preview, the measuring of pagination and the
// printing, so what is measured is what prints. The questions are read before any of that: a page
// is drawn from memory, so a database that cannot be read never turns into blank rows.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/printing/print_surface.h"
#include "app/printing/print_template.h"
#include "app/printing/region_text.h"
#include "database/records/question.h"

// The printer and paper the sheets are laid out for.
struct PrinterGeometry {
  int pageWidth = 4960;  // printer pixels, the whole paper
  int pageHeight = 7015;
  int paperWidth = 21000;  // 1/100 mm
  int paperHeight = 29700;
  int resolutionX = 600;
  int resolutionY = 600;
  std::array<int, 4> margins{1000, 1000, 1000, 1000};  // left, top, right, bottom in 1/100 mm
  std::array<int, 4> unprintable{0, 0, 0, 0};          // left, top, right, bottom in printer pixels
};

// Millimetres, and hundredths of them, to device pixels, truncated toward zero.
int millimetresToPixels(double mm, double scale, int dpi);
int hundredthsToPixels(int hundredths, double scale, int dpi);

// The ids in the order the shuffle `number` gives (0: as given). The generator is seeded with
// the number and follows the C library's rand(), so one number always gives one order, without
// touching the program's own random source.
std::vector<int> shuffledOrder(const std::vector<int>& ids, int number);

// The lines of the text that fit into `width` pixels with the surface's current font; lines
// after the first start with `indent` spaces. The rest is dropped when nothing more fits.
std::vector<QString> wrapText(const PrintSurface& surface, const QString& text, int width, int indent);

class SheetRenderer {
 public:
  explicit SheetRenderer(RegionTextSources sources);

  // The questions in their given order, with their texts already read; the shuffle starts over.
  void setQuestions(std::vector<pdb3::Question> questions);

  // Draws (or with `measure` only measures) the page that starts with question `first` (an index
  // into the print order), placing at most `count` rows; returns the number placed. `printing`
  // renders in printer pixels with the drawing origin at the printable corner; otherwise the
  // page is drawn at the zoom factor with `scale` = the zoom factor.
  int RenderPage(PrintSurface& surface, int first, int count, bool measure, bool printing, int page, double scale);

  // The first question of every page, measured on the printer. Every page holds at least one row,
  // so this always ends. `progress` hears the questions laid out so far and the pages.
  std::vector<int> Paginate(PrintSurface& printer, const std::function<void(int done, int pages)>& progress = {});

  void setShuffle(int number);
  int shuffleNumber() const { return shuffle_; }
  int questionCount() const { return static_cast<int>(order_.size()); }

  PrintTemplate sheetTemplate;
  PrinterGeometry geometry;
  std::wstring title;
  double zoomFactor = 0.8;
  bool editing = false;
  int pageCount = 1;

 private:
  using RegionFonts = std::array<std::optional<DeviceFont>, kTemplateRegions>;
  // Returns the row's height; draws it unless measuring.
  int DrawQuestionRow(PrintSurface& surface, const RegionFonts& fonts, const pdb3::Question& question, int position,
                      int y, bool measure, double scale, double fontScale);

  std::vector<pdb3::Question> questions_;
  std::vector<int> order_;  // positions in questions_, in print order
  RegionTextSources sources_;
  int shuffle_ = 0;
};
