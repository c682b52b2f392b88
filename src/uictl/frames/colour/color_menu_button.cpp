#include "uictl/frames/colour/color_menu_button.h"
#include "uictl/frames/colour/color_picker_dialog.h"

#include "platform/windows/color_dialog.h"
#include "platform/windows/command_target.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/workspace_version.h"

#include <QApplication>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxColorMenuButton, CUxToolbarMenuButton, kVersionableSchema | 1,
                                createInstance<CUxColorMenuButton>)

std::map<unsigned, COLORREF>& colorMenuButtonMap() {
  static std::map<unsigned, COLORREF> colours;
  return colours;
}

std::vector<CUxColorMenuButton*> colorMenuButtonsOf(unsigned command) {
  std::vector<CUxColorMenuButton*> found;
  for (CUxToolBar* bar : CUxToolBar::GetAllToolbars())
    for (int i = 0; i < bar->GetCount(); ++i)
      if (auto* button = dynamic_cast<CUxColorMenuButton*>(bar->GetButton(i)); button && button->m_nCommandId == command)
        found.push_back(button);
  return found;
}

CUxColorMenuButton::CUxColorMenuButton() = default;
CUxColorMenuButton::~CUxColorMenuButton() = default;

void CUxColorMenuButton::SetColor(COLORREF color, bool notify) {
  Color = color;
  colorMenuButtonMap()[m_nCommandId] = color;
  if (auto* bar = dynamic_cast<CUxToolBar*>(m_pWndParent)) bar->InvalidateButton(bar->ButtonToIndex(this));
  if (!notify) return;
  for (CUxColorMenuButton* other : colorMenuButtonsOf(m_nCommandId))
    if (other != this) other->SetColor(color, false);
  for (CUxToolBar* bar : CUxToolBar::GetAllToolbars())
    if (auto* colorBar = dynamic_cast<CUxColorBar*>(bar); colorBar && colorBar->CommandId == m_nCommandId)
      colorBar->SetColor(color);
}

bool CUxColorMenuButton::OpenColorDialog(COLORREF initial, COLORREF& chosen) {
  return chooseOtherColor(m_pWndParent ? m_pWndParent->window() : nullptr, initial, UseSystemColorDialog, chosen);
}

CUxPopupMenu* CUxColorMenuButton::CreatePopupMenu() {
  std::list<COLORREF> documentColors;
  if (ShowDocumentColors && m_pWndParent) {
    if (QWidget* frame = GetTopFrame(m_pWndParent)) {
      RegisteredMessageEvent ask(UXTOOLBAR__GETDOCUMENTCOLORS, m_nCommandId, reinterpret_cast<intptr_t>(&documentColors));
      QApplication::sendEvent(frame, &ask);
    }
  }
  std::vector<COLORREF> colors = Colors;
  if (colors.empty()) CUxColorBar::InitColors(colors);
  return new CColorPopup(colors, Color, ShowAutomatic ? AutomaticLabel.c_str() : nullptr,
                         ShowOther ? OtherLabel.c_str() : nullptr,
                         ShowDocumentColors ? DocumentColorsLabel.c_str() : nullptr, documentColors, Columns,
                         RowsWhenDockedHorz, ColumnsWhenDockedVert, AutomaticColor, m_nCommandId);
}

void CUxColorMenuButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarMenuButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CUxColorMenuButton*>(&source);
  if (!other) return;
  Color = other->Color;
  colorMenuButtonMap()[m_nCommandId] = Color;
  Colors = other->Colors;
  ShowAutomatic = other->ShowAutomatic;
  AutomaticColor = other->AutomaticColor;
  ShowOther = other->ShowOther;
  ShowDocumentColors = other->ShowDocumentColors;
  AutomaticLabel = other->AutomaticLabel;
  OtherLabel = other->OtherLabel;
  DocumentColorsLabel = other->DocumentColorsLabel;
  Columns = other->Columns;
  ColumnsWhenDockedVert = other->ColumnsWhenDockedVert;
  RowsWhenDockedHorz = other->RowsWhenDockedHorz;
  UseSystemColorDialog = other->UseSystemColorDialog;
}

void CUxColorMenuButton::Serialize(Archive& ar) {
  CUxToolbarMenuButton::Serialize(ar);
  // The docked counts came in with data version 4.71, and only a workspace states a version.
  const bool dockedCounts = workspace() && workspaceDataVersionAtLeast(4, 71);
  if (ar.IsStoring()) {
    writeColorList(ar, Colors);
    ar.writeI32(Columns);
    if (dockedCounts) {
      ar.writeI32(ColumnsWhenDockedVert);
      ar.writeI32(RowsWhenDockedHorz);
    }
    ar.writeI32(ShowAutomatic);
    ar.writeI32(ShowOther);
    ar.writeI32(ShowDocumentColors);
    ar.writeString(AutomaticLabel);
    ar.writeString(OtherLabel);
    ar.writeString(DocumentColorsLabel);
    ar.writeU32(AutomaticColor);
    ar.writeI32(UseSystemColorDialog);
    return;
  }
  Colors = readColorList(ar);
  Columns = ar.readI32();
  if (dockedCounts) {
    ColumnsWhenDockedVert = ar.readI32();
    RowsWhenDockedHorz = ar.readI32();
  }
  ShowAutomatic = ar.readI32() != 0;
  ShowOther = ar.readI32() != 0;
  ShowDocumentColors = ar.readI32() != 0;
  AutomaticLabel = ar.readString();
  OtherLabel = ar.readString();
  DocumentColorsLabel = ar.readString();
  AutomaticColor = ar.readU32();
  UseSystemColorDialog = ar.readI32() != 0;
  for (CUxColorMenuButton* other : colorMenuButtonsOf(m_nCommandId))
    if (other != this && other->Color != kNoColor) {
      Color = other->Color;
      break;
    }
}

void CUxColorMenuButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarMenuButton::OnChangeParentWnd(parent);
  if (dynamic_cast<CUxPopupMenuBar*>(parent) || dynamic_cast<CUxMenuBar*>(parent)) m_bShowText = true;
  m_bMenuMode = dynamic_cast<CUxPopupMenuBar*>(parent) != nullptr;
  m_bDrawDownArrow = true;
}

int CUxColorMenuButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  const unsigned command = m_nCommandId;
  m_nCommandId = 0;
  const int width = CUxToolbarMenuButton::OnDrawOnCustomizeList(dc, rect, selected);
  m_nCommandId = command;
  return width;
}

void CUxColorMenuButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal, bool customizeMode,
                                bool highlight, bool drawBorder, bool grayDisabledButtons) {
  CUxToolbarMenuButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlight, drawBorder,
                               grayDisabledButtons);
  if (GetImage() < 0 || !images) return;
  const GlobalDrawData& data = globalData();
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const Size image = images->GetImageSize();
  Rect stripe = rect;
  if (m_bMenuMode) {
    stripe.left = rect.left + manager->GetMenuImageMargin() + 1;
    stripe.right = stripe.left + image.cx;
    stripe.bottom = rect.bottom - 2;
    stripe.top = stripe.bottom - 5;
  } else {
    const Size extra = manager->GetButtonExtraSize();
    if (extra.cx != 0 || extra.cy != 0) stripe = stripe.deflated(extra.cx / 2 + 1, extra.cy / 2 + 1);
    stripe.top = stripe.top + image.cy - 1;
    stripe.bottom = stripe.top + 5;
    stripe = stripe.deflated(4, 0);
    if (!horizontal) stripe = stripe.offset(0, 1);
    // The stripe moves with the image of the pressed look.
    if (ShiftsPressedImage(ImageLookStyle(), customizeMode)) stripe = stripe.offset(1, 1);
  }
  const bool disabled = (m_nStyle & kStyleDisabled) != 0;
  if (highlight && !customizeMode && !(m_nStyle & (kStylePressed | kStyleChecked | kStyleDisabled)) &&
      manager->bShadowHighlightedImages) {
    dc->fillSolidRect(stripe, data.clrBarShadow);
    stripe = stripe.deflated(1, 1);
  }
  const COLORREF color = disabled ? data.clrBarShadow : (Color == kNoColor ? AutomaticColor : Color);
  dc->fillSolidRect(stripe, color);
  if (!manager->bFlatMenus) dc->draw3dRect(stripe, data.clrBarShadow, data.clrBarLight);
  else if (color == data.clrBarFace) dc->draw3dRect(stripe, data.clrBarDarkShadow, data.clrBarDarkShadow);
}
