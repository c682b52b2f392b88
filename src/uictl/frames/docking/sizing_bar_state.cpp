// The sizing bar's state in the profile: its three sizes, expanded and rolled state under a
// section of the application's key named after the profile and the bar's id.
#include "platform/settings/registry_store.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/frames/docking/sizing_control_bar.h"
#include "uictl/frames/tabs/tab_wnd.h"
#include "uictl/frames/docking/ux_mini_dock_frame.h"

#include <QScreen>
#include <QString>

#include <algorithm>

using namespace platform;

namespace {

std::wstring sectionKey(const std::wstring& profile, unsigned id) {
  const QString section = QStringLiteral("%1-SCBar-%2").arg(QString::fromStdWString(UxGetRegPath(kSizingBarProfile, profile))).arg(id);
  return UxGetAppRegPath() + L"\\" + section.toStdWString();
}

// A missing or unreadable value keeps `fallback`.
int readInt(CUxRegistry& registry, const wchar_t* name, int fallback) {
  int value = fallback;
  return registry.Read(name, value) ? value : fallback;
}

}  // namespace

CUxTabWnd* CUxSizingControlBar::singleTabWindow() const {
  CUxTabWnd* found = nullptr;
  for (QObject* child : children()) {
    auto* tabs = dynamic_cast<CUxTabWnd*>(child);
    if (!tabs) continue;
    if (found) return nullptr;
    found = tabs;
  }
  return found;
}

void CUxSizingControlBar::StoreProfileState(const std::wstring& profile) {
  Size horizontal = m_sizeDockedH, vertical = m_sizeDockedV;
  // An expanded bar keeps the size it goes back to.
  if (m_bFillsRow && IsDockedHorizontally()) horizontal = m_sizeBeforeChange;
  if (m_bFillsRow && IsDockedVertically()) vertical = m_sizeBeforeChange;

  RegistryBatch batch;
  CUxRegistry registry(false, false);
  if (!registry.CreateKey(sectionKey(profile, GetDlgCtrlID()))) return;
  registry.Write(L"sizeHorzCX", horizontal.cx);
  registry.Write(L"sizeHorzCY", horizontal.cy);
  registry.Write(L"sizeVertCX", vertical.cx);
  registry.Write(L"sizeVertCY", vertical.cy);
  registry.Write(L"sizeFloatCX", m_sizeFloating.cx);
  registry.Write(L"sizeFloatCY", m_sizeFloating.cy);
  registry.Write(L"Expanded", m_bFillsRow ? 1 : 0);
  if (m_nRollMode != 0) {
    registry.Write(L"RolledFloat", m_bRolledUp ? 1 : 0);
    registry.Write(L"RolledFloatDynamicState", m_nRollMode);
  }
  if (m_bStoreTabState)
    if (const CUxTabWnd* tabs = singleTabWindow()) registry.Write(L"ActiveTab", tabs->GetActiveTab());
  batch.commit();
}

void CUxSizingControlBar::RestoreProfileState(const std::wstring& profile) {
  CUxRegistry registry(false, true);
  if (!registry.Open(sectionKey(profile, GetDlgCtrlID()))) return;
  // No bar is larger than the frame that docks it or than all screens together, whatever the
  // profile says; nor smaller than its minimum.
  const QWidget* site = dockingFrame();
  QSize largest = site->size();
  if (const QScreen* screen = site->screen()) largest = largest.expandedTo(screen->availableVirtualSize());
  auto width = [&](const wchar_t* name, int current) {
    return std::max(std::min(readInt(registry, name, current), largest.width()), m_sizeMinimum.cx);
  };
  auto height = [&](const wchar_t* name, int current) {
    return std::max(std::min(readInt(registry, name, current), largest.height()), m_sizeMinimum.cy);
  };
  m_sizeDockedH = {width(L"sizeHorzCX", m_sizeDockedH.cx), height(L"sizeHorzCY", m_sizeDockedH.cy)};
  m_sizeDockedV = {width(L"sizeVertCX", m_sizeDockedV.cx), height(L"sizeVertCY", m_sizeDockedV.cy)};
  m_sizeFloating = {width(L"sizeFloatCX", m_sizeFloating.cx), height(L"sizeFloatCY", m_sizeFloating.cy)};
  // A bar already expanded stays so: switching it would contract it.
  if (readInt(registry, L"Expanded", 0) && !m_bFillsRow) SwitchRowFill(true);
  m_bRolledUp = readInt(registry, L"RolledFloat", m_bRolledUp ? 1 : 0) != 0;
  m_nRollMode = readInt(registry, L"RolledFloatDynamicState", m_nRollMode);
  // The auto-roll modes start rolled up, whatever the flag said.
  if (autoRolls(m_nRollMode)) m_bRolledUp = true;
  if (m_nRollMode != 0)
    if (auto* frame = dynamic_cast<CUxMiniDockFrameWnd*>(window())) frame->SetRollState(m_nRollMode, m_bRolledUp);
  if (m_bStoreTabState)
    if (CUxTabWnd* tabs = singleTabWindow()) tabs->ActivateTab(readInt(registry, L"ActiveTab", 0));
}
