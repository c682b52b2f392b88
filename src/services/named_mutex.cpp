#include "services/named_mutex.h"

bool NamedMutex::Create(const std::wstring& name) {
  if (lock_.locked()) return false;
  if (!lock_.tryLock(name)) return false;
  owned_ = true;
  return true;
}

bool NamedMutex::Release() {
  if (!owned_) return false;
  owned_ = false;
  return true;
}

bool NamedMutex::Close() {
  if (!lock_.locked()) return false;
  lock_.unlock();
  owned_ = false;
  return true;
}
