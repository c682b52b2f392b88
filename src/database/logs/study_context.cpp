#include "database/logs/study_context.h"

#include "platform/windows/notifier.h"

namespace pdb3 {

void StudyContext::notify(const std::wstring& text) const {
  if (notice)
    notice(text);
  else
    platform::messageBox(nullptr, text, L"Error!", platform::MbSystemModal);
}

void StudyContext::notifyFailure(const std::wstring& what) const {
  if (failureNotice)
    failureNotice(*this, what);
  else
    notify(what);
}

}  // namespace pdb3
