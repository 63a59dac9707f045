// The conversions at the platform boundary agree on both runtimes.
#include <gtest/gtest.h>

#include "core/CodePage.h"

namespace {

struct Case {
  const char* name;
  Text gbk;
  std::string utf8;
  std::u16string utf16;
};

const Case kCases[] = {
    {"empty", "", "", u""},
    {"ascii", "Quenthor 2.0\r\n", "Quenthor 2.0\r\n", u"Quenthor 2.0\r\n"},
    {"chinese", "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},
    {"full-width space and colon", "\xA1\xA1\xA3\xBA", "\xE3\x80\x80\xEF\xBC\x9A", u"\u3000\uFF1A"},
    {"euro sign of code page 936", "\x80", "\xE2\x82\xAC", u"\u20AC"},
};

TEST(CodePage, RoundTripsBetweenGbkUtf8AndUtf16) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CodePage::gbkToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(CodePage::utf8ToGbk(c.utf8), c.gbk);
    EXPECT_EQ(CodePage::gbkToUtf16(c.gbk), c.utf16);
    EXPECT_EQ(CodePage::utf16ToGbk(c.utf16), c.gbk);
    EXPECT_EQ(CodePage::utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(CodePage::utf16ToUtf8(c.utf16), c.utf8);
  }
}

TEST(CodePage, CharacterOutsideGbkBecomesQuestionMark) {
  // U+1F600 (an emoji, two UTF-16 units) has no GBK form; Windows writes one
  // "?" per unit.
  EXPECT_EQ(CodePage::utf8ToGbk("a\xF0\x9F\x98\x80z"), "a??z");
  EXPECT_EQ(CodePage::utf16ToGbk(u"\u0E01t\u0E01"), "?t?");
}

}  // namespace
