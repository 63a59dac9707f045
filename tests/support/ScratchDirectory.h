// A fresh directory of real files for tests that list or query the platform,
// removed with everything in it at the end. Paths are GBK texts in the
// platform's own form ("C:\users\...\Temp\qt-..." on Windows, "/tmp/qt-..."
// natively); names may be Chinese.
#pragma once

#include <string>

#include "core/CodePage.h"
#include "core/Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <ftw.h>

#include <cstdio>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class ScratchDirectory {
 public:
#ifdef _WIN32
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif

  ScratchDirectory() {
#ifdef _WIN32
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp, n);
    for (unsigned i = 0; i < 1000 && path_.empty(); ++i) {
      std::wstring candidate =
          base + L"qt-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(i);
      if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = narrow(candidate);
    }
#else
    char name[] = "/tmp/qt-XXXXXX";
    if (mkdtemp(name) != nullptr) path_ = CodePage::utf8ToGbk(name);
#endif
  }
  ~ScratchDirectory() {
    if (!path_.empty()) removeTree(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool ok() const { return !path_.empty(); }
  const Text& path() const { return path_; }
  // path() + separator + the relative name (its separators as "/").
  Text child(const Text& relative) const {
    Text out = path_ + kSeparator;
    for (char c : relative) out += c == '/' ? kSeparator : c;
    return out;
  }

  static bool makeDirectory(const Text& path) {
#ifdef _WIN32
    return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
#else
    return mkdir(CodePage::gbkToUtf8(path).c_str(), 0755) == 0;
#endif
  }

  // An empty file; `hidden` also marks it hidden and system on Windows.
  static bool makeFile(const Text& path, bool hidden = false) {
#ifdef _WIN32
    DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0;
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
#else
    (void)hidden;
    int fd = open(CodePage::gbkToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    close(fd);
    return true;
#endif
  }

#ifdef _WIN32
  static bool hasHiddenAttribute(const Text& path) {
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  }
#endif

 private:
#ifdef _WIN32
  static std::wstring wide(const Text& gbk) {
    std::u16string utf16 = CodePage::gbkToUtf16(gbk);
    return std::wstring(utf16.begin(), utf16.end());
  }
  static Text narrow(const std::wstring& utf16) {
    return CodePage::utf16ToGbk(std::u16string(utf16.begin(), utf16.end()));
  }
  static void removeTree(const Text& path) { removeTree(wide(path)); }
  static void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = folder + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          removeTree(full);
        } else {
          SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(full.c_str());
        }
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }
#else
  static void removeTree(const Text& path) {
    nftw(
        CodePage::gbkToUtf8(path).c_str(),
        [](const char* name, const struct stat*, int, struct FTW*) { return ::remove(name); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
#endif

  Text path_;
};
