// Smart-learning selection and page, over a copy of the default database with a binder of their
// own: seeded choices against a record-by-record reading of the same rules, and the page driven
// by its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <random>
#include <tuple>

#include "app/pages/delete_smartlearning_dialog.h"
#include "app/pages/page_drawing.h"
#include "app/pages/smart_selection.h"
#include "app/pages/tabpage_smartlearning.h"
#include "app/shell/app_resources.h"
#include "database/logs/question_selection.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "faulty_vfs.h"
#include "held_database.h"
#include "list_view_input.h"
#include "page_host_fixture.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "study/study_flow.h"
#include "scoped_env.h"
#include "study_window_support.h"
#include "services/database_failure.h"
#include "services/user_action.h"
#include "statement_log.h"
#include "test_env.h"
#include "text_contrast.h"
#include "patience.h"

namespace {

using apptest::PageApp;

constexpr int64_t kNow = 1767225600;  // 2026-01-01 00:00 UTC
constexpr int kDay = 86400;

// The same rules read one record at a time, as each question's figures are computed on their own.
std::set<int> perRecordSelection(const pdb3::DbObject& accessor, int uid, int sid, const smart::SelectionRequest& r,
                                 int64_t now) {
  std::vector<int> learned;
  pdb3::querySqlfIntList(accessor, learned,
                         L"SELECT qid FROM memory_rate WHERE uid=%d AND qid IN  (SELECT qid FROM section WHERE sid=%d) "
                         L"ORDER BY qid",
                         uid, sid);
  smart::RateMap().clear();
  for (int qid : learned) {
    auto record = std::make_shared<pdb3::MemoryRate>(accessor, qid, uid, now);
    record->load();
    smart::RateMap()[qid] = record;
  }
  if (r.shuffleLearned) {
    std::deque<int> d(learned.begin(), learned.end());
    study::shuffleIds(d);
    learned.assign(d.begin(), d.end());
  }
  std::vector<int> candidates;
  for (int qid : learned) {
    auto& rate = *smart::RateMap().at(qid);
    if (rate.nextLevelupTime() < now && rate.lastStudyTime() + 10800 < now && rate.currentRate() < 50)
      candidates.push_back(qid);
  }
  std::stable_sort(candidates.begin(), candidates.end(), smart::CompareByCurrentRate);
  std::deque<int> chosen;
  const auto limit = static_cast<size_t>(static_cast<double>(r.count) * smart::ReviewFactor(r.slider));
  for (size_t i = 0; i < limit && i < candidates.size(); ++i) chosen.push_back(candidates[i]);
  std::deque<int> fresh;
  pdb3::nonEmptyQuestionIds(accessor, sid, fresh);
  std::erase_if(fresh, [&](int q) { return std::find(learned.begin(), learned.end(), q) != learned.end(); });
  for (size_t rest = r.count - chosen.size(), i = 0; i < rest && !fresh.empty(); ++i)
    chosen.push_back(pdb3::PickRandomQuestion(fresh));
  std::stable_sort(learned.begin(), learned.end(), smart::CompareByCurrentRate);
  for (size_t rest = r.count - chosen.size(), n = 0, i = 0; n < rest && i < learned.size(); ++i)
    if (std::find(chosen.begin(), chosen.end(), learned[i]) == chosen.end()) chosen.push_back(learned[i]), ++n;
  return {chosen.begin(), chosen.end()};
}

class SmartSelectionTest : public ::testing::Test {
 protected:
  SmartSelectionTest() { sid = t.app.smartLearningSetId; }

  // `due` learned questions half forgotten and ready to climb (studied two days ago, rate 30),
  // `recent` learned ones answered an hour ago, `fresh` never studied, all in the binder.
  void fill(int due, int recent, int fresh) {
    t.run(L"BEGIN");
    int qid = 7000;
    for (int i = 0; i < due; ++i, ++qid) {
      t.addQuestion(qid, L"due", sid);
      t.learn(qid, 30 + i % 5, 0, kNow - 2 * kDay);
      dueIds.insert(qid);
    }
    for (int i = 0; i < recent; ++i, ++qid) {
      t.addQuestion(qid, L"recent", sid);
      t.learn(qid, 20, 0, kNow - 3600);
    }
    for (int i = 0; i < fresh; ++i, ++qid) t.addQuestion(qid, L"new", sid);
    t.run(L"COMMIT");
  }
  std::set<int> select(unsigned count, int slider) {
    platform::seedRandom(7);
    std::set<int> chosen;
    EXPECT_TRUE(smart::SelectSmartQuestions(t.accessor(), t.app.currentUserId, sid, {count, slider, false}, kNow, chosen));
    return chosen;
  }
  int dueChosen(const std::set<int>& chosen) {
    return static_cast<int>(std::count_if(chosen.begin(), chosen.end(), [&](int q) { return dueIds.count(q) > 0; }));
  }

  PageApp t;
  int sid;
  std::set<int> dueIds;
};

TEST_F(SmartSelectionTest, ReviewShareFollowsTheSliderAtItsEdges) {
  fill(40, 0, 200);
  struct Case {
    unsigned count;
    int slider;
    int due;
  };
  for (const Case& c : {Case{5, 2, 0}, Case{10, 2, 1}, Case{100, 2, 19}, Case{10, 0, 7}, Case{15, 1, 7}, Case{0, 1, 0}}) {
    const std::set<int> chosen = select(c.count, c.slider);
    EXPECT_EQ(chosen.size(), c.count) << c.count << " at " << c.slider;
    EXPECT_EQ(dueChosen(chosen), c.due) << c.count << " at " << c.slider;
  }
}

TEST_F(SmartSelectionTest, RecentAndNewUsersAndEmptyQuestions) {
  // Everything answered within three hours: nothing is due, the lowest rated fill the count.
  fill(0, 12, 0);
  EXPECT_EQ(select(10, 0).size(), 10u);
  // A user who never studied: only new questions, never an empty one.
  PageApp fresh;
  fresh.addQuestion(8000, nullptr, fresh.app.smartLearningSetId);
  for (int q = 8001; q <= 8006; ++q) fresh.addQuestion(q, L"a", fresh.app.smartLearningSetId);
  platform::seedRandom(3);
  std::set<int> chosen;
  EXPECT_TRUE(smart::SelectSmartQuestions(fresh.accessor(), fresh.app.currentUserId, fresh.app.smartLearningSetId,
                                          {10, 1, false}, kNow, chosen));
  EXPECT_EQ(chosen, (std::set<int>{8001, 8002, 8003, 8004, 8005, 8006}));
}

TEST_F(SmartSelectionTest, EqualsTheRecordByRecordReadingOnARandomBinder) {
  std::mt19937 random(11);
  t.run(L"BEGIN");
  for (int qid = 9000; qid < 9300; ++qid) {
    t.addQuestion(qid, random() % 10 == 0 ? nullptr : L"w", sid);
    if (random() % 3 == 0) continue;
    std::array<int, 10> times{};
    const int level = static_cast<int>(random() % 11);
    for (int l = 0; l < level; ++l) times[l] = static_cast<int>(kNow - (random() % 60) * kDay);
    t.learn(qid, static_cast<int>(random() % 101), level, static_cast<int>(kNow - random() % (20 * kDay)), times);
  }
  t.run(L"COMMIT");
  // The same in a file without the look-up index on question_log, as another tool may make one
  // that the program may not write: the study times are read in one pass instead.
  for (const bool indexed : {true, false}) {
    SCOPED_TRACE(indexed ? "with the look-up index" : "without it");
    if (!indexed) t.run(L"DROP INDEX question_log_qid_uid");
    // The list's sorts: records from one statement order the rows as records read one by one.
    std::deque<int> binder;
    pdb3::sectionQuestionIds(t.accessor(), sid, binder);
    std::vector<int> rows(binder.begin(), binder.end());
    rows.push_back(1);  // a row from outside the binder
    for (auto compare : {smart::CompareByCurrentRate, smart::CompareByNextLevelupTime}) {
      smart::RateMap().clear();
      for (int qid : rows) {
        auto record = std::make_shared<pdb3::MemoryRate>(t.accessor(), qid, t.app.currentUserId, kNow);
        record->load();
        smart::RateMap()[qid] = record;
      }
      std::vector<int> expected = rows, sorted = rows;
      std::stable_sort(expected.begin(), expected.end(), compare);
      smart::LoadRates(t.accessor(), rows, t.app.currentUserId, sid, kNow);
      std::stable_sort(sorted.begin(), sorted.end(), compare);
      EXPECT_EQ(sorted, expected);
      // The sorts by keyed records give the comparators' order, ties included.
      std::vector<int> keyed = rows;
      if (compare == smart::CompareByCurrentRate)
        smart::StableSortByCurrentRate(keyed);
      else
        smart::StableSortByNextLevelupTime(keyed);
      EXPECT_EQ(keyed, expected);
    }
    for (bool shuffle : {false, true})
      for (unsigned count : {0u, 5u, 10u, 37u, 100u, 400u})
        for (int slider : {0, 1, 2}) {
          const smart::SelectionRequest request{count, slider, shuffle};
          platform::seedRandom(count + slider);
          const auto model = perRecordSelection(t.accessor(), t.app.currentUserId, sid, request, kNow);
          platform::seedRandom(count + slider);
          std::set<int> fast;
          EXPECT_TRUE(smart::SelectSmartQuestions(t.accessor(), t.app.currentUserId, sid, request, kNow, fast));
          EXPECT_EQ(fast, model) << count << " " << slider << " " << shuffle;
          EXPECT_LE(fast.size(), count);
        }
  }
}

// Pixels of the colour in the page's drawing: the hint over the list has one colour for each of
// its texts.
int hintInk(const QImage& image, platform::COLORREF colour) {
  int ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += platform::fromPixel(image.pixel(x, y)) == colour;
  return ink;
}
const platform::COLORREF kEmptyListHintInk = platform::rgb(192, 0, 0), kAddSetHintInk = platform::rgb(64, 64, 192),
                         kUnavailableHintInk = platform::rgb(128, 128, 128);

// The ink of the colour, cut to where it lies.
QImage inkIn(const QImage& image, platform::COLORREF colour) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (platform::fromPixel(image.pixel(x, y)) == colour) box |= QRect(x, y, 1, 1);
  QImage ink(box.size(), QImage::Format_Mono);
  ink.fill(0);
  for (int y = 0; y < box.height(); ++y)
    for (int x = 0; x < box.width(); ++x)
      if (platform::fromPixel(image.pixel(box.x() + x, box.y() + y)) == colour) ink.setPixel(x, y, 1);
  return ink;
}

// Whether the page's drawing shows these words in the colour, and nothing else in it: its ink is
// that of the words drawn alone in the page's hint font.
bool showsWords(const QImage& drawn, const std::wstring& words, platform::COLORREF colour) {
  QImage alone(drawn.size(), QImage::Format_RGB32);
  alone.fill(QApplication::palette().color(QPalette::Window));
  platform::Dc dc(alone);
  dc.selectFont(pageFont(14));
  dc.setBkMode(platform::Transparent);
  dc.setTextColor(colour);
  dc.textOut(0, 0, words);
  return inkIn(drawn, colour) == inkIn(alone, colour);
}
const std::wstring kEmptyListHint = L"このボタンを押して問題集を追加してください →",
                   kAddSetHint = L"覚えたい問題集を追加できます →",
                   kUnavailableHint = L"このデータベースではスマート学習は使えません";

class SmartPageTest : public ::testing::Test {
 protected:
  SmartPageTest() : clock([] { return kNow; }) { t.settings.randomReply.value = false; }
  // On screen unless asked otherwise: a page off screen reads nothing.
  std::unique_ptr<CTabpageSmartlearning> makePage(bool shown = true) {
    auto page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
    page->resize(760, 560);
    if (shown) {
      t.host.window.resize(760, 560);
      t.host.window.show();
      page->show();
    }
    return page;
  }
  // A page shown on a list longer than its view.
  std::unique_ptr<CTabpageSmartlearning> makePageOfManyRows() {
    t.run(L"BEGIN");
    for (int q = 8700; q < 8800; ++q) t.addQuestion(q, L"w", t.app.smartLearningSetId);
    t.run(L"COMMIT");
    auto page = makePage();
    QCoreApplication::processEvents();
    // The level history is read on a thread of its own: done before a test takes the file away.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page->levelCalculator().running(); }, testwait::kPatienceMs));
    QCoreApplication::processEvents();
    return page;
  }
  QString cell(CTabpageSmartlearning& page, int row, int column) {
    return page.list().model()->index(row, column).data().toString();
  }

  platform::ClockOverride clock;
  PageApp t;
};

TEST_F(SmartPageTest, AddingFoldersAndSetsCountsEachQuestionOnce) {
  auto page = makePage();
  EXPECT_TRUE(page->shownIds().empty());
  testenv::ScopedEnv answer("KELVARA_AUTOANSWER", "ok");
  t.host.path = L"Alpha";
  page->OnAddSet();  // the folder: zeta's 1 and 30, Apple's 1, 2 and 31
  page->OnAddSet();
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 4 個の問題を追加しました\nKelvara: 0 個の問題を追加しました\n");
  EXPECT_EQ(page->shownIds().size(), 4u);
  EXPECT_EQ(page->AddToSmartLearning(0), -1);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: ルートフォルダは追加できません\n");
  t.addQuestion(8100, nullptr, apptest::kZeta);
  EXPECT_EQ(page->AddToSmartLearning(apptest::kZeta), 0);  // an empty question is never added
}

// In "sel" mode the list shows the next study's questions: after 追加 and 削除 the choice made
// from the list as it now is, not the one before.
TEST_F(SmartPageTest, InSelModeAddingAndRemovingSetsListsTheNewChoice) {
  auto page = makePage();
  QTest::mouseClick(page->findChild<QPushButton*>("id1327"), Qt::LeftButton);
  ASSERT_FALSE(page->allMode());
  ASSERT_TRUE(page->shownIds().empty());
  const auto listed = [&] {
    std::vector<int> ids = page->shownIds();
    std::sort(ids.begin(), ids.end());
    return ids;
  };
  t.host.path = L"Alpha/zeta";  // questions 1 and 30
  {
    testenv::ScopedEnv answer("KELVARA_AUTOANSWER", "ok");
    QTest::mouseClick(page->findChild<QPushButton*>("id1324"), Qt::LeftButton);
  }
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 2 個の問題を追加しました\n");
  EXPECT_EQ(listed(), (std::vector<int>{1, 30}));

  t.notifier.answer = platform::IdYes;  // the removal's question
  studytest::whenOpened<CDeleteSmartlearningQuestionDlg>([](CDeleteSmartlearningQuestionDlg* dialog) {
    QListWidget& sets = dialog->list();
    for (int row = 0; row < sets.count(); ++row)
      if (sets.item(row)->data(Qt::UserRole).toInt() == apptest::kZeta) {
        const QRect item = sets.visualItemRect(sets.item(row));
        QTest::mouseClick(sets.viewport(), Qt::LeftButton, {}, item.center());
      }
    QTest::mouseClick(dialog->findChild<QPushButton*>("id1"), Qt::LeftButton);
  });
  QTest::mouseClick(page->findChild<QPushButton*>("id1331"), Qt::LeftButton);
  EXPECT_NE(t.takeBoxes().find(L"問題集：Alpha/zeta"), std::wstring::npos);
  EXPECT_EQ(t.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(t.app.smartLearningSetId)), 0);
  EXPECT_TRUE(page->shownIds().empty());
  EXPECT_TRUE(page->chosen().empty());
}

TEST_F(SmartPageTest, AFailedAdditionRollsBackAndSaysSo) {
  auto page = makePage();
  for (int q = 8200; q < 8205; ++q) t.addQuestion(q, L"x", apptest::kZeta);
  // The binder's rows are refused after the first: the whole addition must go.
  t.run(L"CREATE TRIGGER refuse BEFORE INSERT ON section WHEN (SELECT count(*) FROM section WHERE sid=" +
        std::to_wstring(t.app.smartLearningSetId) + L") >= 2 BEGIN SELECT RAISE(ABORT, 'full'); END");
  EXPECT_EQ(page->AddToSmartLearning(apptest::kZeta), -1);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: スマート学習リストへの追加に失敗しました\nfull\n");
  EXPECT_EQ(t.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(t.app.smartLearningSetId)), 0);
  EXPECT_FALSE(t.app.db.inTransaction());
}

TEST_F(SmartPageTest, CountEditRechoosesOnceInitialisedAndRowsShowFigures) {
  const int sid = t.app.smartLearningSetId;
  for (int q = 8300; q < 8330; ++q) t.addQuestion(q, L"w", sid);
  t.learn(8300, 100, 3, static_cast<int>(kNow - 2 * kDay), {int(kNow - 9 * kDay), int(kNow - 8 * kDay), int(kNow - 2 * kDay)});
  t.learn(8301, 10, 0, static_cast<int>(kNow - 30 * kDay));
  auto page = makePage();
  EXPECT_EQ(page->chosen().size(), 15u);  // default-question-count
  auto* edit = page->findChild<QLineEdit*>("id1150");
  edit->setText("7");
  EXPECT_EQ(page->chosen().size(), 7u);
  edit->setText("abc");
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 0 から 1000 までの整数を入力してください。\n");
  EXPECT_EQ(page->chosen().size(), 7u);
  // The arrow keys step the count as the up-down's arrows do, from 1 to 100, each step a choice.
  for (auto [from, key, to] : {std::tuple{"7", Qt::Key_Up, "8"}, {"7", Qt::Key_Down, "6"}, {"100", Qt::Key_Up, "100"},
                               {"1", Qt::Key_Down, "1"}, {"500", Qt::Key_Down, "100"}}) {
    edit->setText(from);
    QTest::keyClick(edit, key);
    EXPECT_EQ(edit->text(), to) << from;
  }
  edit->setText("6");
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(page->chosen().size(), 7u);

  QTest::mouseClick(page->findChild<QPushButton*>("id1327"), Qt::LeftButton);
  EXPECT_FALSE(page->allMode());
  EXPECT_EQ(page->shownIds().size(), 7u);
  QTest::mouseClick(page->findChild<QPushButton*>("id1327"), Qt::LeftButton);
  ASSERT_EQ(page->shownIds().size(), 30u);
  EXPECT_EQ(cell(*page, 0, 0), "w");
  EXPECT_EQ(cell(*page, 0, 2), "C");
  EXPECT_EQ(cell(*page, 0, 4), "2 日前");
  EXPECT_EQ(cell(*page, 2, 3), "今すぐ可能");
  EXPECT_EQ(cell(*page, 2, 4), "-");
  // Level 3 reached two days ago rests four days: the next climb is in two.
  EXPECT_EQ(cell(*page, 0, 3), "2 日後");

  page->OnColumnClick(1);  // most forgotten first, then the reverse
  EXPECT_EQ(page->shownIds().front(), 8302);
  EXPECT_EQ(page->shownIds().back(), 8300);
  page->OnColumnClick(1);
  EXPECT_EQ(page->shownIds().front(), 8300);
  page->OnColumnClick(2);
  EXPECT_EQ(page->shownIds(), (std::vector<int>{8301, 8300}));

  std::vector<int> ids;
  page->OnStartSmartLearning();
  ASSERT_EQ(t.host.studies.size(), 1u);
  EXPECT_EQ(t.host.studies[0].first, L"スマート学習");
  EXPECT_EQ(t.host.studies[0].second.size(), 7u);
}

TEST_F(SmartPageTest, ChosenRowsAreMarkedByDotsThatSayWhatChoosesThem) {
  for (int q = 8400; q < 8405; ++q) t.addQuestion(q, L"w", t.app.smartLearningSetId);
  auto page = makePage();
  page->findChild<QLineEdit*>("id1150")->setText("2");
  ASSERT_EQ(page->chosen().size(), 2u);
  const QAbstractItemModel& rows = *page->list().model();
  const auto mark = [&](bool chosen) {
    for (int row = 0; row < rows.rowCount(); ++row) {
      if (page->chosen().count(page->shownIds()[static_cast<size_t>(row)]) == (chosen ? 1u : 0u))
        return rows.index(row, 0);
    }
    return QModelIndex();
  };
  const auto picture = [](const QVariant& icon) { return icon.value<QIcon>().pixmap(16, 16).toImage(); };
  const QImage chosen = picture(mark(true).data(Qt::DecorationRole));
  const QImage left = picture(mark(false).data(Qt::DecorationRole));
  EXPECT_NE(chosen, left);
  // Not the check boxes the question-log page's rows are ticked with.
  initAppResources();
  EXPECT_NE(chosen, picture(QIcon(":/app/icon/276.xpm")));
  EXPECT_NE(left, picture(QIcon(":/app/icon/277.xpm")));
  for (bool isChosen : {true, false}) {
    const QString tip = mark(isChosen).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QString::fromStdWString(L"「出題数」と「新しい問題の出題率」"))) << tip.toStdString();
  }
}

// The dots are drawn in the list's text colour: when the desktop switches its scheme with the page
// open, to light and back to dark, they are drawn again in the new scheme's and stand out from the
// list's new ground.
TEST_F(SmartPageTest, TheDotsStandOutFromTheListAfterTheDesktopSwitchesItsScheme) {
  for (int q = 8400; q < 8405; ++q) t.addQuestion(q, L"w", t.app.smartLearningSetId);
  const QPalette dark = apptest::darkDesktopPalette();
  const apptest::ApplicationPaletteScope started(dark);
  auto page = makePage();
  page->findChild<QLineEdit*>("id1150")->setText("2");
  const QAbstractItemModel& rows = *page->list().model();
  ASSERT_EQ(rows.rowCount(), 5);
  // The dot, chosen or not, that stands out least from the scheme's list.
  const auto leastOn = [&](const QPalette& scheme) {
    double least = 21;
    for (int row = 0; row < rows.rowCount(); ++row) {
      const QIcon dot = rows.index(row, 0).data(Qt::DecorationRole).value<QIcon>();
      least = std::min(least, apptest::markContrast(dot.pixmap(16, 16).toImage(), scheme.color(QPalette::Base)));
    }
    return least;
  };
  EXPECT_GE(leastOn(dark), 3.0);
  apptest::forEachSchemeInTurn({{"light", apptest::lightDesktopPalette()}, {"dark again", dark}},
                               [&](const char* scheme, const QPalette& palette) {
                                 EXPECT_GE(leastOn(palette), 3.0) << scheme;
                               });
}

TEST_F(SmartPageTest, TheSliderNamesItsShare) {
  auto page = makePage();
  auto* slider = page->findChild<QSlider*>("id1322");
  slider->setValue(2);
  EXPECT_EQ(page->findChild<QLabel*>("id1326")->text(), QString::fromStdWString(L"高"));
  slider->setValue(0);
  EXPECT_EQ(page->findChild<QLabel*>("id1326")->text(), QString::fromStdWString(L"低"));
}

// Under another program's lock the page says what it could not read, and no more: its list is not
// called empty, and 覚える says the choice could not be made rather than that there is nothing to
// study, or than start a study that cannot read its questions.
TEST_F(SmartPageTest, UnderALockTheListAndTheChoiceAreUnknownNotEmpty) {
  for (int q = 8600; q < 8603; ++q) t.addQuestion(q, L"w", t.app.smartLearningSetId);
  const platform::COLORREF empty = kEmptyListHintInk, some = kAddSetHintInk;
  std::unique_ptr<CTabpageSmartlearning> page;
  {
    apptest::HeldDatabase held(t.databasePath());
    page = makePage();
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(hintInk(page->paintImage(), empty), 0);
    EXPECT_TRUE(showsWords(page->paintImage(), kAddSetHint, some));
    apptest::HeldDatabase::nextAction();
    QTest::mouseClick(page->findChild<QPushButton*>("id1325"), Qt::LeftButton);
    EXPECT_TRUE(t.host.studies.empty());
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 次に学習する問題を選べませんでした。\n" + apptest::kBusyCause + L"\n");
  }
  // Once the file is free the choice is made when it is needed.
  QTest::mouseClick(page->findChild<QPushButton*>("id1325"), Qt::LeftButton);
  ASSERT_EQ(t.host.studies.size(), 1u);
  EXPECT_EQ(t.host.studies[0].second.size(), 3u);
  // A choice made before the file was taken is not studied while its questions cannot be read;
  // once they can, those emptied since are left out.
  {
    apptest::HeldDatabase held(t.databasePath());
    QTest::mouseClick(page->findChild<QPushButton*>("id1325"), Qt::LeftButton);
    EXPECT_EQ(t.host.studies.size(), 1u);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 出題する問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
  }
  t.run(L"UPDATE question SET question='', answer='' WHERE qid=8600");
  QTest::mouseClick(page->findChild<QPushButton*>("id1325"), Qt::LeftButton);
  ASSERT_EQ(t.host.studies.size(), 2u);
  EXPECT_EQ(t.host.studies[1].second, (std::vector<int>{8601, 8602}));
  t.run(L"DELETE FROM section WHERE sid=" + std::to_wstring(t.app.smartLearningSetId));
  page->ReloadQuestionList();
  EXPECT_TRUE(showsWords(page->paintImage(), kEmptyListHint, empty));
}

// The page is first opened while another program holds the file: one box, the list and the level
// history unknown. Once the file is free, a list or a history that could not be read is read again
// at the next show (a page switch) or refresh (a study's end, the editor closed), also when only the
// history's own worker found the file held.
TEST_F(SmartPageTest, AListOrHistoryThatCouldNotBeReadIsReadAtTheNextShowOrRefresh) {
  const int sid = t.app.smartLearningSetId;
  for (int q = 8500; q < 8505; ++q) t.addQuestion(q, L"w", sid);
  t.learn(8500, 80, 2, static_cast<int>(kNow - kDay), {int(kNow - 3 * kDay), int(kNow - kDay)});
  auto page = makePage(false);  // another page is open
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  const std::wstring unreadList = L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n";
  {
    apptest::HeldDatabase held(t.databasePath());
    t.host.window.resize(760, 560);
    t.host.window.show();
    page->show();
    EXPECT_EQ(t.takeBoxes(), unreadList);
    EXPECT_TRUE(page->shownIds().empty());
    page->hide();
  }
  page->show();
  EXPECT_EQ(page->shownIds().size(), 5u);
  EXPECT_EQ(cell(*page, 0, 0), "w");
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));  // the level history's line
  EXPECT_EQ(page->levelCalculator().table()[30][1], 1);

  {
    apptest::HeldDatabase held(t.databasePath());
    EXPECT_FALSE(page->ReloadQuestionList());
    EXPECT_EQ(t.takeBoxes(), unreadList);
  }
  EXPECT_TRUE(page->RefreshFromFile());
  EXPECT_EQ(page->shownIds().size(), 5u);
  EXPECT_EQ(cell(*page, 0, 0), "w");
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));

  finished.clear();
  {
    apptest::HeldDatabase held(t.databasePath());
    page->findChild<QComboBox*>("id1330")->setCurrentIndex(4);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" + apptest::kBusyCause + L"\n");
  }
  EXPECT_TRUE(page->RefreshFromFile());
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));  // the history of the period now shown
  EXPECT_EQ(t.takeBoxes(), L"");

  finished.clear();
  {
    apptest::HeldDatabase held(t.databasePath());
    page->levelCalculator().start(t.app.db, {t.app.currentUserId, sid, page->periodDays(), kNow});
    ASSERT_TRUE(finished.wait(testwait::kPatienceMs));
    EXPECT_EQ(t.takeBoxes().rfind(L"Kelvara: 記憶レベルの推移を計算できませんでした。\n", 0), 0u);
  }
  t.learn(8501, 80, 2, static_cast<int>(kNow - kDay), {int(kNow - 3 * kDay), int(kNow - kDay)});
  finished.clear();
  EXPECT_TRUE(page->RefreshFromFile());
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));
  EXPECT_EQ(page->levelCalculator().table()[30][1], 2);
  EXPECT_EQ(t.takeBoxes(), L"");
}

// The rows a press in the list's scroll bar track brings into view cannot be read while another
// program holds the file: the box waits until the button is up, comes once, and the scroll bar does
// not go on paging by itself. Once the file is free the rows fill, with no input.
TEST_F(SmartPageTest, AFailedReadOfThePressInTheScrollBarIsSaidOnceTheButtonIsUpAndTheRowsFillOnceTheFileIsFree) {
  auto page = makePageOfManyRows();
  ASSERT_EQ(t.takeBoxes(), L"");
  QScrollBar* bar = page->list().verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  QWindow* window = t.host.window.windowHandle();
  const QPoint track = bar->mapTo(&t.host.window, QPoint(bar->width() / 2, bar->height() * 3 / 4));
  apptest::HeldDatabase held(t.databasePath());
  QTest::mousePress(window, Qt::LeftButton, {}, track);
  QCoreApplication::processEvents();
  EXPECT_EQ(t.takeBoxes(), L"");  // the button is still down
  QTest::mouseRelease(window, Qt::LeftButton, {}, track, 120);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + apptest::kBusyCause + L"\n");
  const int value = bar->value();
  QTest::qWait(800);  // past the delay after which a held scroll bar repeats
  EXPECT_EQ(bar->value(), value);
  EXPECT_EQ(t.takeBoxes(), L"");
  const int top = page->list().rowAt(0);
  EXPECT_EQ(cell(*page, top, 0), "");
  // Each try by itself meets the held file at its first statement and ends there, as the other
  // pages' do: no transaction begun for nothing, and no slower read for a file whose index could
  // not be looked at.
  {
    auto* retry = page->list().viewport()->findChild<QTimer*>("quietRetryTimer");
    ASSERT_NE(retry, nullptr);
    apptest::StatementLog statements(t.app.db);
    QSignalSpy tries(retry, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tries.count() >= 3; }, testwait::kPatienceMs));
    const std::vector<std::string> tried = statements.take();
    ASSERT_FALSE(tried.empty());
    EXPECT_EQ(std::count(tried.begin(), tried.end(), tried.front()), static_cast<long>(tried.size()))
        << "a try went past the statement the file refused: " << tried[1];
    EXPECT_EQ(tried.front().find("BEGIN"), std::string::npos) << tried.front();
    EXPECT_LE(tried.size(), static_cast<size_t>(tries.count())) << "a try ran more than one statement";
  }
  held.release();
  EXPECT_TRUE(QTest::qWaitFor([&] { return cell(*page, top, 0) == "w"; }, testwait::kPatienceMs));
  EXPECT_EQ(t.takeBoxes(), L"");
}

TEST_F(SmartPageTest, HomeAndEndBringTheFirstAndLastRowBackAfterTheWheel) {
  auto page = makePageOfManyRows();
  listinput::expectHomeAndEndBringTheirRowBack(page->list());
}

// While another program holds the file the page draws the counts, graph and rows it read, and an
// action that cannot read says why, once; the level history keeps the table it had rather than
// an empty one, also when only its worker finds the file held.
TEST_F(SmartPageTest, UnderALockThePageDrawsWhatItReadAndKeepsItsLevelHistory) {
  const int sid = t.app.smartLearningSetId;
  for (int q = 8500; q < 8505; ++q) t.addQuestion(q, L"w", sid);
  t.learn(8500, 80, 2, static_cast<int>(kNow - kDay), {int(kNow - 3 * kDay), int(kNow - kDay)});
  auto page = makePage();
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));
  const smart::LevelTable table = page->levelCalculator().table();
  ASSERT_EQ(table[30][1], 1);
  const QImage before = page->paintImage();
  const QString level = cell(*page, 0, 2);
  const size_t chosen = page->chosen().size();
  {
    apptest::HeldDatabase held(t.databasePath());
    EXPECT_EQ(page->paintImage(), before);
    EXPECT_EQ(cell(*page, 0, 2), level);
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::none);
    page->findChild<QLineEdit*>("id1150")->setText("2");  // a new choice, then the list read again
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 次に学習する問題を選べませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_EQ(page->chosen().size(), chosen);
    QCoreApplication::processEvents();
    apptest::HeldDatabase::nextAction();
    page->findChild<QComboBox*>("id1330")->setCurrentIndex(4);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" + apptest::kBusyCause + L"\n");
    EXPECT_NE(page->paintImage(), before);  // counts not known are not drawn as before, nor as -1
    QCoreApplication::processEvents();
    {
      const OngoingAction told;  // the action that said so goes on, as one of steps on a timer does:
      page->levelCalculator().start(t.app.db, {t.app.currentUserId, sid, 10, kNow});
      ASSERT_TRUE(finished.wait(testwait::kPatienceMs));  // the worker's end is told in an action of its own
    }
    EXPECT_NE(page->levelCalculator().failure(), sqliteplus::EngineFailure::none);
    EXPECT_EQ(t.takeBoxes().rfind(L"Kelvara: 記憶レベルの推移を計算できませんでした。\n", 0), 0u);
  }
  EXPECT_EQ(page->levelCalculator().table(), table);
}

// A list the file could not give while another program writes to it, or while the disk is full, is
// no unavailable list: the page on screen says why it was not made and how to add a set, and its next
// refresh once the file is free, or space freed, makes the list. One the file refuses for good (its
// own trigger) is unavailable: said with the file's words, and again by 追加 before a set is chosen.
TEST_F(SmartPageTest, AListNotMadeIsSaidWithItsCauseAndCalledUnavailableOnlyWhenRefusedForGood) {
  const auto dropList = [&] {
    const int sid = t.app.smartLearningSetId;
    const int folder = t.intValue(L"SELECT fid FROM folder WHERE eid=" + std::to_wstring(sid));
    const std::wstring list = std::to_wstring(sid) + L"," + std::to_wstring(folder);
    t.run(L"DELETE FROM folder WHERE eid IN (" + list + L"); DELETE FROM element_info WHERE eid IN (" + list + L")");
    t.app.smartLearningSetId = -1;
  };
  const std::wstring notMade = L"Kelvara: スマート学習リスト（SmartLearning/1）をデータベースに作成できませんでした。\n";
  dropList();
  auto page = makePage();
  {
    apptest::HeldDatabase writer(t.databasePath(), L"BEGIN IMMEDIATE");
    page->RefreshFromFile();
    EXPECT_EQ(t.takeBoxes(), notMade + apptest::kBusyCause + L"\n");
    EXPECT_TRUE(showsWords(page->paintImage(), kAddSetHint, kAddSetHintInk));
    EXPECT_EQ(hintInk(page->paintImage(), kUnavailableHintInk), 0);
  }
  EXPECT_TRUE(page->RefreshFromFile());
  EXPECT_GE(t.app.smartLearningSetId, 0);
  EXPECT_TRUE(showsWords(page->paintImage(), kEmptyListHint, kEmptyListHintInk));

  ASSERT_TRUE(QTest::qWaitFor([&] { return !page->levelCalculator().running(); }, testwait::kPatienceMs));
  dropList();
  {
    testdb::FaultyVfs disk;
    t.app.db.open(t.databasePath().c_str());
    disk.limitGrowth(0);
    apptest::HeldDatabase::nextAction();
    page->RefreshFromFile();
    EXPECT_EQ(t.takeBoxes(), notMade + apptest::kFullCause + L"\n");
    EXPECT_FALSE(t.app.smartLearningUnavailable());
    EXPECT_TRUE(showsWords(page->paintImage(), kAddSetHint, kAddSetHintInk));
    disk.limitGrowth(std::nullopt);
    apptest::HeldDatabase::nextAction();
    EXPECT_TRUE(page->RefreshFromFile());
    EXPECT_GE(t.app.smartLearningSetId, 0);
    EXPECT_TRUE(showsWords(page->paintImage(), kEmptyListHint, kEmptyListHintInk));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->levelCalculator().running(); }, testwait::kPatienceMs));
    t.app.db.close();
  }
  t.app.db.open(t.databasePath().c_str());
  EXPECT_EQ(t.takeBoxes(), L"");

  dropList();
  t.run(L"CREATE TRIGGER no_lists BEFORE INSERT ON element_info BEGIN SELECT RAISE(ABORT, 'no new sets here'); END");
  apptest::HeldDatabase::nextAction();
  page->RefreshFromFile();
  const std::wstring refused = L"Kelvara: " + std::wstring(kSmartLearningUnavailable) + L"\nno new sets here\n";
  EXPECT_EQ(t.takeBoxes(), refused);
  ASSERT_TRUE(t.app.smartLearningUnavailable());
  apptest::HeldDatabase::nextAction();
  testenv::ScopedEnv cancel("KELVARA_AUTOANSWER", "cancel");  // a chooser that opened would be cancelled
  QTest::mouseClick(page->findChild<QPushButton*>("id1324"), Qt::LeftButton);
  EXPECT_EQ(t.takeBoxes(), refused);
  // A file taken up afresh that refuses the list keeps the words it gave then for the commands.
  t.run(L"DROP TRIGGER no_lists; CREATE TRIGGER no_lists BEFORE INSERT ON element_info BEGIN SELECT RAISE(ABORT, 'still none'); END");
  apptest::HeldDatabase::nextAction();
  ASSERT_TRUE(t.app.TakeUpOpenedDatabase());
  ASSERT_TRUE(t.app.smartLearningUnavailable());
  apptest::HeldDatabase::nextAction();
  QTest::mouseClick(page->findChild<QPushButton*>("id1324"), Qt::LeftButton);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: " + std::wstring(kSmartLearningUnavailable) + L"\nstill none\n");
}

// A file whose memory-rate table could never be made (an index holds its name) has no smart
// learning: from the refresh after the reload that opened it on, the page reads nothing, blames
// nothing, shows smart learning as unavailable, and its commands say so at once; a reload that
// finds the table again has the page read its list as on a first show.
TEST_F(SmartPageTest, WithoutTheMemoryRateTableThePageIsUnavailableAndItsCommandsSayWhyAtOnce) {
  const int sid = t.app.smartLearningSetId;
  for (int q = 8800; q < 8805; ++q) t.addQuestion(q, L"w", sid);
  t.learn(8800, 80, 2, static_cast<int>(kNow - kDay), {int(kNow - 3 * kDay), int(kNow - kDay)});
  auto page = makePage();
  ASSERT_EQ(page->shownIds().size(), 5u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !page->levelCalculator().running(); }, testwait::kPatienceMs));
  ASSERT_EQ(page->levelCalculator().table()[30][1], 1);  // the history it draws
  ASSERT_EQ(hintInk(page->paintImage(), kUnavailableHintInk), 0);
  t.reopenWithMemoryRateNameTaken(L"CREATE INDEX memory_rate ON question (qid)");
  EXPECT_TRUE(page->RefreshFromFile());
  EXPECT_TRUE(page->shownIds().empty());
  const QImage drawn = page->paintImage();
  EXPECT_TRUE(showsWords(drawn, kUnavailableHint, kUnavailableHintInk));
  EXPECT_EQ(hintInk(drawn, kEmptyListHintInk) + hintInk(drawn, kAddSetHintInk), 0) << "no hint to add a set";
  // No counts, graph or bar of what it showed before: drawn as by a page made and shown now, which
  // reads nothing.
  const auto fresh = makePage();
  EXPECT_FALSE(fresh->levelCalculator().running());
  EXPECT_TRUE(fresh->chosen().empty());
  const int figuresTop = page->findChild<QWidget*>("id1328")->y();
  EXPECT_EQ(drawn.copy(0, figuresTop, drawn.width(), drawn.height() - figuresTop),
            fresh->paintImage().copy(0, figuresTop, drawn.width(), drawn.height() - figuresTop));

  // What the learner changes on the page reads no rates either.
  page->findChild<QLineEdit*>("id1150")->setText("3");
  page->findChild<QComboBox*>("id1330")->setCurrentIndex(4);
  EXPECT_FALSE(page->levelCalculator().running());
  page->OnColumnClick(2);
  QTest::mouseClick(page->findChild<QPushButton*>("id1327"), Qt::LeftButton);
  EXPECT_TRUE(page->RefreshFromFile());
  EXPECT_EQ(t.takeBoxes(), L"");

  // 追加 says it before a set is chosen (a chooser that opened would be cancelled), 削除 and 覚える too,
  // in the open's words: the file lacks no list.
  testenv::ScopedEnv cancel("KELVARA_AUTOANSWER", "cancel");
  for (int command : {1324, 1331, 1325}) {
    apptest::HeldDatabase::nextAction();  // each click is an action of its own
    QTest::mouseClick(page->findChild<QPushButton*>(QString("id%1").arg(command)), Qt::LeftButton);
    EXPECT_EQ(t.takeBoxes(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken) + L"\n")
        << command;
  }
  EXPECT_TRUE(t.host.studies.empty());

  // Mended and opened again with its set, the file has smart learning: the refresh reads the list.
  t.run(L"DROP INDEX memory_rate");
  ASSERT_TRUE(t.app.OpenDatabase());
  ASSERT_TRUE(t.app.TakeUpOpenedDatabase());  // as every open finds the set
  ASSERT_EQ(t.app.memoryRates, pdb3::MemoryRateTable::present);
  ASSERT_EQ(t.app.smartLearningSetId, sid);
  QTest::mouseClick(page->findChild<QPushButton*>("id1327"), Qt::LeftButton);  // all of the list
  EXPECT_TRUE(page->RefreshFromFile());
  EXPECT_EQ(page->shownIds().size(), 5u);
  EXPECT_EQ(page->chosen().size(), 3u);  // the count the learner set meanwhile
  EXPECT_EQ(hintInk(page->paintImage(), kUnavailableHintInk), 0);
  EXPECT_EQ(t.takeBoxes(), L"");
}

}  // namespace
