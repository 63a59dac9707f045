// The queue directory through the wide-character find functions: the GBK
// pattern becomes UTF-16 with code page 936, and the basic information level
// with large fetches keeps the listing of a big queue as short as the system
// allows (no short names are built, entries come in large batches).
// Critical-error boxes are switched off for the calling thread around the
// search, so that a path on a drive without a medium counts 0 at once instead
// of holding the pass on a "no disk" box.
#include <windows.h>

#include <memory>

#include "core/CodePage.h"
#include "monitor/QueueDirectory.h"

namespace {

class Win32QueueDirectory final : public QueueDirectory {
 public:
  std::int64_t countFiles(const Text& pattern) override {
    std::u16string utf16 = CodePage::gbkToUtf16(pattern);
    if (utf16.empty()) return 0;
    auto* wide = reinterpret_cast<const wchar_t*>(utf16.c_str());
    DWORD previous = 0;
    BOOL quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    std::int64_t count = list(wide);
    if (quiet) SetThreadErrorMode(previous, nullptr);
    return count;
  }

 private:
  static std::int64_t list(const wchar_t* pattern) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileExW(pattern, FindExInfoBasic, &entry, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    // Systems before Windows 7 refuse the flags; the plain search then does.
    if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
      search = FindFirstFileW(pattern, &entry);
    }
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::int64_t count = 0;
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return count;
  }
};

}  // namespace

std::unique_ptr<QueueDirectory> makeSystemQueueDirectory() {
  return std::make_unique<Win32QueueDirectory>();
}
