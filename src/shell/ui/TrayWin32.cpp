// The notification-area icon of a Win32 window, its callbacks, and pop-up menus.
#include "shell/ui/Win32Window.h"

#include <shellapi.h>

#include <algorithm>

namespace ui {

namespace {

NOTIFYICONDATAW trayData(HWND window, HICON icon, const std::wstring& tooltip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = 1;
  // NIF_SHOWTIP: with NOTIFYICON_VERSION_4 the tooltip is shown only when asked.
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = win32::kTrayMessage;
  data.hIcon = icon;
  const std::size_t length = std::min(tooltip.size(), std::size(data.szTip) - 1);
  std::copy_n(tooltip.begin(), length, data.szTip);
  return data;
}

}  // namespace

void Win32Window::setTrayIcon(const ByteBlob& ico, const Text& tooltip) {
  if (!hwnd_) return;
  HICON old = trayIcon_;
  trayIcon_ = win32::iconFromIco(ico, GetSystemMetrics(SM_CXSMICON));
  trayTooltip_ = win32::wide(tooltip);
  trayWanted_ = true;
  if (trayAdded_) {
    NOTIFYICONDATAW data = trayData(hwnd_, trayIcon_, trayTooltip_);
    if (!Shell_NotifyIconW(NIM_MODIFY, &data)) {
      trayAdded_ = false;
      addTrayIcon();
    }
  } else {
    addTrayIcon();
  }
  if (old) DestroyIcon(old);
}

bool Win32Window::addTrayIcon() {
  NOTIFYICONDATAW data = trayData(hwnd_, trayIcon_, trayTooltip_);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  trayAdded_ = true;
  // Version 4 reports the context-menu key as WM_CONTEXTMENU; without it
  // only the classic mouse messages arrive.
  data.uVersion = NOTIFYICON_VERSION_4;
  trayVersion4_ = Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
  return true;
}

void Win32Window::onTrayCallback(WPARAM, LPARAM lParam) {
  // Classic callbacks carry the mouse message in lParam, version 4 ones in its
  // low word: the low word serves both.
  int code = 0;
  switch (LOWORD(lParam)) {
    case WM_LBUTTONUP:
      code = kTrayLeftUp;
      break;
    case WM_LBUTTONDBLCLK:
      code = kTrayLeftDoubleClick;
      break;
    case WM_RBUTTONUP:
      // Version 4 follows the release with WM_CONTEXTMENU; count it once.
      if (!trayVersion4_) code = kTrayContextMenu;
      break;
    case WM_CONTEXTMENU:
      code = kTrayContextMenu;
      break;
    default:
      break;
  }
  if (code != 0 && ready_ && events.tray) {
    std::function<void(int)> handler = events.tray;
    handler(code);
  }
}

void Win32Window::popupMenu(const Text& menu) {
  if (!hwnd_) return;
  auto it = std::find_if(popups_.begin(), popups_.end(),
                         [&menu](const auto& entry) { return entry.first == menu; });
  if (it == popups_.end() || !it->second) return;
  POINT pointer{};
  GetCursorPos(&pointer);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted message lets it close at once when chosen.
  SetForegroundWindow(hwnd_);
  TrackPopupMenuEx(it->second, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, hwnd_,
                   nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

}  // namespace ui
