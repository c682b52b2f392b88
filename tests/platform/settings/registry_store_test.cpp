#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <set>

#include "platform/files/file_system.h"
#include "platform/settings/registry_store.h"
#include "scoped_env.h"

using namespace platform;

namespace {

class RegistryStore : public ::testing::Test {
 protected:
  testenv::FreshConfig config;
  testenv::BoxRecorder boxes;

  RegistryKey openApp(bool create = true) {
    RegistryKey key;
    EXPECT_TRUE(key.open(RegistryRoot::CurrentUser, L"Software\\Tarvo Presents\\KLV7", create));
    return key;
  }
};

}  // namespace

TEST_F(RegistryStore, TypedValuesSurviveAReloadFromTheFile) {
  RegistryKey key = openApp();
  const std::vector<uint8_t> bytes{0, 1, 0xFE, 0xFF, 0x80};
  EXPECT_TRUE(key.setValue(L"path", RegistryValue::fromString(L"C:\\データ\\x \"q\"\n\U0001F600")));
  EXPECT_TRUE(key.setValue(L"count", RegistryValue::fromDword(0x80000001u)));
  EXPECT_TRUE(key.setValue(L"blob", RegistryValue::fromBinary(bytes)));
  EXPECT_TRUE(key.setValue(L"", RegistryValue::fromString(L"default")));

  // Another process's view: the file as written, read from scratch.
  const std::wstring file = registryFilePath(RegistryRoot::CurrentUser);
  const std::string saved = *readFileBytes(file);
  ASSERT_TRUE(deleteFile(file));
  ASSERT_TRUE(writeFileAtomically(file, saved));

  EXPECT_EQ(key.value(L"path")->text, L"C:\\データ\\x \"q\"\n\U0001F600");
  EXPECT_EQ(key.value(L"count")->type, RegistryType::Dword);
  EXPECT_EQ(key.value(L"count")->number, 0x80000001u);
  EXPECT_EQ(key.value(L"blob")->bytes, bytes);
  EXPECT_EQ(key.value(L"")->text, L"default");
  EXPECT_FALSE(key.value(L"missing"));
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(RegistryStore, NamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  RegistryKey key = openApp();
  ASSERT_TRUE(key.setValue(L"Window-Width", RegistryValue::fromDword(600)));
  RegistryKey other;
  ASSERT_TRUE(other.open(RegistryRoot::CurrentUser, L"SOFTWARE\\tarvo presents\\klv7", false));
  EXPECT_EQ(other.value(L"window-width")->number, 600u);
  ASSERT_TRUE(other.setValue(L"WINDOW-WIDTH", RegistryValue::fromDword(800)));
  EXPECT_EQ(key.value(L"Window-Width")->number, 800u);
  EXPECT_EQ(key.valueNames(), std::vector<std::wstring>{L"Window-Width"});

  RegistryKey software;
  ASSERT_TRUE(software.open(RegistryRoot::CurrentUser, L"software", false));
  EXPECT_EQ(software.subKeyNames(), std::vector<std::wstring>{L"Tarvo Presents"});
  // The other root is a tree of its own.
  RegistryKey machine;
  EXPECT_FALSE(machine.open(RegistryRoot::LocalMachine, L"Software\\Tarvo Presents", false));
}

TEST_F(RegistryStore, OpeningAMissingKeyFailsAndKeepsTheOpenOne) {
  RegistryKey key = openApp();
  ASSERT_TRUE(key.setValue(L"v", RegistryValue::fromDword(1)));
  EXPECT_FALSE(key.open(RegistryRoot::CurrentUser, L"Software\\Nobody", false));
  EXPECT_EQ(key.value(L"v")->number, 1u);

  RegistryKey sub;
  ASSERT_TRUE(sub.open(key, L"settings\\1", true));
  ASSERT_TRUE(sub.setValue(L"x", RegistryValue::fromString(L"y")));
  EXPECT_EQ(key.subKeyNames(), std::vector<std::wstring>{L"settings"});
}

TEST_F(RegistryStore, DeletingAKeyTakesEverythingBelowIt) {
  RegistryKey key = openApp();
  RegistryKey deep;
  ASSERT_TRUE(deep.open(key, L"a\\b\\c", true));
  ASSERT_TRUE(deep.setValue(L"v", RegistryValue::fromDword(3)));
  EXPECT_FALSE(key.deleteSubKey(L"nothing"));
  EXPECT_TRUE(key.deleteSubKey(L"A"));
  EXPECT_FALSE(deep.value(L"v"));
  EXPECT_FALSE(deep.setValue(L"v", RegistryValue::fromDword(4)));  // its key is gone
  EXPECT_TRUE(key.subKeyNames().empty());
  EXPECT_TRUE(key.setValue(L"w", RegistryValue::fromDword(5)));
  EXPECT_TRUE(key.deleteValue(L"W"));
  EXPECT_FALSE(key.deleteValue(L"w"));
}

TEST_F(RegistryStore, ADamagedFileIsSetAsideAndReported) {
  RegistryKey key = openApp();
  ASSERT_TRUE(key.setValue(L"v", RegistryValue::fromDword(7)));
  const std::wstring file = registryFilePath(RegistryRoot::CurrentUser);
  // Well-formed, but a binary value holds no base64: the file is damaged all the same.
  const std::string garbled = "{\"kelvara-registry\": 1, \"root\": {\"name\": \"\", \"keys\": [], \"values\": "
                              "[{\"name\": \"b\", \"type\": \"binary\", \"data\": \"!!\"}]}}";
  ASSERT_TRUE(writeFileAtomically(file, garbled));
  EXPECT_FALSE(key.value(L"b"));
  ASSERT_EQ(boxes.texts.size(), 1u);

  const std::string damaged = "{\"kelvara-registry\": 1, \"root\": {\"name\": \"\", \"valu";
  ASSERT_TRUE(writeFileAtomically(file, damaged));
  EXPECT_FALSE(key.value(L"v"));
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_NE(boxes.texts[1].find(L".damaged-"), std::wstring::npos);
  // Both damaged files are kept, each under a name of its own.
  const QDir folder(QString::fromStdString(config.path() + "/kelvara"));
  std::set<std::string> kept;
  for (const QString& name : folder.entryList({"registry-current-user.json.damaged-*"}))
    kept.insert(*readFileBytes(folder.filePath(name).toStdWString()));
  EXPECT_EQ(kept, (std::set<std::string>{garbled, damaged}));

  // The store goes on with an empty tree and writes a sound file again.
  RegistryKey fresh = openApp();
  EXPECT_TRUE(fresh.setValue(L"v", RegistryValue::fromDword(8)));
  EXPECT_EQ(fresh.value(L"v")->number, 8u);
  EXPECT_EQ(boxes.texts.size(), 2u);
}

TEST_F(RegistryStore, AFileThatCannotBeReadIsNeverWrittenOver) {
  QDir().mkpath(QString::fromStdWString(registryFilePath(RegistryRoot::LocalMachine)));  // a folder in the way
  RegistryKey key;
  EXPECT_FALSE(key.open(RegistryRoot::LocalMachine, L"Software", true));
  EXPECT_TRUE(folderExists(registryFilePath(RegistryRoot::LocalMachine)));
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(RegistryStore, ABatchWritesItsChangesOnceAtItsEnd) {
  const std::wstring file = registryFilePath(RegistryRoot::CurrentUser);
  {
    RegistryBatch batch;
    RegistryKey key = openApp();
    for (uint32_t i = 0; i < 50; ++i) ASSERT_TRUE(key.setValue(std::to_wstring(i), RegistryValue::fromDword(i)));
    EXPECT_FALSE(fileExists(file));
    RegistryKey other = openApp(false);
    EXPECT_EQ(other.value(L"49")->number, 49u);  // this process sees its pending changes
  }
  ASSERT_TRUE(fileExists(file));
  const std::string saved = *readFileBytes(file);
  ASSERT_TRUE(deleteFile(file));
  ASSERT_TRUE(writeFileAtomically(file, saved));
  EXPECT_EQ(openApp(false).valueNames().size(), 50u);
}
