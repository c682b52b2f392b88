// The application's life from the first lock to the last backup.
#include <clocale>
#include <ctime>
#include <memory>
#include <optional>

#include "app/shell/database_backups.h"
#include "app/shell/database_chooser.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "app/main/note_browser.h"
#include "app/shell/old_files.h"
#include "app/common/settings_save.h"
#include "app/shell/splash_dialog.h"
#include "app/shell/user_dialogs.h"
#include "app/shell/user_records.h"
#include "database/engine/background_read.h"
#include "database/engine/sql_helpers.h"
#include "services/database_failure.h"
#include "platform/speech/agent_link.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/random.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/app_settings.h"

namespace {

void TraceLine(const char* text) { platform::trace("%s\n", text); }

constexpr wchar_t kWelcome[] =
    L"Kelvara をご利用いただきありがとうございます。\n\nまず最初に利用者を登録する必要があります。"
    L"（履歴の作成時に利用されます）\n次に表示される画面で、利用者名を入力し、OKボタンを押してください。\n"
    L"（次回からこの画面は表示されません。）";

}  // namespace

bool KlvApp::InitInstance(const std::vector<std::wstring>& arguments) {
  std::setlocale(LC_ALL, "");
  // Numbers in SQL text and in files are written with a point whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
  RunStartup(arguments);
  return false;
}

void KlvApp::QuitAgentSpeaker() {
  if (const auto agent = platform::FindAgentSpeakerWindow()) platform::sendAgentCommand(*agent, platform::AgentQuit, L"", 0);
}

int KlvApp::ExitInstance() {
  QuitAgentSpeaker();
  instanceMutex.Release();
  return exitCode;
}

int KlvApp::RunStartup(const std::vector<std::wstring>& arguments) {
  // A second instance leaves without a word: the first is already on screen.
  if (!instanceMutex.Create(L"Kelvara")) return exitCode;
  {
    NamedMutex editorProbe;
    if (!editorProbe.Create(L"KlvEditor")) {
      platform::messageBox(nullptr, L"KlvEditor を終了させてから KLV を起動してください。", L"KLV");
      return exitCode;
    }
  }
  platform::seedRandom(static_cast<unsigned>(std::time(nullptr)));

  // The settings live in this frame; everything of the run reaches them through `settings`,
  // which must not outlive them.
  const std::unique_ptr<AppSettings> ownSettings = AppSettings::open(L"KLV7");
  if (!ownSettings) {
    recordFailure(ExitDataUnusable);
    return exitCode;
  }
  struct SettingsPointer {
    AppSettings*& pointer;
    ~SettingsPointer() { pointer = nullptr; }
  } settingsPointer{settings};
  settings = ownSettings.get();
  TraceLine("next : load registry entries");
  if (!settings->loadAll()) {
    platform::messageBox(nullptr, L"レジストリの読み込みに失敗しました。", L"KLV");
    return exitCode;
  }

  TraceLine("next : check registry-entries");
  TraceLine("next : speech-engine5 initialization");
  speechVoice.prepareOnFirstUse(*settings);
  TraceLine("next : speech-engine4 initialization");
  if (settings->useAgentVoice.value) platform::EnsureAgentSpeaker();
  notePagePath = notePageLocation();

  TraceLine("next : splash-screen-thread start");
  CSplashDlg splash;
  splash.OnInitDialog();
  splash.setProgressText(L"Loading database...");
  bool opened = false;
  DatabaseOpenFailure failure;
  // What the open has to say is said once the splash has gone: it stays above every other window.
  splash.runStep([&] {
    opened = OpenDatabase(&failure);
    // A first run's database that could not even be copied into place: its cause is the one to tell.
    if (!opened && !settings->databaseCopyFailure.empty()) failure.text = settings->databaseCopyFailure;
  });
  if (!opened) {
    splash.closeAfter(100);
    splash.waitUntilClosed();
    if (!ChooseDatabaseUntilOpen(*this, failure.text)) {
      recordFailure(ExitDatabaseNotOpened);
      return exitCode;
    }
  }
  // Reads the question table once so that the file is in the system's cache: on a connection and
  // thread of its own, so that the first window does not wait for a scan of the whole table (the
  // program's own connection keeps a few pages, not the table). Stopped when the run ends.
  std::optional<sqliteplus::BackgroundRead> warmUp;
  warmUp.emplace(db.fileName(), "SELECT * FROM question WHERE answer LIKE 'keen%'");

  splash.setProgressText(L"Loading internet-ranking info...");
  // Told once the splash window has gone, with what the file lacks.
  std::wstring rankingNotice;
  splash.runStep([&] {
    pointInfo.open(settings->irankDatafilePath.value, [&](const std::wstring& text) { rankingNotice = text; });
  });
  splash.setProgressText(L"Loading webdic-inifile...");
  splash.runStep([&] { LoadWebDictionaries(); });
  splash.setProgressText(L"Loading pronounce dictionary...");
  splash.runStep([&] {
    pronouncingDictionary.openIndex(platform::toUtf8(settings->kpdDicfilePath.value),
                                    platform::toUtf8(settings->kpdIdxfilePath.value));
  });
  splash.hideProgressText();
  splash.closeAfter(1200);
  TraceLine("killed the splach-screen-thread");
  settings->saveAll();

  const bool firstUser = settings->userName.value.empty();
  if (firstUser) {
    TraceLine("next : old db update");
    CallUpdateOldFiles();
    splash.closeAfter(100);
    splash.waitUntilClosed();
    platform::messageBox(nullptr, kWelcome, L"Kelvara", platform::MbIconInformation);
    const auto names = userNames(pdb3::openQuery(db));
    if (!names) {
      platform::messageBox(nullptr, databaseFailureTextWhenKnown(L"利用者の一覧を読み込めませんでした。"), L"Kelvara",
                           platform::MbIconError);
      recordFailure(ExitDataUnusable);
      return exitCode;
    }
    CUserSettingDlg first(*names);
    if (first.DoModal() != platform::IdOk) return exitCode;
    settings->userName.value = first.m_strName;
  }
  TakeUpOpenedDatabase();
  // The splash stays above every other window: a box shown before it has gone would be hidden.
  if (fileLacksUntold() || !rankingNotice.empty()) splash.waitUntilClosed();
  if (!TellWhatTheFileLacks(nullptr)) {
    recordFailure(ExitDataUnusable);
    return exitCode;
  }
  if (!rankingNotice.empty()) platform::messageBox(nullptr, rankingNotice, L"Kelvara", platform::MbIconWarning);
  // The name is kept only once the database knows it: a refused start welcomes again next time.
  if (firstUser) saveSettingsOrSay(*settings, nullptr);
  studyMode = settings->studyMode;
  UpdateBackgroundBrush(settings->backgroundColor);

  if (arguments.size() >= 2 && !acceptCommandLine(arguments, *commandLine, notice)) {
    recordFailure(ExitOptionsRefused);
    return exitCode;
  }

  {
    MainDialog dialog(*this);
    mainDialog = &dialog;
    dialog.DoModal();
    settings->lastSelectedTabId.value = dialog.currentPage();
    saveSettingsOrSay(*settings, nullptr);
  }
  // A ranking change the file could not take (an account given a new name, a study's points) is
  // the exit's to write: only the store holds it, and the next start reads the file.
  if (pointInfo.saveOwed(settings->irankDatafilePath.value)) SaveRankingOrSay(nullptr);

  warmUp.reset();  // the copies read the file at the disk's pace, not beside a scan of it
  if (settings->makeBackupFlag.value) MakeDatabaseBackups(db);
  if (!notePagePath.empty()) platform::deleteFile(notePagePath);
  return exitCode;
}
