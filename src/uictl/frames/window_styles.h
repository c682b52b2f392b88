// Window and button style bits as the controls' creators pass them: the type and alignment of
// a button, and the child-window bits that say whether a control starts visible, enabled or a
// new group of the dialog.
#pragma once

enum WindowStyle : unsigned {
  WsChild = 0x40000000, WsVisible = 0x10000000, WsDisabled = 0x08000000, WsGroup = 0x00020000,
  WsTabStop = 0x00010000,
};

enum ButtonStyle : unsigned {
  BsPushButton = 0x0, BsDefPushButton = 0x1, BsCheckBox = 0x2, BsAutoCheckBox = 0x3, BsRadioButton = 0x4,
  BsAutoRadioButton = 0x9, BsOwnerDraw = 0xB, BsTypeMask = 0xF,
  BsLeft = 0x100, BsRight = 0x200, BsCenter = 0x300, BsHorizontalMask = 0x300,
};

// Owner-draw item state bits.
enum ItemState : unsigned { OdsSelected = 0x1, OdsDisabled = 0x4, OdsFocus = 0x10 };
