#include "platform/windows/xkb_letter_keys.h"

#include <array>

namespace platform {

namespace {

// Scan codes of the US layout's letter keys A to Z as the kernel numbers them; keycodes are 8
// higher.
constexpr std::array<unsigned, 26> kLetterScanCodes{30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
constexpr unsigned kKeycodeOffset = 8;

bool isLetterKey(unsigned virtualKey) { return virtualKey >= 'A' && virtualKey <= 'Z'; }

// The keysym on the key's first level in the layout the state makes active for that key (a key
// with fewer layouts than the keymap wraps round to one it has).
xkb_keysym_t firstLevelKeysym(xkb_keymap* keymap, xkb_state* state, xkb_keycode_t key) {
  const xkb_layout_index_t layout = xkb_state_key_get_layout(state, key);
  if (layout == XKB_LAYOUT_INVALID) return XKB_KEY_NoSymbol;
  const xkb_keysym_t* syms = nullptr;
  if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms) != 1) return XKB_KEY_NoSymbol;
  return syms[0];
}

bool someKeyTypes(xkb_keymap* keymap, xkb_state* state, xkb_keysym_t wanted) {
  const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
  for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key)
    if (firstLevelKeysym(keymap, state, key) == wanted) return true;
  return false;
}

}  // namespace

unsigned usKeycodeOfLetter(unsigned virtualKey) {
  return isLetterKey(virtualKey) ? kLetterScanCodes[virtualKey - 'A'] + kKeycodeOffset : 0;
}

char32_t letterKeyCharacter(xkb_keymap* keymap, xkb_state* state, unsigned virtualKey) {
  if (!isLetterKey(virtualKey)) return 0;
  // The letter's own key types the letter, wherever the layout puts it.
  const xkb_keysym_t letter = XKB_KEY_a + (virtualKey - 'A');
  if (someKeyTypes(keymap, state, letter)) return xkb_keysym_to_utf32(letter);
  const xkb_keysym_t placed = firstLevelKeysym(keymap, state, usKeycodeOfLetter(virtualKey));
  return placed == XKB_KEY_NoSymbol ? 0 : xkb_keysym_to_utf32(placed);
}

}  // namespace platform
