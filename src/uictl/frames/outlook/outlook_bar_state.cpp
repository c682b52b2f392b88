// The outlook bar's saved state and its defaults: pages in the toolbar's archive, the default
// pages beside the resource's button list, and the reset to both; with the chevron's commands.
#include "platform/settings/archive.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/frames/outlook/outlook_bar.h"
#include "uictl/frames/workspace_version.h"

#include <map>

using namespace platform;

namespace {

// The pages as the framework stores an object list.
void storePages(Archive& ar, const std::vector<std::unique_ptr<CUxOutlookBarPage>>& pages) {
  ar.writeCount(static_cast<uint32_t>(pages.size()));
  for (const auto& page : pages) ar.writeObject(page.get());
}

std::vector<std::unique_ptr<CUxOutlookBarPage>> loadPages(Archive& ar) {
  std::vector<std::unique_ptr<CUxOutlookBarPage>> pages;
  for (uint32_t n = ar.readCount(); n > 0; --n) {
    std::unique_ptr<CObject> object = ar.readObject(KELVARA_RUNTIME_CLASS(CUxOutlookBarPage));
    if (!object) throw ArchiveException(ArchiveException::BadClass);
    pages.emplace_back(static_cast<CUxOutlookBarPage*>(object.release()));
  }
  return pages;
}

class PageListImage : public CObject {
 public:
  explicit PageListImage(const std::vector<std::unique_ptr<CUxOutlookBarPage>>& pages) : pages_(pages) {}
  void Serialize(Archive& ar) override { storePages(ar, pages_); }

 private:
  const std::vector<std::unique_ptr<CUxOutlookBarPage>>& pages_;
};

}  // namespace

void CUxOutlookBar::Serialize(Archive& ar) {
  CUxToolBar::Serialize(ar);
  const bool thickness = workspaceDataVersionAtLeast(4, 70), pages = workspaceDataVersionAtLeast(4, 71);
  if (ar.IsStoring()) {
    if (thickness) ar.writeI32(m_nBarThickness);
    if (pages) storePages(ar, m_Pages);
    ar.writeI32(m_nVisibleLargePageButtons);
    return;
  }
  // Everything is read before the pages change, so a damaged archive leaves them as they were.
  const int storedThickness = thickness ? ar.readI32() : m_nBarThickness;
  std::vector<std::unique_ptr<CUxOutlookBarPage>> loaded;
  if (pages) loaded = loadPages(ar);
  const int largeShown = workspaceDataVersionAtLeast(6, 32) ? ar.readI32() : m_nVisibleLargePageButtons;

  std::map<unsigned, QPointer<QWidget>> windows;
  for (const auto& page : m_Pages) windows[page->m_nPageID] = page->m_hwndPage;
  m_Pages.clear();
  m_nActivePageID = -1;
  m_nBarThickness = storedThickness;
  for (auto& page : loaded) {
    if (const auto found = windows.find(page->m_nPageID); found != windows.end()) page->m_hwndPage = found->second;
    page->CreatePageButton(this);
    m_Pages.push_back(std::move(page));
  }
  m_nVisibleLargePageButtons = largeShown;
  if (!m_Pages.empty()) SetActivePage(static_cast<int>(m_Pages.front()->m_nPageID), false);
  else AdjustLayout();
}

bool CUxOutlookBar::SaveOriginalState(CUxRegistry& registry) {
  if (!CUxToolBar::SaveOriginalState(registry)) return false;
  PageListImage image(m_DefaultPages);
  return registry.Write(L"OriginalPages", image);
}

bool CUxOutlookBar::LoadLastOriginalState(CUxRegistry& registry) {
  bool changed = CUxToolBar::LoadLastOriginalState(registry);
  if (!changed) {
    std::vector<uint8_t> bytes;
    std::vector<std::unique_ptr<CUxOutlookBarPage>> saved;
    if (!registry.ReadBytes(L"OriginalPages", bytes) || !archiveSafely([&] {
          Archive ar(Archive::Load, bytes);
          saved = loadPages(ar);
        }))
      return false;
    changed = saved.size() != m_DefaultPages.size();
    for (size_t i = 0; !changed && i < saved.size(); ++i) changed = saved[i]->m_strName != m_DefaultPages[i]->m_strName;
  }
  if (changed) ResetAll();
  return changed;
}

bool CUxOutlookBar::SmartUpdate(const std::vector<CUxToolbarButton*>& previous) {
  if (previous.empty()) return false;
  bool differs = previous.size() != m_OrigButtons.size();
  for (size_t i = 0; !differs && i < previous.size(); ++i) differs = !previous[i]->CompareWith(*m_OrigButtons[i]);
  if (!differs) return false;
  ResetAll();
  return true;
}

bool CUxOutlookBar::ResetAll() {
  if (m_OrigButtons.empty()) return false;
  const int active = m_nActivePageID;
  m_nVisibleLargePageButtons = -1;
  RemoveAllButtons();
  for (const auto& original : m_OrigButtons) InsertButtonCopy(*original);
  m_Pages.clear();
  for (const auto& original : m_DefaultPages) {
    auto page = std::make_unique<CUxOutlookBarPage>(*original);
    page->CreatePageButton(this);
    m_Pages.push_back(std::move(page));
  }
  m_nActivePageID = -1;
  AdjustLayout();
  SetActivePage(FindPage(active) ? active : -1, false);
  update();
  return true;
}

// The chevron's commands.

bool CUxOutlookBar::onCommand(unsigned id, int) {
  if (id == kCmdShowMorePageButtons) ShowMorePageButtons();
  else if (id == kCmdShowFewerPageButtons) ShowFewerPageButtons();
  else return false;
  return true;
}

void CUxOutlookBar::onUpdateCommandUi(CommandUi& state) {
  if (state.id == kCmdShowMorePageButtons) state.enable(CanShowMorePageButtons());
  else if (state.id == kCmdShowFewerPageButtons) state.enable(CanShowFewerPageButtons());
  else if (state.id >= kCmdShowMorePageButtons && state.id <= kCmdShowMorePageButtons + 10) state.enable(true);
}

void CUxOutlookBar::OnUpdateCmdUI(CommandTarget* target, bool disableIfNoHandler) {
  CUxToolBar::OnUpdateCmdUI(target, disableIfNoHandler);
  if (m_pWndToolBar && m_pWndToolBar->isVisible()) m_pWndToolBar->OnUpdateCmdUI(this, disableIfNoHandler);
}
