// The Win32 window layer under Wine: icons from .ico bytes, as the tray icon
// takes them.
#include "shell/ProgramIcon.h"
#include "win32/Win32TestSupport.h"

namespace {

SIZE iconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return SIZE{0, 0};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

TEST(Win32IconTest, ProgramIconGivesAnImageOfEachSize) {
  for (int size : {16, 24, 32, 48, 256}) {
    SCOPED_TRACE(size);
    HICON icon = ui::win32::iconFromIco(ProgramIcon::ico(), size);
    ASSERT_NE(icon, nullptr);
    SIZE got = iconSize(icon);
    EXPECT_EQ(got.cx, size);
    EXPECT_EQ(got.cy, size);
    DestroyIcon(icon);
  }
}

TEST(Win32IconTest, DamagedIcoBytesGiveNoIcon) {
  const ByteBlob& good = ProgramIcon::ico();
  ByteBlob badType = good;
  badType[2] = 2;                                 // a cursor file
  ByteBlob cut(good.begin(), good.begin() + 40);  // directory cut short
  ByteBlob pastEnd = good;                        // every image's offset beyond the end of the file
  const std::size_t count = good[4];
  for (std::size_t i = 0; i < count; ++i) pastEnd[6 + i * 16 + 15] = 0x7F;
  for (const ByteBlob& bytes : {ByteBlob{}, ByteBlob{0, 0, 1, 0}, badType, cut, pastEnd}) {
    EXPECT_EQ(ui::win32::iconFromIco(bytes, 16), nullptr);
  }
}

}  // namespace
