// The thin wrapper over a Lua state that the skin engine and the skin inspection share.
#pragma once

#include <lua.hpp>

#include <string>

#include "study/skin/script_watchdog.h"

namespace study {

// Owns one Lua state: closed when replaced or destroyed. Its runs are timed (script_watchdog.h).
class LuaState {
 public:
  LuaState() = default;
  ~LuaState() { close(); }
  LuaState(const LuaState&) = delete;
  LuaState& operator=(const LuaState&) = delete;

  // Closes the state it holds (if any) and opens a fresh one without libraries, whose runs are
  // stopped when they take too long.
  lua_State* reopen();
  void close();
  lua_State* get() const { return state_; }
  explicit operator bool() const { return state_ != nullptr; }

 private:
  lua_State* state_ = nullptr;
  ScriptWatch watch_;
};

// Works on a state it does not own. "The table" is the one lying below the values an operation
// pushes; the Set... operations leave it on the stack.
class LuaScript {
 public:
  explicit LuaScript(lua_State* state = nullptr) : state_(state) {}
  lua_State* state() const { return state_; }

  // base, table, io, os, string, math in this order, then the shims that keep scripts written for
  // Lua 5.0 running; no debug library and no loading of C modules.
  void OpenLibraries();

  // 0 when the global is missing or no number.
  double GetGlobalNumber(const char* name);
  // The global as UTF-8 text; "" when it is nil or not convertible.
  std::string GetGlobalString(const char* name);

  // Pushes the key and a new empty table; the caller fills it and stores it with lua_settable.
  void BeginTable(const char* key);
  // Push the global / the field of the table on top; the value stays pushed even when it is no
  // table (a line on stdout says so). Returns the Lua type of the value.
  int PushGlobalTable(const char* name);
  int PushFieldTable(const char* name);

  void SetFunction(const char* name, lua_CFunction function);
  void SetString(const char* name, const std::string& text);
  void SetNumber(const char* name, double value);
  void SetBoolean(const char* name, bool flag);
  // Lua's 1-based index.
  void SetIndexNumber(double index, double value);
  void SetIndexNil(double index);

 private:
  lua_State* state_;
};

}  // namespace study
