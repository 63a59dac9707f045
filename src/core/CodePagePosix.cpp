#include <iconv.h>

#include <cerrno>
#include <string_view>

#include "core/CodePage.h"

namespace {

// Converts with iconv. A character the target cannot hold, or an invalid
// source sequence, becomes `unknown` and one source code unit is skipped; an
// incomplete sequence at the end is dropped.
std::string convert(const char* to, const char* from, const std::string& in,
                    std::string_view unknown, size_t unit) {
  if (in.empty()) return {};
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    if (errno != EILSEQ) break;
    out += unknown;
    size_t skip = unit < srcLeft ? unit : srcLeft;
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  return out;
}

std::string u16ToBytes(const std::u16string& s) {
  std::string b;
  b.reserve(s.size() * 2);
  for (char16_t c : s) {
    b.push_back(static_cast<char>(c & 0xFF));
    b.push_back(static_cast<char>(c >> 8));
  }
  return b;
}

std::u16string bytesToU16(const std::string& b) {
  std::u16string s;
  for (size_t i = 0; i + 1 < b.size(); i += 2)
    s.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                      (static_cast<unsigned char>(b[i + 1]) << 8)));
  return s;
}

}  // namespace

namespace CodePage {

std::u16string gbkToUtf16(const Text& gbk) {
  return bytesToU16(convert("UTF-16LE", "CP936", gbk, {"?\0", 2}, 1));
}
Text utf16ToGbk(const std::u16string& utf16) {
  return convert("CP936", "UTF-16LE", u16ToBytes(utf16), "?", 2);
}
// Through UTF-16, as on Windows, so that both give the same replacements.
std::string gbkToUtf8(const Text& gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }
Text utf8ToGbk(const std::string& utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }
std::u16string utf8ToUtf16(const std::string& utf8) {
  return bytesToU16(convert("UTF-16LE", "UTF-8", utf8, {"?\0", 2}, 1));
}
std::string utf16ToUtf8(const std::u16string& utf16) {
  return convert("UTF-8", "UTF-16LE", u16ToBytes(utf16), "?", 2);
}

}  // namespace CodePage
