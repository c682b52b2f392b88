// The application's notice box and the formatted error box, both through the platform notifier
// (so they are logged and can answer themselves in unattended runs).
#pragma once

#include <string>

class QWidget;

class CNoticeBox {
 public:
  // Shows the text in a system-modal box with no owner and remembers it.
  void ShowText(const std::wstring& text);
  const std::wstring& text() const { return text_; }
  const std::wstring& caption() const { return caption_; }

 private:
  std::wstring text_;
  std::wstring caption_ = L"Error!";
};

// Formats the text (wide printf rules, nothing cut) and shows it with the caption "ErrorDlg".
void ErrorBox(QWidget* owner, const wchar_t* format, ...);
