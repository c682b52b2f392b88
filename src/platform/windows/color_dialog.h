// The system colour chooser behind one interface, so that tests and unattended runs can answer it.
// With KELVARA_AUTOANSWER set no window is shown: "cancel" or "no" cancels, any other answer takes
// the initial colour. Each request is also written to stderr as "colordlg: <initial>".
#pragma once

#include "platform/drawing/gdi_types.h"

#include <optional>

class QWidget;

namespace platform {

class ColorDialogs {
 public:
  virtual ~ColorDialogs() = default;
  virtual std::optional<COLORREF> chooseColor(QWidget* owner, COLORREF initial) = 0;
};

// Nothing when the user cancels.
std::optional<COLORREF> chooseColor(QWidget* owner, COLORREF initial);

// Replaces the chooser until the guard goes.
class ColorDialogOverride {
 public:
  explicit ColorDialogOverride(ColorDialogs& replacement);
  ~ColorDialogOverride();
  ColorDialogOverride(const ColorDialogOverride&) = delete;
  ColorDialogOverride& operator=(const ColorDialogOverride&) = delete;

 private:
  ColorDialogs* previous_;
};

}  // namespace platform
