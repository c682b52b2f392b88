// The keyboard focus goes back to the window that opened a modal window once that closes, as the
// original platform gives it back to a dialog's owner. Qt leaves this to the window manager, whose
// fallback loses a race with a second window closing straight after the first (a box whose OK
// ends its dialog, as the export's "に出力しました" does): it hands the focus to the dialog as that
// goes too, and no window of ours has it until the learner clicks one.
#pragma once

namespace platform {

// Watches every modal window of the application from now on; calling it again changes nothing.
// A modal window that closes while it (or a window already closed) had the focus hands it to the
// modal window still open, else to the window that was active when it opened, else to its
// parent's window, passing over those that have closed meanwhile.
void returnFocusToOpeners();

}  // namespace platform
