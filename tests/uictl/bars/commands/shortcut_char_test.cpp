// Shortcut letters as the keyboard layout types them: with the library's letter option on, a
// letter key stands for what the layout in use puts on it.
#include "platform/windows/keyboard_layout.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A press of the key with this scan code that typed `text`.
void typeKey(QWidget& target, unsigned scanCode, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, modifiers, scanCode, 0, 0, text);
  QApplication::sendEvent(&target, &press);
}

constexpr unsigned kScanCodeA = 38, kScanCodeS = 39;  // as the windowing system numbers them

class ShortcutCharTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::forgetKeyboardLayout(); }
  void TearDown() override {
    SetTranslateShortcutLetters(false);
    platform::forgetKeyboardLayout();
  }
  UxLibrary library;
  QWidget window;
};

}  // namespace

TEST_F(ShortcutCharTest, LettersGoThroughTheLayoutOnlyWithTheOptionOn) {
  SetTranslateShortcutLetters(true);
  typeKey(window, kScanCodeA, QStringLiteral("ф"));
  EXPECT_EQ(TranslateShortcutChar('A'), 0x424u);  // Ф, made upper case
  // A key the layout has not typed yet, and keys that are not letters, stay as they are.
  EXPECT_EQ(TranslateShortcutChar('B'), unsigned('B'));
  EXPECT_EQ(TranslateShortcutChar(0x65), unsigned('5'));

  SetTranslateShortcutLetters(false);
  EXPECT_EQ(TranslateShortcutChar('A'), unsigned('A'));
}

TEST_F(ShortcutCharTest, OnlyPlainPrintableKeysTeachTheLayout) {
  SetTranslateShortcutLetters(true);
  typeKey(window, kScanCodeS, QStringLiteral("\x13"), Qt::ControlModifier);
  typeKey(window, kScanCodeS, QStringLiteral("ы"), Qt::AltModifier);
  EXPECT_EQ(TranslateShortcutChar('S'), unsigned('S'));
  typeKey(window, kScanCodeS, QStringLiteral("Ы"), Qt::ShiftModifier);
  EXPECT_EQ(TranslateShortcutChar('S'), 0x42Bu);
  typeKey(window, kScanCodeS, QStringLiteral("s"));  // the layout changed back
  EXPECT_EQ(TranslateShortcutChar('S'), unsigned('S'));
}
