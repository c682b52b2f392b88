#include "app/shell/app_study_host.h"

#include <QWidget>
#include <pwd.h>
#include <unistd.h>

#include "app/shell/about_dialog.h"
#include "app/shell/help_viewer.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "app/common/modal_dialog.h"
#include "app/export/question_preview_dialog.h"
#include "app/export/search_dialog.h"
#include "database/folders/folders.h"
#include "database/records/question.h"
#include "database/engine/sql_helpers.h"
#include "platform/windows/modal_dialog.h"
#include "platform/text.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/part_of_speech.h"
#include "study/judging/answer_remark.h"
#include "study/window/saved_question_binder.h"
#include "study/window/study_result_dialog.h"

using namespace study;

AppStudyHost::AppStudyHost(KlvApp& app, SoundQueue& sounds, bool commandLineStudy)
    : app_(app), sounds_(sounds), commandLineStudy_(commandLineStudy), speaker_(*app.settings, sounds, app.speechVoice) {
  sounds_.clear();
}

AppStudyHost::~AppStudyHost() = default;

pdb3::StudyContext AppStudyHost::studyContext() { return app_.studyContext(); }

bool AppStudyHost::canStudyInMode(int mode) {
  return CanStudyInMode(*app_.settings, app_.speechVoice, app_.notice, mode);
}

bool AppStudyHost::openOwnConnection() {
  if (!openConnectionBeside(ownDb_)) return false;
  ownAccessor_ = pdb3::openQuery(ownDb_);
  return true;
}

// The file the program has open, whatever the settings name: the history goes to that one.
bool AppStudyHost::openConnectionBeside(sqliteplus::SqliteConnection& connection) {
  return pdb3::openConnectionBeside(connection, app_.db);
}

pdb3::DbObject AppStudyHost::historyAccessor() { return pdb3::openQuery(app_.db); }

pdb3::DbObject AppStudyHost::questionAccessor() { return ownAccessor_ ? *ownAccessor_ : historyAccessor(); }

StudySettings AppStudyHost::settings() {
  const AppSettings& s = *app_.settings;
  StudySettings out;
  out.randomMistakeReply = s.randomMistakeReply.value;
  out.judge.ignoreCase = s.ignoreCase.value;
  out.judge.judgeByHeadReply = s.judgeByHeadReply.value;
  out.judge.judgeBySubReply = s.judgeBySubReply.value;
  out.judge.judgeSubCount = s.judgeSubCount.value;
  out.judge.multiJudgeCount = s.multiJudgeCount.value;
  out.judge.multiJudgeOkOnOverCount = s.multiJudgeOkOnOverCount.value;
  out.correctWaitMsec = s.correctWaitMsec.value;
  out.incorrectWaitMsec = s.incorrectWaitMsec.value;
  out.enterMistakeReplyLimit = s.enterMistakeReplyLimit.value;
  out.stopAfterAnswer = s.stopAfterAnswer.value;
  out.decideWithoutReturn = s.decideWithoutReturn.value;
  out.alwaysShowHint = s.alwaysShowHint.value;
  out.showAnswerOnMakeExamCard = s.showAnswerOnMakeExamCard.value;
  out.useSelectionStrReturn = s.useSelectionStrReturn.value;
  out.useReplyStartLimitJe = s.useReplyStartLimitJe.value;
  out.replyStartLimitCountJe = s.replyStartLimitCountJe.value;
  out.useReplyLimitEj = s.useReplyLimitEj.value;
  out.replyLimitEj = s.replyLimitEj.value;
  out.useReplyLimitEj4 = s.useReplyLimitEj4.value;
  out.replyLimitEj4 = s.replyLimitEj4.value;
  out.useReplyLimitJe4 = s.useReplyLimitJe4.value;
  out.replyLimitJe4 = s.replyLimitJe4.value;
  out.useShowLimitEj4 = s.useShowLimitEj4.value;
  out.showLimitEj4 = s.showLimitEj4.value;
  out.useShowLimitJe4 = s.useShowLimitJe4.value;
  out.showLimitJe4 = s.showLimitJe4.value;
  out.alwaysOnTop = s.alwaysOnTop.value;
  out.keepLastReplyWindowPos = s.keepLastReplyWindowPos.value;
  out.replyWindowX = s.replyWindowX.value;
  out.replyWindowY = s.replyWindowY.value;
  out.skinPath = s.skin7Path.value;
  out.skinUserFilePath = s.skinUserfilePath.value;
  out.userName = s.userName.value;
  out.backgroundColor = static_cast<uint32_t>(s.backgroundColor);
  out.useOsDefaultBackgroundColor = s.useOsDefaultBackgroundColor.value;
  out.showPronounce = s.showPronounce.value;
  out.showPronounceByImage = s.showPronounceByImage.value;
  out.useClipboardCopyOnPronounce = s.useClipboardCopyOnPronounce.value;
  out.voiceOn = s.useVoice.value || s.useAgentVoice.value || s.useWavVoice.value;
  out.pronunciationImagePath = s.kpdImagefilePath.value;
  out.ipaMapPath = s.cmu2ipaFilePath.value;
  return out;
}

StudyQuestion AppStudyHost::question(int qid) {
  const pdb3::Question q = pdb3::getQuestion(questionAccessor(), qid);
  StudyQuestion out;
  if (!pdb3::loadAllColumns(q)) {
    out.unreadable = true;
    return out;
  }
  for (const std::wstring& text : q.questionTexts()) {
    out.questions.push_back(expandPartOfSpeech(text));
    std::wstring plain = text;
    StripPartOfSpeechCodes(plain);
    out.questionsPlain.push_back(std::move(plain));
  }
  out.answers = q.answerTexts();
  out.hints = q.hintTexts();
  out.pronunciations = q.pronounceTexts();
  out.voiceFile = q.wavFileName();
  return out;
}

std::vector<int> AppStudyHost::choiceCandidates(int qid) {
  std::vector<int> ids;
  // The smart-learning list is left out by its path: its id is -1 after a look-up that met a lock.
  pdb3::querySqlfIntList(questionAccessor(), ids,
                         L"SELECT qid FROM question WHERE qid IN (SELECT distinct qid FROM section WHERE sid IN  "
                         L"(SELECT sid FROM section WHERE qid = %d AND sid NOT IN (%ls))  AND qid != %d) AND answer != ''",
                         qid, pdb3::smartLearningSetSql().c_str(), qid);
  return ids;
}

void AppStudyHost::playJudgementSound(bool correct) {
  const AppSettings& s = *app_.settings;
  const auto volume = static_cast<uint32_t>(std::max(s.soundVolume.value, 0));
  sounds_.enqueue(correct ? s.correctSound.value : s.incorrectSound.value, volume, volume);
}

void AppStudyHost::speak(const std::wstring& voiceFile, const std::wstring& text) {
  const AppSettings& s = *app_.settings;
  if (!s.useVoice.value && !s.useWavVoice.value && !s.useAgentVoice.value) return;
  speaker_.SpeakWord(voiceFile, text, false);
}

std::wstring AppStudyHost::silenceReason() { return SpeechSilenceReason(*app_.settings, app_.speechVoice); }

std::vector<uint8_t> AppStudyHost::pronunciationCodes(const std::wstring& text) {
  study::PhonemeCodes codes;
  if (!app_.pronouncingDictionary.LookupPhrase(text, codes)) codes.clear();
  return codes;
}

std::wstring AppStudyHost::answerRemark(const std::wstring& reply, const std::vector<int>& studyIds) {
  return FindQuestionsByAnswer(questionAccessor(), reply, studyIds);
}

namespace {

// The name the user logged in with, as the program's saved sets record their writer.
std::wstring loginName() {
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return platform::fromUtf8(entry->pw_name);
  const char* name = std::getenv("USER");
  return name ? platform::fromUtf8(name) : std::wstring();
}

}  // namespace

void AppStudyHost::openSearch(QWidget& window, const std::wstring& word) {
  CSearchDlg search(app_, word, &window);
  runModalDialog(search);
}

void AppStudyHost::openQuestionList(QWidget& window, const std::vector<int>& ids, const std::wstring& title) {
  QuestionPreviewDlg list(app_, std::deque<int>(ids.begin(), ids.end()), title, &window);
  list.DoModal();
}

std::wstring AppStudyHost::saveQuestionToBinder(int qid) {
  return SaveQuestionToBinder(historyAccessor(), qid, loginName());
}

void AppStudyHost::prepareWindow(QWidget& window) {
  app_.ApplyWindowOpacity(&window, app_.LoadLayeredWindowApi());
  if (app_.settings->useAgentVoice.value) speaker_.attachAgent(static_cast<uint64_t>(window.winId()));
}

void AppStudyHost::showHelp() { ShowHelp(); }

void AppStudyHost::showAbout(QWidget& window) {
  CAboutDlg about(&window);
  about.DoModal();
}

void AppStudyHost::setSkinPath(const std::wstring& path) {
  app_.settings->skin7Path.value = path;
  app_.settings->saveAll();
}

void AppStudyHost::storeWindowPosition(int x, int y) {
  app_.settings->replyWindowX.value = x;
  app_.settings->replyWindowY.value = y;
}

void AppStudyHost::showResult(QWidget& window, const StudyOutcome& outcome) {
  // The window may add the study to the list: one not had for a cause that passes is asked for
  // again, now, and once more at the window's OK, which says why when it still cannot be had.
  app_.EnsureSmartLearningSet();
  SmartLearningList list{app_.smartLearningSetId, app_.smartLearningUnavailable(), [this](QWidget& owner) {
                           app_.EnsureSmartLearningSet(&owner, reportUnmadeChange);
                           return app_.smartLearningSetId;
                         }};
  CStudyResultDlg dialog(*app_.settings, app_.currentUserId, std::move(list), app_.memoryRates, outcome, &window);
  dialog.setStartedFromSmartLearningPage(app_.mainDialog && app_.mainDialog->currentPage() == kSmartLearningPage);
  platform::execDialog(dialog);
}

bool AppStudyHost::saveHistory(pdb3::DailyLogRecord& record, int points) {
  return app_.SaveStudyInTransaction(record, points);
}

void AppStudyHost::noteDataUnusable() {
  if (commandLineStudy_) app_.recordFailure(ExitDataUnusable);
}
