#include "uictl/frames/outlook/outlook_bar.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/escape_watcher.h"
#include "uictl/frames/window_styles.h"

#include <QPointer>
#include <algorithm>
#include <chrono>
#include <thread>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxOutlookBar, CUxToolBar, kNoSchema, nullptr)

namespace {

constexpr unsigned kWsCaption = 0x00C00000u;
constexpr int kAnimationPause = 10;

OutlookAnimationSleeper& installedSleeper() {
  static OutlookAnimationSleeper sleeper;
  return sleeper;
}

void animationPause() {
  if (installedSleeper()) installedSleeper()(kAnimationPause);
  else std::this_thread::sleep_for(std::chrono::milliseconds(kAnimationPause));
}

// Null when the resource has no such bitmap.
QImage resourceBitmap(unsigned id) {
  const QString path = bitmapResourcePath(id);
  return path.isEmpty() ? QImage() : QImage(path);
}

}  // namespace

void setOutlookAnimationSleeper(OutlookAnimationSleeper sleeper) { installedSleeper() = std::move(sleeper); }

CUxOutlookBar::CUxOutlookBar(QWidget* parent) : CUxToolBar(parent), m_clrBackColor(globalData().clrBarShadow) {
  // The bar lives in a dialog, which answers commands but not their update requests; its child
  // windows are its own page, scroll and close buttons, not controls of its command buttons.
  m_bDisableIfNoHandler = false;
  m_bDisableControlsIfNoHandler = false;
  recalcSplitter();
}

CUxOutlookBar::~CUxOutlookBar() {
  endRename();
  // Page buttons go before the widget's children are deleted; page windows are only hidden.
  m_Pages.clear();
  m_DefaultPages.clear();
}

bool CUxOutlookBar::Create(QWidget* parent, unsigned style, unsigned id) {
  m_bCaption = (style & kWsCaption) || m_bPageButtonMode;
  style = (style & ~kWsCaption) | WsChild | WsVisible;
  if (!CUxToolBar::Create(parent, style, id)) return false;
  // The bar draws its own edges: no border, no gripper.
  SetBorders(0, 0, 0, 0);
  SetBarStyle(GetBarStyle() & ~(CbrsBorderLeft | CbrsBorderTop | CbrsBorderRight | CbrsBorderBottom | CbrsBorder3d |
                                CbrsGripper));
  // The frame lays its bars out in child order: a vertical bar comes last, so that it takes
  // only the height the bars along the top and bottom leave.
  if (isVerticalBar()) raise();
  else placeBehindStatusBar();

  const Size glyph = CUxButton::GetStdImageSize();
  const Rect scrollRect = Rect::fromSize(0, 0, glyph.cx + 4, glyph.cy + 4);
  const bool vertical = isVerticalBar();
  m_pBtnUp = new CUxButton;
  m_pBtnUp->Create(L"", WsChild, scrollRect, this, kScrollUpId);
  m_pBtnUp->SetStdImage(vertical ? kGlyphScrollUp : kGlyphCloseSmall);
  m_pBtnDown = new CUxButton;
  m_pBtnDown->Create(L"", WsChild, scrollRect, this, kScrollDownId);
  m_pBtnDown->SetStdImage(vertical ? kGlyphArrowDown : kGlyphArrowLeft);
  m_pBtnClose = new COutlookCloseButton(this);
  m_pBtnClose->Create(L"", WsChild, scrollRect, this, kCloseId);
  m_pBtnClose->SetTooltip(L"閉じる");
  m_pBtnClose->SetStdImage(kGlyphCloseBox);
  connect(m_pBtnClose, &QAbstractButton::clicked, this, [this] { OnCommand(kCloseId, 0, m_pBtnClose); });
  for (QWidget* button : {static_cast<QWidget*>(m_pBtnUp), static_cast<QWidget*>(m_pBtnDown)})
    button->installEventFilter(this);
  setWindowTitle(QStringLiteral("Shortcuts"));
  // The small icons of page-button mode, in a flat child toolbar of their own.
  m_pWndToolBar = new COutlookPageToolBar(this);
  m_pWndToolBar->CreateEx(this, 0x800, unsigned(WsChild) | CbrsAlignTop, {0, 0, 0, 0}, 0xE800);
  m_pWndToolBar->SetOwner(this);
  m_pWndToolBar->SetBorders(0, 0, 0, 0);
  m_pWndToolBar->SetBarStyle(m_pWndToolBar->GetBarStyle() &
                             ~(CbrsBorderLeft | CbrsBorderTop | CbrsBorderRight | CbrsBorderBottom | CbrsBorder3d | CbrsGripper));
  m_bCreated = true;
  recalcSplitter();
  AdjustLayout();
  return true;
}

void CUxOutlookBar::placeBehindStatusBar() {
  QWidget* frame = parentWidget();
  if (!dynamic_cast<ControlBarDockSite*>(frame)) return;
  QWidget* status =
      frame->findChild<QWidget*>(QStringLiteral("id%1").arg(kStatusBarId), Qt::FindDirectChildrenOnly);
  if (!status || status == this) return;
  // The frame lays its bars out in child order: coming right after the status bar, the bar
  // lies against it, between it and the rest of the window.
  stackUnder(status);
  status->stackUnder(this);
}

// Pages.

CUxOutlookBarPage* CUxOutlookBar::FindPage(int pageId) const {
  for (const auto& page : m_Pages)
    if (static_cast<int>(page->m_nPageID) == pageId) return page.get();
  return nullptr;
}

CUxOutlookBarPage* CUxOutlookBar::PageFromPoint(Point point) const {
  for (const auto& page : m_Pages)
    if (page->m_rectButton.contains(point)) return page.get();
  return nullptr;
}

const wchar_t* CUxOutlookBar::FindPageName(unsigned pageId) const {
  const CUxOutlookBarPage* page = FindPage(static_cast<int>(pageId));
  return page ? page->m_strName.c_str() : nullptr;
}

bool CUxOutlookBar::AddPage(unsigned pageId, const wchar_t* name, QWidget* pageWindow, int position) {
  if (position != -1 && (position < 0 || position > GetPageCount())) return false;
  if (FindPage(static_cast<int>(pageId))) return false;
  m_nVisibleLargePageButtons = -1;
  auto page = std::make_unique<CUxOutlookBarPage>();
  page->m_nPageID = pageId;
  page->m_strName = name ? name : L"";
  page->m_hwndPage = pageWindow;
  CUxOutlookBarPage* added = page.get();
  m_Pages.insert(position == -1 ? m_Pages.end() : m_Pages.begin() + position, std::move(page));
  added->CreatePageButton(this);
  if (pageWindow) pageWindow->hide();
  if (m_Pages.size() == 1) SetActivePage(static_cast<int>(pageId), false);
  else AdjustLayout();
  return true;
}

bool CUxOutlookBar::RenamePage(unsigned pageId, const wchar_t* name) {
  CUxOutlookBarPage* page = FindPage(static_cast<int>(pageId));
  if (!page) return false;
  page->SetName(name ? name : L"");
  update();
  return true;
}

// Buttons and images.

int CUxOutlookBar::AddImage(const QImage& bitmap) {
  if (bitmap.isNull()) return -1;
  if (m_OutlookImages.GetCount() == 0) {
    m_csImage = {bitmap.width(), bitmap.height()};
    m_OutlookImages.SetImageSize(m_csImage);
    if (m_bEnableSplitter && m_nBarThickness == -1)
      m_nBarThickness = (2 * (isVerticalBar() ? m_csImage.cx : m_csImage.cy) + 6) * 2;
  }
  // Every cell of the strip has the first image's size, so that indexes stay true.
  const QImage cell = bitmap.size() == QSize(m_csImage.cx, m_csImage.cy) ? bitmap : bitmap.copy(0, 0, m_csImage.cx, m_csImage.cy);
  return m_OutlookImages.AddImage(cell);
}

bool CUxOutlookBar::AddButton(unsigned bitmapId, const wchar_t* label, unsigned command, int pageId, int position) {
  int image = -1;
  if (bitmapId != 0) {
    const QImage bitmap = resourceBitmap(bitmapId);
    if (bitmap.isNull()) return false;
    image = AddImage(bitmap);
  }
  return InsertOutlookButton(image, label, command, pageId, position);
}

bool CUxOutlookBar::AddButtonFromFile(const std::wstring& path, const wchar_t* label, unsigned command, int pageId,
                                      int position) {
  const QImage bitmap(QString::fromStdWString(path));
  if (bitmap.isNull()) return false;
  return InsertOutlookButton(AddImage(bitmap), label, command, pageId, position);
}

bool CUxOutlookBar::InsertOutlookButton(int image, const wchar_t* label, unsigned command, int pageId,
                                        int position) {
  if (!m_Pages.empty()) {
    if (pageId == -1) pageId = static_cast<int>(m_Pages.front()->m_nPageID);
    const CUxOutlookBarPage* page = FindPage(pageId);
    if (!page || page->m_hwndPage) return false;
  }
  auto button = std::make_unique<CUxOutlookButton>();
  button->m_nCommandId = command;
  button->m_strText = label ? label : L"";
  button->SetImage(image);
  button->m_dwPageID = static_cast<unsigned>(pageId);
  button->m_bTextBelow = m_bTextLabels;
  if (InsertButton(std::move(button), position) < 0) return false;
  AdjustLayout();
  return true;
}

void CUxOutlookBar::RemoveAllButtons() {
  CUxToolBar::RemoveAllButtons();
  m_iScrollOffset = m_iFirstVisibleButton = 0;
  m_bScrollDown = false;
}

bool CUxOutlookBar::onActivePage(const CUxToolbarButton& button) const {
  if (m_Pages.empty()) return true;
  const auto* outlook = dynamic_cast<const CUxOutlookButton*>(&button);
  return outlook && static_cast<int>(outlook->m_dwPageID) == m_nActivePageID;
}

CUxToolbarButton* CUxOutlookBar::GetVisibleButton(int index) const {
  int n = 0;
  for (const auto& button : m_Buttons)
    if (onActivePage(*button) && n++ == index) return button.get();
  return nullptr;
}

int CUxOutlookBar::GetVisibleButtonCount() const {
  return static_cast<int>(
      std::count_if(m_Buttons.begin(), m_Buttons.end(), [this](const auto& button) { return onActivePage(*button); }));
}

Size CUxOutlookBar::PageIconSize() const {
  if (!m_smallPageImages.empty()) return m_sizeSmallPageImage;
  if (!m_largePageImages.empty()) return m_sizeLargePageImage;
  return {16, 16};
}

// Settings.

void CUxOutlookBar::SetColors(COLORREF text, COLORREF) {
  m_clrRegText = text;
  if (m_bCreated) repaintNow();
}

void CUxOutlookBar::SetTransparentColor(COLORREF colour) {
  m_clrTransparentColor = colour;
  if (m_bCreated) repaintNow();
}

void CUxOutlookBar::EnableSplitter(bool enable) {
  m_bEnableSplitter = enable;
  m_rectSplitter = m_rectDragLine = {};
  m_bSplitterDragging = false;
  recalcSplitter();
  if (m_bCreated) AdjustLayout();
}

void CUxOutlookBar::SetBackgroundImage(unsigned bitmapId, bool force) {
  if (bitmapId == m_uiBackImageId && !force) return;
  m_uiBackImageId = bitmapId;
  m_BackImage.Clear();
  m_bBackImageUsable = false;
  if (bitmapId != 0) {
    // Its grays take the 3-D colours of the system, as the bar's own do.
    const QImage bitmap = loadBitmapResourceWith3dColors(bitmapId);
    if (!bitmap.isNull()) {
      m_BackImage.SetImageSize({bitmap.width(), bitmap.height()});
      m_BackImage.AddImage(bitmap);
      m_bBackImageUsable = globalData().nBitsPerPixel > 8;
    }
  }
  if (m_bCreated) repaintNow();
}

void CUxOutlookBar::repaintNow(const QRect& area) {
  if (!isVisible()) {
    update(area.isNull() ? rect() : area);
    return;
  }
  if (area.isNull()) repaint();
  else repaint(area);
}

// The active page.

void CUxOutlookBar::SetActivePage(int pageId, bool animate) {
  if (pageId == m_nActivePageID) return;
  CUxOutlookBarPage* next = pageId == -1 ? nullptr : FindPage(pageId);
  if (pageId != -1 && !next) return;
  CUxOutlookBarPage* previous = FindPage(m_nActivePageID);
  const Rect previousButton = previous ? previous->m_rectButton : Rect{};
  if (previous && previous->m_hwndPage) previous->m_hwndPage->hide();
  if (next && next->m_hwndPage) next->m_hwndPage->show();

  m_nActivePageID = pageId;
  QPointer<CUxOutlookBar> self(this);
  OnActivatePage();
  // The notification may have closed the window that holds the bar, or chosen yet another page.
  if (!self || m_nActivePageID != pageId) return;
  m_iScrollOffset = m_iFirstVisibleButton = 0;
  m_bScrollDown = false;

  const Rect nextBefore = next ? next->m_rectButton : Rect{};
  AdjustLocations();
  if (next) m_rectActivePageBtnScreen = Rect::fromQRect(QRect(mapToGlobal(next->m_rectButton.toQRect().topLeft()),
                                                              next->m_rectButton.toQRect().size()));
  if (!m_bCreated) return;
  if (!m_bEnableAnimation || !animate || previousButton.isEmpty() || !next) {
    repaintNow();
    return;
  }

  CUxOutlookBarPage* moving = next;
  Rect target = next->m_rectButton;
  if (nextBefore == target && previous) {
    moving = previous;
    target = previous->m_rectButton;
  }
  const int step = nextBefore.top >= target.top ? -target.height() : target.height();
  // An empty target would never be reached.
  if (step != 0 && moving->m_btnPage) {
    Rect work = m_rectWorkArea;
    if (!m_rectSplitter.isEmpty()) work.right = std::min(work.right, m_rectSplitter.left);
    Rect r = nextBefore;
    while (step < 0 ? r.top > target.top : r.top < target.top) {
      const QRect old = r.toQRect();
      r = r.offset(0, step);
      moving->SetButtonRect(r);
      repaintNow(old.united(work.toQRect()));
      moving->m_btnPage->repaint();
      animationPause();
    }
  }
  AdjustLocations();
  repaintNow();
}

bool CUxOutlookBar::OnCommand(unsigned id, int notifyCode, QWidget* control) {
  if (!control && onCommand(id, notifyCode)) return true;
  if (control && id == kCloseId && control == m_pBtnClose) {
    // Only a frame that docks the bar can show it again.
    if (m_pDockSite) m_pDockSite->ShowControlBar(this, false, false);
    return true;
  }
  for (const auto& page : m_Pages) {
    if (control && page->m_btnPage.get() == control) {
      SetActivePage(static_cast<int>(page->m_nPageID), true);
      return true;
    }
  }
  return CUxToolBar::OnCommand(id, notifyCode, control);
}

// Page buttons in page-button mode.

void CUxOutlookBar::ShowMorePageButtons() {
  ++m_nVisibleLargePageButtons;
  AdjustLayout();
  repaintNow();
}

void CUxOutlookBar::ShowFewerPageButtons() {
  --m_nVisibleLargePageButtons;
  AdjustLayout();
  repaintNow();
}

bool CUxOutlookBar::CanShowMorePageButtons() const { return m_nVisibleLargePageButtons < m_nMaxLargePageButtons; }

bool CUxOutlookBar::CanShowFewerPageButtons() const { return m_nVisibleLargePageButtons > 0; }
