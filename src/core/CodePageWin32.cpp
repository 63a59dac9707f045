#include <windows.h>

#include "core/CodePage.h"

namespace {

constexpr UINT kGbk = 936;

std::u16string toUtf16(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return {};
  int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string fromUtf16(UINT codePage, const std::u16string& utf16) {
  if (utf16.empty()) return {};
  auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
  int len = static_cast<int>(utf16.size());
  int n = WideCharToMultiByte(codePage, 0, wide, len, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide, len, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

namespace CodePage {

std::u16string gbkToUtf16(const Text& gbk) { return toUtf16(kGbk, gbk); }
Text utf16ToGbk(const std::u16string& utf16) { return fromUtf16(kGbk, utf16); }
std::string gbkToUtf8(const Text& gbk) { return fromUtf16(CP_UTF8, toUtf16(kGbk, gbk)); }
Text utf8ToGbk(const std::string& utf8) { return fromUtf16(kGbk, toUtf16(CP_UTF8, utf8)); }
std::u16string utf8ToUtf16(const std::string& utf8) { return toUtf16(CP_UTF8, utf8); }
std::string utf16ToUtf8(const std::u16string& utf16) { return fromUtf16(CP_UTF8, utf16); }

}  // namespace CodePage
