#include "platform/windows/x11_keyboard_layout.h"

#include "platform/windows/xkb_letter_keys.h"

#include <QGuiApplication>
#include <mutex>
#include <xkbcommon/xkbcommon-x11.h>

namespace platform {

namespace {

// The X server's core keyboard, found once for each connection.
struct X11Keyboard {
  xcb_connection_t* connection = nullptr;
  int32_t device = -1;  // -1: the server's keyboard cannot be read
  XkbContextPtr context;
};

std::mutex g_lock;

xcb_connection_t* applicationConnection() {
  if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

X11Keyboard& keyboardOf(xcb_connection_t* connection) {
  static X11Keyboard keyboard;
  if (keyboard.connection == connection) return keyboard;
  keyboard = {};
  keyboard.connection = connection;
  if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
    return keyboard;
  keyboard.context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (keyboard.context) keyboard.device = xkb_x11_get_core_keyboard_device_id(connection);
  return keyboard;
}

}  // namespace

std::optional<char32_t> x11LetterKeyCharacter(unsigned virtualKey) {
  xcb_connection_t* connection = applicationConnection();
  if (!connection) return std::nullopt;
  std::lock_guard hold(g_lock);
  X11Keyboard& keyboard = keyboardOf(connection);
  if (keyboard.device == -1) return std::nullopt;
  // Read afresh each time (a fraction of a millisecond, once per key press): the user may have
  // switched the layout, or loaded another keymap, since the last call.
  const XkbKeymapPtr keymap(xkb_x11_keymap_new_from_device(keyboard.context.get(), connection, keyboard.device,
                                                           XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return std::nullopt;
  const XkbStatePtr state(xkb_x11_state_new_from_device(keymap.get(), connection, keyboard.device));
  if (!state) return std::nullopt;
  return letterKeyCharacter(keymap.get(), state.get(), virtualKey);
}

}  // namespace platform
