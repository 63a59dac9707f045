// The file system on Windows: W functions, paths converted from GBK with code
// page 936 (never the system's ANSI code page).
#include <windows.h>

#include <algorithm>
#include <string>
#include "core/CodePage.h"

#include "core/FileSystem.h"

namespace {

std::wstring widePath(const Text& path) {
  std::u16string utf16 = CodePage::gbkToUtf16(path);
  return std::wstring(utf16.begin(), utf16.end());
}

class Win32HeldFile final : public HeldFile {
 public:
  explicit Win32HeldFile(HANDLE handle) : handle_(handle) {}
  ~Win32HeldFile() override { CloseHandle(handle_); }
  Win32HeldFile(const Win32HeldFile&) = delete;
  Win32HeldFile& operator=(const Win32HeldFile&) = delete;

 private:
  HANDLE handle_;
};

bool writeAll(HANDLE file, const ByteBlob& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

class Win32FileSystem final : public FileSystem {
 public:
  bool exists(const Text& path) override {
    return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool remove(const Text& path) override { return DeleteFileW(widePath(path).c_str()) != 0; }

  std::shared_ptr<HeldFile> createHeld(const Text& path) override {
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_shared<Win32HeldFile>(file);
  }

  bool writeWholeFile(const Text& path, const ByteBlob& bytes) override {
    std::wstring target = widePath(path);
    std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    CloseHandle(file);
    if (written && MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    DeleteFileW(temp.c_str());
    return false;
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static Win32FileSystem files;
  return files;
}
