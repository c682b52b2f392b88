#include "uictl/bars/buttons/toolbar_button.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMimeData>
#include <QWidget>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarButton, CObject, kVersionableSchema | 1, createInstance<CUxToolbarButton>)

bool CUxToolbarButton::registerImages = true;

std::vector<unsigned>& CUxToolbarButton::nonEditableCommands() {
  static std::vector<unsigned> list;
  return list;
}

namespace {
std::wstring (*g_commandStrings)(unsigned) = nullptr;

constexpr unsigned kPressedOrChecked = kStyleChecked | kStylePressed;

// The state the visual manager fills and colours a button in.
int lookOf(unsigned style, bool highlight) {
  if (highlight) return ButtonHighlighted;
  return (style & kPressedOrChecked) ? ButtonPressed : ButtonNormal;
}
}  // namespace

std::wstring commandString(unsigned command) { return g_commandStrings ? g_commandStrings(command) : std::wstring(); }

bool commandShortLabel(unsigned command, std::wstring& out) {
  const std::wstring full = commandString(command);
  const size_t newline = full.find(L'\n');
  if (newline == std::wstring::npos) return false;
  out = full.substr(newline + 1);
  return true;
}
void setCommandStringSource(std::wstring (*source)(unsigned)) { g_commandStrings = source; }
std::map<unsigned, int>& defaultImages() {
  static std::map<unsigned, int> images;
  return images;
}

CUxToolbarButton::CUxToolbarButton() { Reset(); }

CUxToolbarButton::CUxToolbarButton(unsigned commandId, int image, const wchar_t* text, bool userImage, bool locked) {
  Reset();
  m_bLocked = locked;
  m_nCommandId = commandId;
  m_bUserImage = userImage;
  SetImage(image);
  m_strText = text ? text : L"";
  if (m_nCommandId == 0 || m_bLocked) return;
  int& index = userImage ? m_iUserImage : m_iImage;
  if (index == -1) index = GetCommandManager().GetCmdImage(m_nCommandId, userImage);
  else GetCommandManager().SetCmdImage(m_nCommandId, index, userImage);
}

CUxToolbarButton::~CUxToolbarButton() = default;

void CUxToolbarButton::Reset() {
  m_iImage = m_iUserImage = -1;
  m_bUserImage = false;
  m_nCommandId = 0;
  m_nStyle = 0;
  m_bShowText = false;
  m_bShowImage = true;
  m_bWrap = false;
  m_bWholeText = true;
  m_bLocked = m_bHidden = m_bTextBelow = false;
  m_nStoredFlags = 0;
  m_sizeText = {};
  m_bNoFill = m_bExtraSize = false;
  m_rect = {};
  m_bHorz = true;
}

void CUxToolbarButton::CopyFrom(const CUxToolbarButton& src) {
  m_nCommandId = src.m_nCommandId;
  m_bLocked = src.m_bLocked;
  m_bUserImage = src.m_bUserImage;
  m_nStyle = src.m_nStyle;
  SetImage(src.GetImage());
  m_strText = src.m_strText;
  m_bShowText = src.m_bShowText;
  m_bShowImage = src.m_bShowImage;
  m_bWrap = src.m_bWrap;
  m_strTextCustom = src.m_strTextCustom;
  m_nStoredFlags = 0;
}

void CUxToolbarButton::SetImage(int image) {
  if (m_nStyle & kStyleSeparator) {
    m_iImage = image;
    return;
  }
  (m_bUserImage ? m_iUserImage : m_iImage) = image;
  if (!m_bLocked && m_nCommandId != 0) {
    CommandManager& commands = GetCommandManager();
    if (image != -1) {
      if (m_bUserImage || registerImages) commands.SetCmdImage(m_nCommandId, image, m_bUserImage);
    } else {
      m_iImage = commands.GetCmdImage(m_nCommandId, false);
      m_iUserImage = commands.GetCmdImage(m_nCommandId, true);
    }
    if (m_iImage == -1 && !m_bUserImage) m_bUserImage = true;
    else if (m_iUserImage == -1 && m_bUserImage) m_bUserImage = false;
  }
  if (GetImage() < 0) {
    m_bShowImage = false;
    m_bShowText = true;
  }
}

void CUxToolbarButton::SetRect(const Rect& rect) {
  if (m_rect == rect) return;
  m_rect = rect;
  OnMove();
}

void CUxToolbarButton::OnChangeParentWnd(QWidget* parent) {
  auto* host = dynamic_cast<CUxToolbarButtonHost*>(parent);
  m_bExtraSize = host && host->IsButtonExtraSizeAvailable();
}

bool CUxToolbarButton::GetTextFromResource(CUxToolbarButton& target) {
  if (m_strText.empty() && m_nCommandId != 0) commandShortLabel(m_nCommandId, target.m_strText);
  return true;
}

bool CUxToolbarButton::IsEditable() const {
  if (IsStandardCommand(m_nCommandId)) return false;
  const auto& list = nonEditableCommands();
  return std::find(list.begin(), list.end(), m_nCommandId) == list.end();
}

void CUxToolbarButton::ResetImageToDefault() {
  if (m_bUserImage || static_cast<int>(m_nCommandId) <= 0) return;
  if (const UserToolsLookup* tools = userToolsLookup(); tools && tools->HasTool(m_nCommandId)) return;
  auto it = defaultImages().find(m_nCommandId);
  if (it != defaultImages().end() && it->second >= 0) {
    SetImage(it->second);
    return;
  }
  if (!m_bShowImage) return;
  m_bShowImage = false;
  m_bShowText = true;
  if (m_strText.empty()) commandShortLabel(m_nCommandId, m_strText);
}

bool CUxToolbarButton::OnToolHitTest(const QWidget* wnd, ToolInfo* info) const {
  auto* hook = dynamic_cast<ButtonToolTipHook*>(GetTopFrame(const_cast<QWidget*>(wnd)));
  return hook && hook->OnButtonToolHitTest(this, info);
}

bool CUxToolbarButton::EnableWindow(bool enable) {
  QWidget* w = GetHwnd();
  if (!w) return false;
  w->setEnabled(enable);
  return true;
}

bool CUxToolbarButton::IsWindowVisible() {
  QWidget* w = GetHwnd();
  return w && w->isVisible();
}

bool CUxToolbarButton::IsOwnerOf(QWidget* widget) {
  QWidget* w = GetHwnd();
  return w && widget && (widget == w || w->isAncestorOf(widget));
}

bool CUxToolbarButton::HasFocus() {
  QWidget* w = GetHwnd();
  QWidget* focus = QApplication::focusWidget();
  return w && focus && (focus == w || w->isAncestorOf(focus));
}

Size CUxToolbarButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  if (m_nStyle & kStyleSeparator) {
    const int width = m_iImage >= 1 ? m_iImage : 8;
    return horizontal ? Size{width, sizeDefault.cy} : Size{sizeDefault.cx, 8};
  }
  Size size = sizeDefault;
  if (!m_bShowImage || GetImage() < 0) {
    const Size extra = m_bExtraSize ? CUxVisualManager::GetInstance()->GetButtonExtraSize() : Size{};
    if (horizontal) size.cx = extra.cx;
    else size.cy = extra.cy;
  }
  m_sizeText = {};
  if (m_strText.empty()) return size;
  if (m_bTextBelow && horizontal) {
    Rect measured{0, 0, 3 * sizeDefault.cx, sizeDefault.cy};
    dc->drawText(m_strText, measured, DtCalcRect | DtCenter | (toolbarClassData().bWrapLabels ? DtWordBreak : 0u));
    m_sizeText = {measured.width() + 6, measured.height()};
    size.cx = std::max(size.cx, measured.width() + 6) + 12;
    size.cy = size.cy + measured.height() + 2 * getSystemMetrics(SmCyBorder);
  } else if (m_bShowText) {
    const int width = dc->getTextExtent(stripPrefixes(m_strText).visible).cx;
    if (horizontal) size.cx += width + 9;
    else size.cy += width + 9;
  }
  return size;
}

void CUxToolbarButton::FillInterior(Dc* dc, const Rect& rect, bool highlight) {
  if (m_bNoFill) return;
  CUxVisualManager::GetInstance()->OnFillButtonInterior(dc, this, rect, lookOf(m_nStyle, highlight));
}

bool CUxToolbarButton::ShiftsPressedImage(unsigned style, bool customizeMode) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  return (style & kPressedOrChecked) && !customizeMode && !manager->bShadowHighlightedImages &&
         manager->IsMenuItemHighlightFull();
}

void CUxToolbarButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal, bool customizeMode,
                              bool highlight, bool drawBorder, bool grayDisabledButtons) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  m_bHorz = horizontal;
  FillInterior(dc, rect, highlight);

  const Size image = images ? images->GetImageSize() : Size{};
  const int w = image.cx, h = image.cy;
  Rect r = rect;
  if (m_bExtraSize) {
    const Size extra = manager->GetButtonExtraSize();
    r = r.deflated(extra.cx / 2, extra.cy / 2);
  }
  const bool labelMode = m_bTextBelow && horizontal;
  const bool besideText = m_bShowText && !m_strText.empty() && !labelMode;
  const int t = besideText ? dc->getTextExtent(stripPrefixes(m_strText).visible).cx + 6 : 0;

  Size area;
  if (labelMode) area = {r.width(), h + 6};
  else if (horizontal) area = {r.width() - t, r.height()};
  else area = {r.width(), r.height() - t};
  int x = (area.cx - w) / 2, y = (area.cy - h) / 2;

  int tx = 3, ty = 3;
  if (besideText) {
    const int fontHeight = dc->getTextMetrics().height;
    if (horizontal) ty = (area.cy - fontHeight - 1) / 2;
    else tx = (area.cx - fontHeight + 1) / 2;
  }
  const bool pressedOrChecked = m_nStyle & kPressedOrChecked;
  const bool shadowed = highlight && !customizeMode && manager->bShadowHighlightedImages &&
                        !(m_nStyle & (kStyleChecked | kStylePressed | kStyleDisabled));
  if (ShiftsPressedImage(m_nStyle, customizeMode)) {
    ++x;
    ++y;
    ++ty;
    tx += horizontal ? 1 : -1;
  }
  const bool faded = !highlight && manager->bFadeInactiveImage;
  const bool disabledLook = !customizeMode && !(m_nStyle & kStylePressed) && (m_nStyle & kStyleDisabled) &&
                            grayDisabledButtons;

  const bool imageShown = m_bShowImage && GetImage() >= 0 && images;
  const UserToolsLookup* tools = m_bUserImage ? nullptr : userToolsLookup();
  // A user tool's own icon stands for the strip image.
  const bool toolIcon = imageShown && tools && tools->DrawToolIcon(m_nCommandId, dc, Rect::fromSize(r.left + x, r.top + y, w, h));
  if (imageShown && !toolIcon) {
    if (shadowed) {
      images->Draw(dc, r.left + x, r.top + y, GetImage(), false, false, false, true);
      images->Draw(dc, r.left + x - 1, r.top + y - 1, GetImage(), false, disabledLook, false, false, faded);
    } else {
      images->Draw(dc, r.left + x, r.top + y, GetImage(), false, disabledLook, false, false, faded);
    }
  }

  if (labelMode || (m_bShowText && !m_strText.empty())) {
    const TextScope scope(dc, manager->GetToolbarButtonTextColor(this, lookOf(m_nStyle, highlight)));
    Rect text = r;
    if (labelMode) {
      const unsigned flags = DtCenter | (toolbarClassData().bWrapLabels ? DtWordBreak : 0u);
      text.left = (r.left + r.right - m_sizeText.cx) / 2 + tx;
      text.right = (r.left + r.right + m_sizeText.cx) / 2;
      text.top = r.top + ty + h + 3;
      if (m_bExtraSize) text = text.offset(0, manager->GetButtonExtraSize().cy / 2);
      dc->drawText(m_strText, text, flags);
    } else if (horizontal) {
      if (imageShown) tx += w + 3;
      text.left = r.left + tx + 3;
      text.top = r.top + ty;
      dc->drawText(m_strText, text, DtSingleLine);
    } else {
      const int o = imageShown ? ty + h + 3 : ty;
      text.left = r.right - tx;
      text.top = r.top + o + 3;
      text.bottom = r.top + 3 * o;
      // Vertical text keeps "&&" (shown as one "&") but loses the single accelerator mark,
      // which is drawn as a line beside the character instead.
      std::wstring cleaned;
      int mark = -1;
      for (size_t i = 0; i < m_strText.size(); ++i) {
        if (m_strText[i] != L'&') {
          cleaned += m_strText[i];
        } else if (i + 1 < m_strText.size() && m_strText[i + 1] == L'&') {
          cleaned += L"&&";
          ++i;
        } else if (i + 1 < m_strText.size() && mark < 0) {
          mark = static_cast<int>(stripPrefixes(cleaned).visible.size());
        }
      }
      dc->drawText(cleaned, text, DtSingleLine | DtNoClip);
      if (mark >= 0) {
        const std::wstring shown = stripPrefixes(cleaned).visible;
        const int a = dc->getTextExtent(shown.substr(0, static_cast<size_t>(mark) + 1)).cx;
        const int b = dc->getTextExtent(shown.substr(0, static_cast<size_t>(mark))).cx;
        const Pen old = dc->selectPen(Pen::solid(dc->textColor()));
        dc->moveTo(r.left + 3, text.top + a);
        dc->lineTo(r.left + 3, text.top + b);
        dc->selectPen(old);
      }
    }
  }

  if (customizeMode || !HasBorder() || !drawBorder) return;
  if (pressedOrChecked) manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
  else if (highlight && !(m_nStyle & (kStyleChecked | kStyleDisabled | kStyleIndeterminate)))
    manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
}

int CUxToolbarButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  const bool showText = m_bShowText;
  m_bShowText = false;
  ToolbarImages* images = userImages();
  if (!m_bUserImage) {
    ToolbarImages& menu = sharedImages(kMenuImages);
    ToolbarImages& standard = sharedImages(kImages);
    images = menu.GetCount() == standard.GetCount() && menu.GetCount() > 0 ? &menu : &standard;
  }
  const Size menuImage = toolbarClassData().sizeMenuImage.cx == -1 ? toolbarClassData().sizeImage
                                                                    : toolbarClassData().sizeMenuImage;
  const int cell = menuImage.cx + 6;
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const bool hasImage = GetImage() >= 0 && images;
  Rect fill = rect;
  if (selected && hasImage) fill.left += cell;
  const COLORREF textColour = manager->OnFillCommandsListBackground(dc, fill, selected);
  const UserToolsLookup* tools = m_bUserImage ? nullptr : userToolsLookup();
  const bool toolIcon = hasImage && tools && tools->DrawToolIcon(m_nCommandId, dc, {rect.left, rect.top, rect.left + cell, rect.bottom});
  if (hasImage && !toolIcon) {
    ImageDrawState state;
    if (images->PrepareDrawImage(state, {}, manager->bFadeInactiveImage)) {
      OnDraw(dc, {rect.left, rect.top, rect.left + cell, rect.bottom}, images, true, true, selected, true, true);
      images->EndDrawImage(state);
    }
  }
  int result = cell;
  if (!m_strText.empty()) {
    const TextScope scope(dc, textColour);
    Rect text{rect.left + menuImage.cx + 10, rect.top, rect.right, rect.bottom};
    dc->drawText(m_strText, text, DtSingleLine | DtVCenter);
    result += dc->getTextExtent(stripPrefixes(m_strText).visible).cx;
  }
  m_bShowText = showText;
  return result;
}

void CUxToolbarButton::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeU32(m_nCommandId);
    ar.writeU32(m_nStyle);
    ar.writeI32(GetImage());
    ar.writeString(m_strText);
    ar.writeU32(m_bUserImage ? 1 : 0);
    ar.writeU32(m_nStoredFlags);
    ar.writeU32(m_bShowText ? 1 : 0);
    ar.writeU32(m_bShowImage ? 1 : 0);
    return;
  }
  m_nCommandId = ar.readU32();
  m_nStyle = ar.readU32();
  const int image = ar.readI32();
  m_strText = ar.readString();
  m_bUserImage = ar.readU32() != 0;
  m_nStoredFlags = ar.readU32();
  m_bShowText = ar.readU32() != 0;
  m_bShowImage = ar.readU32() != 0;
  SetImage(image);
}

QString CUxToolbarButton::GetClipboardFormat() {
  // The process id stands for the module handle: another instance's data is not ours.
  static const QString format =
      QStringLiteral("application/x-kelvara-UxToolbarButton%1").arg(QCoreApplication::applicationPid(), 0, 16);
  return format;
}

bool CUxToolbarButton::PrepareDrag(QMimeData& data) {
  if (!CanBeStored()) return true;
  std::vector<uint8_t> bytes;
  try {
    Archive archive(Archive::Store, bytes);
    archive.writeObject(this);
  } catch (const ArchiveException&) {
    return false;
  }
  data.setData(GetClipboardFormat(), QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  return true;
}

std::unique_ptr<CUxToolbarButton> CUxToolbarButton::CreateFromOleData(const QMimeData* data) {
  if (!data || !data->hasFormat(GetClipboardFormat())) return nullptr;
  const QByteArray raw = data->data(GetClipboardFormat());
  try {
    Archive archive(Archive::Load, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(raw.constData()),
                                                            static_cast<size_t>(raw.size())));
    std::unique_ptr<CObject> object = archive.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
    return std::unique_ptr<CUxToolbarButton>(static_cast<CUxToolbarButton*>(object.release()));
  } catch (const ArchiveException&) {
    return nullptr;
  }
}
