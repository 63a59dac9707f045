#include "driver/DriverWindows.h"

#include <cstdio>

namespace driver {

namespace {

constexpr int kFileNameEdit = 0x480;   // edt1 of the common dialogs
constexpr int kFileNameCombo = 0x47c;  // cmb13 of the Explorer-style dialog

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool usable(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

}  // namespace

std::wstring windowText(HWND window) {
  // WM_GETTEXT reaches the window's own procedure (edit controls keep their
  // text there); a hung program must not hang the driver.
  wchar_t buffer[8192] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied))
    GetWindowTextW(window, buffer, 8192);
  return buffer;
}

std::wstring className(HWND window) {
  wchar_t buffer[256] = L"";
  GetClassNameW(window, buffer, 256);
  return buffer;
}

DWORD processOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::wstring atomProperty(HWND window, const wchar_t* property) {
  HANDLE value = GetPropW(window, property);
  if (!value) return {};
  wchar_t buffer[256] = L"";
  UINT n = GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(value)), buffer, 256);
  return std::wstring(buffer, n);
}

std::vector<HWND> topWindows(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (s->pid == 0 || processOf(window) == s->pid) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findTop(const std::wstring& title, DWORD pid, bool visibleOnly) {
  HWND hidden = nullptr;
  for (HWND window : topWindows(pid)) {
    if (className(window) == L"#32770" || className(window) == L"#32768") continue;
    wchar_t buffer[512] = L"";
    GetWindowTextW(window, buffer, 512);
    if (title != buffer) continue;
    if (IsWindowVisible(window)) return window;
    if (!hidden) hidden = window;
  }
  return visibleOnly ? nullptr : hidden;
}

std::vector<HWND> controls(HWND top) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    found.push_back(child);
  return found;
}

HWND findControl(HWND top, const std::wstring& name) {
  for (HWND child : controls(top))
    if (atomProperty(child, L"QuenthorName") == name) return child;
  return nullptr;
}

std::vector<Menu> menus(HWND top) {
  std::vector<Menu> found;
  for (int i = 0;; ++i) {
    const std::wstring property = L"QuenthorMenu" + std::to_wstring(i);
    if (!GetPropW(top, property.c_str())) break;
    std::vector<std::wstring> fields;
    std::wstring description = atomProperty(top, property.c_str());
    std::size_t start = 0;
    for (std::size_t tab; (tab = description.find(L'\t', start)) != std::wstring::npos;
         start = tab + 1)
      fields.push_back(description.substr(start, tab - start));
    fields.push_back(description.substr(start));
    if (fields.size() < 3) continue;
    Menu menu{fields[0] == L"bar", fields[1], fields[2], {}};
    for (std::size_t f = 3; f + 1 < fields.size(); f += 2)
      menu.items.push_back({fields[f], fields[f + 1]});
    found.push_back(menu);
  }
  return found;
}

HWND fileNameField(HWND dialog) {
  // The Explorer-style dialog holds the field as an edit inside its combo box
  // (ComboBoxEx32, then ComboBox, then Edit); older dialogs have edt1.
  HWND combo = GetDlgItem(dialog, kFileNameCombo);
  if (combo && IsWindowVisible(combo)) {
    HWND edit = nullptr;
    EnumChildWindows(
        combo,
        [](HWND child, LPARAM found) -> BOOL {
          if (className(child) != L"Edit") return TRUE;
          *reinterpret_cast<HWND*>(found) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&edit));
    return edit;
  }
  HWND edit = GetDlgItem(dialog, kFileNameEdit);
  return edit && IsWindowVisible(edit) ? edit : nullptr;
}

HWND findMessageBox(DWORD pid) {
  for (HWND window : topWindows(pid))
    if (className(window) == L"#32770" && usable(window) && !fileNameField(window)) return window;
  return nullptr;
}

HWND findSaveDialog(DWORD pid) {
  for (HWND window : topWindows(pid))
    if (className(window) == L"#32770" && usable(window) && fileNameField(window)) return window;
  return nullptr;
}

HWND findPopupMenu(DWORD pid) {
  for (HWND window : topWindows(pid))
    if (className(window) == L"#32768" && IsWindowVisible(window)) return window;
  return nullptr;
}

std::wstring messageText(HWND box) {
  std::wstring longest;
  for (HWND child : controls(box)) {
    if (className(child) != L"Static") continue;
    std::wstring text = windowText(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void print(const std::wstring& line) {
  std::string bytes = utf8(line) + "\n";
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

void fail(const std::wstring& line) {
  std::string bytes = "error: " + utf8(line) + "\n";
  fwrite(bytes.data(), 1, bytes.size(), stderr);
  fflush(stderr);
}

}  // namespace driver
