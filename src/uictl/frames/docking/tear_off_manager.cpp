#include "uictl/frames/docking/tear_off_manager.h"

#include "platform/trace.h"

#include <limits>

using namespace platform;

namespace {

constexpr wchar_t kMarker = 1;

// Rewrites a submenu item's title in place (the submenu stays with the menu).
void setPopupTitle(MenuHandle menu, int position, const std::wstring& title) {
  const MenuHandle sub = getSubMenu(menu, position);
  const unsigned state = getMenuState(menu, static_cast<unsigned>(position), MfByPosition) & 0xFF;
  removeMenu(menu, static_cast<unsigned>(position), MfByPosition);
  insertMenu(menu, static_cast<unsigned>(position), MfByPosition | MfPopup | (state & ~unsigned(MfPopup)), sub.id(),
             title);
}

}  // namespace

TearOffManager::TearOffManager(unsigned firstId, unsigned lastId) {
  if (firstId == 0 || lastId < firstId) return;
  m_nFirstId = firstId;
  m_nLastId = lastId;
  m_useCounts.assign(lastId - firstId + 1, 0);
}

TearOffManager::~TearOffManager() {
  if (tearOffManager() == this) setTearOffManager(nullptr);
}

unsigned TearOffManager::GetFreeId() {
  for (size_t i = 0; i < m_useCounts.size(); ++i)
    if (m_useCounts[i] == 0) {
      m_useCounts[i] = 1;
      return m_nFirstId + static_cast<unsigned>(i);
    }
  return 0;
}

void TearOffManager::SetInUse(unsigned id, bool use) {
  if (!inRange(id)) return;
  int& count = m_useCounts[id - m_nFirstId];
  if (use) ++count;
  else if (count > 0) --count;
}

int TearOffManager::UseCount(unsigned id) const { return inRange(id) ? m_useCounts[id - m_nFirstId] : 0; }

void TearOffManager::Build(unsigned id, std::wstring& text) {
  text = format(L"%lc%u%lc%ls", kMarker, id, kMarker, text.c_str());
}

unsigned TearOffManager::Parse(std::wstring& text) {
  if (text.empty() || text[0] != kMarker) return 0;
  // Without the closing marker the title is not one of ours: it stays whole.
  const size_t end = text.find(kMarker, 1);
  if (end == std::wstring::npos) return 0;
  // Only a whole number that fits an id: anything else between the markers is not ours either.
  unsigned long long id = 0;
  for (size_t i = 1; i < end; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return 0;
    id = id * 10 + static_cast<unsigned>(text[i] - L'0');
    if (id > std::numeric_limits<unsigned>::max()) return 0;
  }
  if (id == 0) return 0;
  text.erase(0, end + 1);
  return static_cast<unsigned>(id);
}

void TearOffManager::ParseMenu(MenuHandle menu) {
  for (int i = 0, count = getMenuItemCount(menu); i < count; ++i) {
    const MenuHandle sub = getSubMenu(menu, i);
    if (!sub) continue;
    std::wstring title = getMenuString(menu, static_cast<unsigned>(i), MfByPosition);
    if (const unsigned id = Parse(title)) SetInUse(id, true);
    ParseMenu(sub);
  }
}

void TearOffManager::SetupTearOffMenus(MenuHandle menu) {
  for (int i = 0, count = getMenuItemCount(menu); i < count; ++i) {
    const MenuHandle sub = getSubMenu(menu, i);
    if (!sub) continue;
    if (getMenuState(menu, static_cast<unsigned>(i), MfByPosition) & MfMenuBarBreak) {
      const unsigned id = GetFreeId();
      if (id == 0) return;
      std::wstring title = getMenuString(menu, static_cast<unsigned>(i), MfByPosition);
      Build(id, title);
      setPopupTitle(menu, i, title);
    }
    SetupTearOffMenus(sub);
  }
}
