// libKlvLegacyLib.so: desktop shortcuts. The program hands over the shortcut's file, its
// description, the program to start and that program's arguments as one command line written
// the original platform's way; the shortcut is a desktop entry whose Exec gives the program the
// same arguments.
#include <string>
#include <vector>

#include "desktop_entry.h"
#include "platform/command_line_words.h"

namespace {

// The file name without its folder and its last extension: the name the desktop shows.
std::string shownName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

// Texts in UTF-8. 1 when the file was written, else 0.
extern "C" __attribute__((visibility("default"))) unsigned char HDll_CreateLinkFile(const char* linkFile,
                                                                                   const char* description,
                                                                                   const char* target,
                                                                                   const char* arguments) {
  if (!linkFile || !*linkFile || !target || !*target) return 0;
  // The arguments are split as the tail of a command line, behind a program name of one letter.
  std::vector<std::string> words = platform::splitCommandLineWords(std::string("x ") + (arguments ? arguments : ""));
  words.erase(words.begin());
  const std::string text =
      desktop_entry::applicationEntry(shownName(linkFile), description ? description : "", target, words);
  return desktop_entry::writeEntryFile(linkFile, text) ? 1 : 0;
}
