// Running the shell's own dialogs modally, so that unattended runs can answer them as they answer
// message boxes.
#pragma once

class QDialog;

// The caption of the shell's message boxes.
inline constexpr wchar_t kAppCaption[] = L"Kelvara";

// Runs the dialog and gives platform::IdOk when it was accepted, else platform::IdCancel. With
// KELVARA_AUTOANSWER set the dialog is not shown (it is named on stderr as "dialog: <title>"):
// "cancel" or "no" cancels, any other answer presses its OK as it stands, which the dialog may
// still refuse.
int runModalDialog(QDialog& dialog);
