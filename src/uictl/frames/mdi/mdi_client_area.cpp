// The MDI client area's tabs: the strip beside the client, one tab per shown child in z-order,
// labels and shared icon images kept current, and the client's place inside the strip.
#include "uictl/frames/mdi/mdi_client_area.h"

#include "uictl/bars/toolbar/control_bar.h"
#include "uictl/frames/mdi/mdi_child_wnd.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <algorithm>

using namespace platform;

// The strip of the client area: choosing a tab activates its child.
class MDIClientAreaWnd::MdiTabWnd : public CUxTabWnd {
 public:
  explicit MdiTabWnd(MDIClientAreaWnd& area) : m_area(area) {}
  bool ActivateTab(int index) override {
    if (!CUxTabWnd::ActivateTab(index)) return false;
    auto* child = qobject_cast<QMdiSubWindow*>(GetTabWindow(index));
    if (child && !m_area.m_bSyncing && m_area.activeSubWindow() != child) m_area.setActiveSubWindow(child);
    return true;
  }

 private:
  MDIClientAreaWnd& m_area;
};

MDIClientAreaWnd::MDIClientAreaWnd(QWidget* frame) : QMdiArea(frame), m_pFrame(frame) {
  auto* tabs = new MdiTabWnd(*this);
  tabs->Create(TabStyle3DScrolled, {}, frame ? frame : this, static_cast<unsigned>(-1), m_nTabsLocation,
               m_bTabsCloseButton);
  // The children stay where the user put them; the strip only chooses among them.
  tabs->m_bHideInactive = false;
  tabs->m_bFitWindows = false;
  tabs->m_bDestroyWindows = false;
  tabs->m_bFramedBorder = true;
  tabs->m_bNoErase = true;
  tabs->m_bEdgeLine = true;
  tabs->SetFrameFlag(true, true);
  tabs->hide();
  m_wndTabs = tabs;
}

MDIClientAreaWnd::~MDIClientAreaWnd() { delete m_wndTabs.data(); }

CUxTabWnd& MDIClientAreaWnd::Tabs() { return *m_wndTabs; }

void MDIClientAreaWnd::EnableMDITabs(bool enable, bool icons, int location, bool closeButton) {
  if (!m_wndTabs) return;
  m_bTabIcons = icons;
  m_bTabsCloseButton = closeButton;
  m_wndTabs->m_bHasCloseButton = closeButton;
  if (location != m_nTabsLocation) {
    m_nTabsLocation = location;
    m_wndTabs->SetTabsSide(location);
  }
  m_bTabsEnabled = enable;
  // The tabs are made again from the children, with or without icons.
  m_wndTabs->DeleteAllTabs();
  m_wndTabs->setVisible(enable);
  SyncChildTabs(true);
  recalcFrameLayout();
}

QList<QMdiSubWindow*> MDIClientAreaWnd::ChildrenInZOrder() const {
  QList<QMdiSubWindow*> children = subWindowList(StackingOrder);
  std::reverse(children.begin(), children.end());
  return children;
}

int MDIClientAreaWnd::imageOf(const QIcon& icon) {
  if (icon.isNull()) return -1;
  if (auto known = m_iconIndex.find(icon.cacheKey()); known != m_iconIndex.end()) return known->second;
  m_tabIcons.push_back(icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32));
  const int index = static_cast<int>(m_tabIcons.size()) - 1;
  m_iconIndex.emplace(icon.cacheKey(), index);
  if (m_tabIcons.size() == 1) m_wndTabs->AttachImages(&m_tabIcons);
  return index;
}

void MDIClientAreaWnd::SyncChildTabs(bool makeActiveVisible) {
  if (!m_wndTabs || !m_bTabsEnabled || m_bSyncing) return;
  m_bSyncing = true;
  bool changed = false;
  int added = 0;
  for (QMdiSubWindow* child : ChildrenInZOrder()) {
    auto* ours = dynamic_cast<CUxMDIChildWnd*>(child);
    const bool closing = m_closing.contains(child) || (ours && ours->m_bClosing);
    int image = -1;
    if (m_bTabIcons) {
      QIcon icon = ours ? ours->GetTabIconHandle() : child->windowIcon();
      image = imageOf(icon);
    }
    const std::wstring label = ours ? ours->GetTabText() : child->windowTitle().toStdWString();
    const int tab = m_wndTabs->TabFromWindowHandle(child);
    if (tab < 0) {
      // A hidden child gets no tab, or it would come and go with every pass.
      if (closing || child->isHidden()) continue;
      m_wndTabs->AppendTab(child, label, image);
      ++added;
      changed = true;
    } else if (child->isHidden()) {
      m_wndTabs->DeleteTab(tab);
      changed = true;
    } else {
      std::wstring current;
      m_wndTabs->GetTabLabel(tab, current);
      if (label != current && m_wndTabs->SetTabLabel(tab, label)) changed = true;
      if (image != m_wndTabs->GetTabImage(tab)) {
        m_wndTabs->SetTabImage(tab, image);
        changed = true;
      }
    }
  }
  m_bSyncing = false;
  // A new tab is the active one. When several come at once (the tabs just switched on), the
  // active child keeps its tab active: activating each in turn would reorder the windows.
  if (added == 1) m_wndTabs->ActivateTab(m_wndTabs->GetTabsNum() - 1);
  else if (added > 1) ActivateChildTab(activeSubWindow());
  if (changed) recalcFrameLayout();
  if (makeActiveVisible) m_wndTabs->ScrollTabIntoView(m_wndTabs->GetActiveTab());
}

void MDIClientAreaWnd::ActivateChildTab(QMdiSubWindow* child) {
  if (!m_bTabsEnabled || !m_wndTabs) return;
  const int tab = m_wndTabs->TabFromWindowHandle(child);
  if (tab >= 0) m_wndTabs->ActivateTab(tab);
}

void MDIClientAreaWnd::OnMdiDestroy(QMdiSubWindow* child) {
  if (!child || m_closing.contains(child)) return;
  m_closing.insert(child);
  connect(child, &QObject::destroyed, this, [this](QObject* gone) { m_closing.erase(gone); });
  if (!m_wndTabs) return;
  const int rowBefore = m_wndTabs->GetTabsHeight();
  if (auto* ours = dynamic_cast<CUxMDIChildWnd*>(child)) ours->m_bClosing = true;
  if (const int tab = m_wndTabs->TabFromWindowHandle(child); tab >= 0) m_wndTabs->DeleteTab(tab);
  if (rowBefore != m_wndTabs->GetTabsHeight()) recalcFrameLayout();
}

void MDIClientAreaWnd::recalcFrameLayout() {
  if (auto* site = dynamic_cast<ControlBarDockSite*>(m_pFrame)) site->RecalcLayout(true);
}

void MDIClientAreaWnd::CalcWindowRect(QRect& rect) {
  if (m_wndTabs) {
    if (m_bTabsEnabled) {
      const QRect old = m_wndTabs->geometry();
      m_wndTabs->setGeometry(rect);
      // A hidden strip or one of the same size hears of no resize: lay it out here.
      if (!m_wndTabs->isVisible() || old.size() == rect.size()) m_wndTabs->LayoutWindow();
      const Rect area = m_wndTabs->WindowArea();
      rect = QRect(rect.x() + area.left, rect.y() + area.top, area.width(), area.height());
      m_wndTabs->show();
      if (m_wndTabs->parentWidget() == parentWidget()) m_wndTabs->stackUnder(this);
      if (old != m_wndTabs->geometry()) update();
    } else {
      m_wndTabs->hide();
    }
  }
  setGeometry(rect);
}

bool MDIClientAreaWnd::eventFilter(QObject* watched, QEvent* event) {
  const bool handled = QMdiArea::eventFilter(watched, event);
  auto* child = qobject_cast<QMdiSubWindow*>(watched);
  if (!child || child->mdiArea() != this) return handled;
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowIconChange: SyncChildTabs(false); break;
    case QEvent::WindowTitleChange: SyncChildTabs(true); break;
    default: break;
  }
  return handled;
}

void MDIClientAreaWnd::paintEvent(QPaintEvent* event) {
  if (auto* background = dynamic_cast<MdiClientBackground*>(m_pFrame)) {
    QPainter painter(viewport());
    if (background->PaintClientAreaBackground(painter)) return;
  }
  QMdiArea::paintEvent(event);
}
