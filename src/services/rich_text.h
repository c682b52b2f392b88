// Plain text of multi-line edit controls (QTextEdit or QPlainTextEdit) in UTF-16, with CR LF
// line ends as the program's stored texts have them. Nothing is cut to a buffer size.
#pragma once

#include <string>

class QWidget;

// False when the widget is no text edit.
bool SetRichEditText(QWidget* edit, const std::u16string& text);
std::u16string GetRichEditText(QWidget* edit);
bool SetRichEditTextString(QWidget* edit, const std::wstring& text);

// Moves text between a dialog's control "id<controlId>" and a string: saving reads the control.
void DDX_RichText(QWidget* dialog, bool saving, int controlId, std::wstring& text);
