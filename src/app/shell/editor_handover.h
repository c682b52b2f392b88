// Handing the database over to the problem-set editor ("KlvEditor7" in the program folder): the
// editor runs while the program waits, then the settings and the database are read afresh.
#pragma once

#include "app/shell/reopened.h"

class KlvApp;
class QWidget;

// The editor's file name in the program folder.
inline constexpr wchar_t kEditorProgram[] = L"KlvEditor7";

// window: the main window, minimised while the editor runs and titled for the wait (may be null).
// Without an editor program a box says where it belongs, and nothing else happens (the file open
// is kept). Afterwards the database of the settings is opened and taken up afresh: what
// KlvApp::ReopenDatabase came to.
Reopened RunEditor(KlvApp& app, QWidget* window);
