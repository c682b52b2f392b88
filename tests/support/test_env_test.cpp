// The tests' own helpers, where a fault in them would let the tests they serve pass untested.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "test_env.h"

namespace {

// The calling thread's effective capabilities, as the kernel shows them.
std::string effectiveCapabilities() {
  std::ifstream status("/proc/thread-self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("CapEff:")) return line;
  return {};
}

// From here on the calling thread's capget fails, as in a sandbox that does not allow it.
bool refuseCapgetOnThisThread() {
  sock_filter program[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_capget, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

}  // namespace

// Where the thread's capabilities cannot be read, setting root's right past permissions aside
// fails the test, and the thread keeps all it has.
TEST(PermissionsApply, NeverChangesCapabilitiesItCouldNotRead) {
  std::thread([] {
    const std::string before = effectiveCapabilities();
    ASSERT_TRUE(refuseCapgetOnThisThread()) << std::strerror(errno);
    EXPECT_NONFATAL_FAILURE({ const testenv::PermissionsApply asAnyUser; }, "capget");
    EXPECT_EQ(effectiveCapabilities(), before);
  }).join();
}
