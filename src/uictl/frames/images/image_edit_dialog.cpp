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

#include <QBoxLayout>
#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <array>
#include <utility>

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

// An empty frame of a fixed size that a bar is later placed on.
QWidget* placeholder(QWidget* parent, unsigned id, QSize size) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QStringLiteral("id%1").arg(id));
  frame->setFixedSize(size);
  return frame;
}

QPushButton* pushButton(QWidget* parent, unsigned id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QStringLiteral("id%1").arg(id));
  return button;
}

// The room the enlarged image may take. The grid's cells fill the area exactly, so that no grid
// line runs past its frame; an image too large for cells of a pixel keeps the whole room.
constexpr int kGridRoom = 200;
QSize paintAreaSize(const QImage* image) {
  const int inner = kGridRoom - 2;
  if (!image || image->isNull() || image->width() > inner || image->height() > inner) return {kGridRoom, kGridRoom};
  return {inner / image->width() * image->width() + 2, inner / image->height() * image->height() + 2};
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
  // The whole bar as wrapped, its borders included; a row of buttons is placed one pixel in.
  QSize wrappedSize() {
    const platform::Size buttons = CalcSize(false);
    Rect inset;
    CalcInsideRect(inset, true);
    return {buttons.cx + 1 - inset.width(), buttons.cy - inset.height()};
  }
};

ImageEditDlg::ImageEditDlg(QImage* bitmap, QWidget* parent, int bitsPerPixel)
    : QDialog(parent), m_pBitmap(bitmap) {
  setObjectName(QStringLiteral("id16133"));
  setWindowTitle(QStringLiteral("ボタン イメージの編集"));
  if (m_pBitmap && m_pBitmap->format() != QImage::Format_RGB32 && m_pBitmap->format() != QImage::Format_ARGB32) {
    const int depth = m_pBitmap->depth();
    *m_pBitmap = m_pBitmap->convertToFormat(QImage::Format_RGB32);
    if (bitsPerPixel == -1) bitsPerPixel = depth;
  }
  m_nBitsPerPixel = bitsPerPixel == -1 && m_pBitmap ? m_pBitmap->depth() : bitsPerPixel;

  m_wndLargeDrawArea = new ImagePaintArea(this);
  m_wndLargeDrawArea->setObjectName(QStringLiteral("id%1").arg(kPaintArea));
  m_wndLargeDrawArea->setFixedSize(paintAreaSize(m_pBitmap));
  // The picture's mnemonic leads to the grid.
  m_wndLargeDrawArea->setFocusPolicy(Qt::StrongFocus);
  auto* picture = new QLabel(QStringLiteral("画像(&P)"), this);
  picture->setBuddy(m_wndLargeDrawArea);
  auto* colours = new QLabel(QStringLiteral("色"), this);
  m_wndPaletteBarLocation = placeholder(this, kColorBarId, {70, 140});
  m_wndPreviewFrame = placeholder(this, kPreviewFrame, {56, 56});
  // Hidden, it still keeps the preview's place.
  QSizePolicy keepsPlace = m_wndPreviewFrame->sizePolicy();
  keepsPlace.setRetainSizeWhenHidden(true);
  m_wndPreviewFrame->setSizePolicy(keepsPlace);
  auto* preview = new QLabel(QStringLiteral("プレビュー"), this);
  preview->setAlignment(Qt::AlignHCenter);
  QPushButton* copy = pushButton(this, kCopy, QStringLiteral("コピー(&C)"));
  QPushButton* paste = pushButton(this, kPaste, QStringLiteral("貼り付け(&V)"));
  QPushButton* clear = pushButton(this, kClear, QStringLiteral("クリア(&L)"));
  QPushButton* ok = pushButton(this, 1, QStringLiteral("OK"));
  QPushButton* cancel = pushButton(this, 2, QStringLiteral("キャンセル"));
  ok->setDefault(true);
  for (const auto& [button, id] : std::initializer_list<std::pair<QPushButton*, unsigned>>{
           {copy, kCopy}, {paste, kPaste}, {clear, kClear}})
    connect(button, &QPushButton::clicked, this, [this, command = id] { onCommand(command, 0); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  m_wndLargeDrawArea->SetBitmap(m_pBitmap);
  m_wndLargeDrawArea->onImageChanged = [this] { imageChanged(); };
  m_wndLargeDrawArea->onColorPicked = [this](COLORREF color) { OnColorPicked(color); };

  // The tool palette is made first: its place below the colours is as large as the bar wrapped
  // into rows of three.
  m_wndToolbar = std::make_unique<ImageToolPalette>();
  const bool paletteMade =
      m_wndToolbar->Create(this, 0x50000000u | CbrsGripper | CbrsAlignTop | CbrsBorderBottom | CbrsHideInplace,
                           0xE800) &&
      m_wndToolbar->LoadToolBar(kToolPaletteResource, 0, 0, true);
  QSize toolPlace{70, 0};
  if (paletteMade) {
    m_wndToolbar->SetBarStyle((m_wndToolbar->GetBarStyle() | CbrsTooltips | CbrsFlyBy) &
                              ~(CbrsGripper | kAllBorders));
    m_wndToolbar->SetBorders(10, 5, 10, 5);
    m_wndToolbar->wrapToColumns(3);
    toolPlace = toolPlace.expandedTo(m_wndToolbar->wrappedSize() + QSize(4, 4));
  }
  m_wndToolbarLocation = placeholder(this, kToolbarPlace, toolPlace);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(4);
  grid->addWidget(picture, 0, 0);
  grid->addWidget(m_wndLargeDrawArea, 1, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(colours, 0, 1);
  grid->addWidget(m_wndPaletteBarLocation, 1, 1, Qt::AlignTop | Qt::AlignHCenter);
  grid->addWidget(m_wndToolbarLocation, 2, 1, Qt::AlignTop | Qt::AlignHCenter);
  auto* commands = new QVBoxLayout;
  commands->setSpacing(4);
  commands->addWidget(m_wndPreviewFrame, 0, Qt::AlignHCenter);
  commands->addSpacing(8);
  for (QPushButton* button : {copy, paste, clear}) commands->addWidget(button);
  commands->addStretch();
  // Each title stands above what it names.
  grid->addWidget(preview, 0, 2);
  grid->addLayout(commands, 1, 2, 2, 1);
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(ok);
  answers->addWidget(cancel);
  auto* whole = new QVBoxLayout(this);
  whole->setContentsMargins(10, 6, 10, 8);
  whole->setSpacing(10);
  whole->addLayout(grid);
  whole->addLayout(answers);
  // As large as its controls need in the font in use, and no larger.
  whole->setSizeConstraint(QLayout::SetFixedSize);
  whole->activate();

  if (paletteMade) {
    m_wndToolbar->setGeometry(m_wndToolbarLocation->geometry().adjusted(2, 2, -2, -2));
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
