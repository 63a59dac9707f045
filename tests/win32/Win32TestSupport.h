// What the tests of the Win32 window layer share: a small window design with
// one control of every kind, a message pump with a deadline, and a helper
// thread that answers the dialogs the layer shows (as a user would).
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "shell/ui/Win32Window.h"

namespace win32test {

using ui::ControlKind;

inline const ui::WindowDesign& testDesign() {
  static const ui::WindowDesign design = [] {
    ui::WindowDesign d{
        "测试窗口", "测试窗口 Quenthor", 40, 40, 420, 330, ui::kFixedBorder | ui::kMinimiseBox, {}};
    d.controls = {
        {ControlKind::GroupBox, "分组框1", "", 10, 10, 200, 130, "设置"},
        {ControlKind::Label, "标签1", "分组框1", 6, 21, 60, 18, "用户：", ui::kAlignRight},
        {ControlKind::Edit, "编辑框1", "分组框1", 70, 18, 120, 24, ""},
        {ControlKind::Edit, "编辑框2", "分组框1", 70, 48, 50, 24, "50",
         ui::kDigitsOnly | ui::kCentred},
        {ControlKind::Edit, "编辑框3", "分组框1", 70, 78, 120, 24, "", ui::kPassword},
        {ControlKind::Button, "按钮1", "分组框1", 130, 48, 60, 26, "确定"},
        {ControlKind::Edit, "编辑框4", "", 220, 10, 180, 24, "", 0, 10},
        {ControlKind::Edit, "编辑框5", "", 220, 40, 180, 60, "",
         ui::kReadOnly | ui::kGrey | ui::kMultiLine | ui::kVerticalScroll},
        {ControlKind::CheckBox, "选择框1", "", 220, 110, 150, 20, "启用", ui::kChecked},
        {ControlKind::ComboBox,
         "组合框1",
         "",
         220,
         140,
         100,
         25,
         "邮件系统",
         0,
         0,
         {"Exchange", "Winmail"}},
        {ControlKind::PictureBox, "图片框1", "", 10, 180, 100, 40, "", ui::kHandCursor},
        {ControlKind::Button, "按钮2", "", 120, 180, 60, 26, "隐藏", ui::kHidden},
        {ControlKind::Timer, "时钟1", "", 0, 0, 0, 0, ""},
        {ControlKind::Timer, "时钟2", "", 0, 0, 0, 0, ""},
        {ControlKind::SaveFileDialog, "通用对话框1", "", 0, 0, 0, 0, "导出"},
        {ControlKind::Invisible, "组件1", "", 0, 0, 0, 0, ""},
    };
    d.menus = {
        {"菜单_文件", "文件", {{"菜单_导出", "导出"}, {"菜单_分隔", "-"}, {"菜单_关于", "关于"}}},
        {"菜单_帮助", "帮助", {{"菜单_说明", "说明"}}},
        {"托盘菜单", "托盘菜单", {{"菜单_显示", "显示"}, {"菜单_退出", "退出"}}, false},
    };
    return d;
  }();
  return design;
}

// A secondary window for dialog mode: no menus.
inline const ui::WindowDesign& dialogDesign() {
  static const ui::WindowDesign design{
      "对话窗口",
      "对话窗口",
      80,
      80,
      300,
      200,
      ui::kFixedBorder,
      {{ControlKind::Button, "按钮_关闭", "", 20, 20, 80, 26, "关闭"},
       {ControlKind::Timer, "时钟1", "", 0, 0, 0, 0, ""}}};
  return design;
}

inline std::wstring windowTextW(HWND window) {
  wchar_t buffer[1024] = L"";
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

inline std::wstring className(HWND window) {
  wchar_t buffer[256] = L"";
  GetClassNameW(window, buffer, 256);
  return buffer;
}

// Dispatches the thread's messages until `done` answers true or the time is
// up; answers `done()`.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

inline void pumpFor(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

// A visible dialog (class #32770) of this process, or null.
inline HWND findDialog() {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
            className(window) == L"#32770") {
          reinterpret_cast<Search*>(param)->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The longest text of a dialog's static controls: a message box's message.
inline std::wstring dialogMessage(HWND dialog) {
  std::wstring longest;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (className(child) != L"Static") continue;
    std::wstring text = windowTextW(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

// Waits on its own thread for a dialog of this process and acts on it (as a
// user would), while the test's thread runs the dialog's modal loop.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::function<void(HWND dialog)> act) {
    thread_ = std::thread([this, act] {
      const ULONGLONG end = GetTickCount64() + 10000;
      while (GetTickCount64() < end) {
        if (HWND dialog = findDialog()) {
          Sleep(100);  // let it finish its initialisation
          act(dialog);
          answered = true;
          return;
        }
        Sleep(20);
      }
    });
  }
  ~DialogAnswerer() { thread_.join(); }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  std::atomic<bool> answered{false};

 private:
  std::thread thread_;
};

// Presses a dialog's button by its ID, as a click does.
inline void pressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace win32test
