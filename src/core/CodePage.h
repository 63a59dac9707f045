// Conversions between GBK (code page 936), UTF-8 and UTF-16.
//
// These are the only places where text changes encoding; code page 936 is
// always named explicitly, never taken from the system's ANSI code page.
// Windows builds use MultiByteToWideChar/WideCharToMultiByte, native builds
// use iconv, so both sides agree on the same table.
#pragma once

#include <string>

#include "core/Text.h"

namespace CodePage {

std::u16string gbkToUtf16(const Text& gbk);
// Characters GBK cannot represent become "?", one for each UTF-16 unit.
Text utf16ToGbk(const std::u16string& utf16);

std::string gbkToUtf8(const Text& gbk);
Text utf8ToGbk(const std::string& utf8);

std::u16string utf8ToUtf16(const std::string& utf8);
std::string utf16ToUtf8(const std::u16string& utf16);

}  // namespace CodePage
