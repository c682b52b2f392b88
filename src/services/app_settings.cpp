#include "services/app_settings.h"

#include <cerrno>
#include <filesystem>
#include <optional>

#include "platform/files/folders.h"
#include "platform/windows/notifier.h"
#include "platform/settings/registry_store.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/file_failure.h"
#include "services/shell_files.h"

namespace {

const std::wstring kBrand = L"Tarvo Presents";

// The value's own default for a numbered choice: what is outside becomes the fallback.
void clamp(int& value, int low, int high, int fallback) {
  if (value < low || value > high) value = fallback;
}

// Two spellings of one folder ("/a/b/", "/a//b", a link to it) name it once.
bool sameFolder(const std::wstring& a, const std::wstring& b) {
  const std::filesystem::path first(platform::toUtf8(a)), second(platform::toUtf8(b));
  std::error_code error;
  return (first / "").lexically_normal() == (second / "").lexically_normal() ||
         std::filesystem::equivalent(first, second, error);
}

// Only what the system says is not there: a folder on the way that may not be searched hides what
// it holds, and the open then says so.
bool nothingAt(const std::wstring& path) {
  std::error_code error;
  return std::filesystem::status(platform::toUtf8(path), error).type() == std::filesystem::file_type::not_found;
}

// Whether the file's folder is there to hold it: a file missing from a folder that is not (the data
// folder on a disk not mounted yet) is neither copied there nor asked for; what reads it finds it
// missing.
bool inAFolderThere(const std::wstring& file) {
  return platform::folderExists(PathParts(file).GetFolder());
}

// The template files of a folder, copied into a new one; nothing is made when there is no folder
// to copy, so that the user is asked for one. A file that cannot be copied is said in the trace.
void copyTemplates(const std::wstring& from, const std::wstring& to) {
  if (!fileExists(from) || !createFolderTree(to + L"/")) return;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(platform::toUtf8(from), error)) {
    if (!entry.is_regular_file(error) || entry.path().extension() != ".ini") continue;
    const std::wstring source = platform::fromUtf8(entry.path().string());
    const std::wstring target = to + L"/" + platform::fromUtf8(entry.path().filename().string());
    if (!platform::copyFile(source, target, false))
      platform::traceError(L"settings: cannot copy %ls to %ls\n", source.c_str(), target.c_str());
  }
}

}  // namespace

// One load or save pass: each step loads or saves its member; the checks of the load direction
// fill in defaults, move old files and ask the user for what is missing.
class AppSettings::Pass {
 public:
  Pass(AppSettings& settings, bool save, QWidget* owner) : s_(settings), save_(save), owner_(owner) {}

  void step(Setting& setting) {
    if (save_) setting.save(s_.root_);
    else setting.load(s_.root_);
  }
  bool loading() const { return !save_; }

  // An open-file dialog at the current value; the chosen file becomes the value.
  bool askForFile(StringSetting& setting, const wchar_t* title, const wchar_t* extension, const wchar_t* description,
                  const wchar_t* pattern) {
    std::wstring chosen;
    if (!chooseFile(owner_, setting.value, chosen, extension, title, {{description, pattern}, {L"すべて(*.*)", L"*.*"}},
                    true))
      return false;
    setting.value = chosen;
    return true;
  }

  // A file that must exist: when it does not, the user is asked for it.
  bool requireFile(StringSetting& setting, const wchar_t* title, const wchar_t* extension, const wchar_t* description,
                   const wchar_t* pattern) {
    step(setting);
    return !loading() || fileExists(setting.value) || askForFile(setting, title, extension, description, pattern);
  }

  // A folder that must exist: the user is told and asked for it.
  bool requireFolder(StringSetting& setting, const wchar_t* message) {
    step(setting);
    return requireLoadedFolder(setting, message);
  }
  bool requireLoadedFolder(StringSetting& setting, const wchar_t* message) {
    if (!loading() || fileExists(setting.value)) return true;
    platform::messageBox(owner_, message, L"KLV");
    return browseForFolder(owner_, setting.value, setting.value);
  }

  // A template folder the editors write to: it lives among the user's data, since the program
  // folder is only read, and starts as a copy of the program's own templates. Settings saved by
  // a build that kept the templates in the program folder move to the user's copy, which starts
  // from what that folder holds, edits included.
  bool requireTemplateFolder(StringSetting& setting, const wchar_t* name, const wchar_t* message) {
    const std::wstring shipped = s_.installPath.value + L"/" + name;
    const std::optional<std::wstring> userData = platform::userDataFolder();
    setting.defaultValue = userData ? *userData + L"/" + name : shipped;
    step(setting);
    if (loading() && userData) {
      if (sameFolder(setting.value, shipped)) setting.value = setting.defaultValue;
      if (setting.value == setting.defaultValue && !fileExists(setting.value)) copyTemplates(shipped, setting.value);
    }
    return requireLoadedFolder(setting, message);
  }

  // A missing file of the configured path is copied from the program's data folder when that
  // holds one. False when there was nothing to copy.
  bool copyFromProgramData(const StringSetting& setting, const std::wstring& fileName) {
    const std::wstring shipped = s_.installPath.value + L"/data/" + fileName;
    if (!fileExists(shipped)) return false;
    if (!platform::copyFile(shipped, setting.value, false))
      platform::traceError(L"settings: cannot copy %ls to %ls\n", shipped.c_str(), setting.value.c_str());
    return true;
  }

  bool installFolder() {
    step(s_.installPath);
    if (!loading()) return true;
    if (s_.installPath.value.empty()) {
      s_.installPath.value = platform::programFolder();
      s_.installPath.save(s_.root_);
    }
    if (fileExists(s_.installPath.value)) return true;
    platform::messageBox(owner_, L"インストール先が見つかりませんでした．次のダイアログで指定してください．", L"KLV");
    return browseForFolder(owner_, s_.installPath.value, s_.installPath.value);
  }

  // Only a first run makes the data folder. On a later start a missing one (on a disk not mounted
  // yet, moved away) stays missing: nothing is made in its place nor copied into it, and the open of
  // the database, which is in it, says why, once. A folder that may not be searched is not made
  // either: it may be there, and the open says what keeps it from being read.
  void dataFolder() {
    StringSetting& data = s_.dataFolderPath;
    step(data);
    if (!loading() || !data.value.empty()) return;
    std::wstring documents;
    if (!getSpecialFolder(static_cast<int>(platform::SpecialFolder::Documents), documents))
      data.value = s_.installPath.value + L"/data";
    else
      data.value = documents + (documents.ends_with(L'/') ? L"Kelvara" : L"/Kelvara");
    data.save(s_.root_);
    // createFolderTree tells the user itself when it fails; the pass goes on.
    if (nothingAt(data.value)) createFolderTree(data.value + L"/");
  }

  // A database left in the program's data folder by the older layout moves to the data folder;
  // the old file goes only once both copies exist, so a failed copy loses nothing. A first run
  // without either starts on a copy of the program's own database, which stays for the next user.
  // Only a first run: settings that have named a database before name the learner's own, and one
  // missing now (moved away, on a disk not mounted yet) is told and asked for at the open, never
  // replaced by another that its backups would then be made of.
  void database() {
    StringSetting& database = s_.databasePath;
    database.defaultValue = s_.dataFolderPath.value + L"/database.klvdb7";
    const bool firstRun = loading() && readRegString(s_.root_, database.subkey, database.name, L"").empty();
    step(database);
    if (!firstRun || !nothingAt(database.value)) return;
    const std::wstring old = platform::programFolder() + L"/data/database.klvdb7";
    if (!fileExists(old)) {
      const std::wstring shipped = s_.installPath.value + L"/database.klvdb7";
      if (fileExists(shipped) && !platform::copyFile(shipped, database.value, false)) {
        s_.databaseCopyFailure = fileFailureText(L"データベースファイルを作成できませんでした。", errno);
        platform::traceError(L"settings: cannot copy %ls to %ls\n", shipped.c_str(), database.value.c_str());
      }
      return;
    }
    if (platform::copyFile(old, database.value, false) && platform::copyFile(old, old + L"$", true))
      platform::deleteFile(old);
    else
      platform::traceError(L"settings: the database %ls could not be moved to %ls\n", old.c_str(), database.value.c_str());
  }

  bool rankingFile() {
    StringSetting& irank = s_.irankDatafilePath;
    irank.defaultValue = s_.dataFolderPath.value + L"/irank.dat";
    step(irank);
    if (!loading() || fileExists(irank.value) || !inAFolderThere(irank.value) ||
        copyFromProgramData(irank, L"irank.dat"))
      return true;
    irank.value = irank.defaultValue;
    return askForFile(irank, L"インターネットランキング関連情報ファイルを選択してください", L"*.dat",
                      L"IRank Data File(*.dat)", L"*.dat");
  }

  bool webDictionaryFile() {
    StringSetting& webdic = s_.webdicInifilePath;
    webdic.defaultValue = s_.dataFolderPath.value + L"/webdic.ini";
    step(webdic);
    if (!loading() || fileExists(webdic.value) || !inAFolderThere(webdic.value) ||
        copyFromProgramData(webdic, L"webdic.ini"))
      return true;
    return askForFile(webdic, L"Web辞書設定ファイルを選択してください", L"*.ini", L"KLV WebDicIni (*.ini)", L"*.ini");
  }

  void skinUserFile() {
    StringSetting& user = s_.skinUserfilePath;
    user.defaultValue = s_.dataFolderPath.value + L"/user.ini";
    step(user);
    // The file may be made later, by the first skin customisation.
    if (loading() && !fileExists(user.value)) user.value = user.defaultValue;
  }

 private:
  AppSettings& s_;
  bool save_;
  QWidget* owner_;
};

AppSettings::AppSettings(const std::wstring& appKey) {
  if (!openAppRegistryKey(root_, kBrand, appKey, true)) throw std::wstring(L"root-key not exist");
}

std::unique_ptr<AppSettings> AppSettings::open(const std::wstring& appKey) {
  try {
    return std::make_unique<AppSettings>(appKey);
  } catch (const std::wstring& problem) {
    const int cause = errno;  // of the settings file that could not be made
    platform::traceError(L"settings: %ls\n", problem.c_str());
    platform::messageBox(nullptr, fileFailureText(L"レジストリの読み込みに失敗しました。", cause), L"KLV");
    return nullptr;
  }
}

bool AppSettings::loadOrSaveAll(bool save, QWidget* owner) {
  // Saving writes every value: one write of the file. Loading writes a few values back and asks
  // the user in between, so it holds no batch (and no file lock) across those dialogs.
  std::optional<platform::RegistryBatch> batch;
  if (save) batch.emplace();
  Pass pass(*this, save, owner);
  if (!pass.installFolder()) return false;
  const std::wstring& inst = installPath.value;
  pass.dataFolder();
  pass.database();
  pass.step(makeBackupFlag);
  if (!pass.rankingFile()) return false;

  skin7Path.defaultValue = inst + L"/skin7/default.lua";
  if (!pass.requireFile(skin7Path, L"スキンファイルを選択してください", L"*.lua", L"KLV SkinFile (*.lua)", L"*.lua"))
    return false;
  pass.skinUserFile();
  if (!pass.webDictionaryFile()) return false;

  kpdIdxfilePath.defaultValue = inst + L"/data/pronounce.kpdidx";
  kpdDicfilePath.defaultValue = inst + L"/data/pronounce.kpddic";
  kpdImagefilePath.defaultValue = inst + L"/data/kpdimage.bmp";
  cmu2ipaFilePath.defaultValue = inst + L"/data/ipamap.txt";
  katmodeFilePath.defaultValue = inst + L"/katmode.txt";
  if (!pass.requireFile(kpdIdxfilePath, L"発音記号辞書ファイルを選択してください", L"*.kpdidx",
                        L"KLV Pronouncing Dictionary (*.kpdidx)", L"*.kpdidx") ||
      !pass.requireFile(kpdDicfilePath, L"発音記号辞書ファイルを選択してください", L"*.kpddic",
                        L"KLV Pronouncing Dictionary (*.kpddic)", L"*.kpddic") ||
      !pass.requireFile(kpdImagefilePath, L"発音記号画像ファイルを選択してください", L"*.bmp",
                        L"Pronouncing Image Bitmap (*.bmp)", L"*.bmp") ||
      !pass.requireFile(cmu2ipaFilePath, L"発音記号変換表ファイルの設定", L"*.txt", L"CMU to IPA Map File (*.txt)",
                        L"*.txt") ||
      !pass.requireFile(katmodeFilePath, L"KlvAgent 音声エンジン定義ファイルの設定", L"*.txt",
                        L"KlvAgent Lang-Definition File (*.txt)", L"*.txt"))
    return false;

  wavVoiceFolder.defaultValue = inst + L"/data/wavvoice";
  if (!pass.requireFolder(wavVoiceFolder,
                          L"WAV ファイルの格納フォルダが見つかりませんでした．次のダイアログで指定してください．") ||
      !pass.requireTemplateFolder(
          printTempleteFolder, L"print-config",
          L"印刷テンプレートファイルの格納フォルダが見つかりませんでした．次のダイアログで指定してください．") ||
      !pass.requireTemplateFolder(printCardTempleteFolder, L"print-card-config",
                                  L"カード印刷テンプレートファイルの格納フォルダが見つかりませんでした．"
                                  L"次のダイアログで指定してください．"))
    return false;

  loadOrSaveInt(save, root_, L"settings\\1", L"background-color", backgroundColor, kDefaultBackgroundColor);
  // Both defaults were on only for an old family of the original platform; this is never it.
  alwaysOnTop.defaultValue = false;
  showPronounceByImage.defaultValue = false;
  correctSound.defaultValue = inst + L"/data/Correct.wav";
  incorrectSound.defaultValue = inst + L"/data/Incorrect.wav";
  for (Setting* setting : std::initializer_list<Setting*>{
           &voice5Id, &correctSound, &incorrectSound, &soundVolume, &correctWaitMsec, &incorrectWaitMsec,
           &randomReply, &randomMistakeReply, &ignoreCase, &opacity, &judgeByHeadReply, &judgeBySubReply,
           &judgeSubCount, &useOsDefaultBackgroundColor, &defaultQuestionCount, &replyStartLimitCountJe,
           &useReplyStartLimitJe, &replyLimitEj, &useReplyLimitEj, &showLimitEj4, &useShowLimitEj4, &replyLimitEj4,
           &useReplyLimitEj4, &showLimitJe4, &useShowLimitJe4, &replyLimitJe4, &useReplyLimitJe4,
           &useSelectionStrReturn, &alwaysShowHint, &stopAfterAnswer, &alwaysOnTop, &decideWithoutReturn,
           &showPronounce, &showPronounceByImage, &enterMistakeReplyLimit, &keepLastReplyWindowPos,
           &showAnswerOnMakeExamCard, &multiJudgeCount, &multiJudgeOkOnOverCount, &useVoice, &voiceRate,
           &voiceVolume, &voiceFormat, &useWavVoice, &useAgentVoice, &agentLanguageId, &agentVolume, &agentPitch,
           &useClipboardCopyOnPronounce})
    pass.step(*setting);
  if (!save) clamp(multiJudgeOkOnOverCount.value, 0, 5, multiJudgeOkOnOverCount.defaultValue);

  if (!loadOrSaveGroup(save)) return false;
  return !batch || batch->commit();
}

bool AppSettings::loadOrSaveGroup(bool save) {
  platform::RegistryBatch batch;
  Pass pass(*this, save, nullptr);
  pass.step(lastSection);
  for (StringSetting& recent : recentSectionPath) pass.step(recent);
  loadOrSaveInt(save, root_, L"config", L"study-mode", studyMode, 1);
  for (Setting* setting : std::initializer_list<Setting*>{&lastSelectedTabId, &replyWindowX, &replyWindowY,
                                                          &windowWidth, &windowHeight, &previewWidth, &previewHeight,
                                                          &previewDlgPeriodSize, &userName})
    pass.step(*setting);
  loadOrSaveInt(save, root_, L"config", L"correctrate-mode", correctrateMode, 2);
  clamp(correctrateMode, 0, 2, 2);
  pass.step(rankingAutoUpdate);
  pass.step(autopopupEstimatePoint);
  // A load writes back only values it had to repair: a failure there does not stop the program.
  const bool written = batch.commit();
  return written || !save;
}
