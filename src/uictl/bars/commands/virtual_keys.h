// Qt keys as the virtual key codes the menu and toolbar keyboard handling compares with.
#pragma once

enum VirtualKey : unsigned {
  VkTab = 0x09, VkReturn = 0x0D, VkEscape = 0x1B, VkEnd = 0x23, VkHome = 0x24, VkLeft = 0x25, VkUp = 0x26,
  VkRight = 0x27, VkDown = 0x28,
};

// 0 for keys that have no virtual key here.
unsigned virtualKeyOf(int qtKey);
// Whether Ctrl or Shift is down now, as the keyboard state query reports it.
bool isControlDown();
bool isShiftDown();
