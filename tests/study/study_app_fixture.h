// A complete application for study tests: a copy of the default database, settings that keep a
// study quick and silent, a user, the sample problem set, and every message box recorded.
#pragma once

#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/klv_app.h"
#include "database/records/db_object.h"
#include "platform/windows/notifier.h"
#include "recording_notifier.h"
#include "services/app_settings.h"

namespace studytest {

class StudyApp {
 public:
  // mode: the application's study mode.
  explicit StudyApp(int mode = 0);
  ~StudyApp();

  KlvApp app;
  AppSettings settings{L"KLV7"};
  RecordingNotifier notifier;
  // The study result dialog closes with OK as soon as it is up.
  QTimer resultCloser;

  pdb3::DbObject accessor() { return pdb3::openQuery(app.db); }
  // A study through the application's host, as the main dialog starts one (commandLine: as a run
  // made for the study starts it).
  bool startStudy(const std::wstring& title, const std::vector<int>& questionIds, bool commandLine = false);
  // Column 0 of the first row as an int, -1 when there is none.
  int intValue(const std::wstring& sql);
  // The file as another program may leave it: the memory-rate table gone and its name taken by
  // what `nameHolder` makes (an index or a view), then opened again as a reload opens it.
  void reopenWithMemoryRateNameTaken(const std::wstring& nameHolder);
  const std::wstring& databasePath() const { return path_; }

 private:
  std::wstring path_;
  std::unique_ptr<platform::NotifierOverride> notifierGuard_;
};

}  // namespace studytest
