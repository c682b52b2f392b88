// The window that owns a skin's Lua state, as the skin engine sees it, and the building of that
// state for the configured skin.
#pragma once

#include "study/skin/lua_script.h"
#include "study/skin/skin_info.h"
#include "study/skin/skin_user_vars.h"

#include <array>
#include <string>

class QWidget;

namespace study {

// The sixteen host functions in the order of kSkinHostFunctionNames.
using SkinHostFunctions = std::array<lua_CFunction, kSkinHostFunctionCount>;

class SkinHost {
 public:
  virtual ~SkinHost() = default;

  // The settings a skin is loaded with: skin7-path, skin-userfile-path and user-name.
  virtual std::wstring skinPath() const = 0;
  virtual std::wstring skinUserFilePath() const = 0;
  virtual std::wstring userName() const = 0;

  // The owner of the host's message boxes.
  virtual QWidget* messageOwner() = 0;
  // The host's Lua state, empty until the first skin is loaded.
  virtual LuaState& skinState() = 0;
  // The user's values for the current skin.
  virtual SkinUserVars& skinUserVars() = 0;
  // Deletes the fonts of all 20 font slots (images stay in their slots).
  virtual void deleteSkinFonts() = 0;
  // Lets the user pick another skin file and loads it; the result of that command.
  virtual bool chooseSkinFile() = 0;
  virtual const SkinHostFunctions& hostFunctions() = 0;
  // Writes the study state into the table KLV (which the host finds as a global).
  virtual void pushScriptState(LuaScript script) = 0;
};

// Builds a fresh Lua state for the configured skin, with the host table KLV, and runs the skin's
// main chunk. Takes the skin lock for its whole run. A missing skin file asks the user for
// another one (the result of that choice is returned).
bool InitSkinScript(SkinHost& host);

}  // namespace study
