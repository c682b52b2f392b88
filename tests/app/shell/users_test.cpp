#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QListWidget>

#include "app/shell/user_dialogs.h"
#include "app/shell/user_manage_dialog.h"
#include "app/shell/user_records.h"
#include "app_test_support.h"
#include "database/engine/busy_wait.h"
#include "database/logs/users.h"
#include "database_fixture.h"
#include "held_database.h"
#include "platform/text.h"
#include "scoped_env.h"
#include "services/point_info_store.h"
#include "study_app_fixture.h"
#include "test_env.h"

using apptest::typeAndConfirm;
using studytest::StudyApp;

namespace {

// One study's records of user uid (study log and daily log 100 + uid) in every table that keeps
// records per user.
void seedRecords(StudyApp& s, int uid) {
  for (const char* sql :
       {"INSERT INTO log_id VALUES(LID,UID,2,0)", "INSERT INTO element_log VALUES(LID,0,1,0,0,0,'','')",
        "INSERT INTO looped_questions VALUES(LID,1)", "INSERT INTO daily_log VALUES(LID,LID,0,0,0,'','')",
        "INSERT INTO daily_question_log VALUES(LID,1,1,0,0,0,1.0,0,0)",
        "INSERT INTO question_log VALUES(1,UID,0,1,0,0,0,0,0,0,0,0,0,1.0,'','')",
        "INSERT INTO memory_rate VALUES(1,UID,50,1,0,0,0,0,0,0,0,0,0,0)"}) {
    const QString statement =
        QString(sql).replace("LID", QString::number(100 + uid)).replace("UID", QString::number(uid));
    s.app.db.createQuery()->execute(statement.toStdWString().c_str());
  }
}

// How many rows of user uid's records each table holds.
std::wstring recordsOf(StudyApp& s, int uid) {
  const QString id = QString::number(100 + uid), user = QString::number(uid);
  QStringList counts;
  for (const QString& where :
       {"user_info WHERE uid=" + user, "log_id WHERE uid=" + user, "element_log WHERE lid=" + id,
        "looped_questions WHERE lid=" + id, "daily_log WHERE lid=" + id, "daily_question_log WHERE did=" + id,
        "question_log WHERE uid=" + user, "memory_rate WHERE uid=" + user})
    counts << QString::number(s.intValue(("SELECT count(*) FROM " + where).toStdWString()));
  return counts.join(" ").toStdWString();
}

QStringList listed(QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

void select(QListWidget* list, const QString& name) {
  list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
}

}  // namespace

TEST(DeleteUser, TakesEveryRecordOfTheUserAndNothingElseOrNothingAtAll) {
  StudyApp s;
  const int hanako = pdb3::insertUser(s.accessor(), L"hanako"), jiro = pdb3::insertUser(s.accessor(), L"jiro");
  seedRecords(s, hanako);
  seedRecords(s, jiro);
  ASSERT_EQ(recordsOf(s, hanako), L"1 1 1 1 1 1 1 1");

  // A table that refuses the delete halfway through: the statements before it are undone too.
  s.app.db.createQuery()->execute(
      L"CREATE TRIGGER keep BEFORE DELETE ON log_id BEGIN SELECT RAISE(ABORT, 'kept'); END");
  EXPECT_FALSE(deleteUser(s.accessor(), hanako, s.app.memoryRates));
  EXPECT_EQ(recordsOf(s, hanako), L"1 1 1 1 1 1 1 1");
  EXPECT_FALSE(s.app.db.inTransaction());

  s.app.db.createQuery()->execute(L"DROP TRIGGER keep");
  EXPECT_TRUE(deleteUserByName(s.accessor(), L"jiro", s.app.memoryRates));
  EXPECT_EQ(recordsOf(s, jiro), L"0 0 0 0 0 0 0 0");
  EXPECT_EQ(recordsOf(s, hanako), L"1 1 1 1 1 1 1 1");
  // The next user takes the highest uid again and starts without a memory of its own.
  EXPECT_EQ(pdb3::insertUser(s.accessor(), L"saburo"), jiro);
  EXPECT_EQ(recordsOf(s, jiro), L"1 0 0 0 0 0 0 0");
}

// A file whose memory-rate table could never be made (an index or a view holds the name) has no
// rates to delete: the user goes, with every other record of theirs.
TEST(DeleteUser, AFileWithoutTheMemoryRateTableDeletesTheUserAndTheirOtherRecords) {
  for (const wchar_t* nameHolder :
       {L"CREATE INDEX memory_rate ON question (qid)", L"CREATE VIEW memory_rate AS SELECT qid FROM question"}) {
    StudyApp s;
    const int hanako = pdb3::insertUser(s.accessor(), L"hanako");
    seedRecords(s, hanako);
    s.reopenWithMemoryRateNameTaken(nameHolder);
    CUserManageDlg dialog(s.app);
    dialog.OnInitDialog();
    auto* list = dialog.findChild<QListWidget*>("id1138");
    select(list, "hanako");
    s.notifier.answer = platform::IdYes;
    dialog.OnDeleteUser();
    EXPECT_EQ(listed(list), QStringList{"tester"});
    EXPECT_EQ(s.notifier.boxes.size(), 1u) << "only the question whether to delete";
    EXPECT_TRUE(recordsOf(s, hanako).starts_with(L"0 0 0 0 0 0 0 ")) << platform::toUtf8(recordsOf(s, hanako));
    EXPECT_FALSE(s.app.db.inTransaction());
  }
}

TEST(UserManageDialog, AddsRenamesDeletesAndSwitchesByTheRules) {
  StudyApp s;
  CUserManageDlg dialog(s.app);
  dialog.OnInitDialog();
  auto* list = dialog.findChild<QListWidget*>("id1138");
  EXPECT_EQ(listed(list), QStringList{"tester"});
  EXPECT_EQ(list->currentItem()->text(), "tester");

  dialog.OnDeleteUser();
  typeAndConfirm(1023, "Tester");  // case alone makes another name
  dialog.OnAddUser();
  typeAndConfirm(1023, "tester");
  dialog.OnAddUser();
  dialog.OnDeleteUser();  // the current user
  select(list, "Tester");
  typeAndConfirm(1023, "tester");
  dialog.OnRenameUser();
  EXPECT_EQ(s.notifier.boxes,
            (std::vector<std::wstring>{L"Kelvara: 利用者が１人しかいないので、削除できません。まず最初に利用者を追加してください。",
                                       L"Kelvara: 既にその名前は存在します。", L"Kelvara: 現在の利用者は削除できません。",
                                       L"Kelvara: 既にその名前は存在します。"}));
  EXPECT_EQ(listed(list), (QStringList{"tester", "Tester"}));

  // Renaming the current user renames the setting at once; a quote is kept as typed.
  select(list, "tester");
  typeAndConfirm(1023, "ta'ro");
  dialog.OnRenameUser();
  EXPECT_EQ(listed(list), (QStringList{"ta'ro", "Tester"}));
  EXPECT_EQ(s.settings.userName.value, L"ta'ro");
  EXPECT_EQ(dialog.currentName(), L"ta'ro");
  EXPECT_EQ(pdb3::userIdByName(s.accessor(), L"ta'ro"), s.app.currentUserId);

  s.notifier.answer = platform::IdYes;
  select(list, "Tester");
  dialog.OnDeleteUser();
  EXPECT_EQ(listed(list), QStringList{"ta'ro"});
  EXPECT_EQ(pdb3::userIdByName(s.accessor(), L"Tester"), -1);
  EXPECT_EQ(s.notifier.boxes.back(),
            L"削除警告: 利用者 Tester を削除してもよろしいですか？\n\n＜注意＞Tester さんの履歴は全て削除されます。");

  // OK switches to the selected user, once confirmed, and saves the choice.
  list->clearSelection();
  dialog.accept();
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 利用者を選択してください。");
  typeAndConfirm(1023, "hanako");
  dialog.OnAddUser();
  select(list, "hanako");
  s.notifier.answer = platform::IdNo;
  dialog.accept();
  EXPECT_EQ(s.notifier.boxes.back(), L"変更確認: 利用者をhanakoに変更しますか？");
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  s.notifier.answer = platform::IdYes;
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  AppSettings reread(L"KLV7");
  reread.loadOrSaveGroup(false);
  EXPECT_EQ(reread.userName.value, L"hanako");

  // A switch the disk has no room for says that it is not kept.
  select(list, "ta'ro");
  const testenv::FileSizeLimit diskFull(16);
  dialog.accept();
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 設定を保存できませんでした。\nディスクの空き容量が足りません。");
}

// A list read while another program held the file is no empty list, and the list shown is never
// what decides whether a name is free: another program may have added it since.
TEST(UserManageDialog, AListThatCouldNotBeReadRefusesChangesAndNamesAreCheckedInTheDatabase) {
  StudyApp s;
  pdb3::insertUser(s.accessor(), L"hanako");
  const std::wstring users = L"SELECT count(*) FROM user_info";
  const int before = s.intValue(users);
  CUserManageDlg unread(s.app);
  {
    apptest::HeldDatabase held(s.databasePath());
    unread.OnInitDialog();
  }
  auto* unreadList = unread.findChild<QListWidget*>("id1138");
  EXPECT_EQ(unreadList->count(), 0);
  ASSERT_EQ(s.notifier.boxes.size(), 1u);
  EXPECT_EQ(s.notifier.boxes[0], L"Kelvara: 利用者の一覧を読み込めませんでした。\n" + apptest::kBusyCause);
  const std::wstring refused = L"Kelvara: 利用者の一覧を読み込めなかったので、利用者の追加や名称変更はできません。"
                               L"ダイアログを開き直してください。";
  unread.OnAddUser();  // no name is even asked for
  EXPECT_EQ(s.notifier.boxes.back(), refused);
  unreadList->addItem("tester");  // even with a row selected
  select(unreadList, "tester");
  unread.OnRenameUser();
  EXPECT_EQ(s.notifier.boxes.back(), refused);
  EXPECT_EQ(s.intValue(users), before);

  CUserManageDlg dialog(s.app);
  dialog.OnInitDialog();
  auto* list = dialog.findChild<QListWidget*>("id1138");
  ASSERT_EQ(listed(list), (QStringList{"tester", "hanako"}));
  // Another program adds jiro after the list was read.
  sqliteplus::SqliteConnection other;
  other.open(s.databasePath().c_str());
  other.createQuery()->execute(L"INSERT INTO user_info VALUES (NULL, 'jiro')");
  typeAndConfirm(1023, "jiro");
  dialog.OnAddUser();
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 既にその名前は存在します。");
  select(list, "hanako");
  typeAndConfirm(1023, "jiro");
  dialog.OnRenameUser();
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 既にその名前は存在します。");
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM user_info WHERE name='jiro'"), 1);
  EXPECT_GT(pdb3::userIdByName(s.accessor(), L"hanako"), 0) << "not renamed";
  EXPECT_EQ(listed(list), (QStringList{"tester", "hanako"}));

  // A name that is free is written, and the connection is left outside any transaction.
  typeAndConfirm(1023, "saburo");
  dialog.OnAddUser();
  EXPECT_EQ(listed(list), (QStringList{"tester", "hanako", "saburo"}));
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM user_info WHERE name='saburo'"), 1);
  EXPECT_FALSE(s.app.db.inTransaction());
}

// The ranking file is the program's, kept by name, while users belong to each database file: the
// account (id, password, unsent points) is copied to a new name that has none, and the old name's
// record stays for the other files, as a deleted user's does. A name that has an account keeps it,
// and the learner hears at the rename that it is the one used from now on. The file holds each
// change at once; a save that fails says so with its cause, and the dialog's end tries it again.
TEST(UserManageDialog, TheRankingAccountIsCopiedToANewNameAndOutlivesTheUser) {
  StudyApp s;
  pdb3::insertUser(s.accessor(), L"hanako");
  for (const auto& [name, id] : {std::pair(L"tester", L"t-id"), std::pair(L"hanako", L"h-id"), std::pair(L"jiro", L"j-id")}) {
    PointInfoRecord& record = s.app.pointInfo.recordAt(s.app.pointInfo.appendRecord(name));
    PointInfoRecord::copyText(record.rankingId, id);
    record.pendingTotal.p = 120;
  }
  // The ranking id the file keeps for the name.
  const auto savedId = [&s](const wchar_t* name) {
    PointInfoStore saved;
    if (!saved.load(s.settings.irankDatafilePath.value)) return std::wstring(L"<no file>");
    const int index = saved.findIndex(name);
    return index < 0 ? std::wstring(L"<none>") : PointInfoRecord::text(saved.recordAt(index).rankingId);
  };
  CUserManageDlg dialog(s.app);
  dialog.OnInitDialog();
  auto* list = dialog.findChild<QListWidget*>("id1138");

  select(list, "tester");
  typeAndConfirm(1023, "太郎");
  dialog.OnRenameUser();
  EXPECT_EQ(PointInfoRecord::text(s.app.CurrentUserPointInfo().rankingId), L"t-id");
  EXPECT_EQ(s.app.CurrentUserPointInfo().pendingTotal.p, 120);
  EXPECT_EQ(savedId(L"太郎"), L"t-id");
  EXPECT_EQ(savedId(L"tester"), L"t-id");
  EXPECT_EQ(s.app.pointInfo.findByUser(L"tester").pendingTotal.p, 120);

  s.notifier.answer = platform::IdYes;
  select(list, "hanako");
  dialog.OnDeleteUser();
  EXPECT_EQ(listed(list), QStringList{"太郎"});
  EXPECT_GE(s.app.pointInfo.findIndex(L"hanako"), 0);
  EXPECT_EQ(savedId(L"hanako"), L"h-id");
  EXPECT_EQ(s.app.pointInfo.size(), 4u);

  // Onto a name another file's learner has an account of: both records stay, and the learner is told.
  s.notifier.boxes.clear();
  select(list, "太郎");
  typeAndConfirm(1023, "jiro");
  dialog.OnRenameUser();
  EXPECT_EQ(s.notifier.boxes,
            std::vector<std::wstring>{L"Kelvara: 「jiro」にはランキングのアカウントが既にあるので、これからはそのアカウントを使います。"});
  EXPECT_EQ(s.settings.userName.value, L"jiro");
  EXPECT_EQ(PointInfoRecord::text(s.app.CurrentUserPointInfo().rankingId), L"j-id");
  EXPECT_EQ(std::pair(savedId(L"太郎"), savedId(L"jiro")), std::pair(std::wstring(L"t-id"), std::wstring(L"j-id")));

  // The ranking file's folder gone (its disk not mounted): the name changes all the same, the
  // learner hears that the file lacks the account, and once the folder is back the dialog's end
  // writes it.
  const std::wstring ranking = s.settings.irankDatafilePath.value;
  const QString folder = QString::fromStdWString(ranking) + ".later";
  s.settings.irankDatafilePath.value = folder.toStdWString() + L"/irank.dat";
  s.notifier.boxes.clear();
  select(list, "jiro");
  typeAndConfirm(1023, "次郎");
  dialog.OnRenameUser();
  EXPECT_EQ(listed(list), QStringList{"次郎"});
  EXPECT_EQ(s.notifier.boxes,
            std::vector<std::wstring>{L"Kelvara: ランキングデータを保存できませんでした。\n書き込み先のフォルダが見つかりません。"});
  EXPECT_EQ(savedId(L"次郎"), L"<no file>");
  ASSERT_TRUE(QDir().mkpath(folder));
  dialog.reject();
  EXPECT_EQ(savedId(L"次郎"), L"j-id");
  EXPECT_FALSE(s.app.pointInfo.lastSaveFailed());
}

TEST(FirstUserDialog, OffersTheUsersRefusesNoNameAndUnattendedTakesTheLoginName) {
  StudyApp s;
  pdb3::insertUser(s.accessor(), L"hanako");
  CUserSettingDlg dialog(*userNames(s.accessor()));
  dialog.OnInitDialog();
  auto* combo = dialog.findChild<QComboBox*>("id1132");
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1), "hanako");
  EXPECT_EQ(combo->currentText(), "tester");
  combo->setEditText("");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(s.notifier.boxes.size(), 1u);
  EXPECT_EQ(s.notifier.boxes[0].rfind(L"利用者名の書式エラー: 利用者名が記入されていません\n", 0), 0u);

  testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok"), login("USER", "learner");
  CUserSettingDlg first({});
  EXPECT_EQ(first.DoModal(), platform::IdOk);
  EXPECT_EQ(first.m_strName, L"learner");
}

// The user of the settings, looked up while another program holds the file, is not added a second
// time once the file is free again: a look-up that failed is no missing user.
TEST(SettingsUser, AUserThatCouldNotBeLookedUpIsNotAddedAgain) {
  StudyApp s;
  const std::wstring users = L"SELECT count(*) FROM user_info";
  const int before = s.intValue(users);
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(300));
  {
    testdb::BriefLock lock(s.databasePath(), std::chrono::milliseconds(450));
    EXPECT_FALSE(s.app.SelectSettingsUser());
  }
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  EXPECT_EQ(s.intValue(users), before);
  EXPECT_TRUE(s.app.SelectSettingsUser());
  EXPECT_EQ(s.intValue(users), before);
}
