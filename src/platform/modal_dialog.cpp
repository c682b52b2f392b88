#include "platform/modal_dialog.h"

#include <QDialog>
#include <cstdlib>
#include <strings.h>

#include "platform/trace.h"

namespace platform {

int execDialog(QDialog& dialog) {
  const char* answer = std::getenv("KELVARA_AUTOANSWER");
  if (!answer) return dialog.exec();
  const bool accept = strcasecmp(answer, "cancel") != 0 && strcasecmp(answer, "no") != 0;
  if (accept) {
    dialog.accept();
  } else {
    dialog.reject();
  }
  traceError("dialog: %s: %s\n", dialog.windowTitle().toUtf8().constData(),
             dialog.result() == QDialog::Accepted ? "ok" : "cancel");
  return dialog.result();
}

}  // namespace platform
