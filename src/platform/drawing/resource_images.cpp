#include "platform/drawing/resource_images.h"

#include <QBitmap>
#include <QColor>

namespace platform {

QPixmap loadResourceImage(const QString& path) {
  QPixmap pixmap(path);
  if (!pixmap.isNull()) pixmap.setMask(pixmap.createMaskFromColor(QColor(0, 255, 0), Qt::MaskInColor));
  return pixmap;
}

}  // namespace platform
