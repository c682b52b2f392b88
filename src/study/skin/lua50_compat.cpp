// The library shims of the 5.0 compatibility layer (see lua50_compat.h).
#include "study/skin/lua50_compat.h"

#include "platform/text.h"
#include "study/skin/skin_text.h"

#include <string>

namespace study {
namespace {

const char kSizesKey[] = "kelvara.lua50.sizes";

int absoluteIndex(lua_State* state, int index) {
  return index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(state) + index + 1;
}

// 5.0 counted a number, or a text that reads as one; anything else is "no size".
int sizeValue(lua_State* state, int index) {
  if (!lua_isnumber(state, index)) return -1;
  return static_cast<int>(lua_tonumber(state, index));
}

// Sizes given by setn to tables without an "n" field; weak, so tables still get collected.
void pushSizes(lua_State* state) {
  lua_getfield(state, LUA_REGISTRYINDEX, kSizesKey);
  if (lua_istable(state, -1)) return;
  lua_pop(state, 1);
  lua_newtable(state);
  lua_newtable(state);
  lua_pushliteral(state, "k");
  lua_setfield(state, -2, "__mode");
  lua_setmetatable(state, -2);
  lua_pushvalue(state, -1);
  lua_setfield(state, LUA_REGISTRYINDEX, kSizesKey);
}

// Calls the function this shim replaced (upvalue 1) with the shim's arguments; all its results.
int callOriginal(lua_State* state) {
  const int arguments = lua_gettop(state);
  lua_pushvalue(state, lua_upvalueindex(1));
  lua_insert(state, 1);
  lua_call(state, arguments, LUA_MULTRET);
  return lua_gettop(state);
}

// What the load functions return: the chunk, or nil and the message.
int loadResult(lua_State* state, int status) {
  if (status == 0) return 1;
  lua_pushnil(state);
  lua_insert(state, -2);
  return 2;
}

int getn50(lua_State* state, int table) {
  table = absoluteIndex(state, table);
  lua_pushliteral(state, "n");
  lua_rawget(state, table);
  int n = sizeValue(state, -1);
  lua_pop(state, 1);
  if (n >= 0) return n;
  pushSizes(state);
  lua_pushvalue(state, table);
  lua_rawget(state, -2);
  n = sizeValue(state, -1);
  lua_pop(state, 2);
  if (n >= 0) return n;
  for (n = 1;; ++n) {
    lua_rawgeti(state, table, n);
    const bool end = lua_isnil(state, -1);
    lua_pop(state, 1);
    if (end) return n - 1;
  }
}

void setn50(lua_State* state, int table, int n) {
  table = absoluteIndex(state, table);
  lua_pushliteral(state, "n");
  lua_rawget(state, table);
  const bool hasField = sizeValue(state, -1) >= 0;
  lua_pop(state, 1);
  if (hasField) {
    lua_pushliteral(state, "n");
    lua_pushnumber(state, n);
    lua_rawset(state, table);
    return;
  }
  pushSizes(state);
  lua_pushvalue(state, table);
  lua_pushnumber(state, n);
  lua_rawset(state, -3);
  lua_pop(state, 1);
}

int tableGetn(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  lua_pushnumber(state, getn50(state, 1));
  return 1;
}

int tableSetn(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  setn50(state, 1, luaL_checkint(state, 2));
  return 0;
}

int tableInsert(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  int valueIndex = lua_gettop(state);
  int n = getn50(state, 1) + 1;
  int position = n;
  if (valueIndex != 2) {
    position = luaL_checkint(state, 2);
    if (position > n) n = position;
    valueIndex = 3;
  }
  setn50(state, 1, n);
  while (--n >= position) {
    lua_rawgeti(state, 1, n);
    lua_rawseti(state, 1, n + 1);
  }
  lua_pushvalue(state, valueIndex);
  lua_rawseti(state, 1, position);
  return 0;
}

int tableRemove(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  const int n = getn50(state, 1);
  int position = luaL_optint(state, 2, n);
  if (n <= 0) return 0;
  setn50(state, 1, n - 1);
  lua_rawgeti(state, 1, position);
  for (; position < n; ++position) {
    lua_rawgeti(state, 1, position + 1);
    lua_rawseti(state, 1, position);
  }
  lua_pushnil(state);
  lua_rawseti(state, 1, n);
  return 1;
}

int tableForeachi(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  luaL_checktype(state, 2, LUA_TFUNCTION);
  const int n = getn50(state, 1);
  for (int i = 1; i <= n; ++i) {
    lua_pushvalue(state, 2);
    lua_pushnumber(state, i);
    lua_rawgeti(state, 1, i);
    lua_call(state, 2, 1);
    if (!lua_isnil(state, -1)) return 1;
    lua_pop(state, 1);
  }
  return 0;
}

// The 5.1 functions count with the length operator; hand them the 5.0 count instead.
int tableConcat(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  lua_settop(state, 4);
  if (lua_isnil(state, 4)) {
    lua_pushnumber(state, getn50(state, 1));
    lua_replace(state, 4);
  }
  return callOriginal(state);
}

int baseUnpack(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  const int first = luaL_optint(state, 2, 1);
  const int last = lua_isnoneornil(state, 3) ? getn50(state, 1) : luaL_checkint(state, 3);
  if (first > last) return 0;
  const long count = static_cast<long>(last) - first + 1;
  if (count >= 1000000 || !lua_checkstack(state, static_cast<int>(count)))
    return luaL_error(state, "too many results to unpack");
  for (int i = first; i <= last; ++i) lua_rawgeti(state, 1, i);
  return static_cast<int>(count);
}

int tableSort(lua_State* state) {
  luaL_checktype(state, 1, LUA_TTABLE);
  const int n = getn50(state, 1);
  lua_settop(state, 2);
  if (static_cast<size_t>(n) == lua_objlen(state, 1)) return callOriginal(state);
  // Sort a copy of elements 1..n, so that what lies beyond the 5.0 count stays where it is.
  lua_createtable(state, n, 0);
  for (int i = 1; i <= n; ++i) {
    lua_rawgeti(state, 1, i);
    lua_rawseti(state, 3, i);
  }
  lua_pushvalue(state, lua_upvalueindex(1));
  lua_pushvalue(state, 3);
  lua_pushvalue(state, 2);
  lua_call(state, 2, 0);
  for (int i = 1; i <= n; ++i) {
    lua_rawgeti(state, 3, i);
    lua_rawseti(state, 1, i);
  }
  return 0;
}

// collectgarbage(limit): 5.0 set a threshold in kilobytes and collected at once when the
// threshold lay below what was in use. The incremental collector has no threshold to set, so
// a limit below the use collects and a higher one leaves the collector running as it is.
int baseCollectGarbage(lua_State* state) {
  if (lua_isnoneornil(state, 1) || lua_isnumber(state, 1)) {
    const int limit = luaL_optint(state, 1, 0);
    if (limit < lua_gc(state, LUA_GCCOUNT, 0)) lua_gc(state, LUA_GCCOLLECT, 0);
    return 0;
  }
  return callOriginal(state);
}

// for k, v in t do: 5.0 iterated a table with the global next.
int forInIterator(lua_State* state) {
  lua_settop(state, 3);
  if (!lua_istable(state, 1)) return 3;
  lua_pushliteral(state, "next");
  lua_rawget(state, LUA_GLOBALSINDEX);
  lua_pushvalue(state, 1);
  lua_pushvalue(state, 3);
  return 3;
}

int baseLoadstring(lua_State* state) {
  size_t length = 0;
  const char* source = luaL_checklstring(state, 1, &length);
  const char* chunkName = luaL_optstring(state, 2, source);
  return loadResult(state, loadLua50Chunk(state, std::string_view(source, length), chunkName));
}

// Loads a file the way skin files are loaded (code page, source pass); 0 on success.
int loadFile50(lua_State* state, const char* path) {
  std::string text;
  if (!readSkinFile(path, text)) {
    lua_pushfstring(state, "cannot open %s", path);
    return LUA_ERRFILE;
  }
  const std::string chunkName = std::string("@") + path;
  return loadLua50Chunk(state, text, chunkName.c_str());
}

// Without a file name both read standard input: the 5.1 originals do that.
int baseLoadfile(lua_State* state) {
  if (lua_isnoneornil(state, 1)) return callOriginal(state);
  return loadResult(state, loadFile50(state, luaL_checkstring(state, 1)));
}

int baseDofile(lua_State* state) {
  if (lua_isnoneornil(state, 1)) return callOriginal(state);
  const char* path = luaL_checkstring(state, 1);
  lua_settop(state, 1);
  if (loadFile50(state, path) != 0) return lua_error(state);
  lua_call(state, 0, LUA_MULTRET);
  return lua_gettop(state) - 1;
}

// Replaces table[name] with f, giving f the old value as its upvalue.
void replaceField(lua_State* state, int table, const char* name, lua_CFunction function) {
  table = absoluteIndex(state, table);
  lua_getfield(state, table, name);
  lua_pushcclosure(state, function, 1);
  lua_setfield(state, table, name);
}

}  // namespace

bool isPrecompiledChunk(std::string_view source) {
  if (source.starts_with(platform::kUtf8Bom)) source.remove_prefix(platform::kUtf8Bom.size());
  return !source.empty() && source.front() == LUA_SIGNATURE[0];
}

std::string precompiledChunkRefusal(const char* chunkName) {
  const std::string_view name = chunkName && (*chunkName == '@' || *chunkName == '=') ? chunkName + 1 : "[string]";
  return std::string(name) + ": コンパイル済みの Lua チャンクは読み込めません (スキンはテキストファイルです)";
}

int loadLua50Chunk(lua_State* state, std::string_view source, const char* chunkName) {
  // Precompiled chunks bypass the compiler's checks, and malformed bytecode can break the
  // interpreter's memory safety: a skin and whatever it loads must be source text.
  if (isPrecompiledChunk(source)) {
    const std::string refusal = precompiledChunkRefusal(chunkName);
    lua_pushlstring(state, refusal.data(), refusal.size());
    return LUA_ERRSYNTAX;
  }
  const std::string translated = translateLua50Source(source);
  return luaL_loadbuffer(state, translated.data(), translated.size(), chunkName);
}

void installLua50Compat(lua_State* state) {
  lua_getglobal(state, "table");
  if (lua_istable(state, -1)) {
    static const luaL_Reg plain[] = {{"getn", tableGetn},
                                     {"setn", tableSetn},
                                     {"insert", tableInsert},
                                     {"remove", tableRemove},
                                     {"foreachi", tableForeachi},
                                     {nullptr, nullptr}};
    for (const luaL_Reg* entry = plain; entry->name; ++entry) {
      lua_pushcfunction(state, entry->func);
      lua_setfield(state, -2, entry->name);
    }
    replaceField(state, -1, "concat", tableConcat);
    replaceField(state, -1, "sort", tableSort);
  }
  lua_pop(state, 1);

  lua_pushcfunction(state, baseUnpack);
  lua_setglobal(state, "unpack");
  lua_pushcfunction(state, forInIterator);
  lua_setglobal(state, "__klv_forin");
  replaceField(state, LUA_GLOBALSINDEX, "collectgarbage", baseCollectGarbage);
  lua_pushcfunction(state, baseLoadstring);
  lua_setglobal(state, "loadstring");
  // 5.0 had no load; 5.1's takes any chunk a reader function gives, precompiled ones included.
  lua_pushnil(state);
  lua_setglobal(state, "load");
  replaceField(state, LUA_GLOBALSINDEX, "loadfile", baseLoadfile);
  replaceField(state, LUA_GLOBALSINDEX, "dofile", baseDofile);
}

}  // namespace study
