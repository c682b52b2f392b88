// Asking the user for another database file when the configured one cannot be opened.
#pragma once

#include <string>

class KlvApp;

// "The database could not be read", with the cause the engine gave for the open that just failed
// (another program holds it, it cannot be written, the disk is full) where it gave one.
std::wstring databaseOpenFailureText();

// Tells the user why the database could not be read and offers an open dialog at database-path.
// A chosen file becomes database-path and the settings are saved; false when cancelled.
bool ChooseDatabaseFile(KlvApp& app, const std::wstring& failure);

// After a failed open: asks for files until one opens on the application's connection; false
// when the user cancels. Unattended, the dialog answers alike each time, so a file that fails
// again ends the asking. `failure` is read right after the open, before any event is handled.
bool ChooseDatabaseUntilOpen(KlvApp& app, std::wstring failure = databaseOpenFailureText());
