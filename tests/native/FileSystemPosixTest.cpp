// The native file system used by native tests: GBK paths with backslashes
// become UTF-8 paths with slashes; held files are created empty.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/CodePage.h"
#include "core/FileSystem.h"
#include "support/ScratchDirectory.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FileSystemPosixTest, GbkPathsWithBackslashesAndHeldFiles) {
  ScratchDirectory dir;
  ASSERT_TRUE(dir.ok());
  FileSystem& files = systemFileSystem();
  const Text path = dir.path() + "\\锁定.tmp";  // as the program builds paths
  const std::string native = CodePage::gbkToUtf8(dir.path() + "/锁定.tmp");

  ASSERT_TRUE(files.writeWholeFile(path, blobFromText("旧内容")));
  EXPECT_EQ(readFile(native), Text("旧内容"));  // the GBK bytes as written
  EXPECT_TRUE(files.exists(path));

  std::shared_ptr<HeldFile> held = files.createHeld(path);
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(readFile(native).empty());  // cut to length 0
  held.reset();
  EXPECT_TRUE(files.remove(path));
  EXPECT_FALSE(files.exists(path));
  EXPECT_FALSE(files.remove(path));
  EXPECT_EQ(files.createHeld(dir.path() + "\\missing\\lock.tmp"), nullptr);
}

}  // namespace
