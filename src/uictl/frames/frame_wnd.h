// The library's single-document frame: a dock site whose menu is shown by a menu bar.
#pragma once

#include "uictl/frames/ux_frame_base.h"

class CUxFrameWnd : public UxFrameBase {
 public:
  explicit CUxFrameWnd(QWidget* parent = nullptr);

  // The frame's menu changes (a document became active); a shown menu bar keeps showing it.
  virtual void OnUpdateFrameMenu(platform::MenuHandle menu);
};
