// Lua 5.1 standing in for Lua 5.0: skins written for 5.0 must run unchanged. A source pass
// rewrites what 5.1 parses differently, and shims give library functions their 5.0 meaning.
#pragma once

#include <lua.hpp>

#include <string>
#include <string_view>

namespace study {

// Rewrites 5.0 source for 5.1, keeping every line where it was (error lines stay true):
// - nested long brackets ([[ ... [[ ]] ... ]], comments too) get a level that 5.1 reads whole;
// - "--[=[" is a line comment in 5.0 and stays one;
// - "for k, v in t do" over a table iterates the table, as 5.0 did.
std::string translateLua50Source(std::string_view source);

// Translates and compiles a chunk; the function or the error message is left on the stack.
// Precompiled chunks (after a byte-order mark too) are refused with a syntax error.
int loadLua50Chunk(lua_State* state, std::string_view source, const char* chunkName);
// Whether loadLua50Chunk refuses the chunk as precompiled, and the message it refuses it with.
bool isPrecompiledChunk(std::string_view source);
std::string precompiledChunkRefusal(const char* chunkName);

// Installs the 5.0 behaviour of table.getn/setn (with the "n" field) and of the table functions
// that follow them, unpack, collectgarbage(limit), and loadstring/loadfile/dofile with the
// source pass; 5.1's load, which 5.0 lacked, is removed. Called once the libraries are open.
void installLua50Compat(lua_State* state);

}  // namespace study
