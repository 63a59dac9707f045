// A whole-file write on Windows that cannot complete: the file that may not be
// replaced keeps its old bytes, and the temporary file beside it is removed.
// (A read-only target would be another such case on Windows; Wine replaces it.)
#include <gtest/gtest.h>
#include <windows.h>

#include "core/FileSystem.h"
#include "support/ScratchDirectory.h"

namespace {

std::wstring wide(const Text& gbk) {
  std::u16string w = CodePage::gbkToUtf16(gbk);
  return std::wstring(w.begin(), w.end());
}

ByteBlob readAll(const Text& path) {
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ByteBlob bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  std::uint8_t buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  CloseHandle(file);
  return bytes;
}

int entryCount(const Text& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((wide(folder) + L"\\*").c_str(), &entry);
  int n = 0;
  if (search == INVALID_HANDLE_VALUE) return n;
  do {
    std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") ++n;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return n;
}

TEST(WholeFileWriteWin32, FileHeldOpenWithoutDeleteSharingKeepsItsBytes) {
  ScratchDirectory dir;
  ASSERT_TRUE(dir.ok());
  FileSystem& files = systemFileSystem();
  const Text path = dir.child("QuenthorExport.txt");
  const ByteBlob old = blobFromText("旧的导出内容");
  ASSERT_TRUE(files.writeWholeFile(path, old));
  // Another program reading the file, as an editor does.
  HANDLE held = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.writeWholeFile(path, blobFromText("新的内容，更长一些")));
  CloseHandle(held);
  EXPECT_EQ(readAll(path), old);
  EXPECT_EQ(entryCount(dir.path()), 1);  // no temporary file left
}

}  // namespace
