// Every user setting of the program, kept below HKEY_CURRENT_USER\Software\Tarvo Presents\<app
// key> in the subkeys "config" and "settings\1". Value names are the stored names, spellings
// included; members are named after them. Paths use "/".
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "services/setting_values.h"

class QWidget;

class AppSettings {
 public:
  // Opens (or makes) the application's key; throws the wide text "root-key not exist" when that
  // fails. Loads nothing.
  explicit AppSettings(const std::wstring& appKey);
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // The constructor for start-up: instead of throwing, the user is told that the settings could
  // not be read ("KLV" box) and the result is null.
  static std::unique_ptr<AppSettings> open(const std::wstring& appKey);

  // The full pass. Loading fills missing paths with their defaults, moves files of the older
  // layout into place and asks for files that still cannot be found (dialogs owned by owner);
  // false when the user cancels one of them, the values loaded so far staying.
  bool loadAll(QWidget* owner = nullptr) { return loadOrSaveAll(false, owner); }
  bool saveAll() { return loadOrSaveAll(true); }
  // The values the main dialog and the history page change on their own (recent problem sets,
  // study mode, window sizes, user name, correct-rate mode, ranking flags).
  bool saveGroup() { return loadOrSaveGroup(true); }
  bool loadOrSaveAll(bool save, QWidget* owner = nullptr);
  bool loadOrSaveGroup(bool save);

  // Set by a load whose first run could not copy the program's database into place: what the
  // learner is to be told instead of a plain "cannot be read" (a full disk, say). Empty otherwise.
  std::wstring databaseCopyFailure;

  StringSetting installPath{L"config", L"install-path"};
  StringSetting dataFolderPath{L"config", L"data-folder-path"};
  StringSetting databasePath{L"config", L"database-path"};
  BoolSetting makeBackupFlag{L"config", L"make-backup-flag", true};
  StringSetting irankDatafilePath{L"config", L"irank-datafile-path"};
  StringSetting skin7Path{L"config", L"skin7-path"};
  StringSetting skinUserfilePath{L"config", L"skin-userfile-path"};
  StringSetting webdicInifilePath{L"config", L"webdic-inifile-path"};
  StringSetting kpdIdxfilePath{L"config", L"kpd-idxfile-path"};
  StringSetting kpdDicfilePath{L"config", L"kpd-dicfile-path"};
  StringSetting kpdImagefilePath{L"config", L"kpd-imagefile-path"};
  StringSetting cmu2ipaFilePath{L"config", L"cmu2ipa-file-path"};
  StringSetting katmodeFilePath{L"config", L"katmode-file-path"};
  StringSetting voice5Id{L"settings\\1", L"voice5-id"};
  StringSetting userName{L"settings\\1", L"user-name"};
  StringSetting lastSection{L"config", L"last-section"};
  std::array<StringSetting, 5> recentSectionPath{
      StringSetting{L"config", L"recent-section-path01"}, StringSetting{L"config", L"recent-section-path02"},
      StringSetting{L"config", L"recent-section-path03"}, StringSetting{L"config", L"recent-section-path04"},
      StringSetting{L"config", L"recent-section-path05"}};
  IntSetting lastSelectedTabId{L"config", L"last-selected-tab-id", 1};
  StringSetting correctSound{L"settings\\1", L"correct-sound", L"", L"no entry"};
  StringSetting incorrectSound{L"settings\\1", L"incorrect-sound", L"", L"no entry"};
  IntSetting soundVolume{L"settings\\1", L"sound-volume", 100};
  IntSetting correctWaitMsec{L"settings\\1", L"correct-wait-msec", 200};
  IntSetting incorrectWaitMsec{L"settings\\1", L"incorrect-wait-msec", 200};
  BoolSetting randomReply{L"settings\\1", L"random-reply", true};
  BoolSetting randomMistakeReply{L"settings\\1", L"random-mistake-reply", true};
  BoolSetting ignoreCase{L"settings\\1", L"ignore-case", true};
  IntSetting opacity{L"settings\\1", L"opacity", 100};
  BoolSetting judgeByHeadReply{L"settings\\1", L"judge-by-head-reply", false};
  BoolSetting judgeBySubReply{L"settings\\1", L"judge-by-sub-reply", false};
  IntSetting judgeSubCount{L"settings\\1", L"judge-sub-count", 2};
  BoolSetting rankingAutoUpdate{L"config", L"ranking-auto-update", false};
  BoolSetting autopopupEstimatePoint{L"config", L"autopopup-estimate-point", true};
  IntSetting windowWidth{L"config", L"window-width", 600};
  IntSetting windowHeight{L"config", L"window-height", 450};
  IntSetting previewWidth{L"config", L"preview-width", 750};
  IntSetting previewHeight{L"config", L"preview-height", 520};
  int backgroundColor = kDefaultBackgroundColor;  // a COLORREF, 0x00BBGGRR
  BoolSetting useOsDefaultBackgroundColor{L"config", L"use-os-default-background-color", false};
  // Kept in memory only: it starts on in every run and the study result dialog changes it.
  BoolSetting addToSmartlearninglistAfterLearning{L"config", L"add-to-smartlearninglist-after-learning", true};
  int studyMode = 1;
  IntSetting defaultQuestionCount{L"settings\\1", L"default-question-count", 15};
  IntSetting previewDlgPeriodSize{L"config", L"preview-dlg-period-size", -1};
  IntSetting replyStartLimitCountJe{L"settings\\1", L"reply-start-limit-count-je", 5000};
  BoolSetting useReplyStartLimitJe{L"settings\\1", L"use-reply-start-limit-je", true};
  IntSetting replyLimitEj{L"settings\\1", L"reply-limit-ej", 15000};
  BoolSetting useReplyLimitEj{L"settings\\1", L"use-reply-limit-ej", true};
  IntSetting showLimitEj4{L"settings\\1", L"show-limit-ej4", 1000};
  BoolSetting useShowLimitEj4{L"settings\\1", L"use-show-limit-ej4", true};
  IntSetting replyLimitEj4{L"settings\\1", L"reply-limit-ej4", 15000};
  BoolSetting useReplyLimitEj4{L"settings\\1", L"use-reply-limit-ej4", true};
  IntSetting showLimitJe4{L"settings\\1", L"show-limit-je4", 1000};
  BoolSetting useShowLimitJe4{L"settings\\1", L"use-show-limit-je4", true};
  IntSetting replyLimitJe4{L"settings\\1", L"reply-limit-je4", 15000};
  BoolSetting useReplyLimitJe4{L"settings\\1", L"use-reply-limit-je4", true};
  BoolSetting useSelectionStrReturn{L"settings\\1", L"use-selection-str-return", true};
  BoolSetting alwaysShowHint{L"settings\\1", L"always-show-hint", false};
  BoolSetting stopAfterAnswer{L"settings\\1", L"stop-after-answer", true};
  BoolSetting alwaysOnTop{L"settings\\1", L"always-on-top", false};
  BoolSetting decideWithoutReturn{L"settings\\1", L"decide-without-return", false};
  BoolSetting showPronounce{L"settings\\1", L"show-pronounce", true};
  BoolSetting showPronounceByImage{L"settings\\1", L"show-pronounce-by-image", false};
  IntSetting enterMistakeReplyLimit{L"settings\\1", L"enter-mistake-reply-limit", 5};
  IntSetting replyWindowX{L"config", L"reply-window-x", -1};
  IntSetting replyWindowY{L"config", L"reply-window-y", -1};
  BoolSetting keepLastReplyWindowPos{L"config", L"keep-last-reply-window-pos", false};
  BoolSetting showAnswerOnMakeExamCard{L"settings\\1", L"show-answer-on-make-exam-card", true};
  IntSetting multiJudgeCount{L"settings\\1", L"multi-judge-count", 0};
  IntSetting multiJudgeOkOnOverCount{L"settings\\1", L"multi-judge-ok-on-over-count", 1};
  int correctrateMode = 2;
  BoolSetting useVoice{L"settings\\1", L"use-voice", true};
  IntSetting voiceRate{L"settings\\1", L"voice-rate", 0};
  IntSetting voiceVolume{L"settings\\1", L"voice-volume", 100};
  IntSetting voiceFormat{L"settings\\1", L"voice-format", 27};
  BoolSetting useWavVoice{L"settings\\1", L"use-wav-voice", true};
  StringSetting wavVoiceFolder{L"settings\\1", L"wav-voice-folder", L"", L"no entry"};
  BoolSetting useAgentVoice{L"settings\\1", L"use-agent-voice", false};
  StringSetting agentLanguageId{L"settings\\1", L"agent-language-id", L"409,{CA141FD0-AC7F-11D1-97A3-006008273008}"};
  IntSetting agentVolume{L"settings\\1", L"agent-volume", 100};
  IntSetting agentPitch{L"settings\\1", L"agent-pitch", 100};
  BoolSetting useClipboardCopyOnPronounce{L"settings\\1", L"use-clipboard-copy-on-pronounce", false};
  StringSetting printTempleteFolder{L"settings\\1", L"print-templete-folder", L"", L"no entry"};
  StringSetting printCardTempleteFolder{L"settings\\1", L"print-card-templete-folder", L"", L"no entry"};

  static constexpr int kDefaultBackgroundColor = 0xFFF1E2;

 private:
  class Pass;

  RegistryKey root_;
};
