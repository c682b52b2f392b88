// Helpers shared by the skin and dictionary tests: a message-box recorder, files in a private
// folder, and a Lua state opened the way the program opens it.
#pragma once

#include "platform/windows/notifier.h"
#include "study/skin/lua_script.h"
#include "study/skin/script_watchdog.h"

#include <string>
#include <vector>

namespace skintest {

struct Box {
  std::wstring caption;
  std::wstring text;
};

// Records every message box shown while it lives (answers OK).
class BoxRecorder : public platform::Notifier {
 public:
  BoxRecorder() : use_(*this) {}
  int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
    boxes.push_back({caption, text});
    return platform::IdOk;
  }
  std::vector<Box> boxes;

 private:
  platform::NotifierOverride use_;
};

// Lowers the time a skin may run (and, when given, the ceiling on the time that passes) while it
// lives.
class ShortSkinTimeLimit {
 public:
  explicit ShortSkinTimeLimit(std::chrono::milliseconds limit,
                              std::chrono::milliseconds ceiling = study::kSkinRunWallCeiling) {
    study::setSkinRunTimeLimit(limit);
    study::setSkinRunWallCeiling(ceiling);
  }
  ~ShortSkinTimeLimit() {
    study::setSkinRunTimeLimit(study::kSkinRunTimeLimit);
    study::setSkinRunWallCeiling(study::kSkinRunWallCeiling);
  }
};

// A fresh folder per call, below the test process's own folder.
std::string freshFolder();
// Writes bytes to a file and returns its path.
std::string writeFile(const std::string& folder, const std::string& name, const std::string& bytes);
std::string readFile(const std::string& path);

// A state with the program's libraries, the 5.0 shims, and the real alert and print handlers.
class ProgramLuaState {
 public:
  ProgramLuaState();
  lua_State* get() const { return state_.get(); }
  study::LuaScript script() const { return study::LuaScript(state_.get()); }
  // Runs a chunk like a skin file; returns the status.
  int run(const std::string& utf8Source);

 private:
  study::LuaState state_;
};

}  // namespace skintest
