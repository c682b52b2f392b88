// Where the program and the user's files live.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The executable's folder, without a trailing "/". Tests point it at the build's program folder.
std::wstring programFolder();
// The executable itself.
std::wstring programPath();

// The user's private runtime folder of the program ($XDG_RUNTIME_DIR/kelvara, else
// /tmp/kelvara-<uid>): lock files and local sockets live there. Not created here.
std::string runtimeFolder();
// The runtime folder made if missing and checked: nothing (with a trace line) when it is not a
// folder of this user's, since /tmp is open to every user and a planted folder could take over
// our locks and sockets. A folder of ours that others may enter is closed to them first.
std::optional<std::string> privateRuntimeFolder();

// The shell folders the program asks for, numbered as the original platform numbers them.
enum class SpecialFolder { Desktop = 0, Documents = 5 };
// Nothing when the user's home is unknown.
std::optional<std::wstring> specialFolder(SpecialFolder which);

// The program's folder among the user's data files ($XDG_DATA_HOME/kelvara, by default
// ~/.local/share/kelvara), without a trailing "/": what the program writes beside the database
// lives there, since the program folder is only read. Nothing when the user's home is unknown.
// Not created here.
std::optional<std::wstring> userDataFolder();

// Replaces the program folder until the guard goes (tests only).
class ProgramFolderOverride {
 public:
  explicit ProgramFolderOverride(std::wstring folder);
  ~ProgramFolderOverride();
  ProgramFolderOverride(const ProgramFolderOverride&) = delete;
  ProgramFolderOverride& operator=(const ProgramFolderOverride&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

}  // namespace platform
