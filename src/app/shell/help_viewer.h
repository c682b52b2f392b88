// The help pages and the readme. Help topics keep their compiled-help form, "Klv.chm::/<page>":
// the page is help/<page> in the program folder, shown in one help window for the whole run.
#pragma once

#include <string>

class QTextBrowser;

// Shows the topic in the help window (made on first use, not modal) and brings it to the front.
// Null, after a box naming the file, when the page is missing.
QTextBrowser* ShowHelpTopic(const std::wstring& topic);
// The main window's help: the top page.
QTextBrowser* ShowHelp();

// Opens the program folder's Readme.txt with the desktop's handler; nothing is told when it fails.
bool OpenReadme();
