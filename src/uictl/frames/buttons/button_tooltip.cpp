#include "uictl/frames/buttons/button_tooltip.h"

#include <QTextLayout>
#include <QToolTip>
#include <QWidget>

QString ButtonToolTip::shownText() const {
  const QString text = QString::fromStdWString(text_);
  if (maxWidth_ <= 0) return text;
  // Lines break where the text allows it (between words, or between any two Japanese
  // characters), as the tooltip control wraps at its maximum width.
  QStringList lines;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, QToolTip::font());
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(maxWidth_);
      lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (paragraph.isEmpty()) lines << QString();
  }
  return lines.join(QLatin1Char('\n'));
}

bool ButtonToolTip::show(QWidget* owner, const QPoint& globalPos) const {
  if (!active_ || text_.empty()) return false;
  QToolTip::showText(globalPos, shownText(), owner);
  return true;
}

void ButtonToolTip::pop() { QToolTip::hideText(); }
