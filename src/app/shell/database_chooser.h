// Asking the user for another database file when the configured one cannot be opened.
#pragma once

#include <functional>
#include <string>

#include "app/shell/klv_app.h"
#include "database/database_file.h"

// "The database could not be read", with why: what the file holds that this program refuses, or
// the cause the engine gave for the open that just failed (another program holds it, it cannot be
// written, the disk is full) where it gave one. A file that may not be read, or that is damaged, is
// named on a line of its own (`path`, when given), as a missing one is.
std::wstring databaseOpenFailureText(pdb3::FileRefusal refusal = pdb3::FileRefusal::none, const std::wstring& path = {});

// Opens a chosen file; false, with why in `failure`, when it does not open.
using DatabaseOpener = std::function<bool(const std::wstring& path, KlvApp::DatabaseOpenFailure* failure)>;

// After a failed open, `failure` saying why: tells the user so in one box and offers an open
// dialog, at database-path first and then at the file last tried, until a chosen file opens. One
// opened on the application's connection becomes database-path and the settings are saved; one
// opened through `open` (apart from the file in use) is left to the caller to store once it has
// taken that file's place. False when the user cancels, the settings as they were. Unattended,
// the dialog answers alike each time, so a file that fails again ends the asking. `failure` is
// read right after the open, before any event is handled.
bool ChooseDatabaseUntilOpen(KlvApp& app, std::wstring failure = databaseOpenFailureText(),
                             const DatabaseOpener& open = nullptr);
