// What the watch over a skin's runs costs the skin: a timed run of a loop that calls a small Lua
// function (argument 0) or a library function written in C (argument 1) at every turn, in a
// state hooked as the program hooks a skin's, beside the same run in a state without the watch.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include "study/skin/script_watchdog.h"

namespace {

constexpr int kTurns = 100000;

const char kLoops[] =
    "local function step(n) return n + 1 end\n"
    "function LuaCalls(turns) local n = 0 for i = 1, turns do n = step(n) end return n end\n"
    "function CCalls(turns) local n = 0 for i = 1, turns do n = n + math.abs(-1) end return n end\n";

void runLoops(benchmark::State& state, bool watched) {
  lua_State* lua = luaL_newstate();
  luaL_openlibs(lua);
  study::ScriptWatch watch;
  if (watched) study::installScriptWatch(lua, watch);
  if (luaL_dostring(lua, kLoops) != 0) state.SkipWithError(lua_tostring(lua, -1));
  const char* loop = state.range(0) == 0 ? "LuaCalls" : "CCalls";
  for (auto _ : state) {
    study::TimedScriptRun timed(lua);
    lua_getglobal(lua, loop);
    lua_pushinteger(lua, kTurns);
    if (lua_pcall(lua, 1, 1, 0) != 0) {
      state.SkipWithError(lua_tostring(lua, -1));
      break;
    }
    benchmark::DoNotOptimize(lua_tointeger(lua, -1));
    lua_pop(lua, 1);
  }
  state.SetItemsProcessed(state.iterations() * kTurns);
  lua_close(lua);
}

void BM_SkinCallsWatched(benchmark::State& state) { runLoops(state, true); }
BENCHMARK(BM_SkinCallsWatched)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SkinCallsUnwatched(benchmark::State& state) { runLoops(state, false); }
BENCHMARK(BM_SkinCallsUnwatched)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
