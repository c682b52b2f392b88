// What a skin is, learnt without a study window: the skin runs in an inspection state whose
// host functions do nothing but record the user variables the skin declares.
#pragma once

#include "study/skin/lua_script.h"

#include <map>
#include <string>

namespace study {

// The sixteen host functions of the table KLV, in the order they are entered.
inline constexpr int kSkinHostFunctionCount = 16;
extern const char* const kSkinHostFunctionNames[kSkinHostFunctionCount];

using SkinVariableMap = std::map<std::wstring, std::wstring>;

class SkinInfo {
 public:
  // Always true: a skin that cannot be opened (the "KLV DoFile" box) or that fails leaves the
  // description empty or partly filled.
  bool Load(const std::wstring& skinPath);

  // Name -> the skin's default text, as declared with KLV.LoadUserVar.
  const SkinVariableMap& colorVariables() const { return colorVariables_; }
  const SkinVariableMap& fontVariables() const { return fontVariables_; }
  const SkinVariableMap& imageFileVariables() const { return imageFileVariables_; }
  // Name -> the name the variable had before, from the skin's table FormerUserVarNames: a user's
  // value saved under the former name still counts.
  const SkinVariableMap& formerNames() const { return formerNames_; }

  std::wstring DesignName;
  std::wstring BackgroundImageFile;
  std::wstring BackgroundColor;  // RRGGBB
  int dialogWidth = 0;
  int dialogHeight = 0;
  // The error of an inspection stopped for taking too long (other errors of it stay silent).
  std::string scriptStop;

 private:
  friend int recordUserVar(lua_State* state);

  LuaState inspection_;
  SkinVariableMap colorVariables_;
  SkinVariableMap fontVariables_;
  SkinVariableMap imageFileVariables_;
  SkinVariableMap formerNames_;
};

// Prepares an inspection state: silent error and print handlers, KLV with do-nothing functions
// and a recording LoadUserVar, and fixed values for the study state a skin may read.
void RegisterSkinStubs(lua_State* state);

}  // namespace study
