// What a hostile skin cannot do: load precompiled code, or keep the program waiting.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "skin_test_support.h"
#include "study/skin/script_watchdog.h"
#include "study/skin/skin_script.h"

using namespace study;
using namespace std::chrono_literals;
using skintest::BoxRecorder;
using skintest::ProgramLuaState;

namespace {

std::string errorText(lua_State* state) { return describeLuaValue(state, -1); }

}  // namespace

TEST(SkinLimits, PrecompiledChunksAreRefusedWhereverTheyComeFrom) {
  BoxRecorder boxes;
  ProgramLuaState lua;
  ASSERT_EQ(lua.run("compiled = string.dump(function() hacked = true end)"), 0);
  const std::string bytecode = lua.script().GetGlobalString("compiled");
  ASSERT_EQ(bytecode.front(), '\x1b');

  const std::string folder = skintest::freshFolder();
  // A skin file: nothing of it runs, and the state stops with the refusal for the host to report.
  for (const std::string& bytes : {bytecode, "\xEF\xBB\xBF" + bytecode}) {
    ProgramLuaState skin;
    EXPECT_TRUE(RunSkinFile(skin.get(), skintest::writeFile(folder, "compiled.lua", bytes)));
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_NE(CallScriptGlobal(skin.get(), "OnUpdate"), 0);
    EXPECT_NE(errorText(skin.get()).find("コンパイル済みの Lua チャンクは読み込めません"), std::string::npos);
  }
  // Loaded by a script: the load fails and the script may go on.
  EXPECT_EQ(lua.run("assert(loadstring(compiled) == nil)\n"
                    "assert(loadfile('" + folder + "/compiled.lua') == nil)\n"
                    "assert(not pcall(dofile, '" + folder + "/compiled.lua'))\n"
                    "assert(load == nil)\n"
                    "assert(hacked == nil)"),
            0);
}

TEST(SkinLimits, ARunThatTakesTooLongIsStoppedAndTheStateIsNotRunAgain) {
  skintest::ShortSkinTimeLimit limit(300ms);
  BoxRecorder boxes;
  ProgramLuaState lua;
  // A loop that catches the stop and tries again must end as well.
  ASSERT_EQ(lua.run("calls = 0\n"
                    "function OnTimer() calls = calls + 1 end\n"
                    "function OnUpdate() while true do pcall(function() while true do end end) end end"),
            0);
  EXPECT_EQ(CallScriptGlobal(lua.get(), "OnTimer"), 0);
  // The processor time the loop took before its stop: what other programs take of the machine
  // meanwhile is no part of it.
  const auto start = ThreadCpuClock::now();
  ASSERT_NE(CallScriptGlobal(lua.get(), "OnUpdate"), 0);
  const auto took = ThreadCpuClock::now() - start;
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 3s);
  const std::string stop = errorText(lua.get());
  EXPECT_NE(stop.find("スキンのスクリプトが 0.3 秒以内に終わらなかったため止めました"), std::string::npos) << stop;
  lua_settop(lua.get(), 0);

  EXPECT_NE(CallScriptGlobal(lua.get(), "OnTimer"), 0);
  EXPECT_EQ(errorText(lua.get()), stop);
  lua_settop(lua.get(), 0);
  EXPECT_EQ(lua.script().GetGlobalNumber("calls"), 1);
  EXPECT_TRUE(boxes.boxes.empty()) << "the host reports a stop; no alert says it first";

  // Each run has its own time: quick callbacks never add up to a stop.
  ProgramLuaState fresh;
  ASSERT_EQ(fresh.run("function OnTimer() local t = os.clock() while os.clock() - t < 0.02 do end end"), 0);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(CallScriptGlobal(fresh.get(), "OnTimer"), 0);
}

// A machine busy with other programs gives the thread of a run no processor for longer than the
// limit: that time is not the skin's, and the run goes on.
TEST(SkinLimits, TimeTheMachineGaveOtherProgramsIsNoPartOfARun) {
  skintest::ShortSkinTimeLimit limit(300ms);
  ProgramLuaState lua;
  lua_register(lua.get(), "offTheProcessor", [](lua_State*) {
    std::this_thread::sleep_for(600ms);  // as long as a preempted thread waits, doing nothing
    return 0;
  });
  ASSERT_EQ(lua.run("function OnTimer() offTheProcessor() local n = 0 for i = 1, 100000 do n = n + i end end"), 0);
  EXPECT_EQ(CallScriptGlobal(lua.get(), "OnTimer"), 0) << errorText(lua.get());
  EXPECT_FALSE(scriptStopMessage(lua.get()));
}

// A run that waits off the processor in a loop (a child process, a host call that waits for the
// learner) spends almost none of its processor time: the ceiling on the time that passes stops it,
// at the first return of a wait once the ceiling has come, and says the ceiling.
TEST(SkinLimits, ARunThatWaitsInALoopIsStoppedAtTheCeiling) {
  static constexpr auto kEachWait = 20ms;
  static constexpr auto kCeiling = 600ms;
  skintest::ShortSkinTimeLimit limit(300ms, kCeiling);
  const char* const loops[] = {
      "function OnTimer() while true do waits = waits + 1 os.execute('sleep 0.02') end end",
      // One that catches the stop and waits again must end as well.
      "function OnTimer()\n"
      "  while true do pcall(function() while true do waits = waits + 1 waitForLearner() end end) end\n"
      "end",
  };
  for (const char* loop : loops) {
    SCOPED_TRACE(loop);
    ProgramLuaState lua;
    lua_register(lua.get(), "waitForLearner", [](lua_State*) {
      std::this_thread::sleep_for(kEachWait);
      return 0;
    });
    ASSERT_EQ(lua.run(std::string("waits = 0\n") + loop), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(CallScriptGlobal(lua.get(), "OnTimer"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, kCeiling);
    // Each wait takes at least its time, so a stop at the first return past the ceiling leaves
    // no more waits than fit into it, and one more.
    EXPECT_LE(lua.script().GetGlobalNumber("waits"), kCeiling / kEachWait + 1);
    const std::string stop = errorText(lua.get());
    EXPECT_NE(stop.find("スキンのスクリプトが 0.6 秒以内に終わらなかったため止めました"), std::string::npos) << stop;
    lua_settop(lua.get(), 0);
    EXPECT_NE(CallScriptGlobal(lua.get(), "OnTimer"), 0) << "a stopped state is not run again";
    EXPECT_EQ(errorText(lua.get()), stop);
  }
}
