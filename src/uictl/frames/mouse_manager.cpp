#include "uictl/frames/mouse_manager.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxMouseManager, CObject, kNoSchema, ::platform::createInstance<CUxMouseManager>)

namespace {
CUxMouseManager* g_mouseManager = nullptr;
}

CUxMouseManager* mouseManager() { return g_mouseManager; }

CUxMouseManager::CUxMouseManager() { g_mouseManager = this; }

CUxMouseManager::~CUxMouseManager() {
  if (g_mouseManager == this) g_mouseManager = nullptr;
}

void CUxMouseManager::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeU32(static_cast<uint32_t>(m_viewCommands.size()));
    for (const auto& [view, command] : m_viewCommands) {
      ar.writeU32(static_cast<uint32_t>(view));
      ar.writeU32(command);
    }
    ar.writeCount(static_cast<uint32_t>(m_viewIds.size()));
    for (const auto& [name, view] : m_viewIds) {
      ar.writeString(name);
      ar.writeU32(static_cast<uint32_t>(view));
    }
    return;
  }
  std::map<int, unsigned> commands;
  for (uint32_t n = ar.readU32(); n > 0; --n) {
    const int view = static_cast<int>(ar.readU32());
    commands[view] = ar.readU32();
  }
  std::map<std::wstring, int> names;
  for (uint32_t n = ar.readCount(); n > 0; --n) {
    std::wstring name = ar.readString();
    names[name] = static_cast<int>(ar.readU32());
  }
  m_viewCommands = std::move(commands);
  m_viewIds = std::move(names);
}
