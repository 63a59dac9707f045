// The desktop of the Win32 window layer: setting the layer up, opening the
// main window, dialog mode, message boxes, the message loop and the exit.
#include "shell/ui/Win32Window.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>

namespace ui {

using win32::wide;

Win32Desktop::Win32Desktop(HINSTANCE instance, int iconResource) : instance_(instance) {
  // ShellExecute wants COM on the thread that calls it.
  comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  gdiplusToken_ = win32::startPictures();

  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);

  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Win32Window::windowProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = win32::kWindowClass;
  if (iconResource != 0) {
    windowClass.hIcon =
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(iconResource),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
  }
  RegisterClassExW(&windowClass);
}

Win32Desktop::~Win32Desktop() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) (*it)->destroy();
  main_.reset();
  UnregisterClassW(win32::kWindowClass, instance_);
  if (font_) DeleteObject(font_);
  win32::stopPictures(gdiplusToken_);
  if (comReady_) CoUninitialize();
}

int Win32Desktop::scale(int designPixels) const { return MulDiv(designPixels, dpi_, 96); }
int Win32Desktop::unscale(int devicePixels) const { return MulDiv(devicePixels, 96, dpi_); }

Window& Win32Desktop::openMainWindow(const WindowDesign& design,
                                     const std::function<void(Window&)>& setup) {
  if (main_) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), main_.get()), windows_.end());
    main_->destroy();
  }
  main_ = std::make_unique<Win32Window>(*this, design, nullptr);
  Win32Window& window = *main_;
  windows_.insert(windows_.begin(), &window);
  if (setup) setup(window);
  window.setReady();
  if (window.events.created) window.events.created();
  if (!window.destroyed()) {
    ShowWindow(window.hwnd(), SW_SHOW);
    UpdateWindow(window.hwnd());
  }
  return window;
}

void Win32Desktop::runDialog(const WindowDesign& design,
                             const std::function<void(Window&)>& setup) {
  if (exiting_) return;
  HWND owner = main_ && !main_->destroyed() ? main_->hwnd() : nullptr;
  auto dialog = std::make_unique<Win32Window>(*this, design, owner);
  Win32Window* window = dialog.get();

  // Dialog mode: the program's other windows take no input until it closes.
  std::vector<HWND> disabled;
  for (Win32Window* other : windows_) {
    if (!other->destroyed() && IsWindowEnabled(other->hwnd())) {
      EnableWindow(other->hwnd(), FALSE);
      disabled.push_back(other->hwnd());
    }
  }
  auto enableOthers = [&disabled] {
    for (HWND other : disabled)
      if (IsWindow(other)) EnableWindow(other, TRUE);
    disabled.clear();
  };
  // Enabled again before the dialog goes, so that its owner, not another
  // program, becomes the active window.
  window->beforeClose = enableOthers;
  windows_.push_back(window);

  if (setup) setup(*window);
  window->setReady();
  if (window->events.created) window->events.created();
  if (!window->destroyed()) {
    ShowWindow(window->hwnd(), SW_SHOW);
    SetForegroundWindow(window->hwnd());
  }
  MSG message;
  while (!window->destroyed()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      break;
    }
    dispatch(message);
  }
  enableOthers();
  window->destroy();
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

HWND Win32Desktop::messageBoxOwner() const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    HWND window = (*it)->hwnd();
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
  }
  return nullptr;
}

int Win32Desktop::messageBox(const Text& text, int flags, const Text& title) {
  const std::wstring body = wide(text);
  const std::wstring caption = wide(title.empty() ? Text(kDefaultTitle) : title);
  UINT style = static_cast<UINT>(flags) & (MB_TYPEMASK | MB_ICONMASK);
  int answer =
      MessageBoxW(messageBoxOwner(), body.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
  if (answer == IDYES) return kAnswerYes;
  if (answer == IDNO) return kAnswerNo;
  return kAnswerOk;
}

void Win32Desktop::dispatch(MSG& message) {
  // Tab and the arrow keys move between a window's controls, as in dialogs.
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && std::any_of(windows_.begin(), windows_.end(),
                          [root](Win32Window* w) { return w->hwnd() == root; })) {
    if (IsDialogMessageW(root, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Desktop::processPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // left for the message loop
      return;
    }
    dispatch(message);
  }
}

int Win32Desktop::runMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
  return static_cast<int>(message.wParam);
}

void Win32Desktop::shellOpen(const Text& target) {
  const std::wstring what = wide(target);
  ShellExecuteW(nullptr, L"open", what.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Desktop::exit() {
  if (exiting_) return;
  exiting_ = true;
  if (exitRoutine) exitRoutine();
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) (*it)->destroy();
  ExitProcess(0);
}

}  // namespace ui
