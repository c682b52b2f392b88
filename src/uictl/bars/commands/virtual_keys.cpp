#include "uictl/bars/commands/virtual_keys.h"

#include <QGuiApplication>

unsigned virtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VkReturn;
    case Qt::Key_Escape: return VkEscape;
    case Qt::Key_End: return VkEnd;
    case Qt::Key_Home: return VkHome;
    case Qt::Key_Left: return VkLeft;
    case Qt::Key_Up: return VkUp;
    case Qt::Key_Right: return VkRight;
    case Qt::Key_Down: return VkDown;
    default: break;
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<unsigned>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70u + static_cast<unsigned>(key - Qt::Key_F1);
  return 0;
}

bool isControlDown() { return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier; }
bool isShiftDown() { return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier; }
