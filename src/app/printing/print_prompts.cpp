#include "app/printing/print_prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <cmath>

#include "app/common/control_helpers.h"
#include "platform/windows/modal_dialog.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace {

QDialogButtonBox* okCancel(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("id1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("id2");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

constexpr wchar_t kPdfPrinter[] = L"PDF";

// The sixteen colours of the classic colour chooser, as 0x00BBGGRR.
constexpr std::pair<platform::COLORREF, const wchar_t*> kColours[] = {
    {0x000000, L"黒"},   {0x000080, L"マルーン"}, {0x008000, L"緑"},   {0x008080, L"オリーブ"},
    {0x800000, L"紺"},   {0x800080, L"紫"},       {0x808000, L"青緑"}, {0x808080, L"灰色"},
    {0xC0C0C0, L"銀"},   {0x0000FF, L"赤"},       {0x00FF00, L"ライム"}, {0x00FFFF, L"黄"},
    {0xFF0000, L"青"},   {0xFF00FF, L"赤紫"},     {0xFFFF00, L"水色"}, {0xFFFFFF, L"白"}};

class QtPrintPrompts : public PrintPrompts {
 public:
  bool pageSetup(QWidget* owner, PageSetup& setup, const PrinterGeometry& geometry) override {
    QDialog dialog(owner);
    dialog.setWindowTitle(qtext(L"ページ設定"));
    auto* form = new QFormLayout(&dialog);
    auto* printers = new QComboBox(&dialog);
    printers->setObjectName("printer");
    for (const std::wstring& name : offeredPrinters()) printers->addItem(qtext(name), qtext(name));
    printers->addItem(qtext(kPdfPrinter), QString());
    printers->setCurrentIndex(std::max(0, printers->findData(qtext(setup.printerName))));
    form->addRow(qtext(L"プリンター"), printers);
    auto* papers = new QComboBox(&dialog);
    papers->setObjectName("paper");
    form->addRow(qtext(L"用紙"), papers);
    auto* orientation = new QComboBox(&dialog);
    orientation->setObjectName("orientation");
    orientation->addItem(qtext(L"縦"), static_cast<int>(QPageLayout::Portrait));
    orientation->addItem(qtext(L"横"), static_cast<int>(QPageLayout::Landscape));
    orientation->setCurrentIndex(orientation->findData(static_cast<int>(setup.orientation)));
    form->addRow(qtext(L"印刷の向き"), orientation);
    const wchar_t* const labels[4] = {L"左余白 [mm]", L"上余白 [mm]", L"右余白 [mm]", L"下余白 [mm]"};
    std::array<QDoubleSpinBox*, 4> margins{};
    for (int i = 0; i < 4; ++i) {
      margins[i] = new QDoubleSpinBox(&dialog);
      margins[i]->setObjectName(QString("margin%1").arg(i));
      margins[i]->setDecimals(1);
      form->addRow(qtext(labels[i]), margins[i]);
    }
    form->addRow(okCancel(dialog));

    std::vector<PaperChoice> offered;
    auto chosen = [&] {
      PageSetup candidate = setup;
      candidate.printerName = printers->currentData().toString().toStdWString();
      const int paper = papers->currentIndex();
      if (paper >= 0 && paper < static_cast<int>(offered.size())) candidate.paper = offered[paper].size;
      candidate.orientation = static_cast<QPageLayout::Orientation>(orientation->currentData().toInt());
      for (int i = 0; i < 4; ++i) candidate.margins[i] = static_cast<int>(std::lround(margins[i]->value() * 100));
      return candidate;
    };
    // Margins may not lie inside the unprintable edges of the paper as it is now chosen.
    auto boundMargins = [&](const PrinterGeometry& printable) {
      const std::array<int, 4> minimum = minimumMargins(printable);
      for (int i = 0; i < 4; ++i) margins[i]->setRange(minimum[i] / 100.0, 100.0);
    };
    auto choicesChanged = [&] {
      if (const std::unique_ptr<QPrinter> printer = openPrinter(chosen())) boundMargins(geometryOf(*printer, {}));
    };
    // Each printer offers its own papers; the paper chosen so far stays when it has it too.
    auto fillPapers = [&](const QPageSize& wanted) {
      const QSignalBlocker quiet(papers);
      const std::wstring printer = printers->currentData().toString().toStdWString();
      offered = papersFor(printer);
      papers->clear();
      int selected = -1;
      for (const PaperChoice& paper : offered) {
        if (selected < 0 && paper.size.isEquivalentTo(wanted)) selected = papers->count();
        papers->addItem(qtext(paper.label));
      }
      if (selected < 0) {
        const QPageSize fallback = defaultPaperFor(printer);
        for (int i = 0; i < static_cast<int>(offered.size()) && selected < 0; ++i)
          if (offered[i].size.isEquivalentTo(fallback)) selected = i;
      }
      papers->setCurrentIndex(std::max(0, selected));
    };
    fillPapers(setup.paper);
    boundMargins(geometry);
    for (int i = 0; i < 4; ++i) margins[i]->setValue(setup.margins[i] / 100.0);
    QObject::connect(printers, &QComboBox::currentIndexChanged, &dialog, [&] {
      fillPapers(chosen().paper);
      choicesChanged();
    });
    QObject::connect(papers, &QComboBox::currentIndexChanged, &dialog, choicesChanged);
    QObject::connect(orientation, &QComboBox::currentIndexChanged, &dialog, choicesChanged);
    if (dialog.exec() != QDialog::Accepted) return false;
    setup = chosen();
    return true;
  }

  std::optional<PrintRange> printRange(QWidget* owner, int pageCount, int currentPage,
                                       const PrintTarget& target) override {
    // The dialog opens on the printer the sheets go to: without one it would show an empty
    // printer and say nothing of the PDF file until the file dialog came.
    QPrinter scratch;
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage;
    const bool toPdf = target.printerName.empty();
    if (toPdf) {
      options |= QAbstractPrintDialog::PrintToFile;
      scratch.setOutputFormat(QPrinter::PdfFormat);
      scratch.setOutputFileName(qtext(target.pdfFile));
    } else {
      scratch.setPrinterName(qtext(target.printerName));
    }
    QPrintDialog dialog(&scratch, owner);
    dialog.setOptions(options);
    dialog.setMinMax(1, pageCount);
    dialog.setFromTo(1, pageCount);
    dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintRange range{1, pageCount, {}};
    switch (dialog.printRange()) {
      case QAbstractPrintDialog::PageRange:
        if (dialog.fromPage() > 0) {
          range.from = dialog.fromPage();
          range.to = dialog.toPage();
        }
        break;
      case QAbstractPrintDialog::CurrentPage:
      case QAbstractPrintDialog::Selection: range.from = range.to = currentPage; break;
      default: break;
    }
    if (toPdf && scratch.outputFormat() == QPrinter::PdfFormat) range.pdfFile = scratch.outputFileName().toStdWString();
    return range;
  }

  bool chooseFont(QWidget* owner, TemplateFont& font, int (*heightOfSize)(int)) override {
    QDialog dialog(owner);
    dialog.setWindowTitle(qtext(L"フォント"));
    auto* form = new QFormLayout(&dialog);
    auto* face = new QFontComboBox(&dialog);
    face->setObjectName("face");
    face->setEditable(true);
    face->setEditText(qtext(font.faceName));
    form->addRow(qtext(L"フォント名"), face);
    auto* size = new QDoubleSpinBox(&dialog);
    size->setObjectName("size");
    size->setDecimals(1);
    size->setRange(1.0, 400.0);
    size->setValue(font.size / 10.0);
    form->addRow(qtext(L"サイズ [pt]"), size);
    auto check = [&](const char* name, const wchar_t* label, bool on) {
      auto* box = new QCheckBox(qtext(label), &dialog);
      box->setObjectName(name);
      box->setChecked(on);
      form->addRow(box);
      return box;
    };
    QCheckBox* bold = check("bold", L"太字", font.weight >= 700);
    QCheckBox* italic = check("italic", L"斜体", font.italic);
    QCheckBox* underline = check("underline", L"下線", font.underline);
    QCheckBox* strikeOut = check("strikeout", L"取り消し線", font.strikeOut);
    auto* colour = new QComboBox(&dialog);
    colour->setObjectName("colour");
    for (const auto& [value, name] : kColours) colour->addItem(qtext(name), static_cast<uint>(value));
    if (colour->findData(static_cast<uint>(font.colour)) < 0)
      colour->addItem(QString::asprintf("#%06X", font.colour), static_cast<uint>(font.colour));
    colour->setCurrentIndex(colour->findData(static_cast<uint>(font.colour)));
    form->addRow(qtext(L"色"), colour);
    form->addRow(okCancel(dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    font.faceName = face->currentText().left(31).toStdWString();
    font.size = static_cast<int>(std::lround(size->value() * 10));
    font.height = heightOfSize(font.size);
    font.weight = bold->isChecked() ? 700 : 400;
    font.italic = italic->isChecked();
    font.underline = underline->isChecked();
    font.strikeOut = strikeOut->isChecked();
    font.charSet = 128;
    font.pitchAndFamily = 0x20;
    font.colour = colour->currentData().toUInt();
    return true;
  }

  std::optional<std::wstring> templateName(QWidget* owner, const std::wstring& name) override {
    QDialog dialog(owner);
    dialog.setObjectName("id278");
    dialog.setWindowTitle(qtext(L"名称設定"));
    auto* form = new QFormLayout(&dialog);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName("id1289");
    form->addRow(edit);
    form->addRow(okCancel(dialog));
    offerText(edit, qtext(name));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text().toStdWString();
  }
};

QtPrintPrompts gQtPrompts;
PrintPrompts* gCurrent = &gQtPrompts;

// Null when the dialog is to be shown; else whether the automatic answer accepts.
std::optional<bool> automaticAcceptance(const wchar_t* title) {
  const std::optional<bool> unattended = platform::automaticDialogAnswer();
  if (unattended) platform::traceError("printdlg: %s\n", platform::toUtf8(title).c_str());
  if (gCurrent != &gQtPrompts) return std::nullopt;
  return unattended;
}

}  // namespace

bool runPageSetup(QWidget* owner, PageSetup& setup, const PrinterGeometry& geometry) {
  if (const auto accept = automaticAcceptance(L"ページ設定")) return *accept;
  return gCurrent->pageSetup(owner, setup, geometry);
}

std::optional<PrintRange> choosePrintRange(QWidget* owner, int pageCount, int currentPage,
                                           const PrintTarget& target) {
  if (const auto accept = automaticAcceptance(L"印刷")) {
    if (*accept) return PrintRange{1, pageCount, {}};
    return std::nullopt;
  }
  return gCurrent->printRange(owner, pageCount, currentPage, target);
}

bool chooseTemplateFont(QWidget* owner, TemplateFont& font, int (*heightOfSize)(int)) {
  if (const auto accept = automaticAcceptance(L"フォント")) return *accept;
  if (!gCurrent->chooseFont(owner, font, heightOfSize)) return false;
  platform::trace("font-size : %d\n", font.height);
  platform::trace("font-size : %d\n", font.size);
  return true;
}

std::optional<std::wstring> askTemplateName(QWidget* owner, const std::wstring& name) {
  if (const auto accept = automaticAcceptance(L"名称設定")) {
    if (*accept) return name;
    return std::nullopt;
  }
  return gCurrent->templateName(owner, name);
}

PrintPromptsOverride::PrintPromptsOverride(PrintPrompts& replacement) : previous_(gCurrent) { gCurrent = &replacement; }

PrintPromptsOverride::~PrintPromptsOverride() { gCurrent = previous_; }
