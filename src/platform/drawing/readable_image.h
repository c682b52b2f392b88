// Pictures drawn for the classic gray face (toolbar images) on another face: their black and gray
// ink, which would fade into a dark face, takes a shade that stands out from it as it did from the
// classic face. Coloured parts keep their colours, and on the classic face nothing changes.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QImage>

namespace platform {

QImage inkStandingOutOn(const QImage& picture, COLORREF face, COLORREF classicFace);

// The same on a system colour: the face as the desktop gives it now, against the classic table's.
QImage inkStandingOutOnSysColor(const QImage& picture, int sysColorIndex);

}  // namespace platform
