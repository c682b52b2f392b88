// The small dialogs of printing and of the template editors, behind one interface so that tests
// and unattended runs can answer them: the page set-up, the page range, the font of a template
// entry and a template's name. With KELVARA_AUTOANSWER set none is shown: each is written to
// stderr as "printdlg: <title>", and "cancel" or "no" cancels, anything else accepts the values
// the dialog starts with (every page for the range).
#pragma once

#include <optional>
#include <string>

#include "app/printing/print_setup.h"
#include "app/printing/template_font.h"

class QWidget;

struct PrintRange {
  int from = 1;
  int to = 1;
  std::wstring pdfFile;  // printing to a PDF file: the file named in the dialog, if it named one
};

// The printer the print dialog shows as chosen: a printer of the print system, or (empty name) a
// PDF file, offered under the name given.
struct PrintTarget {
  std::wstring printerName;
  std::wstring pdfFile;
};

class PrintPrompts {
 public:
  virtual ~PrintPrompts() = default;
  // `geometry` is the printer in use (its unprintable edges bound the margins).
  virtual bool pageSetup(QWidget* owner, PageSetup& setup, const PrinterGeometry& geometry) = 0;
  // currentPage is 1-based.
  virtual std::optional<PrintRange> printRange(QWidget* owner, int pageCount, int currentPage,
                                               const PrintTarget& target) = 0;
  // Face, size, effects and colour; the height follows the size through heightOfSize.
  virtual bool chooseFont(QWidget* owner, TemplateFont& font, int (*heightOfSize)(int)) = 0;
  virtual std::optional<std::wstring> templateName(QWidget* owner, const std::wstring& name) = 0;
};

bool runPageSetup(QWidget* owner, PageSetup& setup, const PrinterGeometry& geometry);
std::optional<PrintRange> choosePrintRange(QWidget* owner, int pageCount, int currentPage,
                                           const PrintTarget& target = {});
bool chooseTemplateFont(QWidget* owner, TemplateFont& font, int (*heightOfSize)(int));
std::optional<std::wstring> askTemplateName(QWidget* owner, const std::wstring& name);

// Replaces the dialogs until the guard goes.
class PrintPromptsOverride {
 public:
  explicit PrintPromptsOverride(PrintPrompts& replacement);
  ~PrintPromptsOverride();
  PrintPromptsOverride(const PrintPromptsOverride&) = delete;
  PrintPromptsOverride& operator=(const PrintPromptsOverride&) = delete;

 private:
  PrintPrompts* previous_;
};
