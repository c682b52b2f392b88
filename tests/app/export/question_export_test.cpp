#include <QButtonGroup>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include <sqlite3.h>

#include "app/export/question_export_dialog.h"
#include "app/export/question_exporter.h"
#include "platform/windows/file_dialog.h"
#include "platform/files/file_system.h"
#include "held_database.h"
#include "services/database_failure.h"
#include "shell_fixture.h"
#include "test_env.h"

using namespace std::string_view_literals;

namespace {

std::string bytesOf(const std::wstring& path) { return platform::readFileBytes(path).value_or("<no file>"); }

std::string utf16(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class QuestionExport : public ShellFixture {
 protected:
  void SetUp() override {
    db.run(L"INSERT INTO element_info VALUES (5, 0, '英単語', '', '', '', 0, 0, '', ''), "
           L"(7, 2, 'Basic', 'A', 'B', '', 0, 0, '', '')");
    db.run(L"INSERT INTO folder VALUES (5, 0), (7, 5)");
    db.run(L"INSERT INTO question (qid, question, answer, hint, wavfilename) VALUES "
           L"(1, 'りんご', 'apple' || char(13, 10) || 'ringo', '', 'apple.wav')");
    db.run(L"INSERT INTO section VALUES (7, 1)");
    app.currentSetId = 7;
    file = db.folder() + L"/out";
  }
  std::string exportCsv(int mode, std::deque<int> ids = {1}) {
    EXPECT_TRUE(QuestionExporter(mode, pdb3::openQuery(app.db)).WriteFile(7, ids, file));
    return bytesOf(file);
  }
  std::wstring file;
};

TEST_F(QuestionExport, CommaFormIsCp932WithCrLfAndAMarkerLine) {
  EXPECT_EQ(exportCsv(kCommaSeparated),
            "klvcsvfile,100\r\nBasic,A,B\r\n\r\n"
            "a1,a2,a3,a4,a5,q1,q2,q3,q4,q5,h1,h2,h3,wavfile\r\n"
            "apple,ringo,,,,\x82\xE8\x82\xF1\x82\xB2,,,,,,,,apple.wav\r\n");
}

TEST_F(QuestionExport, FieldsWithSeparatorsQuotesAndLineBreaksAreQuotedInBothForms) {
  db.run(L"UPDATE question SET answer='a,b' || char(13, 10) || 'say \"hi\"' || char(13, 10) || 'x' || char(9) || 'y', "
         L"question='line' || char(10) || 'feed', hint='\U0001F600 é' WHERE qid=1");
  db.run(L"UPDATE element_info SET description='one' || char(13, 10) || 'two' WHERE eid=7");
  const std::string comma = exportCsv(kCommaSeparated);
  EXPECT_NE(comma.find("Basic,A,B\r\none,two\r\n"), std::string::npos);
  // A TAB between commas needs no quotes; "?" stands for what the code page lacks.
  EXPECT_NE(comma.find("\"a,b\",\"say \"\"hi\"\"\",x\ty,,,\"line\r\nfeed\",,,,,? ?,,,apple.wav\r\n"),
            std::string::npos)
      << comma;

  const std::string tab = exportCsv(kTabSeparated);
  EXPECT_EQ(tab.substr(0, 6), "\xFF\xFE\x6B\x00\x6C\x00"sv);
  EXPECT_NE(tab.find(utf16(u"\"a,b\"\t\"say \"\"hi\"\"\"\t\"x\ty\"\t\t\t\"line\nfeed\"\t\t\t\t\t\U0001F600 \u00E9\t\t\tapple.wav\n")),
            std::string::npos);
  EXPECT_NE(tab.find(utf16(u"klvcsvfile\t100\nBasic\tA\tB\none\ttwo\n")), std::string::npos);
}

TEST_F(QuestionExport, TextFormAlignsTheAnswersAfterAByteOrderMark) {
  db.run(L"INSERT INTO question (qid, question, answer) VALUES (2, 'dog', 'inu')");
  ASSERT_TRUE(WriteQuestionText(pdb3::openQuery(app.db), {1, 2}, file));
  // Widest question りんご: 6 columns, plus 5.
  EXPECT_EQ(bytesOf(file), "\xFF\xFE" + utf16(u"りんご     apple\n           ringo\ndog        inu\n"));
}

class RecordingFileDialogs : public platform::FileDialogs {
 public:
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& request) override {
    asked = request;
    return answer;
  }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
    return std::nullopt;
  }
  platform::FileDialogRequest asked;
  std::optional<std::wstring> answer;
};

class ExportDialog : public QuestionExport {
 protected:
  QLineEdit* nameEdit() { return dialog.findChild<QLineEdit*>("id1271"); }
  void click(int id) { dialog.findChild<QAbstractButton*>(QString("id%1").arg(id))->click(); }
  bool checked(int id) { return dialog.findChild<QAbstractButton*>(QString("id%1").arg(id))->isChecked(); }

  bool pageSelectionWorks = true;
  CQuestionExportDlg dialog{app, L"英単語/基本", [this](std::deque<int>& ids) {
                              if (!pageSelectionWorks) return false;
                              ids = {1};
                              return true;
                            }};
};

TEST_F(ExportDialog, DefaultNameIsTheSetPathOnTheDesktopAndFollowsTheForm) {
  // Without a desktop folder the home folder takes its place.
  EXPECT_TRUE(checked(1279) && checked(1284));
  EXPECT_EQ(nameEdit()->text(), QDir::homePath() + QString::fromStdWString(L"/英単語／基本.txt"));
  QDir::home().mkdir("Desktop");
  nameEdit()->clear();
  click(1281);
  EXPECT_EQ(nameEdit()->text(), QDir::homePath() + QString::fromStdWString(L"/Desktop/英単語／基本.xls"));
  QDir::home().rmdir("Desktop");

  nameEdit()->setText("/data/a.b/list.data.txt");
  click(1280);
  EXPECT_EQ(nameEdit()->text(), "/data/a.b/list.data.csv");
  nameEdit()->setText("/data/a,b/list?");
  click(1279);
  EXPECT_EQ(nameEdit()->text(), "/data/a,b/list.txt");
}

TEST_F(ExportDialog, BrowseTakesTheChosenNameAndItsForm) {
  RecordingFileDialogs dialogs;
  platform::FileDialogOverride guard(dialogs);
  dialogs.answer = L"/tmp/chosen/list.CSV";
  nameEdit()->setText("/tmp/a?b.txt");
  click(1249);
  EXPECT_EQ(dialogs.asked.initialPath, L"/tmp/ab.txt");
  EXPECT_EQ(nameEdit()->text(), "/tmp/chosen/list.CSV");
  EXPECT_TRUE(checked(1280));

  dialogs.answer.reset();
  click(1249);
  EXPECT_EQ(nameEdit()->text(), "/tmp/chosen/list.CSV");
}

TEST_F(ExportDialog, WritesOrSaysWhyNotAndStaysOpen) {
  dialog.show();
  const std::wstring missing = db.folder() + L"/no such folder/list.csv";
  for (int form : {1280, 1279}) {
    click(form);
    nameEdit()->setText(QString::fromStdWString(missing));
    click(1);
    EXPECT_TRUE(dialog.isVisible());
  }
  EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"KLV: CSV 形式で出力できませんでした\n書き込み先のフォルダが見つかりません。",
                                                       L"KLV: 作成できませんでした\n書き込み先のフォルダが見つかりません。"}));

  // A disk that fills up keeps the earlier file and says so.
  nameEdit()->setText(QString::fromStdWString(file));
  ASSERT_TRUE(platform::writeFileAtomically(file, "earlier"));
  notifier.boxes.clear();
  {
    const testenv::FileSizeLimit full(4);
    click(1);
  }
  EXPECT_EQ(bytesOf(file), "earlier");
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"KLV: 作成できませんでした\nディスクの空き容量が足りません。"});
  platform::deleteFile(file);
  notifier.boxes.clear();

  pageSelectionWorks = false;
  nameEdit()->setText(QString::fromStdWString(file));
  click(1);
  EXPECT_FALSE(platform::fileExists(file));
  EXPECT_TRUE(notifier.boxes.empty());

  click(1282);
  click(1281);
  click(1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(notifier.boxes.back(), L"KLV: " + file + L".xls に出力しました");
  EXPECT_EQ(bytesOf(file + L".xls").substr(0, 4), "\xFF\xFE\x6B\x00"sv);
}

// An export that cannot read the set (another program holds the file) leaves the earlier file as
// it was, in every form, and says why instead of that it wrote.
TEST_F(ExportDialog, UnderALockTheEarlierFileStaysAndTheBoxSaysWhy) {
  dialog.show();
  for (int form : {1280, 1281, 1279}) {
    click(form);
    const std::wstring name = nameEdit()->text().toStdWString();
    ASSERT_TRUE(platform::writeFileAtomically(name, "earlier"));
    apptest::HeldDatabase held(db.path());
    click(1);
    EXPECT_EQ(bytesOf(name), "earlier");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"Kelvara: 問題集の問題を読み込めなかったため、出力しませんでした。\n" +
                                                         apptest::kBusyCause}));
    notifier.boxes.clear();
  }
  // The whole set unread is no file written either: said though the action has said a failure.
  click(1282);
  apptest::HeldDatabase held(db.path());
  reportFailedRead(&dialog, L"問題集の学習履歴を読み込めませんでした。");  // the action's earlier failure
  click(1);
  EXPECT_EQ(notifier.boxes.back(), L"Kelvara: 問題集の問題を読み込めませんでした。\n" + apptest::kBusyCause);
}

// A set that cannot be read is said once its read lock is let go: the box waits for the learner,
// and another program (the problem-set editor saving) should not wait for the box.
TEST_F(ExportDialog, TheBoxForASetThatCannotBeReadComesAfterItsReadLock) {
  struct LockWatchingNotifier : RecordingNotifier {
    explicit LockWatchingNotifier(sqliteplus::SqliteConnection& watched) : connection(watched) {}
    int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
      shownInTransaction = shownInTransaction || connection.inTransaction();
      return RecordingNotifier::messageBox(owner, text, caption, flags);
    }
    sqliteplus::SqliteConnection& connection;
    bool shownInTransaction = false;
  } watching(app.db);
  platform::NotifierOverride useWatching(watching);
  const auto refuseSectionReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table && std::string(table) == "section" ? SQLITE_DENY : SQLITE_OK;
  };
  click(1282);  // the whole set
  sqlite3_set_authorizer(app.db.engineHandle(), refuseSectionReads, nullptr);
  testing::internal::CaptureStderr();
  click(1);
  testing::internal::GetCapturedStderr();
  sqlite3_set_authorizer(app.db.engineHandle(), nullptr, nullptr);
  ASSERT_EQ(watching.boxes.size(), 1u);
  EXPECT_EQ(watching.boxes.front().rfind(L"Kelvara: 問題集の問題を読み込めませんでした。\n", 0), 0u) << watching.boxes.front();
  EXPECT_FALSE(watching.shownInTransaction);
}

}  // namespace
