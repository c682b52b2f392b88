#include "window_layout_check.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace apptest {
namespace {

// The nearest class of the toolkit's own a widget is made from.
QString toolkitClass(const QWidget* widget) {
  for (const QMetaObject* meta = widget->metaObject(); meta; meta = meta->superClass()) {
    const QString name = meta->className();
    if (name.startsWith('Q')) return name;
  }
  return {};
}

// Widgets whose children are controls laid out by us; the children of other controls are their
// own parts (a combo box's line edit, a scroll area's viewport) and the toolkit places them.
bool holdsControls(const QWidget* widget) {
  static const QStringList containers = {"QWidget", "QDialog", "QGroupBox", "QFrame", "QStackedWidget", "QTabWidget"};
  return containers.contains(toolkitClass(widget));
}

// Group boxes and bare frames are drawn around others, not beside them.
bool holdsOthersAside(const QWidget* widget) {
  const QString cls = toolkitClass(widget);
  return cls == "QGroupBox" || cls == "QFrame";
}

// What of the widget can be seen: a bare holder of controls draws nothing of its own, so only
// its controls count; a bare widget without controls is drawn by its owner and counts whole.
QRect seenArea(const QWidget* widget) {
  if (QString(widget->metaObject()->className()) != "QWidget" || widget->autoFillBackground())
    return widget->geometry();
  QRect area;
  for (QObject* child : widget->children()) {
    auto* control = qobject_cast<QWidget*>(child);
    if (control && !control->isWindow() && control->isVisibleTo(widget))
      area |= control->geometry().translated(widget->pos());
  }
  return area.isEmpty() ? widget->geometry() : area;
}

QString describe(const QWidget* widget) {
  QString text;
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) text = button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(widget)) text = box->title();
  QString out = QString("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
  if (!text.isEmpty()) out += " \"" + text.left(40) + "\"";
  return out;
}

QString rectText(const QRect& rect) {
  return QString("[%1,%2 %3x%4]").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

bool hasLiteralAmpersand(const QString& text) { return QString(text).remove("&&").contains('&'); }

// The room the control gives its text, and the text it draws there; an empty text: none.
struct TextRoom {
  QString text;
  QRect room;
};

TextRoom textRoom(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (label->wordWrap() || rich) return {};
    const QString text = label->buddy() ? shownText(label->text()) : label->text();
    const int margin = label->margin();
    return {text, label->contentsRect().adjusted(margin, margin, -margin, -margin)};
  }
  const auto* button = qobject_cast<const QAbstractButton*>(widget);
  if (!button || qobject_cast<const QToolButton*>(widget) || button->text().isEmpty()) return {};
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.icon = button->icon();
  option.iconSize = button->iconSize();
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(widget)) element = QStyle::SE_CheckBoxContents;
  if (qobject_cast<const QRadioButton*>(widget)) element = QStyle::SE_RadioButtonContents;
  QRect room = button->style()->subElementRect(element, &option, button);
  if (element == QStyle::SE_PushButtonContents && !button->icon().isNull())
    room.setLeft(room.left() + button->iconSize().width() + 4);
  return {shownText(button->text()), room};
}

QString fitProblem(const QWidget* widget) {
  const TextRoom room = textRoom(widget);
  if (room.text.isEmpty()) return {};
  const QFontMetrics metrics = widget->fontMetrics();
  const QStringList lines = room.text.split('\n');
  int width = 0;
  for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
  const int height = metrics.height() + (static_cast<int>(lines.size()) - 1) * metrics.lineSpacing();
  if (width <= room.room.width() && height <= room.room.height()) return {};
  return QString("text needs %1x%2 but has %3x%4").arg(width).arg(height).arg(room.room.width()).arg(room.room.height());
}

double luminance(const QColor& colour) {
  const auto channel = [](double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// The parent's own drawing (its children left out) where the control lies, in the parent's
// coordinates; `area` gets the part of the control inside the parent.
QImage drawingUnder(const QWidget* widget, QRect& area) {
  QWidget* parent = widget->parentWidget();
  area = widget->geometry().intersected(parent->rect());
  QImage image(parent->size(), QImage::Format_RGB32);
  image.fill(parent->palette().color(QPalette::Window));
  if (!area.isEmpty()) parent->render(&image, area.topLeft(), QRegion(area), QWidget::DrawWindowBackground);
  return image;
}

// What the parent draws where the control lies, the control left out: colour by colour, the
// number of pixels.
QHash<QRgb, int> colourCounts(const QImage& image, const QRect& area) {
  QHash<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
  return counts;
}

QHash<QRgb, int> drawnBehind(const QWidget* widget) {
  QRect area;
  const QImage image = drawingUnder(widget, area);
  return colourCounts(image, area);
}

QRgb mostDrawn(const QHash<QRgb, int>& counts) {
  QRgb most = 0;
  int best = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > best) {
      best = it.value();
      most = it.key();
    }
  }
  return most;
}

QColor backgroundBehind(const QWidget* widget) {
  const QHash<QRgb, int> counts = drawnBehind(widget);
  return counts.isEmpty() ? widget->palette().color(QPalette::Window) : QColor::fromRgb(mostDrawn(counts));
}

QString disabledTextProblem(const QWidget* widget) {
  if (widget->isEnabled() || textRoom(widget).text.isEmpty()) return {};
  const QColor text = widget->palette().color(QPalette::Disabled, widget->foregroundRole());
  const QColor back = qobject_cast<const QPushButton*>(widget)
                          ? widget->palette().color(QPalette::Disabled, QPalette::Button)
                          : backgroundBehind(widget);
  if (std::abs(luminance(text) - luminance(back)) >= 0.15) return {};
  return QString("disabled text %1 on %2").arg(text.name(), back.name());
}

// Pixels of its parent's own drawing (text, figures) that lie on the group's left, right or
// bottom edge, where its frame runs, other than the colour most of that edge has: the frame
// would cross them. The title's edge is left out.
int drawnAcrossFrame(const QWidget* group) {
  QRect area;
  const QImage image = drawingUnder(group, area);
  if (area.width() < 3 || area.height() < 3) return 0;
  QHash<QRgb, int> edge;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    ++edge[image.pixel(area.left(), y)];
    ++edge[image.pixel(area.right(), y)];
  }
  for (int x = area.left() + 1; x < area.right(); ++x) ++edge[image.pixel(x, area.bottom())];
  int total = 0;
  for (int count : edge) total += count;
  return total - edge.value(mostDrawn(edge));
}

bool readOnlyField(const QWidget* widget) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->isReadOnly();
  if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->isReadOnly();
  const auto* edit = qobject_cast<const QTextEdit*>(widget);
  return edit && !qobject_cast<const QTextBrowser*>(widget) && edit->isReadOnly();
}

void check(QWidget* container, const QString& window, QStringList& problems) {
  QList<QWidget*> shown;
  for (QObject* child : container->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget && !widget->isWindow() && widget->isVisibleTo(container)) shown << widget;
  }
  const auto report = [&](const QWidget* widget, const QString& what) {
    problems << QString("%1: %2 %3: %4").arg(window, describe(widget), rectText(widget->geometry()), what);
  };
  for (QWidget* widget : shown) {
    if (!container->rect().contains(widget->geometry()))
      report(widget, "outside its parent " + describe(container) + " " + rectText(container->rect()));
    if (const QString fit = fitProblem(widget); !fit.isEmpty()) report(widget, fit);
    if (const auto* label = qobject_cast<const QLabel*>(widget);
        label && !label->buddy() && label->textFormat() != Qt::RichText && hasLiteralAmpersand(label->text()))
      report(widget, "shows a literal &");
    if (const QString disabled = disabledTextProblem(widget); !disabled.isEmpty()) report(widget, disabled);
    if (readOnlyField(widget) && (widget->focusPolicy() & Qt::TabFocus)) report(widget, "read-only field takes a Tab stop");
    if (qobject_cast<const QGroupBox*>(widget) && drawnAcrossFrame(widget) > 0)
      report(widget, "its frame crosses what " + describe(container) + " draws");
    if (holdsControls(widget)) check(widget, window, problems);
  }
  for (int i = 0; i < shown.size(); ++i) {
    for (int j = i + 1; j < shown.size(); ++j) {
      // Two group boxes are apart or one holds the other; crossing frames cut through both titles.
      if (qobject_cast<const QGroupBox*>(shown[i]) && qobject_cast<const QGroupBox*>(shown[j])) {
        const QRect a = shown[i]->geometry(), b = shown[j]->geometry();
        if (a.intersects(b) && !a.contains(b) && !b.contains(a))
          report(shown[i], "crosses " + describe(shown[j]) + " " + rectText(b));
        continue;
      }
      if (holdsOthersAside(shown[i]) || holdsOthersAside(shown[j])) continue;
      if (seenArea(shown[i]).intersects(seenArea(shown[j])))
        report(shown[i], "overlaps " + describe(shown[j]) + " " + rectText(shown[j]->geometry()));
    }
  }
}

}  // namespace

int pixelsDrawnUnder(const QWidget* control) {
  const QHash<QRgb, int> counts = drawnBehind(control);
  int total = 0;
  for (int count : counts) total += count;
  return counts.isEmpty() ? 0 : total - counts.value(mostDrawn(counts));
}

QString shownText(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

QStringList windowLayoutProblems(QWidget* root) {
  QStringList problems;
  check(root, root->objectName(), problems);
  return problems;
}

}  // namespace apptest
