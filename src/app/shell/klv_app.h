// The application object: the one database connection, who studies what, and the shared
// resources (settings, notice box, ranking store, voice) every window reaches through it.
#pragma once

#include <QBrush>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/options/web_dictionary.h"
#include "app/shell/exit_codes.h"
#include "app/shell/reopened.h"
#include "database/database_file.h"
#include "database/engine/sqlite_connection.h"
#include "database/logs/study_context.h"
#include "services/command_line.h"
#include "services/database_failure.h"
#include "services/named_mutex.h"
#include "services/notice_box.h"
#include "services/point_info_store.h"
#include "services/study_history.h"
#include "study/sound/pronouncing_dictionary.h"
#include "study/sound/speech_voice.h"

class AppSettings;
class MainDialog;
namespace pdb3 {
class DbObject;
}
class QWidget;
class SoundQueue;

class KlvApp {
 public:
  KlvApp();
  ~KlvApp();
  KlvApp(const KlvApp&) = delete;
  KlvApp& operator=(const KlvApp&) = delete;

  // The whole run of the program: the instance and editor locks, the settings, speech, the
  // database and data files under the splash window, the first user, the command line, the main
  // window, and at the end the settings saved and the database backed up. arguments: the
  // process's, the program first. Every refusal has been told to the user; returns exitCode.
  int RunStartup(const std::vector<std::wstring>& arguments);
  // Runs RunStartup with the C library's locale taken from the environment. Always false: the
  // program's life is over when it returns.
  bool InitInstance(const std::vector<std::wstring>& arguments);
  // Lets the speech agent go and gives up the instance lock. Returns exitCode: the process's
  // exit status.
  int ExitInstance();
  // Keeps the code of a failure of the run for its exit status; the first failure's code stands.
  void recordFailure(ExitCode code);
  // Tells a running speech agent to quit (the program ends, or agent speech was switched off).
  static void QuitAgentSpeaker();

  // The connection with the current user, set and mode, for the data layer's study code.
  pdb3::StudyContext studyContext();
  // The ranking store with the user's name and the ranking file of the settings.
  RankingTarget rankingTarget();
  // The ranking record of the current user, made on first use.
  PointInfoRecord& CurrentUserPointInfo();
  // Writes the ranking file; a save that fails is said with its cause (the store keeps what the
  // file lacks, for the next save that works). False then.
  bool SaveRankingOrSay(QWidget* owner);
  // Writes everything one study produced, inside the caller's transaction.
  bool SaveStudyHistory(pdb3::DailyLogRecord& record, bool addToPass, int points);
  // The study window's save: SaveStudyHistory with the pass, in one transaction on the record's
  // connection (the application's).
  bool SaveStudyInTransaction(pdb3::DailyLogRecord& record, int points);

  // Why an open of the database failed, in the words the learner is to be told.
  struct DatabaseOpenFailure {
    std::wstring text;
    // Another program holds the file, the disk is full, an I/O error: the same file may open later.
    // Otherwise the file at the path stays unusable (missing, unreadable, foreign, another version).
    bool mayPass = false;
  };
  // Opens the database file of the settings: OpenDatabaseFile of database-path.
  bool OpenDatabase(DatabaseOpenFailure* failure = nullptr);
  // Opens `path` on a connection of its own and checks it; says nothing. Only once it has opened
  // does it take the place of the file open before, which closes, and the settings name it (not
  // saved here). False, the file open before still open, when it does not: `failure` hears why. A
  // file whose upgrade can never add the memory_rate table (or a current one without it) opens
  // without it: smart learning is unavailable. What the program keeps about the file is not looked
  // up here: TakeUpOpenedDatabase does that.
  bool OpenDatabaseFile(const std::wstring& path, DatabaseOpenFailure* failure = nullptr);
  // After every open that succeeded (at start-up, by the reload, after the editor, and of a file
  // the learner chose instead): what the program keeps about the file is looked up in it, since
  // the ids of the file open before mean other rows here. The settings' user (registered when the
  // file does not know the name), the smart-learning set (EnsureSmartLearningSet; -1 without the
  // memory_rate table or while it can be neither looked up nor made), and no set chosen until the
  // caller finds its path in this file. Nothing is said here: what could not be had waits, with
  // its cause, for TellWhatTheFileLacks. False when there is no user to study as.
  bool TakeUpOpenedDatabase();
  // Whether the last open or take-up left something for TellWhatTheFileLacks to say.
  bool fileLacksUntold() const;
  // Says once what the last open and take-up could not have, each with its cause: no user to study
  // as, or why smart learning is unavailable. A user that could not be had for a cause that passes
  // is offered to be tried again, and on the learner's word the file is taken up again at once.
  // False when there is still no user to study as (nothing else is said then: the run or the
  // window ends).
  bool TellWhatTheFileLacks(QWidget* owner);
  // After an open that left no memory_rate table: says why smart learning is unavailable, once
  // for that open.
  void TellMissingMemoryRates(QWidget* owner);
  // The open file's smart-learning list (smartLearningSetId): the one already had, or, while it
  // could not be had for a cause that passes (another program's lock, a full disk, an I/O error),
  // looked up or made now. False while there is none; a try that failed is said through `say`
  // (when given) with its cause.
  bool EnsureSmartLearningSet(QWidget* owner = nullptr, FailureReport say = nullptr);
  // Whether smart learning cannot be had in the open file for as long as it is open: no memory
  // rates, or a list the file refused for a cause that lasts. Reads nothing.
  bool smartLearningUnavailable() const;
  // Says why, through the failure rule, for a command that needs smart learning: the open's words
  // for the missing memory rates, or the refused list with the cause the file gave.
  void TellWhySmartLearningIsUnavailable(QWidget* owner);
  // Which file a reload opens.
  enum class Reload {
    settingsFile,  // the settings' file again: put in place since, or left in the settings by the editor
    namedFile,     // another file the learner has just named in the options
  };
  // Opens the settings' database file again on a connection of its own (a file put in place of the
  // open one since, or another named by the options or the editor) and takes it up there, the
  // user offered to be tried again while a cause that may pass keeps it (TellWhatTheFileLacks); only
  // a file with a user to study as takes the place of the open one, and then says what else it
  // lacks. The file that was open stays, named by the settings again, with what could not be done
  // said with its cause, when:
  // - the file cannot be opened for a cause that may pass (another program holds it past the wait,
  //   the disk is full), or for any cause when the options named it (`reload` namedFile);
  // - it gives no user to study as, and the file that was open is still the one at its path.
  // Another file is asked for while the settings' own file cannot be opened for a lasting cause;
  // the settings store the file chosen, or the one the options named, once it has taken the open
  // one's place. Given up, the file open stays while it is still the one at its path, said with
  // why the settings' file did not open; without it the run ends with ExitDatabaseNotOpened. A file
  // without a user to study as and none to go back to ends it with ExitDataUnusable.
  Reopened ReopenDatabase(QWidget* owner, Reload reload = Reload::settingsFile);
  // Makes the user of that name the current one, registering the name when the database does not
  // know it. False, the current user as it was, when the name can be neither found nor registered
  // (the engine noted why).
  bool SelectUser(const std::wstring& name);
  // The id of the user of that name in the file, registering the name when the file does not know
  // it; -1 when it can be neither found nor registered (the engine noted why).
  static int32_t FindOrRegisterUser(const pdb3::DbObject& file, const std::wstring& name);
  // SelectUser for the name of the settings.
  bool SelectSettingsUser();
  // Keeps the current study mode in the settings and the main dialog's mode chooser. Always false.
  bool SyncStudyMode();
  // Closes the pass of study log lid: counted as accomplished when it asked anything, emptied.
  bool ResetRound(int lid);
  // The study the command line asks for: its set, mode and count, the next questions of the
  // pass, studied with no main window to hide. A path that names no problem set is refused with
  // a message (ExitSetNotFound); one that could not be looked up, or questions that could not be
  // read, with their cause (ExitDataUnusable). sounds: the queue of the window that runs (the main
  // dialog's).
  bool AutorunStudy(SoundQueue& sounds);

  // Window opacity is always at hand here; kept so that callers read as everywhere else.
  bool LoadLayeredWindowApi() const { return true; }
  // With enable and a non-zero opacity setting the window becomes that translucent; else opaque.
  void ApplyWindowOpacity(QWidget* window, bool enable) const;

  // The brush windows paint their background with, of the colour given (0x00BBGGRR): the
  // options preview a colour through it and put the stored one back. Unchanged while the
  // system's own background is chosen.
  void UpdateBackgroundBrush(int colour);
  // Reads the web dictionaries from webdic-inifile-path (start-up does, once).
  bool LoadWebDictionaries();

  sqliteplus::SqliteConnection db;
  // The run's exit status (exit_codes.h): ExitNormal until a failure is recorded.
  int exitCode = ExitNormal;
  // The main dialog reaches the application through this pointer.
  KlvApp* self = this;
  int32_t currentSetId = -1;
  int32_t currentUserId = -1;
  int32_t studyMode = 1;
  PointInfoStore pointInfo;
  int32_t smartLearningSetId = -1;
  // What the last open left of the memory_rate table.
  pdb3::MemoryRateTable memoryRates = pdb3::MemoryRateTable::present;
  CNoticeBox notice;
  NamedMutex instanceMutex;
  std::unique_ptr<CommandLineOptions> commandLine;
  // Lives in start-up's frame (or a test's); null until then.
  AppSettings* settings = nullptr;
  // The main window while it runs (it publishes itself when it initialises); null before.
  MainDialog* mainDialog = nullptr;
  SpeechVoice speechVoice;
  // Opened by start-up from kpd-idxfile-path and kpd-dicfile-path; finds nothing until then.
  study::PronouncingDictionary pronouncingDictionary;
  // Loaded at start-up; the options dialog edits and saves it, the question lists open its entries.
  WebDictionaryList webDictionaries;
  // No brush (Qt::NoBrush) until the first UpdateBackgroundBrush.
  QBrush backgroundBrush;
  // The note page descriptions are shown through (notePageLocation()), deleted at exit.
  std::wstring notePagePath;
  // The PDF file the learner last printed to in this run: the next print offers it again.
  std::wstring lastPrintPdf;

 private:
  // The settings name the file that is open again after a reload that could not open another.
  void NameTheOpenFileAgain(QWidget* owner);
  // What the program keeps about a file, looked up in it (TakeUpOpenedDatabase).
  struct FileTakeUp {
    int32_t userId = -1;
    int32_t smartLearningSetId = -1;
    bool smartLearningRefused = false;
    // What could not be had, with the cause the engine gave then.
    std::optional<KeptFailureCause> userUntold;
    std::optional<KeptFailureCause> smartLearningUntold;
  };
  // Looks up in `file` the settings' user (registered when the file does not know the name) and,
  // with a user and the memory rates, the smart-learning list. Says nothing; changes nothing here.
  FileTakeUp TakeUp(sqliteplus::SqliteConnection& file, pdb3::MemoryRateTable rates) const;
  // What was looked up becomes the open file's; no set is chosen until the caller finds its path.
  void KeepTakeUp(FileTakeUp taken);
  // Opens `path` on `opened` and checks it; says nothing and changes nothing here.
  static bool OpenFileApart(const std::wstring& path, sqliteplus::SqliteConnection& opened, pdb3::FileFindings& found,
                            DatabaseOpenFailure* failure);
  // The file opened apart takes the place of the one open, which closes; the settings name it.
  void ReplaceOpenFile(sqliteplus::SqliteConnection& opened, const std::wstring& path, const pdb3::FileFindings& found);
  // Whether the file that is open is still the one at its path (not moved, deleted or replaced).
  bool OpenFileStillThere() const;

  // The path the file that is open was opened by, as the settings name it.
  std::wstring openedPath_;
  bool missingMemoryRatesUntold_ = false;
  // What the last take-up could not have, with the cause the engine gave then.
  std::optional<KeptFailureCause> userUntold_;
  std::optional<KeptFailureCause> smartLearningUntold_;
  // The file refused the smart-learning list for a cause that lasts: it is not asked for again.
  bool smartLearningRefused_ = false;
  KeptFailureCause smartLearningRefusal_;  // why, while refused
};
