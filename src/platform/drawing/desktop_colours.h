// The system colours as a desktop's palette gives them. A desktop theme hands the toolkit its
// palette; without one (no theme, as offscreen) the application's palette is the style's stock
// one, and the classic table goes on answering.
#pragma once

#include "platform/drawing/system_metrics.h"

#include <QMetaObject>

#include <array>
#include <functional>
#include <optional>

class QObject;
class QPalette;

namespace platform {

using SysColourTable = std::array<COLORREF, SysColorCount>;

// Each system colour the palette has a role for, taken from its active colours (the grey text
// from its disabled text); the others as `others` has them.
SysColourTable coloursFromPalette(const QPalette& palette, const SysColourTable& others);

// The application's palette when it is not the style's stock one; nullopt when it is, and
// without a widget application.
std::optional<QPalette> desktopPalette();

// Has `follow` run on every change of the application's palette, at once, while the palette is
// being set (a desktop that switches its scheme sets it), until `context` goes or the connection
// is broken. The toolkit's event for it reaches the application object and, later, the windows only.
QMetaObject::Connection whenPaletteChanges(QObject* context, std::function<void()> follow);

}  // namespace platform
