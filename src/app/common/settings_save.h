// Saving the settings where the user waits for it: a file that cannot be written (a full disk, a
// read-only folder) is said in a box, not only on standard error.
#pragma once

class AppSettings;
class QWidget;

// AppSettings::saveAll; false after the message when it could not be written.
bool saveSettingsOrSay(AppSettings& settings, QWidget* owner);
