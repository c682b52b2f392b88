// Command routing in place of the original platform's command messages: a window that owns
// bars and menus implements CommandTarget, and library-wide message names become registered
// Qt event types, equal for equal names within the process.
#pragma once

#include "platform/windows/menu_handles.h"

#include <QEvent>
#include <string>
#include <utility>

namespace platform {


// The enable/check state a target reports for one command before it is shown.
struct CommandUi {
  unsigned id = 0;
  bool enabled = true;
  int check = 0;  // 0 clear, 1 checked, 2 indeterminate
  bool radio = false;
  std::wstring text;
  bool textChanged = false;
  bool handled = false;  // set when some target answered for the command
  // Which of the states the answering target set; the others stay as the item has them.
  bool enableChanged = false;
  bool checkChanged = false;

  void enable(bool on = true) { enabled = on; enableChanged = handled = true; }
  void setCheck(int state = 1) { check = state; checkChanged = handled = true; }
  void setRadio(bool on = true) { radio = true; check = on ? 1 : 0; checkChanged = handled = true; }
  void setText(std::wstring newText) { text = std::move(newText); textChanged = handled = true; }
};

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // True when the command was carried out. `notifyCode` is 0 for a plain command, else the
  // notification of the control that sent it.
  virtual bool onCommand(unsigned id, int notifyCode) = 0;
  virtual void onUpdateCommandUi(CommandUi& state) { (void)state; }
  virtual void onInitPopup(MenuHandle menu) { (void)menu; }
  // The prompt shown for a command (the string resource's text before its newline).
  virtual std::wstring messageString(unsigned id) const { (void)id; return {}; }
};

// A process-wide event type for a message name; non-zero, and the same for the same name.
QEvent::Type registerWindowMessage(const std::string& name);

// An event carrying the two parameters of a registered message.
class RegisteredMessageEvent : public QEvent {
 public:
  RegisteredMessageEvent(QEvent::Type type, uintptr_t wParam, intptr_t lParam)
      : QEvent(type), wParam_(wParam), lParam_(lParam) {}
  uintptr_t wParam() const { return wParam_; }
  intptr_t lParam() const { return lParam_; }
  // What the receiver answers to a sent (not posted) message.
  intptr_t result = 0;

 private:
  uintptr_t wParam_;
  intptr_t lParam_;
};

}  // namespace platform
