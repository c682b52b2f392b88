// The menu hash on real temporary files: replacing, removing, unknown handles, empty bars and a
// damaged file, with no file or descriptor left behind.
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/menus/popup_menu_bar.h"

#include "toolbar_test_support.h"

#include <QDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;

namespace {

int openDescriptors() { return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); }

int tempFilesNamedUxt() { return static_cast<int>(QDir::temp().entryList({QStringLiteral("UXT*")}).size()); }

// The descriptor of the hash's newest file, found through the process's open files.
int newestHashDescriptor() {
  int newest = -1;
  for (const QFileInfo& link : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
    if (link.symLinkTarget().contains(QStringLiteral("/UXT"))) newest = std::max(newest, link.fileName().toInt());
  return newest;
}

std::vector<unsigned> commandsOf(const CUxToolBar& bar) {
  std::vector<unsigned> ids;
  for (int i = 0; i < bar.GetCount(); ++i) ids.push_back(bar.GetButton(i)->m_nCommandId);
  return ids;
}

}  // namespace

class MenuHashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar = makeBar(&frame, 1);
    other = makeBar(&frame, 2, kOtherResource);
  }
  UxLibrary library;
  ScopedRegistry registry;
  TestFrame frame;
  CUxToolBar* bar = nullptr;
  CUxToolBar* other = nullptr;
  MenuHash hash;
  const MenuHandle menu{900001};
};

TEST_F(MenuHashTest, StoresReplacesAndRemovesListsWithoutLeavingFiles) {
  const int descriptors = openDescriptors();
  const std::vector<unsigned> first = commandsOf(*bar);
  ASSERT_TRUE(hash.SaveMenuBar(menu, bar));
  ASSERT_TRUE(hash.SaveMenuBar(menu, bar));
  // The second save replaced the first file; nothing is visible in the temporary folder.
  EXPECT_EQ(openDescriptors(), descriptors + 1);
  EXPECT_EQ(tempFilesNamedUxt(), 0);

  EXPECT_TRUE(hash.LoadMenuBar(menu, other));
  EXPECT_EQ(commandsOf(*other), first);

  // An empty bar is not stored and leaves the entry alone.
  CUxToolBar empty(&frame);
  empty.Create(&frame);
  EXPECT_FALSE(hash.SaveMenuBar(menu, &empty));
  EXPECT_TRUE(hash.Contains(menu));

  // Unknown handles change nothing.
  EXPECT_FALSE(hash.LoadMenuBar(MenuHandle{900002}, other));
  EXPECT_EQ(commandsOf(*other), first);
  EXPECT_FALSE(hash.RemoveMenu(MenuHandle{900002}));

  EXPECT_TRUE(hash.RemoveMenu(menu));
  EXPECT_FALSE(hash.Contains(menu));
  EXPECT_FALSE(hash.LoadMenuBar(menu, other));
  EXPECT_EQ(openDescriptors(), descriptors);
}

TEST_F(MenuHashTest, ADamagedFileLeavesTheBarAsItWasAndStaysStored) {
  ASSERT_TRUE(hash.SaveMenuBar(menu, bar));
  const int fd = newestHashDescriptor();
  ASSERT_GE(fd, 0);
  const std::vector<unsigned> before = commandsOf(*other);
  // Cut the list short behind the count: the items it promises are missing.
  ASSERT_EQ(ftruncate(fd, 3), 0);
  EXPECT_FALSE(hash.LoadMenuBar(menu, other));
  EXPECT_EQ(commandsOf(*other), before);
  EXPECT_TRUE(hash.Contains(menu));
}
