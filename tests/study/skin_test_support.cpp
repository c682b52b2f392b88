#include "skin_test_support.h"

#include "study/skin/skin_script.h"
#include "test_env.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace skintest {

std::string freshFolder() {
  static std::atomic<int> counter{0};
  const std::filesystem::path folder =
      std::filesystem::path(testenv::processDir()) / ("case" + std::to_string(++counter));
  std::filesystem::create_directories(folder);
  return folder.string();
}

std::string writeFile(const std::string& folder, const std::string& name, const std::string& bytes) {
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ProgramLuaState::ProgramLuaState() {
  lua_State* state = state_.reopen();
  study::LuaScript(state).OpenLibraries();
  lua_register(state, "_ALERT", study::LuaAlertHandler);
  lua_register(state, "print", study::LuaPrint);
}

int ProgramLuaState::run(const std::string& utf8Source) {
  return study::DoSkinString(state_.get(), utf8Source, "=test");
}

}  // namespace skintest
