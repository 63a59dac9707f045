// An icon handle from the bytes of a .ico file.
#include "shell/ui/Win32Window.h"

#include <cstring>
#include <vector>

namespace ui::win32 {

namespace {

std::uint16_t word(const ByteBlob& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t dword(const ByteBlob& b, std::size_t at) {
  return static_cast<std::uint32_t>(word(b, at)) |
         (static_cast<std::uint32_t>(word(b, at + 2)) << 16);
}

constexpr std::size_t kHeader = 6;       // reserved, type, count
constexpr std::size_t kFileEntry = 16;   // ... bytes in image, offset in file
constexpr std::size_t kGroupEntry = 14;  // ... bytes in image, resource number

}  // namespace

HICON iconFromIco(const ByteBlob& ico, int size) {
  if (ico.size() < kHeader || word(ico, 0) != 0 || word(ico, 2) != 1) return nullptr;
  const std::size_t count = word(ico, 4);
  if (count == 0 || ico.size() < kHeader + count * kFileEntry) return nullptr;

  // LookupIconIdFromDirectoryEx reads the resource form of the directory,
  // which numbers the images where the file gives their offsets; it then
  // picks the image that suits the size and the display best.
  std::vector<BYTE> group(kHeader + count * kGroupEntry);
  std::memcpy(group.data(), ico.data(), kHeader);
  for (std::size_t i = 0; i < count; ++i) {
    BYTE* entry = group.data() + kHeader + i * kGroupEntry;
    std::memcpy(entry, ico.data() + kHeader + i * kFileEntry, 12);
    const std::uint16_t number = static_cast<std::uint16_t>(i + 1);
    std::memcpy(entry + 12, &number, 2);
  }
  const int chosen = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
  if (chosen < 1 || static_cast<std::size_t>(chosen) > count) return nullptr;

  const std::size_t entry = kHeader + static_cast<std::size_t>(chosen - 1) * kFileEntry;
  const std::size_t bytes = dword(ico, entry + 8);
  const std::size_t offset = dword(ico, entry + 12);
  if (bytes == 0 || offset > ico.size() || bytes > ico.size() - offset) return nullptr;
  std::vector<BYTE> image(ico.begin() + static_cast<std::ptrdiff_t>(offset),
                          ico.begin() + static_cast<std::ptrdiff_t>(offset + bytes));
  return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                  size, size, LR_DEFAULTCOLOR);
}

}  // namespace ui::win32
