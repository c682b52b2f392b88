// The program's arguments, used only to run one study unattended, as the desktop shortcuts
// write them: /Autorun=20 /je4 /s "英単語/基本".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CNoticeBox;

class CommandLineOptions {
 public:
  virtual ~CommandLineOptions() = default;

  // Reads the process's arguments (program name first); always true.
  bool parseCommandLine();
  bool parseCommandLine(const std::vector<std::wstring>& arguments);

  int32_t mode = 0;     // study mode 0..6 of the autorun study
  bool autorun = false;
  std::wstring path;    // the problem set's slash-separated path
  int32_t count = 0;    // questions of the autorun study
  bool valid = false;   // "/s" was given
};

// -1, 0 or 1: character by character after towlower, then by length.
int CompareWStringNoCase(const std::wstring& a, const std::wstring& b);

// Start-up's use of the arguments (program name first): without further arguments the program
// starts normally; otherwise they are parsed into options, and a list without an autorun switch,
// "/s" and a path is refused with its message (an "Error" box for a missing path, else the
// notice). True when the program may start.
bool acceptCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options, CNoticeBox& notice);
