// Readable failure output for GBK texts: UTF-8 for the eye, hex for the bytes
// that do not form whole characters.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/CodePage.h"
#include "core/Text.h"

inline std::string utf8(const Text& gbk) { return CodePage::gbkToUtf8(gbk); }

inline std::string hexBytes(const Text& text) {
  std::string out;
  const char* digits = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 0x0F];
  }
  return out;
}

// Byte-wise equality of two texts, reported as UTF-8 and hex on failure.
inline ::testing::AssertionResult gbkEqual(const char* actualExpr, const char* expectedExpr,
                                           const Text& actual, const Text& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actualExpr << " differs from " << expectedExpr << "\n  actual:   \"" << utf8(actual)
         << "\" [" << hexBytes(actual) << "]\n  expected: \"" << utf8(expected) << "\" ["
         << hexBytes(expected) << "]";
}

#define EXPECT_GBK_EQ(actual, expected) EXPECT_PRED_FORMAT2(gbkEqual, actual, expected)
