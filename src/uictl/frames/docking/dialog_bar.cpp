#include "uictl/frames/docking/dialog_bar.h"

#include "platform/windows/command_target.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>

#include <algorithm>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxDialogBar, CObject, kNoSchema, createInstance<CUxDialogBar>)

bool CUxDialogBar::Create(QWidget* parent, const FormFactory& form, unsigned style, unsigned id) {
  if (!form || !parent) return false;
  auto* page = new QWidget(this);
  form(page);
  const QSize size = page->size();
  m_sizeTemplate = {size.width(), size.height()};
  m_pForm = page;
  if (!CUxSizingControlBar::Create(page->windowTitle(), parent, m_sizeTemplate, false, id, style)) return false;
  m_pForm->setGeometry(ClientRect());
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CUxDialogBar::OnIdleUpdateCmdUI);
  return true;
}

void CUxDialogBar::OnIdleUpdateCmdUI() {
  if (!isVisible()) return;
  for (QWidget* w = GetOwner(); w; w = w->parentWidget())
    if (auto* target = dynamic_cast<CommandTarget*>(w)) {
      OnUpdateCmdUI(target, true);
      return;
    }
}

Size CUxDialogBar::CalcFixedLayout(bool stretch, bool horizontal) {
  if (m_bSizable) return CUxSizingControlBar::CalcFixedLayout(stretch, horizontal);
  RecalcNonClient();
  Size size = m_sizeTemplate;
  if (stretch) (horizontal ? size.cx : size.cy) = 32767;
  size.cx += 2 * m_nFrameMargin;
  size.cy += 2 * m_nFrameMargin;
  (horizontal ? size.cx : size.cy) += m_nCaptionWidth;
  // The edge across the row where the bar has one.
  if (UsableEdges() & (horizontal ? EdgeTop | EdgeBottom : EdgeLeft | EdgeRight)) (horizontal ? size.cy : size.cx) += m_nEdgeWidth;
  const Size base = CUxControlBar::CalcFixedLayout(stretch, horizontal);
  return {std::max(size.cx, base.cx), std::max(size.cy, base.cy)};
}

Size CUxDialogBar::CalcDynamicLayout(int length, unsigned mode) {
  if (m_bSizable) return CUxSizingControlBar::CalcDynamicLayout(length, mode);
  return CUxControlBar::CalcDynamicLayout(length, mode);
}

void CUxDialogBar::OnUpdateCmdUI(CommandTarget* target, bool disableIfNoHandler) {
  if (!target || !m_pForm) return;
  for (QAbstractButton* button : m_pForm->findChildren<QAbstractButton*>()) {
    bool ok = false;
    const unsigned id = button->objectName().mid(2).toUInt(&ok);
    if (!button->objectName().startsWith(QLatin1String("id")) || !ok) continue;
    CommandUi state;
    state.id = id;
    target->onUpdateCommandUi(state);
    if (state.enableChanged) button->setEnabled(state.enabled);
    else if (!state.handled && disableIfNoHandler) button->setEnabled(false);
    if (state.checkChanged && button->isCheckable()) button->setChecked(state.check == 1);
  }
}

void CUxDialogBar::resizeEvent(QResizeEvent* event) {
  CUxSizingControlBar::resizeEvent(event);
  if (m_pForm) m_pForm->setGeometry(ClientRect());
}
