// What a person sees wrong in a window, told from its widget tree: controls that stick out of
// their parent or lie over a sibling, group boxes whose frames cross each other or what the
// window draws, texts that do not fit their control by the font's metrics, an "&" shown as it
// stands, read-only fields in the Tab chain and disabled text that cannot be told from what lies
// behind it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace apptest {

// One line per fault found among the visible controls below `root`, each naming the window, the
// control (object name, class and text) and what is wrong; empty when the window is whole.
QStringList windowLayoutProblems(QWidget* root);

// How many pixels its parent draws where the control lies (text or figures the control hides),
// other than the colour most of that area has.
int pixelsDrawnUnder(const QWidget* control);

// The text as the control shows it: mnemonic markers removed and "&&" shown as "&".
QString shownText(const QString& text);

}  // namespace apptest
