// The registry through the wide-character API: GBK names and texts become
// UTF-16 with code page 936 explicitly, never through the ANSI functions, so
// the program reads and writes the same values on any system code page.
#include "shell/RegistryWin32.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "core/CodePage.h"

namespace {

// The program is 64-bit; name the view anyway so that the key is the same one
// a 64-bit regedit or `reg` shows.
constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring wide(const Text& gbk) {
  std::u16string utf16 = CodePage::gbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

Text narrow(const std::wstring& utf16) {
  return CodePage::utf16ToGbk(std::u16string(utf16.begin(), utf16.end()));
}

// The characters of a string value up to its first zero character; the data
// need not end in one.
std::wstring stringData(const std::wstring& buffer, DWORD bytes) {
  std::wstring s = buffer.substr(0, bytes / sizeof(wchar_t));
  size_t zero = s.find(L'\0');
  if (zero != std::wstring::npos) s.resize(zero);
  return s;
}

std::wstring expand(const std::wstring& s) {
  if (s.empty()) return s;
  std::wstring out(s.size() + 1, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD n = ExpandEnvironmentStringsW(s.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n == 0) return s;  // expansion failed: the text as stored
    if (n <= out.size()) {
      out.resize(n - 1);
      return out;
    }
    out.assign(n, L'\0');
  }
  return s;
}

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

}  // namespace

RegistryValue RegistryWin32::read(const Text& key, const Text& name) const {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, KEY_QUERY_VALUE | kView, &raw) !=
      ERROR_SUCCESS) {
    return {};
  }
  KeyHandle handle(raw);
  std::wstring valueName = wide(name);
  std::wstring buffer(64, L'\0');
  DWORD type = 0;
  DWORD bytes = 0;
  LSTATUS status = ERROR_MORE_DATA;
  // A value rewritten between the size query and the read answers MORE_DATA
  // again; a few rounds are enough.
  for (int attempt = 0; attempt < 8 && status == ERROR_MORE_DATA; ++attempt) {
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    status = RegQueryValueExW(raw, valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_MORE_DATA) buffer.assign(bytes / sizeof(wchar_t) + 2, L'\0');
  }
  if (status != ERROR_SUCCESS) return {};
  if (type == REG_SZ) return {RegistryType::String, narrow(stringData(buffer, bytes))};
  if (type == REG_EXPAND_SZ) {
    return {RegistryType::ExpandString, narrow(expand(stringData(buffer, bytes)))};
  }
  return {RegistryType::Other, {}};
}

bool RegistryWin32::writeString(const Text& key, const Text& name, const Text& text) {
  std::wstring keyName = wide(key);
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_SET_VALUE | kView, &raw) !=
          ERROR_SUCCESS &&
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | kView, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  KeyHandle handle(raw);
  std::wstring data = wide(text);
  DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(raw, wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}
