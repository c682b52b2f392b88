#include "desktop_entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace desktop_entry {

std::string escapeValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string quoteExecWord(const std::string& word) {
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

std::string applicationEntry(const std::string& name, const std::string& comment, const std::string& program,
                             const std::vector<std::string>& arguments, const std::string& icon) {
  std::string exec = quoteExecWord(program);
  for (const std::string& argument : arguments) exec += " " + quoteExecWord(argument);
  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  text += "Name=" + escapeValue(name) + "\n";
  if (!comment.empty()) text += "Comment=" + escapeValue(comment) + "\n";
  text += "Exec=" + escapeValue(exec) + "\nTerminal=false\n";
  if (!icon.empty()) text += "Icon=" + escapeValue(icon) + "\n";
  return text;
}

bool writeEntryFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool complete = written == text.size() && ::fchmod(fd, 0755) == 0 && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace desktop_entry
