#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/shell/splash_dialog.h"
#include "platform/files/folders.h"
#include "patience.h"

namespace {

QImage shown(CSplashDlg& splash) { return splash.grab().toImage(); }

class PaintCountingSplash : public CSplashDlg {
 public:
  std::atomic<int> paints = 0;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    CSplashDlg::paintEvent(event);
  }
};

}  // namespace

TEST(Splash, ShowsTheProgramFoldersPictureCutToItsSizeAndTheProgress) {
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  CSplashDlg splash;
  // Without a picture the window shows all the same, unpainted.
  splash.OnInitDialog();
  EXPECT_TRUE(splash.isVisible());
  EXPECT_EQ(splash.size(), QSize(400, 200));
  EXPECT_EQ(shown(splash).pixelColor(200, 100), splash.palette().color(QPalette::Window));

  QImage large(500, 300, QImage::Format_RGB32);
  large.fill(Qt::green);
  large.setPixelColor(399, 199, Qt::red);
  large.setPixelColor(400, 199, Qt::blue);
  ASSERT_TRUE(large.save(folder.path() + "/splash.bmp", "BMP"));
  splash.OnInitDialog();
  const QImage picture = shown(splash);
  EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::green));
  EXPECT_EQ(picture.pixelColor(399, 199), QColor(Qt::red));
  EXPECT_EQ(splash.size(), QSize(400, 200));
  splash.setProgressText(L"Loading database...");
  EXPECT_EQ(splash.findChild<QLabel*>("id1198")->text(), "Loading database...");
  splash.hideProgressText();
  EXPECT_FALSE(splash.findChild<QLabel*>("id1198")->isVisible());

  // The last request to close decides when.
  splash.closeAfter(20);
  splash.closeAfter(testwait::kPatienceMs);
  QTest::qWait(150);
  EXPECT_TRUE(splash.isVisible());
  splash.closeAfter(20);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, testwait::kPatienceMs));
}

TEST(Splash, PaintsWhileAStepOfStartUpRunsAndPassesOnWhatTheStepThrows) {
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  PaintCountingSplash splash;
  splash.OnInitDialog();
  const int before = splash.paints;
  // The step waits until the window has been painted again: a window painted only between the
  // steps never is, and the step gives up in the end.
  bool paintedMeanwhile = false;
  splash.runStep([&] {
    QMetaObject::invokeMethod(&splash, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
    while (!paintedMeanwhile && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      paintedMeanwhile = splash.paints > before;
    }
  });
  EXPECT_TRUE(paintedMeanwhile);
  EXPECT_THROW(splash.runStep([] { throw std::wstring(L"database error"); }), std::wstring);
}
