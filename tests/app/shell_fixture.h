// The application object over a database file of the test's own, with settings in the test's
// isolated home and every message box recorded.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

#include "app/shell/klv_app.h"
#include "database_fixture.h"
#include "patience.h"
#include "recording_notifier.h"
#include "services/app_settings.h"

class ShellFixture : public ::testing::Test {
 protected:
  ShellFixture() {
    app.settings = &settings;
    app.db.open(db.path().c_str());
  }

  // Runs the event loop until the condition holds or the time is up.
  static bool waitFor(const std::function<bool()>& condition, int timeoutMs = testwait::kPatienceMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
      if (timer.elapsed() > timeoutMs) return false;
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }

  testdb::TempDatabase db;
  KlvApp app;
  AppSettings settings{L"KLV7"};
  RecordingNotifier notifier;
  platform::NotifierOverride notifierGuard{notifier};
};
