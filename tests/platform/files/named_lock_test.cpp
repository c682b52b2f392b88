#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/files/named_lock.h"
#include "scoped_env.h"

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

TEST(NamedLock, OnlyAFolderOfThisUsersHoldsTheLocks) {
  QTemporaryDir runtime;
  testenv::ScopedEnv env("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
  const std::string folder = runtime.filePath("kelvara").toStdString();

  // Made by an earlier run with a loose mask: closed to others before a lock goes in.
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
  EXPECT_TRUE(NamedLock().tryLock(L"Kelvara"));
  struct stat info;
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // Planted as a link to somewhere else.
  ASSERT_TRUE(QDir(runtime.filePath("kelvara")).removeRecursively());
  ASSERT_TRUE(QDir().mkpath(runtime.filePath("elsewhere")));
  ASSERT_EQ(::symlink(runtime.filePath("elsewhere").toUtf8().constData(), folder.c_str()), 0);
  EXPECT_FALSE(NamedLock().tryLock(L"Kelvara"));
  EXPECT_TRUE(QDir(runtime.filePath("elsewhere")).isEmpty());

  // Planted by another user (only root can hand a folder to someone else).
  if (::geteuid() == 0) {
    ASSERT_EQ(::unlink(folder.c_str()), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(NamedLock().tryLock(L"Kelvara"));
  }
}
