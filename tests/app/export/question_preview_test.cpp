#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "app/export/question_preview_dialog.h"
#include "held_database.h"
#include "list_view_input.h"
#include "recording_notifier.h"
#include "recording_speech_engine.h"
#include "shell_fixture.h"
#include "study/window/trans_edit_dialog.h"
#include "study_window_support.h"
#include "web_dictionary_support.h"

namespace {

class QuestionPreview : public ShellFixture {
 protected:
  void SetUp() override {
    db.run(L"INSERT INTO question (qid, question, answer) VALUES "
           L"(1, 'りんご', 'apple' || char(13, 10) || 'ringo'), (2, 'dog', 'inu'), (3, '', '')");
  }
  template <typename T = QWidget>
  static T* item(QuestionPreviewDlg& dialog, int id) {
    return dialog.findChild<T*>(QString("id%1").arg(id));
  }
  static QStringList rows(QuestionPreviewDlg& dialog) {
    QStringList texts;
    auto* list = item<QListWidget>(dialog, 1107);
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }
  // The edit dialog, when it opens, finds `before` in the first answer box and confirms `after`.
  void editFirstAnswer(const QString& before, const QString& after) {
    studytest::whenOpened<study::CTransEditDlg>([before, after](study::CTransEditDlg* edit) {
      auto* answer = edit->findChild<QLineEdit*>("id1023");
      EXPECT_EQ(answer->text(), before);
      answer->setText(after);
      QTest::mouseClick(edit->findChild<QPushButton*>("id1"), Qt::LeftButton);
    });
  }
  static int rowQuestion(QuestionPreviewDlg& dialog, int row) {
    return item<QListWidget>(dialog, 1107)->item(row)->data(Qt::UserRole).toInt();
  }
};

TEST_F(QuestionPreview, FirstOpeningTakesTheOptimalWidthAndKeepsItOnClose) {
  ASSERT_EQ(settings.previewDlgPeriodSize.value, -1);
  QuestionPreviewDlg dialog(app, {1, 2, 3}, L"Eng/Words");
  EXPECT_EQ(dialog.windowTitle(), QString::fromStdWString(L"Eng/Words [3] - 問題一覧"));
  EXPECT_EQ(dialog.columnWidth(), 6 + 5);
  EXPECT_TRUE(item<QRadioButton>(dialog, 1113)->isChecked());
  EXPECT_EQ(item<QLineEdit>(dialog, 1114)->text(), "11");
  // Each question is followed by a blank row that still belongs to it.
  EXPECT_EQ(rows(dialog), (QStringList{QString::fromStdWString(L"りんご     apple"), "           ringo", "",
                                       "dog        inu", "", ""}));
  EXPECT_EQ(rowQuestion(dialog, 2), 1);
  EXPECT_EQ(rowQuestion(dialog, 5), 3);
  dialog.show();
  dialog.resize(700, 450);
  dialog.reject();
  EXPECT_EQ(settings.previewDlgPeriodSize.value, 11);
  EXPECT_EQ(settings.previewWidth.value, 700);
  EXPECT_EQ(settings.previewHeight.value, 450);

  db.run(L"UPDATE question SET question='" + std::wstring(400, L'x') + L"' WHERE qid=2");
  settings.previewDlgPeriodSize.value = -1;
  EXPECT_EQ(QuestionPreviewDlg(app, {1, 2}, L"t").columnWidth(), 300);
}

TEST_F(QuestionPreview, RadiosAndTypedWidthsSetTheColumn) {
  settings.previewDlgPeriodSize.value = 20;
  QuestionPreviewDlg dialog(app, {2}, L"t");
  dialog.show();
  EXPECT_EQ(dialog.columnWidth(), 20);
  EXPECT_TRUE(item<QRadioButton>(dialog, 1113)->isChecked());
  item<QRadioButton>(dialog, 1111)->click();
  EXPECT_EQ(dialog.columnWidth(), 32);
  EXPECT_EQ(rows(dialog).front(), "dog" + QString(29, ' ') + "inu");

  auto* edit = item<QLineEdit>(dialog, 1114);
  QFocusEvent focus(QEvent::FocusIn);
  QApplication::sendEvent(edit, &focus);
  EXPECT_TRUE(item<QRadioButton>(dialog, 1113)->isChecked());
  edit->clear();
  QTest::keyClicks(edit, "301");
  EXPECT_EQ(dialog.columnWidth(), 10);
  EXPECT_EQ(edit->text(), "10");
  edit->clear();
  QTest::keyClicks(edit, "5");
  EXPECT_EQ(dialog.columnWidth(), 5);
  EXPECT_EQ(rows(dialog), (QStringList{"dog  inu", ""}));

  item<QCheckBox>(dialog, 1115)->click();
  EXPECT_EQ(rows(dialog), QStringList{"dog  inu"});
  item<QPushButton>(dialog, 1116)->click();
  EXPECT_EQ(dialog.columnWidth(), 3 + 5);
}

TEST_F(QuestionPreview, PronouncesSearchesAndEditsTheSelectedQuestion) {
  std::vector<std::wstring> spoken;
  app.speechVoice = SpeechVoice([&spoken] { return std::make_unique<RecordingSpeechEngine>(spoken); });
  ASSERT_TRUE(app.speechVoice.prepare(settings));
  QuestionPreviewDlg dialog(app, {2, 1}, L"t");
  dialog.OnPronounce();  // nothing selected: the top row's question
  item<QListWidget>(dialog, 1107)->setCurrentRow(3);
  item<QPushButton>(dialog, 1252)->click();
  EXPECT_EQ(spoken, (std::vector<std::wstring>{L"inu", L"apple, ringo"}));

  QString presetWord;
  QTimer::singleShot(0, [&] {
    QWidget* search = QApplication::activeModalWidget();
    ASSERT_TRUE(search && search->objectName() == "id260");
    presetWord = search->findChild<QPlainTextEdit*>("id1261")->toPlainText();
    static_cast<QDialog*>(search)->reject();
  });
  item<QPushButton>(dialog, 1251)->click();
  EXPECT_EQ(presetWord, "apple");

  // An edit reaches the file and keeps the scroll position and the row.
  item<QListWidget>(dialog, 1107)->setCurrentRow(4);
  db.run(L"UPDATE question SET utime=1 WHERE qid=1");
  const int64_t editedFrom = std::time(nullptr);
  editFirstAnswer("apple", "pomme");
  item<QPushButton>(dialog, 1250)->click();
  EXPECT_EQ(item<QListWidget>(dialog, 1107)->currentRow(), 4);
  EXPECT_EQ(rows(dialog)[2], QString::fromStdWString(L"りんご     pomme"));
  EXPECT_EQ(db.value(L"SELECT answer FROM question WHERE qid=1"), L"pomme\r\nringo");
  EXPECT_GE(std::stoll(db.value(L"SELECT utime FROM question WHERE qid=1")), editedFrom);  // the change time moves on

  std::deque<int> many;
  for (int i = 0; i < 40; ++i) many.insert(many.end(), {2, 1});
  QuestionPreviewDlg longList(app, many, L"t");
  longList.show();
  auto* list = item<QListWidget>(longList, 1107);
  list->verticalScrollBar()->setValue(50);
  list->setCurrentRow(62);
  editFirstAnswer("pomme", "apple");
  item<QPushButton>(longList, 1250)->click();
  EXPECT_EQ(list->verticalScrollBar()->value(), 50);
  EXPECT_EQ(list->currentRow(), 62);
  EXPECT_EQ(rows(longList)[2], QString::fromStdWString(L"りんご     apple"));  // every row of the question

  // A refused edit says why, and the rows go on showing what is stored.
  db.run(L"CREATE TRIGGER frozen BEFORE UPDATE ON question BEGIN SELECT RAISE(ABORT, 'frozen'); END");
  notifier.boxes.clear();
  editFirstAnswer("apple", "typed");
  item<QPushButton>(longList, 1250)->click();
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"KLV: データベースの書き込みに失敗しました。\nfrozen"});
  EXPECT_EQ(rows(longList)[2], QString::fromStdWString(L"りんご     apple"));
}

TEST_F(QuestionPreview, HomeAndEndBringTheFirstAndLastRowBackAfterTheWheel) {
  std::deque<int> many;
  for (int i = 0; i < 40; ++i) many.insert(many.end(), {2, 1});
  QuestionPreviewDlg dialog(app, many, L"t");
  dialog.show();
  listinput::expectHomeAndEndBringTheirRowBack(*item<QListWidget>(dialog, 1107));
}

TEST_F(QuestionPreview, PronouncingWithoutASoundDeviceSaysSoOnce) {
  std::vector<std::wstring> spoken;
  app.speechVoice = SpeechVoice([&spoken] { return std::make_unique<RecordingSpeechEngine>(spoken, false); });
  ASSERT_TRUE(app.speechVoice.prepare(settings));
  RecordingNotifier boxes;
  platform::NotifierOverride use(boxes);
  QuestionPreviewDlg dialog(app, {2, 1}, L"t");
  item<QPushButton>(dialog, 1252)->click();
  item<QPushButton>(dialog, 1252)->click();
  EXPECT_EQ(spoken.size(), 2u);
  EXPECT_EQ(boxes.boxes, std::vector<std::wstring>{L"Kelvara: サウンドデバイスが見つからないため、音声は聞こえません。"});
}

TEST_F(QuestionPreview, ContextMenuSelectsTheRowUnderTheCursor) {
  std::vector<std::wstring> spoken;
  app.speechVoice = SpeechVoice([&spoken] { return std::make_unique<RecordingSpeechEngine>(spoken); });
  ASSERT_TRUE(app.speechVoice.prepare(settings));
  QuestionPreviewDlg dialog(app, {2, 1}, L"t");
  dialog.show();
  auto* list = item<QListWidget>(dialog, 1107);
  QStringList texts;
  QList<bool> enabled;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    for (QAction* action : menu->actions()) {
      texts << action->text();
      enabled << action->isEnabled();
    }
    QTest::keyClick(menu, Qt::Key_S);
  });
  emit list->customContextMenuRequested(list->visualItemRect(list->item(2)).center());
  EXPECT_EQ(texts, (QStringList{QString::fromStdWString(L"発音(&S)"), QString::fromStdWString(L"検索(&F)..."),
                                QString::fromStdWString(L"編集(&E)..."), QString::fromStdWString(L"Web辞書で検索(&W)")}));
  EXPECT_EQ(enabled, (QList<bool>{true, true, true, false}));  // no dictionary to offer
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(spoken, std::vector<std::wstring>{L"apple, ringo"});
}

TEST_F(QuestionPreview, WebDictionaryItemsForEachFieldOpenTheirWords) {
  db.run(L"INSERT INTO question (qid, question, answer) VALUES (4, replace('%no走る|駆ける|急ぐ', '|', char(13, 10)), "
         L"replace('run|dash|rush|race|sprint|hurry', '|', char(13, 10)))");
  app.webDictionaries = apptest::everyKindOfDictionary();
  QuestionPreviewDlg dialog(app, {4}, L"t");
  dialog.show();
  auto* list = item<QListWidget>(dialog, 1107);
  QStringList items;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    items = apptest::menuItems(*menu->actions().last()->menu());
    menu->close();
  });
  emit list->customContextMenuRequested(list->visualItemRect(list->item(0)).center());
  // Five answers, two question texts, the whole shortened; nothing of the disabled entry.
  EXPECT_EQ(items, (QStringList{"E&&J [run] = 201", "E&&J [dash] = 202", "E&&J [rush] = 203", "E&&J [race] = 204",
                                "E&&J [sprint] = 205", QString::fromStdWString(L"JE [【名詞】走る] = 216"),
                                QString::fromStdWString(L"JE [駆ける] = 217"),
                                QString::fromStdWString(L"Find [【名詞】走る 駆ける 急ぐ run da...] = 228")}));
  const apptest::ShellOpenLog shell;
  for (int command : {205, 217, 228}) dialog.OnMenuCommand(command);
  EXPECT_EQ(shell.lines(), QString::fromStdWString(L"https://ej.example/?q=sprint\nhttps://je.example/w/駆ける.html\n"
                                                   L"https://find.example/?q=【名詞】走る 駆ける 急ぐ run dash rush race sprint hurry\n"));
}
// A list that cannot be read (another program holds the file) is not shown as blank rows.
TEST_F(QuestionPreview, QuestionsThatCannotBeReadAreSaidNotShown) {
  apptest::HeldDatabase held(db.path());
  QuestionPreviewDlg dialog(app, {1, 2}, L"t");
  EXPECT_EQ(dialog.DoModal(), platform::IdCancel);
  EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"Kelvara: 問題を読み込めませんでした。\n" + apptest::kBusyCause}));
}

}  // namespace
