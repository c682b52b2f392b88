#include "uictl/bars/buttons/toolbar_menu_button.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/menus/tear_off_ids.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarMenuButton, CUxToolbarButton, kVersionableSchema | 1,
                                createInstance<CUxToolbarMenuButton>)

namespace {

// Deeper item trees in an archive are taken as damage, not as menus; the store refuses what the
// load would refuse, so nothing is written that cannot be read back.
constexpr int kMaxStoredMenuDepth = 32;
thread_local int t_archiveDepth = 0;

class ArchiveDepth {
 public:
  ArchiveDepth() {
    if (++t_archiveDepth > kMaxStoredMenuDepth) {
      --t_archiveDepth;
      throw ArchiveException(ArchiveException::BadClass);
    }
  }
  ~ArchiveDepth() { --t_archiveDepth; }
  ArchiveDepth(const ArchiveDepth&) = delete;
  ArchiveDepth& operator=(const ArchiveDepth&) = delete;
};

constexpr unsigned kPressedOrChecked = kStylePressed | kStyleChecked;

// Every workspace this library knows leaves its data version unstated, which counts as new
// enough to carry tear-off ids; without a workspace they are never in the stream.
bool streamHasTearOffId() { return workspace() != nullptr; }

}  // namespace

CUxToolbarMenuButton::CUxToolbarMenuButton() = default;

CUxToolbarMenuButton::CUxToolbarMenuButton(unsigned commandId, MenuHandle menu, int image, const wchar_t* text,
                                           bool userImage)
    : CUxToolbarButton(commandId, image, text, userImage) {
  CreateFromMenu(menu);
}

CUxToolbarMenuButton::~CUxToolbarMenuButton() {
  // An open popup would otherwise write into this button once it goes.
  if (CUxPopupMenu* popup = m_pPopupMenu) {
    m_pPopupMenu = nullptr;
    popup->SetParentButton(nullptr);
    popup->m_bAutoDestroyParent = false;
    popup->close();
  }
  SetTearOffId(0);
}

void CUxToolbarMenuButton::SetTearOffId(unsigned id) {
  if (id == m_uiTearOffId) return;
  if (TearOffIds* manager = tearOffManager()) {
    if (m_uiTearOffId != 0) manager->SetInUse(m_uiTearOffId, false);
    if (id != 0) manager->SetInUse(id, true);
  }
  m_uiTearOffId = id;
}

Size CUxToolbarMenuButton::arrowGlyphSize() {
  const Size glyph = MenuImages::GlyphSize();
  const int k = CUxToolBar::g_bLargeIcons ? 2 : 1;
  return {glyph.cx * k, glyph.cy * k};
}

void CUxToolbarMenuButton::GetMenuItemMetrics(int& left, int& glyph) {
  left = CUxToolBar::GetMenuImageSize().cx / 2 + 3;
  glyph = MenuImages::GlyphSize().cx;
}

void CUxToolbarMenuButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  m_bDrawDownArrow = !hasRealCommand() || !m_listCommands.empty();
  if (dynamic_cast<CUxMenuBar*>(parent)) {
    m_bShowText = true;
    m_bShowImage = false;
    m_bDrawDownArrow = hasRealCommand() && !m_listCommands.empty();
  }
  m_bMenuMode = dynamic_cast<CUxPopupMenuBar*>(parent) != nullptr;
  if (m_bMenuMode) {
    m_bShowText = true;
    m_bShowImage = false;
  }
  m_pWndParent = parent;
}

void CUxToolbarMenuButton::CreateFromMenu(MenuHandle menu) {
  m_listCommands.clear();
  const int count = getMenuItemCount(menu);
  const unsigned defaultItem = getMenuDefaultItem(menu);
  for (int i = 0; i < count; ++i) {
    const unsigned position = static_cast<unsigned>(i);
    auto item = std::make_unique<CUxToolbarMenuButton>();
    item->m_nCommandId = getMenuItemId(menu, i);
    item->m_strText = getMenuString(menu, position, MfByPosition);
    if (item->m_nCommandId == kSubMenuCommand) {
      // A sub-menu that can be torn off carries its id in its title.
      item->SetTearOffId(takeTearOffId(item->m_strText));
      item->CreateFromMenu(getSubMenu(menu, i));
    } else if (item->m_nCommandId == defaultItem) item->m_bDefault = true;
    if (getMenuState(menu, position, MfByPosition) & MfMenuBreak) item->m_nStyle |= kStyleMenuBreak;
    m_listCommands.push_back(std::move(item));
  }
}

MenuHandle CUxToolbarMenuButton::ExportToMenu() const {
  if (m_listCommands.empty() && hasRealCommand() && !m_bMenuOnly) return {};
  const MenuHandle menu = createPopupMenu();
  unsigned defaultItem = kMenuError;
  for (const auto& item : m_listCommands) {
    bool appended = false;
    if (item->m_nCommandId == 0) {
      appended = appendMenu(menu, MfSeparator, 0);
    } else if (item->m_nCommandId == kSubMenuCommand) {
      const MenuHandle sub = item->ExportToMenu();
      appended = sub && appendMenu(menu, MfPopup, sub.id(), titleWithTearOffId(item->m_strText, item->m_uiTearOffId));
      if (!appended && sub) destroyMenu(sub);
    } else {
      unsigned flags = MfString;
      if (item->m_nStyle & kStyleMenuBreak) flags |= MfMenuBreak;
      if (item->HasTearOffId()) flags |= MfMenuBarBreak;
      appended = appendMenu(menu, flags, item->m_nCommandId, item->m_strText);
      if (item->m_bDefault) defaultItem = item->m_nCommandId;
    }
    if (!appended) {
      destroyMenu(menu);
      return {};
    }
  }
  if (defaultItem != kMenuError) setMenuDefaultItem(menu, defaultItem);
  return menu;
}

Size CUxToolbarMenuButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  m_bHorzArrow = horizontal;
  if (m_bMenuMode) return menuItemSize(dc, sizeDefault);
  int arrow = 0;
  if (m_bDrawDownArrow) {
    const Size glyph = arrowGlyphSize();
    arrow = (horizontal ? glyph.cx : glyph.cy) - 1;
  }
  Size size = CUxToolbarButton::OnCalculateSize(dc, sizeDefault, horizontal);
  const int along = arrow + 2 * CUxVisualManager::GetInstance()->GetMenuImageMargin();
  if (horizontal) size.cx += along;
  else size.cy += along;
  return size;
}

void CUxToolbarMenuButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal,
                                  bool customizeMode, bool highlight, bool drawBorder, bool grayDisabledButtons) {
  if (m_bMenuMode) {
    DrawMenuItem(dc, rect, images, customizeMode, highlight, grayDisabledButtons);
    return;
  }
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const bool open = IsDroppedDown();
  FillInterior(dc, rect, highlight || open);

  const Size glyph = arrowGlyphSize();
  const Size extra = manager->GetButtonExtraSize();
  Rect outer = rect;
  if (m_bExtraSize && (extra.cx != 0 || extra.cy != 0)) outer = rect.deflated(extra.cx / 2 + 1, extra.cy / 2 + 1);
  const int margin = manager->GetMenuImageMargin();
  Rect content = horizontal ? Rect{rect.left + margin, rect.top, rect.right - margin, rect.bottom}
                            : Rect{rect.left, rect.top + margin, rect.right, rect.bottom - margin};
  Rect arrow;
  if (m_bDrawDownArrow) {
    arrow = outer;
    if (horizontal) {
      content.right -= glyph.cx + 2;
      arrow.left = content.right - 1;
      arrow = arrow.offset(-extra.cx / 2, 0);
    } else {
      content.bottom -= glyph.cy + 2;
      arrow.top = content.bottom - 1;
    }
  }

  const bool split = hasRealCommand() && !m_bMenuOnly;
  const bool openedFromArrow = m_bClickedOnMenu && split;
  const unsigned style = m_nStyle;
  m_nStyle = ImageLookStyle();
  const bool noFill = m_bNoFill;
  m_bNoFill = true;
  CUxToolbarButton::OnDraw(dc, content, images, horizontal, customizeMode, highlight, false, grayDisabledButtons);
  m_bNoFill = noFill;

  const bool pressedOrChecked = m_nStyle & kPressedOrChecked;
  if (m_bDrawDownArrow) {
    Rect cell = arrow;
    if (pressedOrChecked && !manager->bFlatMenus) cell = cell.offset(1, 1);
    if (split && (highlight || pressedOrChecked || open)) {
      const Rect strip = horizontal ? Rect{arrow.left, arrow.top, arrow.left + 2, arrow.bottom}
                                    : Rect{arrow.left, arrow.top, arrow.right, arrow.top + 2};
      manager->OnDrawMenuButtonBorder(dc, this, strip, (highlight || pressedOrChecked) ? 1 : 0, open);
    }
    const bool disabled = IsDisabledIn(customizeMode);
    int id = disabled ? kGlyphArrowRightDisabled : kGlyphArrowRight;
    if (horizontal && !m_bMenuOnly) id = disabled ? kGlyphArrowDownDisabled : kGlyphArrowDown;
    if (open && !pressedOrChecked && !manager->bFlatMenus) cell = cell.offset(1, 1);
    MenuImages::Draw(dc, id, {cell.left + (cell.width() - glyph.cx) / 2, cell.top + (cell.height() - glyph.cy) / 2},
                     glyph);
  }
  m_nStyle = style;

  if (!drawBorder) return;
  if ((m_nStyle & kPressedOrChecked) || open) {
    if (manager->bFlatMenus) {
      manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
    } else if (openedFromArrow) {
      manager->OnDrawButtonBorder(dc, this, content, ButtonHighlighted);
      manager->OnDrawButtonBorder(dc, this, {arrow.left, arrow.top, arrow.right - 1, arrow.bottom - 1}, ButtonPressed);
    } else {
      manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
    }
  } else if (highlight && !(m_nStyle & (kStyleChecked | kStyleDisabled | kStyleIndeterminate))) {
    manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
  }
}

unsigned CUxToolbarMenuButton::ImageLookStyle() const {
  if (CUxVisualManager::GetInstance()->bFlatMenus) return m_nStyle & ~kPressedOrChecked;
  if (m_bClickedOnMenu && hasRealCommand() && !m_bMenuOnly) return m_nStyle & ~kStylePressed;
  return IsDroppedDown() ? m_nStyle | kStylePressed : m_nStyle;
}

int CUxToolbarMenuButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  const int used = CUxToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  if (hasRealCommand() && m_listCommands.empty()) return used;
  const Size glyph = MenuImages::GlyphSize();
  MenuImages::Draw(dc, selected ? kGlyphArrowRightSelected : kGlyphArrowRight,
                   {rect.right - glyph.cx - 1, rect.top + (rect.height() - glyph.cy) / 2});
  const GlobalDrawData& data = globalData();
  dc->draw3dRect({rect.right - glyph.cx - 3, rect.top + 2, rect.right - glyph.cx - 1, rect.bottom - 2},
                 data.clrBtnShadow, data.clrBtnHighlight);
  return rect.width();
}

void CUxToolbarMenuButton::CopyFrom(const CUxToolbarButton& source) {
  if (&source == this) return;
  CUxToolbarButton::CopyFrom(source);
  m_listCommands.clear();
  const auto* other = dynamic_cast<const CUxToolbarMenuButton*>(&source);
  if (!other) return;
  m_bDefault = other->m_bDefault;
  m_bMenuOnly = other->m_bMenuOnly;
  m_bRadio = other->m_bRadio;
  m_pWndMessage = other->m_pWndMessage;
  m_bOpenRight = other->m_bOpenRight;
  SetTearOffId(other->m_uiTearOffId);
  for (const auto& item : other->m_listCommands) {
    std::unique_ptr<CObject> object = item->GetRuntimeClass()->createObject();
    auto* copy = dynamic_cast<CUxToolbarMenuButton*>(object.get());
    if (!copy) continue;
    object.release();
    m_listCommands.emplace_back(copy);
    copy->CopyFrom(*item);
  }
}

bool CUxToolbarMenuButton::CompareWith(const CUxToolbarButton& other) const {
  const auto* menu = dynamic_cast<const CUxToolbarMenuButton*>(&other);
  if (!menu || m_nCommandId != other.m_nCommandId || m_listCommands.size() != menu->m_listCommands.size())
    return false;
  for (size_t i = 0; i < m_listCommands.size(); ++i)
    if (!m_listCommands[i]->CompareWith(*menu->m_listCommands[i])) return false;
  return true;
}

void CUxToolbarMenuButton::SetRadio() {
  m_bRadio = true;
  auto* bar = dynamic_cast<CUxToolBar*>(m_pWndParent);
  if (!bar) return;
  const int margin = CUxVisualManager::GetInstance()->GetMenuImageMargin();
  const int left = m_rect.left + margin;
  const QPoint corner = bar->ClientToWidget({left, m_rect.top});
  bar->update(QRect(corner, QSize(CUxToolBar::GetMenuImageSize().cx + margin, m_rect.height())));
}

void CUxToolbarMenuButton::ResetImageToDefault() {
  CUxToolbarButton::ResetImageToDefault();
  for (auto& item : m_listCommands) item->ResetImageToDefault();
}

void CUxToolbarMenuButton::Serialize(Archive& ar) {
  CUxToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    const ArchiveDepth depth;
    if (streamHasTearOffId()) ar.writeU32(m_uiTearOffId);
    ar.writeCount(static_cast<uint32_t>(m_listCommands.size()));
    for (const auto& item : m_listCommands) ar.writeObject(item.get());
    return;
  }
  m_listCommands.clear();
  SetTearOffId(streamHasTearOffId() ? ar.readU32() : 0);
  const ArchiveDepth depth;
  MenuItemList loaded;
  for (uint32_t n = ar.readCount(); n > 0; --n) {
    std::unique_ptr<CObject> object = ar.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton));
    if (!object) throw ArchiveException(ArchiveException::BadClass);
    loaded.emplace_back(static_cast<CUxToolbarMenuButton*>(object.release()));
  }
  m_listCommands = std::move(loaded);
}
