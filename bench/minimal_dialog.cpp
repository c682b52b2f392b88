// The bound of the program's start: a Qt Widgets program that shows one dialog and ends as soon
// as it is up, as the program's main window does when every box answers itself.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QDialog dialog;
  QLabel label("Kelvara", &dialog);
  dialog.resize(640, 480);
  dialog.show();
  QTimer::singleShot(0, &dialog, &QDialog::accept);
  return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
