#include "platform/windows/modal_dialog.h"

#include <QDialog>
#include <QTimer>
#include <cstdlib>
#include <strings.h>

#include "platform/trace.h"
#include "platform/windows/window_stacking.h"

namespace platform {

std::optional<bool> automaticDialogAnswer() {
  const char* answer = std::getenv("KELVARA_AUTOANSWER");
  if (!answer) return std::nullopt;
  return strcasecmp(answer, "cancel") != 0 && strcasecmp(answer, "no") != 0;
}

void traceAutomaticAnswer(const QWidget& window, const std::string& answer) {
  traceError("dialog: %s: %s\n", window.windowTitle().toUtf8().constData(), answer.c_str());
}

int execDialog(QDialog& dialog) {
  stackWithOwner(dialog);
  const std::optional<bool> accept = automaticDialogAnswer();
  if (!accept) return dialog.exec();
  // Owned by this frame: a dialog that closes itself before the answer is due is not answered
  // later in some other loop.
  QTimer answer;
  answer.setSingleShot(true);
  QObject::connect(&answer, &QTimer::timeout, &dialog, [&dialog, accepting = *accept] {
    if (!dialog.isVisible()) return;
    if (accepting) dialog.accept();
    if (dialog.isVisible()) dialog.reject();
    if (dialog.isVisible()) dialog.done(QDialog::Rejected);
    traceAutomaticAnswer(dialog, dialog.result() == QDialog::Accepted ? "ok" : "cancel");
  });
  answer.start(0);
  return dialog.exec();
}

}  // namespace platform
