#include "app/shell/klv_app.h"

#include <QWidget>
#include <cerrno>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/file_failure.h"

KlvApp::KlvApp() : commandLine(std::make_unique<CommandLineOptions>()) {}

KlvApp::~KlvApp() = default;

pdb3::StudyContext KlvApp::studyContext() {
  return pdb3::StudyContext{db, currentUserId, currentSetId, studyMode,
                            [this](const std::wstring& text) { notice.ShowText(text); }, notifyFailedRead,
                            memoryRates == pdb3::MemoryRateTable::present};
}

RankingTarget KlvApp::rankingTarget() {
  return RankingTarget{pointInfo, settings ? settings->userName.value : std::wstring(),
                       settings ? settings->irankDatafilePath.value : std::wstring()};
}

bool KlvApp::SaveStudyHistory(pdb3::DailyLogRecord& record, bool addToPass, int points) {
  return ::SaveStudyHistory(studyContext(), rankingTarget(), record, addToPass, points);
}

bool KlvApp::SaveStudyInTransaction(pdb3::DailyLogRecord& record, int points) {
  const bool saved = SaveStudyHistoryInTransaction(studyContext(), rankingTarget(), record, points);
  if (!saved) recordFailure(ExitStudyNotSaved);
  return saved;
}

void KlvApp::recordFailure(ExitCode code) {
  if (exitCode == ExitNormal) exitCode = code;
}

PointInfoRecord& KlvApp::CurrentUserPointInfo() {
  return currentUserPointInfo(pointInfo, settings ? settings->userName.value : std::wstring());
}

bool KlvApp::SaveRankingOrSay(QWidget* owner) {
  if (pointInfo.save(settings->irankDatafilePath.value)) return true;
  platform::messageBox(owner, fileFailureText(L"ランキングデータを保存できませんでした。", errno), kAppCaption,
                       platform::MbOk | platform::MbIconError);
  return false;
}

void KlvApp::ApplyWindowOpacity(QWidget* window, bool enable) const {
  const int opacity = settings ? settings->opacity.value : 0;
  if (enable && opacity != 0) {
    window->setWindowOpacity((opacity * 255 / 100) / 255.0);
  } else {
    window->setWindowOpacity(1.0);
  }
}
