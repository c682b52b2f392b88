#include "uictl/bars/toolbar/toolbar.h"

#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>
#include <QFile>
#include <QtEndian>
#include <algorithm>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolBar, CObject, kNoSchema, createInstance<CUxToolBar>)

Size CUxToolBar::g_sizeCurButton{23, 22};
Size CUxToolBar::g_sizeCurImage{16, 15};
bool CUxToolBar::g_bShowShortcutKeys = true;
bool CUxToolBar::g_bLargeIcons = false;
bool CUxToolBar::g_bAltCustomizing = false;
bool CUxToolBar::g_bAltCustomization = false;
CUxToolBar* CUxToolBar::g_pSelToolBar = nullptr;
ToolbarDropSource CUxToolBar::g_DragSource;

namespace {

constexpr unsigned kWsVisible = 0x10000000u;
constexpr unsigned kToolbarIdDefault = 0xE800;

// A toolbar resource: version, image width and height, item count, then one command per item.
struct ToolbarResource {
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<unsigned> items;
};

std::optional<ToolbarResource> readToolbarResource(unsigned id) {
  QFile file(QStringLiteral(":/toolbar/%1").arg(id));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray data = file.readAll();
  const auto word = [&data](int i) { return qFromLittleEndian<quint16>(data.constData() + 2 * i); };
  if (data.size() < 8) return std::nullopt;
  ToolbarResource resource;
  resource.imageWidth = word(1);
  resource.imageHeight = word(2);
  const int count = word(3);
  // A count that promises more items than the data holds is a damaged resource.
  if (data.size() < 8 + 2 * count) return std::nullopt;
  for (int i = 0; i < count; ++i) resource.items.push_back(word(4 + i));
  return resource;
}

}  // namespace

CUxToolBar::CUxToolBar(QWidget* parent) : CUxControlBar(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CUxToolBar::~CUxToolBar() {
  if (platform::getCapture() == this) platform::releaseCapture();
  if (g_pSelToolBar == this) g_pSelToolBar = nullptr;
  auto& list = toolbarList();
  list.erase(std::remove(list.begin(), list.end(), static_cast<ToolbarLayoutClient*>(this)), list.end());
  m_OrigButtons.clear();
  RemoveAllButtons();
}

bool CUxToolBar::Create(QWidget* parent, unsigned style, unsigned id) {
  return CreateEx(parent, 0x800 /* flat */, style, {1, 1, 1, 1}, id);
}

bool CUxToolBar::CreateEx(QWidget* parent, unsigned ctrlStyle, unsigned style, Rect borders, unsigned id) {
  SetBorders(std::max(1, borders.left), std::max(1, borders.top), borders.right, borders.bottom);
  m_dwStyle = (style | CbrsGripper) & CbrsAll;
  if (id == kToolbarIdDefault) m_dwStyle |= CbrsHideInplace;
  m_dwCtrlStyle = ctrlStyle;
  if (parent != parentWidget()) setParent(parent);
  SetDlgCtrlID(id);
  setAcceptDrops(true);
  auto& list = toolbarList();
  if (std::find(list.begin(), list.end(), static_cast<ToolbarLayoutClient*>(this)) == list.end())
    list.push_back(this);
  connectApplicationSignals();
  updateNcArea();
  if (style & kWsVisible) show();
  return true;
}

std::vector<CUxToolBar*> CUxToolBar::GetAllToolbars() {
  std::vector<CUxToolBar*> bars;
  for (ToolbarLayoutClient* client : toolbarList())
    if (auto* bar = dynamic_cast<CUxToolBar*>(client)) bars.push_back(bar);
  return bars;
}

// Sizes.

void CUxToolBar::SetSizes(Size button, Size image) {
  ToolbarClassData& data = toolbarClassData();
  data.sizeButton = button;
  data.sizeImage = image;
  const int factor = g_bLargeIcons ? 2 : 1;
  g_sizeCurButton = {button.cx * factor, button.cy * factor};
  g_sizeCurImage = {image.cx * factor, image.cy * factor};
  for (SharedStrip strip : {kImages, kColdImages, kDisabledImages, kMenuImages, kDisabledMenuImages})
    sharedImages(strip).SetImageSize(image);
  for (SharedStrip strip : {kLargeImages, kLargeColdImages, kLargeDisabledImages})
    sharedImages(strip).SetImageSize({image.cx * 2, image.cy * 2});
  if (ToolbarImages* user = userImages()) user->SetImageSize(image);
}

void CUxToolBar::SetLockedSizes(Size button, Size image) {
  m_sizeButton = m_sizeCurButton = button;
  m_sizeImage = m_sizeCurImage = image;
  for (SharedStrip strip : {kImages, kColdImages, kDisabledImages}) m_Images[strip].SetImageSize(image);
  for (SharedStrip strip : {kLargeImages, kLargeColdImages, kLargeDisabledImages})
    m_Images[strip].SetImageSize({image.cx * 2, image.cy * 2});
  if (g_bLargeIcons) {
    m_sizeCurButton = {button.cx * 2, button.cy * 2};
    m_sizeCurImage = {image.cx * 2, image.cy * 2};
  }
}

Size CUxToolBar::GetButtonSize() const {
  Size size;
  if (m_bLocked) size = m_bLargeIconsAllowed ? m_sizeCurButton : m_sizeButton;
  else size = m_bLargeIconsAllowed ? g_sizeCurButton : toolbarClassData().sizeButton;
  if (IsButtonExtraSizeAvailable()) {
    const Size extra = CUxVisualManager::GetInstance()->GetButtonExtraSize();
    size.cx += extra.cx;
    size.cy += extra.cy;
  }
  return size;
}

Size CUxToolBar::GetImageSize() const {
  if (m_bLocked) return m_bLargeIconsAllowed ? m_sizeCurImage : m_sizeImage;
  return m_bLargeIconsAllowed ? g_sizeCurImage : toolbarClassData().sizeImage;
}

Size CUxToolBar::GetMenuImageSize() {
  const ToolbarClassData& data = toolbarClassData();
  return data.sizeMenuImage.cx == -1 ? data.sizeImage : data.sizeMenuImage;
}

COLORREF CUxToolBar::GetDefaultTextColor() {
  const COLORREF configured = toolbarClassData().clrTextColor;
  return configured == kNoColor ? globalData().clrBarText : configured;
}

int CUxToolBar::GetColumnWidth() const {
  if (m_bMenuMode) {
    const int menuWidth = toolbarClassData().sizeMenuButton.cx;
    return menuWidth >= 1 ? menuWidth : toolbarClassData().sizeButton.cx;
  }
  return GetButtonSize().cx;
}

int CUxToolBar::GetRowHeight() const {
  if (m_bTallLabels) return m_nLabelRowHeight;
  int base;
  if (m_bMenuMode) {
    const int menuHeight = toolbarClassData().sizeMenuButton.cy;
    base = menuHeight >= 1 ? menuHeight : toolbarClassData().sizeButton.cy;
  } else {
    base = GetButtonSize().cy;
  }
  const int text = IsHorizontal() ? globalData().nTextHeight : globalData().TextHeightVert();
  return std::max(text, base);
}

Font CUxToolBar::barFont() const { return IsHorizontal() ? globalData().fontRegular : globalData().fontVert; }

// Loading.

bool CUxToolBar::LoadBitmap(unsigned resId, unsigned coldResId, unsigned menuResId, bool locked,
                            unsigned disabledResId, unsigned menuDisabledResId) {
  return LoadBitmapEx({coldResId, resId, disabledResId, 0, 0, 0, menuResId, menuDisabledResId}, locked);
}

bool CUxToolBar::LoadToolBar(unsigned resId, unsigned coldResId, unsigned menuResId, bool locked,
                             unsigned disabledResId, unsigned menuDisabledResId, unsigned hotResId) {
  return LoadToolBarEx(resId, {coldResId, hotResId, disabledResId, 0, 0, 0, menuResId, menuDisabledResId}, locked);
}

bool CUxToolBar::LoadBitmapEx(const ImageIds& ids, bool locked) {
  m_bLocked = locked;
  static constexpr std::array<SharedStrip, 8> kStripOfId{kColdImages, kImages, kDisabledImages, kLargeColdImages,
                                                         kLargeImages, kLargeDisabledImages, kMenuImages,
                                                         kDisabledMenuImages};
  bool result = true;
  for (size_t i = 0; i < ids.size(); ++i) {
    const SharedStrip strip = kStripOfId[i];
    if (ids[i] == 0 && strip != kImages) continue;
    const bool loaded = locked ? m_Images[strip].Load(ids[i]) : sharedImages(strip).Load(ids[i], true);
    if (!loaded) result = false;
    if (!loaded && strip == kImages) return false;
  }
  if (!locked) {
    const auto& offsets = sharedImages(kImages).mapOrigResOffsets;
    auto found = offsets.find(ids[1]);
    m_iImagesOffset = found == offsets.end() ? -1 : found->second;
  }
  return result;
}

bool CUxToolBar::LoadToolBarEx(unsigned resId, ImageIds ids, bool locked) {
  const std::optional<ToolbarResource> resource = readToolbarResource(resId);
  if (!resource) return false;
  const Size image{resource->imageWidth, resource->imageHeight};
  const Size button{image.cx + 6, image.cy + 6};
  const ToolbarClassData before = toolbarClassData();
  const Size lockedButton = m_sizeButton, lockedImage = m_sizeImage;
  const bool wasLocked = m_bLocked;
  if (locked) SetLockedSizes(button, image);
  else SetSizes(button, image);
  if (ids[1] == 0) ids[1] = resId;
  // Without its images the bar keeps the buttons and sizes it had.
  if (m_uiOriginalResID == 0 && !LoadBitmapEx(ids, locked)) {
    m_bLocked = wasLocked;
    if (locked) SetLockedSizes(lockedButton, lockedImage);
    else SetSizes(before.sizeButton, before.sizeImage);
    return false;
  }
  m_bLocked = locked;
  if (!locked) {
    int next = m_iImagesOffset;
    for (unsigned id : resource->items)
      if (id != 0) defaultImages()[id] = next++;
  }
  m_uiOriginalResID = resId;
  if (!SetButtons(resource->items.data(), static_cast<int>(resource->items.size()), true)) m_uiOriginalResID = 0;
  return true;
}

bool CUxToolBar::SetButtons(const unsigned* ids, int count, bool remapImages) {
  std::unique_ptr<CUxToolbarButton> chevron = copyOfCustomizeButton();
  RemoveAllButtons();
  m_OrigButtons.clear();
  if (!ids) {
    for (int i = 0; i < count; ++i) {
      auto separator = std::make_unique<CUxToolbarButton>();
      separator->m_nStyle = kStyleSeparator;
      InsertButton(std::move(separator));
    }
  } else {
    int image = m_iImagesOffset;
    for (int i = 0; i < count; ++i) {
      const unsigned id = ids[i];
      auto original = std::make_unique<CUxToolbarButton>();
      original->m_nCommandId = id;
      if (id == 0) original->m_nStyle = kStyleSeparator;
      m_OrigButtons.push_back(std::move(original));
      if (id == 0) {
        InsertSeparator();
      } else if (remapImages) {
        const int index = image++;
        InsertButton(std::make_unique<CUxToolbarButton>(id, index, nullptr, false, m_bLocked));
        if (!m_bLocked) defaultImages()[id] = index;
      } else if (auto found = defaultImages().find(id); found != defaultImages().end()) {
        InsertButton(std::make_unique<CUxToolbarButton>(id, found->second, nullptr, false, m_bLocked));
      }
    }
  }
  restoreCustomizeButton(std::move(chevron));
  OnReset();
  // The frame that docks the bar hears of the reset; a dock bar or a floating frame in between
  // passes nothing on.
  if (QWidget* site = m_pDockSite ? m_pDockSite->DockSiteWidget() : parentWidget()) {
    RegisteredMessageEvent reset(UXTOOLBAR_RESETTOOLBAR, m_uiOriginalResID, 0);
    QCoreApplication::sendEvent(site, &reset);
  }
  return true;
}

void CUxToolBar::ReloadFromResource() {
  if (m_uiOriginalResID == 0) return;
  LoadToolBar(m_uiOriginalResID, 0, 0, false, 0, 0, 0);
  AdjustLayout();
  update();
}

void CUxToolBar::ResetAllImages() {
  for (auto& button : m_Buttons) button->ResetImageToDefault();
  if (IsFloating()) AdjustLayout();
}

ToolbarImages* CUxToolBar::GetLockedMenuImages() {
  if (!m_bLocked) return nullptr;
  if (m_Images[kMenuImages].GetCount() > 0) return &m_Images[kMenuImages];
  if (m_Images[kImages].GetCount() > 0) return &m_Images[kImages];
  return nullptr;
}

// The button list.

CUxToolbarButton* CUxToolBar::GetButton(int index) const {
  return index >= 0 && index < GetCount() ? m_Buttons[static_cast<size_t>(index)].get() : nullptr;
}

int CUxToolBar::ButtonToIndex(const CUxToolbarButton* button) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_Buttons[static_cast<size_t>(i)].get() == button) return i;
  return -1;
}

int CUxToolBar::CommandToIndex(unsigned command, int start) const {
  for (int i = std::max(0, start); i < GetCount(); ++i)
    if (m_Buttons[static_cast<size_t>(i)]->m_nCommandId == command) return i;
  return -1;
}

unsigned CUxToolBar::GetButtonStyle(int index) const {
  const CUxToolbarButton* button = GetButton(index);
  return button ? button->m_nStyle : 0;
}

std::wstring CUxToolBar::GetButtonText(int index) const {
  const CUxToolbarButton* button = GetButton(index);
  return button ? button->m_strText : std::wstring();
}

Rect CUxToolBar::GetItemRect(int index) const {
  const CUxToolbarButton* button = GetButton(index);
  return button ? button->m_rect : Rect();
}

Rect CUxToolBar::GetInvalidateItemRect(int index) const {
  const CUxToolbarButton* button = GetButton(index);
  return button ? button->GetRect() : Rect();
}

CUxToolBar::TbButton CUxToolBar::GetTbButton(int index) const {
  TbButton result;
  if (const CUxToolbarButton* button = GetButton(index)) {
    result.idCommand = button->m_nCommandId;
    result.fsState = static_cast<unsigned char>((button->m_nStyle >> 16) & 0xFF);
    result.fsStyle = static_cast<unsigned char>(button->m_nStyle & 0xFF);
  }
  return result;
}

std::wstring CUxToolBar::GetButtonTextOfCommand(unsigned command) const {
  return GetButtonText(CommandToIndex(command));
}

int CUxToolBar::InsertButton(std::unique_ptr<CUxToolbarButton> button, int insertAt) {
  if (!button || !IsCommandPermitted(button->m_nCommandId)) return -1;
  if (insertAt != -1 && (insertAt < 0 || insertAt > GetCount())) return -1;
  if (insertAt == -1) insertAt = GetCount();
  // The chevron stays last.
  if (m_pCustomizeBtn && insertAt == GetCount()) --insertAt;
  button->OnChangeParentWnd(this);
  m_Buttons.insert(m_Buttons.begin() + insertAt, std::move(button));
  return insertAt;
}

int CUxToolBar::InsertButtonCopy(const CUxToolbarButton& button, int insertAt) {
  std::unique_ptr<CObject> object = button.GetRuntimeClass()->createObject();
  auto* copy = dynamic_cast<CUxToolbarButton*>(object.get());
  if (!copy) return -1;
  object.release();
  std::unique_ptr<CUxToolbarButton> owned(copy);
  owned->CopyFrom(button);
  return InsertButton(std::move(owned), insertAt);
}

int CUxToolBar::InsertSeparator(int insertAt) {
  if (m_Buttons.empty() || insertAt == 0) return -1;
  auto separator = std::make_unique<CUxToolbarButton>();
  separator->m_nStyle = kStyleSeparator;
  return InsertButton(std::move(separator), insertAt);
}

void CUxToolBar::RemoveAllButtons() {
  m_iButtonCapture = m_iHighlighted = m_iSelected = m_iHot = -1;
  m_pCustomizeBtn = nullptr;
  while (!m_Buttons.empty()) {
    std::unique_ptr<CUxToolbarButton> button = std::move(m_Buttons.front());
    m_Buttons.erase(m_Buttons.begin());
    forgetButton(button.get());
    button->OnCancelMode();
  }
  m_AcellKeys.clear();
}

bool CUxToolBar::RemoveButton(int index) {
  if (!GetButton(index)) return false;
  if (m_pCustomizeBtn && GetButton(index) == m_pCustomizeBtn) return false;
  const auto eraseAt = [this](int at) {
    std::unique_ptr<CUxToolbarButton> button = std::move(m_Buttons[static_cast<size_t>(at)]);
    m_Buttons.erase(m_Buttons.begin() + at);
    forgetButton(button.get());
    button->OnCancelMode();
    for (int* tracked : {&m_iSelected, &m_iButtonCapture, &m_iHighlighted}) {
      if (*tracked == at) *tracked = -1;
      else if (*tracked > at) --*tracked;
    }
  };
  eraseAt(index);
  const auto lastBeforeChevron = [this] { return GetCount() - (m_pCustomizeBtn ? 2 : 1); };
  while (GetButton(lastBeforeChevron()) && (GetButton(lastBeforeChevron())->m_nStyle & kStyleSeparator))
    eraseAt(lastBeforeChevron());
  const CUxToolbarButton* before = GetButton(index - 1);
  const CUxToolbarButton* after = GetButton(index);
  if (before && after && (before->m_nStyle & kStyleSeparator) && (after->m_nStyle & kStyleSeparator)) eraseAt(index);
  OnSetHotButton(m_iHighlighted);
  RebuildAccelerationKeys();
  return true;
}

void CUxToolBar::forgetButton(const CUxToolbarButton* button) {
  if (m_pDragButton == button) m_pDragButton = nullptr;
  // The chevron's list is refreshed only by the next layout, which may come after its menu opens.
  if (m_pCustomizeBtn && m_pCustomizeBtn != button) m_pCustomizeBtn->ForgetButton(button);
}

void CUxToolBar::RebuildAccelerationKeys() {
  m_AcellKeys.clear();
  for (auto& button : m_Buttons) {
    if (button->m_nStyle & kStyleSeparator) continue;
    // "&&" stands for an ampersand, not for a mnemonic.
    const PrefixedText decoded = stripPrefixes(button->m_strText);
    if (decoded.acceleratorIndex < 0 || decoded.acceleratorIndex >= static_cast<int>(decoded.visible.size())) continue;
    const QString letter = QString::fromStdWString(decoded.visible.substr(static_cast<size_t>(decoded.acceleratorIndex), 1)).toUpper();
    if (!letter.isEmpty()) m_AcellKeys[static_cast<wchar_t>(letter.at(0).unicode())] = button.get();
  }
}

void CUxToolBar::SetButtonStyle(int index, unsigned style) {
  CUxToolbarButton* button = GetButton(index);
  if (!button || button->m_nStyle == style) return;
  const unsigned old = button->m_nStyle;
  if (style & kStyleDisabled) style &= ~kStylePressed;
  button->SetStyle(style);
  if (!((old & kStylePressed) && (style & kStylePressed))) InvalidateButton(index);
}

CUxToolbarButton* CUxToolBar::InvalidateButton(int index) {
  CUxToolbarButton* button = GetButton(index);
  if (!button) return nullptr;
  Rect r = button->GetRect().inflated(10, 10);
  if (button == m_pCustomizeBtn) {
    const Size extra = m_pCustomizeBtn->GetExtraSize();
    r = r.inflated(extra.cx, extra.cy);
  }
  update(QRect(ClientToWidget(r.topLeft()), QSize(r.width(), r.height())));
  return button;
}

void CUxToolBar::EnableTextLabels(bool enable) {
  if (m_bMenuMode) return;
  m_bTextLabels = enable;
  AdjustLayout();
}

bool CUxToolBar::SetDefaultButtonText(CUxToolbarButton* button) {
  if (!button || button->m_nCommandId == 0 || button->m_nCommandId == 0xFFFFFFFFu) return false;
  const std::wstring full = commandString(button->m_nCommandId).substr(0, 256);
  const size_t newline = full.find(L'\n');
  if (newline == std::wstring::npos) return false;
  std::wstring label = full.substr(newline + 1);
  if (const size_t next = label.find(L'\n'); next != std::wstring::npos) label.resize(next);
  if (label.empty()) return false;
  button->m_strText = label;
  return true;
}

void CUxToolBar::OnGlobalFontsChanged() {
  for (auto& button : m_Buttons) button->OnGlobalFontsChanged();
}

void CUxToolBar::SetHot(CUxToolbarButton* button) {
  if (!button) {
    m_iHot = -1;
    return;
  }
  const int index = ButtonToIndex(button);
  if (index != m_iHot) OnSetHotButton(index);
}

int CUxToolBar::UpdateAllButtons(unsigned command, std::vector<CUxToolbarButton*>& result) {
  result.clear();
  for (CUxToolBar* bar : GetAllToolbars())
    for (auto& button : bar->m_Buttons)
      if (button->m_nCommandId == command) result.push_back(button.get());
  return static_cast<int>(result.size());
}

void CUxToolBar::RecalcDelayShow() {
  CUxControlBar::RecalcDelayShow();
  if (!IsFloating()) AdjustLocations();
}
