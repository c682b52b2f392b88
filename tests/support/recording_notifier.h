// Message boxes recorded as "<caption>: <text>" instead of shown, answered with `answer`.
#pragma once

#include <string>
#include <vector>

#include "platform/windows/notifier.h"

class RecordingNotifier : public platform::Notifier {
 public:
  int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
    boxes.push_back(caption + L": " + text);
    return answer;
  }
  std::vector<std::wstring> boxes;
  int answer = platform::IdOk;
};
