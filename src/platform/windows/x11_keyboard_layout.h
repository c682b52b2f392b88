// The desktop's keyboard layout read from the X server the application runs on.
#pragma once

#include <optional>

namespace platform {

// What the X server's current keyboard layout types on the key of the letter virtual key 'A' to
// 'Z' (0 when that key types no character, and for any other key); nothing when the application
// does not run on an X server or the server's keyboard cannot be read.
std::optional<char32_t> x11LetterKeyCharacter(unsigned virtualKey);

}  // namespace platform
