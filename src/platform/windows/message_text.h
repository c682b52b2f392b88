// Breaking the text of a message for a box of a given width.
#pragma once

#include <QFont>
#include <QString>

namespace platform {

// The text with each line wider than the room broken into as few lines as at the full width,
// none less than half as wide as the widest, so that no line is left with a stray word or two. A
// break after a sentence's end ("。") is taken when it gives such lines, else one after a phrase (a
// space or a closing punctuation mark); otherwise the widths are made even. A line is never broken
// inside a katakana word, nor at a space before kana (a particle of the word before it), unless
// one such word alone is wider than the room. A line that holds a path (a run of text without spaces that
// holds '/' and none of a sentence's stops, "、" "。" and the like: a sentence is no path) is broken
// only after the path's separators, a space or a phrase, as evenly as they allow, unless one name
// alone is wider than the room.
QString balancedLines(const QString& text, const QFont& font, int room);

// The width a window needs for its title bar to show the caption whole: the caption in the
// title's bold face (the platform's title font, or the toolkit's when that is wider), and room for
// the window's icon and three title buttons. The window system's own measures are unknown here:
// the buttons are taken as square as the bar is high.
int captionWidth(const QString& caption);

}  // namespace platform
