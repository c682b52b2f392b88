// A word that comes up while an input event is being handled, said once that input is over. A
// click in a list's scroll bar track reads the rows about to be drawn from inside the press: a box
// opened there takes the button's release, and the scroll bar, which never sees it, goes on paging.
#pragma once

#include <QObject>
#include <functional>

class WordAfterInput : public QObject {
 public:
  explicit WordAfterInput(QObject* parent);
  ~WordAfterInput() override;

  // Has `say` run once the event being handled has returned and no mouse button is held, as an
  // action of its own. A word still waiting is said once: a later one takes its place.
  void post(std::function<void()> say);
  // Drops the word waiting (one said in its place tells it already).
  void cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Tries to say the word once the event being handled has returned.
  void queueTry();
  // Says the word when no button is held, else waits for the release.
  void sayWhenReleased();
  void stopWatching();

  std::function<void()> say_;
  bool watching_ = false;
  bool queued_ = false;
};
