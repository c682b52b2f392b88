// A child that shows where a drag would put an edge: a half-tone pattern over whatever lies
// below, standing for the inverted strip of the drag. It lets the mouse through.
#pragma once

#include <QPainter>
#include <QWidget>

class HalftoneOverlay : public QWidget {
 public:
  explicit HalftoneOverlay(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
  }
};
