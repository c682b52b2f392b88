// A desktop shortcut that starts a study of one problem set at once (the command line's autorun),
// written by the sibling library KlvLegacyLib.
#pragma once

#include <string>

class QWidget;

// Asks for the count and mode (the set has questionCount questions), then writes
// "KLV (<set path> <mode>).desktop" on the desktop, made when missing, and tells the user how it
// went. True when the shortcut was made.
bool MakeDesktopShortcut(QWidget* owner, const std::wstring& setPath, int questionCount);
