// Whom a device context tells of each line of text it is about to draw (gdi_text.cpp), declared
// apart so that the tests' check that every text of a window can be read on any desktop can watch
// the drawing. Nothing watches in the program, where a line costs one read of a pointer that
// belongs to the drawing thread and is shared with no other: a watch sees its own thread only.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QRect>
#include <string>

class QImage;

namespace platform::drawntext {

// Sees a line of text: what, where, in which colour, and the image it goes on as it stands just
// before (with an opaque background already filled), so that whoever watches can tell what lies
// under the text.
class DrawnTextObserver {
 public:
  virtual ~DrawnTextObserver() = default;
  // `area` is where the line goes on `target`, in its pixels, clipped as the drawing is. The
  // painting goes on once this returns: read `target` here, keep no copy.
  virtual void aboutToDraw(const std::wstring& text, const QRect& area, COLORREF colour, const QImage& target) = 0;
};

// The observer the device contexts of this thread tell, or null.
extern thread_local constinit DrawnTextObserver* observer;

}  // namespace platform::drawntext
