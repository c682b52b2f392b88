#include "study/skin/skin_info.h"

#include "study/skin/script_watchdog.h"
#include "study/skin/skin_script.h"
#include "study/skin/skin_text.h"


namespace study {

const char* const kSkinHostFunctionNames[kSkinHostFunctionCount] = {
    "Alert",    "GetScriptFolderPath", "GetTickCount", "DoFile",        "DrawLine",   "DrawBorder",
    "FillRect", "DrawString",          "DrawText",     "DrawImage",     "MoveEdit",   "MoveButton",
    "MoveBar",  "LoadImageFile",       "CreateFont",   "LoadUserVar"};

namespace {

const char kInspectedSkinKey[] = "kelvara.inspected-skin";

int doNothing(lua_State*) { return 0; }

// The skin's table of former variable names (new name = "old name"); entries that are not two
// texts are left out.
SkinVariableMap readFormerNames(lua_State* state) {
  SkinVariableMap names;
  // Raw reads, as for the other globals: no metamethod of the skin's runs outside a protected call.
  lua_pushstring(state, "FormerUserVarNames");
  lua_rawget(state, LUA_GLOBALSINDEX);
  if (lua_istable(state, -1)) {
    lua_pushnil(state);
    while (lua_next(state, -2) != 0) {
      if (lua_type(state, -2) == LUA_TSTRING && lua_type(state, -1) == LUA_TSTRING)
        names[Utf8ToWideString(lua_tostring(state, -2))] = Utf8ToWideString(lua_tostring(state, -1));
      lua_pop(state, 1);
    }
  }
  lua_pop(state, 1);
  return names;
}

}  // namespace

// KLV.LoadUserVar(name, type, default) while a skin is inspected.
int recordUserVar(lua_State* state) {
  if (lua_gettop(state) != 3 || !lua_isstring(state, 1) || !lua_isstring(state, 2) || !lua_isstring(state, 3)) {
    lua_pushstring(state, "LoadUserVar : 引数エラー");
    return lua_error(state);
  }
  const std::string type = lua_tostring(state, 2);
  if (type != "font" && type != "color" && type != "imagefile") return 0;
  lua_getfield(state, LUA_REGISTRYINDEX, kInspectedSkinKey);
  auto* info = static_cast<SkinInfo*>(lua_touserdata(state, -1));
  lua_pop(state, 1);
  if (info) {
    SkinVariableMap& variables = type == "font"    ? info->fontVariables_
                                 : type == "color" ? info->colorVariables_
                                                   : info->imageFileVariables_;
    variables[Utf8ToWideString(lua_tostring(state, 1))] = Utf8ToWideString(lua_tostring(state, 3));
  }
  lua_settop(state, 3);
  return 1;
}

void RegisterSkinStubs(lua_State* state) {
  for (const char* name : {"_ALERT", "_ERRORMESSAGE", "print"}) {
    lua_pushcfunction(state, doNothing);
    lua_setglobal(state, name);
  }
  lua_atpanic(state, doNothing);

  LuaScript script(state);
  lua_newtable(state);
  for (const char* name : kSkinHostFunctionNames) {
    script.SetFunction(name, std::string_view(name) == "LoadUserVar" ? recordUserVar : doNothing);
  }
  script.BeginTable("corrected");
  for (int i = 1; i <= 5; ++i) script.SetIndexNil(i);
  lua_settable(state, -3);
  for (const char* flag : {"show_pronounce", "use_default_pronounce", "display_banner", "show_hint",
                           "limitprogressbar_show", "mode_input"})
    script.SetBoolean(flag, true);
  script.SetBoolean("mode_select", false);
  for (const char* number :
       {"progress_sec", "n_correct_first", "n_mistake_first", "n_correct_re", "n_mistake_re", "n_correct_re2",
        "n_mistake_re2", "n_correct_all", "n_mistake_all", "n_remain_now", "n_remain_first", "n_mistake_now",
        "n_correct_now", "n_mistake_remain", "limitprogressbar_pos"})
    script.SetNumber(number, 0);
  script.SetNumber("limitprogressbar_range", 1000);
  script.SetString("mode", "je");
  script.SetString("astate", "init");
  script.SetString("tstate", "init");
  lua_setglobal(state, "KLV");
}

bool SkinInfo::Load(const std::wstring& skinPath) {
  colorVariables_.clear();
  fontVariables_.clear();
  imageFileVariables_.clear();
  formerNames_.clear();
  LuaScript script(inspection_.reopen());
  script.OpenLibraries();
  RegisterSkinStubs(script.state());

  lua_pushlightuserdata(script.state(), this);
  lua_setfield(script.state(), LUA_REGISTRYINDEX, kInspectedSkinKey);
  RunSkinFile(script.state(), WideToUtf8String(skinPath));
  scriptStop = scriptStopMessage(script.state()).value_or("");
  lua_pushnil(script.state());
  lua_setfield(script.state(), LUA_REGISTRYINDEX, kInspectedSkinKey);

  DesignName = Utf8ToWideString(script.GetGlobalString("DesignName"));
  BackgroundImageFile = Utf8ToWideString(script.GetGlobalString("BackgroundImageFile"));
  BackgroundColor = Utf8ToWideString(script.GetGlobalString("BackgroundColor"));
  dialogWidth = truncateToInt(script.GetGlobalNumber("DlgWidth_n"));
  dialogHeight = truncateToInt(script.GetGlobalNumber("DlgHeight_n"));
  formerNames_ = readFormerNames(script.state());
  return true;
}

}  // namespace study
