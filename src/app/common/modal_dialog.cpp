#include "app/common/modal_dialog.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/windows/modal_dialog.h"
#include "platform/windows/notifier.h"

int runModalDialog(QDialog& dialog) {
  return platform::execDialog(dialog) == QDialog::Accepted ? platform::IdOk : platform::IdCancel;
}

QPushButton* dialogButton(QDialog* dialog, int id, const wchar_t* text, const QRect& rect) {
  auto* button = dialogControl<QPushButton>(dialog, id, rect);
  button->setText(QString::fromWCharArray(text));
  if (id == platform::IdOk) {
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
  } else if (id == platform::IdCancel) {
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
  }
  return button;
}

void setUpDialog(QDialog* dialog, int templateId, const wchar_t* title, int width, int height) {
  dialog->setObjectName(QString("id%1").arg(templateId));
  dialog->setWindowTitle(QString::fromWCharArray(title));
  dialog->resize(width, height);
}

QLabel* dialogText(QWidget* dialog, const wchar_t* text, const QRect& rect) {
  auto* label = new QLabel(QString::fromWCharArray(text), dialog);
  label->setGeometry(rect);
  return label;
}
