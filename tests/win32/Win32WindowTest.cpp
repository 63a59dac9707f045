// The Win32 window layer under Wine: windows and controls made from a design,
// and their properties.
#include "support/GbkPrint.h"
#include "win32/Win32TestSupport.h"

#include <commctrl.h>

namespace {

using namespace win32test;

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = &static_cast<ui::Win32Window&>(desktop.openMainWindow(testDesign(), nullptr));
    ASSERT_NE(window->hwnd(), nullptr);
  }
  HWND control(const char* name) { return window->controlHandle(name); }
  RECT clientRect(const char* name) {
    RECT r{};
    GetWindowRect(control(name), &r);
    MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  LONG style(const char* name) { return GetWindowLongW(control(name), GWL_STYLE); }

  ui::Win32Desktop desktop{GetModuleHandleW(nullptr)};
  ui::Win32Window* window = nullptr;
};

TEST_F(Win32WindowTest, ControlsHaveTheirClassPlaceTextAndName) {
  struct Case {
    const char* name;
    const wchar_t* className;
    RECT place;  // in the client area: a box's place is added to its controls'
    const wchar_t* text;
  };
  const Case cases[] = {
      {"分组框1", L"Button", {10, 10, 210, 140}, L"设置"},
      {"标签1", L"Static", {16, 31, 76, 49}, L"用户："},
      {"编辑框1", L"Edit", {80, 28, 200, 52}, L""},
      {"编辑框2", L"Edit", {80, 58, 130, 82}, L"50"},
      {"按钮1", L"Button", {140, 58, 200, 84}, L"确定"},
      {"编辑框4", L"Edit", {220, 10, 400, 34}, L""},
      {"选择框1", L"Button", {220, 110, 370, 130}, L"启用"},
      {"组合框1", L"ComboBox", {220, 140, 320, 165}, L"邮件系统"},
      {"图片框1", L"Static", {10, 180, 110, 220}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.name));
    HWND child = control(c.name);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(className(child), c.className);
    RECT r = clientRect(c.name);
    EXPECT_EQ(r.left, c.place.left);
    EXPECT_EQ(r.top, c.place.top);
    EXPECT_EQ(r.right, c.place.right);
    EXPECT_EQ(r.bottom, c.place.bottom);  // a combo box closed
    EXPECT_EQ(windowTextW(child), c.text);
    // The design name, readable from any process through the global atom.
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(child, L"QuenthorName")));
    wchar_t name[256] = L"";
    GlobalGetAtomNameW(atom, name, 256);
    EXPECT_EQ(ui::win32::gbk(name), c.name);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), desktop.font());
  }
  EXPECT_EQ(windowTextW(window->hwnd()), L"测试窗口 Quenthor");
  EXPECT_TRUE(IsWindowVisible(window->hwnd()));
  // The client area the design was drawn for: outer size less a 3-pixel
  // frame, an 18-pixel caption and a 19-pixel menu bar.
  EXPECT_EQ(window->clientWidth(), 420 - 6);
  EXPECT_EQ(window->clientHeight(), 330 - 6 - 18 - 19);
  // Faceless controls have no window.
  for (const char* faceless : {"时钟1", "通用对话框1", "组件1"})
    EXPECT_EQ(control(faceless), nullptr);
}

TEST_F(Win32WindowTest, EditFlagsBecomeTheControlsOwnBehaviour) {
  EXPECT_EQ(SendMessageW(control("编辑框3"), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(SendMessageW(control("编辑框4"), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_TRUE(style("编辑框2") & ES_CENTER);
  EXPECT_TRUE(style("编辑框5") & ES_READONLY);
  EXPECT_TRUE(style("编辑框5") & ES_MULTILINE);
  EXPECT_TRUE(style("编辑框5") & WS_VSCROLL);
  EXPECT_TRUE(style("标签1") & SS_RIGHT);
  EXPECT_EQ(SendMessageW(control("选择框1"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(style("按钮2") & WS_VISIBLE);

  // A limit set by the design holds for typing too: the 11th character is refused.
  for (wchar_t c : std::wstring(L"0123456789X")) SendMessageW(control("编辑框4"), WM_CHAR, c, 0);
  EXPECT_GBK_EQ(window->text("编辑框4"), "0123456789");
}

TEST_F(Win32WindowTest, DigitFieldsRefuseOtherTypedCharactersButNotControlKeysOrPaste) {
  HWND digits = control("编辑框2");
  window->setText("编辑框2", "");
  for (wchar_t c : std::wstring(L"a1-x2 。３")) SendMessageW(digits, WM_CHAR, c, 0);
  EXPECT_GBK_EQ(window->text("编辑框2"), "1-2");
  SendMessageW(digits, WM_CHAR, L'\b', 0);  // backspace is a control character
  EXPECT_GBK_EQ(window->text("编辑框2"), "1-");

  // Pasting is not filtered.
  ASSERT_TRUE(OpenClipboard(window->hwnd()));
  EmptyClipboard();
  const wchar_t pasted[] = L"ab";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(pasted));
  memcpy(GlobalLock(memory), pasted, sizeof(pasted));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(digits, EM_SETSEL, 2, 2);
  SendMessageW(digits, WM_PASTE, 0, 0);
  EXPECT_GBK_EQ(window->text("编辑框2"), "1-ab");

  // Other fields take every character.
  for (wchar_t c : std::wstring(L"a中")) SendMessageW(control("编辑框1"), WM_CHAR, c, 0);
  EXPECT_GBK_EQ(window->text("编辑框1"), "a中");
}

TEST_F(Win32WindowTest, TextsRoundTripAsGbk) {
  for (const char* name :
       {"", "编辑框1", "编辑框5", "按钮1", "标签1", "选择框1", "分组框1", "通用对话框1", "组件1"}) {
    SCOPED_TRACE(utf8(name));
    const Text text = Text("中文 ") + name + " №1";
    window->setText(name, text);
    EXPECT_GBK_EQ(window->text(name), text);
  }
  EXPECT_EQ(windowTextW(control("编辑框1")), L"中文 编辑框1 №1");
  EXPECT_GBK_EQ(window->text("没有这个"), "");
}

TEST_F(Win32WindowTest, AppendTextAddsAtTheEndOfAMultiLineBox) {
  window->setText("编辑框5", "第一行\r\n");
  SendMessageW(control("编辑框5"), EM_SETSEL, 0, 0);  // caret at the start
  window->appendText("编辑框5", "第二行\r\n");
  window->appendText("编辑框5", "第三行");
  EXPECT_GBK_EQ(window->text("编辑框5"), "第一行\r\n第二行\r\n第三行");
  // Far beyond the default limit of an edit control.
  window->setText("编辑框5", "");
  const Text line(1000, 'x');
  for (int i = 0; i < 40; ++i) window->appendText("编辑框5", line);
  EXPECT_EQ(window->text("编辑框5").size(), 40000u);
}

TEST_F(Win32WindowTest, StateFlagsReadBackWhatWasWritten) {
  window->setDisabled("按钮1", true);
  EXPECT_TRUE(window->disabled("按钮1"));
  EXPECT_FALSE(IsWindowEnabled(control("按钮1")));
  window->setDisabled("按钮1", false);
  EXPECT_FALSE(window->disabled("按钮1"));

  window->setVisible("按钮2", true);
  EXPECT_TRUE(window->visible("按钮2"));
  window->setVisible("按钮1", false);
  EXPECT_FALSE(window->visible("按钮1"));
  // A control of a hidden window keeps its own visibility.
  window->setVisible("", false);
  EXPECT_FALSE(window->visible(""));
  EXPECT_TRUE(window->visible("按钮2"));
  window->setVisible("", true);
  EXPECT_TRUE(window->visible(""));

  EXPECT_TRUE(window->checked("选择框1"));
  window->setChecked("选择框1", false);
  EXPECT_FALSE(window->checked("选择框1"));

  EXPECT_EQ(window->inputMode("编辑框1"), 0);
  EXPECT_EQ(window->inputMode("编辑框5"), 1);
  window->setInputMode("编辑框1", 1);
  EXPECT_EQ(window->inputMode("编辑框1"), 1);
  EXPECT_TRUE(GetWindowLongW(control("编辑框1"), GWL_STYLE) & ES_READONLY);
  window->setInputMode("编辑框1", 0);
  EXPECT_EQ(window->inputMode("编辑框1"), 0);

  EXPECT_FALSE(window->disabled("时钟1"));
  EXPECT_FALSE(window->visible("时钟1"));
}

TEST_F(Win32WindowTest, ComboBoxShowsItsTextUntilAnItemIsChosen) {
  EXPECT_EQ(window->currentItem("组合框1"), -1);
  EXPECT_GBK_EQ(window->text("组合框1"), "邮件系统");
  EXPECT_EQ(SendMessageW(control("组合框1"), CB_GETCOUNT, 0, 0), 2);
  window->setCurrentItem("组合框1", 1);
  EXPECT_EQ(window->currentItem("组合框1"), 1);
  EXPECT_GBK_EQ(window->text("组合框1"), "Winmail");
  EXPECT_EQ(windowTextW(control("组合框1")), L"Winmail");
  window->setCurrentItem("组合框1", 7);  // outside the list: none chosen
  EXPECT_EQ(window->currentItem("组合框1"), -1);
  EXPECT_GBK_EQ(window->text("组合框1"), "邮件系统");
  EXPECT_EQ(window->currentItem("编辑框1"), -1);
}

TEST_F(Win32WindowTest, BackgroundsAreWhiteGreyOrAsSet) {
  EXPECT_EQ(window->background("编辑框1"), ui::kWhiteBackground);
  EXPECT_EQ(window->background("编辑框5"), ui::kGreyBackground);
  window->setBackground("编辑框1", ui::kGreyBackground);
  EXPECT_EQ(window->background("编辑框1"), ui::kGreyBackground);

  // The colour the window hands the control to paint with.
  HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    const char* name;
    UINT message;
    COLORREF expected;
  };
  for (const Case& c : {Case{"编辑框1", WM_CTLCOLOREDIT, RGB(236, 236, 236)},
                        Case{"编辑框4", WM_CTLCOLOREDIT, RGB(255, 255, 255)},
                        Case{"编辑框5", WM_CTLCOLORSTATIC, RGB(236, 236, 236)}}) {
    SCOPED_TRACE(utf8(c.name));
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageW(window->hwnd(), c.message, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control(c.name))));
    EXPECT_NE(brush, nullptr);
    EXPECT_EQ(GetBkColor(dc), c.expected);
    LOGBRUSH info{};
    GetObjectW(brush, sizeof(info), &info);
    EXPECT_EQ(info.lbColor, c.expected);
  }
  DeleteDC(dc);

  window->setBackground("", 0x123456);
  EXPECT_EQ(window->background(""), 0x123456u);
  EXPECT_EQ(window->background("标签1"), 0x123456u);  // labels show the window's colour
}

TEST_F(Win32WindowTest, GeometryIsRelativeToTheBoxAndMovesItsControls) {
  EXPECT_EQ(window->geometry("编辑框1"), (ui::Rect{70, 18, 120, 24}));
  window->setGeometry("编辑框1", ui::Rect{60, 20, 100, 30});
  EXPECT_EQ(window->geometry("编辑框1"), (ui::Rect{60, 20, 100, 30}));
  RECT r = clientRect("编辑框1");
  EXPECT_EQ(r.left, 70);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 100);
  window->setGeometry("分组框1", ui::Rect{20, 15, 200, 130});
  r = clientRect("编辑框1");
  EXPECT_EQ(r.left, 80);
  EXPECT_EQ(r.top, 35);

  window->setGeometry("", ui::Rect{100, 120, 420, 330});
  RECT outer{};
  GetWindowRect(window->hwnd(), &outer);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 120);
  EXPECT_EQ(window->geometry("").left, 100);
}

TEST_F(Win32WindowTest, PictureReadsBackTheBytesAndIsDrawn) {
  // An 8 x 8 red JPEG.
  const ByteBlob red = {
      0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00,
      0x01, 0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01,
      0x01, 0x02, 0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02,
      0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06,
      0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0b, 0x08, 0x09, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x06, 0x08, 0x0b, 0x0c, 0x0b, 0x0a, 0x0c, 0x09, 0x0a, 0x0a, 0x0a, 0xff,
      0xdb, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0a,
      0x07, 0x06, 0x07, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x08,
      0x00, 0x08, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00,
      0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x08, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x15,
      0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x08, 0x09, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x0c,
      0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x17, 0x8a, 0x6b, 0xf8, 0xff,
      0xd9};
  window->setPicture("图片框1", red);
  EXPECT_EQ(window->picture("图片框1"), red);
  UpdateWindow(window->hwnd());
  pumpFor(100);
  HWND picture = control("图片框1");
  HDC dc = GetDC(picture);
  COLORREF pixel = GetPixel(dc, 50, 20);
  ReleaseDC(picture, dc);
  EXPECT_GT(GetRValue(pixel), 200);
  EXPECT_LT(GetGValue(pixel), 60);
  EXPECT_LT(GetBValue(pixel), 60);

  // Bytes that are no picture are kept, and nothing is drawn.
  const ByteBlob junk = {1, 2, 3};
  window->setPicture("图片框1", junk);
  EXPECT_EQ(window->picture("图片框1"), junk);
}

TEST_F(Win32WindowTest, MenusFollowTheDesign) {
  HMENU bar = GetMenu(window->hwnd());
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);  // the tray menu is not in the bar
  wchar_t caption[64] = L"";
  GetMenuStringW(bar, 0, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"文件");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  GetMenuStringW(file, 2, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"关于");
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

  // The description outside tools read.
  ATOM atom =
      static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(window->hwnd(), L"QuenthorMenu2")));
  wchar_t description[256] = L"";
  GlobalGetAtomNameW(atom, description, 256);
  EXPECT_STREQ(description, L"popup\t托盘菜单\t托盘菜单\t菜单_显示\t显示\t菜单_退出\t退出");
}

}  // namespace
