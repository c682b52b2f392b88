#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "../platform/scoped_env.h"
#include "test_env.h"
#include "platform/windows/file_dialog.h"
#include "platform/files/file_system.h"
#include "platform/files/folders.h"
#include "platform/settings/registry_store.h"
#include "platform/text.h"
#include "services/app_settings.h"

using platform::RegistryValue;

namespace {

// Answers file and folder dialogs from the test and remembers what they asked.
struct DialogAnswers : platform::FileDialogs {
  std::optional<std::wstring> file, folder;
  std::vector<platform::FileDialogRequest> asked;
  int folderDialogs = 0;
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& request) override {
    asked.push_back(request);
    return file;
  }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
    ++folderDialogs;
    return folder;
  }
};

class Settings : public ::testing::Test {
 protected:
  testenv::FreshConfig config;
  QTemporaryDir home, install;
  testenv::ScopedEnv homeEnv{"HOME", home.path().toUtf8().constData()};
  platform::ProgramFolderOverride program{install.path().toStdWString()};
  testenv::BoxRecorder boxes;
  DialogAnswers dialogs;
  platform::FileDialogOverride useDialogs{dialogs};

  const std::wstring inst = install.path().toStdWString();
  const std::wstring data = home.path().toStdWString() + L"/Documents/Kelvara";

  void SetUp() override {
    for (const char* file : {"data/irank.dat", "skin7/default.lua", "data/webdic.ini", "data/pronounce.kpdidx",
                             "data/pronounce.kpddic", "data/kpdimage.bmp", "data/ipamap.txt", "katmode.txt"}) {
      QDir().mkpath(QFileInfo(install.filePath(file)).path());
      ASSERT_TRUE(platform::writeFileAtomically(install.filePath(file).toStdWString(), file));
    }
    for (const char* folder : {"data/wavvoice", "print-config", "print-card-config"})
      QDir().mkpath(install.filePath(folder));
  }

  RegistryKey subkey(const wchar_t* name) {
    RegistryKey key;
    key.open(platform::RegistryRoot::CurrentUser, std::wstring(L"Software\\Tarvo Presents\\KLV7\\") + name, true);
    return key;
  }
  void store(const wchar_t* key, const wchar_t* name, const RegistryValue& value) {
    ASSERT_TRUE(subkey(key).setValue(name, value));
  }
  std::vector<std::wstring> names(const wchar_t* key) { return subkey(key).valueNames(); }
};

bool contains(const std::vector<std::wstring>& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST_F(Settings, AFirstRunFillsEveryPathAndStoresEveryValue) {
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_TRUE(dialogs.asked.empty());
  // Written back during the load itself.
  EXPECT_TRUE(contains(names(L"config"), L"study-mode"));
  EXPECT_TRUE(contains(names(L"config"), L"correctrate-mode"));
  EXPECT_TRUE(contains(names(L"config"), L"install-path"));
  EXPECT_TRUE(contains(names(L"settings\\1"), L"background-color"));

  EXPECT_EQ(settings.installPath.value, inst);
  EXPECT_EQ(settings.dataFolderPath.value, data);
  EXPECT_TRUE(platform::folderExists(data));
  EXPECT_EQ(settings.databasePath.value, data + L"/database.klvdb7");
  EXPECT_EQ(settings.irankDatafilePath.value, data + L"/irank.dat");
  EXPECT_EQ(platform::readFileBytes(data + L"/irank.dat"), "data/irank.dat");  // copied from the program
  EXPECT_EQ(platform::readFileBytes(data + L"/webdic.ini"), "data/webdic.ini");
  EXPECT_EQ(settings.skinUserfilePath.value, data + L"/user.ini");
  EXPECT_EQ(settings.skin7Path.value, inst + L"/skin7/default.lua");
  EXPECT_EQ(settings.kpdIdxfilePath.value, inst + L"/data/pronounce.kpdidx");
  EXPECT_EQ(settings.wavVoiceFolder.value, inst + L"/data/wavvoice");
  EXPECT_EQ(settings.correctSound.value, inst + L"/data/Correct.wav");
  EXPECT_EQ(settings.backgroundColor, 0xFFF1E2);
  EXPECT_FALSE(settings.alwaysOnTop.value);

  ASSERT_TRUE(settings.saveAll());
  const std::vector<std::wstring> config = names(L"config"), user = names(L"settings\\1");
  EXPECT_EQ(config.size() + user.size(), 85u);  // the 86 values of the table but one
  for (const wchar_t* name :
       {L"data-folder-path", L"database-path", L"make-backup-flag", L"irank-datafile-path", L"skin7-path",
        L"skin-userfile-path", L"webdic-inifile-path", L"kpd-idxfile-path", L"kpd-dicfile-path", L"kpd-imagefile-path",
        L"cmu2ipa-file-path", L"katmode-file-path", L"last-section", L"recent-section-path01",
        L"recent-section-path05", L"last-selected-tab-id", L"ranking-auto-update", L"autopopup-estimate-point",
        L"window-width", L"window-height", L"preview-width", L"preview-height", L"use-os-default-background-color",
        L"preview-dlg-period-size", L"reply-window-x", L"reply-window-y", L"keep-last-reply-window-pos"})
    EXPECT_TRUE(contains(config, name)) << platform::toUtf8(name);
  EXPECT_FALSE(contains(config, L"add-to-smartlearninglist-after-learning"));
  for (const wchar_t* name :
       {L"voice5-id", L"user-name", L"correct-sound", L"incorrect-sound", L"sound-volume", L"correct-wait-msec",
        L"incorrect-wait-msec", L"random-reply", L"random-mistake-reply", L"ignore-case", L"opacity",
        L"judge-by-head-reply", L"judge-by-sub-reply", L"judge-sub-count", L"default-question-count",
        L"reply-start-limit-count-je", L"use-reply-start-limit-je", L"reply-limit-ej", L"use-reply-limit-ej",
        L"show-limit-ej4", L"use-show-limit-ej4", L"reply-limit-ej4", L"use-reply-limit-ej4", L"show-limit-je4",
        L"use-show-limit-je4", L"reply-limit-je4", L"use-reply-limit-je4", L"use-selection-str-return",
        L"always-show-hint", L"stop-after-answer", L"always-on-top", L"decide-without-return", L"show-pronounce",
        L"show-pronounce-by-image", L"enter-mistake-reply-limit", L"show-answer-on-make-exam-card",
        L"multi-judge-count", L"multi-judge-ok-on-over-count", L"use-voice", L"voice-rate", L"voice-volume",
        L"voice-format", L"use-wav-voice", L"wav-voice-folder", L"use-agent-voice", L"agent-language-id",
        L"agent-volume", L"agent-pitch", L"use-clipboard-copy-on-pronounce", L"print-templete-folder",
        L"print-card-templete-folder"})
    EXPECT_TRUE(contains(user, name)) << platform::toUtf8(name);
}

TEST_F(Settings, MissingMarkersDecideBetweenEmptyAndDefault) {
  store(L"settings\\1", L"correct-sound", RegistryValue::fromString(L""));
  store(L"settings\\1", L"wav-voice-folder", RegistryValue::fromString(L"no entry"));
  store(L"config", L"skin-userfile-path", RegistryValue::fromString(L""));
  store(L"settings\\1", L"use-voice", RegistryValue::fromString(L"1"));  // the wrong type counts as missing
  const std::wstring longPath = L"/" + std::wstring(2000, L'長');
  store(L"config", L"last-section", RegistryValue::fromString(longPath));
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_EQ(settings.correctSound.value, L"");  // no sound
  EXPECT_EQ(settings.incorrectSound.value, inst + L"/data/Incorrect.wav");
  EXPECT_EQ(settings.wavVoiceFolder.value, inst + L"/data/wavvoice");
  EXPECT_EQ(settings.skinUserfilePath.value, data + L"/user.ini");
  EXPECT_TRUE(settings.useVoice.value);
  EXPECT_EQ(settings.lastSection.value, longPath);  // no length limit
}

TEST_F(Settings, OutOfRangeAndSentinelNumbersTakeTheirDefaults) {
  store(L"config", L"correctrate-mode", RegistryValue::fromDword(7));
  store(L"settings\\1", L"multi-judge-ok-on-over-count", RegistryValue::fromDword(9));
  store(L"settings\\1", L"sound-volume", RegistryValue::fromDword(0x80000001u));
  store(L"config", L"study-mode", RegistryValue::fromDword(0x80000001u));
  store(L"config", L"reply-window-x", RegistryValue::fromDword(static_cast<uint32_t>(-40)));
  store(L"settings\\1", L"ignore-case", RegistryValue::fromDword(2));
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_EQ(settings.correctrateMode, 2);
  EXPECT_EQ(settings.multiJudgeOkOnOverCount.value, 1);
  EXPECT_EQ(settings.soundVolume.value, 100);
  EXPECT_EQ(settings.studyMode, 1);
  EXPECT_EQ(subkey(L"config").value(L"study-mode")->number, 1u);
  EXPECT_EQ(settings.replyWindowX.value, -40);
  EXPECT_TRUE(settings.ignoreCase.value);
}

TEST_F(Settings, AnOldLayoutDatabaseMovesOnlyWhenItsCopyExists) {
  const std::wstring old = inst + L"/data/database.klvdb7";
  ASSERT_TRUE(platform::writeFileAtomically(old, "database"));
  store(L"config", L"database-path", RegistryValue::fromString(inst + L"/no/such/folder/db.klvdb7"));
  {
    AppSettings settings(L"KLV7");
    ASSERT_TRUE(settings.loadAll());
    EXPECT_TRUE(platform::fileExists(old));  // the copy failed: the old file stays
    EXPECT_FALSE(platform::fileExists(old + L"$"));
  }
  ASSERT_TRUE(subkey(L"config").deleteValue(L"database-path"));
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_EQ(platform::readFileBytes(data + L"/database.klvdb7"), "database");
  EXPECT_EQ(platform::readFileBytes(old + L"$"), "database");
  EXPECT_FALSE(platform::fileExists(old));
}

// A data folder missing on a later start (its disk not mounted yet) is not made again, and the
// files it should hold are neither copied there nor asked for, though the program has none to copy.
TEST_F(Settings, ALaterStartMakesAndAsksForNothingInAMissingDataFolder) {
  ASSERT_TRUE(AppSettings(L"KLV7").loadAll());
  ASSERT_TRUE(QDir(home.filePath("Documents")).removeRecursively());
  for (const wchar_t* shipped : {L"/data/irank.dat", L"/data/webdic.ini"})
    ASSERT_TRUE(platform::deleteFile(inst + shipped));
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_FALSE(platform::fileExists(data));
  EXPECT_EQ(settings.irankDatafilePath.value, data + L"/irank.dat");
  EXPECT_EQ(settings.webdicInifilePath.value, data + L"/webdic.ini");
}

TEST_F(Settings, AMissingFileIsAskedForAndCancellingStopsTheLoad) {
  ASSERT_TRUE(platform::deleteFile(inst + L"/skin7/default.lua"));
  AppSettings settings(L"KLV7");
  EXPECT_FALSE(settings.loadAll());
  ASSERT_EQ(dialogs.asked.size(), 1u);
  const platform::FileDialogRequest& asked = dialogs.asked[0];
  EXPECT_EQ(asked.title, L"スキンファイルを選択してください");
  EXPECT_EQ(asked.initialPath, inst + L"/skin7/default.lua");
  EXPECT_EQ(asked.defaultExtension, L"*.lua");
  ASSERT_EQ(asked.filters.size(), 2u);
  EXPECT_EQ(asked.filters[0].description, L"KLV SkinFile (*.lua)");
  EXPECT_EQ(asked.filters[1].description, L"すべて(*.*)");
  EXPECT_EQ(asked.filters[1].pattern, L"*.*");

  dialogs.file = inst + L"/katmode.txt";
  ASSERT_TRUE(settings.loadAll());
  EXPECT_EQ(settings.skin7Path.value, inst + L"/katmode.txt");
}

TEST_F(Settings, AMissingFolderIsAnnouncedThenAskedFor) {
  QDir(install.filePath("print-config")).removeRecursively();
  AppSettings settings(L"KLV7");
  EXPECT_FALSE(settings.loadAll());
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], L"印刷テンプレートファイルの格納フォルダが見つかりませんでした．次のダイアログで指定してください．");
  EXPECT_EQ(boxes.captions[0], L"KLV");
  EXPECT_EQ(dialogs.folderDialogs, 1);
  dialogs.folder = inst + L"/data";
  ASSERT_TRUE(settings.loadAll());
  EXPECT_EQ(settings.printTempleteFolder.value, inst + L"/data");
}

TEST_F(Settings, TemplatesLiveInTheUsersDataAndOldSettingsNamingTheProgramFolderMoveThere) {
  ASSERT_TRUE(platform::writeFileAtomically(inst + L"/print-config/default.ini", "edited"));
  const std::wstring userData = home.path().toStdWString() + L"/.local/share/kelvara";
  store(L"settings\\1", L"print-templete-folder", RegistryValue::fromString(inst + L"/print-config/"));
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(settings.printTempleteFolder.value, userData + L"/print-config");
  EXPECT_EQ(settings.printCardTempleteFolder.value, userData + L"/print-card-config");
  EXPECT_EQ(platform::readFileBytes(userData + L"/print-config/default.ini"), "edited");
  EXPECT_TRUE(platform::fileExists(userData + L"/print-card-config"));
}

TEST_F(Settings, TheGroupSavesOnlyItsOwnValues) {
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  settings.recentSectionPath[4].value = L"英単語/基本";
  settings.studyMode = 5;
  settings.soundVolume.value = 10;
  ASSERT_TRUE(settings.saveGroup());
  AppSettings reread(L"KLV7");
  ASSERT_TRUE(reread.loadAll());
  EXPECT_EQ(reread.recentSectionPath[4].value, L"英単語/基本");
  EXPECT_EQ(reread.studyMode, 5);
  EXPECT_EQ(reread.soundVolume.value, 100);
}

TEST_F(Settings, ASaveThatCannotReachTheFileSaysSo) {
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  settings.soundVolume.value = 10;
  {
    testenv::FileSizeLimit diskFull(16);
    EXPECT_FALSE(settings.saveAll());
    EXPECT_FALSE(settings.saveGroup());
  }
  AppSettings reread(L"KLV7");
  ASSERT_TRUE(reread.loadAll());
  EXPECT_EQ(reread.soundVolume.value, 100);
}

TEST(SettingsStartUp, AnUnusableRegistryIsReportedInsteadOfThrown) {
  QTemporaryDir dir;
  ASSERT_TRUE(platform::writeFileAtomically(dir.filePath("file").toStdWString(), ""));
  testenv::ScopedEnv config("XDG_CONFIG_HOME", dir.filePath("file").toUtf8().constData());  // cannot hold a folder
  testenv::BoxRecorder boxes;
  EXPECT_THROW(AppSettings(L"KLV7"), std::wstring);
  EXPECT_FALSE(AppSettings::open(L"KLV7"));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], L"レジストリの読み込みに失敗しました。\n書き込み先のフォルダが見つかりません。");
}
