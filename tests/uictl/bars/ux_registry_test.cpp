// The registry helper over the real registry files: the object handed out once per requester,
// and a closed object that writes nowhere.
#include "platform/settings/registry_store.h"
#include "uictl/bars/ux_registry.h"

#include "toolbar_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A registry class an application puts in place of the plain one.
class AppRegistry : public CUxRegistry {
  KELVARA_DECLARE_RUNTIME_CLASS(AppRegistry)
};
KELVARA_IMPLEMENT_RUNTIME_CLASS(AppRegistry, CUxRegistry, kNoSchema, createInstance<AppRegistry>)

std::vector<std::wstring> valuesAt(RegistryRoot root, const std::wstring& path) {
  RegistryKey key;
  return key.open(root, path, false) ? key.valueNames() : std::vector<std::wstring>{};
}

}  // namespace

class UxRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { CUxRegistry::SetRuntimeClass(nullptr); }
  ScopedRegistry registry;
};

TEST_F(UxRegistryTest, AClosedObjectReadsAndWritesNothingUntilItOpensAgain) {
  CUxRegistry reg;
  ASSERT_TRUE(reg.CreateKey(L"Software\\Test"));
  ASSERT_TRUE(reg.Write(L"n", 1));
  reg.Close();

  EXPECT_FALSE(reg.Write(L"stray", 2));
  EXPECT_EQ(reg.lLastError, CUxRegistry::kErrorInvalidHandle);
  EXPECT_FALSE(reg.Write(L"stray", std::wstring(L"text")));
  EXPECT_FALSE(reg.Write(L"stray", 3u));
  EXPECT_FALSE(reg.Write(L"stray", Rect{1, 2, 3, 4}));
  // Nothing reached the top of the user's store.
  EXPECT_TRUE(valuesAt(RegistryRoot::CurrentUser, L"").empty());
  int value = 0;
  EXPECT_FALSE(reg.Read(L"n", value));
  EXPECT_EQ(reg.lLastError, CUxRegistry::kErrorInvalidHandle);
  EXPECT_FALSE(reg.VerifyValue(L"n"));
  std::vector<std::wstring> names;
  EXPECT_FALSE(reg.ReadSubKeys(names));
  EXPECT_FALSE(reg.DeleteKey(L"Software"));
  EXPECT_TRUE(reg.VerifyKey(L"Software\\Test"));

  // Open starts from the root again.
  ASSERT_TRUE(reg.Open(L"Software\\Test"));
  EXPECT_TRUE(reg.Read(L"n", value));
  EXPECT_EQ(value, 1);
  reg.Close();
  ASSERT_TRUE(reg.CreateKey(L"Software\\Other"));
  ASSERT_TRUE(reg.Write(L"m", 4));
  EXPECT_EQ(valuesAt(RegistryRoot::CurrentUser, L"Software\\Other"), std::vector<std::wstring>{L"m"});
}

TEST_F(UxRegistryTest, EachRequesterHasOneObjectSetUpAgainOnEveryRequest) {
  UxRegistryRequester first(7), second;
  CUxRegistry& reg = CUxRegistry::Create(first, false, false);
  EXPECT_EQ(reg.GetRuntimeClass(), KELVARA_RUNTIME_CLASS(CUxRegistry));
  EXPECT_EQ(reg.dwUserData, 7u);
  ASSERT_TRUE(reg.CreateKey(L"Software\\Maker"));
  ASSERT_TRUE(reg.Write(L"n", 1));

  // Asked again: the same object, at the machine root now and read-only.
  first.dwUserData = 8;
  CUxRegistry& again = CUxRegistry::Create(first, true, true);
  EXPECT_EQ(&again, &reg);
  EXPECT_TRUE(again.bAdmin);
  EXPECT_TRUE(again.bReadOnly);
  EXPECT_EQ(again.dwUserData, 8u);
  EXPECT_FALSE(again.CreateKey(L"Software\\Maker"));
  EXPECT_FALSE(again.VerifyKey(L"Software\\Maker"));

  // Back at the user's root, also after a Close: a path is taken from the root, not from the
  // key the object had.
  again.Close();
  CUxRegistry& user = CUxRegistry::Create(first, false, false);
  EXPECT_FALSE(user.bAdmin);
  ASSERT_TRUE(user.Open(L"Software\\Maker"));
  int value = 0;
  EXPECT_TRUE(user.Read(L"n", value));
  EXPECT_EQ(value, 1);

  CUxRegistry& other = CUxRegistry::Create(second, true, false);
  EXPECT_NE(&other, &reg);
  EXPECT_EQ(other.dwUserData, 0u);
  ASSERT_TRUE(other.CreateKey(L"Software\\Shared"));
  ASSERT_TRUE(other.Write(L"m", 2));
  EXPECT_EQ(valuesAt(RegistryRoot::LocalMachine, L"Software\\Shared"), std::vector<std::wstring>{L"m"});
}

TEST_F(UxRegistryTest, TheRequestedClassIsMadeWhenItIsARegistryClass) {
  CUxRegistry::SetRuntimeClass(KELVARA_RUNTIME_CLASS(AppRegistry));
  UxRegistryRequester app;
  EXPECT_EQ(CUxRegistry::Create(app, false, true).GetRuntimeClass(), KELVARA_RUNTIME_CLASS(AppRegistry));
  // A class that is no registry class gives the plain one.
  CUxRegistry::SetRuntimeClass(&CObject::classCObject);
  UxRegistryRequester plain;
  EXPECT_EQ(CUxRegistry::Create(plain, false, false).GetRuntimeClass(), KELVARA_RUNTIME_CLASS(CUxRegistry));
}
