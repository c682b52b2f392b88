#include "test_env.h"

#include <csignal>
#include <cstdlib>

namespace testenv {
namespace {

std::string fromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string sourceDir() { return fromEnvironment("KELVARA_SOURCE_DIR"); }
std::string programDir() { return fromEnvironment("KELVARA_PROGRAM_DIR"); }
std::string processDir() { return fromEnvironment("KELVARA_TEST_PROCESS_DIR"); }
std::string homeDir() { return fromEnvironment("HOME"); }

FileSizeLimit::FileSizeLimit(size_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  ::getrlimit(RLIMIT_FSIZE, &saved_);
  rlimit limited = saved_;
  limited.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

}  // namespace testenv
