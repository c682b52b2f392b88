// Starting other programs from a command line written the original platform's way.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// A started program. Waiting is optional: one that is never waited for is reaped in the
// background when it ends, so that no finished child lingers.
class Process {
 public:
  explicit Process(pid_t pid) : pid_(pid) {}
  ~Process();
  Process(Process&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
  Process& operator=(Process&&) = delete;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Blocks until the program ends; its exit code, or -1 when it was killed by a signal.
  int wait();

 private:
  pid_t pid_;
};

// The command line's words: the first (the program) ends at a blank outside double quotes; the
// arguments follow the original platform's rules for quotes and backslashes before quotes.
std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine);

// The program file a command line's first word names, searched as startProcess searches it;
// nothing when there is no such executable file.
std::optional<std::wstring> findProgram(const std::wstring& name);

// Starts the program the command line names, in the working folder (empty: the current one).
// A bare program name is looked for in the program folder, the current folder and then PATH;
// a name ending in ".exe" is also found without that ending. Nothing when it cannot start.
std::optional<Process> startProcess(const std::wstring& commandLine, const std::wstring& workingFolder);

}  // namespace platform
