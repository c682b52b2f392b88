// Pictures drawn for the classic gray face (toolbar images) on another face: their black and gray
// ink, which would fade into a dark face, takes a shade that stands out from it as it did from the
// classic face. Coloured parts keep their colours, and on the classic face nothing changes.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QImage>

namespace platform {

// Which parts of a picture are ink to be shaded: its greys only (a toolbar image's coloured parts
// are colours it means), or every part (a mark whose colour must stand out as its shape does).
enum class InkParts { greys, all };

QImage inkStandingOutOn(const QImage& picture, COLORREF face, COLORREF classicFace, InkParts ink = InkParts::greys);

// The same on a system colour: the face as the desktop gives it now, against the classic table's.
QImage inkStandingOutOnSysColor(const QImage& picture, int sysColorIndex);

}  // namespace platform
