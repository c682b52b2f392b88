#include "platform/color_dialog.h"

#include <strings.h>

#include <QColorDialog>
#include <cstdlib>

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
  const char* answer = std::getenv("KELVARA_AUTOANSWER");
  if (gCurrent == &gQtDialogs && answer) {
    if (strcasecmp(answer, "cancel") == 0 || strcasecmp(answer, "no") == 0) return std::nullopt;
    return initial & 0xFFFFFFu;
  }
  return gCurrent->chooseColor(owner, initial);
}

ColorDialogOverride::ColorDialogOverride(ColorDialogs& replacement) : previous_(gCurrent) { gCurrent = &replacement; }
ColorDialogOverride::~ColorDialogOverride() { gCurrent = previous_; }

}  // namespace platform
