// The Win32 window layer under Wine: events reach the handlers by control and
// menu item name; close requests, window state, the tray icon and its menu.
#include <vector>

#include "shell/ProgramIcon.h"
#include "support/GbkPrint.h"
#include "win32/Win32TestSupport.h"

#include <shellapi.h>

namespace {

using namespace win32test;

class Win32EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Window& w = desktop.openMainWindow(testDesign(), [this](ui::Window& opened) {
      ui::WindowEvents& e = opened.events;
      e.created = [this] { log.push_back("created"); };
      e.canClose = [this] {
        log.push_back("canClose");
        return allowClose;
      };
      e.positionChanged = [this] { log.push_back("position:" + std::to_string(window->state())); };
      e.tray = [this](int code) { log.push_back("tray:" + std::to_string(code)); };
      for (const char* name :
           {"按钮1", "选择框1", "菜单_导出", "菜单_关于", "菜单_说明", "菜单_显示", "菜单_退出"})
        e.clicked[name] = [this, name] { log.push_back(Text("clicked:") + name); };
      e.itemSelected["组合框1"] = [this] {
        log.push_back("selected:" + std::to_string(window->currentItem("组合框1")));
      };
      e.mouseDown["图片框1"] = [this] { log.push_back("mouseDown"); };
    });
    window = &static_cast<ui::Win32Window&>(w);
    ASSERT_NE(window->hwnd(), nullptr);
    ASSERT_EQ(log, std::vector<Text>{"created"});
    log.clear();
  }

  HWND control(const char* name) { return window->controlHandle(name); }
  std::vector<Text> drain() {
    pumpFor(50);
    std::vector<Text> out;
    out.swap(log);
    return out;
  }
  // A menu item's command ID, found in this process's own menus.
  UINT menuItemId(HMENU menu, int top, int item) {
    return GetMenuItemID(GetSubMenu(menu, top), item);
  }

  ui::Win32Desktop desktop{GetModuleHandleW(nullptr)};
  ui::Win32Window* window = nullptr;
  std::vector<Text> log;
  bool allowClose = false;
};

TEST_F(Win32EventsTest, ClicksAndSelectionsReachTheirHandlers) {
  SendMessageW(control("按钮1"), BM_CLICK, 0, 0);
  SendMessageW(control("选择框1"), BM_CLICK, 0, 0);
  EXPECT_EQ(drain(), (std::vector<Text>{"clicked:按钮1", "clicked:选择框1"}));
  EXPECT_FALSE(window->checked("选择框1"));  // the click took the tick away

  // Choosing from the list as the user does: the selection, then the notice.
  SendMessageW(control("组合框1"), CB_SETCURSEL, 1, 0);
  SendMessageW(window->hwnd(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(control("组合框1")), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control("组合框1")));
  EXPECT_EQ(drain(), std::vector<Text>{"selected:1"});
  EXPECT_GBK_EQ(window->text("组合框1"), "Winmail");

  POINT inside{5, 5};
  SendMessageW(control("图片框1"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
  SendMessageW(control("图片框1"), WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
  EXPECT_EQ(drain(), std::vector<Text>{"mouseDown"});
  // The banner shows the hand-shaped pointer.
  SendMessageW(control("图片框1"), WM_SETCURSOR, reinterpret_cast<WPARAM>(control("图片框1")),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));

  // Menu items by their names: the separator takes no ID.
  HMENU bar = GetMenu(window->hwnd());
  for (auto [top, item] : {std::pair{0, 0}, std::pair{0, 2}, std::pair{1, 0}})
    PostMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(menuItemId(bar, top, item), 0), 0);
  EXPECT_EQ(drain(),
            (std::vector<Text>{"clicked:菜单_导出", "clicked:菜单_关于", "clicked:菜单_说明"}));
}

TEST_F(Win32EventsTest, KeyboardReachesTheMenuBar) {
  // Alt, then the arrow keys and Enter, as a keyboard user chooses "帮助/说明".
  PostMessageW(window->hwnd(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  PostMessageW(window->hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageW(window->hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(window->hwnd(), WM_CHAR, L'\r', 0);
  EXPECT_TRUE(pumpUntil([this] { return !log.empty(); }, 3000));
  EXPECT_EQ(drain(), std::vector<Text>{"clicked:菜单_说明"});
}

TEST_F(Win32EventsTest, RefusedCloseKeepsTheWindowButSessionEndIsNotRefused) {
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(drain(), std::vector<Text>{"canClose"});
  EXPECT_TRUE(IsWindow(window->hwnd()));
  EXPECT_EQ(SendMessageW(window->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(drain().empty());  // the program's handler is not asked

  allowClose = true;
  HWND hwnd = window->hwnd();
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(window->destroyed());
  // Closing the main window ends the message loop.
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Win32EventsTest, StateWritesActOnlyWhileTheWindowIsShown) {
  window->setVisible("", false);
  window->setState(ui::kStateMinimised);
  EXPECT_EQ(window->state(), ui::kStateNormal);
  EXPECT_FALSE(window->visible(""));
  EXPECT_TRUE(drain().empty());

  window->setVisible("", true);
  window->setState(ui::kStateMinimised);
  EXPECT_EQ(window->state(), ui::kStateMinimised);
  std::vector<Text> events = drain();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "position:2");  // the handler sees the window minimised

  window->setState(ui::kStateRestoreCentred);
  EXPECT_EQ(window->state(), ui::kStateNormal);
  EXPECT_FALSE(drain().empty());
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window->hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  RECT outer{};
  GetWindowRect(window->hwnd(), &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 1);

  window->setState(ui::kStateMinimised);
  window->setState(ui::kStateNormal);
  EXPECT_EQ(window->state(), ui::kStateNormal);
  // A move is a position change too.
  drain();
  window->setGeometry("", ui::Rect{30, 30, 420, 330});
  EXPECT_EQ(drain(), std::vector<Text>{"position:0"});
}

class Win32TrayTest : public Win32EventsTest {
 protected:
  void TearDown() override { window->destroy(); }
  // The notification area's callback, in the form version 4 sends it.
  void tray(UINT mouseMessage) {
    SendMessageW(window->hwnd(), ui::win32::kTrayMessage, 0, MAKELPARAM(mouseMessage, 1));
  }
  NOTIFYICONDATAW iconData() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window->hwnd();
    data.uID = 1;
    return data;
  }
};

TEST_F(Win32TrayTest, TrayCallbacksBecomeTheThreeEventCodes) {
  window->setTrayIcon(ProgramIcon::ico(), "提示");
  // What the shell sends for a right click, a double click and the context-menu key.
  for (UINT m : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}) tray(m);
  EXPECT_EQ(drain(), std::vector<Text>{"tray:3"});
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) tray(m);
  EXPECT_EQ(drain(), (std::vector<Text>{"tray:1", "tray:2", "tray:1"}));
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropW(window->hwnd(), L"QuenthorTray")),
            ui::win32::kTrayMessage);
}

TEST_F(Win32TrayTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
  window->setTrayIcon(ProgramIcon::ico(), "提示");
  NOTIFYICONDATAW data = iconData();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));  // as if Explorer had restarted
  data = iconData();
  SendMessageW(window->hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  data = iconData();
  data.uFlags = NIF_TIP;
  wcscpy(data.szTip, L"再次");
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));  // the icon is there again
}

TEST_F(Win32TrayTest, PopupMenuItemsAreChosenWithTheKeyboard) {
  // Down to the second item of the tray menu, then Enter, once the menu shows.
  std::thread user([this] {
    HWND hwnd = window->hwnd();
    for (int i = 0; i < 200; ++i) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(hwnd, WM_CHAR, L'\r', 0);
        return;
      }
      Sleep(20);
    }
  });
  window->popupMenu("托盘菜单");
  user.join();
  EXPECT_EQ(drain(), std::vector<Text>{"clicked:菜单_退出"});
  window->popupMenu("没有这个菜单");  // nothing pops up, nothing blocks
}

}  // namespace
