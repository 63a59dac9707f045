// Search, slice, replace, trim and marker operations on GBK text.
#include "web/TextOps.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/GbkPrint.h"

namespace {

// 中文 is D6 D0 CE C4; 形 is D0 CE, the middle two bytes of 中文.
// 丄 is 81 41 and 乤 is 81 61: their second bytes are 'A' and 'a'.

struct FindCase {
  Text text;
  Text sub;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(TextOps, FindReportsFirstMatchAtOrAfterStart) {
  const FindCase kCases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 5, false, 5},
      {"abcabc", "bc", 6, false, -1},
      {"abc", "a", 0, false, 1},
      {"abc", "a", -5, false, 1},
      {"abc", "c", 3, false, 3},
      {"abc", "c", 4, false, -1},
      {"abc", "abcd", 1, false, -1},
      {"abc", "", 1, false, 1},
      {"abc", "", 2, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      {"", "a", 1, false, -1},
      {"中文", "形", 1, false, -1},
      {"中文", "形", 1, true, -1},
      {"中文形", "形", 1, false, 5},
      {"中a", "a", 1, false, 3},
      {"Set-Cookie: a", "set-cookie", 1, false, -1},
      {"Set-Cookie: a", "set-cookie", 1, true, 1},
      {"x乤A", "乤a", 1, true, 2},
      {"乤", "丄", 1, true, -1},
  };
  for (const FindCase& c : kCases) {
    SCOPED_TRACE("text \"" + utf8(c.text) + "\" sub \"" + utf8(c.sub) + "\" start " +
                 std::to_string(c.start) + (c.ignoreCase ? " ignoring case" : ""));
    EXPECT_EQ(textFind(c.text, c.sub, c.start, c.ignoreCase), c.expected);
  }
}

struct FindLastCase {
  Text text;
  Text sub;
  std::optional<int> start;
  bool ignoreCase;
  int expected;
};

TEST(TextOps, FindLastReportsLastMatchWhollyBeforeStart) {
  const FindLastCase kCases[] = {
      {"abcabc", "bc", std::nullopt, false, 5},
      {"abcabc", "bc", 7, false, 5},
      {"abcabc", "bc", 100, false, 5},
      {"abcabc", "bc", 6, false, 2},  // the match at 5 ends at 6
      {"abcabc", "bc", 4, false, 2},
      {"abcabc", "bc", 3, false, -1},
      {"abcabc", "bc", 1, false, -1},
      {"abcabc", "bc", 0, false, -1},
      {"abcabc", "x", std::nullopt, false, -1},
      {"aaa", "aa", std::nullopt, false, 2},
      {"hostHOST", "host", std::nullopt, false, 1},
      {"hostHOST", "host", std::nullopt, true, 5},
      {"[::1]:8080", ":", std::nullopt, false, 6},
      {"中文中文", "形", std::nullopt, false, -1},
      {"形中形文", "形", std::nullopt, false, 5},
      {"abc", "", std::nullopt, false, 1},
      {"abc", "", 2, false, 1},
      {"abc", "", 1, false, -1},
      {"", "", std::nullopt, false, -1},
  };
  for (const FindLastCase& c : kCases) {
    SCOPED_TRACE("text \"" + utf8(c.text) + "\" sub \"" + utf8(c.sub) + "\" start " +
                 (c.start ? std::to_string(*c.start) : "omitted") +
                 (c.ignoreCase ? " ignoring case" : ""));
    EXPECT_EQ(textFindLast(c.text, c.sub, c.start, c.ignoreCase), c.expected);
  }
}

struct ResultCase {
  const char* call;
  Text actual;
  Text expected;
};

void expectAll(const ResultCase* begin, const ResultCase* end) {
  for (const ResultCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->call);
    EXPECT_GBK_EQ(c->actual, c->expected);
  }
}

TEST(TextOps, SlicesCountBytesAndClampToTheText) {
  const ResultCase kCases[] = {
      {"left 2", textLeft("abc", 2), "ab"},
      {"left 0", textLeft("abc", 0), ""},
      {"left -1", textLeft("abc", -1), ""},
      {"left beyond", textLeft("abc", 10), "abc"},
      {"left cuts a character", textLeft("中文", 1), "\xD6"},
      {"right 2", textRight("abc", 2), "bc"},
      {"right 0", textRight("abc", 0), ""},
      {"right -3", textRight("abc", -3), ""},
      {"right beyond", textRight("abc", 5), "abc"},
      {"right cuts a character", textRight("中文", 3), "\xD0\xCE\xC4"},
      {"mid", textMid("abcdef", 2, 3), "bcd"},
      {"mid to the end", textMid("abcdef", 5, 10), "ef"},
      {"mid last byte", textMid("abc", 3, 1), "c"},
      {"mid start 0", textMid("abc", 0, 2), ""},
      {"mid start beyond", textMid("abc", 4, 1), ""},
      {"mid length 0", textMid("abc", 2, 0), ""},
      {"mid length -1", textMid("abc", 2, -1), ""},
      {"mid of empty", textMid("", 1, 1), ""},
  };
  expectAll(std::begin(kCases), std::end(kCases));
}

TEST(TextOps, ReplaceHonoursStartCountAndCase) {
  const ResultCase kCases[] = {
      {"header name case restored",
       textReplace("set-cookie: a", "Set-Cookie", "Set-Cookie", 1, -1, false), "Set-Cookie: a"},
      {"case-sensitive leaves other case",
       textReplace("set-cookie: a", "Set-Cookie", "Set-Cookie", 1, -1, true), "set-cookie: a"},
      {"default is case-sensitive", textReplace("aAa", "a", "x"), "xAx"},
      {"all", textReplace("a-a-a", "a", "b"), "b-b-b"},
      {"count 1", textReplace("a-a-a", "a", "b", 1, 1), "b-a-a"},
      {"count 2", textReplace("a-a-a", "a", "b", 1, 2), "b-b-a"},
      {"count 0", textReplace("a-a-a", "a", "b", 1, 0), "a-a-a"},
      {"count beyond", textReplace("a-a-a", "a", "b", 1, 9), "b-b-b"},
      {"start 2", textReplace("a-a-a", "a", "b", 2), "a-b-b"},
      {"start 0 as 1", textReplace("a-a-a", "a", "b", 0), "b-b-b"},
      {"start at last byte", textReplace("a-a-a", "a", "b", 5), "a-a-b"},
      {"start beyond", textReplace("a-a-a", "a", "b", 6), "a-a-a"},
      {"start and count", textReplace("a-a-a", "a", "b", 2, 1), "a-b-a"},
      {"empty sub", textReplace("abc", "", "x"), "abc"},
      {"empty text", textReplace("", "a", "x"), ""},
      {"default replacement deletes", textReplace("a,b,,c", ","), "abc"},
      {"replacement not rescanned", textReplace("xax", "x", "xx"), "xxaxx"},
      {"matches do not overlap", textReplace("aaa", "aa", "b"), "ba"},
      {"sub longer than the rest", textReplace("ab", "abc", "x"), "ab"},
      {"second byte never matched", textReplace("中文", "形", "X"), "中文"},
      {"Chinese sub", textReplace("中文形中文", "形", "-"), "中文-中文"},
      {"folding spares second bytes", textReplace("乤", "丄", "X", 1, -1, false), "乤"},
      {"folding after a character", textReplace("乤AB", "乤ab", "X", 1, -1, false), "X"},
  };
  expectAll(std::begin(kCases), std::end(kCases));
}

TEST(TextOps, LowerAndTrimTouchOnlyAsciiAndSpaces) {
  const ResultCase kCases[] = {
      {"lower", textToLower("HeLLo, 中文 WORLD"), "hello, 中文 world"},
      {"lower spares second bytes", textToLower("A丄B"), "a丄b"},
      {"lower of a cut character", textToLower("a\x81"), "a\x81"},
      {"trim ASCII spaces", textTrim("  abc  "), "abc"},
      {"trim full-width spaces", textTrim("　abc　"), "abc"},
      {"trim mixed runs", textTrim(" 　 中 文 　 "), "中 文"},
      {"keeps trailing CR", textTrim(" abc\r"), "abc\r"},
      {"keeps tab", textTrim("\tabc \t"), "\tabc \t"},
      {"keeps line feed", textTrim("\n abc"), "\n abc"},
      {"only spaces", textTrim(" 　 "), ""},
      {"empty", textTrim(""), ""},
      {"space after a character ending in A1", textTrim("啊　"), "啊"},
      {"cut character is not a space", textTrim("啊\xA1"), "啊\xA1"},
  };
  expectAll(std::begin(kCases), std::end(kCases));
}

TEST(TextOps, BetweenTakesTextBetweenMarkers) {
  const ResultCase kCases[] = {
      {"version body", textBetween("new:2.1=", "new:", "="), "2.1"},
      {"end marker missing", textBetween("new:2.1", "new:", "="), ""},
      {"start marker missing", textBetween("x=1", "new:", "="), ""},
      {"markers adjacent", textBetween("new:=", "new:", "="), ""},
      {"start marker at the end", textBetween("abcnew:", "new:", "="), ""},
      {"end sought after start", textBetween("a=b new:2=", "new:", "="), "2"},
      {"quote in markers", textBetween("value=\"42\";", "value=#引号", "#引号"), "42"},
      {"from start", textBetween("<a><b>", "<", ">", 2), "b"},
      {"ignoring case", textBetween("NEW:3=", "new:", "=", 1, true), "3"},
      {"case-sensitive by default", textBetween("NEW:3=", "new:", "="), ""},
      {"end marker not on a second byte", textBetween("a中文形b", "a", "形"), "中文"},
  };
  expectAll(std::begin(kCases), std::end(kCases));
}

TEST(TextOps, AfterColonTrimsTheRest) {
  const ResultCase kCases[] = {
      {"header", textAfterColon("Location:  http://x/ "), "http://x/"},
      {"first colon only", textAfterColon("a:b:c"), "b:c"},
      {"no colon", textAfterColon("no colon"), ""},
      {"nothing after", textAfterColon("key:"), ""},
      {"full-width space trimmed, CR kept", textAfterColon("k:　v　\r"), "v　\r"},
  };
  expectAll(std::begin(kCases), std::end(kCases));
}

}  // namespace
