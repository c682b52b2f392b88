// The study library's own images: the result dialog's faces and the program's icon.
#pragma once

#include <QIcon>

namespace study {

// Registers the library's resources; safe to call any number of times.
void initStudyResources();

// The program's icon (icon 238). The study and print windows carry it, and the application sets
// it for every other window, so that a study started from the command line, with no main window,
// shows it too.
QIcon applicationIcon();

}  // namespace study
