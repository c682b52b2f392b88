// What another program's lock kept the window from reading, read again by itself: while what
// holds it is on screen, it is tried again every few hundred milliseconds, without a wait and
// without a word, so that it fills soon after the other program lets go, with no input. Only a
// cause that may pass (sqliteplus::lastFailureMayPass: a lock, a passing I/O error) is waited
// out: a read refused for a cause that lasts (a damaged file, a file gone) is not tried again, and
// one that a try meets ends the tries and is said once. Nothing is tried while
// nothing of it is on screen (hidden, or its window minimised under a study): the tries go on when
// it shows again; nor while a box or a menu of an action under way stands over its window: the
// action goes on with what it read.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QTimer;
class QWidget;
class WordAfterInput;

class QuietRetry : public QObject {
 public:
  // Rows of a list are also tried just before each paint of the window, so that the paint that
  // follows the other program letting go draws them read. A page refreshed whole is not: its
  // refresh asks for a paint itself.
  enum class BeforePaints { no, yes };

  // `shown`: what has to be on screen for a try (it owns the retry). `tryAgain`: reads again what
  // could not be read; true once read. `failure`: what a lasting cause kept from being read, as a
  // box says it.
  QuietRetry(QWidget& shown, std::function<bool()> tryAgain, std::wstring failure,
             BeforePaints beforePaints = BeforePaints::no);

  // After a read of it by an action, the cause of a failure noted on this thread: a read ends the
  // tries; a cause that may pass starts them (or lets them go on); one that lasts ends them, the
  // action having said it. Inside a try the try's own outcome decides.
  void follow(bool read);
  // Whether something is left to be read again.
  bool pending() const { return pending_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool onScreen() const;
  // Whether nothing of an action under way stands over the window.
  bool uncovered() const;
  // The timer runs while something is pending and on screen; off screen the events that show it
  // again start it.
  void schedule();
  void tryNow();
  void stop();

  QWidget& shown_;
  std::function<bool()> tryAgain_;
  std::wstring failure_;
  const bool beforePaints_;
  QTimer* const timer_;
  WordAfterInput* const word_;
  QPointer<QWidget> window_;  // watched while something is pending
  bool pending_ = false;
  bool trying_ = false;
};
