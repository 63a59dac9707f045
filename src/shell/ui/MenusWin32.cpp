// The menus of a Win32 window: the menu bar and the pop-up-only menus made
// from the design, and the description outside tools read.
#include "shell/ui/Win32Window.h"

namespace ui {

void Win32Window::buildMenus() {
  for (const MenuItemDesign& top : design_.menus) {
    const std::wstring caption = win32::wide(top.caption);
    if (top.items.empty()) {  // an item directly in the bar
      popups_.emplace_back(top.name, nullptr);
      if (!top.inMenuBar) continue;
      if (!menuBar_) menuBar_ = CreateMenu();
      AppendMenuW(menuBar_, MF_STRING,
                  static_cast<UINT_PTR>(win32::kFirstMenuId + menuItems_.size()), caption.c_str());
      menuItems_.push_back(top.name);
      continue;
    }
    HMENU popup = CreatePopupMenu();
    for (const MenuItemDesign& item : top.items) {
      if (Text(item.caption) == "-") {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      const std::wstring itemCaption = win32::wide(item.caption);
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(win32::kFirstMenuId + menuItems_.size()),
                  itemCaption.c_str());
      menuItems_.push_back(item.name);
    }
    popups_.emplace_back(top.name, popup);
    if (!top.inMenuBar) continue;
    if (!menuBar_) menuBar_ = CreateMenu();
    AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
  }
}

// Menus live inside their process, so another process cannot read them. Each
// top-level menu is described in a property "QuenthorMenu<index>" of the
// window: "bar" or "popup", its name and caption, then each item's name and
// caption, separated by tabs.
void Win32Window::publishMenus() {
  for (std::size_t i = 0; i < design_.menus.size(); ++i) {
    const MenuItemDesign& top = design_.menus[i];
    std::wstring description = top.inMenuBar ? L"bar" : L"popup";
    description += L"\t" + win32::wide(top.name) + L"\t" + win32::wide(top.caption);
    for (const MenuItemDesign& item : top.items)
      description += L"\t" + win32::wide(item.name) + L"\t" + win32::wide(item.caption);
    win32::setNameProperty(hwnd_, (L"QuenthorMenu" + std::to_wstring(i)).c_str(), description);
  }
}

}  // namespace ui
