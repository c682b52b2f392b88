// What every page of the options dialog shares: its controls named after the settings they hold,
// number fields checked against their ranges, and controls enabled by the checks they depend on.
// A page loads from the settings (or their defaults), checks what was typed, and stores.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "services/setting_values.h"

class AppSettings;
class NumberEdit;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class OptionPage : public QWidget {
  Q_OBJECT

 public:
  // Named "id<templateId>".
  OptionPage(int templateId, QWidget* parent);

  // Fills the controls from the settings, or from their defaults.
  virtual void load(const AppSettings& settings, bool defaults) = 0;
  // Whether every value can be stored; the first that cannot is told to the user and takes the
  // focus. Number fields are checked here; pages add their own checks.
  virtual bool check();
  virtual void store(AppSettings& settings) = 0;
  // Pages the Defaults button fills.
  virtual bool takesDefaults() const { return true; }

  // Applies every enabling rule (after loading; clicks apply them themselves).
  void updateEnabled();

  static constexpr int kWidth = 450;
  static constexpr int kHeight = 390;

 protected:
  template <class T>
  static const T& pick(const TypedSetting<T>& setting, bool defaults) {
    return defaults ? setting.defaultValue : setting.value;
  }

  QLabel* addLabel(const wchar_t* text, const QRect& rect);
  QCheckBox* addCheck(const char* name, const wchar_t* text, const QRect& rect);
  QRadioButton* addRadio(const char* name, const wchar_t* text, const QRect& rect);
  QPushButton* addButton(const char* name, const wchar_t* text, const QRect& rect);
  // A number field with its label to the left; the label is returned through `label`.
  NumberEdit* addNumber(const char* name, const wchar_t* text, int low, int high, int y, QLabel** label = nullptr,
                        int x = 10);
  // The widgets are enabled exactly while the rule holds; the rule is asked again whenever one
  // of the buttons is clicked.
  void enableWhile(std::function<bool()> rule, std::vector<QWidget*> widgets,
                   std::vector<QAbstractButton*> triggers);
  // Shows the box of this page (caption of the program).
  void tell(const std::wstring& text);

 private:
  std::vector<std::function<void()>> rules_;
};
