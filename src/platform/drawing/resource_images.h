// Images the program ships as resources: pixel art whose pure green (0x00FF00) is the clear colour.
#pragma once

#include <QPixmap>
#include <QString>

namespace platform {

// The resource image at the path with its green pixels clear; a null pixmap when there is none.
QPixmap loadResourceImage(const QString& path);

}  // namespace platform
