// A number field: an edit with spin buttons. What is typed stays as typed (a field that snapped
// back silently would store a number nobody typed); number() tells whether it is a whole number
// of the field's range, and the spin buttons and the arrow keys step within that range, or within
// a narrower one of their own.
#pragma once

#include <QAbstractSpinBox>
#include <optional>

class NumberEdit : public QAbstractSpinBox {
  Q_OBJECT

 public:
  NumberEdit(int low, int high, QWidget* parent = nullptr);

  void setNumber(int value);
  // The text as a number of the range; nothing for anything else.
  std::optional<int> number() const;
  int low() const { return low_; }
  int high() const { return high_; }
  // The numbers the buttons and keys step through, when they are fewer than those the field takes.
  void setStepRange(int low, int high);
  // The edit the number is typed into.
  QLineEdit* field() const { return lineEdit(); }
  // "500 から 30000 までの整数を入力してください。"
  std::wstring rangeMessage() const;

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 private:
  // The text as a whole number, in the range or not.
  std::optional<int> typedNumber() const;

  int low_;
  int high_;
  int stepLow_;
  int stepHigh_;
};
