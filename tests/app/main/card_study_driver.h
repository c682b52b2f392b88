// Answers every question of a card-mode study window as known, as long as it lives.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <set>
#include <utility>

#include "study/window/trans_dialog.h"

namespace apptest {

class CardStudyDriver {
 public:
  CardStudyDriver() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* window = qobject_cast<study::CTransDlg*>(QApplication::activeModalWidget());
      if (!window) return;
      const study::StudyFlow& flow = window->flow();
      const auto button = [window](int id) { return window->findChild<QWidget*>(QString("id%1").arg(id)); };
      if (flow.tstate == study::TurnWaitNextTrigger) QTest::keyClick(button(1026), Qt::Key_Return);
      if (flow.tstate != study::TurnReply || !answered.insert({flow.currentId, flow.astate}).second) return;
      QTest::mouseClick(button(button(1230)->isVisible() ? 1230 : 1229), Qt::LeftButton);
      QTest::mouseClick(button(1231), Qt::LeftButton);
    });
    timer_.start(15);
  }
  std::set<std::pair<int, int>> answered;

 private:
  QTimer timer_;
};

}  // namespace apptest
