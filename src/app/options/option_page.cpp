#include "app/options/option_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/common/modal_dialog.h"
#include "app/common/number_edit.h"
#include "platform/windows/notifier.h"

namespace {

constexpr int kRowHeight = 22;
constexpr int kNumberWidth = 80;
constexpr int kNumberLabelWidth = 250;

}  // namespace

OptionPage::OptionPage(int templateId, QWidget* parent) : QWidget(parent) {
  setObjectName(QString("id%1").arg(templateId));
  resize(kWidth, kHeight);
}

bool OptionPage::check() {
  for (NumberEdit* field : findChildren<NumberEdit*>()) {
    if (field->number()) continue;
    tell(field->rangeMessage());
    field->setFocus();
    field->selectAll();
    return false;
  }
  return true;
}

void OptionPage::updateEnabled() {
  for (const auto& rule : rules_) rule();
}

QLabel* OptionPage::addLabel(const wchar_t* text, const QRect& rect) { return dialogText(this, text, rect); }

QCheckBox* OptionPage::addCheck(const char* name, const wchar_t* text, const QRect& rect) {
  auto* check = new QCheckBox(QString::fromWCharArray(text), this);
  check->setObjectName(name);
  check->setGeometry(rect);
  return check;
}

QRadioButton* OptionPage::addRadio(const char* name, const wchar_t* text, const QRect& rect) {
  auto* radio = new QRadioButton(QString::fromWCharArray(text), this);
  radio->setObjectName(name);
  radio->setGeometry(rect);
  return radio;
}

QPushButton* OptionPage::addButton(const char* name, const wchar_t* text, const QRect& rect) {
  auto* button = new QPushButton(QString::fromWCharArray(text), this);
  button->setObjectName(name);
  button->setGeometry(rect);
  button->setAutoDefault(false);
  return button;
}

NumberEdit* OptionPage::addNumber(const char* name, const wchar_t* text, int low, int high, int y, QLabel** label,
                                  int x) {
  QLabel* caption = addLabel(text, {x, y, kNumberLabelWidth, kRowHeight});
  auto* field = new NumberEdit(low, high, this);
  field->setObjectName(name);
  field->setGeometry(x + kNumberLabelWidth, y, kNumberWidth, kRowHeight);
  caption->setBuddy(field);
  if (label) *label = caption;
  return field;
}

void OptionPage::enableWhile(std::function<bool()> rule, std::vector<QWidget*> widgets,
                             std::vector<QAbstractButton*> triggers) {
  auto apply = [rule = std::move(rule), widgets = std::move(widgets)] {
    const bool enabled = rule();
    for (QWidget* widget : widgets) widget->setEnabled(enabled);
  };
  for (QAbstractButton* trigger : triggers) connect(trigger, &QAbstractButton::toggled, this, apply);
  rules_.push_back(std::move(apply));
}

void OptionPage::tell(const std::wstring& text) { platform::messageBox(this, text, kAppCaption); }
