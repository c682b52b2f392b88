#include "study/skin/script_watchdog.h"

#include <time.h>

#include <atomic>

#include "platform/trace.h"

namespace study {
namespace {

// Often enough to stop within a few milliseconds of the limit, rarely enough to cost nothing.
constexpr int kInstructionsPerCheck = 1000;

// The registry key of a state's watch: the address of this object, which the hook (called at
// every return) finds without hashing a string.
const char kWatchKey = 0;

std::atomic<std::chrono::milliseconds::rep> gLimitMs{kSkinRunTimeLimit.count()};
std::atomic<std::chrono::milliseconds::rep> gCeilingMs{kSkinRunWallCeiling.count()};

ScriptWatch* watchOf(lua_State* state) {
  lua_pushlightuserdata(state, const_cast<char*>(&kWatchKey));
  lua_rawget(state, LUA_REGISTRYINDEX);
  auto* watch = static_cast<ScriptWatch*>(lua_touserdata(state, -1));
  lua_pop(state, 1);
  return watch;
}

// The steady clock at the resolution of its tick (a few milliseconds), which the hook looks at
// at every return: read without asking for the time to the nanosecond, it costs a fraction of
// the precise one, and it never runs ahead of it.
std::chrono::steady_clock::time_point coarseNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return std::chrono::steady_clock::time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

// The limit the run has reached, if any; pushes the next look at the processor clock on as far as
// the time left allows.
std::optional<std::chrono::milliseconds> reachedLimit(ScriptDeadline& deadline) {
  const auto now = coarseNow();
  if (now >= deadline.ceilingAt) return skinRunWallCeiling();
  if (now < deadline.nextLook) return std::nullopt;
  const ThreadCpuClock::duration left = deadline.stopAt - ThreadCpuClock::now();
  if (left <= ThreadCpuClock::duration::zero()) return skinRunTimeLimit();
  deadline.nextLook = now + left;
  return std::nullopt;
}

void watchHook(lua_State* state, lua_Debug*) {
  ScriptWatch* watch = watchOf(state);
  if (!watch) return;
  if (watch->stopMessage.empty()) {
    if (!watch->deadline) return;
    const std::optional<std::chrono::milliseconds> limit = reachedLimit(*watch->deadline);
    if (!limit) return;
    // In a hook, level 0 is the function that runs; a host call that returns has no line of its
    // own, so the line is that of the script that called it.
    luaL_where(state, 0);
    if (lua_objlen(state, -1) == 0) {
      lua_pop(state, 1);
      luaL_where(state, 1);
    }
    watch->stopMessage = std::string(lua_tostring(state, -1)) +
                         platform::format("スキンのスクリプトが %g 秒以内に終わらなかったため止めました",
                                          static_cast<double>(limit->count()) / 1000.0);
    lua_pop(state, 1);
    platform::traceError("%s\n", watch->stopMessage.c_str());
  }
  // From here on every instruction fails, so that a pcall of the script cannot catch the stop
  // and go on.
  lua_sethook(state, watchHook, LUA_MASKCOUNT, 1);
  lua_pushstring(state, watch->stopMessage.c_str());
  lua_error(state);
}

}  // namespace

ThreadCpuClock::time_point ThreadCpuClock::now() noexcept {
  timespec spent{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
  return time_point(std::chrono::seconds(spent.tv_sec) + std::chrono::nanoseconds(spent.tv_nsec));
}

std::chrono::milliseconds skinRunTimeLimit() { return std::chrono::milliseconds(gLimitMs.load()); }
void setSkinRunTimeLimit(std::chrono::milliseconds limit) { gLimitMs.store(limit.count()); }
std::chrono::milliseconds skinRunWallCeiling() { return std::chrono::milliseconds(gCeilingMs.load()); }
void setSkinRunWallCeiling(std::chrono::milliseconds ceiling) { gCeilingMs.store(ceiling.count()); }

void installScriptWatch(lua_State* state, ScriptWatch& watch) {
  lua_pushlightuserdata(state, const_cast<char*>(&kWatchKey));
  lua_pushlightuserdata(state, &watch);
  lua_rawset(state, LUA_REGISTRYINDEX);
  // Threads a script makes inherit the hook of the thread that makes them. A run that waits in a
  // host call runs few instructions between its waits, but each wait ends in a return.
  lua_sethook(state, watchHook, LUA_MASKCOUNT | LUA_MASKRET, kInstructionsPerCheck);
}

TimedScriptRun::TimedScriptRun(lua_State* state) : watch_(watchOf(state)) {
  if (!watch_ || watch_->deadline) return;
  const auto now = std::chrono::steady_clock::now();
  watch_->deadline =
      ScriptDeadline{ThreadCpuClock::now() + skinRunTimeLimit(), now + skinRunTimeLimit(), now + skinRunWallCeiling()};
  armed_ = true;
}

TimedScriptRun::~TimedScriptRun() {
  if (armed_) watch_->deadline.reset();
}

std::optional<std::string> scriptStopMessage(lua_State* state) {
  const ScriptWatch* watch = watchOf(state);
  if (!watch || watch->stopMessage.empty()) return std::nullopt;
  return watch->stopMessage;
}

void stopScript(lua_State* state, const std::string& message) {
  if (ScriptWatch* watch = watchOf(state)) watch->stopMessage = message;
}

}  // namespace study
