#include <QLineEdit>
#include <sqlite3.h>
#include <ctime>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/export/search_dialog.h"
#include "database/engine/sql_helpers.h"
#include "held_database.h"
#include "list_view_input.h"
#include "shell_fixture.h"
#include "study/window/trans_edit_dialog.h"
#include "study_window_support.h"
#include "web_dictionary_support.h"

namespace {

class SearchDialog : public ShellFixture {
 protected:
  void SetUp() override {
    db.run(L"INSERT INTO element_info VALUES (5, 0, 'Eng', '', '', '', 0, 0, '', ''), "
           L"(7, 2, 'Words', '', '', '', 0, 0, '', '')");
    db.run(L"INSERT INTO folder VALUES (5, 0), (7, 5)");
  }
  // count questions whose answers begin with `prefix`, numbered from 1000, all in the set.
  void addQuestions(const std::wstring& prefix, int count) {
    db.run(L"BEGIN");
    for (int i = 0; i < count; ++i) {
      const int qid = next++;
      db.run(L"INSERT INTO question (qid, question, answer) VALUES (" + std::to_wstring(qid) + L", '問%no" +
             std::to_wstring(i) + L"', '" + prefix + std::to_wstring(1000 + i) + L"')");
      db.run(L"INSERT INTO section VALUES (7, " + std::to_wstring(qid) + L")");
    }
    db.run(L"COMMIT");
  }
  QTreeWidget* list(CSearchDlg& dialog) { return dialog.findChild<QTreeWidget*>("id1259"); }
  // Types the word and clicks the search button, then waits for the fill to end.
  QTreeWidget* search(CSearchDlg& dialog, const QString& word) {
    dialog.findChild<QPlainTextEdit*>("id1261")->setPlainText(word);
    dialog.findChild<QPushButton*>("id1249")->click();
    EXPECT_TRUE(waitFor([&] { return !dialog.searching(); }));
    return list(dialog);
  }
  static QString lastText(QTreeWidget* list) { return list->topLevelItem(list->topLevelItemCount() - 1)->text(0); }
  int next = 1;
};

TEST_F(SearchDialog, ShowsAtMost101HitsAndThenThreeDots) {
  addQuestions(L"Few", 3);
  addQuestions(L"Exact", 101);
  addQuestions(L"Many", 150);
  CSearchDlg dialog(app);
  QTreeWidget* rows = search(dialog, "few");  // LIKE ignores the case of ASCII letters
  ASSERT_EQ(rows->topLevelItemCount(), 3);
  EXPECT_EQ(rows->topLevelItem(0)->text(0), "Few1000");
  EXPECT_EQ(rows->topLevelItem(0)->text(1), QString::fromStdWString(L"問【名詞】0"));
  EXPECT_EQ(rows->topLevelItem(0)->text(2), "Eng/Words");
  EXPECT_EQ(rows->topLevelItem(0)->data(0, Qt::UserRole).toInt(), 1);

  for (const char* word : {"Exact", "Many"}) {
    rows = search(dialog, word);
    ASSERT_EQ(rows->topLevelItemCount(), 102) << word;
    EXPECT_EQ(rows->topLevelItem(100)->text(0), QString(word) + "1100");
    EXPECT_EQ(lastText(rows), "...");
    EXPECT_EQ(rows->topLevelItem(101)->data(0, Qt::UserRole).toInt(), -1);
  }

  rows = search(dialog, "Nothing");
  EXPECT_EQ(rows->topLevelItemCount(), 0);
}

TEST_F(SearchDialog, HomeAndEndBringTheFirstAndLastHitBackAfterTheWheel) {
  addQuestions(L"Many", 150);
  CSearchDlg dialog(app);
  dialog.show();
  listinput::expectHomeAndEndBringTheirRowBack(*search(dialog, "Many"));
}

TEST_F(SearchDialog, PresetWordsQuotesAndQuestionsOutsideEverySet) {
  db.run(L"INSERT INTO question (qid, question, answer) VALUES (1, 'それ', 'it''s'), (2, 'x', 'it_s')");
  CSearchDlg dialog(app, L"it's");
  ASSERT_TRUE(waitFor([&] { return list(dialog)->topLevelItemCount() == 1 && !dialog.searching(); }));
  EXPECT_EQ(list(dialog)->topLevelItem(0)->text(0), "it's");
  EXPECT_EQ(list(dialog)->topLevelItem(0)->text(2), "");
  // "_" typed by the user stays a wildcard.
  EXPECT_EQ(search(dialog, "it_")->topLevelItemCount(), 2);
  // A set the tree has lost is no failure: no path, as for no set.
  db.run(L"INSERT INTO question (qid, question, answer) VALUES (3, 'y', 'lost'); INSERT INTO section VALUES (99, 3)");
  EXPECT_EQ(search(dialog, "lost")->topLevelItem(0)->text(2), "");
  EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(SearchDialog, ANewSearchOrAnEditStopsARunningFill) {
  addQuestions(L"Word", 120);
  CSearchDlg dialog(app);
  dialog.findChild<QPlainTextEdit*>("id1261")->setPlainText("Word");
  dialog.findChild<QPushButton*>("id1249")->click();
  ASSERT_TRUE(waitFor([&] { return list(dialog)->topLevelItemCount() >= 3; }));
  ASSERT_TRUE(dialog.searching());
  list(dialog)->setCurrentItem(list(dialog)->topLevelItem(1));
  db.run(L"UPDATE question SET utime=1 WHERE qid=2");
  const int64_t editedFrom = std::time(nullptr);
  QString editedAnswer;
  studytest::whenOpened<study::CTransEditDlg>([&](study::CTransEditDlg* edit) {
    auto* answer = edit->findChild<QLineEdit*>("id1023");
    editedAnswer = answer->text();
    answer->setText("changed");
    QTest::mouseClick(edit->findChild<QPushButton*>("id1"), Qt::LeftButton);
  });
  dialog.findChild<QPushButton*>("id1250")->click();
  EXPECT_FALSE(dialog.searching());
  const int shown = list(dialog)->topLevelItemCount();
  EXPECT_EQ(lastText(list(dialog)), "...");
  EXPECT_EQ(editedAnswer, "Word1001");
  EXPECT_EQ(list(dialog)->topLevelItem(1)->text(0), "changed");
  EXPECT_EQ(db.value(L"SELECT answer FROM question WHERE qid=2"), L"changed");
  EXPECT_GE(std::stoll(db.value(L"SELECT utime FROM question WHERE qid=2")), editedFrom);  // the change time moves on

  // The "..." row edits nothing (an edit dialog would wait here for a user).
  list(dialog)->setCurrentItem(list(dialog)->topLevelItem(shown - 1));
  dialog.OnEdit();

  // An empty word empties the list and stops a fill that is running.
  dialog.findChild<QPushButton*>("id1249")->click();
  search(dialog, "Word");
  dialog.findChild<QPlainTextEdit*>("id1261")->setPlainText("");
  dialog.findChild<QPushButton*>("id1249")->click();
  QApplication::processEvents();
  EXPECT_FALSE(dialog.searching());
  EXPECT_EQ(list(dialog)->topLevelItemCount(), 0);
}

// Another program holds the file: a search says it could not search instead of showing "no match";
// a fill it stops shows only rows read whole, ends in "..." and says so; once the file is free the
// same search fills the whole list.
TEST_F(SearchDialog, AHeldFileIsSaidAndAStoppedFillKeepsOnlyWholeRows) {
  addQuestions(L"Word", 100);
  const std::vector<std::wstring> said{L"Kelvara: 問題を検索できませんでした。\n" + apptest::kBusyCause};
  CSearchDlg dialog(app);
  dialog.show();
  {
    const apptest::HeldDatabase held(db.path());
    EXPECT_EQ(search(dialog, "Word")->topLevelItemCount(), 0);
    EXPECT_EQ(notifier.boxes, said);
  }
  notifier.boxes.clear();

  QTest::mouseClick(dialog.findChild<QPushButton*>("id1249"), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return list(dialog)->topLevelItemCount() >= 3; }));
  ASSERT_TRUE(dialog.searching());
  {
    const apptest::HeldDatabase held(db.path());
    ASSERT_TRUE(waitFor([&] { return !dialog.searching(); }));
    EXPECT_EQ(notifier.boxes, said);
    QTreeWidget* rows = list(dialog);
    ASSERT_LT(rows->topLevelItemCount(), 101);
    EXPECT_EQ(lastText(rows), "...");
    for (int i = 0; i + 1 < rows->topLevelItemCount(); ++i) {
      EXPECT_EQ(rows->topLevelItem(i)->text(0), QString("Word%1").arg(1000 + i)) << i;
      EXPECT_EQ(rows->topLevelItem(i)->text(2), "Eng/Words") << i;
    }
  }
  notifier.boxes.clear();

  QTreeWidget* rows = search(dialog, "Word");
  EXPECT_EQ(rows->topLevelItemCount(), 100);
  EXPECT_EQ(lastText(rows), "Word1099");
  EXPECT_TRUE(notifier.boxes.empty());

  // A fault where the engine runs a statement of the fill (as a failing disk would stop it): at the
  // fetch of the sixth hit, at the set of its question, and at the first question's texts or path.
  struct Interrupted {
    Interrupted(sqlite3* db, std::string tail) : db(db), tail(std::move(tail)) {
      sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &stop, this);
    }
    ~Interrupted() { sqlite3_trace_v2(db, 0, nullptr, nullptr); }
    static int stop(unsigned, void* self, void*, void* sql) {
      auto& fault = *static_cast<Interrupted*>(self);
      if (std::string(static_cast<const char*>(sql)).ends_with(fault.tail)) sqlite3_interrupt(fault.db);
      return 0;
    }
    sqlite3* db;
    std::string tail;
  };
  const std::pair<const char*, int> faults[] = {
      {"LIMIT 5, 1", 5}, {"FROM section WHERE qid=6", 5}, {"FROM question WHERE qid=?", 0}, {"FROM folder WHERE eid = ?", 0}};
  for (const auto& [tail, whole] : faults) {
    notifier.boxes.clear();
    apptest::HeldDatabase::nextAction();  // each search an action of its own, as clicks are
    const Interrupted fault(app.db.engineHandle(), tail);
    rows = search(dialog, "Word");
    ASSERT_EQ(rows->topLevelItemCount(), whole + 1) << tail;
    if (whole > 0) {
      EXPECT_EQ(rows->topLevelItem(whole - 1)->text(2), "Eng/Words") << tail;
    }
    EXPECT_EQ(lastText(rows), "...") << tail;
    EXPECT_EQ(notifier.boxes,
              std::vector<std::wstring>{L"Kelvara: 問題を検索できませんでした。\nデータベースファイルの読み書きに失敗しました。"})
        << tail;
  }
}

TEST_F(SearchDialog, LooksTheTypedWordUpInAnEnabledEnglishJapaneseDictionary) {
  CSearchDlg dialog(app);
  dialog.OnWebDictionaryMenu(QPoint());  // none usable: says so instead of popping up nothing
  app.webDictionaries = apptest::everyKindOfDictionary();
  app.webDictionaries.entries.push_back({kEnglishJapanese, true, L"Local", L"file:///tmp/", L""});
  EXPECT_EQ(apptest::menuItems(*dialog.webDictionaryMenu()), (QStringList{"E&&J = 201", "Local = 205"}));
  const apptest::ShellOpenLog shell;
  dialog.findChild<QPlainTextEdit*>("id1261")->setPlainText("look up");
  dialog.OnWebDictionaryCommand(201);
  dialog.OnWebDictionaryCommand(205);  // no web address: opens nothing and names the dictionary
  EXPECT_EQ(shell.lines(), "https://ej.example/?q=look up\n");
  ASSERT_EQ(notifier.boxes.size(), 2u);
  EXPECT_EQ(notifier.boxes[0].find(L"Kelvara: 使える英和辞書がありません。"), 0u);
  EXPECT_EQ(notifier.boxes[1].find(L"Kelvara: Web辞書「Local」を開けませんでした。"), 0u);
}

}  // namespace

// An edit the database refuses (here a trigger with a reason of its own) says why, and the row
// goes on showing what is stored, not the text that was typed.
TEST_F(SearchDialog, ARefusedEditSaysWhyAndTheRowKeepsWhatIsStored) {
  addQuestions(L"Word", 2);
  db.run(L"CREATE TRIGGER frozen BEFORE UPDATE ON question BEGIN SELECT RAISE(ABORT, '教材は編集できません'); END");
  CSearchDlg dialog(app);
  QTreeWidget* rows = search(dialog, "Word");
  ASSERT_EQ(rows->topLevelItemCount(), 2);
  rows->setCurrentItem(rows->topLevelItem(0));
  studytest::whenOpened<study::CTransEditDlg>([](study::CTransEditDlg* edit) {
    edit->findChild<QLineEdit*>("id1023")->setText("typed");
    QTest::mouseClick(edit->findChild<QPushButton*>("id1"), Qt::LeftButton);
  });
  dialog.OnEdit();
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"KLV: データベースの書き込みに失敗しました。\n教材は編集できません"});
  EXPECT_EQ(rows->topLevelItem(0)->text(0), "Word1000");
  EXPECT_EQ(db.value(L"SELECT answer FROM question WHERE qid=1"), L"Word1000");
}
