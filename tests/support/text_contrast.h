// How well each text of a window stands out from what lies under it, as a person on a given
// desktop sees it. The window is rendered as it would be shown; every text it draws, through a
// device context or through the toolkit's painter (labels, buttons, lists), is measured against
// the colour most of its area had just before it was drawn.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

class QImage;
class QWidget;

namespace apptest {

struct DrawnText {
  QString text;
  QColor colour;
  QColor ground;
  double contrast = 0;
};

// The texts `widget` and its visible children draw, in drawing order.
std::vector<DrawnText> textsDrawn(QWidget* widget);

// One line per text of `widget` that stands out from its ground by less than `least`, naming
// the text, both colours and the ratio; empty when every text can be read.
QStringList textsStandingOutLessThan(QWidget* widget, double least = 3.0);

// The ratio for text `text` drawn over `ground`, as textsDrawn gives it.
double contrastOf(const QColor& text, const QColor& ground);

// How far a mark (a list row's dot) drawn over `ground` stands out from it: the ratio of its pixel
// that stands out most, its partly covered edges blended with the ground as they are drawn.
double markContrast(const QImage& mark, const QColor& ground);

// A dark scheme as a desktop's theme hands it to the toolkit: faces of dark grey, light text.
QPalette darkDesktopPalette();

// The same dark scheme with a lighter list and edit ground (the desktop's Base), as a learner may
// pick it.
QPalette darkDesktopPalette(const QColor& base);

// A scheme of one grey: faces, grounds and the shades of the 3-D edges derived from it, with white
// text.
QPalette greyDesktopPalette(int grey);

// The dark scheme as the program's start-up look leaves it: the selection darkened until its text
// stands out from it as a desktop's pair should.
QPalette darkDesktopPaletteAsStartedUp();

// A light scheme of the same desktop: faces of near-white, dark text, a pale grey for disabled text.
QPalette lightDesktopPalette();

// Makes `palette` the application's palette, as a desktop theme does before the program's windows
// are made, and gives back the one before when it goes.
class ApplicationPaletteScope {
 public:
  explicit ApplicationPaletteScope(const QPalette& palette);
  ~ApplicationPaletteScope();
  ApplicationPaletteScope(const ApplicationPaletteScope&) = delete;
  ApplicationPaletteScope& operator=(const ApplicationPaletteScope&) = delete;

 private:
  QPalette previous_;
};

// One of the schemes a desktop switches through, named for the tests' messages.
struct NamedScheme {
  const char* name;
  QPalette palette;
};

// Makes each scheme the application's palette in turn, as a desktop that switches its scheme with
// the windows open, and runs `check` on each; the palette from before comes back at the end.
void forEachSchemeInTurn(std::initializer_list<NamedScheme> schemes,
                         const std::function<void(const char* name, const QPalette& palette)>& check);

}  // namespace apptest
