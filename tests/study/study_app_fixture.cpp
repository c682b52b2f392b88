#include "study_app_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <atomic>

#include "app/shell/app_study_host.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/users.h"
#include "study/window/start_study.h"
#include "test_env.h"

namespace studytest {

namespace {

constexpr int kSampleSetId = 2;

std::wstring freshDatabaseCopy() {
  static std::atomic<int> serial{0};
  const QString folder = QString::fromStdString(testenv::processDir()) + QString("/study%1").arg(serial++);
  QDir().mkpath(folder);
  const QString target = folder + "/database.klvdb7";
  QFile::remove(target);
  const QString source = QString::fromStdString(testenv::programDir()) + "/database.klvdb7";
  EXPECT_TRUE(QFile::copy(source, target)) << source.toStdString();
  QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
  return target.toStdWString();
}

}  // namespace

StudyApp::StudyApp(int mode) : path_(freshDatabaseCopy()) {
  notifierGuard_ = std::make_unique<platform::NotifierOverride>(notifier);
  settings.databasePath.value = path_;
  settings.userName.value = L"tester";
  settings.correctWaitMsec.value = 1;
  settings.incorrectWaitMsec.value = 0;
  settings.stopAfterAnswer.value = false;
  settings.randomMistakeReply.value = false;
  settings.useReplyStartLimitJe.value = false;
  settings.useReplyLimitEj.value = settings.useReplyLimitEj4.value = settings.useReplyLimitJe4.value = false;
  settings.useShowLimitEj4.value = settings.useShowLimitJe4.value = false;
  settings.useVoice.value = settings.useWavVoice.value = settings.useAgentVoice.value = false;
  settings.addToSmartlearninglistAfterLearning.value = false;
  settings.irankDatafilePath.value = QString::fromStdString(testenv::processDir() + "/irank.dat").toStdWString();
  settings.skin7Path.value = QString::fromStdString(testenv::sourceDir() + "/resources/skin7/default.lua").toStdWString();
  settings.skinUserfilePath.value = QString::fromStdString(testenv::processDir() + "/skinuser.ini").toStdWString();
  app.settings = &settings;
  app.db.open(path_.c_str());
  app.currentUserId = pdb3::insertUser(accessor(), L"tester");
  app.currentSetId = kSampleSetId;
  app.studyMode = mode;
  app.smartLearningSetId = pdb3::EnsureSmartLearningBinder(app.db);
  QObject::connect(&resultCloser, &QTimer::timeout, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog && dialog->objectName() == "id135") dialog->accept();
  });
  resultCloser.start(20);
}

StudyApp::~StudyApp() = default;

int StudyApp::intValue(const std::wstring& sql) { return pdb3::querySqlfIntOrMinus1(accessor(), L"%ls", sql.c_str()); }

void StudyApp::reopenWithMemoryRateNameTaken(const std::wstring& nameHolder) {
  ASSERT_TRUE(pdb3::execSql(accessor(), (L"DROP TABLE memory_rate; UPDATE version SET subversion=1; " + nameHolder).c_str()));
  ASSERT_TRUE(app.OpenDatabase());
  ASSERT_TRUE(app.TakeUpOpenedDatabase());  // as every open of the program does
  ASSERT_EQ(app.memoryRates, pdb3::MemoryRateTable::nameTaken);
  ASSERT_EQ(app.smartLearningSetId, -1);
}

bool StudyApp::startStudy(const std::wstring& title, const std::vector<int>& questionIds, bool commandLine) {
  SoundQueue sounds;
  AppStudyHost host(app, sounds, commandLine);
  return study::StartStudy(host, nullptr, title, questionIds);
}

}  // namespace studytest
