// The Win32 file system on real files: a held lock file cannot be deleted but
// can still be opened by others for reading and writing; GBK paths become the
// UTF-16 of code page 936. (Whole-file writes: WholeFileWrite*Test.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/CodePage.h"
#include "core/FileSystem.h"
#include "support/ScratchDirectory.h"

namespace {

std::wstring wide(const Text& gbk) {
  std::u16string utf16 = CodePage::gbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

HANDLE open(const Text& path, DWORD access, DWORD share) {
  return CreateFileW(wide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

ByteBlob readAll(const Text& path) {
  HANDLE file = open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (file == INVALID_HANDLE_VALUE) return {};
  ByteBlob bytes(1 << 16);
  DWORD n = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(file);
  bytes.resize(n);
  return bytes;
}

class FileSystemWin32Test : public ::testing::Test {
 protected:
  ScratchDirectory dir;
  FileSystem& files = systemFileSystem();
  void SetUp() override { ASSERT_TRUE(dir.ok()); }
};

TEST_F(FileSystemWin32Test, HeldFileCannotBeDeletedButOthersMayReadAndWriteIt) {
  const Text path = dir.child("lock.tmp");
  std::shared_ptr<HeldFile> held = files.createHeld(path);
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(files.exists(path));

  EXPECT_FALSE(files.remove(path));
  EXPECT_FALSE(DeleteFileW(wide(path).c_str()));
  EXPECT_EQ(open(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(path, GENERIC_READ, 0), INVALID_HANDLE_VALUE);  // nobody gets it exclusively

  HANDLE other = open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(other, "x", 1, &written, nullptr));
  CloseHandle(other);
  EXPECT_TRUE(files.exists(path));

  held.reset();  // as when the process ends
  EXPECT_TRUE(files.remove(path));
  EXPECT_FALSE(files.exists(path));
}

TEST_F(FileSystemWin32Test, CreateHeldEmptiesAnExistingFileAndFailsWithoutItsFolder) {
  const Text path = dir.child("lock.tmp");
  ASSERT_TRUE(files.writeWholeFile(path, blobFromText("old content")));
  std::shared_ptr<HeldFile> held = files.createHeld(path);
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(readAll(path).empty());

  EXPECT_EQ(files.createHeld(dir.child("missing/lock.tmp")), nullptr);
  EXPECT_FALSE(files.remove(dir.child("missing.tmp")));
}

// GBK paths reach the system as the UTF-16 of code page 936. Wine maps names
// to Unix through the locale of LC_ALL; without that locale installed it takes
// no Chinese names at all, which the probe finds out.
TEST_F(FileSystemWin32Test, GbkNamesReachTheSystemAsTheirUtf16) {
  const std::u16string probe = CodePage::gbkToUtf16(dir.path()) + u"\\探测";
  if (!CreateDirectoryW(std::wstring(probe.begin(), probe.end()).c_str(), nullptr))
    GTEST_SKIP() << "the file system here takes no Chinese names";

  const Text path = dir.child("锁定.tmp");
  std::shared_ptr<HeldFile> held = files.createHeld(path);
  ASSERT_NE(held, nullptr);
  const std::u16string name = CodePage::gbkToUtf16(dir.path()) + u"\\锁定.tmp";
  EXPECT_NE(GetFileAttributesW(std::wstring(name.begin(), name.end()).c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(files.exists(path));
  EXPECT_FALSE(files.remove(path));
  held.reset();
  EXPECT_TRUE(files.remove(path));

  const Text exported = dir.child("探测/导出配置.txt");
  ASSERT_TRUE(files.writeWholeFile(exported, blobFromText("验证用户：")));
  EXPECT_EQ(readAll(exported), blobFromText("验证用户："));
}

}  // namespace
