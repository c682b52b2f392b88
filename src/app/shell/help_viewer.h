// The help pages and the readme. Help topics keep their compiled-help form, "Klv.chm::/<page>":
// the page is help/<page> in the program folder, shown in one help window. While a modal window
// runs, the help window is its own (else it could take no input), on the work area and in front.
#pragma once

#include <string>

class QTextBrowser;

// Shows the topic in the help window (made on first use, not modal; Esc closes it) and brings it
// to the front. Null, after a box naming the file, when the page is missing.
QTextBrowser* ShowHelpTopic(const std::wstring& topic);
// The main window's help: the top page.
QTextBrowser* ShowHelp();

// Shows the program folder's Readme.txt in the help window; null, after a box naming the file,
// when it is missing.
QTextBrowser* ShowReadme();
