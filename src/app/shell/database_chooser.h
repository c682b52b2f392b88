// Asking the user for another database file when the configured one cannot be opened.
#pragma once

class KlvApp;

// Tells the user the database could not be read and offers an open dialog at database-path. A
// chosen file becomes database-path and the settings are saved; false when cancelled.
bool ChooseDatabaseFile(KlvApp& app);

// After a failed open: asks for files until one opens on the application's connection; false
// when the user cancels. Unattended, the dialog answers alike each time, so a file that fails
// again ends the asking.
bool ChooseDatabaseUntilOpen(KlvApp& app);
