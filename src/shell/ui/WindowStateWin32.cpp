// The window state of a Win32 window: minimised, maximised or normal.
#include "shell/ui/Win32Window.h"

namespace ui {

int Win32Window::state() const {
  if (!hwnd_) return kStateNormal;
  if (IsIconic(hwnd_)) return kStateMinimised;
  if (IsZoomed(hwnd_)) return kStateMaximised;
  return kStateNormal;
}

void Win32Window::setState(int state) {
  // A hidden window keeps its state: ShowWindow would show it.
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  switch (state) {
    case kStateNormal:
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);
      break;
    case kStateRestoreCentred: {
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
      const RECT& work = monitor.rcWork;
      RECT outer{};
      GetWindowRect(hwnd_, &outer);
      const int width = outer.right - outer.left;
      const int height = outer.bottom - outer.top;
      SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
      SetForegroundWindow(hwnd_);
      break;
    }
    case kStateMinimised:
      if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    default:
      break;
  }
}

}  // namespace ui
