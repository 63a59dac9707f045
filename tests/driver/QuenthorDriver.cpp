// QuenthorDriver: drives the real Quenthor window from outside, as a user
// would, for the end-to-end tests and for a person who wants to look.
//
//   QuenthorDriver.exe [--desktop NAME] [--window TITLE] [--pid PID] COMMAND ...
//
// --desktop: the Wine desktop the program runs on (wine explorer /desktop=NAME);
// --window: the title of the window to act on (default: the main window);
// --pid: only windows and dialogs of that process.
//
// Commands (texts are UTF-8 on the command line and in the output; exit code 0
// on success, 1 on failure, 2 when the time ran out):
//   desktop-ready SECONDS        wait until the desktop exists
//   start EXE [ARG...]           start a program on the desktop; prints "pid N"
//   run EXE SECONDS [TITLE]      start it and wait for its end; prints "pid N",
//                                "shown MS" once a window titled TITLE shows,
//                                then "exit CODE"
//   kill PID                     end a process
//   wait-window TITLE SECONDS    wait until that window is shown
//   wait-hidden TITLE SECONDS    wait until no such window is shown
//   list                         the window, its controls and its menus
//   rect                         the window's place on the screen: x y width height
//   get NAME | set NAME TEXT | type NAME TEXT
//   click NAME | select NAME INDEX
//   menu ITEM                    a menu-bar item (caption or name), by keyboard
//   tray 1|2|3                   a tray icon event (left up, double click, right)
//   tray-menu ITEM               right click on the tray icon, then the item
//   close | minimise             the title bar's buttons
//   msgbox read [SECONDS]        prints "title ..." and "text ..." of a message box
//   msgbox answer ok|yes|no|cancel [SECONDS]
//   savedialog PATH|cancel [SECONDS]
//
// Menus live inside their process under Wine (GetMenu from here gives a handle
// that reads as empty), so menu items are reached the way a keyboard user
// reaches them: the window's menu mode (WM_SYSCOMMAND SC_KEYMENU, what Alt
// does), then arrow keys and Enter posted to its thread; the menu structure
// comes from the window's "QuenthorMenu<i>" properties.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "driver/DriverWindows.h"

namespace {

using namespace driver;

constexpr int kOk = 0, kFailed = 1, kTimedOut = 2;
constexpr wchar_t kMainTitle[] = L"Quenthor - by Pellucor v2.0";

struct Options {
  std::wstring desktop;
  std::wstring title = kMainTitle;
  DWORD pid = 0;
};

Options options;

double seconds(const std::vector<std::wstring>& args, std::size_t at, double fallback) {
  return at < args.size() ? _wtof(args[at].c_str()) : fallback;
}

std::wstring escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\\')
      out += L"\\\\";
    else if (c == L'\r')
      out += L"\\r";
    else if (c == L'\n')
      out += L"\\n";
    else if (c == L'\t')
      out += L"\\t";
    else
      out += c;
  }
  return out;
}

std::wstring place(HWND window, HWND relativeTo) {
  RECT r{};
  GetWindowRect(window, &r);
  if (relativeTo) MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&r), 2);
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
         std::to_wstring(r.right - r.left) + L"," + std::to_wstring(r.bottom - r.top);
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

HWND mainWindow() {
  HWND window = findTop(options.title, options.pid, false);
  if (!window) fail(L"no window titled \"" + options.title + L"\"");
  return window;
}

HWND controlOf(HWND top, const std::wstring& name) {
  HWND control = top ? findControl(top, name) : nullptr;
  if (top && !control) fail(L"no control named " + name);
  return control;
}

// A user acts only on what is shown and enabled.
bool userCanReach(HWND top, HWND control) {
  if (!IsWindowVisible(top) || !IsWindowEnabled(top)) {
    fail(L"the window is hidden or disabled");
    return false;
  }
  if (control && (!IsWindowVisible(control) || !IsWindowEnabled(control))) {
    fail(L"the control is hidden or disabled");
    return false;
  }
  return true;
}

std::wstring kindOf(HWND control) {
  const std::wstring cls = className(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (cls == L"Button") {
    switch (style & BS_TYPEMASK) {
      case BS_GROUPBOX:
        return L"groupbox";
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
        return L"checkbox";
      default:
        return L"button";
    }
  }
  if (cls == L"Static") return (style & SS_TYPEMASK) == SS_OWNERDRAW ? L"picture" : L"label";
  if (cls == L"Edit") return L"edit";
  if (cls == L"ComboBox") return L"combobox";
  return cls;
}

std::wstring flagsOf(HWND control, const std::wstring& kind) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  std::wstring flags = (style & WS_VISIBLE) ? L"visible" : L"hidden";
  flags += IsWindowEnabled(control) ? L",enabled" : L",disabled";
  if (kind == L"edit") {
    if (style & ES_READONLY) flags += L",readonly";
    if (style & ES_CENTER) flags += L",centred";
    if (style & ES_MULTILINE) flags += L",multiline";
    if (send(control, EM_GETPASSWORDCHAR, 0, 0) != 0) flags += L",password";
    const LRESULT limit = send(control, EM_GETLIMITTEXT, 0, 0);
    if (limit > 0 && limit < 30000) flags += L",max=" + std::to_wstring(limit);
  }
  if (kind == L"checkbox" && send(control, BM_GETCHECK, 0, 0) == BST_CHECKED) flags += L",checked";
  if (kind == L"combobox")
    flags += L",current=" + std::to_wstring(static_cast<int>(send(control, CB_GETCURSEL, 0, 0)));
  return flags;
}

int list() {
  HWND top = mainWindow();
  if (!top) return kFailed;
  RECT client{};
  GetClientRect(top, &client);
  const int state = IsIconic(top) ? 2 : IsZoomed(top) ? 3 : 0;
  print(L"window\t" + escaped(windowText(top)) + L"\t" + place(top, nullptr) + L"\tclient=" +
        std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom) + L"\t" +
        (IsWindowVisible(top) ? L"visible" : L"hidden") +
        (IsWindowEnabled(top) ? L",enabled" : L",disabled") + L",state=" + std::to_wstring(state) +
        L"\tpid=" + std::to_wstring(processOf(top)));
  for (HWND control : controls(top)) {
    const std::wstring kind = kindOf(control);
    print(atomProperty(control, L"QuenthorName") + L"\t" + kind + L"\t" + place(control, top) +
          L"\t" + flagsOf(control, kind) + L"\t" + escaped(windowText(control)));
  }
  for (const Menu& menu : menus(top)) {
    std::wstring line = L"menu\t" + std::wstring(menu.inBar ? L"bar" : L"popup") + L"\t" +
                        menu.name + L"\t" + menu.caption;
    for (const MenuItem& item : menu.items) line += L"\t" + item.name + L"=" + item.caption;
    print(line);
  }
  return kOk;
}

int startProgram(const std::vector<std::wstring>& args, std::size_t from, std::size_t to,
                 PROCESS_INFORMATION& process) {
  wchar_t full[MAX_PATH] = L"";
  wchar_t* fileName = nullptr;
  GetFullPathNameW(args[from].c_str(), MAX_PATH, full, &fileName);
  std::wstring folder(full, fileName ? static_cast<std::size_t>(fileName - full) : 0);
  std::wstring commandLine = L"\"" + std::wstring(full) + L"\"";
  for (std::size_t i = from + 1; i < to; ++i) commandLine += L" \"" + args[i] + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring desktop = options.desktop;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    fail(L"cannot start " + std::wstring(full) + L" (error " + std::to_wstring(GetLastError()) +
         L")");
    return kFailed;
  }
  print(L"pid " + std::to_wstring(process.dwProcessId));
  return kOk;
}

int run(const std::vector<std::wstring>& args) {
  if (args.size() < 3) return kFailed;
  PROCESS_INFORMATION process{};
  const ULONGLONG started = GetTickCount64();
  if (startProgram(args, 1, 2, process) != kOk) return kFailed;
  const ULONGLONG end = started + static_cast<ULONGLONG>(seconds(args, 2, 60) * 1000);
  const std::wstring shownTitle = args.size() > 3 ? args[3] : L"";
  bool shown = shownTitle.empty();
  while (WaitForSingleObject(process.hProcess, shown ? 500 : 10) == WAIT_TIMEOUT) {
    if (!shown && findTop(shownTitle, process.dwProcessId, true)) {
      shown = true;
      print(L"shown " + std::to_wstring(GetTickCount64() - started));
    }
    if (GetTickCount64() >= end) {
      print(L"timeout");
      return kTimedOut;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  print(L"exit " + std::to_wstring(code));
  return kOk;
}

int killProcess(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (!process) return kFailed;
  const bool ended =
      TerminateProcess(process, 1) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended ? kOk : kFailed;
}

// Keys go to the window's thread, where the menu loop reads them.
void postKey(HWND top, WPARAM key, int times = 1) {
  for (int i = 0; i < times; ++i) PostMessageW(top, WM_KEYDOWN, key, 0);
}

// Finds an item among the menus of one kind: the menu's place among them and
// the item's place among the items a keyboard stops at.
bool locate(HWND top, bool inBar, const std::wstring& item, int& menuIndex, int& itemIndex) {
  menuIndex = 0;
  for (const Menu& menu : menus(top)) {
    if (menu.inBar != inBar) continue;
    itemIndex = 0;
    for (const MenuItem& entry : menu.items) {
      if (entry.caption == L"-") continue;  // separators are skipped by the arrow keys
      if (entry.caption == item || entry.name == item) return true;
      ++itemIndex;
    }
    ++menuIndex;
  }
  fail(L"no menu item " + item);
  return false;
}

int chooseMenu(const std::wstring& item) {
  HWND top = mainWindow();
  int menuIndex = 0, itemIndex = 0;
  if (!top || !userCanReach(top, nullptr) || !locate(top, true, item, menuIndex, itemIndex))
    return kFailed;
  // Alt: the first menu of the bar is selected; Right moves along the bar,
  // Down opens the menu at its first item, Down moves on, Enter chooses.
  PostMessageW(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
  postKey(top, VK_RIGHT, menuIndex);
  postKey(top, VK_DOWN, 1 + itemIndex);
  PostMessageW(top, WM_CHAR, L'\r', 0);
  return kOk;
}

// What the notification area sends for each event (NOTIFYICON_VERSION_4 form:
// the mouse message in the low word, the icon's ID in the high word).
int trayEvent(HWND top, int code) {
  const UINT message =
      static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(top, L"QuenthorTray")));
  if (message == 0) {
    fail(L"the window has no tray callback");
    return kFailed;
  }
  std::vector<UINT> sequence;
  if (code == 1) sequence = {WM_LBUTTONDOWN, WM_LBUTTONUP};
  if (code == 2) sequence = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  if (code == 3) sequence = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU};
  if (sequence.empty()) return kFailed;
  POINT pointer{};
  GetCursorPos(&pointer);
  for (UINT m : sequence)
    PostMessageW(top, message, MAKEWPARAM(pointer.x, pointer.y), MAKELPARAM(m, 1));
  return kOk;
}

int trayMenu(const std::wstring& item) {
  HWND top = mainWindow();
  int menuIndex = 0, itemIndex = 0;
  if (!top || !locate(top, false, item, menuIndex, itemIndex)) return kFailed;
  if (trayEvent(top, 3) != kOk) return kFailed;
  const DWORD pid = processOf(top);
  if (!waitFor(10, [pid] { return findPopupMenu(pid); })) {
    fail(L"the tray menu did not show");
    return kTimedOut;
  }
  // A pop-up menu opens with no item selected: Down reaches the first.
  postKey(top, VK_DOWN, 1 + itemIndex);
  PostMessageW(top, WM_CHAR, L'\r', 0);
  return kOk;
}

int messageBox(const std::vector<std::wstring>& args) {
  const bool answer = args.size() > 1 && args[1] == L"answer";
  const std::wstring button = answer && args.size() > 2 ? args[2] : L"";
  const double wait = seconds(args, answer ? 3 : 2, 10);
  const DWORD pid = options.pid;
  HWND box = waitFor(wait, [pid] { return findMessageBox(pid); });
  if (!box) {
    fail(L"no message box");
    return kTimedOut;
  }
  Sleep(100);  // a box that just appeared may still be setting itself up
  if (!answer) {
    print(L"title " + windowText(box));
    print(L"text " + escaped(messageText(box)));
    print(L"pid " + std::to_wstring(processOf(box)));
    return kOk;
  }
  int id = 0;
  if (button == L"ok") id = IDOK;
  if (button == L"yes") id = IDYES;
  if (button == L"no") id = IDNO;
  if (button == L"cancel") id = IDCANCEL;
  HWND control = id ? GetDlgItem(box, id) : nullptr;
  if (!control) {
    fail(L"the message box has no button " + button);
    return kFailed;
  }
  PostMessageW(control, BM_CLICK, 0, 0);
  return kOk;
}

int saveDialog(const std::vector<std::wstring>& args) {
  if (args.size() < 2) return kFailed;
  const DWORD pid = options.pid;
  HWND dialog = waitFor(seconds(args, 2, 10), [pid] { return findSaveDialog(pid); });
  if (!dialog) {
    fail(L"no save dialog");
    return kTimedOut;
  }
  Sleep(100);
  if (args[1] == L"cancel") {
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    return kOk;
  }
  send(fileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()));
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return kOk;
}

int waitWindow(const std::vector<std::wstring>& args, bool shown) {
  if (args.size() < 2) return kFailed;
  const std::wstring title = args[1];
  const DWORD pid = options.pid;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds(args, 2, 10) * 1000);
  for (;;) {
    HWND window = findTop(title, pid, true);
    if (shown && window) {
      print(L"pid " + std::to_wstring(processOf(window)));
      return kOk;
    }
    if (!shown && !window) return kOk;
    if (GetTickCount64() >= end) return kTimedOut;
    Sleep(25);
  }
}

int command(const std::vector<std::wstring>& args) {
  const std::wstring& name = args[0];
  auto arg = [&args](std::size_t i) { return i < args.size() ? args[i] : std::wstring(); };

  if (name == L"desktop-ready") {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds(args, 1, 10) * 1000);
    while (GetTickCount64() < end) {
      if (HDESK desktop = OpenDesktopW(options.desktop.c_str(), 0, FALSE, GENERIC_READ)) {
        CloseDesktop(desktop);
        return kOk;
      }
      Sleep(50);
    }
    return kTimedOut;
  }
  if (name == L"start" && args.size() > 1) {
    PROCESS_INFORMATION process{};
    if (startProgram(args, 1, args.size(), process) != kOk) return kFailed;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return kOk;
  }
  if (name == L"run") return run(args);
  if (name == L"kill") return killProcess(static_cast<DWORD>(_wtoi(arg(1).c_str())));
  if (name == L"wait-window") return waitWindow(args, true);
  if (name == L"wait-hidden") return waitWindow(args, false);
  if (name == L"list") return list();
  if (name == L"msgbox") return messageBox(args);
  if (name == L"savedialog") return saveDialog(args);
  if (name == L"menu") return chooseMenu(arg(1));
  if (name == L"tray-menu") return trayMenu(arg(1));

  HWND top = mainWindow();
  if (!top) return kFailed;
  if (name == L"rect") {
    RECT r{};
    GetWindowRect(top, &r);
    print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
          std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
    return kOk;
  }
  if (name == L"tray") return trayEvent(top, _wtoi(arg(1).c_str()));
  if (name == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? kOk : kFailed;
  if (name == L"minimise") return PostMessageW(top, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? kOk : kFailed;

  HWND control = controlOf(top, arg(1));
  if (!control) return kFailed;
  if (name == L"get") {
    print(escaped(windowText(control)));
    return kOk;
  }
  if (name == L"set") {
    send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2).c_str()));
    return kOk;
  }
  if (!userCanReach(top, control)) return kFailed;
  if (name == L"type") {
    for (wchar_t c : arg(2)) send(control, WM_CHAR, c, 0);
    return kOk;
  }
  if (name == L"click") return PostMessageW(control, BM_CLICK, 0, 0) ? kOk : kFailed;
  if (name == L"select") {
    const int index = _wtoi(arg(2).c_str());
    send(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return kOk;
  }
  fail(L"unknown command " + name);
  return kFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::size_t i = 0;
  for (; i + 1 < args.size() && args[i].rfind(L"--", 0) == 0; i += 2) {
    if (args[i] == L"--desktop") options.desktop = args[i + 1];
    if (args[i] == L"--window") options.title = args[i + 1];
    if (args[i] == L"--pid") options.pid = static_cast<DWORD>(_wtoi(args[i + 1].c_str()));
  }
  args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(i));
  if (args.empty()) {
    fail(L"usage: QuenthorDriver.exe [--desktop NAME] [--window TITLE] [--pid PID] COMMAND ...");
    return kFailed;
  }
  // The program's windows live on its own desktop; so must the driver's view.
  if (!options.desktop.empty() && args[0] != L"desktop-ready") {
    HDESK desktop = OpenDesktopW(options.desktop.c_str(), 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) {
      fail(L"no desktop " + options.desktop);
      return kFailed;
    }
  }
  return command(args);
}
