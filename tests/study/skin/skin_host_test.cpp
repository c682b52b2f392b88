// The skin engine against a small fake study window: the recorder skin reports every callback
// and the state it sees.
#include <gtest/gtest.h>

#include "platform/settings/ini_profile.h"
#include "platform/text.h"
#include "skin_test_support.h"
#include "study/skin/skin_host.h"
#include "study/skin/skin_script.h"
#include "test_env.h"

#include <filesystem>

using namespace study;
using skintest::BoxRecorder;

namespace {

class FakeWindow : public SkinHost {
 public:
  std::wstring skinPath() const override { return skin; }
  std::wstring skinUserFilePath() const override { return userFile; }
  std::wstring userName() const override { return L"alice"; }
  QWidget* messageOwner() override { return nullptr; }
  LuaState& skinState() override { return state; }
  SkinUserVars& skinUserVars() override { return userVars; }
  void deleteSkinFonts() override { ++fontDeletions; }
  bool chooseSkinFile() override {
    ++skinChoices;
    return false;
  }
  const SkinHostFunctions& hostFunctions() override { return functions; }
  void pushScriptState(LuaScript script) override {
    script.PushGlobalTable("KLV");
    script.SetString("tstate", tstate);
    script.SetNumber("n_correct_all", correctAnswers);
    script.SetString("mode", "je");
    script.PushFieldTable("corrected");
    script.SetIndexNumber(1, 1);
    script.SetIndexNumber(2, 0);
    lua_pop(script.state(), 2);
  }

  // Calls a callback the way the study window does: under the lock, after the state export.
  int call(const char* name) {
    SkinLockHolder hold(skinLock());
    lua_State* lua = state.get();
    const int top = lua_gettop(lua);
    pushScriptState(LuaScript(lua));
    const int status = CallScriptGlobal(lua, name);
    lua_settop(lua, top);
    return status;
  }

  static FakeWindow& current() { return *static_cast<FakeWindow*>(scriptHost()); }

  static int alert(lua_State* lua) {
    current().log.push_back(lua_tostring(lua, 1));
    return 0;
  }
  static int loadUserVar(lua_State* lua) {
    const std::string type = lua_tostring(lua, 2);
    const auto& values = type == "font" ? current().userVars.fontValues : current().userVars.colorValues;
    const auto found = values.find(platform::fromUtf8(lua_tostring(lua, 1)));
    if (found == values.end() || type == "imagefile") lua_pushvalue(lua, 3);
    else lua_pushstring(lua, platform::toUtf8(found->second).c_str());
    return 1;
  }
  static int unused(lua_State*) { return 0; }

  std::wstring skin;
  std::wstring userFile;
  std::string tstate = "init";
  int correctAnswers = 0;
  int fontDeletions = 0;
  int skinChoices = 0;
  std::vector<std::string> log;
  LuaState state;
  SkinUserVars userVars;
  SkinHostFunctions functions = [] {
    SkinHostFunctions table;
    table.fill(unused);
    table[0] = alert;         // Alert
    table[15] = loadUserVar;  // LoadUserVar
    return table;
  }();
};

std::wstring recorderSkin() {
  return platform::fromUtf8(testenv::sourceDir() + "/tests/study/skins/recorder.lua");
}

}  // namespace

TEST(InitSkinScript, RunsTheSkinWithTheHostTableAndTheUsersValues) {
  const std::string folder = skintest::freshFolder();
  FakeWindow window;
  // A Japanese learner's skins live in folders with Japanese names.
  std::filesystem::create_directory(folder + "/スキン");
  window.skin = platform::fromUtf8(
      skintest::writeFile(folder + "/スキン", "recorder.lua", skintest::readFile(platform::toUtf8(recorderSkin()))));
  window.userFile = platform::fromUtf8(folder + "/user.ini");
  platform::writeProfileString(L"alice", L"recorder.lua_TextColor", L"FF0000", window.userFile);
  platform::writeProfileString(L"bob", L"recorder.lua_QuestionFont", L"9,0,0,0,0,x", window.userFile);

  BoxRecorder boxes;
  ASSERT_TRUE(InitSkinScript(window));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(scriptHost(), &window);
  EXPECT_EQ(window.fontDeletions, 1);
  EXPECT_EQ(window.userVars.colorValues, (std::map<std::wstring, std::wstring>{{L"TextColor", L"FF0000"}}));
  EXPECT_TRUE(window.userVars.fontValues.empty());
  ASSERT_EQ(window.log, std::vector<std::string>{"main init 0 FF0000"});

  window.log.clear();
  EXPECT_EQ(window.call("OnInit"), 0);
  window.tstate = "reply";
  window.correctAnswers = 3;
  EXPECT_EQ(window.call("OnUpdate"), 0);
  EXPECT_EQ(window.call("OnTimer"), 0);
  EXPECT_EQ(window.log, (std::vector<std::string>{"OnInit je 2", "OnUpdate reply", "OnTimer 3"}));

  // A reload starts from a fresh state.
  luaL_dostring(window.state.get(), "leftover = 1");
  ASSERT_TRUE(InitSkinScript(window));
  EXPECT_EQ(LuaScript(window.state.get()).GetGlobalNumber("leftover"), 0);
  EXPECT_EQ(window.fontDeletions, 2);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(InitSkinScript, ErrorsOfTheSkinAndAMissingSkin) {
  const std::string folder = skintest::freshFolder();
  FakeWindow window;
  window.userFile = platform::fromUtf8(folder + "/user.ini");
  window.skin = platform::fromUtf8(skintest::writeFile(folder, "broken.lua", "function OnUpdate() end\nif then"));
  {
    BoxRecorder boxes;
    ASSERT_TRUE(InitSkinScript(window));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"KLV-Lua");
    EXPECT_NE(window.call("OnUpdate"), 0);
  }
  window.skin = platform::fromUtf8(folder + "/gone.lua");
  {
    BoxRecorder boxes;
    EXPECT_FALSE(InitSkinScript(window));
    EXPECT_EQ(window.skinChoices, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"スキンファイルが見つかりませんでした。次のダイアログから選択してください。");
  }
}
