#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "platform/files/file_system.h"

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
