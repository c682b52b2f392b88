// What the desktop's keyboard layout types on the letter keys. Letter virtual keys name the keys
// by their place on the US layout; which character such a key types under the layout in use is
// learned from the key presses the application receives (the place comes with each press as its
// scan code, the character as its text).
#pragma once

namespace platform {

// Starts learning from the application's key presses; once is enough, later calls add nothing.
// Needs the application object.
void watchKeyboardLayout();
// The character last typed on the key that carries the letter virtual key 'A' to 'Z'; 0 while
// no press of that key has been seen, and for any other key.
char32_t layoutCharacterOf(unsigned virtualKey);
// Forgets what was learned (a new layout, or a test).
void forgetKeyboardLayout();

}  // namespace platform
