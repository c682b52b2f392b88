// What the desktop's keyboard layout types on the letter keys, learned from the key presses the
// application receives. A letter virtual key names the key that types that Latin letter under the
// layout in use, or, on a layout whose key types no Latin letter, the key at that letter's place
// on the US layout (the place comes with each press as its scan code, the character as its text).
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
