// Handing the database over to the problem-set editor ("KlvEditor7" in the program folder): the
// editor runs while the program waits, then the settings and the database are read afresh.
#pragma once

class KlvApp;
class QWidget;

// window: the main window, minimised while the editor runs and titled for the wait (may be null).
// Without an editor program nothing happens. False when the database no longer opens afterwards
// and the user cancels the choice of another: the caller then closes.
bool RunEditor(KlvApp& app, QWidget* window);
