// Texts at the Win32 edge, and the name properties outside tools read.
#include "shell/ui/Win32Window.h"

#include "core/CodePage.h"

namespace ui::win32 {

std::wstring wide(const Text& gbk) {
  std::u16string utf16 = CodePage::gbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

Text gbk(const std::wstring& utf16) {
  return CodePage::utf16ToGbk(std::u16string(utf16.begin(), utf16.end()));
}

Text windowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, buffer.data(), length + 1);
  buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return gbk(buffer);
}

void setWindowText(HWND window, const Text& text) { SetWindowTextW(window, wide(text).c_str()); }

// A window property cannot hold a text, so it holds a global atom of it,
// which any process of the session can read back with GlobalGetAtomNameW.
void setNameProperty(HWND window, const wchar_t* property, const std::wstring& value) {
  removeNameProperty(window, property);
  ATOM atom = GlobalAddAtomW(value.c_str());
  if (atom != 0) SetPropW(window, property, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void removeNameProperty(HWND window, const wchar_t* property) {
  HANDLE old = RemovePropW(window, property);
  if (old) GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(old)));
}

}  // namespace ui::win32
