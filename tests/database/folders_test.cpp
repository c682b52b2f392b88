#include <gtest/gtest.h>

#include "database/engine/busy_wait.h"
#include "database/database_file.h"
#include "database/engine/engine_failure.h"
#include "database/folders/folders.h"
#include "database/logs/question_selection.h"
#include "database_fixture.h"
#include "recording_notifier.h"

using namespace pdb3;
using testdb::TempDatabase;
using testdb::thrownText;

namespace {

class Folders : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();

  int folder(int parent, const std::wstring& name) {
    const int eid = addFolderElement(getFolder(accessor, parent), name);
    EXPECT_GT(eid, 0);
    return eid;
  }
  int binder(int parent, const std::wstring& name) { return AddBinder(getFolder(accessor, parent), name).eid(); }
  std::wstring count(const wchar_t* table) { return db.value(std::wstring(L"SELECT count(*) FROM ") + table); }
};

}  // namespace

TEST_F(Folders, PathsLeadBothWays) {
  const int a = folder(0, L"A");
  const int b = folder(a, L"B's");
  const int c = binder(b, L"C 単語");
  EXPECT_EQ(findElementByPath(accessor, 0, L"A/B's/C 単語"), c);
  EXPECT_EQ(findElementByPath(accessor, a, L"B's/C 単語"), c);
  EXPECT_EQ(findElementByPath(accessor, 0, L"A//C 単語"), -1);
  EXPECT_EQ(FindFolderByPath(accessor, L"A/B's"), b);
  EXPECT_EQ(FindFolderByPath(accessor, L"A/B's/C 単語"), -1);
  EXPECT_EQ(FindProblemSetByPath(accessor, L"A/B's/C 単語"), c);
  EXPECT_EQ(FindProblemSetByPath(accessor, L"A/B's"), -1);

  std::wstring path = L"unchanged";
  EXPECT_TRUE(getElementPath(accessor, path, c));
  EXPECT_EQ(path, L"A/B's/C 単語");
  EXPECT_TRUE(getElementPath(accessor, path, 0));
  EXPECT_EQ(path, L"");
  db.run(L"DELETE FROM folder WHERE eid=" + std::to_wstring(a));
  path = L"unchanged";
  EXPECT_FALSE(getElementPath(accessor, path, c)) << "A has lost its parent row";
  EXPECT_EQ(path, L"unchanged");
  EXPECT_EQ(thrownText([&] { getFolder(accessor, 999); }), L"フォルダ 999 が取得できませんでした");
}

// A name may hold "/": the path built of it leads back to it, and a path that led to an element
// before leads to the same one still.
TEST_F(Folders, APathLeadsToANameThatHoldsASlash) {
  const int a = folder(0, L"A");
  const int yesNo = binder(a, L"はい/いいえ");
  const int yes = folder(a, L"はい");
  std::wstring path;
  ASSERT_TRUE(getElementPath(accessor, path, yesNo));
  EXPECT_EQ(path, L"A/はい/いいえ");
  EXPECT_EQ(FindProblemSetByPath(accessor, path), yesNo);
  EXPECT_EQ(findElementByPath(accessor, 0, L"A/はい"), yes);
  EXPECT_EQ(findElementByPath(accessor, 0, L"A/はい/"), -1);

  // Both fit: the split at the first "/" comes first, as paths were always read.
  const int no = binder(yes, L"いいえ");
  EXPECT_EQ(findElementByPath(accessor, 0, L"A/はい/いいえ"), no);
  // A folder whose name holds "/" leads on to what it holds.
  const int deep = binder(folder(a, L"x/y"), L"z");
  EXPECT_EQ(findElementByPath(accessor, 0, L"A/x/y/z"), deep);
  ASSERT_TRUE(getElementPath(accessor, path, deep));
  EXPECT_EQ(path, L"A/x/y/z");
}

TEST_F(Folders, UniqueNamesCountUpFromOne) {
  const auto unique = [&](int fid, const std::wstring& name) {
    std::wstring out;
    EXPECT_TRUE(uniqueElementName(accessor, fid, name, out));
    return out;
  };
  const int words = binder(0, L"Words");
  EXPECT_EQ(unique(0, L"Free"), L"Free");
  EXPECT_EQ(unique(0, L"Words"), L"Words (1)");
  binder(0, L"Words (1)");
  EXPECT_EQ(unique(0, L"Words"), L"Words (2)");
  EXPECT_EQ(unique(words, L"Words"), L"Words") << "names are unique per folder";
}

TEST_F(Folders, DeletingAFolderTakesItsTreeAndMembershipsButNotQuestions) {
  const int top = folder(0, L"top");
  const int sub = folder(top, L"sub");
  const int set1 = binder(top, L"set1");
  const int set2 = binder(sub, L"set2");
  const int other = binder(0, L"other");
  db.run(L"INSERT INTO question (qid, question, answer) VALUES (1, 'q', 'a'), (2, 'q', 'a')");
  for (int set : {set1, set2, other})
    db.run(L"INSERT INTO section VALUES (" + std::to_wstring(set) + L", 1), (" + std::to_wstring(set) + L", 2)");

  std::deque<int> below;
  ASSERT_TRUE(listDescendants(accessor, below, top));
  EXPECT_EQ(below, (std::deque<int>{sub, set2, set1}));

  ASSERT_TRUE(deleteElementTree(accessor, top));
  EXPECT_EQ(count(L"element_info"), L"1");
  EXPECT_EQ(count(L"folder"), L"1");
  EXPECT_EQ(db.value(L"SELECT group_concat(DISTINCT sid) FROM section"), std::to_wstring(other));
  EXPECT_EQ(count(L"question"), L"2");
}

TEST_F(Folders, LoopingFolderRowsFailInsteadOfRunningForever) {
  const int x = folder(0, L"X");
  const int y = folder(x, L"Y");
  binder(y, L"set");
  db.run(L"UPDATE folder SET fid=" + std::to_wstring(y) + L" WHERE eid=" + std::to_wstring(x));

  testing::internal::CaptureStderr();
  std::deque<int> below;
  EXPECT_FALSE(listDescendants(accessor, below, x));
  std::wstring path;
  EXPECT_FALSE(getElementPath(accessor, path, y));
  EXPECT_FALSE(deleteElementTree(accessor, x));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(count(L"element_info"), L"3") << "nothing of the loop was deleted";
}

TEST_F(Folders, SmartLearningBinderIsMadeOnceAndNotHiddenByASetOfTheSameName) {
  const int decoy = binder(0, L"SmartLearning");
  const int set = EnsureSmartLearningBinder(db.connection());
  ASSERT_GT(set, 0);
  EXPECT_NE(set, decoy);
  const int fid = parentFolderOf(accessor, set);
  EXPECT_EQ(elementType(accessor, fid), kFolderElement);
  EXPECT_EQ(elementName(accessor, fid), L"SmartLearning");
  EXPECT_EQ(elementName(accessor, set), L"1");
  EXPECT_EQ(parentFolderOf(accessor, fid), 0);

  EXPECT_EQ(EnsureSmartLearningBinder(db.connection()), set);
  EXPECT_EQ(count(L"element_info"), L"3");
}

// Under a BriefLock a read gives up and a write after it would not: what could not be looked up is
// not made again, a folder whose type was not read is not deleted as a set (its contents would lose
// their place), a pass that was not read is neither counted nor emptied, and a version check takes
// the file for neither foreign nor of another version: it leaves the busy file for its caller to name.
TEST_F(Folders, WhatCouldNotBeReadIsNeitherMadeAgainNorDeletedNorTakenForMissing) {
  const int set = EnsureSmartLearningBinder(db.connection());
  const int top = folder(0, L"top");
  binder(top, L"inner");
  db.run(L"INSERT INTO element_log VALUES (7, 0, 1, 0, 0, 2, '', ''); INSERT INTO looped_questions VALUES (7, 1)");
  const std::wstring before = L"SELECT (SELECT count(*) FROM element_info) || (SELECT count(*) FROM folder) || "
                              L"(SELECT nAccomplish FROM element_log) || (SELECT count(*) FROM looped_questions)";
  const std::wstring rows = db.value(before);
  RecordingNotifier recorder;
  platform::NotifierOverride useRecorder{recorder};
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(400));
  testing::internal::CaptureStderr();
  std::wstring name;
  for (int step = 0; step < 5; ++step) {
    testdb::BriefLock lock(db.path(), std::chrono::milliseconds(600));
    switch (step) {
      case 0: EXPECT_EQ(EnsureSmartLearningBinder(db.connection()), -1); break;
      case 1: EXPECT_FALSE(deleteElementTree(accessor, top)); break;
      case 2: EXPECT_FALSE(ResetRound(db.connection(), 7)); break;
      case 3:
        EXPECT_FALSE(CheckDatabaseVersion(db.connection()));
        EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::busy);
        break;
      case 4: EXPECT_FALSE(uniqueElementName(accessor, 0, L"top", name)); break;
    }
  }
  testing::internal::GetCapturedStderr();
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  EXPECT_EQ(db.value(before), rows);
  EXPECT_EQ(EnsureSmartLearningBinder(db.connection()), set);
  EXPECT_EQ(recorder.boxes, std::vector<std::wstring>{});
}

TEST_F(Folders, AFailedPlaceInTheTreeLeavesNoElementBehind) {
  const std::wstring before = count(L"element_info");
  db.run(L"CREATE TRIGGER refuse_place BEFORE INSERT ON folder BEGIN SELECT RAISE(ABORT, 'refused'); END");
  EXPECT_EQ(addFolderElement(getFolder(accessor, 0), L"Lost"), -1);
  EXPECT_EQ(thrownText([&] { AddBinder(getFolder(accessor, 0), L"Lost too"); }), L"バインダーの追加に失敗しました(2)");
  EXPECT_EQ(count(L"element_info"), before);
}
