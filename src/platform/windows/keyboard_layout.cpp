#include "platform/windows/keyboard_layout.h"

#include "platform/windows/x11_keyboard_layout.h"
#include "platform/windows/xkb_letter_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <map>
#include <mutex>

namespace platform {

namespace {

std::mutex g_lock;
std::map<unsigned, char32_t> g_typed;  // letter virtual key -> character

// The letter virtual key of a press: a key that types a Latin letter carries that letter, as the
// layout places it; any other key the letter of its place on the US layout.
unsigned letterKeyOf(const QKeyEvent& key) {
  if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) return static_cast<unsigned>(key.key());
  for (unsigned letter = 'A'; letter <= 'Z'; ++letter)
    if (usKeycodeOfLetter(letter) == key.nativeScanCode()) return letter;
  return 0;
}

class KeyPressWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) learn(*static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
  }

 private:
  static void learn(const QKeyEvent& key) {
    // With Ctrl or Alt the text is a control character or none: it says nothing of the layout.
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
    const QList<uint> text = key.text().toUcs4();
    if (text.size() != 1 || !QChar::isPrint(text.front())) return;
    const unsigned letter = letterKeyOf(key);
    if (letter == 0) return;
    std::lock_guard hold(g_lock);
    g_typed[letter] = static_cast<char32_t>(text.front());
  }
};

QPointer<KeyPressWatcher>& watcher() {
  static QPointer<KeyPressWatcher> instance;
  return instance;
}

}  // namespace

void watchKeyboardLayout() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || watcher()) return;
  // A child of the application: it goes with it.
  watcher() = new KeyPressWatcher(app);
  app->installEventFilter(watcher());
}

char32_t layoutCharacterOf(unsigned virtualKey) {
  if (virtualKey < 'A' || virtualKey > 'Z') return 0;
  if (const std::optional<char32_t> read = x11LetterKeyCharacter(virtualKey)) return *read;
  std::lock_guard hold(g_lock);
  const auto found = g_typed.find(virtualKey);
  return found == g_typed.end() ? 0 : found->second;
}

void forgetKeyboardLayout() {
  std::lock_guard hold(g_lock);
  g_typed.clear();
}

}  // namespace platform
