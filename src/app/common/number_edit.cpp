#include "app/common/number_edit.h"

#include <QLineEdit>
#include <algorithm>

NumberEdit::NumberEdit(int low, int high, QWidget* parent)
    : QAbstractSpinBox(parent), low_(low), high_(high), stepLow_(low), stepHigh_(high) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
}

void NumberEdit::setStepRange(int low, int high) {
  stepLow_ = low;
  stepHigh_ = high;
}

void NumberEdit::setNumber(int value) { lineEdit()->setText(QString::number(value)); }

std::optional<int> NumberEdit::typedNumber() const {
  bool ok = false;
  const int value = text().trimmed().toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> NumberEdit::number() const {
  const std::optional<int> value = typedNumber();
  if (!value || *value < low_ || *value > high_) return std::nullopt;
  return value;
}

std::wstring NumberEdit::rangeMessage() const {
  return std::to_wstring(low_) + L" から " + std::to_wstring(high_) + L" までの整数を入力してください。";
}

void NumberEdit::stepBy(int steps) {
  const std::optional<int> current = typedNumber();
  const long long next = current ? static_cast<long long>(*current) + steps : (steps > 0 ? stepLow_ : stepHigh_);
  setNumber(static_cast<int>(std::clamp<long long>(next, stepLow_, stepHigh_)));
}

QAbstractSpinBox::StepEnabled NumberEdit::stepEnabled() const {
  if (!isEnabled()) return StepNone;
  const std::optional<int> current = typedNumber();
  if (!current) return StepUpEnabled | StepDownEnabled;
  StepEnabled enabled = StepNone;
  if (*current < stepHigh_) enabled |= StepUpEnabled;
  if (*current > stepLow_) enabled |= StepDownEnabled;
  return enabled;
}

// Anything may be typed; OK tells the user what the field takes.
QValidator::State NumberEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

void NumberEdit::fixup(QString&) const {}
