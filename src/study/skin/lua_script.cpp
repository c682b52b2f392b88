#include "study/skin/lua_script.h"

#include "platform/trace.h"
#include "study/skin/lua50_compat.h"

namespace study {

lua_State* LuaState::reopen() {
  close();
  watch_ = ScriptWatch{};
  state_ = luaL_newstate();
  if (state_) installScriptWatch(state_, watch_);
  return state_;
}

void LuaState::close() {
  if (state_) lua_close(state_);
  state_ = nullptr;
}

void LuaScript::OpenLibraries() {
  // Lua 5.1's openers use their function environment, so they must be called, not invoked.
  static const luaL_Reg libraries[] = {
      {"", luaopen_base},           {LUA_TABLIBNAME, luaopen_table}, {LUA_IOLIBNAME, luaopen_io},
      {LUA_OSLIBNAME, luaopen_os},  {LUA_STRLIBNAME, luaopen_string},
      {LUA_MATHLIBNAME, luaopen_math},
  };
  for (const luaL_Reg& library : libraries) {
    lua_pushcfunction(state_, library.func);
    lua_pushstring(state_, library.name);
    lua_call(state_, 1, 0);
  }
  installLua50Compat(state_);
}

// The host reads and writes raw: it runs outside protected mode, where an error raised by a
// skin's metamethod (a "strict globals" guard, say) would end the process.
namespace {

void pushGlobal(lua_State* state, const char* name) {
  lua_pushstring(state, name);
  lua_rawget(state, LUA_GLOBALSINDEX);
}

void setField(lua_State* state) { lua_rawset(state, -3); }

}  // namespace

double LuaScript::GetGlobalNumber(const char* name) {
  pushGlobal(state_, name);
  const double value = lua_tonumber(state_, -1);
  lua_pop(state_, 1);
  return value;
}

std::string LuaScript::GetGlobalString(const char* name) {
  pushGlobal(state_, name);
  std::string text;
  if (lua_isstring(state_, -1)) {
    size_t length = 0;
    const char* bytes = lua_tolstring(state_, -1, &length);
    text.assign(bytes, length);
  }
  lua_pop(state_, 1);
  return text;
}

void LuaScript::BeginTable(const char* key) {
  lua_pushstring(state_, key);
  lua_newtable(state_);
}

int LuaScript::PushGlobalTable(const char* name) {
  pushGlobal(state_, name);
  const int type = lua_type(state_, -1);
  if (type != LUA_TTABLE) platform::trace("%s is not a table...\n", name);
  return type;
}

int LuaScript::PushFieldTable(const char* name) {
  if (lua_istable(state_, -1)) {
    lua_pushstring(state_, name);
    lua_rawget(state_, -2);
  } else {
    lua_pushnil(state_);
  }
  const int type = lua_type(state_, -1);
  if (type != LUA_TTABLE) platform::trace("%s is not a table...\n", name);
  return type;
}

void LuaScript::SetFunction(const char* name, lua_CFunction function) {
  lua_pushstring(state_, name);
  lua_pushcclosure(state_, function, 0);
  setField(state_);
}

void LuaScript::SetString(const char* name, const std::string& text) {
  lua_pushstring(state_, name);
  lua_pushlstring(state_, text.data(), text.size());
  setField(state_);
}

void LuaScript::SetNumber(const char* name, double value) {
  lua_pushstring(state_, name);
  lua_pushnumber(state_, value);
  setField(state_);
}

void LuaScript::SetBoolean(const char* name, bool flag) {
  lua_pushstring(state_, name);
  lua_pushboolean(state_, flag);
  setField(state_);
}

void LuaScript::SetIndexNumber(double index, double value) {
  lua_pushnumber(state_, index);
  lua_pushnumber(state_, value);
  setField(state_);
}

void LuaScript::SetIndexNil(double index) {
  lua_pushnumber(state_, index);
  lua_pushnil(state_);
  setField(state_);
}

}  // namespace study
