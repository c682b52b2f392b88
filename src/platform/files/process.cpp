#include "platform/files/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/command_line_words.h"
#include "platform/files/folders.h"
#include "platform/text.h"
#include "platform/trace.h"

extern char** environ;

namespace platform {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> candidateNames(const std::string& name) {
  std::vector<std::string> names{name};
  if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".exe") == 0)
    names.push_back(name.substr(0, name.size() - 4));
  return names;
}

std::string currentFolder() {
  std::vector<char> buffer(256);
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// An absolute path, since the child changes its folder before the program is loaded.
std::optional<std::string> resolveProgram(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    const std::string path = name.front() == '/' ? name : currentFolder() + "/" + name;
    for (const std::string& candidate : candidateNames(path))
      if (isExecutableFile(candidate)) return candidate;
    return std::nullopt;
  }
  std::vector<std::string> folders{toUtf8(programFolder()), currentFolder()};
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest = path;
    while (!rest.empty()) {
      const size_t colon = rest.find(':');
      folders.emplace_back(rest.substr(0, colon));
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  for (const std::string& folder : folders)
    for (const std::string& candidate : candidateNames(name))
      if (!folder.empty() && isExecutableFile(folder + "/" + candidate)) return folder + "/" + candidate;
  return std::nullopt;
}

}  // namespace

Process::~Process() {
  if (pid_ > 0) std::thread([pid = pid_] { ::waitpid(pid, nullptr, 0); }).detach();
}

int Process::wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  pid_t done;
  do done = ::waitpid(pid_, &status, 0);
  while (done < 0 && errno == EINTR);
  pid_ = -1;
  return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine) {
  return splitCommandLineWords(commandLine);
}

std::optional<std::wstring> findProgram(const std::wstring& name) {
  const std::optional<std::string> program = resolveProgram(toUtf8(name));
  if (!program) return std::nullopt;
  return fromUtf8(*program);
}

std::optional<Process> startProcess(const std::wstring& commandLine, const std::wstring& workingFolder) {
  const std::vector<std::wstring> words = splitCommandLine(commandLine);
  if (words.empty()) return std::nullopt;
  const std::optional<std::string> program = resolveProgram(toUtf8(words.front()));
  if (!program) {
    traceError("process: %s not found\n", toUtf8(words.front()).c_str());
    return std::nullopt;
  }
  std::vector<std::string> arguments{*program};
  for (size_t i = 1; i < words.size(); ++i) arguments.push_back(toUtf8(words[i]));
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string folder = toUtf8(workingFolder);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = -1;
  const int error = ::posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    traceError("process: cannot start %s: %s\n", program->c_str(), std::strerror(error));
    return std::nullopt;
  }
  return Process(pid);
}

}  // namespace platform
