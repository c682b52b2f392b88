// The picture (splash.bmp of the program folder, 400 x 200) shown in the middle of the screen
// while start-up opens the database and loads its files. It lives on the GUI thread; the loading
// runs beside it, step by step, so that it is painted whenever it needs to be.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

class QLabel;

class CSplashDlg : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 200;

  CSplashDlg();

  // Loads the picture (none when splash.bmp is missing: nothing is painted), centres the window
  // on the screen above the others and shows it.
  void OnInitDialog();
  void setProgressText(const std::wstring& text);
  void hideProgressText();
  // Runs a step of start-up on a thread of its own while this window goes on painting (input
  // waits until the step is done). The step touches no widget; a box it asks for is shown by the
  // GUI thread. What the step throws is thrown here.
  void runStep(const std::function<void()>& step);
  // Closes the window after the delay; a later request replaces an earlier one.
  void closeAfter(int milliseconds);
  // Returns once the window has closed: when closeAfter asked for (at once when it did not), the
  // events of the wait handled but the user's input. The window stays above all others: a box
  // shown before it has gone would be hidden under it.
  void waitUntilClosed();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintNow();
  void showProgressTextOnPicture();

  QImage picture_;
  QLabel* text_;
  QTimer closer_;
};
