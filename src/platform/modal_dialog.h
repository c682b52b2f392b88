// Running the program's own dialogs modally, so that a run without a user (KELVARA_AUTOANSWER)
// answers them as it answers message boxes.
#pragma once

class QDialog;

namespace platform {

// Runs the dialog modally; its result. With KELVARA_AUTOANSWER set it is not shown: "cancel" or
// "no" rejects it, any other answer accepts it through its own accept (which may refuse and leave
// the result rejected). The dialog and the answer are written to stderr as "dialog: <title>: ...".
int execDialog(QDialog& dialog);

}  // namespace platform
