#include "platform/windows/command_target.h"

#include <map>
#include <mutex>

namespace platform {

QEvent::Type registerWindowMessage(const std::string& name) {
  static std::mutex lock;
  static std::map<std::string, QEvent::Type> types;
  std::lock_guard<std::mutex> guard(lock);
  auto it = types.find(name);
  if (it != types.end()) return it->second;
  const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  types.emplace(name, type);
  return type;
}

}  // namespace platform
