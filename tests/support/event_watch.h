// Sees every event of a type on its way to the object that receives it, for as long as it lives.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

class EventWatch : public QObject {
 public:
  EventWatch(QEvent::Type type, std::function<void(QObject&)> seen) : type_(type), seen_(std::move(seen)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~EventWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == type_) seen_(*watched);
    return false;
  }

 private:
  QEvent::Type type_;
  std::function<void(QObject&)> seen_;
};
