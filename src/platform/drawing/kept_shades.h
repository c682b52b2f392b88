// The readable shades a paint asks for again and again (a figure's colour on the face, the ink of
// a list's icon), kept while the system colour they are made for stays as it is: each one is a
// search through shades, and a page asks for about ten of them at every paint. A change of the
// desktop's scheme gives the system colour another value, and the shades are made anew for it.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QImage>

namespace platform {

// readableOnSysColor's shade.
COLORREF keptReadableOnSysColor(COLORREF colour, int sysColorIndex);

// inkStandingOutOnSysColor's picture, for a picture the caller keeps as it is (it is known again
// by its cache key).
QImage keptInkStandingOutOnSysColor(const QImage& picture, int sysColorIndex);

}  // namespace platform
