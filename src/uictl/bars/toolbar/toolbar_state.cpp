// A toolbar's customised button list in the registry: its archive image under the bar's key,
// and, when the workspace asks for it, the button list of its resource so that a changed
// resource can be merged into the saved list.
#include "platform/settings/archive.h"
#include "platform/settings/registry_store.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/ux_registry.h"

#include <QString>

using namespace platform;

namespace {

constexpr unsigned kNoSubId = 0xFFFFFFFFu;
constexpr unsigned kNotStored = kStyleChecked | kStylePressed;

// Stores buttons the bar keeps owning, in the framework's object-list form.
class ButtonListImage : public CObject {
 public:
  explicit ButtonListImage(std::vector<const CUxToolbarButton*> buttons) : buttons_(std::move(buttons)) {}
  void Serialize(Archive& ar) override {
    ar.writeCount(static_cast<uint32_t>(buttons_.size()));
    for (const CUxToolbarButton* button : buttons_) ar.writeObject(button);
  }

 private:
  std::vector<const CUxToolbarButton*> buttons_;
};

bool keepsOriginalState() {
  const auto* option = dynamic_cast<const UxOriginalStateOption*>(workspace());
  return option && option->IsOriginalStateKept();
}

}  // namespace

std::wstring CUxToolBar::stateKeyName(const std::wstring& profileName, int index, unsigned id) const {
  const QString path = QString::fromStdWString(UxGetRegPath(kToolbarProfile, profileName));
  if (index == -1) index = static_cast<int>(GetDlgCtrlID());
  QString key = QStringLiteral("%1UxToolBar-%2").arg(path).arg(index);
  // An index and a sub-id are written side by side: (1, 0x1a) and (11, 0xa) share a key.
  if (id != kNoSubId) key += QString::number(id, 16);
  return key.toStdWString();
}

void CUxToolBar::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    std::vector<const CUxToolbarButton*> stored;
    for (const auto& button : m_Buttons)
      if (button->CanBeStored()) stored.push_back(button.get());
    ButtonListImage(std::move(stored)).Serialize(ar);
    ar.writeU32(m_bTextLabels ? 1 : 0);
    ar.writeString(windowTitle().toStdWString());
    return;
  }
  // Everything is read before the bar changes, so a damaged image leaves the bar as it was.
  std::unique_ptr<CUxToolbarButton> chevron = copyOfCustomizeButton();
  ButtonList loaded;
  for (uint32_t n = ar.readCount(); n > 0; --n) {
    std::unique_ptr<CObject> object = ar.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
    if (!object) {
      // A list with a hole in it: the bar starts again from its resource.
      RemoveAllButtons();
      restoreCustomizeButton(std::move(chevron));
      ReloadFromResource();
      AdjustLocations();
      return;
    }
    loaded.emplace_back(static_cast<CUxToolbarButton*>(object.release()));
  }
  const bool textLabels = ar.readU32() != 0;
  const std::wstring name = ar.readString();
  RemoveAllButtons();
  for (auto& button : loaded) {
    button->m_nStyle &= ~kNotStored;
    button->OnChangeParentWnd(this);
    m_Buttons.push_back(std::move(button));
  }
  restoreCustomizeButton(std::move(chevron));
  if (AllowChangeTextLabels()) m_bTextLabels = textLabels;
  AdjustLocations();
  setWindowTitle(QString::fromStdWString(name));
  removeForbiddenButtons();
}

void CUxToolBar::removeForbiddenButtons() {
  for (unsigned command : forbiddenCommands())
    for (int index = CommandToIndex(command); index >= 0; index = CommandToIndex(command)) RemoveButton(index);
}

bool CUxToolBar::SaveState(const std::wstring& profileName, int index, unsigned id) {
  std::vector<uint8_t> bytes;
  if (!archiveSafely([&] {
        Archive ar(Archive::Store, bytes);
        Serialize(ar);
      }))
    return false;
  // The values of one save reach the file together or not at all.
  RegistryBatch batch;
  CUxRegistry registry(false, false);
  if (!registry.CreateKey(stateKeyName(profileName, index, id))) return false;
  registry.Write(L"Name", windowTitle().toStdWString());
  const bool written = registry.Write(L"Buttons", bytes.data(), bytes.size());
  if (written && keepsOriginalState()) SaveOriginalState(registry);
  return batch.commit() && written;
}

bool CUxToolBar::LoadState(const std::wstring& profileName, int index, unsigned id) {
  CUxRegistry registry(false, true);
  if (!registry.Open(stateKeyName(profileName, index, id))) return false;
  std::vector<uint8_t> bytes;
  if (!registry.ReadBytes(L"Buttons", bytes)) return false;
  if (!archiveSafely([&] {
        Archive ar(Archive::Load, bytes);
        Serialize(ar);
      }))
    return false;
  if (keepsOriginalState()) LoadLastOriginalState(registry);
  AdjustLayout();
  return true;
}

bool CUxToolBar::RemoveStateFromRegistry(const std::wstring& profileName, int index, unsigned id) {
  CUxRegistry registry(false, false);
  return registry.DeleteKey(stateKeyName(profileName, index, id));
}

bool CUxToolBar::SaveOriginalState(CUxRegistry& registry) {
  if (m_OrigButtons.empty()) return false;
  std::vector<const CUxToolbarButton*> originals;
  for (const auto& button : m_OrigButtons) originals.push_back(button.get());
  ButtonListImage image(std::move(originals));
  return registry.Write(L"OriginalItems", image);
}

bool CUxToolBar::LoadLastOriginalState(CUxRegistry& registry) {
  UxObjectList list;
  if (!registry.Read(L"OriginalItems", list)) return false;
  std::vector<CUxToolbarButton*> previous;
  for (const auto& item : list.items) {
    auto* button = dynamic_cast<CUxToolbarButton*>(item.get());
    if (!button) return false;
    previous.push_back(button);
  }
  return SmartUpdate(previous);
}

bool CUxToolBar::SmartUpdate(const std::vector<CUxToolbarButton*>& previous) {
  bool changed = false;
  const auto hasEqual = [](const CUxToolbarButton& button, auto& list) {
    for (const auto& other : list)
      if (button.CompareWith(*other)) return true;
    return false;
  };
  // Taken out of the resource: taken off the bar.
  for (const CUxToolbarButton* old : previous) {
    if (hasEqual(*old, m_OrigButtons)) continue;
    changed = true;
    RemoveButton(CommandToIndex(old->m_nCommandId));
  }
  // Added to the resource: put on the bar where the resource has it.
  for (size_t i = 0; i < m_OrigButtons.size(); ++i) {
    const CUxToolbarButton& original = *m_OrigButtons[i];
    if (hasEqual(original, previous)) continue;
    changed = true;
    const int at = static_cast<int>(i) > GetCount() ? -1 : static_cast<int>(i);
    if (original.m_nCommandId == 0) {
      InsertSeparator(at);
      continue;
    }
    std::unique_ptr<CObject> object = original.GetRuntimeClass()->createObject();
    auto* made = dynamic_cast<CUxToolbarButton*>(object.get());
    if (!made) continue;
    object.release();
    std::unique_ptr<CUxToolbarButton> button(made);
    button->m_bLocked = m_bLocked;
    button->m_nCommandId = original.m_nCommandId;
    const auto image = defaultImages().find(original.m_nCommandId);
    button->SetImage(image == defaultImages().end() ? -1 : image->second);
    InsertButton(std::move(button), at);
  }
  if (previous.size() != m_OrigButtons.size()) {
    changed = true;
  } else {
    for (size_t i = 0; i < previous.size(); ++i)
      if (!m_OrigButtons[i]->CompareWith(*previous[i])) changed = true;
  }
  m_bResourceWasChanged = changed;
  return changed;
}
