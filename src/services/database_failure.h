// One way for an action the database refused to tell the learner why: what failed, then the cause
// the engine gave (another program holds the file, the disk is full, the file cannot be written).
#pragma once

#include <string>

class QWidget;

// "<what>\n<why>", the cause as the engine last reported it on this thread.
std::wstring databaseFailureText(const std::wstring& what);
// "<what>", with the cause on a second line only when the engine noted a failure: for an action that
// may also fail outside the database.
std::wstring databaseFailureTextWhenKnown(const std::wstring& what);
// Shows that text in a box (caption "Kelvara").
void reportDatabaseFailure(QWidget* owner, const std::wstring& what);
// The database is held by another program right now (the last failure was a busy file).
bool databaseWasBusy();

// On the calling (GUI) thread: statements of one action share one bounded wait for a busy file, and
// an action ends whenever the event loop goes back to waiting for input.
void waitForBusyDatabaseOncePerAction();
