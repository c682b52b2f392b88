// A word that comes up while an input event is being handled, said once that input is over. A
// click in a list's scroll bar track reads the rows about to be drawn from inside the press: a box
// opened there takes the button's release, and the scroll bar, which never sees it, goes on paging.
#pragma once

#include <QObject>
#include <QPointer>
#include <optional>
#include <string>
#include <vector>

class QWidget;

class WordAfterInput : public QObject {
 public:
  explicit WordAfterInput(QObject* parent);
  ~WordAfterInput() override;

  // Shows `text` in a box over `owner` once the event being handled has returned and no mouse
  // button is held, as an action of its own. Words are said in the order they came, one box after
  // the other; a text already waiting from the same press is said once.
  void post(QWidget* owner, const std::wstring& text);
  // Drops the waiting word of this text (a box said in its place tells it already).
  void cancel(const std::wstring& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Word {
    QPointer<QWidget> owner;
    std::wstring text;
    unsigned long long press;  // the press whose action posted it
  };

  // Tries to say the words once the event being handled has returned.
  void queueTry();
  // Says the words when no button is held, else waits for the release.
  void sayWhenReleased();
  // The buttons held now, as the latest mouse event told them where it differs from the application's record.
  Qt::MouseButtons heldButtons() const;
  // Follows the mouse events of every window, or stops.
  void watch(bool on);

  std::vector<Word> words_;
  // The buttons the latest mouse event held, while the application's record says otherwise.
  std::optional<Qt::MouseButtons> heldByEvents_;
  bool watching_ = false;
  bool queued_ = false;
  bool saying_ = false;  // a box of these words is open: words posted meanwhile follow it
};

// For a read that failed while the rows about to be drawn were read (inside a press on the scroll
// bar, a turn of the wheel, a show or a refresh): whether it is said is decided now, by the action
// that met it, as for any failed read it needs (reportFailedRead); its box comes once the input is over.
void reportFailedReadAfterInput(WordAfterInput& word, QWidget* owner, const std::wstring& what);
