// A top-level window of the Win32 layer: creation, the window procedure and
// the events it hands to the program's handlers.
#include "shell/ui/Win32Window.h"

#include <shellapi.h>

namespace ui {

namespace {

// The frame the designs were drawn for: a 3-pixel fixed border, an 18-pixel
// caption and a 19-pixel menu bar. The design's outer size less these is the
// client area the controls were placed in; the window is sized so that it
// gets that client area with the system's own frame metrics.
constexpr int kDesignFrame = 3;
constexpr int kDesignCaption = 18;
constexpr int kDesignMenuBar = 19;

constexpr wchar_t kTrayProperty[] = L"QuenthorTray";

}  // namespace

Win32Window::Win32Window(Win32Desktop& desktop, const WindowDesign& design, HWND owner)
    : desktop_(desktop), design_(design) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  if (!(design.style & kFixedBorder)) style |= WS_THICKFRAME;
  if (design.style & kMinimiseBox) style |= WS_MINIMIZEBOX;
  if (design.style & kMaximiseBox) style |= WS_MAXIMIZEBOX;
  const DWORD exStyle = WS_EX_CONTROLPARENT;

  buildMenus();
  const int clientWidth = design.width - 2 * kDesignFrame;
  const int clientHeight =
      design.height - 2 * kDesignFrame - kDesignCaption - (menuBar_ ? kDesignMenuBar : 0);
  RECT outer{0, 0, desktop.scale(clientWidth), desktop.scale(clientHeight)};
  AdjustWindowRectEx(&outer, style, menuBar_ != nullptr, exStyle);

  const std::wstring title = win32::wide(design.title);
  CreateWindowExW(exStyle, win32::kWindowClass, title.c_str(), style, desktop.scale(design.x),
                  desktop.scale(design.y), outer.right - outer.left, outer.bottom - outer.top,
                  owner, menuBar_, desktop.instance(), this);
  if (!hwnd_) return;
  // Explorer runs unelevated; without this an elevated copy (run as
  // administrator, as the HKEY_LOCAL_MACHINE settings need) would never hear
  // that the notification area was created again.
  ChangeWindowMessageFilterEx(hwnd_, desktop.taskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  SetPropW(hwnd_, kTrayProperty,
           reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(win32::kTrayMessage)));
  createControls();
  publishMenus();
}

Win32Window::~Win32Window() {
  destroy();
  for (Win32Control& control : controls_) {
    if (control.brush) DeleteObject(control.brush);
    if (control.bitmap) DeleteObject(control.bitmap);
  }
  if (backgroundBrush_) DeleteObject(backgroundBrush_);
  if (trayIcon_) DestroyIcon(trayIcon_);
  // Menus in the bar went with the window; the pop-up-only ones are ours.
  for (std::size_t i = 0; i < popups_.size() && i < design_.menus.size(); ++i)
    if (!design_.menus[i].inMenuBar && popups_[i].second) DestroyMenu(popups_[i].second);
}

void Win32Window::destroy() {
  if (!hwnd_) return;
  if (trayAdded_) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd_;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayAdded_ = false;
  }
  trayWanted_ = false;
  DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
  hwnd_ = nullptr;
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
    case WM_ERASEBKGND:
      if (ownBackground_ && backgroundBrush_) {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_);
        return 1;
      }
      break;
    case WM_DRAWITEM:
      if (onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_MEASUREITEM:
      onMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      onTimer(wParam);
      return 0;
    case win32::kTrayMessage:
      onTrayCallback(wParam, lParam);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      // Moved, resized, minimised or restored: the position-changed event.
      LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
      const UINT flags = reinterpret_cast<const WINDOWPOS*>(lParam)->flags;
      if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) && ready_ &&
          events.positionChanged) {
        std::function<void()> handler = events.positionChanged;
        handler();
      }
      return result;
    }
    case WM_CLOSE: {
      // The user's close request; the handler may refuse it. Logging off or
      // shutting down is not refused (WM_QUERYENDSESSION below).
      if (!desktop_.exiting() && ready_ && events.canClose) {
        std::function<bool()> canClose = events.canClose;
        if (!canClose()) return 0;
      }
      const bool isMain = desktop_.mainWindow() == this;
      if (beforeClose) beforeClose();
      destroy();
      if (isMain) PostQuitMessage(0);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_DESTROY:
      for (std::size_t i = 0; i < design_.menus.size(); ++i)
        win32::removeNameProperty(hwnd_, (L"QuenthorMenu" + std::to_wstring(i)).c_str());
      RemovePropW(hwnd_, kTrayProperty);
      break;
    default:
      if (message != 0 && message == desktop_.taskbarCreatedMessage()) {
        // Explorer restarted: the notification area forgot the icon.
        trayAdded_ = false;
        if (trayWanted_) addTrayIcon();
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::onCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0) {  // a menu item
    const int item = id - win32::kFirstMenuId;
    if (code == 0 && item >= 0 && item < static_cast<int>(menuItems_.size()))
      fire(events.clicked, menuItems_[static_cast<std::size_t>(item)]);
    return;
  }
  Win32Control* control = fromId(id);
  if (!control) return;
  const Text name = control->design->name;
  switch (control->design->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) fire(events.clicked, name);
      break;
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        showComboText(*control);
        fire(events.itemSelected, name);
      }
      break;
    default:
      break;
  }
}

Win32Control* Win32Window::find(const Text& name) {
  for (Win32Control& control : controls_)
    if (name == control.design->name) return &control;
  return nullptr;
}

const Win32Control* Win32Window::find(const Text& name) const {
  for (const Win32Control& control : controls_)
    if (name == control.design->name) return &control;
  return nullptr;
}

Win32Control* Win32Window::fromId(int id) {
  const int index = id - win32::kFirstControlId;
  if (index < 0 || index >= static_cast<int>(controls_.size())) return nullptr;
  return &controls_[static_cast<std::size_t>(index)];
}

HWND Win32Window::controlHandle(const Text& name) const {
  const Win32Control* control = find(name);
  return control ? control->hwnd : nullptr;
}

}  // namespace ui
