#include <windows.h>

#include <string>

#include "core/CodePage.h"
#include "core/Environment.h"

namespace {

std::wstring wide(const Text& gbk) {
  std::u16string utf16 = CodePage::gbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

Text gbk(const wchar_t* text, std::size_t length) {
  return CodePage::utf16ToGbk(std::u16string(text, text + length));
}

}  // namespace

namespace Environment {

Text variable(const Text& name) {
  std::wstring wideName = wide(name);
  std::wstring value(256, L'\0');
  for (;;) {
    DWORD n =
        GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) return Text();
    if (n < value.size()) return gbk(value.data(), n);
    value.resize(n);  // n counts the ending zero when the buffer was too small
  }
}

Text programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return Text();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return Text();
  return gbk(path.data(), slash);
}

}  // namespace Environment
