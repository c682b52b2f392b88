// Answers the next modal dialog a handler opens, the way a user would: once it is up, the action
// fills its controls and presses its buttons.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace apptest {

inline void whenDialogShows(std::function<void(QDialog&)> action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    action(*dialog);
  });
  timer->start();
}

// Types the text into the dialog's edit of that id and presses OK.
inline void typeAndConfirm(int editId, const QString& text) {
  whenDialogShows([editId, text](QDialog& dialog) {
    dialog.findChild<QLineEdit*>(QString("id%1").arg(editId))->setText(text);
    dialog.findChild<QPushButton*>("id1")->click();
  });
}

}  // namespace apptest
