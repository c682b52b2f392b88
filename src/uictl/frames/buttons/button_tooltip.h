// The tooltip a button owns: its text, whether it answers, and how wide a tip may grow before
// its lines wrap.
#pragma once

#include <QPoint>
#include <string>

class QWidget;

class ButtonToolTip {
 public:
  void setText(const std::wstring& text) { text_ = text; }
  const std::wstring& text() const { return text_; }
  void activate(bool on) { active_ = on; }
  bool isActive() const { return active_; }
  // -1: no limit.
  void setMaxWidth(int pixels) { maxWidth_ = pixels; }
  int maxWidth() const { return maxWidth_; }

  // The text as the tip shows it, broken into lines no wider than the limit.
  QString shownText() const;
  // Shows the tip for `owner`; false (and nothing shown) while inactive or without text.
  bool show(QWidget* owner, const QPoint& globalPos) const;
  // Hides a tip on screen.
  static void pop();

 private:
  std::wstring text_;
  bool active_ = false;
  int maxWidth_ = -1;
};
