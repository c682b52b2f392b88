// Letter keys read from keymaps compiled from the layout names, as an X server would hand them
// over; the keymap data is the system's (xkb-data), so a machine without it fails here.
#include "platform/windows/x11_keyboard_layout.h"
#include "platform/windows/xkb_letter_keys.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class XkbLetterKeys : public ::testing::Test {
 protected:
  // A keymap of the pc105 keyboard with these layouts, the state in its first layout.
  void load(const char* layouts) {
    const xkb_rule_names names{"evdev", "pc105", layouts, nullptr, nullptr};
    keymap.reset(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    ASSERT_TRUE(keymap) << "no keymap for layouts \"" << layouts << "\": is xkb-data installed?";
    state.reset(xkb_state_new(keymap.get()));
    ASSERT_TRUE(state);
  }
  void holdShiftLockCapsAndSwitchTo(xkb_layout_index_t layout) {
    const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t caps = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CAPS);
    xkb_state_update_mask(state.get(), shift, 0, caps, 0, 0, layout);
  }
  char32_t letter(unsigned virtualKey) { return letterKeyCharacter(keymap.get(), state.get(), virtualKey); }

  XkbContextPtr context{xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES)};
  XkbKeymapPtr keymap;
  XkbStatePtr state;
};

}  // namespace

TEST_F(XkbLetterKeys, AUsLayoutTypesEachLetterOnItsOwnKey) {
  ASSERT_NO_FATAL_FAILURE(load("us"));
  EXPECT_EQ(letter('A'), U'a');
  EXPECT_EQ(letter('Z'), U'z');
  EXPECT_EQ(letter('1'), 0u);
  EXPECT_EQ(letter(0x60), 0u);
  EXPECT_EQ(usKeycodeOfLetter('A'), 38u);
  EXPECT_EQ(usKeycodeOfLetter('Q'), 24u);
  EXPECT_EQ(usKeycodeOfLetter('['), 0u);
}

TEST_F(XkbLetterKeys, ALatinLayoutKeepsEachLetterWhereverItsKeyIs) {
  ASSERT_NO_FATAL_FAILURE(load("fr"));
  // AZERTY: the key at the US layout's Q types a, the one at A types q, M sits where ; is.
  EXPECT_EQ(letter('A'), U'a');
  EXPECT_EQ(letter('Q'), U'q');
  EXPECT_EQ(letter('M'), U'm');
  EXPECT_EQ(letter('W'), U'w');
}

TEST_F(XkbLetterKeys, ALayoutWithoutLatinLettersAnswersFromTheUsPlaces) {
  ASSERT_NO_FATAL_FAILURE(load("ru"));
  EXPECT_EQ(letter('A'), U'ф');
  EXPECT_EQ(letter('Q'), U'й');
  EXPECT_EQ(letter('M'), U'ь');
}

TEST_F(XkbLetterKeys, TheActiveLayoutAnswersAndModifiersDoNot) {
  ASSERT_NO_FATAL_FAILURE(load("us,ru"));
  EXPECT_EQ(letter('A'), U'a');
  xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(letter('A'), U'ф');
  EXPECT_EQ(letter('Z'), U'я');
  holdShiftLockCapsAndSwitchTo(1);
  EXPECT_EQ(letter('A'), U'ф');
  holdShiftLockCapsAndSwitchTo(0);
  EXPECT_EQ(letter('A'), U'a');
}

TEST(X11KeyboardLayout, AnApplicationOffTheXServerHasNoneToRead) {
  EXPECT_FALSE(x11LetterKeyCharacter('A').has_value());
}
