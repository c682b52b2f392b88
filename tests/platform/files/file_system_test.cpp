#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/files/file_system.h"
#include "test_env.h"

using namespace platform;

// Copies go through the kernel where it can, in pieces, and by read and write where it cannot:
// every size must arrive whole, over a longer file that was there before.
TEST(FileCopy, CopiesArriveWholeAtEverySize) {
  QTemporaryDir dir;
  const std::wstring from = dir.filePath("from").toStdWString(), to = dir.filePath("to").toStdWString();
  std::string longer(5 << 20, 'x');
  ASSERT_TRUE(writeFileAtomically(to, longer));
  for (size_t size : {size_t{0}, size_t{1}, size_t{65537}, (size_t{3} << 20) + 7}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    ASSERT_TRUE(writeFileAtomically(from, bytes));
    ASSERT_TRUE(copyFile(from, to, true)) << size;
    EXPECT_EQ(readFileBytes(to), bytes) << size;
  }
  EXPECT_FALSE(copyFile(from, to, false)) << "an existing copy is kept when asked to";
  EXPECT_FALSE(copyFile(dir.path().toStdWString(), to, true)) << "a folder is no file to copy";
}

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
