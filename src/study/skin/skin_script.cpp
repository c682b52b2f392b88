#include "study/skin/skin_script.h"

#include "platform/windows/notifier.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "study/skin/lua50_compat.h"
#include "study/skin/script_watchdog.h"
#include "study/skin/skin_text.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <limits>
#include <cstdlib>

namespace study {
namespace {

std::atomic<SkinHost*> currentHost{nullptr};

void pushRawGlobal(lua_State* state, const char* name) {
  lua_pushstring(state, name);
  lua_rawget(state, LUA_GLOBALSINDEX);
}

// Hands an error message (on the stack top, popped) to _ALERT as 5.0's lua_dostring did.
void alert(lua_State* state) {
  pushRawGlobal(state, "_ALERT");
  if (lua_isfunction(state, -1)) {
    lua_insert(state, -2);
    if (lua_pcall(state, 1, 0, 0) != 0) {
      platform::traceError("_ALERT failed: %s\n", describeLuaValue(state, -1).c_str());
      lua_pop(state, 1);
    }
    return;
  }
  lua_pop(state, 1);
  platform::traceError("%s\n", describeLuaValue(state, -1).c_str());
  lua_pop(state, 1);
}

// A stopped state runs nothing more: its stop stands as the error of every later run.
bool pushStopMessage(lua_State* state) {
  const std::optional<std::string> message = scriptStopMessage(state);
  if (!message) return false;
  lua_pushlstring(state, message->data(), message->size());
  return true;
}

}  // namespace

std::recursive_mutex& skinLock() {
  static std::recursive_mutex lock;
  return lock;
}

SkinHost* scriptHost() { return currentHost.load(); }
void setScriptHost(SkinHost* host) { currentHost.store(host); }

bool RunSkinFile(lua_State* state, const std::string& utf8Path) {
  std::string text;
  if (!readSkinFile(utf8Path, text)) {
    platform::messageBox(nullptr, L"スキンファイル " + platform::fromUtf8(utf8Path) + L" が開けませんでした",
                         L"KLV DoFile", platform::MbOk);
    return false;
  }
  const std::string chunkName = "@" + utf8Path;
  if (isPrecompiledChunk(text)) {
    // Nothing of a refused file runs, so each callback the skin would have defined would fail in
    // turn with a message of its own. The state stops instead, and the host reports the refusal
    // once, as it reports any stop.
    stopScript(state, precompiledChunkRefusal(chunkName.c_str()));
    if (scriptStopMessage(state)) return true;
  }
  DoSkinString(state, text, chunkName.c_str());
  return true;
}

int DoSkinString(lua_State* state, std::string_view utf8Text, const char* chunkName) {
  const int top = lua_gettop(state);
  if (pushStopMessage(state)) {
    lua_settop(state, top);
    return LUA_ERRRUN;
  }
  TimedScriptRun timed(state);
  int status = loadLua50Chunk(state, utf8Text, chunkName);
  if (status == 0) status = lua_pcall(state, 0, LUA_MULTRET, 0);
  // A stopped run is reported by the host as the skin's script error; an alert would say it twice.
  if (status != 0 && !scriptStopMessage(state)) alert(state);
  lua_settop(state, top);
  return status;
}

int CallScriptGlobal(lua_State* state, const char* name) {
  if (pushStopMessage(state)) return LUA_ERRRUN;
  TimedScriptRun timed(state);
  pushRawGlobal(state, name);
  return lua_pcall(state, 0, LUA_MULTRET, 0);
}

bool HasScriptFunction(lua_State* state, const char* name) {
  pushRawGlobal(state, name);
  const bool function = lua_isfunction(state, -1);
  lua_pop(state, 1);
  return function;
}

std::string describeLuaValue(lua_State* state, int index) {
  if (lua_type(state, index) == LUA_TSTRING || lua_type(state, index) == LUA_TNUMBER) {
    lua_pushvalue(state, index);  // a copy: tolstring converts numbers in place
    size_t length = 0;
    const char* text = lua_tolstring(state, -1, &length);
    std::string result(text, length);
    lua_pop(state, 1);
    return result;
  }
  const int type = lua_type(state, index);
  lua_pushvalue(state, index);
  pushRawGlobal(state, "tostring");
  if (lua_isfunction(state, -1)) {
    lua_insert(state, -2);
    if (lua_pcall(state, 1, 1, 0) == 0 && lua_type(state, -1) == LUA_TSTRING) {
      std::string result = lua_tostring(state, -1);
      lua_pop(state, 1);
      return result;
    }
  } else {
    lua_remove(state, -2);
  }
  lua_pop(state, 1);
  switch (type) {
    case LUA_TNONE:
    case LUA_TNIL: return "nil";
    case LUA_TBOOLEAN: return lua_toboolean(state, index) ? "true" : "false";
    default: return platform::format("%s: %p", lua_typename(state, type), lua_topointer(state, index));
  }
}

int LuaAlertHandler(lua_State* state) {
  const std::string message = describeLuaValue(state, -1);
  platform::messageBox(nullptr, platform::fromUtf8(message), L"KLV-Lua", platform::MbOk);
  return 0;
}

int LuaPrint(lua_State* state) {
  std::string line;
  const int arguments = lua_gettop(state);
  for (int i = 1; i <= arguments; ++i) line += describeLuaValue(state, i) + "\t";
  line += "\n";
  // The skin author's console: printed whether or not the program's own trace is on.
  platform::writeConsole(line);
  return 0;
}

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

uint32_t parseHexColor(std::string_view text) {
  if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text.front()))) return 0;
  const std::string digits(text);
  const uint32_t rgb = static_cast<uint32_t>(std::strtoull(digits.c_str(), nullptr, 16)) & 0xFFFFFF;
  return (rgb >> 16) | (rgb & 0x00FF00) | ((rgb & 0xFF) << 16);
}

uint32_t parseHexColor(std::wstring_view text) { return parseHexColor(platform::toUtf8(text)); }

}  // namespace study
