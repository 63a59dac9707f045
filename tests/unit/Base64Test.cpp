// Base64 as mail bodies, encoded words and AUTH carry it.
#include <gtest/gtest.h>

#include "monitor/mail/Base64.h"

namespace {

TEST(Base64, EncodesTheRfc4648Vectors) {
  const struct {
    Text in, out;
  } kVectors[] = {{"", ""},
                  {"f", "Zg=="},
                  {"fo", "Zm8="},
                  {"foo", "Zm9v"},
                  {"foob", "Zm9vYg=="},
                  {"fooba", "Zm9vYmE="},
                  {"foobar", "Zm9vYmFy"}};
  for (const auto& v : kVectors) EXPECT_EQ(Base64::encode(v.in), v.out) << v.in;
}

TEST(Base64, EncodesEveryByteValue) {
  // Bytes above 0x7F (GBK) must not be sign-extended into the index.
  EXPECT_EQ(Base64::encode(Text("\xFF\xFE\xFD", 3)), "//79");
  EXPECT_EQ(Base64::encode(Text("\0\0\0", 3)), "AAAA");
  EXPECT_EQ(Base64::encode("\xD6\xD0\xCE\xC4"), "1tDOxA==");
  EXPECT_EQ(Base64::encode(Text("\0user\0pass", 10)), "AHVzZXIAcGFzcw==");
}

TEST(Base64, CutsLinesOfTheGivenLength) {
  const Text bytes(100, 'x');  // 136 characters encoded
  const Text lines = Base64::encodeLines(bytes, 76);
  const std::size_t first = lines.find("\r\n");
  ASSERT_EQ(first, 76u);
  EXPECT_EQ(lines.substr(first + 2).size(), 136u - 76u + 2u);
  EXPECT_EQ(lines.substr(lines.size() - 2), "\r\n");
  EXPECT_EQ(Base64::encodeLines("", 76), "");
  EXPECT_EQ(Base64::encodeLines(Text(57, 'y'), 76), Base64::encode(Text(57, 'y')) + "\r\n");
}

}  // namespace
