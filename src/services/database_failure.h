// One way for an action the database refused to tell the learner why: what failed, then the cause
// the engine gave (another program holds the file, the disk is full, the file cannot be written).
// Whether it is said follows from what failed (services/user_action.h): a read the action needs is
// said when it is the action's first failure, a change the learner asked for that was not made is
// always said, and no text twice in one action.
#pragma once

#include <string>

#include "database/database_file.h"
#include "database/engine/engine_failure.h"

class QWidget;
namespace pdb3 {
struct StudyContext;
}

// The cause in words that say what to do about it.
const wchar_t* databaseFailureCause(sqliteplus::EngineFailure failure);
// The database file at `path` is not there (moved away or deleted): the cause, and the file on a line of its own.
std::wstring missingDatabaseText(const std::wstring& path);
// Another file has been put at the database's `path` since it was opened: what happened, what
// opens the new file, and the file on a line of its own.
std::wstring replacedDatabaseText(const std::wstring& path);
// Why a file the engine read was refused for what it holds ("" for none).
std::wstring fileRefusalText(pdb3::FileRefusal refusal);
// "<what>\n<why>", the cause as the engine last reported it on this thread.
std::wstring databaseFailureText(const std::wstring& what);
// "<what>", with the cause on a second line only when the engine noted a failure: for an action that
// may also fail outside the database.
std::wstring databaseFailureTextWhenKnown(const std::wstring& what);
// For a read the action needs that failed: shows that text in a box, unless the action has said a
// failure already.
void reportFailedRead(QWidget* owner, const std::wstring& what, const std::wstring& caption = L"Kelvara");
// The same through the study's notice box (the cause added when the engine noted one).
void notifyFailedRead(const pdb3::StudyContext& study, const std::wstring& what);
// For a change the learner asked for that was not made (a study's save, a delete, an add, one given
// up because what it needed could not be read): said even when the action has said a failure
// already, which did not tell this one, unless it said this very text.
void reportUnmadeChange(QWidget* owner, const std::wstring& what, const std::wstring& caption = L"Kelvara");
// The same for a text that names its cause itself (one that is no failure of the engine's, as a
// name already taken): said by the same rule, as it stands.
void reportUnmadeChangeAsSaid(QWidget* owner, const std::wstring& text, const std::wstring& caption = L"Kelvara");
void notifyUnmadeChange(const pdb3::StudyContext& study, const std::wstring& what);
// reportFailedRead or reportUnmadeChange, for a read shared by a look and a change: its caller says
// which the failure kept from happening.
using FailureReport = void (*)(QWidget* owner, const std::wstring& what, const std::wstring& caption);
// For a view that could not be read again and still shows what it showed (or nothing): said as an
// unmade change is, since an earlier message does not tell the learner that the view is not what
// is stored now.
void reportViewNotReread(QWidget* owner, const std::wstring& what, const std::wstring& caption = L"Kelvara");

// For a change the learner needs that was not made for a cause that may pass
// (sqliteplus::lastFailureMayPass): says it as reportUnmadeChange does and offers to try again. True
// on the learner's word: the try is then an action of its own, with its own wait for another program.
bool offerRetryOfUnmadeChange(QWidget* owner, const std::wstring& what, const std::wstring& caption = L"Kelvara");

// A failure's cause as the engine noted it, kept to be said in a later action (the one that failed
// may end first: the splash window has to go before a box is shown).
struct KeptFailureCause {
  sqliteplus::NotedFailure failure;
  // The cause noted on the calling thread now.
  static KeptFailureCause noted();
  // Notes it again on the calling thread, for the report functions to say.
  void noteAgain() const;
};

// What the smart-learning commands say while the set or the memory rates are missing.
extern const wchar_t kSmartLearningUnavailable[];
// Why smart learning is unavailable in a database an open left without memory rates: a current file
// without the table, or one whose upgrade could not add it (something else in the file has the
// table's name, or another lasting failure); "" while the table is present.
std::wstring missingMemoryRatesText(pdb3::MemoryRateTable table);
