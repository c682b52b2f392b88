// Choosing the study mode of the next study: one button per mode, each with a line that says
// what the mode asks.
#pragma once

#include <QDialog>

namespace study {

class CTransModeDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CTransModeDlg(QWidget* parent = nullptr);

  // The mode chosen (0 je ... 6 dictation); 3 until a button is pressed.
  int mode() const { return mode_; }

 private:
  int mode_ = 3;
};

}  // namespace study
