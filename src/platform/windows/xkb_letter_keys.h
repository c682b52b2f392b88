// What a keyboard layout, as the X keyboard library describes it, types on the key of a letter
// virtual key: the key that types that Latin letter under the layout or, where no key does, the
// key at that letter's place on the US layout.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace platform {

struct XkbRelease {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
  void operator()(xkb_state* state) const { xkb_state_unref(state); }
};
using XkbContextPtr = std::unique_ptr<xkb_context, XkbRelease>;
using XkbKeymapPtr = std::unique_ptr<xkb_keymap, XkbRelease>;
using XkbStatePtr = std::unique_ptr<xkb_state, XkbRelease>;

// The keycode of the US layout's key for the letter virtual key 'A' to 'Z'; 0 for any other key.
unsigned usKeycodeOfLetter(unsigned virtualKey);
// The character the key of the letter virtual key 'A' to 'Z' types in the state's active layout
// with no modifier held (its first level); 0 when that key types no character, and for any
// other virtual key.
char32_t letterKeyCharacter(xkb_keymap* keymap, xkb_state* state, unsigned virtualKey);

}  // namespace platform
