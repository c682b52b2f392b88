#include "platform/notifier.h"

#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/trace.h"
#include "platform/text.h"

namespace platform {
namespace {

std::vector<int> buttonsOf(unsigned flags) {
  switch (flags & MbButtonsMask) {
    case MbOkCancel: return {IdOk, IdCancel};
    case MbAbortRetryIgnore: return {IdAbort, IdRetry, IdIgnore};
    case MbYesNoCancel: return {IdYes, IdNo, IdCancel};
    case MbYesNo: return {IdYes, IdNo};
    case MbRetryCancel: return {IdRetry, IdCancel};
    default: return {IdOk};
  }
}

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

// The line broken only after a space or a closing punctuation mark, filling each line in turn;
// empty when a piece between two such places is wider than the room.
QStringList linesAtPhrases(const QString& line, const QFontMetrics& metrics, int room) {
  static const QString phraseEnds = QString::fromUtf8(u8"。、，．）」』】！？ ");
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
  for (const QChar c : line) {
    phrase += c;
    if (phraseEnds.contains(c) && !place()) return {};
  }
  if (!place()) return {};
  if (!current.isEmpty()) lines << current.trimmed();
  return lines;
}

int widestOf(const QStringList& lines, const QFontMetrics& metrics) {
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// Each line wider than the room is broken into as few lines as at the full width, none less than
// half as wide as the widest, so that no line is left with a stray word or two. A break after a
// phrase is taken when it gives such lines; otherwise the widths are made even.
QString balancedLines(const QString& text, const QFont& font, int room) {
  const QFontMetrics metrics(font);
  QStringList out;
  for (const QString& line : text.split('\n')) {
    if (metrics.horizontalAdvance(line) <= room) {
      out << line;
      continue;
    }
    const QStringList even = evenLines(line, font, room);
    const QStringList phrases = linesAtPhrases(line, metrics, room);
    bool phrasesFit = !phrases.isEmpty() && phrases.size() == even.size();
    const int widest = widestOf(phrases, metrics);
    for (const QString& piece : phrases) phrasesFit = phrasesFit && metrics.horizontalAdvance(piece) * 2 >= widest;
    out << (phrasesFit ? phrases : even);
  }
  return out.join('\n');
}

// A message box whose long lines are broken evenly within the width the box takes.
class MessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);  // sizes the box: lines too long for it make the text wrap
    auto* label = findChild<QLabel*>("qt_msgbox_label");
    if (balanced_ || !label || !label->wordWrap() || label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text())))
      return;
    balanced_ = true;
    layout()->invalidate();
    layout()->activate();
    // Sizes the box again for the text broken by hand, which needs no wrapping.
    setText(balancedLines(text(), label->font(), label->contentsRect().width()));
  }

 private:
  bool balanced_ = false;
};

class QtNotifier : public Notifier {
 public:
  int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption,
                 unsigned flags) override {
    MessageBox box(owner);
    box.setWindowTitle(QString::fromStdWString(caption));
    box.setText(QString::fromStdWString(text));
    switch (flags & MbIconMask) {
      case MbIconError: box.setIcon(QMessageBox::Critical); break;
      case MbIconQuestion: box.setIcon(QMessageBox::Question); break;
      case MbIconWarning: box.setIcon(QMessageBox::Warning); break;
      case MbIconInformation: box.setIcon(QMessageBox::Information); break;
      default: break;
    }
    if (flags & (MbSystemModal | MbTopmost)) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const std::vector<int> ids = buttonsOf(flags);
    std::vector<QPushButton*> buttons;
    for (int id : ids) buttons.push_back(box.addButton(standardButton(id)));
    const size_t defaultIndex = (flags & MbDefButtonMask) >> 8;
    if (defaultIndex < buttons.size())
      box.setDefaultButton(buttons[defaultIndex]);
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
      if (box.clickedButton() == buttons[i]) return ids[i];
    // Closed by Escape or the window's close box: the answer a cancel would give.
    for (int id : ids)
      if (id == IdCancel) return IdCancel;
    return ids.size() == 1 ? ids.front() : IdNo;
  }

 private:
  static QMessageBox::StandardButton standardButton(int id) {
    switch (id) {
      case IdCancel: return QMessageBox::Cancel;
      case IdAbort: return QMessageBox::Abort;
      case IdRetry: return QMessageBox::Retry;
      case IdIgnore: return QMessageBox::Ignore;
      case IdYes: return QMessageBox::Yes;
      case IdNo: return QMessageBox::No;
      default: return QMessageBox::Ok;
    }
  }
};

QtNotifier gQtNotifier;
Notifier* gCurrent = &gQtNotifier;

}  // namespace

int automaticAnswer(unsigned flags, const char* requested) {
  static const struct { const char* name; int id; } kNames[] = {
      {"ok", IdOk}, {"cancel", IdCancel}, {"abort", IdAbort}, {"retry", IdRetry},
      {"ignore", IdIgnore}, {"yes", IdYes}, {"no", IdNo}};
  const std::vector<int> ids = buttonsOf(flags);
  if (requested) {
    for (const auto& name : kNames) {
      if (strcasecmp(requested, name.name) != 0) continue;
      for (int id : ids)
        if (id == name.id) return id;
    }
  }
  const size_t defaultIndex = (flags & MbDefButtonMask) >> 8;
  return ids[defaultIndex < ids.size() ? defaultIndex : 0];
}

int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) {
  traceError("msgbox: %s: %s\n", toUtf8(caption).c_str(), toUtf8(text).c_str());
  if (gCurrent == &gQtNotifier) {
    if (const char* requested = std::getenv("KELVARA_AUTOANSWER")) return automaticAnswer(flags, requested);
  }
  return gCurrent->messageBox(owner, text, caption, flags);
}

NotifierOverride::NotifierOverride(Notifier& replacement) : previous_(gCurrent) { gCurrent = &replacement; }

NotifierOverride::~NotifierOverride() { gCurrent = previous_; }

}  // namespace platform
