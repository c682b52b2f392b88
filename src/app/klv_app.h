// The application object: the one database connection, who studies what, and the shared
// resources (settings, notice box, ranking store, voice) every window reaches through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "database/sqlite_connection.h"
#include "database/study_context.h"
#include "services/command_line.h"
#include "services/named_mutex.h"
#include "services/notice_box.h"
#include "services/point_info_store.h"
#include "services/study_history.h"
#include "study/pronouncing_dictionary.h"
#include "study/speech_voice.h"

class AppSettings;
class QWidget;

class KlvApp {
 public:
  KlvApp();
  ~KlvApp();
  KlvApp(const KlvApp&) = delete;
  KlvApp& operator=(const KlvApp&) = delete;

  // The connection with the current user, set and mode, for the data layer's study code.
  pdb3::StudyContext studyContext();
  // The ranking store with the user's name and the ranking file of the settings.
  RankingTarget rankingTarget();
  // The ranking record of the current user, made on first use.
  PointInfoRecord& CurrentUserPointInfo();
  // Writes everything one study produced, inside the caller's transaction.
  bool SaveStudyHistory(pdb3::DailyLogRecord& record, bool addToPass, int points);
  // The study window's save: SaveStudyHistory with the pass, in one transaction on the record's
  // connection (the application's).
  bool SaveStudyInTransaction(pdb3::DailyLogRecord& record, int points);

  // Window opacity is always at hand here; kept so that callers read as everywhere else.
  bool LoadLayeredWindowApi() const { return true; }
  // With enable and a non-zero opacity setting the window becomes that translucent; else opaque.
  void ApplyWindowOpacity(QWidget* window, bool enable) const;

  sqliteplus::SqliteConnection db;
  // The main dialog reaches the application through this pointer.
  KlvApp* self = this;
  int32_t currentSetId = -1;
  int32_t currentUserId = -1;
  int32_t studyMode = 1;
  PointInfoStore pointInfo;
  int32_t smartLearningSetId = 0;
  CNoticeBox notice;
  NamedMutex instanceMutex;
  std::unique_ptr<CommandLineOptions> commandLine;
  // Lives in start-up's frame (or a test's); null until then.
  AppSettings* settings = nullptr;
  SpeechVoice speechVoice;
  // Opened by start-up from kpd-idxfile-path and kpd-dicfile-path; finds nothing until then.
  study::PronouncingDictionary pronouncingDictionary;
  bool speechEngineReady = false;
  // The note page in the program folder, deleted at exit.
  std::wstring notePagePath;
};
