// A skin is someone else's code: a run of it (its main chunk, a callback, the inspection) that
// takes too long is stopped by an instruction-count hook, and the stopped state is never run
// again, so that `while true do end` in a skin cannot freeze the program. A run's time is the
// processor time of the thread that runs it: a machine busy with other programs never stretches a
// quick callback into a stop, while a loop that never ends always reaches the limit. A run that
// waits off the processor (a sleep, a child process, a read, box after box) spends little of that
// time, so a ceiling on the time that passes, well above the limit, stops it as well; it is looked
// at also whenever a function returns, which a run that waits does between its waits.
#pragma once

#include <lua.hpp>

#include <chrono>
#include <optional>
#include <string>

namespace study {

inline constexpr std::chrono::milliseconds kSkinRunTimeLimit{5000};
inline constexpr std::chrono::milliseconds kSkinRunWallCeiling{30000};

// The limits in force; tests shorten them so as not to wait for them.
std::chrono::milliseconds skinRunTimeLimit();
void setSkinRunTimeLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds skinRunWallCeiling();
void setSkinRunWallCeiling(std::chrono::milliseconds ceiling);

// The calling thread's processor time.
struct ThreadCpuClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<ThreadCpuClock>;
  static constexpr bool is_steady = true;
  static time_point now() noexcept;
};

// When a timed run is stopped: once the thread of the run has spent `stopAt` on its processor
// clock, or once `ceilingAt` has come on the steady clock. The processor clock is dear to read,
// and a thread spends no more processor time than time passes, so the hook reads it only once
// `nextLook` has come on the steady clock.
struct ScriptDeadline {
  ThreadCpuClock::time_point stopAt;
  std::chrono::steady_clock::time_point nextLook;
  std::chrono::steady_clock::time_point ceilingAt;
};

// What the hook of one state knows. Owned by the state's LuaState.
struct ScriptWatch {
  std::optional<ScriptDeadline> deadline;
  std::string stopMessage;  // set once a run was stopped
};

// Hooks a fresh state to its watch; the watch must outlive the state.
void installScriptWatch(lua_State* state, ScriptWatch& watch);

// While it lives, the state's runs are stopped once the limit has passed. A run inside a run
// (a file a callback loads) keeps the outer deadline. States without a watch run unbounded.
class TimedScriptRun {
 public:
  explicit TimedScriptRun(lua_State* state);
  ~TimedScriptRun();
  TimedScriptRun(const TimedScriptRun&) = delete;
  TimedScriptRun& operator=(const TimedScriptRun&) = delete;

 private:
  ScriptWatch* watch_;
  bool armed_ = false;
};

// The error of the run that was stopped, when one was: such a state is not run again.
std::optional<std::string> scriptStopMessage(lua_State* state);
// Marks a state stopped without running it (its skin was stopped in another state).
void stopScript(lua_State* state, const std::string& message);

}  // namespace study
