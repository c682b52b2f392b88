// The dictionary look-up against a fake dictionary program serving the link.
#include <gtest/gtest.h>

#include "platform/files/folders.h"
#include "platform/settings/registry_store.h"
#include "platform/text.h"
#include "fake_dictionary_program.h"
#include "skin_test_support.h"
#include "study/dictionary/dictionary_link.h"
#include "test_env.h"

#include <sys/stat.h>

#include <filesystem>
#include <regex>

using namespace study;
using skintest::BoxRecorder;
using skintest::FakeDictionaryProgram;

namespace {

// Registers a stand-in program (a script that notes how it was started) in a folder with blanks
// and a Japanese name.
std::string registerProgram(const std::string& folder) {
  const std::string programFolder = folder + "/私の dictionary";
  std::filesystem::create_directories(programFolder);
  const std::string record = folder + "/started.txt";
  const std::string program = skintest::writeFile(
      programFolder, "dictionary program", "#!/bin/sh\necho \"$0|$#|$(pwd)\" > '" + record + "'\n");
  ::chmod(program.c_str(), 0755);
  platform::RegistryKey key;
  EXPECT_TRUE(key.open(platform::RegistryRoot::LocalMachine, kPdicAppPathKey, true));
  EXPECT_TRUE(key.setValue(L"", platform::RegistryValue::fromString(platform::fromUtf8(program))));
  return record;
}

void unregisterProgram() {
  platform::RegistryKey software;
  software.open(platform::RegistryRoot::LocalMachine, L"SOFTWARE", true);
  software.deleteSubKey(L"PDIC");
}

}  // namespace

TEST(DictionaryLink, ARunningProgramGetsOnePokeAndNothingIsStarted) {
  const std::string record = registerProgram(skintest::freshFolder());
  FakeDictionaryProgram program;
  BoxRecorder boxes;
  LookUpInPdic(L"辞書 word", nullptr);
  EXPECT_EQ(program.requests(),
            (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 \x8E\xAB\x8F\x91 word") + '\0'}));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(record));
  unregisterProgram();
}

TEST(DictionaryLink, AProgramThatIsNotRunningIsStartedFromItsWholePath) {
  const std::string folder = skintest::freshFolder();
  const std::string record = registerProgram(folder);
  FakeDictionaryProgram program(record);  // serves once the program has been started
  BoxRecorder boxes;
  LookUpInPdic(L"apple", nullptr);
  EXPECT_EQ(skintest::readFile(record),
            folder + "/私の dictionary/dictionary program|0|" + folder + "/私の dictionary\n");
  EXPECT_EQ(program.requests(), (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 apple") + '\0'}));
  EXPECT_TRUE(boxes.boxes.empty());
  unregisterProgram();
}

TEST(DictionaryLink, MissingOrFailingProgramsAreReported) {
  {
    BoxRecorder boxes;
    LookUpInPdic(L"apple", nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"PDIC がインストールされていません");
  }
  {
    // Started, but it never serves the link.
    const std::string record = registerProgram(skintest::freshFolder());
    BoxRecorder boxes;
    LookUpInPdic(L"apple", nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"PDIC の起動に失敗しました");
    EXPECT_TRUE(std::filesystem::exists(record));
    unregisterProgram();
  }
}

TEST(DictionaryLink, TheReadmesSettingsFileNamesTheProgramThatIsStarted) {
  // The README tells how a program is named: its settings file, as it stands there.
  const std::string readme = skintest::readFile(testenv::sourceDir() + "/README.md");
  std::smatch block;
  ASSERT_TRUE(std::regex_search(readme, block, std::regex("```json\n([^`]*PDICW32\\.EXE[^`]*)```")));
  std::string settings = block[1].str();
  const std::string named = "/opt/dictionary/bin/dictionary";
  const size_t at = settings.find('"' + named + '"');
  ASSERT_NE(at, std::string::npos);
  const std::string folder = skintest::freshFolder();
  const std::string record = registerProgram(folder);
  const std::string program = folder + "/私の dictionary/dictionary program";
  unregisterProgram();
  settings.replace(at + 1, named.size(), program);
  const std::string file = platform::toUtf8(platform::registryFilePath(platform::RegistryRoot::LocalMachine));
  const std::filesystem::path settingsFolder = std::filesystem::path(file).parent_path();
  skintest::writeFile(settingsFolder.string(), std::filesystem::path(file).filename().string(), settings);

  FakeDictionaryProgram served(record);
  BoxRecorder boxes;
  LookUpInPdic(L"apple", nullptr);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(skintest::readFile(record), program + "|0|" + folder + "/私の dictionary\n");
  EXPECT_EQ(served.requests(), (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 apple") + '\0'}));
  unregisterProgram();
}
