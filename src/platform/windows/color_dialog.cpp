#include "platform/windows/color_dialog.h"

#include <QColorDialog>

#include "platform/windows/modal_dialog.h"
#include "platform/trace.h"

namespace platform {
namespace {

class QtColorDialogs : public ColorDialogs {
 public:
  std::optional<COLORREF> chooseColor(QWidget* owner, COLORREF initial) override {
    QColorDialog dialog(QColor(redOf(initial), greenOf(initial), blueOf(initial)), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    return rgb(chosen.red(), chosen.green(), chosen.blue());
  }
};

QtColorDialogs gQtDialogs;
ColorDialogs* gCurrent = &gQtDialogs;

}  // namespace

std::optional<COLORREF> chooseColor(QWidget* owner, COLORREF initial) {
  traceError("colordlg: %06X\n", static_cast<unsigned>(initial & 0xFFFFFFu));
  if (gCurrent == &gQtDialogs) {
    if (const std::optional<bool> accept = automaticDialogAnswer())
      return *accept ? std::optional<COLORREF>(initial & 0xFFFFFFu) : std::nullopt;
  }
  return gCurrent->chooseColor(owner, initial);
}

ColorDialogOverride::ColorDialogOverride(ColorDialogs& replacement) : previous_(gCurrent) { gCurrent = &replacement; }
ColorDialogOverride::~ColorDialogOverride() { gCurrent = previous_; }

}  // namespace platform
