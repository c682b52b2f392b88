#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <thread>

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

TEST(Notifier, ABoxAskedForByAnotherThreadIsShownByTheGuiThread) {
  struct Recorder : Notifier {
    QThread* shownBy = nullptr;
    int messageBox(QWidget*, const std::wstring&, const std::wstring&, unsigned) override {
      shownBy = QThread::currentThread();
      return IdNo;
    }
  } recorder;
  NotifierOverride use(recorder);
  QEventLoop waiting;
  int answer = 0;
  std::thread worker([&] {
    answer = messageBox(nullptr, L"本文", L"KLV", MbYesNo);
    QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
  });
  waiting.exec();
  worker.join();
  EXPECT_EQ(answer, IdNo);
  EXPECT_EQ(recorder.shownBy, QCoreApplication::instance()->thread());
}
