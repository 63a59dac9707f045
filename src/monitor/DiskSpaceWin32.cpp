// The disk-space query through GetDiskFreeSpaceExW. Critical-error boxes are
// switched off for the calling thread around it, so that an empty floppy or
// card reader answers "no medium" at once instead of asking the user.
#include <windows.h>

#include <memory>

#include "core/CodePage.h"
#include "monitor/DiskSpaceWin32.h"

namespace {

struct Figures {
  std::int64_t totalKb = -1;
  std::int64_t freeKb = -1;
};

Figures query(const Text& root) {
  std::u16string utf16 = CodePage::gbkToUtf16(root);
  if (utf16.empty()) return {};
  DWORD previous = 0;
  BOOL quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
  ULARGE_INTEGER freeToCaller{}, total{};
  BOOL ok = GetDiskFreeSpaceExW(reinterpret_cast<const wchar_t*>(utf16.c_str()), &freeToCaller,
                                &total, nullptr);
  if (quiet) SetThreadErrorMode(previous, nullptr);
  if (!ok) return {};
  return {static_cast<std::int64_t>(total.QuadPart / 1024),
          static_cast<std::int64_t>(freeToCaller.QuadPart / 1024)};
}

class Win32DiskSpace final : public DiskSpace {
 public:
  std::int64_t totalKb(const Text& root) override { return query(root).totalKb; }
  std::int64_t freeKb(const Text& root) override { return query(root).freeKb; }
};

}  // namespace

std::unique_ptr<DiskSpace> makeWin32DiskSpace() { return std::make_unique<Win32DiskSpace>(); }
