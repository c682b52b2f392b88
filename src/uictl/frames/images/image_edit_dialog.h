// The modal editor of one toolbar button image: the enlarged grid, a palette of six tools,
// a colour bar, the image at its real size, and copy, paste and clear through the clipboard.
// The caller's image is changed in place; the caller decides what an accepted edit means.
#pragma once

#include "platform/windows/command_target.h"
#include "platform/drawing/gdi_types.h"

#include <QDialog>
#include <QImage>
#include <memory>

class CUxColorBar;
class ImagePaintArea;
class ImageToolPalette;

class ImageEditDlg : public QDialog, public platform::CommandTarget {
 public:
  // `bitsPerPixel` -1 takes the image's own depth; 8 or fewer gives a 16-colour palette.
  ImageEditDlg(QImage* bitmap, QWidget* parent, int bitsPerPixel = -1);
  ~ImageEditDlg() override;

  // Accepted (1) or rejected (0).
  int DoModal();
  bool onCommand(unsigned id, int notifyCode) override;
  void onUpdateCommandUi(platform::CommandUi& state) override;
  void OnColorPicked(platform::COLORREF color);

  ImagePaintArea* paintArea() const { return m_wndLargeDrawArea; }
  CUxColorBar* colorBar() const { return m_wndPalette.get(); }
  QRect previewRect() const { return m_rectPreview; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnClear();
  void OnCopy();
  void OnPaste();
  void imageChanged();

  QWidget* m_wndPaletteBarLocation = nullptr;
  QWidget* m_wndToolbarLocation = nullptr;
  QWidget* m_wndPreviewFrame = nullptr;
  ImagePaintArea* m_wndLargeDrawArea = nullptr;
  QImage* m_pBitmap;
  int m_nBitsPerPixel;
  QRect m_rectPreviewFrame;
  QRect m_rectPreview;
  std::unique_ptr<ImageToolPalette> m_wndToolbar;
  std::unique_ptr<CUxColorBar> m_wndPalette;
};
