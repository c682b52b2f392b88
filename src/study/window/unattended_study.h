// A study window with nobody in front of it (KELVARA_AUTOANSWER): every question is answered
// right through the controls of the window's mode, "ok" is pressed wherever the window waits,
// and the result dialog answers itself. With a "cancel" or "no" answer the window is cancelled.
#pragma once

#include <QObject>
#include <QTimer>

namespace study {

class CTransDlg;

class UnattendedStudy : public QObject {
  Q_OBJECT

 public:
  // Starts answering once the window shows; does nothing when KELVARA_AUTOANSWER is unset.
  explicit UnattendedStudy(CTransDlg& window);

 private:
  void step();
  void answer();
  void press(int id);

  CTransDlg& window_;
  bool accepting_ = true;
  QTimer ticker_;
};

}  // namespace study
