#include "uictl/frames/frame_keys.h"

#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/virtual_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

unsigned routedVirtualKey(const QKeyEvent* event) {
  const int key = event->key();
  if (const unsigned vk = virtualKeyOf(key)) return vk;
  switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return kVkMenu;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Menu: return 0x5D;
    default: return 0;
  }
}

bool isSystemKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Alt || (event->modifiers() & Qt::AltModifier);
}

uint8_t acceleratorModifiersOf(Qt::KeyboardModifiers modifiers) {
  uint8_t flags = 0;
  if (modifiers & Qt::ControlModifier) flags |= FControl;
  if (modifiers & Qt::AltModifier) flags |= FAlt;
  if (modifiers & Qt::ShiftModifier) flags |= FShift;
  return flags;
}

uint8_t heldAcceleratorModifiers() { return acceleratorModifiersOf(QGuiApplication::queryKeyboardModifiers()); }
