// Quenthor.exe entry point.
#include <windows.h>

#include "core/CodePage.h"

namespace {

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"QuenthorMain";
  RegisterClassW(&windowClass);

  std::u16string title = CodePage::gbkToUtf16("Quenthor - by Pellucor v2.0");
  HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, reinterpret_cast<LPCWSTR>(title.c_str()),
                      WS_OVERLAPPEDWINDOW, 50, 50, 582, 596, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, showCommand);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
