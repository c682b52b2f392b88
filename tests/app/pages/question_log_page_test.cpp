// The per-question log page driven through its commands over a copy of the default database.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <sqlite3.h>
#include <chrono>
#include <regex>

#include "app/main/folder_tree.h"
#include "app/main/select_section_dialog.h"
#include "app/pages/tabpage_questionlog.h"
#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "database/folders/section_questions.h"
#include "faulty_vfs.h"
#include "held_database.h"
#include "list_view_input.h"
#include "page_host_fixture.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "pronouncing_dictionary_writer.h"
#include "services/database_failure.h"
#include "services/user_action.h"
#include "statement_log.h"
#include "test_env.h"
#include "web_dictionary_support.h"
#include "patience.h"

namespace {

using apptest::kApple;
using apptest::kZeta;

constexpr int64_t kNow = 1767225600;

class QuestionLogPageTest : public ::testing::Test {
 protected:
  QuestionLogPageTest() : clock([] { return kNow; }) {
    t.app.currentSetId = kZeta;  // questions 1 and 30, never studied
    t.settings.correctrateMode = 0;
    t.run(L"BEGIN");
    const struct {
      int qid, nc1, ni1, ago;
    } logs[] = {{8600, 3, 1, 7200}, {8601, 1, 3, 2 * 86400}, {8602, 7, 3, 86400}};
    for (const auto& l : logs) {
      t.addQuestion(l.qid, L"a", kZeta);
      t.logAnswers(l.qid, 0, {l.nc1, l.ni1, 0, 0, 0, 0, 0, 0}, static_cast<int>(kNow - l.ago));
    }
    t.run(L"COMMIT");
    page = std::make_unique<CTabpageQuestionlog>(t.app, t.host, &t.host.window);
    page->resize(760, 500);
    // On screen, as when the page is looked at: the rows in view are read.
    t.host.window.resize(760, 500);
    t.host.window.show();
    page->show();
    t.host.select = [this](std::vector<int>& ids) { return page->GetCheckedQuestionIds(ids, reportFailedRead); };
  }
  // The row of the question: where the list read it, else where the set holds it (the rows of
  // addManyQuestions follow the fixture's five).
  int rowOf(int qid) {
    const auto& ids = page->rowIds();
    const auto found = std::find(ids.begin(), ids.end(), qid);
    if (found == ids.end() && qid >= kFirstMany) return 5 + qid - kFirstMany;
    return static_cast<int>(found - ids.begin());
  }
  // The rows a statement reads by their place in the set: {first, count}, or {-1, -1} for none.
  static std::pair<int, int> rangeOf(const std::string& sql) {
    std::smatch match;
    if (!std::regex_search(sql, match, std::regex("LIMIT (\\d+) OFFSET (\\d+)"))) return {-1, -1};
    return {std::stoi(match[2]), std::stoi(match[1])};
  }
  // How many lines of the trace hold the text.
  static int linesNaming(const std::string& trace, const std::string& text) {
    int lines = 0;
    for (size_t at = trace.find(text); at != std::string::npos; at = trace.find(text, at + text.size())) ++lines;
    return lines;
  }
  // The timer of the list's quiet tries: it runs while a try is due, and each timeout is one try.
  QTimer& retryTimer() {
    auto* timer = page->list().viewport()->findChild<QTimer*>("quietRetryTimer");
    EXPECT_NE(timer, nullptr);
    return *timer;
  }
  QString cell(int qid, int column) { return page->list().model()->index(rowOf(qid), column).data().toString(); }
  void selectRows(std::initializer_list<int> qids) {
    page->list().clearSelection();
    for (int qid : qids)
      page->list().selectionModel()->select(page->list().model()->index(rowOf(qid), 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    page->collectSelectedRows();
  }
  std::set<int> checkedIds() {
    std::vector<int> ids;
    page->GetCheckedQuestionIds(ids, reportFailedRead);
    return {ids.begin(), ids.end()};
  }
  int count(const std::wstring& sql) { return t.intValue(sql); }
  std::vector<int> setIds() {
    std::vector<int> ids;
    EXPECT_TRUE(pdb3::sectionQuestionIds(t.accessor(), kZeta, ids));
    return ids;
  }
  // The statements that read rows, without the transactions around them and the change counts read in them.
  static std::vector<std::string> rowReads(std::vector<std::string> statements) {
    std::erase_if(statements, [](const std::string& sql) { return sql.rfind("SELECT", 0) != 0; });
    return statements;
  }
  // Many more rows than the list shows at once, after those of the fixture.
  void addManyQuestions(const wchar_t* answer) {
    t.run(L"BEGIN");
    for (int q = kFirstMany; q < kFirstMany + 300; ++q) t.addQuestion(q, answer, kZeta);
    t.run(L"COMMIT");
  }
  // The list read again, and laid out as it is by the time the user can scroll it.
  void reload() {
    ASSERT_TRUE(page->ReloadList());
    QCoreApplication::processEvents();
  }
  // Three quarters down the list's scroll bar, in the window's coordinates: the track below the handle.
  QPoint trackBelowHandle() {
    QScrollBar* bar = page->list().verticalScrollBar();
    return bar->mapTo(&t.host.window, QPoint(bar->width() / 2, bar->height() * 3 / 4));
  }
  // The rows as the screen shows them are the rows as they would be drawn now.
  void expectTheScreenShowsTheRows() {
    QWidget& rows = *page->list().viewport();
    const QImage onScreen = t.host.window.screen()->grabWindow(t.host.window.winId()).toImage();
    EXPECT_EQ(onScreen.copy(QRect(rows.mapTo(&t.host.window, QPoint()), rows.size())).convertToFormat(QImage::Format_RGB32),
              rows.grab().toImage().convertToFormat(QImage::Format_RGB32));
  }
  void scrollToTop(int qid) {
    page->list().scrollTo(page->list().model()->index(rowOf(qid), 0), QAbstractItemView::PositionAtTop);
  }
  // The pronouncing dictionary the spell check looks answers up in knows only these words.
  void useDictionaryOf(const char* wordList) {
    std::vector<kpd::WordReadings> words;
    std::string error;
    ASSERT_TRUE(kpd::parseWordList(wordList, words, error)) << error;
    const std::string dir = testenv::processDir(), index = dir + "/log.kpdidx", data = dir + "/log.kpddic";
    ASSERT_TRUE(kpd::writePronouncingDictionary(words, index, data, error)) << error;
    ASSERT_TRUE(t.app.pronouncingDictionary.openIndex(data, index));
  }

  static constexpr int kFirstMany = 9000;

  platform::ClockOverride clock;
  apptest::PageApp t;
  std::unique_ptr<CTabpageQuestionlog> page;
};

TEST_F(QuestionLogPageTest, RowsSortsAndChecksThatFollowTheirQuestions) {
  EXPECT_EQ(page->rowIds(), (std::vector<int>{1, 30, 8600, 8601, 8602}));
  EXPECT_EQ(cell(8600, 2), "3");
  EXPECT_EQ(cell(8600, 4), "75.0%");
  EXPECT_EQ(cell(8600, 5), QString::fromStdWString(L"2 時間前"));
  EXPECT_EQ(cell(1, 2), "-");

  page->setChecked(rowOf(8601), true);
  page->OnColumnClick(5);  // the latest first
  EXPECT_EQ(page->rowIds(), (std::vector<int>{8600, 8602, 8601}));
  EXPECT_EQ(checkedIds(), std::set<int>{8601});
  EXPECT_EQ(page->selectCount(), 1);
  page->OnColumnClick(5);
  EXPECT_EQ(page->rowIds(), (std::vector<int>{8601, 8602, 8600}));
  page->OnColumnClick(4);  // correct rate, unstudied questions left out
  EXPECT_EQ(page->rowIds(), (std::vector<int>{8601, 8602, 8600}));

  selectRows({8600, 8602});  // a click on a selected row's box checks every selected row
  page->OnListClick(rowOf(8600), true);
  EXPECT_EQ(checkedIds(), (std::set<int>{8600, 8601, 8602}));
  page->OnListClick(rowOf(8600), true);
  page->OnListClick(rowOf(8602), false);
  EXPECT_EQ(checkedIds(), std::set<int>{8601});

  page->OnCommand(CTabpageQuestionlog::kRateBelow70);  // strictly below: 8602 stands at 70 %
  EXPECT_EQ(checkedIds(), std::set<int>{8601});
  page->OnCommand(CTabpageQuestionlog::kWorst10);
  EXPECT_EQ(checkedIds(), (std::set<int>{8600, 8601, 8602}));
  EXPECT_TRUE(page->findChild<QPushButton*>("id1149")->isEnabled());
  page->OnCommand(CTabpageQuestionlog::kClearChecks);
  EXPECT_FALSE(page->findChild<QPushButton*>("id1149")->isEnabled());
  page->findChild<QLineEdit*>("id1150")->setText("2");
  page->OnCommand(CTabpageQuestionlog::kCheckRandom);
  EXPECT_EQ(checkedIds().size(), 2u);
  QTest::mouseClick(page->findChild<QPushButton*>("id1149"), Qt::LeftButton);
  ASSERT_EQ(t.host.studies.size(), 1u);
  EXPECT_EQ(t.host.studies[0].second.size(), 2u);
}

// Each column's title starts at the column's left, as the column's texts do.
TEST_F(QuestionLogPageTest, EveryColumnTitleStartsAtTheColumnsLeft) {
  QHeaderView& header = *page->list().horizontalHeader();
  const QImage drawn = header.grab().toImage();
  for (int column = 0; column < header.count(); ++column) {
    const int left = header.sectionViewportPosition(column), width = header.sectionSize(column);
    int firstInk = -1;  // the title's leftmost dark pixel from the column's left
    for (int x = left + 1; x < left + width - 1 && firstInk < 0; ++x)
      for (int y = 2; y < drawn.height() - 2 && firstInk < 0; ++y)
        if (qGray(drawn.pixel(x, y)) < 100) firstInk = x - left;
    EXPECT_GE(firstInk, 0) << column;
    EXPECT_LE(firstInk, 8) << column;
  }
}

TEST_F(QuestionLogPageTest, UnstudiedQuestionsLastMistakesAndAnEmptyCountBox) {
  auto* includeUnstudied = page->findChild<QCheckBox*>("id1174");
  auto* countBox = page->findChild<QLineEdit*>("id1150");
  countBox->setText("3");
  page->OnCommand(CTabpageQuestionlog::kCheckWorst);
  EXPECT_EQ(checkedIds(), (std::set<int>{8600, 8601, 8602}));
  includeUnstudied->click();  // the never studied come first, as the weakest
  page->OnCommand(CTabpageQuestionlog::kCheckWorst);
  EXPECT_EQ(checkedIds(), (std::set<int>{1, 30, 8601}));
  page->OnCommand(CTabpageQuestionlog::kRateBelow50);
  EXPECT_EQ(checkedIds(), (std::set<int>{1, 30, 8601}));
  includeUnstudied->click();
  page->OnCommand(CTabpageQuestionlog::kRateBelow50);
  EXPECT_EQ(checkedIds(), std::set<int>{8601});

  page->OnCommand(CTabpageQuestionlog::kCheckLastMistakes);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: まだ学習していません。\n");
  EXPECT_EQ(checkedIds(), std::set<int>{8601});
  t.run(platform::format(L"INSERT INTO log_id VALUES(3,%d,%d,%d)", t.app.currentUserId, kZeta, t.app.studyMode));
  t.run(L"INSERT INTO daily_log VALUES(7,3,100,300,0,'',''), (8,3,50,60,0,'','')");
  t.run(L"INSERT INTO daily_question_log VALUES(7,8602,0,1,1,0,1.0,1,30), (7,8600,1,0,0,0,1.0,2,80), "
        L"(7,30,0,2,1,0,1.0,1,30), (8,8601,0,1,0,0,1.0,1,30)");
  page->OnCommand(CTabpageQuestionlog::kCheckLastMistakes);  // of the newest study only
  EXPECT_EQ(checkedIds(), (std::set<int>{30, 8602}));

  countBox->clear();
  page->OnCommand(CTabpageQuestionlog::kCheckRandom);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 整数を入力してください。\n");
  EXPECT_EQ(checkedIds(), (std::set<int>{30, 8602}));  // the checks stay as they were
}

// A count below 1 ("-3" too, which once stood for a refused box) asks for the default number.
TEST_F(QuestionLogPageTest, ACountBelowOneChecksTheDefaultNumberOfQuestions) {
  t.settings.defaultQuestionCount.value = 2;
  auto* countBox = page->findChild<QLineEdit*>("id1150");
  for (const char* typed : {"-3", "0", "-1"}) {
    countBox->setText(typed);
    page->OnCommand(CTabpageQuestionlog::kCheckRandom);
    EXPECT_EQ(checkedIds().size(), 2u) << typed;
    page->OnCommand(CTabpageQuestionlog::kClearChecks);
    countBox->setText(typed);
    page->OnCommand(CTabpageQuestionlog::kCheckWorst);
    EXPECT_EQ(checkedIds(), (std::set<int>{8601, 8602})) << typed;
    page->OnCommand(CTabpageQuestionlog::kClearChecks);
  }
  EXPECT_EQ(t.takeBoxes(), L"");
}

TEST_F(QuestionLogPageTest, AdjustmentsAreClampedAtTheCountsTheyAdjust) {
  selectRows({8600});
  page->OnCommand(CTabpageQuestionlog::kCorrectPlus10 + 11);  // -5 on 3 corrects
  EXPECT_EQ(cell(8600, 2), "0 (3-3)");
  EXPECT_EQ(count(L"SELECT nc1pm FROM question_log WHERE qid=8600"), -3);
  page->OnCommand(CTabpageQuestionlog::kIncorrectPlus10 + 1);  // +5 incorrect
  EXPECT_EQ(cell(8600, 3), "6 (1+5)");
  EXPECT_EQ(cell(8600, 4), "0.0%");
  page->OnCommand(CTabpageQuestionlog::kCorrectPlus10 + 6);  // 0 clears both adjustments
  EXPECT_EQ(cell(8600, 2), "3");
  t.settings.correctrateMode = 1;
  page->OnCommand(CTabpageQuestionlog::kCorrectPlus10 + 12);  // -10 on re-answers stops at 0
  EXPECT_EQ(count(L"SELECT nc2pm FROM question_log WHERE qid=8600"), 0);
}

// Another program holding the file, a read-only file, a full disk: the list is drawn from what the
// page read, and counts that cannot be read or written stay as stored, with one box saying why.
TEST_F(QuestionLogPageTest, AdjustmentsAndSortsUnderFaultsChangeNothingAndSayWhy) {
  selectRows({8600, 8601});
  const auto adjustments = [this] { return count(L"SELECT sum(abs(nc1pm)) + sum(abs(ni1pm)) FROM question_log"); };
  {
    apptest::HeldDatabase held(t.databasePath());
    page->grab();
    EXPECT_EQ(cell(8600, 2), "3");
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::none);  // nothing read to draw
    page->OnCommand(CTabpageQuestionlog::kCorrectPlus10 + 5);  // +1
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 正解数を変更できませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(cell(8600, 2), "3");
    apptest::HeldDatabase::nextAction();
    page->OnColumnClick(5);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題の一覧を並べ替えられませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(page->rowIds(), (std::vector<int>{1, 30, 8600, 8601, 8602}));
    apptest::HeldDatabase::nextAction();
    EXPECT_FALSE(page->ReloadList());  // and the list is not taken for an empty set
  }
  {
    testdb::FaultyVfs vfs;
    vfs.openReadOnly(true);
    t.app.db.open(t.databasePath().c_str());
    ASSERT_TRUE(page->ReloadList());
    selectRows({8600, 8601});
    page->OnCommand(CTabpageQuestionlog::kIncorrectPlus10 + 5);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 不正解数を変更できませんでした。\n" + apptest::kReadOnlyCause + L"\n");
    apptest::HeldDatabase::nextAction();
    vfs.openReadOnly(false);
    t.app.db.open(t.databasePath().c_str());
    vfs.limitGrowth(0);
    page->OnCommand(CTabpageQuestionlog::kIncorrectPlus10 + 5);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 不正解数を変更できませんでした。\n" + apptest::kFullCause + L"\n");
    EXPECT_EQ(cell(8601, 3), "3");
    t.app.db.close();
  }
  t.app.db.open(t.databasePath().c_str());
  EXPECT_EQ(adjustments(), 0);
}

TEST_F(QuestionLogPageTest, HistoryDeletionIsAllOrNothing) {
  EXPECT_EQ(cell(8602, 2), "7");
  page->setChecked(rowOf(8600), true);
  page->setChecked(rowOf(8601), true);
  t.notifier.answer = platform::IdYes;
  t.run(L"CREATE TRIGGER keep BEFORE DELETE ON question_log WHEN old.qid=8601 BEGIN SELECT RAISE(ABORT, 'no'); END");
  page->OnDeleteCheckedHistory();
  EXPECT_EQ(count(L"SELECT count(*) FROM question_log WHERE qid IN (8600, 8601)"), 2);
  const std::wstring boxes = t.takeBoxes();
  EXPECT_NE(boxes.find(L"削除の確認: 問題\n\n \"q8600 = a\"\n \"q8601 = a\"\n\nの履歴を削除しますか？"), std::wstring::npos);
  EXPECT_NE(boxes.find(L"消去に失敗しました"), std::wstring::npos);
  t.run(L"DROP TRIGGER keep");
  page->OnDeleteCheckedHistory();
  EXPECT_EQ(count(L"SELECT count(*) FROM question_log WHERE qid IN (8600, 8601)"), 0);
  EXPECT_EQ(cell(8600, 2), "-");
  EXPECT_EQ(cell(8602, 2), "7");  // a log that was not deleted still shows
}

TEST_F(QuestionLogPageTest, CopyRefusesTheSameSetThenAddsAHeadingAndTheSharedQuestions) {
  page->setChecked(rowOf(8600), true);
  page->setChecked(rowOf(8602), true);
  const int before = count(L"SELECT count(*) FROM section WHERE sid=14");
  int shown = 0;
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<CSelectSectionDlg*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->tree().SelectEidFromRoot(shown++ == 0 ? kZeta : kApple);
    dialog->accept();
  });
  chooser.start(10);
  page->OnCopyCheckedQuestions();
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 同じ問題集を指定できません。\nKelvara: 2 個の問題を Alpha/deep/Apple にコピーしました。\n");
  EXPECT_EQ(count(L"SELECT count(*) FROM section WHERE sid=14"), before + 3);
  EXPECT_EQ(count(L"SELECT count(*) FROM section WHERE sid=14 AND qid IN (8600, 8602)"), 2);

  // A refused row takes the heading with it.
  const int questions = count(L"SELECT count(*) FROM question");
  t.run(L"CREATE TRIGGER refuse BEFORE INSERT ON section WHEN new.qid=8602 BEGIN SELECT RAISE(ABORT, 'no'); END");
  shown = 1;
  page->OnCopyCheckedQuestions();
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題の追加に失敗しました\nno\n");  // the trigger's own reason
  EXPECT_EQ(count(L"SELECT count(*) FROM section WHERE sid=14"), before + 3);
  EXPECT_EQ(count(L"SELECT count(*) FROM question"), questions);
}

TEST_F(QuestionLogPageTest, EmptyQuestionsGreyTheirCommandsAndSpellCheckStopsAtAnUnknownWord) {
  t.addQuestion(8603, nullptr, kZeta);
  t.run(L"UPDATE question SET answer='dog' WHERE qid IN (8600, 8601)");
  t.run(L"UPDATE question SET answer='dgo' WHERE qid=8602");
  page->ReloadList();
  selectRows({8603});
  auto menu = page->OnListRClick();
  ASSERT_TRUE(menu);
  std::map<int, bool> enabled;
  for (QAction* action : menu->actions()) enabled[action->data().toInt()] = action->isEnabled();
  EXPECT_FALSE(enabled[CTabpageQuestionlog::kDeleteHistory]);
  EXPECT_FALSE(enabled[CTabpageQuestionlog::kCopy]);
  EXPECT_FALSE(enabled[CTabpageQuestionlog::kPronounce]);
  EXPECT_TRUE(enabled[CTabpageQuestionlog::kEdit]);
  EXPECT_FALSE(menu->actions()[3]->isEnabled());  // nothing to look up in a web dictionary

  useDictionaryOf("DOG  D AO1 G\n");
  t.notifier.answer = platform::IdYes;
  // Input that reaches the event loop once the check runs, past its question box.
  QTimer whileChecking;
  std::function<void()> input;
  QObject::connect(&whileChecking, &QTimer::timeout, [&] {
    if (t.host.titles.empty() || t.host.titles.back() != L"<< スペルチェック中です >>") return;
    whileChecking.stop();
    input();
  });
  const auto checkFrom = [&](int row, std::function<void()> during) {
    t.takeBoxes();
    page->list().setCurrentIndex(page->list().model()->index(row, 0));
    input = std::move(during);
    whileChecking.start(0);
    page->SpellCheck();
    EXPECT_FALSE(whileChecking.isActive());
    EXPECT_EQ(t.host.titles.back(), L"");
  };
  // Only Escape reaches the window while it checks: a click that would check a row is dropped.
  const std::set<int> checked = checkedIds();
  checkFrom(rowOf(8600), [&] {
    const QPointF icon = page->list().visualRect(page->list().model()->index(rowOf(8601), 0)).topLeft() + QPointF(4, 4);
    QMouseEvent click(QEvent::MouseButtonPress, icon, QPointF(), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->list().viewport(), &click);
  });
  EXPECT_EQ(page->list().currentIndex().row(), rowOf(8602));
  EXPECT_EQ(checkedIds(), checked);
  checkFrom(rowOf(8600), [&] { QTest::keyClick(page->list().viewport(), Qt::Key_Escape); });
  EXPECT_EQ(page->list().currentIndex().row(), rowOf(8600));
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 簡易スペルチェックを開始しますか？\n");

  // What the event loop runs between rows may empty the list: the check ends with it.
  checkFrom(0, [&] {
    t.run(L"DELETE FROM section WHERE sid=" + std::to_wstring(kZeta));
    page->ReloadList();
  });
  EXPECT_EQ(t.notifier.boxes.back(), L"Kelvara: スペルミスの単語が見つかりませんでした。");
}

// The list reads the rows about to show, in one statement, when they come into view: the rows
// below are not read, a paint reads nothing, and a row read again shows what another program
// wrote since.
TEST_F(QuestionLogPageTest, TheListReadsOnlyTheRowsInViewAndReadsThemAgainWhenTheyComeBack) {
  addManyQuestions(L"w");
  apptest::StatementLog statements(t.app.db);
  reload();
  std::vector<std::string> read = rowReads(statements.take());
  // How many rows, then the rows in view with their ids: not one id more.
  ASSERT_EQ(read.size(), 2u);
  EXPECT_NE(read[0].find("count(*)"), std::string::npos) << read[0];
  const std::pair<int, int> top = rangeOf(read[1]);
  EXPECT_EQ(top.first, 0) << read[1];
  EXPECT_GT(top.second, 10) << read[1];
  EXPECT_LT(top.second, 40) << read[1];
  EXPECT_EQ(page->rowIds().size(), 305u);
  EXPECT_EQ(page->rowIds()[205], SectionRows::kUnread);
  EXPECT_EQ(cell(9000, 1), "w");
  EXPECT_EQ(cell(9200, 1), "");  // not in view, not read

  scrollToTop(9200);
  read = rowReads(statements.take());
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(rangeOf(read[0]), std::make_pair(rowOf(9200), top.second)) << read[0];
  EXPECT_EQ(cell(9200, 1), "w");
  page->grab();
  EXPECT_TRUE(rowReads(statements.take()).empty());

  // A command on rows never shown reads their ids, all in one statement, and only them.
  page->setChecked(rowOf(9100), true);
  EXPECT_EQ(checkedIds(), std::set<int>{9100});
  read = rowReads(statements.take());
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], "SELECT qid FROM section WHERE sid = 12 ORDER BY rowid");

  sqliteplus::SqliteConnection other;
  other.open(t.databasePath().c_str());
  other.createQuery()->execute(L"UPDATE question SET answer='changed' WHERE qid=9001");
  other.createQuery()->execute(L"UPDATE question_log SET nc1=9 WHERE qid=8600");
  scrollToTop(1);
  read = rowReads(statements.take());
  ASSERT_EQ(read.size(), 1u);  // rows whose ids are known: their records alone
  EXPECT_NE(read[0].find("IN (1,30,8600,8601,8602,9000,"), std::string::npos) << read[0];
  EXPECT_EQ(cell(9001, 1), "changed");
  EXPECT_EQ(cell(8600, 2), "9");
}

// Scrolled by the wheel, the list comes back to its first and last row on Home and End, also while
// that row is still the current one.
TEST_F(QuestionLogPageTest, HomeAndEndBringTheFirstAndLastRowBackAfterTheWheel) {
  addManyQuestions(L"w");
  reload();
  listinput::expectHomeAndEndBringTheirRowBack(page->list());
}

// Another program changes the set while the list shows part of it: the next scroll or command
// that would read rows by their place finds the rows read no longer where they were, reads the
// list again and says so, and the commands act on the rows shown. A write elsewhere in the file
// leaves the list and its checks as they are.
TEST_F(QuestionLogPageTest, ASetAnotherProgramChangedIsListedAgainWithAWord) {
  addManyQuestions(L"w");
  reload();
  sqliteplus::SqliteConnection other;
  other.open(t.databasePath().c_str());
  const auto change = [&](const wchar_t* sql) { other.createQuery()->execute(sql); };
  page->setChecked(rowOf(9001), true);
  change(L"UPDATE question SET answer='changed' WHERE qid=9210");
  scrollToTop(9200);
  EXPECT_EQ(t.takeBoxes(), L"");
  EXPECT_EQ(cell(9210, 1), "changed");
  EXPECT_EQ(checkedIds(), std::set<int>{9001});

  // Ten rows in view taken out and ten put in at the end: as many rows as before, ten of them moved.
  reload();
  change(L"DELETE FROM section WHERE sid=12 AND qid BETWEEN 9000 AND 9009");
  change(L"INSERT INTO section SELECT 12, qid FROM question WHERE qid BETWEEN 9290 AND 9299");
  scrollToTop(9100);
  QCoreApplication::processEvents();  // said once the scroll is over
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題集が他のプログラムで変更されたため、問題の一覧を読み込み直しました。\n");
  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  EXPECT_EQ(page->rowIds(), setIds());

  // A command on rows never shown is not run on rows placed by another state of the set.
  reload();
  change(L"DELETE FROM section WHERE sid=12 AND qid BETWEEN 8600 AND 8602");
  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題集が他のプログラムで変更されたため、問題の一覧を読み込み直しました。\n"
                           L"もう一度やり直してください。\n");
  EXPECT_EQ(page->findChild<QLineEdit*>("id1150")->text(), "0");
  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  QTest::mouseClick(page->findChild<QPushButton*>("id1149"), Qt::LeftButton);
  ASSERT_EQ(t.host.studies.size(), 1u);
  EXPECT_EQ(t.host.studies[0].second, setIds());
}

// A press in the scroll bar's track pages down, and the rows it brings into view find the set
// changed: the word waits until the button is up. A box opened inside the press would take the
// release, and the scroll bar, still held for all it knows, would go on paging by itself.
TEST_F(QuestionLogPageTest, AChangeFoundByAPressInTheScrollBarIsSaidOnceTheButtonIsUp) {
  addManyQuestions(L"w");
  reload();
  sqliteplus::SqliteConnection other;
  other.open(t.databasePath().c_str());
  other.createQuery()->execute(L"DELETE FROM section WHERE sid=12 AND qid BETWEEN 9000 AND 9009");
  other.createQuery()->execute(L"INSERT INTO section SELECT 12, qid FROM question WHERE qid BETWEEN 9290 AND 9299");
  QScrollBar* bar = page->list().verticalScrollBar();
  QWindow* window = t.host.window.windowHandle();
  const QPoint track = trackBelowHandle();
  QTest::mousePress(window, Qt::LeftButton, {}, track);
  EXPECT_EQ(t.takeBoxes(), L"");  // the button is still down
  QTest::mouseRelease(window, Qt::LeftButton, {}, track, 120);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題集が他のプログラムで変更されたため、問題の一覧を読み込み直しました。\n");
  const int value = bar->value();
  QTest::qWait(800);  // past the delay after which a held scroll bar repeats
  EXPECT_EQ(bar->value(), value);
  EXPECT_EQ(t.takeBoxes(), L"");

  // A command that meets another change while the word waits says it in its own box, once.
  other.createQuery()->execute(L"DELETE FROM section WHERE sid=12 AND qid BETWEEN 9100 AND 9109");
  QTest::mousePress(window, Qt::LeftButton, {}, track, 1000);
  other.createQuery()->execute(L"DELETE FROM section WHERE sid=12 AND qid BETWEEN 8600 AND 8602");
  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  QTest::mouseRelease(window, Qt::LeftButton, {}, track, 120);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題集が他のプログラムで変更されたため、問題の一覧を読み込み直しました。\n"
                           L"もう一度やり直してください。\n");
}

// The rows a press in the track brings into view cannot be read while another program holds the
// file: the box waits until the button is up, and comes once.
TEST_F(QuestionLogPageTest, AFailedReadOfThePressInTheScrollBarIsSaidOnceTheButtonIsUp) {
  addManyQuestions(L"w");
  reload();
  QScrollBar* bar = page->list().verticalScrollBar();
  QWindow* window = t.host.window.windowHandle();
  const QPoint track = trackBelowHandle();
  apptest::HeldDatabase held(t.databasePath());
  QTest::mousePress(window, Qt::LeftButton, {}, track);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), L"");  // the button is still down
  // The held bar pages again, each page an action of its own: the same word is still said once.
  apptest::HeldDatabase::nextAction();
  scrollToTop(9250);
  QTest::mouseRelease(window, Qt::LeftButton, {}, track, 120);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
  const int value = bar->value();
  QTest::qWait(800);  // past the delay after which a held scroll bar repeats
  EXPECT_EQ(bar->value(), value);
  EXPECT_EQ(t.takeBoxes(), L"");
}

// The release of a press went to another program's window: the next move, with no button down, is
// all the window system tells of it, while the toolkit's own record keeps the button held until the
// next click. The word waits for no more than that move, and a word after it does not wait at all.
TEST_F(QuestionLogPageTest, AWordWhoseReleaseWentToAnotherWindowIsSaidAtTheNextMove) {
  addManyQuestions(L"w");
  reload();
  QWindow* window = t.host.window.windowHandle();
  QPoint bare;  // a point of the page that no control covers
  for (int y = page->height() - 2; y > 0 && bare.isNull(); y -= 4)
    for (int x = 2; x < page->width() && bare.isNull(); x += 4)
      if (!page->childAt(x, y)) bare = page->mapTo(&t.host.window, QPoint(x, y));
  ASSERT_FALSE(bare.isNull());
  apptest::HeldDatabase held(t.databasePath());
  QTest::mousePress(window, Qt::LeftButton, {}, bare);
  scrollToTop(9250);  // rows in view that cannot be read, while the button is down
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), L"");
  const std::wstring unread = L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n";

  QTestPrivate::qtestMouseButtons = Qt::NoButton;  // released over the other window
  QTest::mouseMove(window, bare + QPoint(0, -2), 120);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), unread);

  apptest::HeldDatabase::nextAction();
  scrollToTop(9150);
  QTest::qWait(100);
  EXPECT_EQ(t.takeBoxes(), unread);
  held.release();
  QTest::mouseClick(window, Qt::LeftButton, {}, bare);  // the toolkit's record is whole again
}

// Another program takes the file while the list is open and the learner clicks in the scroll bar's
// track: rows read before the lock keep what they showed, those that cannot be read show as not
// read, and each click is an action of its own that waits and says why. Once the file is free the
// next paint reads every row in view, before it draws them.
TEST_F(QuestionLogPageTest, AfterALockRowsReadBeforeKeepTheirTextAndTheOthersAreReadAtTheNextPaint) {
  waitForBusyDatabaseOncePerAction();  // as the program does: each press starts an action
  addManyQuestions(L"w");
  reload();
  QTableView& list = page->list();
  QWindow* window = t.host.window.windowHandle();
  const QPoint track = trackBelowHandle();
  const int rowsInView = list.rowAt(list.viewport()->height() - 1) - list.rowAt(0);
  // Rows a page further down read before: the first click brings them back into view.
  scrollToTop(9000 + rowsInView);
  scrollToTop(1);
  const int readBefore = rowOf(9000 + rowsInView) + 1, neverRead = rowsInView + 2;
  auto held = std::make_unique<apptest::HeldDatabase>(t.databasePath());
  QTest::mousePress(window, Qt::LeftButton, {}, track, 1000);
  QTest::mouseRelease(window, Qt::LeftButton, {}, track, 120);
  const std::wstring said = L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n";
  EXPECT_EQ(t.takeBoxes(), said);
  ASSERT_LE(list.rowAt(0), neverRead);
  ASSERT_GE(list.rowAt(list.viewport()->height() - 1), readBefore);
  const auto text = [&](int row) { return list.model()->index(row, 1).data().toString(); };
  EXPECT_EQ(text(readBefore), "w");
  EXPECT_EQ(text(neverRead), "");

  // Two more clicks made while the window waited come in one go, before the event loop waits again:
  // each is an action of its own that waits for the file as the first did, and says so in a box of
  // its own once the button is up.
  QCoreApplication::processEvents();
  const auto start = std::chrono::steady_clock::now();
  listinput::deliverInTurns(*window, {{{QEvent::MouseButtonPress, track, 1000},
                                       {QEvent::MouseButtonRelease, track, 120},
                                       {QEvent::MouseButtonPress, track, 680},
                                       {QEvent::MouseButtonRelease, track, 120}}});
  EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * sqliteplus::busyWaitLimit());
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), said + said);
  const int top = list.rowAt(0), bottom = list.rowAt(list.viewport()->height() - 1);
  ASSERT_GT(top, neverRead);
  EXPECT_EQ(text(bottom), "");

  // Hovering while the file is held: the scroll bar lights up, and the paint tries the rows again,
  // without a wait or a word.
  apptest::HeldDatabase::nextAction();
  sqliteplus::setBusyWaitLimit(std::chrono::seconds(5));
  const unsigned long long waitsBefore = sqliteplus::busyWaitsBegun();
  QTest::mouseMove(window, list.viewport()->mapTo(&t.host.window, QPoint(50, 30)), 200);
  QCoreApplication::processEvents();
  QTest::mouseMove(window, track, 200);
  QCoreApplication::processEvents();
  EXPECT_EQ(sqliteplus::busyWaitsBegun(), waitsBefore);
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(50));
  EXPECT_EQ(text(bottom), "");
  EXPECT_EQ(t.takeBoxes(), L"");

  // Once the file is free the next paint (the scroll bar left) draws every row in view read.
  held.reset();
  QTest::mouseMove(window, list.viewport()->mapTo(&t.host.window, QPoint(50, 30)), 200);
  QCoreApplication::processEvents();
  for (int row = top; row <= bottom; ++row) EXPECT_EQ(text(row), "w") << row;
  expectTheScreenShowsTheRows();
  EXPECT_EQ(t.takeBoxes(), L"");
}

// Rows a lock left unread fill by themselves soon after the other program lets go, with no input:
// they are tried again quietly while they are in view, and not while the list is hidden nor once
// they are read.
TEST_F(QuestionLogPageTest, RowsALockLeftUnreadFillSoonAfterTheFileIsFreeWithNoInput) {
  addManyQuestions(L"w");
  reload();
  const std::wstring unread = L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n";
  auto held = std::make_unique<apptest::HeldDatabase>(t.databasePath());
  scrollToTop(9200);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), unread);
  apptest::StatementLog statements(t.app.db);
  page->hide();
  held.reset();
  QCoreApplication::processEvents();  // the hide, as the retry sees it
  EXPECT_FALSE(retryTimer().isActive()) << "a try is due while the list is hidden";
  EXPECT_EQ(statements.take(), std::vector<std::string>{}) << "a hidden list read";
  EXPECT_EQ(cell(9200, 1), "");

  held = std::make_unique<apptest::HeldDatabase>(t.databasePath());
  testing::internal::CaptureStderr();
  page->show();
  QSignalSpy tries(&retryTimer(), &QTimer::timeout);
  EXPECT_TRUE(QTest::qWaitFor([&] { return tries.count() >= 2; }, testwait::kPatienceMs));  // without a wait, a word or a trace
  const std::string traced = testing::internal::GetCapturedStderr();
  EXPECT_EQ(t.takeBoxes(), unread);
  EXPECT_EQ(cell(9200, 1), "");
  EXPECT_EQ(linesNaming(traced, "database is locked"), 1) << "the lock is traced by the show that met it alone:\n" << traced;
  held.reset();
  tries.clear();
  EXPECT_TRUE(QTest::qWaitFor([&] { return cell(9200, 1) == "w" && cell(9210, 1) == "w"; }, testwait::kPatienceMs));
  EXPECT_LE(tries.count(), 1) << "the first try after the file was free did not read the rows";
  QCoreApplication::processEvents();
  expectTheScreenShowsTheRows();
  statements.take();
  QCoreApplication::processEvents();
  EXPECT_FALSE(retryTimer().isActive()) << "rows read are tried again";
  EXPECT_EQ(statements.take(), std::vector<std::string>{}) << "rows read are read again";
  EXPECT_EQ(t.takeBoxes(), L"");

  // Minimised under a study, the window shows nothing: nothing is tried, not even once the file is
  // free, until it is shown again.
  held = std::make_unique<apptest::HeldDatabase>(t.databasePath());
  scrollToTop(9250);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), unread);
  EXPECT_TRUE(retryTimer().isActive());
  t.host.window.showMinimized();
  QCoreApplication::processEvents();
  held.reset();
  statements.take();
  QCoreApplication::processEvents();
  EXPECT_FALSE(retryTimer().isActive()) << "a try is due while the window is minimised";
  EXPECT_EQ(statements.take(), std::vector<std::string>{}) << "a minimised window read";
  EXPECT_EQ(cell(9250, 1), "");
  t.host.window.showNormal();
  EXPECT_TRUE(QTest::qWaitFor([&] { return cell(9250, 1) == "w"; }, testwait::kPatienceMs));
  EXPECT_EQ(t.takeBoxes(), L"");
}

// Only a cause that may pass is waited out: rows a damaged file kept from being read are not tried
// again, whether a scroll or a try met the failure, and a try that meets it says it once, with its
// trace, where a lock is tried again without a word.
TEST_F(QuestionLogPageTest, RowsUnreadForACauseThatLastsAreNotTriedAgainAndTheCauseIsSaidOnce) {
  addManyQuestions(L"w");
  testdb::FaultyVfs disk;
  t.app.db.open(t.databasePath().c_str());
  reload();
  const auto unread = [](const std::wstring& cause) { return L"Kelvara: 問題の一覧を読み込めませんでした。\n" + cause + L"\n"; };
  const std::wstring damagedFile = databaseFailureCause(sqliteplus::EngineFailure::damaged);
  auto held = std::make_unique<apptest::HeldDatabase>(t.databasePath());
  scrollToTop(9200);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), unread(apptest::kBusyCause));

  testing::internal::CaptureStderr();
  held.reset();
  disk.failReads(SQLITE_CORRUPT);  // pages read back damaged, before the next try
  std::wstring said;
  EXPECT_TRUE(QTest::qWaitFor([&] { return !(said = t.takeBoxes()).empty(); }, testwait::kPatienceMs));
  EXPECT_EQ(said, unread(damagedFile));
  apptest::StatementLog statements(t.app.db);
  QCoreApplication::processEvents();
  EXPECT_FALSE(retryTimer().isActive()) << "tried again";
  EXPECT_EQ(statements.take(), std::vector<std::string>{}) << "tried again";
  EXPECT_EQ(t.takeBoxes(), L"");
  const std::string traced = testing::internal::GetCapturedStderr();
  EXPECT_EQ(linesNaming(traced, "SqliteCursor() database disk image is malformed"), 1) << traced;
  EXPECT_EQ(cell(9200, 1), "");

  // A scroll that meets it says it, and it is not tried again.
  apptest::HeldDatabase::nextAction();
  testing::internal::CaptureStderr();
  scrollToTop(9100);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), unread(damagedFile));
  statements.take();
  QCoreApplication::processEvents();
  EXPECT_FALSE(retryTimer().isActive()) << "tried again";
  EXPECT_EQ(statements.take(), std::vector<std::string>{}) << "tried again";
  EXPECT_EQ(linesNaming(testing::internal::GetCapturedStderr(), "SqliteCursor() database disk image is malformed"), 1) << "tried again";
  disk.failReads(std::nullopt);
  t.app.db.close();
}

// A gesture is one action however many events and turns of the event loop it takes: a double click
// in the scroll bar's track, and a drag of its thumb, each wait once for the file another program
// holds, and say so once, when the button is up.
TEST_F(QuestionLogPageTest, ADoubleClickOrADragOfTheThumbUnderALockWaitsOnceAndSaysOnce) {
  waitForBusyDatabaseOncePerAction();  // as the program does
  addManyQuestions(L"w");
  reload();
  QScrollBar* bar = page->list().verticalScrollBar();
  QWindow* window = t.host.window.windowHandle();
  const QPoint track = trackBelowHandle();
  apptest::HeldDatabase held(t.databasePath());
  const std::chrono::milliseconds limit{500};
  sqliteplus::setBusyWaitLimit(limit);
  const std::wstring said = L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n";
  struct Mark {
    std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
    unsigned long long waits = sqliteplus::busyWaitsBegun();
  };
  const auto expectOneWait = [&](const Mark& start) {
    EXPECT_GE(std::chrono::steady_clock::now() - start.time, limit);
    EXPECT_EQ(sqliteplus::busyWaitsBegun() - start.waits, 1u);
  };
  // The rest of the double click came in while its first press waited: in one go.
  Mark start;
  listinput::deliverInTurns(*window, {{{QEvent::MouseButtonPress, track, 1000}},
                                      {{QEvent::MouseButtonRelease, track, 80},
                                       {QEvent::MouseButtonPress, track, 80},
                                       {QEvent::MouseButtonRelease, track, 80}}});
  expectOneWait(start);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), said);
  ASSERT_GT(bar->value(), 0);

  // The thumb dragged down: each move comes at a turn of its own, after the window froze.
  const QPoint thumb = listinput::thumbOf(*bar);
  const int before = bar->value();
  start = Mark();
  listinput::deliverInTurns(*window, {{{QEvent::MouseButtonPress, thumb, 1000}},
                                      {{QEvent::MouseMove, thumb + QPoint(0, 15)}},
                                      {{QEvent::MouseMove, thumb + QPoint(0, 30)}},
                                      {{QEvent::MouseMove, thumb + QPoint(0, 45)}},
                                      {{QEvent::MouseButtonRelease, thumb + QPoint(0, 45)}}});
  expectOneWait(start);
  EXPECT_GT(bar->value(), before);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), said);
}

// A file made elsewhere may hold a second log row for one question, user and mode, and a set may
// list a question twice: each row of the set is listed once, where the set holds it, and counts as
// a row when checked.
TEST_F(QuestionLogPageTest, ASecondLogRowAndAQuestionListedTwiceAreOneRowEach) {
  addManyQuestions(L"w");
  t.logAnswers(8600, 0, {1, 1, 0, 0, 0, 0, 0, 0}, static_cast<int>(kNow));
  t.logAnswers(9010, 0, {1, 1, 0, 0, 0, 0, 0, 0}, static_cast<int>(kNow));
  t.logAnswers(9010, 0, {1, 1, 0, 0, 0, 0, 0, 0}, static_cast<int>(kNow));
  t.run(L"INSERT INTO section VALUES (12, 9250), (12, 9251)");  // rows not in view
  reload();
  std::vector<int> set = setIds();
  const std::vector<int>& listed = page->rowIds();
  ASSERT_EQ(listed.size(), set.size());
  for (size_t row = 0; row < set.size(); ++row)
    if (listed[row] == SectionRows::kUnread) set[row] = SectionRows::kUnread;
  EXPECT_EQ(listed, set);
  EXPECT_EQ(cell(8602, 2), "7");

  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  EXPECT_EQ(page->findChild<QLineEdit*>("id1150")->text(), "307");
}

// Rows that come into view while another program holds the file show as not read, with one box
// for the action, and are read at the next scroll; what was read before is still drawn.
TEST_F(QuestionLogPageTest, RowsThatCannotBeReadShowAsNotReadSayWhyOnceAndAreReadAtTheNextScroll) {
  addManyQuestions(L"w");
  reload();
  {
    apptest::HeldDatabase held(t.databasePath());
    scrollToTop(9200);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(cell(9200, 1), "");
    EXPECT_EQ(cell(9200, 2), "");
    scrollToTop(9230);  // the same action
    EXPECT_EQ(t.takeBoxes(), L"");
    page->grab();
    QCoreApplication::processEvents();
    // Checks on rows never read cannot be counted: the count is not known, not 0.
    apptest::HeldDatabase::nextAction();
    page->OnCommand(CTabpageQuestionlog::kInvertChecks);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: チェックした問題を数えられませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(page->findChild<QLineEdit*>("id1150")->text(), "-");
    EXPECT_TRUE(page->findChild<QPushButton*>("id1149")->isEnabled());
    // A change given up on rows it cannot read is said though the action has said a failure.
    page->OnDeleteCheckedHistory();
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: チェックした問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
    apptest::HeldDatabase::nextAction();
    scrollToTop(9260);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 問題の一覧を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
    page->OnCopyCheckedQuestions();
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: チェックした問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
    selectRows({9230});
    page->OnCommand(CTabpageQuestionlog::kCorrectPlus10 + 5);  // +1
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 正解数を変更できませんでした。\n" + apptest::kBusyCause + L"\n");
    QCoreApplication::processEvents();
  }
  t.takeBoxes();
  scrollToTop(9201);
  EXPECT_EQ(t.takeBoxes(), L"");
  EXPECT_EQ(cell(9201, 1), "w");
  page->OnCommand(CTabpageQuestionlog::kClearChecks);
  page->OnCommand(CTabpageQuestionlog::kInvertChecks);
  EXPECT_EQ(page->findChild<QLineEdit*>("id1150")->text(), "305");
}

// The spell check looks at the answers the page read and reads the rows it reaches beyond them;
// one it cannot read ends the check with the cause, never with "nothing misspelt".
TEST_F(QuestionLogPageTest, ASpellCheckThatCannotReadItsRowsStopsWithTheCause) {
  addManyQuestions(L"dog");
  reload();
  useDictionaryOf("DOG  D AO1 G\n");
  t.notifier.answer = platform::IdYes;
  t.run(L"UPDATE question SET answer='dgo' WHERE qid=9250");
  page->list().setCurrentIndex(page->list().model()->index(rowOf(kFirstMany), 0));
  page->SpellCheck();  // far below the rows read
  EXPECT_EQ(page->list().currentIndex().row(), rowOf(9250));
  t.takeBoxes();

  reload();  // only the rows in view read again
  page->list().setCurrentIndex(page->list().model()->index(rowOf(kFirstMany), 0));
  apptest::HeldDatabase held(t.databasePath());
  page->SpellCheck();
  const std::wstring boxes = t.takeBoxes();
  EXPECT_NE(boxes.find(L"Kelvara: 問題を読み込めなかったため、スペルチェックを中止しました。\n" + apptest::kBusyCause),
            std::wstring::npos)
      << boxes;
  EXPECT_EQ(boxes.find(L"見つかりませんでした"), std::wstring::npos) << boxes;
  EXPECT_EQ(t.host.titles.back(), L"");
}

// The page plays a question's sound from where a study finds it, a subfolder named with "\" too.
TEST_F(QuestionLogPageTest, PronounceFindsTheSoundAsTheStudyDoes) {
  t.run(L"UPDATE question SET wavfilename='sub\\x.wav' WHERE qid=8600");
  t.settings.useWavVoice.value = true;
  t.settings.wavVoiceFolder.value = L"/voices";
  page->ReloadList();
  selectRows({8600});
  EXPECT_TRUE(page->OnCommand(CTabpageQuestionlog::kPronounce));
  EXPECT_EQ(t.host.player.started, std::vector<std::string>{"/voices/sub/x.wav 100 100"});
}

TEST_F(QuestionLogPageTest, WebDictionaryItemsNameTheFirstSelectedQuestionsWords) {
  t.run(L"UPDATE question SET question=replace('%ve走る|駆ける|急ぐ', '|', char(13, 10)), "
        L"answer=replace('a1|a2|a3|a4|a5|a6', '|', char(13, 10)) WHERE qid=8600");
  t.app.webDictionaries = apptest::everyKindOfDictionary();
  page->ReloadList();
  selectRows({8601, 8600});  // the first in list order counts
  const auto menu = page->OnListRClick();
  const QStringList items = apptest::menuItems(*menu->actions()[3]->menu());
  ASSERT_EQ(items.size(), 8);
  EXPECT_EQ(items[0], "a1 [E&&J] = 201");
  EXPECT_EQ(items[7], QString::fromStdWString(L"【動詞】走る 駆ける 急ぐ a1 a2 ... [Find] = 228"));
  const apptest::ShellOpenLog shell;
  EXPECT_TRUE(page->OnCommand(217));
  EXPECT_EQ(shell.lines(), QString::fromStdWString(L"https://je.example/w/駆ける.html\n"));
}

}  // namespace
