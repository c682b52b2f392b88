#include "services/notice_box.h"

#include <cstdarg>

#include "platform/windows/notifier.h"
#include "platform/trace.h"

void CNoticeBox::ShowText(const std::wstring& text) {
  text_ = text;
  platform::messageBox(nullptr, text_, caption_, platform::MbSystemModal);
}

void ErrorBox(QWidget* owner, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const std::wstring text = platform::formatv(format, args);
  va_end(args);
  platform::messageBox(owner, text, L"ErrorDlg", platform::MbIconInformation);
}
