// Where the program runs decides how its floating windows move: on X11 and offscreen, windows
// and the cursor have global positions the program may use; on native Wayland it may not place
// its own windows, and the compositor moves and resizes them for it.
#pragma once

#include <QGuiApplication>

inline bool onNativeWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }
