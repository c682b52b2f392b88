// libKlvLegacyLib.so: desktop shortcuts. The program hands over the shortcut's file, its
// description, the program to start and that program's arguments as one command line written
// the original platform's way; the shortcut is a desktop entry whose Exec gives the program the
// same arguments.
#include <dlfcn.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
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

// The program's icon, which the program folder holds beside this library; empty when it is not
// there. A shortcut shows it as the original platform shows its target program's icon.
std::string programIcon() {
  Dl_info self{};
  if (!::dladdr(reinterpret_cast<void*>(&programIcon), &self) || !self.dli_fname) return {};
  char folder[PATH_MAX];
  if (!::realpath(self.dli_fname, folder)) return {};
  std::string icon = folder;
  icon.erase(icon.rfind('/') + 1);
  icon += "kelvara.png";
  struct stat info {};
  return ::stat(icon.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? icon : std::string();
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
  const std::string name = shownName(linkFile);
  const std::string text =
      desktop_entry::applicationEntry(name, description ? description : "", target, words, programIcon());
  return desktop_entry::writeEntryFile(linkFile, text) ? 1 : 0;
}
