#include "study/skin/skin_host.h"

#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "study/skin/script_watchdog.h"
#include "study/skin/skin_script.h"
#include "study/skin/skin_text.h"

namespace study {

bool InitSkinScript(SkinHost& host) {
  const std::wstring skinPath = host.skinPath();
  if (!platform::fileExists(skinPath)) {
    platform::messageBox(host.messageOwner(),
                         L"スキンファイルが見つかりませんでした。次のダイアログから選択してください。", L"Kelvara",
                         platform::MbOk);
    return host.chooseSkinFile();
  }

  SkinLockHolder hold(skinLock());
  host.deleteSkinFonts();
  std::string inspectionStop;
  {
    SkinInfo skin;
    skin.Load(skinPath);
    loadStyle(host.skinUserVars(), host.skinUserFilePath(), host.userName(), skinFileName(skinPath), skin);
    inspectionStop = skin.scriptStop;
  }

  LuaScript script(host.skinState().reopen());
  script.OpenLibraries();
  setScriptHost(&host);

  lua_State* state = script.state();
  lua_register(state, "_ALERT", LuaAlertHandler);
  lua_register(state, "_ERRORMESSAGE", LuaAlertHandler);
  lua_atpanic(state, LuaAlertHandler);
  lua_register(state, "print", LuaPrint);

  lua_newtable(state);
  const SkinHostFunctions& functions = host.hostFunctions();
  for (int i = 0; i < kSkinHostFunctionCount; ++i) script.SetFunction(kSkinHostFunctionNames[i], functions[i]);
  script.BeginTable("corrected");
  lua_settable(state, -3);
  lua_setglobal(state, "KLV");

  host.pushScriptState(script);
  if (!inspectionStop.empty()) {
    // The skin's main chunk ran too long already: running it again would only wait as long.
    stopScript(state, inspectionStop);
    return true;
  }
  RunSkinFile(state, WideToUtf8String(skinPath));
  return true;
}

}  // namespace study
