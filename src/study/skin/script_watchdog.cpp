#include "study/skin/script_watchdog.h"

#include <time.h>

#include <atomic>

#include "platform/trace.h"

namespace study {
namespace {

// Often enough to stop within a few milliseconds of the limit, rarely enough to cost nothing.
constexpr int kInstructionsPerCheck = 1000;

const char kWatchKey[] = "kelvara.script-watch";

std::atomic<std::chrono::milliseconds::rep> gLimitMs{kSkinRunTimeLimit.count()};

ScriptWatch* watchOf(lua_State* state) {
  lua_getfield(state, LUA_REGISTRYINDEX, kWatchKey);
  auto* watch = static_cast<ScriptWatch*>(lua_touserdata(state, -1));
  lua_pop(state, 1);
  return watch;
}

// Whether the run has spent its time; pushes the next look on as far as the time left allows.
bool reached(ScriptDeadline& deadline) {
  if (std::chrono::steady_clock::now() < deadline.nextLook) return false;
  const ThreadCpuClock::duration left = deadline.stopAt - ThreadCpuClock::now();
  if (left <= ThreadCpuClock::duration::zero()) return true;
  deadline.nextLook = std::chrono::steady_clock::now() + left;
  return false;
}

void watchHook(lua_State* state, lua_Debug*) {
  ScriptWatch* watch = watchOf(state);
  if (!watch) return;
  if (watch->stopMessage.empty()) {
    if (!watch->deadline || !reached(*watch->deadline)) return;
    luaL_where(state, 0);  // in a hook, level 0 is the function that runs
    watch->stopMessage = std::string(lua_tostring(state, -1)) +
                         platform::format("スキンのスクリプトが %g 秒以内に終わらなかったため止めました",
                                          static_cast<double>(skinRunTimeLimit().count()) / 1000.0);
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

void installScriptWatch(lua_State* state, ScriptWatch& watch) {
  lua_pushlightuserdata(state, &watch);
  lua_setfield(state, LUA_REGISTRYINDEX, kWatchKey);
  // Threads a script makes inherit the hook of the thread that makes them.
  lua_sethook(state, watchHook, LUA_MASKCOUNT, kInstructionsPerCheck);
}

TimedScriptRun::TimedScriptRun(lua_State* state) : watch_(watchOf(state)) {
  if (!watch_ || watch_->deadline) return;
  watch_->deadline = ScriptDeadline{ThreadCpuClock::now() + skinRunTimeLimit(),
                                    std::chrono::steady_clock::now() + skinRunTimeLimit()};
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
