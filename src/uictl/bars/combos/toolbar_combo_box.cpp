#include "uictl/bars/combos/toolbar_combo_box.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/hosted_control.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarComboBoxButton, CUxToolbarButton, 1, createInstance<CUxToolbarComboBoxButton>)

bool CUxToolbarComboBoxButton::g_bFlatCombos = false;

namespace {

constexpr unsigned kWsVisible = 0x10000000u;

QString toQt(const std::wstring& text) { return QString::fromStdWString(text); }

// Reports the control losing the focus as its notification.
class FocusOutWatcher : public QObject {
 public:
  FocusOutWatcher(QComboBox* combo, std::function<void()> lost) : QObject(combo), lost_(std::move(lost)) {
    combo->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) lost_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> lost_;
};

}  // namespace

CUxToolbarComboBoxButton::CUxToolbarComboBoxButton() = default;

CUxToolbarComboBoxButton::CUxToolbarComboBoxButton(unsigned commandId, int image, unsigned comboStyle, int width)
    : CUxToolbarButton(commandId, image), m_dwComboStyle(comboStyle | kChildVisibleScroll),
      m_nWidth(width == 0 ? 150 : width) {}

CUxToolbarComboBoxButton::~CUxToolbarComboBoxButton() { destroyCombo(); }

void CUxToolbarComboBoxButton::destroyCombo() {
  // Unlinked first: a control that loses the focus while it goes reports nothing.
  QComboBox* combo = m_pComboWnd;
  m_pComboWnd = nullptr;
  delete combo;
}

QComboBox* CUxToolbarComboBoxButton::CreateComboWindow(QWidget* parent, const Rect& rect) {
  auto* combo = new QComboBox(parent);
  combo->setEditable((m_dwComboStyle & kDropDownList) != kDropDownList);
  // Enter does not add what was typed to the list.
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setGeometry(QRect(rect.left, rect.top, rect.width(), rect.height()));
  return combo;
}

void CUxToolbarComboBoxButton::connectNotifications() {
  QComboBox* combo = m_pComboWnd;
  const auto notify = [this, combo](int code) {
    if (m_pComboWnd != combo) return;
    if (auto* bar = dynamic_cast<CUxToolBar*>(combo->parentWidget())) bar->OnCommand(m_nCommandId, code, combo);
  };
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [notify] { notify(CbnSelChange); });
  QObject::connect(combo, &QComboBox::activated, combo, [notify] { notify(CbnSelEndOk); });
  if (QLineEdit* edit = combo->lineEdit()) {
    QObject::connect(edit, &QLineEdit::textEdited, combo, [notify] {
      notify(CbnEditUpdate);
      notify(CbnEditChange);
    });
  }
  new FocusOutWatcher(combo, [notify] { notify(CbnKillFocus); });
}

void CUxToolbarComboBoxButton::setWindowText(const std::wstring& text) {
  if (!m_pComboWnd) return;
  const QSignalBlocker blocker(m_pComboWnd.data());
  if (m_pComboWnd->isEditable()) m_pComboWnd->setEditText(toQt(text));
  else m_pComboWnd->setCurrentIndex(m_pComboWnd->findText(toQt(text), Qt::MatchFixedString));
}

void CUxToolbarComboBoxButton::takeItemsFromWindow() {
  m_itemTexts.clear();
  ReleaseItemData();
  m_itemData.clear();
  for (int i = 0; i < m_pComboWnd->count(); ++i) {
    m_itemTexts.push_back(m_pComboWnd->itemText(i).toStdWString());
    m_itemData.push_back(m_pComboWnd->itemData(i).value<quintptr>());
  }
}

void CUxToolbarComboBoxButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  if (m_pComboWnd) {
    if (m_pComboWnd->parentWidget() == parent) return;
    destroyCombo();
  }
  if (!parent) return;
  Rect rect = m_rect.deflated(2, 0);
  rect.bottom = rect.top + m_nListHeight;
  QComboBox* combo = CreateComboWindow(parent, rect);
  if (!combo) return;
  m_pComboWnd = combo;
  combo->setObjectName(QStringLiteral("id%1").arg(m_nCommandId));
  combo->setEnabled(!CUxToolBar::IsCustomizeMode() && !(m_nStyle & kStyleDisabled));
  combo->setVisible(m_dwComboStyle & kWsVisible);
  AdjustRect();
  combo->setFont(globalData().fontRegular.qfont());
  {
    const QSignalBlocker blocker(combo);
    if (combo->count() < 1) {
      combo->clear();
      for (size_t i = 0; i < m_itemTexts.size(); ++i)
        combo->addItem(toQt(m_itemTexts[i]), QVariant::fromValue<quintptr>(m_itemData[i]));
      // A list that is not editable would select its first item by itself.
      combo->setCurrentIndex(m_nSelected < combo->count() ? m_nSelected : -1);
    } else {
      takeItemsFromWindow();
      m_nSelected = combo->currentIndex();
    }
  }
  if (m_nSelected != -1 && m_nSelected < combo->count()) {
    m_strCurrent = combo->itemText(m_nSelected).toStdWString();
    setWindowText(m_strCurrent);
  }
  connectNotifications();
}

void CUxToolbarComboBoxButton::AdjustRect() {
  if (!m_pComboWnd || m_rect.isEmpty()) {
    m_rectControl = {};
    return;
  }
  Rect r = m_rect;
  if (m_bExtraSize) {
    const Size extra = CUxVisualManager::GetInstance()->GetButtonExtraSize();
    r = r.deflated(extra.cx / 2, extra.cy / 2);
  }
  // The control's height is its field; the list height becomes the rows its open list shows.
  const int height = m_pComboWnd->sizeHint().height();
  m_pComboWnd->setMaxVisibleItems(std::max(1, (m_nListHeight - height) / std::max(1, m_pComboWnd->fontMetrics().height())));
  m_pComboWnd->setGeometry(hostedRectOnBar(m_pComboWnd, Rect::fromSize(r.left + 1, r.top, r.width() - 2, height)));
  if (QLineEdit* edit = m_pComboWnd->lineEdit()) edit->deselect();
  m_rectControl = hostedControlRect(m_pComboWnd);
}

void CUxToolbarComboBoxButton::OnSize(int width) {
  m_nWidth = width;
  m_rect.right = m_rect.left + width;
  if (m_pComboWnd) AdjustRect();
}

QWidget* CUxToolbarComboBoxButton::GetHwnd() { return m_pComboWnd; }

bool CUxToolbarComboBoxButton::IsWindowVisible() { return m_pComboWnd && !m_pComboWnd->isHidden(); }

bool CUxToolbarComboBoxButton::HasFocus() {
  if (!m_pComboWnd) return false;
  if (m_pComboWnd->view() && m_pComboWnd->view()->isVisible()) return true;
  QWidget* focus = QApplication::focusWidget();
  return focus && (focus == m_pComboWnd || m_pComboWnd->isAncestorOf(focus));
}

bool CUxToolbarComboBoxButton::OnClick(QWidget*, bool) { return m_pComboWnd && m_bOnHorzBar; }

Size CUxToolbarComboBoxButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  m_bOnHorzBar = horizontal;
  m_sizeText = {};
  if (!horizontal) {
    if (m_pComboWnd && !m_pComboWnd->isHidden()) m_pComboWnd->hide();
    return CUxToolbarButton::OnCalculateSize(dc, sizeDefault, false);
  }
  if (m_pComboWnd && !m_bHidden) m_pComboWnd->show();
  if (m_bTextBelow && !m_strText.empty()) {
    Rect label{0, 0, m_nWidth, sizeDefault.cy};
    dc->drawText(m_strText, label, DtCalcRect | DtWordBreak | DtCenter);
    m_sizeText = label.size();
  }
  const int height = m_pComboWnd ? m_pComboWnd->sizeHint().height() : sizeDefault.cy;
  return {m_nWidth, height + m_sizeText.cy};
}

void CUxToolbarComboBoxButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal,
                                      bool customizeMode, bool highlight, bool drawBorder, bool grayDisabledButtons) {
  if (!m_pComboWnd || !m_bOnHorzBar) {
    CUxToolbarButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlight, drawBorder, grayDisabledButtons);
    return;
  }
  const bool disabled = IsDisabledIn(customizeMode);
  const COLORREF colour = hostedLabelColour(disabled, highlight);
  dc->setTextColor(colour);
  if (!m_bTextBelow || m_strText.empty()) return;
  const TextScope scope(dc, colour);
  Rect label{rect.left, (m_rectControl.bottom - m_sizeText.cy + rect.bottom) / 2, rect.right, rect.bottom};
  dc->drawText(m_strText, label, DtCenter | DtWordBreak);
}

int CUxToolbarComboBoxButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  const int used = CUxToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  const GlobalDrawData& data = globalData();
  Rect field{rect.right - std::max(20, rect.width() - used), rect.top, rect.right, rect.bottom};
  field = field.deflated(2, 3);
  dc->fillSolidRect(field, getSysColor(ColorWindow));
  dc->draw3dRect(field, data.clrBarDarkShadow, data.clrBarHighlight);
  dc->draw3dRect(field.deflated(1, 1), data.clrBarShadow, data.clrBarLight);
  Rect drop{field.right - field.height(), field.top, field.right, field.bottom};
  drop = drop.deflated(1, 1);
  dc->fillSolidRect(drop, data.clrBarFace);
  dc->draw3dRect(drop, data.clrBarHighlight, data.clrBarDarkShadow);
  MenuImages::DrawCentred(dc, kGlyphArrowDown, drop);
  return rect.width();
}

bool CUxToolbarComboBoxButton::GetTextFromResource(CUxToolbarButton& target) {
  commandShortLabel(m_nCommandId, target.m_strText);
  return true;
}

void CUxToolbarComboBoxButton::OnAddToCustomizePage() { copyFromSameCommand(*this); }

void* CUxToolbarComboBoxButton::OnCtlColor(Dc* dc, unsigned) { return hostedControlColours(dc); }

void CUxToolbarComboBoxButton::OnGlobalFontsChanged() {
  if (m_pComboWnd) m_pComboWnd->setFont(globalData().fontRegular.qfont());
}

void CUxToolbarComboBoxButton::OnShow(bool show) {
  if (!m_pComboWnd) return;
  m_pComboWnd->setVisible(show && m_bOnHorzBar);
}

void CUxToolbarComboBoxButton::SetStyle(unsigned style) {
  m_nStyle = style;
  if (m_pComboWnd) m_pComboWnd->setEnabled(!IsDisabledIn(CUxToolBar::IsCustomizeMode()));
}

int CUxToolbarComboBoxButton::AddItem(const std::wstring& text, uintptr_t data) {
  if (m_strCurrent.empty()) m_strCurrent = text;
  if (std::find(m_itemTexts.begin(), m_itemTexts.end(), text) == m_itemTexts.end()) {
    m_itemTexts.push_back(text);
    m_itemData.push_back(data);
  }
  if (m_pComboWnd) {
    const QSignalBlocker blocker(m_pComboWnd.data());
    int index = m_pComboWnd->findText(toQt(text), Qt::MatchFixedString);
    if (index < 0) {
      m_pComboWnd->addItem(toQt(text));
      index = m_pComboWnd->count() - 1;
    }
    m_pComboWnd->setCurrentIndex(index);
    m_pComboWnd->setItemData(index, QVariant::fromValue<quintptr>(data));
    if (QLineEdit* edit = m_pComboWnd->lineEdit()) edit->deselect();
  }
  return GetCount() - 1;
}

const wchar_t* CUxToolbarComboBoxButton::GetItem(int index) const {
  if (index == -1) index = m_pComboWnd ? m_pComboWnd->currentIndex() : m_nSelected;
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_itemTexts[static_cast<size_t>(index)].c_str();
}

uintptr_t CUxToolbarComboBoxButton::GetItemData(int index) const {
  if (index == -1) index = m_pComboWnd ? m_pComboWnd->currentIndex() : m_nSelected;
  if (m_pComboWnd) {
    if (index < 0 || index >= m_pComboWnd->count()) return kComboError;
    return m_pComboWnd->itemData(index).value<quintptr>();
  }
  if (index < 0 || index >= GetCount()) return 0;
  return m_itemData[static_cast<size_t>(index)];
}

bool CUxToolbarComboBoxButton::SelectItem(int index, bool notify) {
  if (index < 0 || index >= GetCount()) return false;
  m_nSelected = index;
  if (!m_pComboWnd) return true;
  m_strCurrent = m_pComboWnd->itemText(index).toStdWString();
  if (m_pComboWnd->currentIndex() == index) return true;
  {
    const QSignalBlocker blocker(m_pComboWnd.data());
    m_pComboWnd->setCurrentIndex(index);
  }
  if (m_pComboWnd->currentIndex() != index) return false;
  if (notify) NotifyCommand(CbnSelEndOk);
  return true;
}

bool CUxToolbarComboBoxButton::NotifyCommand(int notifyCode) {
  if (!m_pComboWnd) return false;
  switch (notifyCode) {
    case CbnSelChange:
    case CbnKillFocus:
    case CbnEditUpdate:
      return true;
    case CbnEditChange: {
      m_strCurrent = m_pComboWnd->currentText().toStdWString();
      for (CUxToolbarButton* button : otherButtonsOfCommand(*this)) {
        auto* other = dynamic_cast<CUxToolbarComboBoxButton*>(button);
        if (!other) continue;
        other->m_strCurrent = m_strCurrent;
        other->setWindowText(m_strCurrent);
      }
      return true;
    }
    case CbnSelEndOk: {
      m_nSelected = m_pComboWnd->currentIndex();
      if (m_nSelected < 0) return false;
      m_strCurrent = m_pComboWnd->itemText(m_nSelected).toStdWString();
      for (CUxToolbarButton* button : otherButtonsOfCommand(*this)) {
        auto* other = dynamic_cast<CUxToolbarComboBoxButton*>(button);
        if (other && other->IsSelectionSynced()) other->SelectItem(m_nSelected, false);
      }
      return true;
    }
    default:
      return false;
  }
}

void CUxToolbarComboBoxButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CUxToolbarComboBoxButton*>(&source);
  if (!other) return;
  m_itemTexts = other->m_itemTexts;
  ReleaseItemData();
  m_itemData = other->m_itemData;
  DuplicateItemData();
  m_dwComboStyle = other->m_dwComboStyle;
  m_nWidth = other->m_nWidth;
  m_nSelected = other->m_nSelected;
  m_nListHeight = other->m_nListHeight;
  m_bStoreItems = other->m_bStoreItems;
}

void CUxToolbarComboBoxButton::SerializeItems(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeCount(static_cast<uint32_t>(m_itemTexts.size()));
    for (const std::wstring& text : m_itemTexts) ar.writeString(text);
    // Pointer-sized in memory, 32 bits in the archive.
    for (uintptr_t data : m_itemData) ar.writeU32(static_cast<uint32_t>(data));
    return;
  }
  const uint32_t count = ar.readCount();
  std::vector<std::wstring> texts;
  for (uint32_t i = 0; i < count; ++i) texts.push_back(ar.readString());
  std::vector<uintptr_t> data;
  for (uint32_t i = 0; i < count; ++i) data.push_back(ar.readU32());
  m_itemTexts = std::move(texts);
  ReleaseItemData();
  m_itemData = std::move(data);
}

void CUxToolbarComboBoxButton::serializeFields(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeI32(m_nWidth);
    ar.writeU32(m_dwComboStyle);
    ar.writeI32(m_nSelected);
    ar.writeString(m_strCurrent);
    ar.writeI32(m_nListHeight);
    return;
  }
  m_nWidth = ar.readI32();
  m_rect.right = m_rect.left + m_nWidth;
  m_dwComboStyle = ar.readU32();
  m_nSelected = ar.readI32();
  m_strCurrent = ar.readString();
  m_nListHeight = ar.readI32();
}

void CUxToolbarComboBoxButton::Serialize(Archive& ar) {
  CUxToolbarButton::Serialize(ar);
  if (ar.IsStoring() && m_pComboWnd) takeItemsFromWindow();
  serializeFields(ar);
  if (m_bStoreItems) SerializeItems(ar);
  if (ar.IsLoading()) SelectItem(m_nSelected, true);
}
