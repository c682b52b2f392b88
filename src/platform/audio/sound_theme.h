// The desktop's event sounds as the freedesktop sound theme lays them out: a theme is a folder
// "sounds/<theme>" under one of the XDG data folders, with an index.theme naming its sound
// folders and the themes it inherits; a sound is a file named after its event ("menu-click.oga").
#pragma once

#include <string>

namespace platform {

// The sound theme the desktop is set to (gtk-sound-theme-name of the user's GTK settings), else
// "freedesktop".
std::string desktopSoundTheme();

// The file of an event sound in `theme`, the themes it inherits and "freedesktop", in that order,
// then outside any theme; a name not found is tried without its last "-part" ("menu-click", then
// "menu"). Empty when no theme has it, or the theme turns the sound off ("<event>.disabled").
std::string findThemeSound(const std::string& eventId, const std::string& theme);

}  // namespace platform
