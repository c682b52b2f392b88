#include "platform/windows/message_text.h"

#include <QApplication>
#include <QFontDatabase>

#include <QFontMetrics>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>

namespace platform {

namespace {

// The lines the text takes at that width, as a label breaks them (a word longer than the width
// is broken too).
QStringList brokenLines(const QString& text, const QFont& font, int width) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    QString piece = text.mid(line.textStart(), line.textLength());
    while (piece.endsWith(' ')) piece.chop(1);
    lines << piece;
  }
  layout.endLayout();
  return lines;
}

// The line broken into as few lines as at the full room, but of even widths.
QStringList evenLines(const QString& line, const QFont& font, int room) {
  const qsizetype count = brokenLines(line, font, room).size();
  int narrow = 1, wide = room;  // the narrowest width that still takes `count` lines
  while (narrow < wide) {
    const int width = (narrow + wide) / 2;
    if (brokenLines(line, font, width).size() <= count) {
      wide = width;
    } else {
      narrow = width + 1;
    }
  }
  return brokenLines(line, font, wide);
}

const QString kPhraseEnds = QString::fromUtf8(u8"。、，．）」』】！？ ");
// The marks that end a sentence or a clause: text that holds one is a sentence, not a path.
const QString kSentenceStops = QString::fromUtf8(u8"。、，．！？");
// The marks that end a sentence: the best place of all for a line to end.
const QString kSentenceEnds = QString::fromUtf8(u8"。．！？");

bool isHiragana(QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x309F; }

// A letter of a katakana word, its long-vowel mark among them; not the dot that parts two words.
bool isKatakana(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x30A1 && u <= 0x30FA) || (u >= 0x30FC && u <= 0x30FE) || (u >= 0xFF66 && u <= 0xFF9F);
}

// What kana after it would be a particle of: a word of Latin letters or digits, one in brackets, or
// one written before a space.
bool endsAWordKanaAttachTo(QChar c) {
  return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == ' ' || QStringView(u"）」』】)]").contains(c);
}

// Whether the line may be broken after its character at `i` by what comes next: never inside a
// katakana word ("データベース"), and not before kana that is a particle or an ending of the word
// before it ("Kelvara のデータベース", "memory_rate を", "（SmartLearning/1）か").
bool nextAllowsABreak(const QString& line, qsizetype i) {
  if (i + 1 >= line.size()) return true;
  const QChar next = line[i + 1];
  return !(isKatakana(line[i]) && isKatakana(next)) && !(endsAWordKanaAttachTo(line[i]) && isHiragana(next));
}

// After which characters of the line it may be broken: the end of a phrase, and in a path (a run
// of text without spaces that holds "/" and no sentence's stop) a separator.
QList<bool> breaksAfter(const QString& line) {
  QList<bool> breaks(line.size());
  for (qsizetype i = 0; i < line.size(); ++i) breaks[i] = kPhraseEnds.contains(line[i]) && nextAllowsABreak(line, i);
  for (qsizetype start = 0; start < line.size();) {
    qsizetype end = line.indexOf(' ', start);
    if (end < 0) end = line.size();
    const QStringView run = QStringView(line).mid(start, end - start);
    const bool path = run.contains('/') && std::ranges::none_of(run, [](QChar c) { return kSentenceStops.contains(c); });
    for (qsizetype i = start; path && i < end; ++i) breaks[i] = breaks[i] || line[i] == '/';
    start = end + 1;
  }
  return breaks;
}

// After which characters the line ends a sentence.
QList<bool> sentenceEndsOf(const QString& line) {
  QList<bool> ends(line.size());
  for (qsizetype i = 0; i < line.size(); ++i) ends[i] = kSentenceEnds.contains(line[i]);
  return ends;
}

// Where a label may wrap the line (between two kanji or kana, at a space, after a hyphen), but
// for the places nextAllowsABreak refuses.
QList<bool> wrapsAfter(const QString& line) {
  QList<bool> breaks(line.size());
  QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line);
  for (qsizetype at = finder.toNextBoundary(); at > 0 && at < line.size(); at = finder.toNextBoundary())
    breaks[at - 1] = nextAllowsABreak(line, at - 1);
  return breaks;
}

bool breaksAtASeparator(const QString& line, const QList<bool>& breaks) {
  for (qsizetype i = 0; i < line.size(); ++i)
    if (line[i] == '/' && breaks[i]) return true;
  return false;
}

// The line broken only after the characters `breaks` marks, filling each line in turn; empty when a
// piece between two such places is wider than the room.
QStringList linesAtPhrases(const QString& line, const QFontMetrics& metrics, int room, const QList<bool>& breaks) {
  QStringList lines;
  QString current, phrase;
  const auto place = [&] {
    if (!current.isEmpty() && metrics.horizontalAdvance(current + phrase) > room) {
      lines << current.trimmed();
      current.clear();
    }
    current += phrase;
    phrase.clear();
    return metrics.horizontalAdvance(current.trimmed()) <= room;
  };
  for (qsizetype i = 0; i < line.size(); ++i) {
    phrase += line[i];
    if (breaks[i] && !place()) return {};
  }
  if (!place()) return {};
  if (!current.isEmpty()) lines << current.trimmed();
  return lines;
}

// The line broken only after the characters `breaks` marks into as few lines as at the full room,
// of widths as even as those places allow; empty when a piece between two of them is wider than
// the room.
QStringList evenLinesAtPhrases(const QString& line, const QFontMetrics& metrics, int room, const QList<bool>& breaks) {
  const qsizetype count = linesAtPhrases(line, metrics, room, breaks).size();
  if (count == 0) return {};
  int narrow = 1, wide = room;  // the narrowest width that still takes `count` lines
  while (narrow < wide) {
    const int width = (narrow + wide) / 2;
    const qsizetype lines = linesAtPhrases(line, metrics, width, breaks).size();
    if (lines > 0 && lines <= count) {
      wide = width;
    } else {
      narrow = width + 1;
    }
  }
  return linesAtPhrases(line, metrics, wide, breaks);
}

int widestOf(const QStringList& lines, const QFontMetrics& metrics) {
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

}  // namespace

QString balancedLines(const QString& text, const QFont& font, int room) {
  const QFontMetrics metrics(font);
  QStringList out;
  for (const QString& line : text.split('\n')) {
    if (metrics.horizontalAdvance(line) <= room) {
      out << line;
      continue;
    }
    // A path's names are words of their own: it is broken after its separators (or a space), never
    // inside a name, unless a name alone is wider than the room.
    const QList<bool> breaks = breaksAfter(line);
    if (breaksAtASeparator(line, breaks)) {
      const QStringList atSeparators = evenLinesAtPhrases(line, metrics, room, breaks);
      if (!atSeparators.isEmpty()) {
        out << atSeparators;
        continue;
      }
    }
    // Lines broken after a sentence's end, else after a phrase's, when they are as few as at the
    // full room and none is left with a stray word or two.
    const qsizetype fewest = brokenLines(line, font, room).size();
    const auto fit = [&](const QStringList& lines) {
      const int widest = widestOf(lines, metrics);
      const auto wideEnough = [&](const QString& piece) { return metrics.horizontalAdvance(piece) * 2 >= widest; };
      return !lines.isEmpty() && lines.size() == fewest && std::ranges::all_of(lines, wideEnough);
    };
    QStringList lines = linesAtPhrases(line, metrics, room, sentenceEndsOf(line));
    if (!fit(lines)) lines = linesAtPhrases(line, metrics, room, breaks);
    // Otherwise even widths, where a label would wrap but inside a word; anywhere only when a word
    // alone is wider than the room.
    if (!fit(lines)) lines = evenLinesAtPhrases(line, metrics, room, wrapsAfter(line));
    if (lines.isEmpty()) lines = evenLines(line, font, room);
    out << lines;
  }
  return out.join('\n');
}

int captionWidth(const QString& caption) {
  // The window manager draws the title in a face of its own: the platform's title font where the
  // desktop names one, else the font system's default, which is larger than the toolkit's own
  // title font (its inner windows'). The wider of the two is taken: a caption is never cut.
  int width = 0;
  for (QFont title : {QFontDatabase::systemFont(QFontDatabase::TitleFont), QApplication::font("QMdiSubWindowTitleBar")}) {
    title.setBold(true);
    const QFontMetrics metrics(title);
    const int barHeight = metrics.height() + 8;
    constexpr int kIconAndButtons = 4;
    constexpr int kEdges = 16;
    width = std::max(width, metrics.horizontalAdvance(caption) + kIconAndButtons * barHeight + kEdges);
  }
  return width;
}

}  // namespace platform
