#include "app/shell/splash_dialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <exception>
#include <thread>

#include "platform/drawing/gdi_types.h"
#include "platform/drawing/readable_colour.h"
#include "services/shell_files.h"
#include "services/window_helpers.h"

CSplashDlg::CSplashDlg() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("id215");
  setAttribute(Qt::WA_ShowWithoutActivating);
  text_ = new QLabel(this);
  text_->setObjectName("id1198");
  text_->setGeometry(8, kHeight - 22, kWidth - 16, 18);
  closer_.setSingleShot(true);
  connect(&closer_, &QTimer::timeout, this, &QWidget::close);
}

void CSplashDlg::OnInitDialog() {
  picture_ = QImage(QString::fromStdWString(programFolder() + L"splash.bmp"));
  showProgressTextOnPicture();
  CenterOnDesktop(this, kWidth, kHeight);
  setFixedSize(kWidth, kHeight);
  show();
  raise();
  paintNow();
}

void CSplashDlg::showProgressTextOnPicture() {
  // The progress lies on the picture, not on the desktop's face: its colour stands out from the
  // picture's colours under it. Past a smaller picture's edge the window's face stays under it.
  const QRect under = text_->geometry();
  if (!picture_.rect().contains(under)) return;
  const QColor ground = picture_.copy(under).scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
  QPalette palette = text_->palette();
  palette.setColor(QPalette::WindowText,
                   platform::toQColor(platform::plainTextOn(platform::rgb(ground.red(), ground.green(), ground.blue()))));
  text_->setPalette(palette);
}

void CSplashDlg::paintNow() {
  // Start-up runs no event loop until its first dialog: the window is painted here and now.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  repaint();
}

void CSplashDlg::setProgressText(const std::wstring& text) {
  text_->setText(QString::fromStdWString(text));
  paintNow();
}

void CSplashDlg::hideProgressText() {
  text_->hide();
  paintNow();
}

void CSplashDlg::runStep(const std::function<void()>& step) {
  QEventLoop waiting;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      step();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
  });
  waiting.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void CSplashDlg::closeAfter(int milliseconds) { closer_.start(milliseconds); }

void CSplashDlg::waitUntilClosed() {
  if (!isVisible()) return;
  if (!closer_.isActive()) {
    close();
    return;
  }
  QEventLoop waiting;
  // Connected after the close itself: the loop ends with the window gone.
  connect(&closer_, &QTimer::timeout, &waiting, &QEventLoop::quit);
  waiting.exec(QEventLoop::ExcludeUserInputEvents);
}

void CSplashDlg::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  // A larger picture is cut; a smaller one leaves the rest as it is.
  QPainter(this).drawImage(QPoint(0, 0), picture_, QRect(0, 0, kWidth, kHeight));
}
