#include "test_env.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>

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

namespace {

// The calling thread's own capabilities (pid 0), not the process's.
__user_cap_header_struct thisThread() { return {_LINUX_CAPABILITY_VERSION_3, 0}; }

}  // namespace

PermissionsApply::PermissionsApply() {
  __user_cap_header_struct header = thisThread();
  // Without the thread's own capabilities to go back to, none are changed: the test fails here
  // instead of testing nothing, and the thread keeps what it has.
  if (::syscall(SYS_capget, &header, saved_) != 0) {
    ADD_FAILURE() << "capget: " << std::strerror(errno) << ": permissions are not applied";
    return;
  }
  __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
  std::copy(std::begin(saved_), std::end(saved_), std::begin(lowered));
  lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
  if (::syscall(SYS_capset, &header, lowered) != 0) {
    ADD_FAILURE() << "capset: " << std::strerror(errno) << ": permissions are not applied";
    return;
  }
  lowered_ = true;
}

PermissionsApply::~PermissionsApply() {
  if (!lowered_) return;
  __user_cap_header_struct header = thisThread();
  if (::syscall(SYS_capset, &header, saved_) != 0)
    ADD_FAILURE() << "capset: " << std::strerror(errno) << ": the thread's capabilities are not given back";
}

}  // namespace testenv
