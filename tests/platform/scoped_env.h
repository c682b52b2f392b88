// Test helpers that point the program's per-user folders at a fresh temporary folder for one test.
#pragma once

#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/notifier.h"

namespace testenv {

// Sets an environment variable (or removes it for a null value) until the guard goes.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (previous_) setenv(name_.c_str(), previous_->c_str(), 1);
    else unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// A temporary folder that is also the configuration folder, so each test starts with an empty
// registry.
class FreshConfig {
 public:
  FreshConfig() : config_("XDG_CONFIG_HOME", dir_.path().toUtf8().constData()) {}
  std::string path() const { return dir_.path().toStdString(); }
  std::wstring wpath() const { return dir_.path().toStdWString(); }

 private:
  QTemporaryDir dir_;
  ScopedEnv config_;
};

// Records every message box instead of showing it and answers with a fixed button.
struct BoxRecorder : platform::Notifier {
  explicit BoxRecorder(int answer = platform::IdOk) : answer(answer), use(*this) {}
  int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
    texts.push_back(text);
    captions.push_back(caption);
    this->flags.push_back(flags);
    return answer;
  }
  int answer;
  std::vector<std::wstring> texts, captions;
  std::vector<unsigned> flags;

 private:
  platform::NotifierOverride use;
};

}  // namespace testenv
