// Starts the control library in a program that uses its frames: the bars' start-up, then the part
// the frames add to it. A stored toolbar state, a torn-off palette or stored view settings name
// classes of the frames before anything of this run has made one, so every one of them is known by
// name from start-up on, whether or not the program ever makes one; and the bars' button
// appearance command opens the frames' dialog.
#pragma once

#include "uictl/bars/library_globals.h"

class UxFramesLibrary {
 public:
  UxFramesLibrary();

 private:
  UxLibrary library_;
};
