#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <map>
#include <optional>

#include "database/logs/daily_log.h"
#include "database/records/question.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "study/study_modes.h"
#include "study/window/study_result_dialog.h"
#include "study/window/trans_edit_dialog.h"
#include "event_watch.h"
#include "list_view_input.h"
#include "study_app_fixture.h"
#include "text_contrast.h"

#include <sqlite3.h>

using studytest::StudyApp;

namespace {

pdb3::DailyLogRecord studiedRecord(StudyApp& s) {
  pdb3::DailyLogRecord record(s.accessor());
  record.results[3].nc1 = 1;
  record.results[3].nc2 = 1;
  record.results[3].ni2 = 1;
  record.results[3].ReplySec = 2.25;
  record.results[1].ni1 = 1;
  return record;
}

study::StudyOutcome outcome(const pdb3::DailyLogRecord& record, int mode, int mistakes, int corrects) {
  return study::StudyOutcome{record, mode, mistakes, corrects, 0, 0, 0, 0, 61500, 42};
}

// A card study of questions 1 to 3, every card known, run unattended as a learner ends it with OK
// on the result window: its add box as the window showed it (ticked, enabled), and what the study
// said on standard error.
std::pair<std::vector<std::pair<bool, bool>>, std::string> studyUnattended(StudyApp& s) {
  std::vector<std::pair<bool, bool>> addBoxes;
  const EventWatch shown(QEvent::Show, [&](QObject& receiver) {
    if (receiver.objectName() != "id135") return;
    const auto* add = receiver.findChild<QCheckBox*>("id1327");
    addBoxes.emplace_back(add->isChecked(), add->isEnabled());
  });
  qputenv("KELVARA_AUTOANSWER", "ok");  // every card answered right, the result window closed
  s.resultCloser.stop();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(s.startStudy(L"unattended", {1, 2, 3}));
  const std::string said = testing::internal::GetCapturedStderr();
  qunsetenv("KELVARA_AUTOANSWER");
  return {addBoxes, said};
}

}  // namespace

TEST(StudyResultDialog, ListsEachQuestionWithItsMarksTimeAndLevelInQidOrder) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeJe, 2, 2));
  auto* list = dialog.findChild<QTreeWidget*>("id1259");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  const QTreeWidgetItem* first = list->topLevelItem(0);
  EXPECT_EQ(first->data(0, Qt::UserRole).toInt(), 1);
  EXPECT_EQ(first->text(0), QString::fromStdWString(L"教室"));
  EXPECT_EQ(first->text(1), "classroom");
  EXPECT_EQ(first->text(2), "");
  EXPECT_EQ(first->text(3), QString::fromStdWString(L"×"));
  const QTreeWidgetItem* second = list->topLevelItem(1);
  EXPECT_EQ(second->text(2), QString::fromStdWString(L"○○"));
  EXPECT_EQ(second->text(3), QString::fromStdWString(L"×"));
  EXPECT_EQ(second->text(4), QString::fromStdWString(L"  2.2 秒"));
  EXPECT_TRUE(second->text(5).startsWith("F"));  // a question never studied starts at F
}

TEST(StudyResultDialog, HomeAndEndBringTheFirstAndLastQuestionBackAfterTheWheel) {
  StudyApp s;
  pdb3::DailyLogRecord record(s.accessor());
  for (int qid = 1; qid <= 23; ++qid) record.results[qid].nc1 = 1;  // every question of the sample set
  study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates,
                                outcome(record, study::ModeJe, 0, 23));
  dialog.show();
  listinput::expectHomeAndEndBringTheirRowBack(*dialog.findChild<QTreeWidget*>("id1259"));
}

// A file whose memory-rate table could never be made (an index holds the name) keeps no levels and
// no smart learning: the window shows the rest of the study without them, its add to the smart
// list unticked and greyed, and blames the file for nothing, also as the end of a study brings it
// up; the study is saved without rates, and nothing is said of them nor of the list. The learner's
// choice to add waits in the settings for a file that has the list.
TEST(StudyResultDialog, AFileWithoutMemoryRatesShowsTheStudyWithoutLevelsAndNoFailure) {
  StudyApp s(study::ModeCard);
  s.reopenWithMemoryRateNameTaken(L"CREATE INDEX memory_rate ON question (qid)");
  const pdb3::DailyLogRecord record = studiedRecord(s);
  {
    study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates,
                                  outcome(record, study::ModeJe, 2, 2));
    const auto* list = dialog.findChild<QTreeWidget*>("id1259");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "classroom");
    EXPECT_EQ(list->topLevelItem(1)->text(2), QString::fromStdWString(L"○○"));
    EXPECT_TRUE(list->isColumnHidden(5));
  }
  s.settings.addToSmartlearninglistAfterLearning.value = true;
  const auto [addBoxes, said] = studyUnattended(s);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE nc1=1"), 3) << "the study is saved";
  EXPECT_EQ(said.find("memory rate"), std::string::npos) << said;  // no rate to keep, none kept
  EXPECT_EQ(addBoxes, (std::vector<std::pair<bool, bool>>{{false, false}}));
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{});
  EXPECT_TRUE(s.settings.addToSmartlearninglistAfterLearning.value);
}

// A file that refuses the smart-learning list for good (its own trigger here) keeps its memory
// rates but has no list: the add is unticked and greyed as the window shows, and OK blames nothing.
// The learner's choice waits in the settings.
TEST(StudyResultDialog, AFileThatRefusesTheListForGoodOffersNoAddAndSaysNothingAtOk) {
  StudyApp s(study::ModeCard);
  const int sid = s.app.smartLearningSetId;
  const int folder = s.intValue(L"SELECT fid FROM folder WHERE eid=" + std::to_wstring(sid));
  const std::wstring list = std::to_wstring(sid) + L"," + std::to_wstring(folder);
  const std::wstring sql = L"DELETE FROM folder WHERE eid IN (" + list + L"); DELETE FROM element_info WHERE eid IN (" +
                          list + L"); CREATE TRIGGER no_lists BEFORE INSERT ON element_info BEGIN SELECT "
                                 L"RAISE(ABORT, 'no new sets here'); END";
  ASSERT_TRUE(pdb3::execSql(s.accessor(), sql.c_str()));
  s.app.smartLearningSetId = -1;  // as the open that found none has it
  s.settings.addToSmartlearninglistAfterLearning.value = true;
  const auto [addBoxes, said] = studyUnattended(s);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE nc1=1"), 3) << "the study is saved";
  EXPECT_EQ(addBoxes, (std::vector<std::pair<bool, bool>>{{false, false}}));
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{});
  EXPECT_TRUE(s.settings.addToSmartlearninglistAfterLearning.value);
}

TEST(StudyResultDialog, OkAddsOnlyMissingQuestionsToSmartLearningInOneGo) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  pdb3::addQuestionToSection(s.accessor(), s.app.smartLearningSetId, 1);
  s.settings.addToSmartlearninglistAfterLearning.value = true;
  {
    study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeJe, 2, 2));
    QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.addedCount(), 1);
  }
  ASSERT_FALSE(s.notifier.boxes.empty());
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 1 個の問題をスマート学習リストに追加しました");
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(s.app.smartLearningSetId)), 2);

  s.notifier.boxes.clear();
  {
    study::CStudyResultDlg again(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeJe, 2, 2));
    again.setStartedFromSmartLearningPage(true);
    auto* check = again.findChild<QCheckBox*>("id1327");
    EXPECT_FALSE(check->isEnabled());
    EXPECT_TRUE(check->isChecked());
    again.accept();
    EXPECT_EQ(again.addedCount(), 0);
  }
  EXPECT_TRUE(s.notifier.boxes.empty());  // all present: nothing committed, nothing said

  // Refused half way (question 1 added, 3 not): nothing of the add stays.
  ASSERT_TRUE(pdb3::execSqlf(s.accessor(), L"DELETE FROM section WHERE sid=%d", s.app.smartLearningSetId));
  ASSERT_TRUE(pdb3::execSql(s.accessor(), L"CREATE TRIGGER refuse BEFORE INSERT ON section WHEN NEW.qid=3 "
                                          L"BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  study::CStudyResultDlg(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates,
                         outcome(record, study::ModeJe, 2, 2))
      .accept();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(s.app.smartLearningSetId)), 0);
  s.notifier.boxes.clear();

  study::CStudyResultDlg off(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeJe, 2, 2));
  auto* check = off.findChild<QCheckBox*>("id1327");
  QTest::mouseClick(check, Qt::LeftButton);  // explains the list, whatever the state
  EXPECT_EQ(s.notifier.boxes.size(), 1u);
  off.accept();
  EXPECT_FALSE(s.settings.addToSmartlearninglistAfterLearning.value);
}

TEST(StudyResultDialog, ShowsTheFaceOfTheGrade) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  const QImage faces(":/study/264.xpm");
  ASSERT_EQ(faces.size(), QSize(70, 350));
  for (const auto& [mistakes, corrects, index] : {std::tuple{0, 5, 0}, std::tuple{1, 9, 2}, std::tuple{0, 0, 4}}) {
    study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeCard, mistakes, corrects));
    dialog.show();
    const QImage shot = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = faces.copy(0, index * 70, 70, 70).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(550, 70, 70, 70), expected) << index;
  }
}

TEST(StudyResultDialog, DoubleClickingARowCorrectsItsQuestionInTheFileAndTheList) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates, outcome(record, study::ModeJe, 2, 2));
  dialog.show();
  auto* list = dialog.findChild<QTreeWidget*>("id1259");
  QTimer::singleShot(50, [] {
    auto* edit = qobject_cast<study::CTransEditDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(edit, nullptr);
    edit->findChild<QLineEdit*>("id1023")->setText("class room");
    QTest::mouseClick(edit->findChild<QPushButton*>("id1"), Qt::LeftButton);
  });
  list->setCurrentItem(list->topLevelItem(0));
  emit list->itemDoubleClicked(list->topLevelItem(0), 0);
  EXPECT_EQ(list->topLevelItem(0)->text(1), "class room");
  EXPECT_EQ(pdb3::getQuestion(s.accessor(), 1).answerText(0), L"class room");
  EXPECT_GT(pdb3::getQuestion(s.accessor(), 1).utime(), 0);
}

// Questions the window could not read show as unknown, and it says why, instead of blank rows.
TEST(StudyResultDialog, RowsItCouldNotReadShowAsUnknownAndItSaysWhy) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  const auto refuseReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table &&
                   (std::string(table) == "question" || std::string(table) == "memory_rate")
               ? SQLITE_DENY
               : SQLITE_OK;
  };
  sqlite3_set_authorizer(s.app.db.engineHandle(), refuseReads, nullptr);
  study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates,
                                outcome(record, study::ModeJe, 2, 2));
  sqlite3_set_authorizer(s.app.db.engineHandle(), nullptr, nullptr);
  auto* list = dialog.findChild<QTreeWidget*>("id1259");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  for (int row = 0; row < 2; ++row)
    for (int column : {0, 1, 5}) EXPECT_EQ(list->topLevelItem(row)->text(column), "-") << row << "," << column;
  EXPECT_EQ(list->topLevelItem(1)->text(2), QString::fromStdWString(L"○○"));  // what the study itself knows stays
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{L"Kelvara: 学習した問題を読み込めませんでした。\n"
                                                        L"データベースファイルの読み書きに失敗しました。"});
}

// The window paints its own light blue: its texts keep their classic colours on it on a dark
// desktop too, the add box's included, enabled or greyed. On the desktop's face, when the learner
// chose it, the texts take the face's colours, the coloured ones a shade that stands out.
TEST(StudyResultDialog, EveryTextStandsOutOnItsOwnLightBlueAndOnTheDesktopsFace) {
  StudyApp s;
  const pdb3::DailyLogRecord record = studiedRecord(s);
  const QString addText = QString::fromStdWString(L"学習した問題をスマート学習リストに追加(A)");
  for (const bool darkDesktop : {true, false}) {
    std::optional<apptest::ApplicationPaletteScope> dark;
    if (darkDesktop) dark.emplace(apptest::darkDesktopPalette());
    for (const bool desktopFace : {false, true}) {
      // Greyed text on the desktop's face is the program's look's: the window's own ground only.
      for (const bool greyed : desktopFace ? std::vector<bool>{false} : std::vector<bool>{false, true}) {
        s.settings.useOsDefaultBackgroundColor.value = desktopFace;
        study::CStudyResultDlg dialog(*s.app.settings, s.app.currentUserId, {s.app.smartLearningSetId}, s.app.memoryRates,
                                      outcome(record, study::ModeJe, 1, 3));
        dialog.setStartedFromSmartLearningPage(greyed);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        std::map<QString, apptest::DrawnText> texts;
        for (const apptest::DrawnText& text : apptest::textsDrawn(&dialog)) texts[text.text] = text;
        const std::string where = (darkDesktop ? "dark" : "classic") + std::string(desktopFace ? ", face" : ", own") +
                                  (greyed ? ", greyed" : "");
        ASSERT_EQ(texts.count(addText), 1u) << where;
        ASSERT_EQ(texts.count(QString::fromStdWString(L"正解率")), 1u) << where;
        const QStringList faded = apptest::textsStandingOutLessThan(&dialog);
        EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString() << where;
        if (!desktopFace) {  // the classic colours, whatever the desktop
          EXPECT_EQ(texts[addText].colour, greyed ? QColor(128, 128, 128) : QColor(0, 0, 0)) << where;
          EXPECT_EQ(texts[QString::fromStdWString(L"よくできましたっ！")].colour, QColor(0, 0, 250)) << where;
          EXPECT_EQ(texts[QString::fromStdWString(L"正解数")].colour, QColor(2, 2, 2)) << where;
        }
      }
    }
  }
}
