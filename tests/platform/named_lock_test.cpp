#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/named_lock.h"

using namespace platform;

namespace {

// A second process that takes the lock, tells the parent whether it got it (one byte) and holds
// it until the parent writes to it or kills it.
class LockingChild {
 public:
  explicit LockingChild(const wchar_t* name) {
    int up[2], down[2];
    EXPECT_EQ(::pipe(up), 0);
    EXPECT_EQ(::pipe(down), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(up[0]);
      ::close(down[1]);
      NamedLock lock;
      const char got = lock.tryLock(name) ? '1' : '0';
      (void)!::write(up[1], &got, 1);
      char ignored;
      (void)!::read(down[0], &ignored, 1);
      ::_exit(0);
    }
    ::close(up[1]);
    ::close(down[0]);
    fromChild_ = up[0];
    toChild_ = down[1];
    char got = 0;
    EXPECT_EQ(::read(fromChild_, &got, 1), 1);
    gotLock_ = got == '1';
  }
  ~LockingChild() {
    ::close(toChild_);  // ends the child's wait if it still runs
    ::close(fromChild_);
    end();
  }
  bool gotLock() const { return gotLock_; }
  void crash() {
    ::kill(pid_, SIGKILL);
    end();
  }

 private:
  void end() {
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  pid_t pid_ = -1;
  int fromChild_ = -1, toChild_ = -1;
  bool gotLock_ = false;
};

}  // namespace

TEST(NamedLock, ASecondHolderInTheSameProcessIsRefused) {
  NamedLock first, second;
  ASSERT_TRUE(first.tryLock(L"USE_KLV_DATABASE"));
  EXPECT_FALSE(second.tryLock(L"USE_KLV_DATABASE"));
  EXPECT_TRUE(second.tryLock(L"use_klv_database"));  // names are case-sensitive, as the original's
  first.unlock();
  EXPECT_TRUE(NamedLock().tryLock(L"USE_KLV_DATABASE"));
}

TEST(NamedLock, NamesWithSeparatorsStayApart) {
  NamedLock a, b;
  ASSERT_TRUE(a.tryLock(L"Global\\x/y"));
  EXPECT_TRUE(b.tryLock(L"Global\\x%2Fy"));
  EXPECT_FALSE(NamedLock().tryLock(L"Global\\x/y"));
}

TEST(NamedLock, AnotherProcessIsRefusedWhileTheLockIsHeld) {
  NamedLock mine;
  ASSERT_TRUE(mine.tryLock(L"Kelvara"));
  EXPECT_FALSE(LockingChild(L"Kelvara").gotLock());
  mine.unlock();
  EXPECT_TRUE(LockingChild(L"Kelvara").gotLock());
}

TEST(NamedLock, AHolderThatCrashesFreesTheLock) {
  LockingChild holder(L"KlvEditor");
  ASSERT_TRUE(holder.gotLock());
  NamedLock mine;
  EXPECT_FALSE(mine.tryLock(L"KlvEditor"));
  holder.crash();
  EXPECT_TRUE(mine.tryLock(L"KlvEditor"));
}
