#include "uictl/frames/images/image_edit_dialog.h"

#include "platform/drawing/gdi_dc.h"
#include "platform/windows/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "uictl/bars/toolbar/control_bar.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/images/image_paint_area.h"
#include "uictl/frames/colour/system_palette.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <array>

using platform::COLORREF;
using platform::Dc;
using platform::Rect;

namespace {
constexpr unsigned kColorBarId = 16516, kToolbarPlace = 16533, kPreviewFrame = 16519, kPaintArea = 16513;
constexpr unsigned kCopy = 16907, kPaste = 16908, kClear = 16909;
constexpr unsigned kToolPaletteResource = 16138;
constexpr unsigned kAllBorders = CbrsBorder3d | CbrsBorderLeft | CbrsBorderTop | CbrsBorderRight | CbrsBorderBottom;
// Tool commands in the order of the paint area's modes.
constexpr std::array<unsigned, 6> kToolOfMode{16902, 16901, 16904, 16905, 16906, 16903};

QWidget* placeholder(QWidget* parent, unsigned id, const QRect& where) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QStringLiteral("id%1").arg(id));
  frame->setGeometry(where);
  return frame;
}

QPushButton* pushButton(QWidget* parent, unsigned id, const QString& text, const QRect& where) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QStringLiteral("id%1").arg(id));
  button->setGeometry(where);
  return button;
}

void tell(unsigned stringId) {
  platform::messageBox(nullptr, libraryString(stringId), L"", platform::MbOk | platform::MbIconError);
}
}  // namespace

// The six tools, three to a row.
class ImageToolPalette : public CUxToolBar {
 public:
  using CUxToolBar::CUxToolBar;
  void wrapToColumns(int columns) { wrapToolBar(GetButtonSize().cx * columns); }
};

ImageEditDlg::ImageEditDlg(QImage* bitmap, QWidget* parent, int bitsPerPixel)
    : QDialog(parent), m_pBitmap(bitmap) {
  setObjectName(QStringLiteral("id16133"));
  setWindowTitle(QStringLiteral("ボタン イメージの編集"));
  setFixedSize(360, 270);
  if (m_pBitmap && m_pBitmap->format() != QImage::Format_RGB32 && m_pBitmap->format() != QImage::Format_ARGB32) {
    const int depth = m_pBitmap->depth();
    *m_pBitmap = m_pBitmap->convertToFormat(QImage::Format_RGB32);
    if (bitsPerPixel == -1) bitsPerPixel = depth;
  }
  m_nBitsPerPixel = bitsPerPixel == -1 && m_pBitmap ? m_pBitmap->depth() : bitsPerPixel;

  auto* picture = new QLabel(QStringLiteral("画像(&P)"), this);
  picture->setGeometry(10, 6, 200, 16);
  m_wndLargeDrawArea = new ImagePaintArea(this);
  m_wndLargeDrawArea->setObjectName(QStringLiteral("id%1").arg(kPaintArea));
  m_wndLargeDrawArea->setGeometry(10, 24, 200, 200);
  auto* colours = new QLabel(QStringLiteral("色"), this);
  colours->setGeometry(220, 6, 60, 16);
  m_wndPaletteBarLocation = placeholder(this, kColorBarId, {220, 24, 70, 140});
  m_wndToolbarLocation = placeholder(this, kToolbarPlace, {220, 170, 90, 60});
  m_wndPreviewFrame = placeholder(this, kPreviewFrame, {296, 24, 56, 56});
  auto* preview = new QLabel(QStringLiteral("プレビュー"), this);
  preview->setGeometry(296, 84, 60, 16);
  pushButton(this, kCopy, QStringLiteral("コピー(&C)"), {296, 104, 56, 22});
  pushButton(this, kPaste, QStringLiteral("貼り付け(&V)"), {296, 130, 56, 22});
  pushButton(this, kClear, QStringLiteral("クリア(&L)"), {296, 156, 56, 22});
  QPushButton* ok = pushButton(this, 1, QStringLiteral("OK"), {200, 238, 72, 24});
  pushButton(this, 2, QStringLiteral("キャンセル"), {280, 238, 72, 24});
  ok->setDefault(true);
  for (unsigned id : {kCopy, kPaste, kClear}) {
    auto* button = findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
    connect(button, &QPushButton::clicked, this, [this, id] { onCommand(id, 0); });
  }
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(findChild<QPushButton*>(QStringLiteral("id2")), &QPushButton::clicked, this, &QDialog::reject);

  m_wndLargeDrawArea->SetBitmap(m_pBitmap);
  m_wndLargeDrawArea->onImageChanged = [this] { imageChanged(); };
  m_wndLargeDrawArea->onColorPicked = [this](COLORREF color) { OnColorPicked(color); };

  m_wndToolbar = std::make_unique<ImageToolPalette>();
  const Rect toolPlace = Rect::fromQRect(m_wndToolbarLocation->geometry()).deflated(2, 2);
  if (m_wndToolbar->Create(this, 0x50000000u | CbrsGripper | CbrsAlignTop | CbrsBorderBottom | CbrsHideInplace,
                           0xE800) &&
      m_wndToolbar->LoadToolBar(kToolPaletteResource, 0, 0, true)) {
    m_wndToolbar->SetBarStyle((m_wndToolbar->GetBarStyle() | CbrsTooltips | CbrsFlyBy) &
                              ~(CbrsGripper | kAllBorders));
    m_wndToolbar->SetBorders(10, 5, 10, 5);
    m_wndToolbar->wrapToColumns(3);
    m_wndToolbar->setGeometry(toolPlace.toQRect());
    m_wndToolbar->SetOwner(this);
    m_wndToolbar->raise();
    m_wndToolbar->show();
  }

  m_wndPalette = std::make_unique<CUxColorBar>();
  if (m_nBitsPerPixel <= 8) {
    // The twenty static colours without the four that only some displays reserve.
    const auto& system = systemPalette();
    m_wndPalette->Colors.clear();
    for (int i = 0; i < 20; ++i)
      if (i < 8 || i > 11) m_wndPalette->Colors.push_back(system[static_cast<size_t>(i)]);
  }
  m_wndPalette->CreateControl(this, Rect::fromQRect(m_wndPaletteBarLocation->geometry()).deflated(2, 2), kColorBarId,
                              4);
  m_wndPalette->SetOwner(this);
  m_wndPalette->SetColor(0);
  m_wndPalette->show();

  const QRect frame = m_wndPreviewFrame->geometry();
  const int w = m_pBitmap ? m_pBitmap->width() : 0, h = m_pBitmap ? m_pBitmap->height() : 0;
  m_rectPreview = QRect((frame.right() + 1 - w + frame.left()) / 2, (frame.bottom() + 1 - h + frame.top()) / 2, w, h);
  m_rectPreviewFrame = m_rectPreview.adjusted(-4, -4, 4, 4);
  m_wndPreviewFrame->hide();
}

ImageEditDlg::~ImageEditDlg() {
  // The bars go before the dialog's children they lean on.
  m_wndToolbar.reset();
  m_wndPalette.reset();
}

int ImageEditDlg::DoModal() { return platform::execDialog(*this) == QDialog::Accepted ? 1 : 0; }

void ImageEditDlg::paintEvent(QPaintEvent*) {
  QImage face(size(), QImage::Format_RGB32);
  face.fill(platform::toQColor(globalData().clrBtnFace));
  Dc dc(face);
  dc.draw3dRect(Rect::fromQRect(m_rectPreviewFrame), globalData().clrBtnHighlight, globalData().clrBtnShadow);
  QPainter painter(this);
  painter.drawImage(0, 0, face);
  if (m_pBitmap) painter.drawImage(m_rectPreview.topLeft(), *m_pBitmap);
}

void ImageEditDlg::imageChanged() { update(m_rectPreview); }

void ImageEditDlg::OnColorPicked(COLORREF color) {
  m_wndPalette->SetColor(color);
  m_wndLargeDrawArea->SetColor(color);
  m_wndLargeDrawArea->SetMode(ImagePaintArea::Pen);
}

bool ImageEditDlg::onCommand(unsigned id, int) {
  for (size_t mode = 0; mode < kToolOfMode.size(); ++mode)
    if (kToolOfMode[mode] == id) {
      m_wndLargeDrawArea->SetMode(static_cast<int>(mode));
      return true;
    }
  switch (id) {
    case kColorBarId: m_wndLargeDrawArea->SetColor(m_wndPalette->SelectedColor); return true;
    case kCopy: OnCopy(); return true;
    case kPaste: OnPaste(); return true;
    case kClear: OnClear(); return true;
    default: return false;
  }
}

void ImageEditDlg::onUpdateCommandUi(platform::CommandUi& state) {
  for (size_t mode = 0; mode < kToolOfMode.size(); ++mode)
    if (kToolOfMode[mode] == state.id) state.setCheck(m_wndLargeDrawArea->GetMode() == static_cast<int>(mode) ? 1 : 0);
  if (state.id == kPaste) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    state.enable(data && data->hasImage());
  }
}

void ImageEditDlg::OnClear() {
  if (!m_pBitmap) return;
  Dc dc(*m_pBitmap);
  dc.fillRect(dc.bounds(), globalData().brBtnFace);
  m_wndLargeDrawArea->SetBitmap(m_pBitmap);
  imageChanged();
}

void ImageEditDlg::OnCopy() {
  if (!m_pBitmap) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QImage copy = m_pBitmap->copy();
  if (!clipboard || copy.isNull()) {
    tell(kStringClipboardFailed);
    return;
  }
  clipboard->setImage(copy);
}

void ImageEditDlg::OnPaste() {
  if (!m_pBitmap) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  QImage pasted = data && data->hasImage() ? clipboard->image() : QImage();
  if (pasted.isNull()) {
    tell(kStringPasteFailed);
    return;
  }
  pasted = pasted.convertToFormat(QImage::Format_RGB32);
  Dc target(*m_pBitmap);
  target.fillRect(target.bounds(), globalData().brBtnFace);
  const Dc source(pasted);
  const int x = std::max((m_pBitmap->width() - pasted.width()) / 2, 0);
  const int y = std::max((m_pBitmap->height() - pasted.height()) / 2, 0);
  // Only what the clipboard image holds: a smaller one keeps the face around it.
  target.bitBlt(x, y, std::min(m_pBitmap->width(), pasted.width()), std::min(m_pBitmap->height(), pasted.height()),
                source, 0, 0, platform::SrcCopy);
  m_wndLargeDrawArea->SetBitmap(m_pBitmap);
  imageChanged();
}
