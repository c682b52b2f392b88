// The colour popup: a popup menu whose bar is a colour bar holding the mouse capture, so that a
// press anywhere else closes it.
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/key_focus.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_button.h"
#include "uictl/frames/colour/color_menu_button.h"

#include <memory>

using namespace platform;

namespace {

// The popup menu bar's styles: a visible child with tooltips and fly-by, top aligned.
constexpr unsigned kColorBarStyle = 0x50000000u | CbrsAlignTop | CbrsTooltips | CbrsFlyBy;
// A torn-off bar: a visible child with a gripper and a bottom border, top aligned, hidden in place.
constexpr unsigned kTearOffBarStyle = 0x50000000u | CbrsGripper | CbrsAlignTop | CbrsBorderBottom | CbrsHideInplace;

}  // namespace

// Known by kind, never made by name: a popup needs the colours it offers.
KELVARA_IMPLEMENT_RUNTIME_CLASS(CColorPopup, CUxPopupMenu, kNoSchema, nullptr)

CColorPopup::CColorPopup(CUxColorButton* button, const std::vector<COLORREF>& colors, COLORREF color,
                         const wchar_t* automaticLabel, const wchar_t* otherLabel, const wchar_t* documentLabel,
                         const std::list<COLORREF>& documentColors, int columns, COLORREF automaticColor) {
  embed(new CUxColorBar(colors, color, automaticLabel, otherLabel, documentLabel, documentColors, columns, -1, -1,
                        automaticColor, kNoColor, button));
}

CColorPopup::CColorPopup(const std::vector<COLORREF>& colors, COLORREF color, const wchar_t* automaticLabel,
                         const wchar_t* otherLabel, const wchar_t* documentLabel,
                         const std::list<COLORREF>& documentColors, int columns, int rowsDockedHorz,
                         int columnsDockedVert, COLORREF automaticColor, unsigned commandId) {
  embed(new CUxColorBar(colors, color, automaticLabel, otherLabel, documentLabel, documentColors, columns,
                        rowsDockedHorz, columnsDockedVert, automaticColor, commandId, nullptr));
}

void CColorPopup::embed(CUxColorBar* bar) {
  setObjectName(QStringLiteral("CColorPopup"));
  delete m_wndMenuBar;
  m_colorBar = bar;
  m_colorBar->setParent(this);
  m_colorBar->setObjectName(QStringLiteral("CUxColorBar"));
  m_colorBar->CreateColorBar(this, kColorBarStyle, 1);
  m_colorBar->SetBorders(0, 0, 0, 0);
  m_colorBar->SetBarStyle(m_colorBar->GetBarStyle() & ~CbrsGripper);
  m_wndMenuBar = m_colorBar;
}

CColorPopup::~CColorPopup() {
  if (!m_bDestroyed) OnDestroy();
}

bool CColorPopup::Create(QWidget* parent, int x, int y, MenuHandle menu, bool locked, bool ownMessage) {
  if (CUxToolBar::IsCustomizeMode() && !EnabledInCustomizeMode) return false;
  if (!CUxPopupMenu::Create(parent, x, y, menu, locked, ownMessage)) return false;
  m_colorBar->SetOwner(parent);
  m_colorBar->EnabledInCustomizeMode = EnabledInCustomizeMode;
  if (m_colorBar->GetParentButton()) setCapture(m_colorBar);
  return true;
}

void CColorPopup::OnDestroy() {
  CUxPopupMenu::OnDestroy();
  if (getCapture() == m_colorBar) releaseCapture();
  if (libraryKeyFocus() == m_colorBar) setLibraryKeyFocus(nullptr);
  if (CUxColorButton* button = m_colorBar ? m_colorBar->GetParentButton() : nullptr) {
    m_colorBar->ParentButton = nullptr;
    button->PopupClosed();
  }
}

CUxControlBar* CColorPopup::CreateTearOffBar(QWidget* frame, unsigned id, const wchar_t* name) {
  auto* button = dynamic_cast<CUxColorMenuButton*>(GetParentButton());
  if (!button || !m_colorBar) return nullptr;
  auto bar = std::make_unique<CUxColorBar>(*m_colorBar, button->m_nCommandId);
  if (!bar->CreateColorBar(frame, kTearOffBarStyle, id)) return nullptr;
  bar->setWindowTitle(QString::fromWCharArray(name ? name : L""));
  bar->SetBarStyle(bar->GetBarStyle() | CbrsTooltips | CbrsFlyBy);
  bar->EnableDocking(CbrsAlignAny);
  return bar.release();
}
