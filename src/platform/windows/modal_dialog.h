// Running the program's own windows modally, so that a run without a user (KELVARA_AUTOANSWER)
// answers them as it answers message boxes.
#pragma once

#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace platform {

// Without KELVARA_AUTOANSWER: nothing, a user answers. Else whether the automatic answer accepts:
// "cancel" and "no" do not, any other answer does.
std::optional<bool> automaticDialogAnswer();
// Says on stderr how a window answered itself: "dialog: <title>: <answer>".
void traceAutomaticAnswer(const QWidget& window, const std::string& answer);

// Runs the dialog modally, kept on top when its owner is (stackWithOwner); its result. With
// KELVARA_AUTOANSWER set it answers itself once shown: accepting goes through its own accept, and
// a dialog that refuses that (or a "cancel" or "no" answer) is rejected through its own reject,
// else closed as cancelled. The answer is traced.
int execDialog(QDialog& dialog);

}  // namespace platform
