// The icon compiled into the program holds the 13 images the tray and the
// window need, each entry consistent with the image it points at.
#include "shell/ProgramIcon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

namespace {

std::uint32_t le(const ByteBlob& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
  return v;
}

std::uint32_t be32(const ByteBlob& b, std::size_t at) {
  return std::uint32_t{b.at(at)} << 24 | std::uint32_t{b.at(at + 1)} << 16 |
         std::uint32_t{b.at(at + 2)} << 8 | b.at(at + 3);
}

TEST(ProgramIconTest, ThirteenImagesOfTheRightSizesAndDepths) {
  const ByteBlob& ico = ProgramIcon::ico();
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(le(ico, 0, 2), 0u);
  EXPECT_EQ(le(ico, 2, 2), 1u);  // an icon, not a cursor
  const std::uint32_t count = le(ico, 4, 2);
  ASSERT_EQ(count, 13u);
  ASSERT_GE(ico.size(), 6u + 16 * count);

  using Image = std::tuple<int, int, bool>;  // size, bits per pixel, PNG
  std::vector<Image> found;
  for (std::uint32_t i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const std::size_t entry = 6 + 16 * i;
    const int size = ico[entry] == 0 ? 256 : ico[entry];
    EXPECT_EQ(ico[entry + 1], ico[entry]);  // square
    const int bits = static_cast<int>(le(ico, entry + 6, 2));
    EXPECT_EQ(ico[entry + 2], bits == 4 ? 16 : 0);  // colour count
    const std::uint32_t length = le(ico, entry + 8, 4);
    const std::uint32_t offset = le(ico, entry + 12, 4);
    ASSERT_LE(std::uint64_t{offset} + length, ico.size());

    const bool png = length >= 24 && be32(ico, offset) == 0x89504E47u;
    if (png) {
      EXPECT_EQ(be32(ico, offset + 16), static_cast<std::uint32_t>(size));
      EXPECT_EQ(be32(ico, offset + 20), static_cast<std::uint32_t>(size));
      EXPECT_EQ(ico.at(offset + 24), 8);  // 8 bits per channel
      EXPECT_EQ(ico.at(offset + 25), 6);  // RGBA
    } else {
      ASSERT_GE(length, 40u);
      EXPECT_EQ(le(ico, offset, 4), 40u);
      EXPECT_EQ(le(ico, offset + 4, 4), static_cast<std::uint32_t>(size));
      EXPECT_EQ(le(ico, offset + 8, 4), static_cast<std::uint32_t>(2 * size));  // with mask
      EXPECT_EQ(static_cast<int>(le(ico, offset + 14, 2)), bits);
      // Header, palette, colour rows and mask rows, each row padded to 4 bytes.
      const std::uint32_t palette = bits <= 8 ? 4u << bits : 0;
      const std::uint32_t colourRow = (size * bits + 31) / 32 * 4;
      const std::uint32_t maskRow = (size + 31) / 32 * 4;
      EXPECT_EQ(length, 40 + palette + (colourRow + maskRow) * size);
    }
    found.emplace_back(size, bits, png);
  }
  std::sort(found.begin(), found.end());
  std::vector<Image> expected;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) expected.emplace_back(size, 32, size == 256);
  for (int size : {16, 32, 48}) {
    expected.emplace_back(size, 8, false);
    expected.emplace_back(size, 4, false);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

}  // namespace
