#include <gtest/gtest.h>

#include "platform/notifier.h"

using namespace platform;

TEST(Notifier, AutomaticAnswerTakesTheNamedButtonOrTheDefault) {
  EXPECT_EQ(automaticAnswer(MbYesNo, "no"), IdNo);
  EXPECT_EQ(automaticAnswer(MbYesNo, "NO"), IdNo);
  EXPECT_EQ(automaticAnswer(MbYesNo, "cancel"), IdYes);  // not on this box: its default
  EXPECT_EQ(automaticAnswer(MbYesNoCancel | MbDefButton2, "1"), IdNo);
  EXPECT_EQ(automaticAnswer(MbOk | MbDefButton3, nullptr), IdOk);  // a default beyond the buttons
}

TEST(Notifier, OverrideReceivesBoxesAndIsRemovedAfterwards) {
  struct Recorder : Notifier {
    std::wstring last;
    int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
      last = caption + L"|" + text;
      return IdRetry;
    }
  } recorder;
  {
    NotifierOverride use(recorder);
    EXPECT_EQ(messageBox(nullptr, L"本文", L"KLV", MbRetryCancel), IdRetry);
  }
  EXPECT_EQ(recorder.last, L"KLV|本文");
}
