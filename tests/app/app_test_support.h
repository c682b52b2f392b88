// What the application tests share: answering a dialog as a user would, and small files.
#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace apptest {

// Once the next modal dialog a handler opens is up, the action fills its controls and presses
// its buttons.
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

// Right-clicks the bar's first title; the number of menus that opened (each closed again at once).
inline int contextMenusOverMenuBar(QMenuBar& bar) {
  int opened = 0;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&opened] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      ++opened;
      popup->close();
    }
  });
  poll.start();
  const QPoint at = bar.actionGeometry(bar.actions().at(0)).center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, bar.mapToGlobal(at));
  QApplication::sendEvent(&bar, &click);
  QApplication::processEvents();
  return opened;
}

// Types the text into the dialog's edit of that id and presses OK.
inline void typeAndConfirm(int editId, const QString& text) {
  whenDialogShows([editId, text](QDialog& dialog) {
    dialog.findChild<QLineEdit*>(QString("id%1").arg(editId))->setText(text);
    dialog.findChild<QPushButton*>("id1")->click();
  });
}

inline void writeText(const QString& path, const QByteArray& text, bool executable = false) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(text);
  file.close();
  if (executable) file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

inline QByteArray readText(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

}  // namespace apptest
