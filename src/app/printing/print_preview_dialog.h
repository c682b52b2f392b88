// The print window: one page of the study sheet at a time as a white sheet, with zoom, scrolling,
// page set-up, shuffle, the template editor and printing of a page range to a printer or a PDF.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/printing/print_setup.h"
#include "app/printing/sheet_renderer.h"
#include "app/printing/template_editor_host.h"

class KlvApp;
class QPrinter;
class QScrollBar;
namespace study {
class PronouncingDictionary;
}

class CPrintPreviewDlg : public QDialog, public TemplateEditorHost {
  Q_OBJECT

 public:
  // title: the problem set's path, shown in the window title, "%S" and the print job's name.
  // dictionary may be null (pronunciations then come only from the questions). The questions are
  // read here, once: when they cannot be, the learner is told why and the window never opens.
  CPrintPreviewDlg(KlvApp& app, study::PronouncingDictionary* dictionary, std::wstring title,
                   std::vector<int> questionIds, QWidget* parent = nullptr);
  ~CPrintPreviewDlg() override;

  // Commands by their menu ids (134 page set-up, 199 print, 150/151 pages, 137..143 and 152/153
  // zoom, 157/158 shuffle, 255 template editor, 32827 close).
  void runCommand(int id);

  void SetZoom(int percent);
  void Paginate();
  void SetupPrinter();
  // False when nothing was printed (cancelled, the questions were not read, or the printer could not start).
  bool Print();
  // Rejected at once, without showing, when the questions could not be read.
  int exec() override;

  int zoomPercent() const { return zoomPercent_; }
  int currentPage() const { return currentPage_; }
  int pageCount() const { return renderer_.pageCount; }
  const std::vector<int>& pageStarts() const { return pageStarts_; }
  SheetRenderer& renderer() { return renderer_; }
  QWidget* previewControl() const { return preview_; }

  // TemplateEditorHost
  PrintTemplate& printTemplate() override { return renderer_.sheetTemplate; }
  void templateApplied() override;
  std::wstring templateFolder() const override { return templateFolder_; }

  // Draws the current page into the preview control.
  void paintPreview(QPainter& painter);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenu();
  void UpdateTitle();
  void placePreview();
  void openTemplateEditor();
  bool applyPrinter(const PageSetup& setup);
  void setShuffle(int number);
  void showPage(int page);

  KlvApp& app_;
  std::vector<std::wstring> symbols_;
  SheetRenderer renderer_;
  bool opened_ = false;  // the questions and the template were read
  std::wstring templateFolder_;
  PageSetup setup_;
  std::unique_ptr<QPrinter> printer_;
  std::optional<std::wstring> pdfTarget_;
  int zoomPercent_ = 80;
  std::vector<int> pageStarts_{0};
  int currentPage_ = 0;
  QWidget* client_ = nullptr;
  QWidget* preview_ = nullptr;
  QScrollBar* vertical_ = nullptr;
  QScrollBar* horizontal_ = nullptr;
  QTimer paginateTimer_;
};
