// The tab window's tabs: creation with its buttons, adding and removing tabs, their labels,
// images and colours, activation, and what the parent is told.
#include "uictl/frames/tabs/tab_wnd.h"

#include "platform/windows/command_target.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QMetaObject>
#include <QScrollBar>
#include <algorithm>

using namespace platform;

CUxTabStripButton::CUxTabStripButton(CUxTabWnd* tabs) : m_pTabWnd(tabs) {}

void CUxTabStripButton::OnFillBackground(Dc* dc, const Rect& rect) {
  CUxVisualManager::GetInstance()->OnFillTabStripButton(dc, rect, this, m_pTabWnd->Look());
}

void CUxTabStripButton::OnDrawBorder(Dc* dc, Rect& rect, unsigned state) {
  CUxVisualManager::GetInstance()->OnDrawCustomButtonBorder(dc, rect, m_bPushed, m_bHot, state);
}

CUxTabWnd::CUxTabWnd(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  FillAutoColorTable();
}

CUxTabWnd::~CUxTabWnd() {
  m_bTearingDown = true;
  for (auto& tab : m_tabRecords) {
    if (!tab->m_pTabWindow) continue;
    disconnect(tab->m_pTabWindow, nullptr, this, nullptr);
    if (m_bDestroyWindows) delete tab->m_pTabWindow.data();
  }
  m_tabRecords.clear();
}

bool CUxTabWnd::Create(int style, const Rect& rect, QWidget* parent, unsigned id, int location, bool closeButton) {
  if (style < TabStyle3D || style > TabStyle3DSlanted) return false;
  m_bFlatStyle = style == TabStyleFlat || style == TabStyleFlatSharedScroll;
  m_bSlanted = style == TabStyle3DSlanted;
  m_bSharedScrollBar = style == TabStyleFlatSharedScroll;
  m_bHasScrollButtons = style != TabStyle3D;
  m_bHotTracking = m_bSlanted;
  m_nTabsSide = location;
  m_bHasCloseButton = closeButton;
  setParent(parent);
  setObjectName(QStringLiteral("id%1").arg(id));
  setWindowTitle(QString());
  setGeometry(rect.toQRect());
  createButtons();
  if (m_bSharedScrollBar) {
    m_sharedScrollBar = new QScrollBar(Qt::Horizontal, this);
    connect(m_sharedScrollBar, &QAbstractSlider::actionTriggered, this, [this](int action) { onSharedScroll(action); });
  }
  m_bTips = style == TabStyle3D;
  ComputeTabsHeight();
  // Ctrl+PgUp/PgDn and the rename box's keys and clicks reach the strip from any of its windows.
  qApp->installEventFilter(this);
  m_bCreated = true;
  show();
  LayoutWindow();
  return true;
}

void CUxTabWnd::createButtons() {
  if (!m_bHasScrollButtons) return;
  auto make = [this](Button which, int glyph, int disabledGlyph, bool repeat, const wchar_t* tip) {
    auto* button = new CUxTabStripButton(this);
    button->Create(L"", WsChild | WsVisible, {}, this, static_cast<unsigned>(-1));
    button->SetStdImage(glyph, disabledGlyph);
    button->m_nBorderStyle = CUxButton::BorderFlat;
    button->m_bDrawFocusRect = false;
    button->setFocusPolicy(Qt::NoFocus);
    if (repeat && !m_bSlanted) button->SetAutoRepeat(50);
    if (tip && !m_bFlatStyle) button->SetTooltip(tip);
    connect(button, &QAbstractButton::clicked, this, [this, which] { onButtonClick(which); });
    m_buttons[which] = button;
    m_buttonHandles.push_back(button);
  };
  if (m_bFlatStyle) make(BtnHome, kGlyphTabFirst, -1, false, nullptr);
  make(BtnLeft, kGlyphTabLeft, kGlyphTabLeftDisabled, true, L"Scroll Left");
  make(BtnRight, kGlyphTabRight, kGlyphTabRightDisabled, true, L"Scroll Right");
  if (m_bFlatStyle) make(BtnEnd, kGlyphTabLast, -1, false, nullptr);
  make(BtnClose, kGlyphCloseBox, -1, false, L"Close");
}

CUxTabStripButton* CUxTabWnd::ScrollButton(int which) const {
  return which >= 0 && which < ButtonCount ? m_buttons[which] : nullptr;
}

// Tabs.

void CUxTabWnd::AppendTab(QWidget* window, const std::wstring& label, int image) {
  InsertTabAt(window, label, -1, image);
}

void CUxTabWnd::InsertTabAt(QWidget* window, const std::wstring& label, int index, int image) {
  if (index < 0 || index > m_nTabCount) index = m_nTabCount;
  if (m_bFlatStyle) image = -1;
  QWidget* previous = GetActiveTabWindow();
  auto tab = std::make_unique<CUxTabRecord>();
  tab->m_strLabel = label;
  tab->m_nImage = image;
  tab->m_pTabWindow = window;
  tab->m_bListViewWindow = qobject_cast<QAbstractItemView*>(window) != nullptr;
  tab->m_nID = m_nNextID;
  watchWindow(*tab);
  m_tabRecords.insert(m_tabRecords.begin() + index, std::move(tab));
  ++m_nTabCount;
  // A tab put in front of the active one must not take its place: the active window stays.
  if (index < m_nActive) ++m_nActive;
  if (m_bTips) m_tips.push_back({m_nNextID, label, {}});
  ++m_nNextID;
  LayoutWindow();
  if (m_nTabCount == 1) {
    ActivateTab(0);
  } else if (window) {
    if (index == m_nActive && m_bHideInactive) {
      if (previous) previous->hide();
      window->show();
    } else if (m_bHideInactive) {
      window->hide();
    }
  }
  if (!m_bHideInactive)
    if (QWidget* active = GetActiveTabWindow()) active->raise();
}

void CUxTabWnd::watchWindow(CUxTabRecord& tab) {
  tab.m_windowKey = tab.m_pTabWindow.data();
  if (!tab.m_pTabWindow) return;
  connect(tab.m_pTabWindow, &QObject::destroyed, this, &CUxTabWnd::onTabWindowDestroyed, Qt::UniqueConnection);
  if (!m_bSharedScrollBar) return;
  // A column resized in a list changes what there is to scroll sideways; the view settles its
  // scroll range only after the header has told of the change.
  for (QHeaderView* header : tab.m_pTabWindow->findChildren<QHeaderView*>())
    if (header->orientation() == Qt::Horizontal)
      connect(header, &QHeaderView::sectionResized, this,
              [this] { QMetaObject::invokeMethod(this, [this] { SyncSharedScrollBar(); }, Qt::QueuedConnection); });
}

void CUxTabWnd::onTabWindowDestroyed() {
  if (m_bTearingDown) return;
  const QObject* gone = sender();
  for (int i = m_nTabCount - 1; i >= 0; --i)
    if (m_tabRecords[size_t(i)]->m_windowKey == gone) DeleteTab(i);
}

void CUxTabWnd::removeRecord(int index) {
  std::unique_ptr<CUxTabRecord> tab = std::move(m_tabRecords[size_t(index)]);
  m_tabRecords.erase(m_tabRecords.begin() + index);
  --m_nTabCount;
  if (m_bTips)
    std::erase_if(m_tips, [&](const TabTool& tool) { return tool.id == tab->m_nID; });
  if (m_nHot == index) m_nHot = -1;
  QWidget* window = tab->m_pTabWindow;
  // A window another tab still shows stays as it is.
  if (!window || TabFromWindowHandle(window) >= 0) return;
  disconnect(window, nullptr, this, nullptr);
  if (m_bDestroyWindows) window->deleteLater();
  // A window without its tab is no longer the strip's to show.
  if (m_bDestroyWindows || m_bHideInactive) window->hide();
}

bool CUxTabWnd::DeleteTab(int index) {
  if (!validIndex(index)) return false;
  if (m_nTabCount == 1) {
    DeleteAllTabs();
    return true;
  }
  if (m_nRenamed >= 0) endRename();
  removeRecord(index);
  int next = m_nActive;
  if (m_nActive >= index) {
    next = std::clamp(m_nActive - 1, 0, m_nTabCount - 1);
    m_nActive = -1;
    if (m_bSlanted && m_nFirstShown >= index) m_nFirstShown = std::clamp(m_nFirstShown - 1, 0, m_nTabCount - 1);
  }
  LayoutWindow();
  if (m_bSlanted && m_xScroll == 0) m_nFirstShown = 0;
  const int before = m_nActive;
  ActivateTab(next);
  notifyParent(UXM_ONCHANGE_ACTIVE_TAB, static_cast<uintptr_t>(next), before);
  return true;
}

void CUxTabWnd::DeleteAllTabs() {
  if (m_nRenamed >= 0) endRename();
  while (m_nTabCount > 0) removeRecord(m_nTabCount - 1);
  m_nActive = -1;
  m_nHot = -1;
  m_nFirstShown = 0;
  m_nNextID = 1;
  LayoutWindow();
}

bool CUxTabWnd::SetTabLabel(int index, const std::wstring& label) {
  CUxTabRecord* tab = record(index);
  if (!tab || label.empty()) return false;
  tab->m_strLabel = label;
  setToolText(tab->m_nID, label);
  LayoutWindow();
  return true;
}

bool CUxTabWnd::GetTabLabel(int index, std::wstring& label) const {
  const CUxTabRecord* tab = record(index);
  if (!tab) return false;
  label = tab->m_bNoLabel ? std::wstring() : tab->m_strLabel;
  return true;
}

std::wstring CUxTabWnd::TabLook::GetTabLabel(int tab) const {
  std::wstring label;
  m_tabs.GetTabLabel(tab, label);
  return label;
}

bool CUxTabWnd::SetTabImage(int index, int image) {
  CUxTabRecord* tab = record(index);
  if (!tab) return false;
  tab->m_nImage = image;
  // The tab's width counts its image.
  LayoutTabs();
  update();
  return true;
}

int CUxTabWnd::GetTabImage(int index) const {
  const CUxTabRecord* tab = record(index);
  return tab ? tab->m_nImage : -1;
}

QImage CUxTabWnd::TabLook::GetTabImage(int tab) const {
  const int image = m_tabs.GetTabImage(tab);
  const std::vector<QImage>* images = m_tabs.m_hTabImages;
  if (!images || image < 0 || image >= static_cast<int>(images->size())) return {};
  return (*images)[size_t(image)];
}

COLORREF CUxTabWnd::GetTabForeColor(int index) const {
  const CUxTabRecord* tab = record(index);
  return tab ? tab->m_clrFore : kNoColor;
}

COLORREF CUxTabWnd::GetTabBackColor(int index) const {
  const CUxTabRecord* tab = record(index);
  if (!tab) return kNoColor;
  if (tab->m_clrBack != kNoColor) return tab->m_clrBack;
  if (!m_bAutoColors || m_autoColors.empty()) return kNoColor;
  return m_autoColors[size_t(index) % m_autoColors.size()];
}

bool CUxTabWnd::GetTabRectangle(int index, Rect& rect) const {
  const CUxTabRecord* tab = record(index);
  if (!tab) return false;
  if (!tab->m_bShown) {
    rect = {};
    return false;
  }
  rect = tab->m_rcTab;
  return true;
}

QWidget* CUxTabWnd::GetTabWindow(int index) const {
  const CUxTabRecord* tab = record(index);
  return tab ? tab->m_pTabWindow.data() : nullptr;
}

const CUxTabRecord* CUxTabWnd::GetTabRecord(int index) const { return record(index); }

int CUxTabWnd::TabFromWindowHandle(const QWidget* window) const {
  if (!window) return -1;
  for (int i = 0; i < m_nTabCount; ++i)
    if (m_tabRecords[size_t(i)]->m_pTabWindow == window) return i;
  return -1;
}

bool CUxTabWnd::IsTabShown(int index) const {
  const CUxTabRecord* tab = record(index);
  return tab && tab->m_bShown;
}

int CUxTabWnd::GetVisibleTabsNum() const {
  return static_cast<int>(std::count_if(m_tabRecords.begin(), m_tabRecords.end(),
                                        [](const auto& tab) { return tab->m_bShown; }));
}

bool CUxTabWnd::rowHidden() const {
  const int visible = GetVisibleTabsNum();
  return (m_bHideIfSingle && visible < 2) || (m_bHideIfEmpty && visible == 0);
}

int CUxTabWnd::GetTabsHeight() const { return rowHidden() ? 0 : m_cyTabs; }

bool CUxTabWnd::AttachImages(const std::vector<QImage>* images) {
  if (m_bFlatStyle || !images) return false;
  m_hTabImages = images;
  m_szTabImage = images->empty() ? Size{} : Size{images->front().width(), images->front().height()};
  ComputeTabsHeight();
  return true;
}

void CUxTabWnd::SetFrameFlag(bool on, bool redraw) {
  m_bFrameFlag = on;
  if (redraw) update();
}

void CUxTabWnd::SetTabsSide(int location) {
  m_nTabsSide = location;
  LayoutWindow();
  if (parentWidget()) parentWidget()->update();
}

void CUxTabWnd::RedrawTab(int index) {
  const CUxTabRecord* tab = record(index);
  if (tab && tab->m_bShown) redrawNow(tab->m_rcTab);
}

void CUxTabWnd::redrawNow(const Rect& rect) { update(rect.toQRect()); }

// Activation.

bool CUxTabWnd::ActivateTab(int index) {
  CUxTabRecord* tab = record(index);
  if (!tab || !tab->m_pTabWindow) return false;
  if (index == m_nActive) return true;
  const bool hadActive = m_nActive >= 0;
  if (m_bHideInactive)
    if (QWidget* old = GetActiveTabWindow()) old->hide();
  m_nActive = index;
  QWidget* window = tab->m_pTabWindow;
  if (m_bSharedScrollBar)
    if (auto* area = qobject_cast<QAbstractScrollArea*>(window)) area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  window->show();
  if (!m_bHideInactive) window->raise();
  if (m_bFitWindows) window->setGeometry(m_rcChild.toQRect());
  ScrollTabIntoView(index);
  if (m_bFlatStyle) SyncSharedScrollBar();
  update();
  if (hadActive) window->setFocus();
  return true;
}

intptr_t CUxTabWnd::notifyParent(QEvent::Type type, uintptr_t wParam, intptr_t lParam) {
  QWidget* parent = parentWidget();
  if (!parent || type == QEvent::None) return 0;
  RegisteredMessageEvent message(type, wParam, lParam);
  QApplication::sendEvent(parent, &message);
  return message.result;
}

void CUxTabWnd::FillAutoColorTable() {
  if (!m_bBuiltInAutoColors) return;
  m_autoColors.clear();
  const GlobalDrawData* g = globalDataIfStarted();
  if (g && g->nBitsPerPixel <= 8) {
    m_autoColors = {rgb(0, 255, 0), rgb(0, 255, 255), rgb(255, 0, 255), rgb(192, 192, 192), rgb(255, 255, 0)};
    return;
  }
  m_autoColors = {rgb(148, 175, 230), rgb(255, 219, 117), rgb(189, 205, 159), rgb(240, 158, 159),
                  rgb(186, 166, 225), rgb(154, 191, 180), rgb(247, 182, 131), rgb(213, 164, 187)};
}

void CUxTabWnd::OnSysColorChange() {
  if (m_bFlatStyle && m_clrFlatActiveText == kNoColor) update();
  FillAutoColorTable();
}

void CUxTabWnd::OnSettingChange() {
  if (!m_bFlatStyle) return;
  ComputeTabsHeight();
  LayoutWindow();
  SyncSharedScrollBar();
}
