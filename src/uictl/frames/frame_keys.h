// Key events as the frames and dialogs route them: the virtual key of a Qt key, whether a press
// counts as a system key (Alt held, or Alt itself), and the accelerator modifier bits held now.
#pragma once

#include <QtCore/qnamespace.h>

#include <cstdint>

class QKeyEvent;

constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkF10 = 0x79;
// The notify code of a command an accelerator key sent.
constexpr int kFromAccelerator = 1;

// 0 for keys that have no virtual key.
unsigned routedVirtualKey(const QKeyEvent* event);
bool isSystemKey(const QKeyEvent* event);
// FControl, FAlt and FShift of `modifiers`.
uint8_t acceleratorModifiersOf(Qt::KeyboardModifiers modifiers);
// FControl, FAlt and FShift of the keyboard's state now.
uint8_t heldAcceleratorModifiers();
