// Where the program runs decides how its floating windows move: on X11 and offscreen, windows
// and the cursor have global positions the program may use; on native Wayland it may not place
// its own windows, and the compositor moves and resizes them for it.
#pragma once

#include <QGuiApplication>
#include <QWidget>

inline bool onNativeWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// A widget's rectangle in screen coordinates (on native Wayland: in its window's).
inline QRect globalGeometry(const QWidget* widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }
