// Sees each line of text a device context is about to draw: what, where, in which colour, and
// the image it goes on as it stands just before (with an opaque background already filled), so
// that whoever watches can tell what lies under the text. Nothing watches in a normal run; the
// check that every text of a window can be read on any desktop does.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QRect>
#include <string>

class QImage;

namespace platform {

class DrawnTextObserver {
 public:
  virtual ~DrawnTextObserver() = default;
  // `area` is where the line goes on `target`, in its pixels, clipped as the drawing is. The
  // painting goes on once this returns: read `target` here, keep no copy.
  virtual void aboutToDraw(const std::wstring& text, const QRect& area, COLORREF colour, const QImage& target) = 0;
};

// The observer every device context tells, or null.
DrawnTextObserver* drawnTextObserver();

// Lets `observer` watch until the scope ends; scopes nest.
class DrawnTextWatch {
 public:
  explicit DrawnTextWatch(DrawnTextObserver& observer);
  ~DrawnTextWatch();
  DrawnTextWatch(const DrawnTextWatch&) = delete;
  DrawnTextWatch& operator=(const DrawnTextWatch&) = delete;

 private:
  DrawnTextObserver* previous_;
};

}  // namespace platform
