// Message boxes behind one interface. Callers speak in the original platform's flag and result
// values, so code that asks "Yes/No with a question icon" reads the same everywhere.
#pragma once

#include <string>

class QWidget;

namespace platform {

enum MessageBoxFlags : unsigned {
  MbOk = 0x0, MbOkCancel = 0x1, MbAbortRetryIgnore = 0x2, MbYesNoCancel = 0x3, MbYesNo = 0x4,
  MbRetryCancel = 0x5, MbButtonsMask = 0xF,
  MbIconError = 0x10, MbIconQuestion = 0x20, MbIconWarning = 0x30, MbIconInformation = 0x40,
  MbIconMask = 0xF0,
  MbDefButton1 = 0x000, MbDefButton2 = 0x100, MbDefButton3 = 0x200, MbDefButtonMask = 0xF00,
  MbSystemModal = 0x1000, MbTaskModal = 0x2000, MbTopmost = 0x40000,
};

enum MessageBoxResult : int { IdOk = 1, IdCancel = 2, IdAbort = 3, IdRetry = 4, IdIgnore = 5, IdYes = 6, IdNo = 7 };

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption,
                         unsigned flags) = 0;
};

// Shows a box through the current notifier. With KELVARA_AUTOANSWER set no box is shown: the box
// is written to stderr as "msgbox: <caption>: <text>", and the answer is the button the variable
// names ("ok", "cancel", "yes", "no", "abort", "retry", "ignore") when the box has it, else the
// box's default button.
int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption,
               unsigned flags = MbOk);
// Run before and after the event loop of every box the GUI thread shows: the user-action
// bookkeeping sets the asking action aside meanwhile, so that what the loop delivers (a worker's
// result, a timer) is not taken for part of it. Null for none.
void setBoxLoopHooks(void (*entering)(), void (*left)());

// Replaces the notifier until the guard goes (tests record boxes this way); unattended runs still
// write each box to stderr.
class NotifierOverride {
 public:
  explicit NotifierOverride(Notifier& replacement);
  ~NotifierOverride();
  NotifierOverride(const NotifierOverride&) = delete;
  NotifierOverride& operator=(const NotifierOverride&) = delete;

 private:
  Notifier* previous_;
};

// The answer a box with these flags gives when nobody is there to click (KELVARA_AUTOANSWER).
int automaticAnswer(unsigned flags, const char* requested);

}  // namespace platform
