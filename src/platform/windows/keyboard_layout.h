// What the desktop's keyboard layout types on the letter keys. A letter virtual key names the key
// that types that Latin letter under the layout in use, or, on a layout whose keys type no Latin
// letter, the key at that letter's place on the US layout. On an X server the current layout is
// read from the server; elsewhere (no keymap to read) it is learned from the key presses the
// application receives, the place coming with each press as its scan code, the character as its
// text.
#pragma once

namespace platform {

// Starts learning from the application's key presses; once is enough, later calls add nothing.
// Needs the application object.
void watchKeyboardLayout();
// The character the key that carries the letter virtual key 'A' to 'Z' types with no modifier:
// as the X server's current layout has it, or else as last typed; 0 when that key types nothing
// (or, when learning, no press of it has been seen yet), and for any other key.
char32_t layoutCharacterOf(unsigned virtualKey);
// Forgets what was learned (a new layout, or a test).
void forgetKeyboardLayout();

}  // namespace platform
