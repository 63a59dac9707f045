// Narrow literals are compiled to GBK bytes; the other tests write Chinese
// text as it reads and rely on these byte values.
#include <gtest/gtest.h>

#include "core/Text.h"
#include "support/GbkPrint.h"

namespace {

struct Literal {
  Text compiled;
  Text bytes;
};

TEST(GbkLiteral, NarrowLiteralsAreGbkBytes) {
  const Literal kLiterals[] = {
      {"中文", "\xD6\xD0\xCE\xC4"},
      {"形", "\xD0\xCE"},
      {"　", "\xA1\xA1"},  // full-width space
      {"１－．", "\xA3\xB1\xA3\xAD\xA3\xAE"},
      {"#引号", "#\xD2\xFD\xBA\xC5"},
      {"统计:", "\xCD\xB3\xBC\xC6:"},
      // Characters whose second byte is an ASCII letter.
      {"丄乤", "\x81\x41\x81\x61"},
      {"乵丳", "\x81\x6D\x81\x50"},
  };
  for (const Literal& literal : kLiterals) {
    EXPECT_EQ(hexBytes(literal.compiled), hexBytes(literal.bytes));
  }
}

}  // namespace
