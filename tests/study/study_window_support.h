// What the study window tests share: a set-up record, its controls by id, waiting for a turn state,
// typing a reply as a user would, and acting on a menu or dialog as it opens.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "study/window/trans_dialog.h"
#include "patience.h"

namespace studytest {

inline study::StudySetup setupFor(int mode, std::vector<int> ids, std::wstring title = L"テスト") {
  study::StudySetup setup;
  setup.mode = mode;
  setup.title = std::move(title);
  setup.questionIds = std::move(ids);
  setup.randomMistakeReply = false;
  setup.did = 0;
  setup.lid = 0;
  return setup;
}

// The window's control of that id (a failure when there is none).
template <typename W>
W* find(QWidget& window, int id) {
  W* widget = window.findChild<W*>(QString("id%1").arg(id));
  EXPECT_NE(widget, nullptr) << id;
  return widget;
}

inline bool waitForState(study::CTransDlg& dlg, int tstate) {
  return QTest::qWaitFor([&] { return dlg.flow().tstate == tstate; }, testwait::kPatienceMs);
}

// A learner reads a new question before pressing Enter: the window takes no Enter at once.
inline void waitUntilEnterAnswers(QWidget& window) {
  if (auto* dlg = qobject_cast<study::CTransDlg*>(&window)) {
    EXPECT_TRUE(QTest::qWaitFor([dlg] { return dlg->enterAnswersNow(); }, testwait::kPatienceMs));
  }
}

// Types the text into the reply edit and presses Enter. Characters without a key of their own
// arrive as an input method would send them.
inline void typeReply(QWidget& window, const QString& text) {
  auto* edit = window.findChild<QLineEdit*>("id1026");
  edit->clear();
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(edit, c.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
  waitUntilEnterAnswers(window);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The program's icon (238): the blue question card with its white K over the answer card, on clear
// ground.
inline void expectProgramIcon(const QIcon& icon) {
  const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(image.size(), QSize(32, 32));
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
  EXPECT_EQ(image.pixel(5, 12), 0xFF1E5AAAu);  // the question card
  EXPECT_EQ(image.pixel(9, 13), 0xFFFFFFFFu);  // its K
  EXPECT_EQ(image.pixel(20, 4), 0xFFFFFFFFu);  // the answer card behind it
}

// Counts the popups and modal windows that open over `window` while it lives, closing each at once
// (a key that pressed a button by accident opens a menu or a dialog).
class OpenedWindowCounter {
 public:
  explicit OpenedWindowCounter(QWidget& window) {
    QObject::connect(&poll_, &QTimer::timeout, [this, &window] {
      QWidget* opened = QApplication::activePopupWidget();
      if (!opened && QApplication::activeModalWidget() != &window) opened = QApplication::activeModalWidget();
      if (!opened) return;
      ++count_;
      opened->close();
    });
    poll_.start(5);
  }
  int count() const { return count_; }

 private:
  QTimer poll_;
  int count_ = 0;
};

// Keys reach the control that has the focus, as a person's typing does.
inline void typeKeys(QWidget& window, const QString& text) {
  for (const QChar c : text) QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, c.toLatin1());
}

// Runs `act` once on the first W that opens as a popup or a modal window.
template <typename W>
void whenOpened(std::function<void(W*)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    W* widget = qobject_cast<W*>(QApplication::activePopupWidget());
    if (!widget) widget = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!widget) return;
    poll->stop();
    poll->deleteLater();
    act(widget);
  });
  poll->start(10);
}

}  // namespace studytest
