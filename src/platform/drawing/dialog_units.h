// Dialog units: positions and distances of dialog layouts measured in the dialog font, so that
// they grow with it. Across, a unit is a quarter of the font's average character width; down, an
// eighth of its height.
#pragma once

#include <QFont>

namespace platform {

struct DialogBaseUnits {
  int x = 0;  // average character width, in pixels
  int y = 0;  // character height, in pixels
};

DialogBaseUnits dialogBaseUnits(const QFont& font);
// Horizontal dialog units in pixels of that font, rounded to the nearest.
int dialogUnitsAcross(int units, const QFont& font);

// The dialog face of the Japanese desktop at the size of `base`: one face for the Japanese and
// the Latin of a text alike, so that no line mixes the faces of a fallback.
QFont japaneseDialogFont(const QFont& base);

}  // namespace platform
