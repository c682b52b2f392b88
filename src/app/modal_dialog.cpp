#include "app/modal_dialog.h"

#include <QDialog>
#include <cstdlib>
#include <strings.h>

#include "platform/notifier.h"
#include "platform/trace.h"

int runModalDialog(QDialog& dialog) {
  const char* answer = std::getenv("KELVARA_AUTOANSWER");
  if (!answer) return dialog.exec() == QDialog::Accepted ? platform::IdOk : platform::IdCancel;
  platform::traceError("dialog: %s\n", dialog.windowTitle().toUtf8().constData());
  if (strcasecmp(answer, "cancel") == 0 || strcasecmp(answer, "no") == 0) return platform::IdCancel;
  dialog.setResult(QDialog::Rejected);
  dialog.accept();
  return dialog.result() == QDialog::Accepted ? platform::IdOk : platform::IdCancel;
}
