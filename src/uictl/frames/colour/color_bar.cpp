// The colour bar: its cells, their layout, selection and the hand-on of a chosen colour.
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_picker_dialog.h"

#include "platform/windows/color_dialog.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/key_focus.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/frames/colour/color_button.h"
#include "uictl/frames/colour/color_menu_button.h"
#include "uictl/bars/commands/command_manager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>

using namespace platform;

namespace {

constexpr int kBarMargin = 4;

// The system's twenty static colours in their usual order.
constexpr COLORREF kStandardColors[] = {
    rgb(0x00, 0x00, 0x00), rgb(0x80, 0x00, 0x00), rgb(0x00, 0x80, 0x00), rgb(0x80, 0x80, 0x00), rgb(0x00, 0x00, 0x80),
    rgb(0x80, 0x00, 0x80), rgb(0x00, 0x80, 0x80), rgb(0xC0, 0xC0, 0xC0), rgb(0xC0, 0xDC, 0xC0), rgb(0xA6, 0xCA, 0xF0),
    rgb(0xFF, 0xFB, 0xF0), rgb(0xA0, 0xA0, 0xA4), rgb(0x80, 0x80, 0x80), rgb(0xFF, 0x00, 0x00), rgb(0x00, 0xFF, 0x00),
    rgb(0xFF, 0xFF, 0x00), rgb(0x00, 0x00, 0xFF), rgb(0xFF, 0x00, 0xFF), rgb(0x00, 0xFF, 0xFF), rgb(0xFF, 0xFF, 0xFF),
};

int ceilDiv(int a, int b) { return b > 0 ? (a + b - 1) / b : 0; }

CColorButton* cellOf(CUxToolbarButton* button) { return dynamic_cast<CColorButton*>(button); }

}  // namespace

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxColorBar, CUxPopupMenuBar, 1, createInstance<CUxColorBar>)

void writeColorList(Archive& ar, const std::vector<COLORREF>& colors) {
  ar.writeI32(static_cast<int32_t>(colors.size()));
  for (COLORREF c : colors) ar.writeU32(c);
}

std::vector<COLORREF> readColorList(Archive& ar) {
  const int32_t count = ar.readI32();
  if (count < 0) throw ArchiveException(ArchiveException::BadClass);
  std::vector<COLORREF> colors;
  for (int32_t i = 0; i < count; ++i) colors.push_back(ar.readU32());
  return colors;
}

CUxColorBar::CUxColorBar() {
  m_bLocked = true;
}

CUxColorBar::CUxColorBar(const std::vector<COLORREF>& colors, COLORREF selected, const wchar_t* automaticLabel,
                         const wchar_t* otherLabel, const wchar_t* documentLabel,
                         const std::list<COLORREF>& documentColors, int columns, int rowsDockedHorz,
                         int columnsDockedVert, COLORREF automaticColor, unsigned commandId,
                         CUxColorButton* parentButton)
    : Columns(columns), RowsWhenDockedHorz(rowsDockedHorz), ColumnsWhenDockedVert(columnsDockedVert), Colors(colors),
      SelectedColor(selected), AutomaticColor(automaticColor), AutomaticLabel(automaticLabel ? automaticLabel : L""),
      OtherLabel(otherLabel ? otherLabel : L""), DocumentColorsLabel(documentLabel ? documentLabel : L""),
      DocumentColors(documentColors), CommandId(commandId), IsTearOff(false), InPopup(true),
      ParentButton(parentButton) {
  m_bLocked = true;
  if (parentButton) UseSystemColorDialog = !parentButton->UseOwnColorDialog;
}

CUxColorBar::CUxColorBar(const CUxColorBar& source, unsigned commandId)
    : Columns(source.Columns), RowsWhenDockedHorz(source.RowsWhenDockedHorz),
      ColumnsWhenDockedVert(source.ColumnsWhenDockedVert), Colors(source.Colors), SelectedColor(source.SelectedColor),
      AutomaticColor(source.AutomaticColor), AutomaticLabel(source.AutomaticLabel), OtherLabel(source.OtherLabel),
      DocumentColorsLabel(source.DocumentColorsLabel), DocumentColors(source.DocumentColors), CommandId(commandId),
      UseSystemColorDialog(source.UseSystemColorDialog), IsTearOff(true), InPopup(false) {
  m_bLocked = true;
}

CUxColorBar::~CUxColorBar() = default;

int CUxColorBar::InitColors(std::vector<COLORREF>& colors) {
  colors.assign(std::begin(kStandardColors), std::end(kStandardColors));
  return static_cast<int>(colors.size());
}

bool CUxColorBar::CreateColorBar(QWidget* parent, unsigned style, unsigned id, int columns, int rowsDockedHorz,
                                 int columnsDockedVert) {
  if (Colors.empty()) {
    Columns = columns;
    RowsWhenDockedHorz = rowsDockedHorz;
    ColumnsWhenDockedVert = columnsDockedVert;
    InitColors(Colors);
  }
  if (!Create(parent, style, id)) return false;
  const Size image = GetMenuImageSize();
  CellWidth = image.cx + 1;
  CellHeight = image.cy + 1;
  TallRowHeight = CellHeight * 3 / 2;
  Rebuild();
  return true;
}

bool CUxColorBar::CreateControl(QWidget* parent, const Rect& rect, unsigned id, int columns) {
  if (Colors.empty()) InitColors(Colors);
  const int n = static_cast<int>(Colors.size());
  if (columns < 1) {
    // The fewest columns whose cells, as wide as the width allows, still fit the height.
    columns = -1;
    for (int k = n; k >= 1; --k) {
      const int cell = (rect.width() - 2 * kBarMargin) / k;
      if (cell != 0 && (n / k) * cell > rect.height() - 2 * kBarMargin) {
        columns = k + 1;
        break;
      }
    }
  }
  if (!CreateColorBar(parent, 0x50002000u, id, columns)) return false;
  // Creation gives every bar a gripper; a palette in a dialog has neither that nor borders.
  SetBarStyle(GetBarStyle() & ~0x400F00u);
  Columns = columns;
  SetBorders(0, 0, 0, 0);
  setGeometry(rect.toQRect());
  // Grow each dimension until the palette reaches the client size, then step back: cells of
  // at least one pixel.
  const Rect client = ClientRect();
  CellHeight = 1;
  TallRowHeight = 1;
  while (CalcSize(false).cy < client.height()) TallRowHeight = ++CellHeight * 3 / 2;
  CellHeight = std::max(1, CellHeight - 1);
  CellWidth = 1;
  while (CalcSize(false).cx < client.width()) ++CellWidth;
  CellWidth = std::max(1, CellWidth - 1);
  CellWidth = CellHeight = std::min(CellWidth, CellHeight);
  TallRowHeight = CellHeight * 3 / 2;
  const Size size = CalcSize(false);
  OffsetX = std::max(0, (client.width() - size.cx) / 2);
  OffsetY = std::max(0, (client.height() - size.cy) / 2);
  raise();
  SetOwner(parent);
  CommandId = id;
  AdjustLocations();
  return true;
}

void CUxColorBar::GetColumnsAndRows(bool vertical, int& columns, int& rows) const {
  const int n = static_cast<int>(Colors.size());
  if (IsTearOff && !IsFloating()) {
    if (!vertical && RowsWhenDockedHorz > 0) {
      rows = RowsWhenDockedHorz;
      columns = ceilDiv(n, rows);
      return;
    }
    if (vertical && ColumnsWhenDockedVert > 0) {
      columns = ColumnsWhenDockedVert;
      rows = ceilDiv(n, columns);
      return;
    }
  }
  columns = Columns < 1 ? static_cast<int>(std::sqrt(static_cast<double>(n))) + 1 : Columns;
  rows = ceilDiv(n, columns);
}

int CUxColorBar::GetExtraHeight(int columns) const {
  int h = !AutomaticLabel.empty() ? TallRowHeight : (!OtherLabel.empty() ? MarginY : 0);
  if (!OtherLabel.empty()) h += TallRowHeight;
  if (!DocumentColorsLabel.empty() && !DocumentColors.empty() && IsInPopupOrFloating())
    h += CellHeight * ceilDiv(static_cast<int>(DocumentColors.size()), columns) + MarginY + TallRowHeight + 4;
  return h;
}

void CUxColorBar::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    for (int v : {Columns, RowsWhenDockedHorz, ColumnsWhenDockedVert}) ar.writeI32(v);
    ar.writeU32(AutomaticColor);
    for (const std::wstring* label : {&AutomaticLabel, &OtherLabel, &DocumentColorsLabel}) ar.writeString(*label);
    for (int v : {int(IsTearOff), int(CommandId), int(UseSystemColorDialog)}) ar.writeI32(v);
    writeColorList(ar, Colors);
    return;
  }
  const int columns = ar.readI32(), rows = ar.readI32(), columnsVert = ar.readI32();
  const COLORREF automatic = ar.readU32();
  std::wstring labels[3];
  for (std::wstring& label : labels) label = ar.readString();
  const bool tearOff = ar.readI32() != 0;
  const unsigned command = static_cast<unsigned>(ar.readI32());
  const bool systemDialog = ar.readI32() != 0;
  std::vector<COLORREF> colors = readColorList(ar);
  // Only a complete record replaces what the bar holds.
  Columns = columns;
  RowsWhenDockedHorz = rows;
  ColumnsWhenDockedVert = columnsVert;
  AutomaticColor = automatic;
  AutomaticLabel = labels[0];
  OtherLabel = labels[1];
  DocumentColorsLabel = labels[2];
  IsTearOff = tearOff;
  CommandId = command;
  UseSystemColorDialog = systemDialog;
  Colors = std::move(colors);
  Rebuild();
  AdjustLocations();
}

Size CUxColorBar::CalcSize(bool vertical) {
  int columns = 0, rows = 0;
  GetColumnsAndRows(vertical, columns, rows);
  return {CellWidth * columns + 2 * kBarMargin, GetExtraHeight(columns) + CellHeight * rows + 2 * kBarMargin};
}

void CUxColorBar::Rebuild() {
  RemoveAllButtons();
  bool found = SelectedColor == kNoColor;
  if (!AutomaticLabel.empty())
    InsertButton(std::make_unique<CColorButton>(AutomaticColor, true, false, AutomaticLabel.c_str(), found));
  for (COLORREF color : Colors) {
    const bool selected = color == SelectedColor;
    InsertButton(std::make_unique<CColorButton>(color, false, false, nullptr, selected));
    found = found || selected;
  }
  if (!DocumentColorsLabel.empty() && !DocumentColors.empty()) {
    InsertSeparator();
    InsertButton(std::make_unique<CColorButton>(DocumentColorsLabel.c_str(), true));
    for (COLORREF color : DocumentColors) {
      const bool selected = !found && color == SelectedColor;
      InsertButton(std::make_unique<CColorButton>(color, false, false, nullptr, selected, true));
    }
  }
  if (!OtherLabel.empty()) {
    InsertSeparator();
    InsertButton(std::make_unique<CColorButton>(kNoColor, false, true, OtherLabel.c_str()));
    InsertButton(std::make_unique<CColorButton>(SelectedColor, false, false, nullptr, !found, false, true));
  }
  if (!LastEnabled) greyCells(true);
}

void CUxColorBar::greyCells(bool grey) {
  for (auto& button : m_Buttons)
    if (cellOf(button.get())) {
      if (grey) button->m_nStyle |= kStyleDisabled;
      else button->m_nStyle &= ~kStyleDisabled;
    }
}

bool CUxColorBar::NeedsSample() const { return AutomaticLabel.empty() || SelectedColor != kNoColor; }

void CUxColorBar::AdjustLocations() {
  const Rect client = ClientRect();
  const Rect area = client.deflated(OffsetX + kBarMargin, OffsetY + kBarMargin);
  int x = area.left, y = area.top;
  bool needSample = NeedsSample();
  bool previousSeparator = false;
  const bool shown = IsInPopupOrFloating();
  for (auto& owned : m_Buttons) {
    CUxToolbarButton* button = owned.get();
    const Rect before = button->m_rect;
    Rect r;
    CColorButton* cell = cellOf(button);
    if (button->m_nStyle & kStyleSeparator) {
      if (!previousSeparator) {
        if (x > area.left) {
          y += CellHeight + 4;
          x = area.left;
        }
        r = {area.left, y, area.right, y + 2};
        y += 4;
      }
      previousSeparator = true;
    } else if (!cell) {
      previousSeparator = false;
    } else if (cell->IsDocumentCaption && !shown) {
      previousSeparator = false;
    } else if (cell->IsPlain() && !(cell->HideWhenDocked && !shown)) {
      previousSeparator = false;
      if (x + CellWidth > area.right) {
        y += CellHeight;
        x = area.left;
      }
      if (!cell->IsCustomSample || needSample) {
        r = Rect::fromSize(x, y, CellWidth, CellHeight);
        x += CellWidth;
      }
      if (!cell->IsCustomSample && cell->Color == SelectedColor) needSample = false;
    } else if (!cell->IsPlain()) {
      previousSeparator = false;
      if (x > area.left) {
        y += CellHeight;
        x = area.left;
      }
      if (cell->IsOther && needSample) {
        r = {x, y, area.right - CellWidth, y + TallRowHeight - 2};
        x = r.right;
        y += (r.height() - CellHeight) / 2;
      } else {
        r = {area.left, y, area.right, y + TallRowHeight - 2};
        x = area.left;
        y += TallRowHeight - 2;
      }
      if (cell->IsOther) r = r.deflated(2, 2);
    }
    button->m_rect = r;
    if (!(r == before)) button->OnMove();
  }
}

void CUxColorBar::SetColor(COLORREF color) {
  if (color == SelectedColor) return;
  SelectedColor = color;
  for (int i = 0; i < GetCount(); ++i) {
    CColorButton* cell = cellOf(GetButton(i));
    if (!cell || cell->IsOther || cell->IsDocumentCaption) continue;
    if (cell->Highlighted) {
      cell->Highlighted = false;
      InvalidateButton(i);
    }
    if (cell->IsCustomSample) {
      cell->Color = color;
      cell->Highlighted = true;
      InvalidateButton(i);
    } else if (cell->IsAutomatic ? color == kNoColor : cell->Color == color) {
      cell->Highlighted = true;
      m_iHot = i;
      InvalidateButton(i);
    }
  }
  // The sample shows only a colour that no other cell offers.
  bool offered = color == kNoColor && !AutomaticLabel.empty();
  for (int i = 0; i < GetCount() && !offered; ++i)
    if (CColorButton* cell = cellOf(GetButton(i)); cell && cell->IsPlain() && !cell->IsCustomSample && cell->Color == color)
      offered = true;
  for (int i = 0; i < GetCount(); ++i)
    if (CColorButton* cell = cellOf(GetButton(i)); cell && cell->IsCustomSample) cell->Highlighted = !offered;
  AdjustLocations();
  update();
}

void CUxColorBar::closeEnclosingPopup() {
  if (CUxPopupMenu* popup = GetPopup()) popup->CloseMenu(false);
}

CUxColorMenuButton* CUxColorBar::menuButton() const {
  CUxPopupMenu* popup = GetPopup();
  return popup ? dynamic_cast<CUxColorMenuButton*>(popup->GetParentButton()) : nullptr;
}

bool CUxColorBar::OpenColorDialog(COLORREF initial, COLORREF& chosen) {
  if (CUxColorMenuButton* button = menuButton()) return button->OpenColorDialog(initial, chosen);
  return chooseOtherColor(window(), initial, UseSystemColorDialog, chosen);
}

bool CUxColorBar::OnSendCommand(const CUxToolbarButton* button) {
  if (ParentButton && getCapture() == this) releaseCapture();
  const auto* cell = dynamic_cast<const CColorButton*>(button);
  if (!cell || cell->IsDocumentCaption) return false;
  if (cell->m_nStyle & kStyleDisabled) return true;
  COLORREF color = cell->IsAutomatic ? kNoColor : cell->Color;
  QPointer<CUxColorBar> self(this);
  if (cell->IsOther) {
    QPointer<CUxPopupMenu> popup(GetPopup());
    m_bDialogOpen = true;
    // The dialog gets the mouse and keys: the hidden popup must not take them or close on them.
    if (libraryKeyFocus() == this) setLibraryKeyFocus(nullptr);
    QWidget* frame = popup ? popup->GetTopFrame() : nullptr;
    const bool wasActive = popup && CUxPopupMenu::GetActiveMenu() == popup;
    if (popup) {
      popup->hide();
      if (wasActive) CUxPopupMenu::ActivatePopupMenu(frame, nullptr);
    }
    COLORREF chosen = 0;
    const bool ok = OpenColorDialog(SelectedColor == kNoColor ? AutomaticColor : SelectedColor, chosen);
    // The dialog's modal loop may have taken the bar or its popup away: the choice ends there.
    if (!self || (InPopup && !popup)) return true;
    if (wasActive) CUxPopupMenu::ActivatePopupMenu(frame, popup);
    m_bDialogOpen = false;
    if (!ok) {
      if (ParentButton || popup) closeEnclosingPopup();
      else if (QWidget* frame = GetTopFrame(this)) frame->setFocus(Qt::OtherFocusReason);
      return true;
    }
    color = chosen;
  }
  if (ParentButton) {
    QPointer<CUxColorButton> owner(ParentButton);
    SetColor(color);
    owner->UpdateColor(color);
    if (self) closeEnclosingPopup();
    return true;
  }
  if (CUxColorMenuButton* button = menuButton()) {
    const unsigned command = button->m_nCommandId;
    QWidget* frame = GetPopup()->GetTopFrame();
    button->SetColor(color, true);
    if (self) closeEnclosingPopup();
    if (frame) sendCommand(frame, command, 0);
    return true;
  }
  SetColor(color);
  if (InPopup) {
    closeEnclosingPopup();
    return true;
  }
  // A bar standing alone for its command.
  for (CUxColorMenuButton* button : colorMenuButtonsOf(CommandId)) button->SetColor(color, false);
  colorMenuButtonMap()[CommandId] = color;
  if (QWidget* target = GetOwner() ? GetOwner() : parentWidget(); target && CommandId != 0 && CommandId != kNoColor)
    sendCommand(target, CommandId, 0);
  if (self) {
    if (QWidget* frame = GetTopFrame(this)) frame->setFocus();
  }
  return true;
}

int CUxColorBar::neighbourOf(int from, unsigned key) const {
  const auto eligible = [this](int i) {
    const CColorButton* c = dynamic_cast<const CColorButton*>(GetButton(i));
    return c && !c->IsDocumentCaption && !c->m_rect.isEmpty();
  };
  if (from < 0 || !eligible(from)) {
    for (int i = 0; i < GetCount(); ++i)
      if (const CColorButton* c = cellOf(GetButton(i)); c && c->Highlighted && eligible(i)) return i;
    for (int i = 0; i < GetCount(); ++i)
      if (eligible(i)) return i;
    return -1;
  }
  if (key == VkLeft || key == VkRight) {
    const int step = key == VkRight ? 1 : -1;
    for (int i = from + step; i >= 0 && i < GetCount(); i += step)
      if (eligible(i)) return i;
    return from;
  }
  // Up and down: the nearest row that way, then the cell nearest across.
  const Rect here = GetButton(from)->m_rect;
  const int cx = (here.left + here.right) / 2, cy = (here.top + here.bottom) / 2;
  int best = from;
  long bestRow = 0, bestAcross = 0;
  for (int i = 0; i < GetCount(); ++i) {
    if (!eligible(i)) continue;
    const Rect r = GetButton(i)->m_rect;
    const int dy = (r.top + r.bottom) / 2 - cy;
    if ((key == VkDown && dy <= 0) || (key == VkUp && dy >= 0)) continue;
    const long row = std::abs(dy), across = std::abs((r.left + r.right) / 2 - cx);
    if (best == from || row < bestRow || (row == bestRow && across < bestAcross)) {
      best = i;
      bestRow = row;
      bestAcross = across;
    }
  }
  return best;
}

void CUxColorBar::highlightCell(int index) {
  if (index < 0 || index == m_iHighlighted) return;
  const int old = m_iHighlighted;
  m_iHighlighted = index;
  OnSetHotButton(index);
  InvalidateButton(old);
  InvalidateButton(index);
  ShowCommandMessageString(GetButton(index)->m_nCommandId);
}

void CUxColorBar::ShowCommandMessageString(unsigned) {
  CUxPopupMenuBar::ShowCommandMessageString(CommandId == 0 ? kNoColor : CommandId);
}

bool CUxColorBar::OnKey(unsigned key) {
  switch (key) {
    case VkLeft:
    case VkRight:
    case VkUp:
    case VkDown:
      highlightCell(neighbourOf(m_iHighlighted, key));
      return true;
    case VkReturn:
      if (CUxToolbarButton* hot = GetButton(m_iHighlighted)) {
        // The prompt of the hot cell goes before the choice's command can change anything.
        sendIdlePrompt(promptTarget());
        OnSendCommand(hot);
      }
      return true;
    default:
      return CUxPopupMenuBar::OnKey(key);
  }
}

void CUxColorBar::keyPressEvent(QKeyEvent* event) {
  const unsigned key = event->key() == Qt::Key_Space ? unsigned(VkReturn) : virtualKeyOf(event->key());
  if (InPopup && !m_bDialogOpen && (key == VkEscape || (event->modifiers() & Qt::AltModifier))) {
    closeEnclosingPopup();
    return;
  }
  // Keys come here redirected by the library key focus: one left unaccepted would climb to the
  // popup and be redirected here again, without end.
  if (key != 0) OnKey(key);
  event->accept();
}

void CUxColorBar::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void CUxColorBar::OnUpdateCmdUI(CommandTarget* target, bool disableIfNoHandler) {
  // The cells are not commands: only a bar standing for a command follows its state, all its
  // cells greyed or not together.
  if (CommandId == 0 || CommandId == kNoColor || !target) return;
  CommandUi state;
  state.id = CommandId;
  target->onUpdateCommandUi(state);
  const bool enabled = state.enableChanged ? state.enabled : state.handled || !disableIfNoHandler;
  if (enabled != LastEnabled) {
    LastEnabled = enabled;
    greyCells(!enabled);
    update();
  }
  CUxPopupMenuBar::OnUpdateCmdUI(target, disableIfNoHandler);
}

bool CUxColorBar::closeOnPressOutside(QPoint widgetPoint) {
  if (!InPopup || m_bDialogOpen || rect().contains(widgetPoint)) return false;
  closeEnclosingPopup();
  return true;
}

void CUxColorBar::mousePressEvent(QMouseEvent* event) {
  if (IsCustomizeMode() && !EnabledInCustomizeMode) return;
  const Qt::MouseButton button = event->button();
  const bool anyButton = button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
  if (anyButton && closeOnPressOutside(event->position().toPoint())) return;
  CUxPopupMenuBar::mousePressEvent(event);
}

void CUxColorBar::OnLButtonDown(unsigned flags, Point point) {
  if (IsCustomizeMode() && !EnabledInCustomizeMode) return;
  if (closeOnPressOutside(ClientToWidget(point))) return;
  m_bFirstMove = false;
  CUxPopupMenuBar::OnLButtonDown(flags, point);
}

void CUxColorBar::OnLButtonDblClk(unsigned flags, Point point) {
  if (IsCustomizeMode() && !EnabledInCustomizeMode) return;
  CUxPopupMenuBar::OnLButtonDblClk(flags, point);
}

QWidget* CUxColorBar::promptTarget() const { return GetOwner() ? GetOwner() : parentWidget(); }

void CUxColorBar::OnMouseLeave() {
  if (!InPopup) {
    CUxPopupMenuBar::OnMouseLeave();
    return;
  }
  m_bTracked = false;
  m_ptLastMouse = {-1, -1};
  const int old = m_iHighlighted;
  m_iHighlighted = -1;
  OnSetHotButton(-1);
  InvalidateButton(old);
  sendIdlePrompt(promptTarget());
}

void CUxColorBar::OnContextMenu(Point screen) {
  if (InPopup && !m_bDialogOpen) {
    closeEnclosingPopup();
    return;
  }
  CUxPopupMenuBar::OnContextMenu(screen);
}

void CUxColorBar::OnMouseMove(unsigned flags, Point point) {
  if (IsCustomizeMode() && !EnabledInCustomizeMode) return;
  if (!rect().contains(ClientToWidget(point))) return;
  CUxToolBar::OnMouseMove(flags, point);
}
