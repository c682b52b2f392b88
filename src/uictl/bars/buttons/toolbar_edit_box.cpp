#include "uictl/bars/buttons/toolbar_edit_box.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/buttons/hosted_control.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QKeyEvent>
#include <QPalette>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarEditBoxButton, CUxToolbarButton, 1, createInstance<CUxToolbarEditBoxButton>)

bool CUxToolbarEditBoxButton::hotEditBorderOnly = false;

namespace {

QString toQt(const std::wstring& text) { return QString::fromStdWString(text); }

}  // namespace

ToolbarEditCtrl::ToolbarEditCtrl(CUxToolbarEditBoxButton& owner, QWidget* parent) : QLineEdit(parent), m_owner(owner) {
  setMouseTracking(true);
  setFrame(false);
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (auto* bar = dynamic_cast<CUxToolBar*>(parentWidget()))
      bar->OnCommand(m_owner.m_nCommandId, CUxToolbarEditBoxButton::kNotifyUpdate, this);
  });
}

void ToolbarEditCtrl::setHot(bool hot) {
  if (m_owner.m_bIsHotEdit == hot) return;
  m_owner.m_bIsHotEdit = hot;
  m_owner.repaintOnBar();
}

void ToolbarEditCtrl::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  setHot(true);
}

void ToolbarEditCtrl::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  setHot(false);
}

void ToolbarEditCtrl::mouseMoveEvent(QMouseEvent* event) {
  QLineEdit::mouseMoveEvent(event);
  setHot(true);
  if (!m_bTracked) m_bTracked = TrackMouseLeave(this);
}

bool ToolbarEditCtrl::event(QEvent* event) {
  if (event->type() == mouseLeaveEvent()) {
    m_bTracked = false;
    if (!hasFocus()) setHot(false);
    return true;
  }
  // Tab and Escape belong to the box, not to the window's shortcuts.
  if (isTabOrEscape(event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  const bool handled = QLineEdit::event(event);
  if (event->type() == QEvent::ApplicationPaletteChange) m_owner.TakeOwnerColours();
  return handled;
}

void ToolbarEditCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Tab) {
    focusNextPrevChild(true);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    if (QWidget* frame = GetTopFrame(this)) frame->setFocus(Qt::OtherFocusReason);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

CUxToolbarEditBoxButton::CUxToolbarEditBoxButton(unsigned commandId, int image, unsigned style, int width)
    : CUxToolbarButton(commandId, image), m_dwStyle(style), m_iWidth(width == 0 ? 150 : width) {}

CUxToolbarEditBoxButton::~CUxToolbarEditBoxButton() { destroyEdit(); }

void CUxToolbarEditBoxButton::destroyEdit() {
  delete m_pWndEdit.data();
  m_pWndEdit = nullptr;
}

void CUxToolbarEditBoxButton::repaintOnBar() {
  if (!m_pWndEdit || !m_pWndEdit->parentWidget()) return;
  m_pWndEdit->parentWidget()->update(hostedRectOnBar(m_pWndEdit, m_rect));
}

void CUxToolbarEditBoxButton::setEditText(const std::wstring& text) {
  m_bChangingText = true;
  m_pWndEdit->setText(toQt(text));
  m_bChangingText = false;
}

void CUxToolbarEditBoxButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  if (m_pWndEdit && m_pWndEdit->parentWidget() == parent) return;
  if (m_pWndEdit) {
    m_strContents = m_pWndEdit->text().toStdWString();
    destroyEdit();
  }
  if (!parent) return;
  Rect rect = m_rect.deflated(3, 1);
  rect.bottom = rect.top + globalData().nTextHeight;
  if (!CreateEdit(parent, rect)) return;
  OnMove();
  OnGlobalFontsChanged();
  if (m_pWndEdit->text().isEmpty()) setEditText(m_strContents);
  else m_strContents = m_pWndEdit->text().toStdWString();
}

QLineEdit* CUxToolbarEditBoxButton::CreateEdit(QWidget* parent, const Rect& rect) {
  m_pWndEdit = new ToolbarEditCtrl(*this, parent);
  m_pWndEdit->setObjectName(QStringLiteral("id%1").arg(m_nCommandId));
  m_pWndEdit->setGeometry(hostedRectOnBar(m_pWndEdit, rect));
  m_pWndEdit->setEnabled(!(m_dwStyle & kWsDisabled));
  TakeOwnerColours();
  m_pWndEdit->setVisible(m_dwStyle & 0x10000000u);
  return m_pWndEdit;
}

void CUxToolbarEditBoxButton::TakeOwnerColours() {
  if (!m_pWndEdit) return;
  QImage probe(1, 1, QImage::Format_RGB32);
  Dc dc(probe);
  OnCtlColor(&dc, 0);
  QPalette palette = m_pWndEdit->palette();
  palette.setColor(QPalette::Text, toQColor(dc.textColor()));
  palette.setColor(QPalette::Base, toQColor(dc.bkColor()));
  // Whatever colours the owner answers, a disabled edit control writes in the desktop's grey.
  palette.setColor(QPalette::Disabled, QPalette::Text, toQColor(getSysColor(ColorGrayText)));
  m_pWndEdit->setPalette(palette);
}

void CUxToolbarEditBoxButton::OnGlobalFontsChanged() {
  if (m_pWndEdit) m_pWndEdit->setFont(globalData().fontRegular.qfont());
}

void* CUxToolbarEditBoxButton::OnCtlColor(Dc* dc, unsigned) { return hostedControlColours(dc); }

void CUxToolbarEditBoxButton::OnMove() {
  if (!m_pWndEdit || m_pWndEdit->isHidden()) return;
  const int textHeight = globalData().nTextHeight;
  const int offset = std::max(0, (m_rect.height() - m_sizeText.cy - textHeight) / 2);
  m_pWndEdit->setGeometry(hostedRectOnBar(m_pWndEdit, Rect::fromSize(m_rect.left + 3, m_rect.top + offset, m_rect.width() - 6, textHeight)));
  m_pWndEdit->deselect();
  m_pWndEdit->end(false);
}

void CUxToolbarEditBoxButton::OnSize(int width) {
  m_iWidth = width;
  m_rect.right = m_rect.left + width;
  OnMove();
}

Size CUxToolbarEditBoxButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  m_bHorz = horizontal;
  if (!horizontal) {
    if (m_pWndEdit) m_pWndEdit->hide();
    return CUxToolbarButton::OnCalculateSize(dc, sizeDefault, false);
  }
  if (m_pWndEdit && !m_bHidden) m_pWndEdit->show();
  if (m_bTextBelow && !m_strText.empty()) {
    Rect label{0, 0, m_iWidth, sizeDefault.cy};
    dc->drawText(m_strText, label, DtCalcRect | DtCenter | DtWordBreak);
    m_sizeText = {label.width(), label.height()};
    return {m_iWidth, sizeDefault.cy + label.height()};
  }
  m_sizeText = {};
  return {m_iWidth, sizeDefault.cy};
}

void CUxToolbarEditBoxButton::GetEditBorder(Rect& rect) const {
  if (!m_pWndEdit) return;
  rect = hostedControlRect(m_pWndEdit).inflated(1, 1);
}

void CUxToolbarEditBoxButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal,
                                     bool customizeMode, bool highlight, bool drawBorder, bool grayDisabledButtons) {
  if (!m_pWndEdit || m_pWndEdit->isHidden()) {
    CUxToolbarButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlight, drawBorder, grayDisabledButtons);
    return;
  }
  const bool disabled = IsDisabledIn(customizeMode);
  Rect border;
  GetEditBorder(border);
  CUxVisualManager::GetInstance()->OnDrawEditBorder(dc, border, !hotEditBorderOnly || m_bIsHotEdit);
  if (!m_bTextBelow || m_strText.empty()) return;
  const TextScope scope(dc, hostedLabelColour(disabled, highlight));
  Rect label = rect;
  label.top = (rect.bottom - m_sizeText.cy + border.bottom) / 2;
  dc->drawText(m_strText, label, DtCenter | DtWordBreak);
}

bool CUxToolbarEditBoxButton::OnClick(QWidget*, bool) {
  return m_pWndEdit && !m_pWndEdit->isHidden();
}

bool CUxToolbarEditBoxButton::NotifyCommand(int notifyCode) {
  if (notifyCode != kNotifyUpdate || !m_pWndEdit) return false;
  m_strContents = m_pWndEdit->text().toStdWString();
  for (CUxToolbarButton* button : otherButtonsOfCommand(*this))
    if (auto* box = dynamic_cast<CUxToolbarEditBoxButton*>(button)) box->SetContents(m_strContents);
  return !m_bChangingText;
}

void CUxToolbarEditBoxButton::SetContents(const std::wstring& text) {
  if (toQt(text).compare(toQt(m_strContents), Qt::CaseInsensitive) == 0) return;
  m_strContents = text;
  if (m_pWndEdit) setEditText(text);
}

void CUxToolbarEditBoxButton::OnAddToCustomizePage() { copyFromSameCommand(*this); }

void CUxToolbarEditBoxButton::OnShow(bool show) {
  if (!m_pWndEdit) return;
  if (!show || !m_bHorz) {
    m_pWndEdit->hide();
    return;
  }
  m_pWndEdit->show();
  OnMove();
}

void CUxToolbarEditBoxButton::SetStyle(unsigned style) {
  m_nStyle = style;
  if (!m_pWndEdit) return;
  m_pWndEdit->setEnabled(!IsDisabledIn(CUxToolBar::IsCustomizeMode()));
}

int CUxToolbarEditBoxButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  const int used = CUxToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  Rect box{rect.right - std::max(8, rect.width() - used), rect.top, rect.right, rect.bottom};
  box = box.deflated(2, 3);
  dc->fillSolidRect(box, getSysColor(ColorWindow));
  dc->drawEdge(box, EdgeSunken, BfRect);
  return rect.width();
}

void CUxToolbarEditBoxButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CUxToolbarEditBoxButton*>(&source);
  if (!other) return;
  m_dwStyle = other->m_dwStyle;
  m_iWidth = other->m_iWidth;
  m_strContents = other->m_strContents;
}

void CUxToolbarEditBoxButton::Serialize(Archive& ar) {
  CUxToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    ar.writeU32(static_cast<uint32_t>(m_iWidth));
    ar.writeU32(m_dwStyle);
    // Without a control the kept text is what the box holds.
    ar.writeString(m_pWndEdit ? m_pWndEdit->text().toStdWString() : m_strContents);
    return;
  }
  m_iWidth = static_cast<int>(ar.readU32());
  m_rect.right = m_rect.left + m_iWidth;
  m_dwStyle = ar.readU32();
  m_strContents = ar.readString();
}
