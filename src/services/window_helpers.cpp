#include "services/window_helpers.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cstdarg>

#include "platform/trace.h"

QWidget* dialogItem(QWidget* dialog, int id) {
  return dialog ? dialog->findChild<QWidget*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

bool MoveDlgItem(QWidget* dialog, int id, const QRect& rect) {
  QWidget* item = dialogItem(dialog, id);
  if (!item) return false;
  item->setGeometry(rect);
  item->update();
  return true;
}

bool MoveDlgItemTo(QWidget* dialog, int id, int x, int y) {
  QWidget* item = dialogItem(dialog, id);
  if (!item) return false;
  item->move(x, y);
  return true;
}

void ForceForegroundWindow(QWidget* window) {
  if (!window) return;
  window->raise();
  window->activateWindow();
}

void ForceActiveWindow(QWidget* dialog) { ForceForegroundWindow(dialog); }

void CenterOnDesktop(QWidget* window, int width, int height) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!window || !screen) return;
  const QRect desktop = screen->geometry();
  window->resize(width, height);
  window->move(desktop.x() + (desktop.width() - width) / 2, desktop.y() + (desktop.height() - height) / 2);
}

void TextOutf(QPainter& painter, int x, int y, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const std::wstring text = platform::formatv(format, args);
  va_end(args);
  painter.drawText(QPoint(x, y + QFontMetrics(painter.font()).ascent()), QString::fromStdWString(text));
}
