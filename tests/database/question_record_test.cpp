#include <gtest/gtest.h>

#include "database/records/element_record.h"
#include "database/records/question.h"
#include "database/records/question_sound.h"
#include "database/engine/sql_helpers.h"
#include "database_fixture.h"
#include "platform/clock.h"

using namespace pdb3;
using testdb::TempDatabase;

namespace {

class QuestionRecord : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();
  void SetUp() override {
    db.run(L"INSERT INTO question VALUES (1, '教室', 'a' || char(13,10) || 'b' || char(13,10), 'c で始まる', '',"
           L" 'classroom.wav', '', 0, 100, 200, '', '', '', '', '')");
  }
};

}  // namespace

TEST_F(QuestionRecord, ColumnsAreReadOnFirstUseOnlyAndSplitAtLineBreaks) {
  Question q = getQuestion(accessor, 1);
  db.run(L"UPDATE question SET question='黒板' WHERE qid=1");  // not read yet: the record sees it
  EXPECT_EQ(q.questionTexts(), TextList{L"黒板"});
  db.run(L"UPDATE question SET question='机' WHERE qid=1");  // read already: the record keeps its value
  EXPECT_EQ(q.questionText(0), L"黒板");

  EXPECT_EQ(q.answerTexts(), (TextList{L"a", L"b", L""}));
  EXPECT_EQ(q.answerText(1), L"b");
  EXPECT_EQ(q.answerText(5), L"");
  EXPECT_EQ(q.answerText(-1), L"");
  EXPECT_EQ(q.wavFileName(), L"classroom.wav");
  EXPECT_EQ(q.ctime(), 100);
  EXPECT_TRUE(q.descriptionTexts().empty());

  Question copy = q;  // loaded values travel with the copy
  db.run(L"UPDATE question SET hint='' WHERE qid=1");
  EXPECT_EQ(copy.questionText(0), L"黒板");
  EXPECT_TRUE(copy.hintTexts().empty());  // was not loaded before the copy
}

TEST_F(QuestionRecord, MissingRowReadsEmptyAndSavesNothing) {
  Question q = getQuestion(accessor, 99);
  EXPECT_TRUE(q.isEmpty());
  EXPECT_EQ(q.mode(), 0);
  EXPECT_TRUE(saveQuestion(q));
  EXPECT_EQ(db.value(L"SELECT count(*) FROM question"), L"1");
}

TEST_F(QuestionRecord, TextsWithQuotesAndLinesSaveAndLoadBackUnchanged) {
  Question q = getQuestion(accessor, 1);
  q.setQuestionTexts({L"it's 「先生」", L""});
  q.setAnswerTexts({L"teacher's", L"O''Neil"});
  q.setPronounceTexts({L"ˈtiːtʃər"});
  q.setMode(3);
  ASSERT_TRUE(saveQuestion(q));

  const Question fresh = getQuestion(db.accessor(), 1);
  EXPECT_EQ(fresh.questionTexts(), (TextList{L"it's 「先生」", L""}));
  EXPECT_EQ(fresh.answerTexts(), (TextList{L"teacher's", L"O''Neil"}));
  EXPECT_EQ(fresh.pronounceTexts(), TextList{L"ˈtiːtʃər"});
  EXPECT_EQ(fresh.hintTexts(), TextList{L"c で始まる"});  // never touched, written back as it was
  EXPECT_EQ(fresh.wavFileName(), L"classroom.wav");
  EXPECT_EQ(fresh.mode(), 3);
  EXPECT_EQ(fresh.utime(), 200);
  EXPECT_EQ(db.value(L"SELECT typeof(mode) FROM question"), L"integer");
}

TEST_F(QuestionRecord, FieldThatFailedToLoadIsNeverWrittenBack) {
  Question q = getQuestion(accessor, 1);
  EXPECT_EQ(q.answerText(0), L"a");
  db.connection().close();
  EXPECT_TRUE(q.questionTexts().empty());  // the read failed: an empty stand-in
  db.connection().open(db.path().c_str());

  testing::internal::CaptureStderr();
  EXPECT_FALSE(saveQuestion(q));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("column question of question 1"), std::string::npos);
  EXPECT_FALSE(q.saveColumn(QuestionColumn::question));
  EXPECT_EQ(db.value(L"SELECT question FROM question WHERE qid=1"), L"教室");

  q.setQuestionTexts({L"新しい問題"});  // a value of the user's own may be saved again
  EXPECT_TRUE(saveQuestion(q));
  EXPECT_EQ(db.value(L"SELECT question FROM question WHERE qid=1"), L"新しい問題");
}

TEST_F(QuestionRecord, SingleColumnSavesAndNullNumbers) {
  db.run(L"UPDATE question SET ctime=NULL WHERE qid=1");
  Question q = getQuestion(accessor, 1);
  EXPECT_TRUE(q.saveColumn(QuestionColumn::hint));  // never read: nothing to write
  q.setHintTexts({L"ヒント'1", L"2"});
  EXPECT_TRUE(q.saveColumn(QuestionColumn::hint));
  EXPECT_EQ(db.value(L"SELECT hint FROM question WHERE qid=1"), L"ヒント'1\r\n2");
  EXPECT_EQ(db.value(L"SELECT answer FROM question WHERE qid=1"), L"a\r\nb\r\n");

  EXPECT_EQ(q.ctime(), 0);  // a NULL reads as 0 and does not stop the save
  EXPECT_TRUE(saveQuestion(q));
  EXPECT_EQ(db.value(L"SELECT ctime FROM question WHERE qid=1"), L"0");
}

TEST_F(QuestionRecord, TouchStampsChangeAndMissingCreationTime) {
  platform::ClockOverride clock([] { return int64_t{1700000000}; });
  Question q = getQuestion(accessor, 1);
  q.touch();
  EXPECT_EQ(q.ctime(), 100);
  EXPECT_EQ(q.utime(), 1700000000);
  Question fresh = getQuestion(accessor, 99);
  fresh.touch();
  EXPECT_EQ(fresh.ctime(), 1700000000);
}

TEST_F(QuestionRecord, ElementInfoColumnsLoadAndSave) {
  db.run(L"INSERT INTO element_info VALUES (5, 2, 'set', 'me', '', 'd', 10, 20, '', '')");
  ElementRecord element = getElementRecord(accessor, 5);
  EXPECT_EQ(element.info().author(), L"me");
  EXPECT_EQ(element.info().utime(), 20);
  element.info().setWriter(L"various authors' team");
  element.info().setCtime(11);
  EXPECT_TRUE(element.info().saveColumn(ElementInfoColumn::writer));
  EXPECT_TRUE(element.info().saveColumn(ElementInfoColumn::ctime));
  const ElementInfoRecord fresh = getElementInfoRecord(db.accessor(), 5);
  EXPECT_EQ(fresh.writer(), L"various authors' team");
  EXPECT_EQ(fresh.ctime(), 11);
  EXPECT_EQ(fresh.description(), L"d");
}

TEST_F(QuestionRecord, SoundGoesToTheOutputOnlyWhenTheQuestionHasOne) {
  struct Recorder : QuestionSoundOutput {
    std::wstring calls;
    bool playNow(const std::wstring& path, unsigned l, unsigned r) override {
      calls += L"now " + path + L" " + std::to_wstring(l) + L"/" + std::to_wstring(r) + L";";
      return true;
    }
    bool enqueue(const std::wstring& path, unsigned, unsigned) override {
      calls += L"queue " + path + L";";
      return false;
    }
  } output;
  EXPECT_TRUE(playQuestionSound(getQuestion(accessor, 1), L"/sounds", output, true));
  EXPECT_FALSE(playQuestionSound(getQuestion(accessor, 1), L"/sounds", output, false));
  EXPECT_FALSE(playQuestionSound(getQuestion(accessor, 99), L"/sounds", output, true));
  EXPECT_EQ(output.calls, L"now /sounds/classroom.wav 100/100;queue /sounds/classroom.wav;");

  // A name the problem-set editor wrote with a subfolder: the same file a study's voice plays.
  ASSERT_TRUE(execSql(accessor, L"UPDATE question SET wavfilename='sub\\x.wav' WHERE qid=1"));
  output.calls.clear();
  EXPECT_TRUE(playQuestionSound(getQuestion(accessor, 1), L"/sounds/", output, true));
  EXPECT_EQ(output.calls, L"now /sounds/sub/x.wav 100/100;");
  EXPECT_EQ(soundFilePath(L"/voices", L"a\\b\\c.wav"), L"/voices/a/b/c.wav");
}
