// The toolbar's chevron: switched on and off, kept last through every rebuild of the list.
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/toolbar/toolbar.h"

using namespace platform;

void CUxToolBar::EnableCustomizeButton(bool enable, int customizeCmd, const std::wstring& text) {
  if (enable) {
    if (m_pCustomizeBtn) {
      m_pCustomizeBtn->SetCustomizeCmd(customizeCmd, text);
      return;
    }
    restoreCustomizeButton(std::make_unique<CCustomizeButton>(customizeCmd, text));
    return;
  }
  if (!m_pCustomizeBtn) return;
  m_pCustomizeBtn = nullptr;
  std::unique_ptr<CUxToolbarButton> chevron = std::move(m_Buttons.back());
  m_Buttons.pop_back();
  for (int* tracked : {&m_iSelected, &m_iButtonCapture, &m_iHighlighted, &m_iHot})
    if (*tracked >= GetCount()) *tracked = -1;
  chevron->OnCancelMode();
}

std::unique_ptr<CUxToolbarButton> CUxToolBar::copyOfCustomizeButton() const {
  if (!m_pCustomizeBtn) return nullptr;
  std::unique_ptr<CObject> object = m_pCustomizeBtn->GetRuntimeClass()->createObject();
  auto* copy = dynamic_cast<CCustomizeButton*>(object.get());
  if (!copy) return nullptr;
  object.release();
  copy->CopyFrom(*m_pCustomizeBtn);
  return std::unique_ptr<CUxToolbarButton>(copy);
}

void CUxToolBar::restoreCustomizeButton(std::unique_ptr<CUxToolbarButton> copy) {
  if (!copy || m_pCustomizeBtn) return;
  copy->OnChangeParentWnd(this);
  m_pCustomizeBtn = static_cast<CCustomizeButton*>(copy.get());
  m_Buttons.push_back(std::move(copy));
}

bool CUxToolBar::chevronActive() const {
  return m_pCustomizeBtn && !IsFloating() && !IsCustomizeMode();
}

Size CUxToolBar::chevronSize(Dc* dc, bool horizontal) {
  const bool empty = m_pCustomizeBtn->IsEmpty();
  m_pCustomizeBtn->SetEmpty(false);
  const Rect client = ClientRect();
  const Size standard = horizontal ? Size{GetColumnWidth(), client.height()} : Size{client.width(), GetRowHeight()};
  const Size size = m_pCustomizeBtn->OnCalculateSize(dc, standard, horizontal);
  m_pCustomizeBtn->SetEmpty(empty);
  return size;
}
