#include "app/printing/print_preview_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cerrno>

#include "app/common/control_helpers.h"
#include "app/common/page_reads.h"
#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/printing/print_option_dialog.h"
#include "app/printing/print_prompts.h"
#include "app/printing/print_surface.h"
#include "app/printing/template_files.h"
#include "platform/windows/file_dialog.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "platform/windows/window_menu_bar.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/file_failure.h"
#include "study/window/study_resources.h"

namespace {

constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 200, 300};  // menu 137..143

// The preview control: a white sheet drawn by its window.
class PreviewControl : public QWidget {
 public:
  PreviewControl(CPrintPreviewDlg& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setObjectName("id1000");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    owner_.paintPreview(painter);
  }

 private:
  CPrintPreviewDlg& owner_;
};

}  // namespace

CPrintPreviewDlg::CPrintPreviewDlg(KlvApp& app, study::PronouncingDictionary* dictionary, std::wstring title,
                                   std::vector<int> questionIds, QWidget* parent)
    : QDialog(parent),
      app_(app),
      renderer_(RegionTextSources{dictionary, &symbols_}),
      templateFolder_(app.settings->printTempleteFolder.value) {
  setObjectName("id252");
  setWindowIcon(study::applicationIcon());
  renderer_.title = std::move(title);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  buildMenu();
  layout->setMenuBar(findChild<QMenuBar*>());
  client_ = new QWidget(this);
  client_->installEventFilter(this);
  layout->addWidget(client_);
  preview_ = new PreviewControl(*this, client_);
  vertical_ = new QScrollBar(Qt::Vertical, client_);
  horizontal_ = new QScrollBar(Qt::Horizontal, client_);
  for (QScrollBar* bar : {vertical_, horizontal_}) {
    bar->setRange(0, 100);
    bar->setSingleStep(5);
    bar->setPageStep(20);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { placePreview(); });
  }
  vertical_->setObjectName("vscroll");
  horizontal_->setObjectName("hscroll");
  resize(800, 700);

  std::vector<pdb3::Question> questions;
  if (!pagereads::readQuestions(pdb3::openQuery(app.db), questionIds, questions)) {
    // Nothing to lay out: no template is written and no printer is opened for a window that stays shut.
    reportFailedRead(parent, L"印刷する問題を読み込めませんでした。");
    return;
  }
  renderer_.setQuestions(std::move(questions));

  platform::trace("do printer initialization.\n");
  const std::wstring defaultPath = defaultTemplatePath(templateFolder_);
  if (platform::fileExists(defaultPath)) {
    // Sheets printed without the template would be blank: the window stays shut.
    if (!renderer_.sheetTemplate.LoadOrSave(defaultPath, false)) {
      const int cause = errno;
      platform::messageBox(parent, fileReadFailureText(L"テンプレートを読み込めませんでした: " + defaultPath, cause),
                           L"KLV", platform::MbOk | platform::MbIconError);
      return;
    }
  } else if (!renderer_.sheetTemplate.LoadOrSave(defaultPath, true)) {
    platform::traceError("cannot write the default sheet template %s\n", platform::toUtf8(defaultPath).c_str());
  }
  opened_ = true;
  pdfTarget_ = pdfTargetFromEnvironment();
  const std::vector<std::wstring> printers = systemPrinters();
  // The default printer starts on its own default paper.
  if (!pdfTarget_ && !printers.empty()) setup_.printerName = printers.front();
  setup_.paper = defaultPaperFor(setup_.printerName);
  if (!applyPrinter(setup_)) {
    setup_.printerName.clear();  // the default printer cannot be opened: sheets go to a PDF file
    setup_.paper = defaultPaperFor(setup_.printerName);
    applyPrinter(setup_);
  }
  symbols_ = readPronunciationSymbols(app.settings->cmu2ipaFilePath.value);

  SetZoom(80);
  paginateTimer_.setSingleShot(true);
  connect(&paginateTimer_, &QTimer::timeout, this, [this] {
    Paginate();
    UpdateTitle();
  });
  paginateTimer_.start(100);
  UpdateTitle();
}

CPrintPreviewDlg::~CPrintPreviewDlg() = default;

int CPrintPreviewDlg::exec() { return opened_ ? QDialog::exec() : QDialog::Rejected; }

void CPrintPreviewDlg::buildMenu() {
  auto* bar = new platform::WindowMenuBar(this);
  auto add = [this](QMenu* menu, int id, const wchar_t* label) {
    QAction* action = withId(menu->addAction(qtext(label)), id);
    connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    return action;
  };
  QMenu* file = bar->addMenu(qtext(L"ファイル(&F)"));
  add(file, 134, L"ページ設定(&S)...");
  add(file, 199, L"印刷実行(&P)...")->setShortcut(QKeySequence::Print);
  file->addSeparator();
  add(file, 32827, L"終了(&E)");
  QMenu* view = bar->addMenu(qtext(L"表示(&V)"));
  for (int i = 0; i < 7; ++i)
    add(view, 137 + i, QString("&%1: %2%").arg(i + 1).arg(kZoomSteps[i]).toStdWString().c_str());
  view->addSeparator();
  add(view, 152, L"拡大 +10%(&I)")->setShortcut(QKeySequence::ZoomIn);
  add(view, 153, L"縮小 -10%(&O)")->setShortcut(QKeySequence::ZoomOut);
  view->addSeparator();
  add(view, 150, L"前のページ(&B)")->setShortcut(Qt::Key_PageUp);
  add(view, 151, L"次のページ(&N)")->setShortcut(Qt::Key_PageDown);
  QMenu* tools = bar->addMenu(qtext(L"ツール(&T)"));
  add(tools, 157, L"シャッフル(&R)");
  add(tools, 158, L"シャッフル中止(&S)");
  tools->addSeparator();
  add(tools, 255, L"印刷項目の設定(&S)...");
}

void CPrintPreviewDlg::runCommand(int id) {
  if (!opened_) return;
  if (id >= 137 && id <= 143) return SetZoom(kZoomSteps[id - 137]);
  switch (id) {
    case 134: SetupPrinter(); break;
    case 199: Print(); break;
    case 32827: accept(); break;
    case 152: SetZoom(std::min(500, zoomPercent_ + 10)); break;
    case 153: SetZoom(std::max(20, zoomPercent_ - 10)); break;
    case 150: showPage(std::max(0, currentPage_ - 1)); break;
    case 151: showPage(std::min(renderer_.pageCount - 1, currentPage_ + 1)); break;
    case 157: setShuffle(renderer_.shuffleNumber() + 1); break;
    case 158: setShuffle(0); break;
    case 255: openTemplateEditor(); break;
    default: break;
  }
}

void CPrintPreviewDlg::showPage(int page) {
  currentPage_ = page;
  UpdateTitle();
  preview_->update();
}

void CPrintPreviewDlg::setShuffle(int number) {
  renderer_.setShuffle(number);
  // The order changed, so the rows per page may have too.
  Paginate();
  UpdateTitle();
  preview_->update();
}

void CPrintPreviewDlg::UpdateTitle() {
  setWindowTitle(qtext(platform::format(L"印刷ツール - %ls - (%d/%d) [%d%%]", renderer_.title.c_str(), currentPage_ + 1,
                                    renderer_.pageCount, zoomPercent_)));
}

void CPrintPreviewDlg::SetZoom(int percent) {
  zoomPercent_ = std::clamp(percent, 20, 500);
  renderer_.zoomFactor = zoomPercent_ * 0.01;
  placePreview();
  preview_->update();
  UpdateTitle();
}

void CPrintPreviewDlg::placePreview() {
  if (!client_) return;
  const double zoom = renderer_.zoomFactor;
  const int width = hundredthsToPixels(renderer_.geometry.paperWidth, zoom, 96);
  const int height = hundredthsToPixels(renderer_.geometry.paperHeight, zoom, 96);
  const QSize area = client_->size();
  const bool showVertical = area.height() < height + 40;
  const bool showHorizontal = area.width() < width + 40;
  const int barWidth = vertical_->sizeHint().width(), barHeight = horizontal_->sizeHint().height();
  const int clientWidth = area.width() - (showVertical ? barWidth : 0);
  const int clientHeight = area.height() - (showHorizontal ? barHeight : 0);
  vertical_->setVisible(showVertical);
  horizontal_->setVisible(showHorizontal);
  vertical_->setGeometry(clientWidth, 0, barWidth, clientHeight);
  horizontal_->setGeometry(0, clientHeight, clientWidth, barHeight);
  auto place = [](int client, int size, const QScrollBar* bar) {
    if (client >= size + 40) return 20 + (client - size - 40) / 2;
    return 20 + (client - size - 40) * bar->value() / bar->maximum();
  };
  preview_->setGeometry(place(clientWidth, width, horizontal_), place(clientHeight, height, vertical_), width, height);
}

void CPrintPreviewDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placePreview();
}

bool CPrintPreviewDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) placePreview();
  return QDialog::eventFilter(watched, event);
}

void CPrintPreviewDlg::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QDialog::wheelEvent(event);
  runCommand(event->angleDelta().y() / 120 < 1 ? 153 : 152);
  event->accept();
}

bool CPrintPreviewDlg::applyPrinter(const PageSetup& setup) {
  std::unique_ptr<QPrinter> printer = openPrinter(setup);
  if (!printer) {
    platform::traceError("CreatePrinterDC() error\n");
    return false;
  }
  printer_ = std::move(printer);
  setup_ = setup;
  // Another printer, paper or orientation has other unprintable edges: no margin lies inside them.
  renderer_.geometry = geometryOf(*printer_, setup_.margins);
  const std::array<int, 4> minimum = minimumMargins(renderer_.geometry);
  for (int i = 0; i < 4; ++i) setup_.margins[i] = std::max(setup_.margins[i], minimum[i]);
  renderer_.geometry.margins = setup_.margins;
  const PrinterGeometry& g = renderer_.geometry;
  platform::trace("info by prdlg\n");
  platform::trace(" margins      : %4d, %4d, %4d, %4d [1/100 mm]\n", g.margins[0], g.margins[1], g.margins[2], g.margins[3]);
  platform::trace(" PaperSize    : %d, %d [1/100 mm]\n", g.paperWidth, g.paperHeight);
  platform::trace("info by DC\n");
  platform::trace(" PrinterResolution : %d, %d [dpi]\n", g.resolutionX, g.resolutionY);
  platform::trace(" PaperSize         : %d, %d [px]\n", g.pageWidth, g.pageHeight);
  platform::trace(" printable : %d, %d [px]\n", g.pageWidth - g.unprintable[0] - g.unprintable[2],
                  g.pageHeight - g.unprintable[1] - g.unprintable[3]);
  platform::trace(" margins(min) : %4d, %4d, %4d, %4d [px]\n", g.unprintable[0], g.unprintable[1], g.unprintable[2],
                  g.unprintable[3]);
  SetZoom(zoomPercent_);
  return true;
}

void CPrintPreviewDlg::SetupPrinter() {
  PageSetup chosen = setup_;
  if (!runPageSetup(this, chosen, renderer_.geometry)) return;
  if (pdfTarget_) chosen.printerName.clear();  // every page goes to that file, on the paper chosen
  // A printer that cannot be opened leaves the previous printer, paper and margins in place.
  if (!applyPrinter(chosen)) {
    platform::messageBox(this, L"プリンターを開けませんでした: " + chosen.printerName, L"KLV",
                         platform::MbOk | platform::MbIconWarning);
    return;
  }
  Paginate();
  UpdateTitle();
  preview_->update();
}

void CPrintPreviewDlg::Paginate() {
  if (!opened_) return;
  QElapsedTimer clock;
  clock.start();
  PrintSurface printer(*printer_, nullptr);
  const int total = renderer_.questionCount();
  try {
    pageStarts_ = renderer_.Paginate(printer, [&](int done, int pages) {
      setWindowTitle(qtext(platform::format(L"ページ数の計算中：%d %% [%d/%d]",
                                            static_cast<int>(done * 100.0 / std::max(total, 1)), currentPage_ + 1, pages)));
    });
  } catch (...) {
    // Whatever failed while measuring, the window stays usable with one page.
    platform::traceError("pagination failed\n");
    pageStarts_ = {0};
    renderer_.pageCount = 1;
  }
  platform::trace("elapsed : %d [msec]\n", static_cast<int>(clock.elapsed()));
  currentPage_ = std::clamp(currentPage_, 0, renderer_.pageCount - 1);
  preview_->update();
}

void CPrintPreviewDlg::paintPreview(QPainter& painter) {
  // A set without questions still shows its fixed texts, header and footer.
  const int total = renderer_.questionCount();
  int first = 0, count = 0;
  if (currentPage_ < static_cast<int>(pageStarts_.size())) {
    first = pageStarts_[currentPage_];
    const bool last = currentPage_ + 1 >= static_cast<int>(pageStarts_.size());
    count = (last ? total : pageStarts_[currentPage_ + 1]) - first;
  } else if (total > 0) {
    return;
  }
  PrintSurface surface(*preview_, &painter);
  renderer_.RenderPage(surface, first, count, false, false, currentPage_, renderer_.zoomFactor);
}

bool CPrintPreviewDlg::Print() {
  // The failed read was told when the window was made; the printer and any earlier file stay as they are.
  if (!opened_) return false;
  PrintRange range{1, renderer_.pageCount, {}};
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const std::wstring defaultPdf =
      app_.lastPrintPdf.empty() ? (documents + "/KlvPrint.pdf").toStdWString() : app_.lastPrintPdf;
  if (!pdfTarget_) {
    const std::optional<PrintRange> chosen =
        choosePrintRange(this, renderer_.pageCount, currentPage_ + 1, {setup_.printerName, defaultPdf});
    if (!chosen) return false;
    range = *chosen;
  }
  range.from = std::clamp(range.from, 1, renderer_.pageCount);
  range.to = std::clamp(range.to, range.from, renderer_.pageCount);
  if (printer_->outputFormat() == QPrinter::PdfFormat) {
    std::optional<std::wstring> file = pdfTarget_;
    if (!file && !range.pdfFile.empty()) file = range.pdfFile;
    if (!file) {
      file = platform::chooseFile(this, {false, L"PDF ファイルに印刷", defaultPdf, L"pdf", {{L"PDF (*.pdf)", L"*.pdf"}}});
    }
    if (!file) return false;
    if (!pdfTarget_) app_.lastPrintPdf = *file;
    printer_->setOutputFileName(qtext(*file));
  }
  printer_->setDocName(qtext(L"KlvPrint - " + renderer_.title));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QPainter painter;
  bool printed = painter.begin(printer_.get());
  if (printed) {
    PrintSurface surface(*printer_, &painter);
    int first = 0, remaining = renderer_.questionCount();
    for (int page = 1; page <= range.to; ++page) {
      const bool draw = page >= range.from;
      if (draw && page > range.from) printer_->newPage();
      const int placed = renderer_.RenderPage(surface, first, remaining, !draw, true, page - 1, 1.0);
      first += placed;
      remaining -= placed;
    }
    // Ending the job writes the PDF file out; a full disk shows up here.
    printed = painter.end();
  }
  QApplication::restoreOverrideCursor();
  if (!printed)
    platform::messageBox(this, L"印刷できませんでした。", L"KLV", platform::MbOk | platform::MbIconWarning);
  return printed;
}

void CPrintPreviewDlg::templateApplied() {
  // The new fonts and regions change the rows per page, also when the editor is cancelled later.
  Paginate();
  UpdateTitle();
  preview_->update();
}

void CPrintPreviewDlg::openTemplateEditor() {
  renderer_.editing = true;
  preview_->update();
  CPrintoptionDlg editor(*this, this);
  runModalDialog(editor);
  renderer_.editing = false;
  UpdateTitle();
  preview_->update();
}
