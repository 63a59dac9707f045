// What the driver knows about the windows of another process: finding
// top-level windows, controls by their design names, the menus a window
// describes, and the system's dialogs (message boxes, save-file dialogs,
// pop-up menus). Everything here works across processes under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

std::wstring windowText(HWND window);
std::wstring className(HWND window);
DWORD processOf(HWND window);
// A property holding a global atom: its text ("" when absent).
std::wstring atomProperty(HWND window, const wchar_t* property);

// Top-level windows of the driver's desktop; pid 0 takes every process.
std::vector<HWND> topWindows(DWORD pid);
// The window with that title, visible ones first; null when there is none
// (or only a hidden one and `visibleOnly`).
HWND findTop(const std::wstring& title, DWORD pid, bool visibleOnly);
// A child control by its design name (the "QuenthorName" property).
HWND findControl(HWND top, const std::wstring& name);
std::vector<HWND> controls(HWND top);

struct MenuItem {
  std::wstring name, caption;
};
struct Menu {
  bool inBar = false;
  std::wstring name, caption;
  std::vector<MenuItem> items;
};
// The top-level menus the window describes in its "QuenthorMenu<i>" properties.
std::vector<Menu> menus(HWND top);

// System dialogs of a process (pid 0: any), visible and enabled, or null.
HWND findMessageBox(DWORD pid);
HWND findSaveDialog(DWORD pid);
HWND findPopupMenu(DWORD pid);
// The message of a message box: its longest static text.
std::wstring messageText(HWND box);
// The file-name field of a save-file dialog.
HWND fileNameField(HWND dialog);

// Waits until `found` gives a window or the seconds pass.
template <typename Find>
HWND waitFor(double seconds, Find found) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if (HWND window = found()) return window;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(25);
  }
}

// Output as UTF-8, whatever the console's code page.
void print(const std::wstring& line);
void fail(const std::wstring& line);

}  // namespace driver
