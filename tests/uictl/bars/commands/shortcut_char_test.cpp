// Shortcut letters as the keyboard layout types them: with the library's letter option on, a
// letter key stands for what the layout in use puts on it. Offscreen there is no X server's keymap
// to read, so the layout is the one learned from the presses these tests send.
#include "platform/windows/keyboard_layout.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A press of the key with this scan code that typed `text` (a key of no Latin letter).
void typeKey(QWidget& target, unsigned scanCode, const QString& text, Qt::KeyboardModifiers modifiers = {},
             int key = Qt::Key_unknown) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
  QApplication::sendEvent(&target, &press);
}

// The places of the US layout's A, S and Q as the windowing system numbers them.
constexpr unsigned kScanCodeA = 38, kScanCodeS = 39, kScanCodeQ = 24;

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
  typeKey(window, kScanCodeS, QStringLiteral("s"), {}, Qt::Key_S);  // the layout changed back
  EXPECT_EQ(TranslateShortcutChar('S'), unsigned('S'));
}

TEST_F(ShortcutCharTest, ALayoutOfLatinLettersKeepsEachLetterWhereverItsKeyIs) {
  SetTranslateShortcutLetters(true);
  // Where the US layout has Q, this layout has A: the letter key A is that key, and types a.
  typeKey(window, kScanCodeQ, QStringLiteral("a"), {}, Qt::Key_A);
  typeKey(window, kScanCodeA, QStringLiteral("q"), {}, Qt::Key_Q);
  EXPECT_EQ(TranslateShortcutChar('A'), unsigned('A'));
  EXPECT_EQ(TranslateShortcutChar('Q'), unsigned('Q'));
}
