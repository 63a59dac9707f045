// Whole-file writes of the platform's file system on real files: the new
// content exactly, the old content never left half replaced, no temporary
// file left behind.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "core/FileSystem.h"
#include "support/GbkPrint.h"
#include "support/ScratchDirectory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace {

// The bytes of a file, read back by the platform's own means.
ByteBlob readAll(const Text& path) {
#ifdef _WIN32
  std::u16string w = CodePage::gbkToUtf16(path);
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(w.c_str()), GENERIC_READ,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ByteBlob bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  std::uint8_t buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  CloseHandle(file);
  return bytes;
#else
  std::ifstream in(CodePage::gbkToUtf8(path), std::ios::binary);
  return ByteBlob(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
#endif
}

// The names in a folder (GBK).
std::set<Text> listNames(const Text& folder) {
  std::set<Text> names;
#ifdef _WIN32
  std::u16string pattern = CodePage::gbkToUtf16(folder + "\\*");
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::u16string name(reinterpret_cast<const char16_t*>(entry.cFileName));
    if (name != u"." && name != u"..") names.insert(CodePage::utf16ToGbk(name));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
#else
  if (DIR* dir = opendir(CodePage::gbkToUtf8(folder).c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(CodePage::utf8ToGbk(name));
    }
    closedir(dir);
  }
#endif
  return names;
}

TEST(WholeFileWrite, CreatesAndReplacesWithExactlyTheNewBytes) {
  ScratchDirectory dir;
  ASSERT_TRUE(dir.ok());
  FileSystem& files = systemFileSystem();
  const Text path = dir.child("QuenthorExport.txt");
  const ByteBlob first = blobFromText("验证用户：管理员\r\n\r\n密码：很长的旧内容很长的旧内容");
  const ByteBlob second = blobFromText("验证用户：新");

  ASSERT_TRUE(files.writeWholeFile(path, first));
  EXPECT_EQ(readAll(path), first);
  // A shorter text leaves nothing of the longer old one behind.
  ASSERT_TRUE(files.writeWholeFile(path, second));
  EXPECT_EQ(readAll(path), second);
  ASSERT_TRUE(files.writeWholeFile(path, ByteBlob()));
  EXPECT_TRUE(readAll(path).empty());
  EXPECT_TRUE(files.exists(path));
  EXPECT_EQ(listNames(dir.path()), std::set<Text>{"QuenthorExport.txt"});
}

TEST(WholeFileWrite, MissingFolderFailsAndCreatesNothing) {
  ScratchDirectory dir;
  ASSERT_TRUE(dir.ok());
  EXPECT_FALSE(
      systemFileSystem().writeWholeFile(dir.child("missing/settings.txt"), blobFromText("x")));
  EXPECT_TRUE(listNames(dir.path()).empty());
}

}  // namespace
