// Running skin scripts: the skin lock, the script host pointer, reading and running skin files,
// calling the skin's callbacks, and the way script errors and prints reach the user.
#pragma once

#include <lua.hpp>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace study {

class SkinHost;

// One lock for the whole program guards every use of the study window's Lua state. It is
// recursive: the UI thread takes it again while it already holds it (reload inside a command).
std::recursive_mutex& skinLock();
using SkinLockHolder = std::scoped_lock<std::recursive_mutex>;

// The window whose Lua state is current; host functions reach it only through this pointer.
// Written under the skin lock.
SkinHost* scriptHost();
void setScriptHost(SkinHost* host);

// Reads a skin file (code page 932 or UTF-8 with a byte-order mark, converted whole) and runs
// it as one chunk. A file that cannot be opened shows "KLV DoFile" and gives false; errors of
// the chunk go to _ALERT and still give true. A precompiled file is refused: the state is
// stopped with the refusal as its error (script_watchdog.h), without an alert.
bool RunSkinFile(lua_State* state, const std::string& utf8Path);

// Compiles and runs a chunk as Lua 5.0's lua_dostring did: a compile or run-time error is handed
// to the global _ALERT once (to stderr when there is none). Leaves the stack as it found it and
// returns the status (0 = success). A run that takes too long is stopped (script_watchdog.h)
// without an alert: the host reports the stop as the skin's script error.
int DoSkinString(lua_State* state, std::string_view utf8Text, const char* chunkName);

// Calls the global with no arguments (all results, no error handler) and returns lua_pcall's
// status; the results or the error message stay on the stack for the caller to drop. On a
// stopped state nothing runs and the stop is the error.
int CallScriptGlobal(lua_State* state, const char* name);
// The global, read as CallScriptGlobal reads it, is a function.
bool HasScriptFunction(lua_State* state, const char* name);

// _ALERT, _ERRORMESSAGE and the panic function: shows the value on the stack top in a "KLV-Lua"
// box. A value that is not a string (a table, nil) is shown as tostring gives it.
int LuaAlertHandler(lua_State* state);
// print: every argument as tostring gives it, each followed by a tab, then a line feed, to stdout
// (always: it does not depend on the diagnostic trace).
int LuaPrint(lua_State* state);
// The value at the index as text, the way tostring shows it; never fails.
std::string describeLuaValue(lua_State* state, int index);

// Script numbers used as coordinates, slot numbers or sizes: truncated toward zero to 32 bits
// (saturated at the ends; not-a-number is 0).
int truncateToInt(double value);

// RRGGBB (read as scanf's "%x" does, low 24 bits) to a COLORREF with red in the low byte;
// a text that does not start with a hexadecimal digit is black.
uint32_t parseHexColor(std::string_view text);
uint32_t parseHexColor(std::wstring_view text);

}  // namespace study
