// The Win32 window layer: top-level windows with named child controls made
// from a WindowDesign, and the desktop services around them. Windows only
// (the files of this layer end in Win32.cpp).
//
// Every control of a design becomes one child of the top-level window, also
// those inside group boxes: a box's place is added to its controls' places,
// and the boxes lie at the bottom of the z-order, so that clicks and commands
// reach the top-level window's procedure directly. Design places are pixels at
// 96 DPI and scaled by the system DPI.
//
// Outside tools find a control by its design name: each child holds a window
// property "QuenthorName" (a global atom of the name), each top-level menu of
// the design a property "QuenthorMenu<index>", and the top-level window the
// tray callback message in "QuenthorTray" (see tests/driver).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/ui/TimerChain.h"
#include "shell/ui/Window.h"

namespace ui {

class Win32Desktop;

namespace win32 {

// Texts at the Win32 edge: GBK inside, UTF-16 for the W functions.
std::wstring wide(const Text& gbk);
Text gbk(const std::wstring& utf16);
Text windowText(HWND window);
void setWindowText(HWND window, const Text& text);

inline constexpr wchar_t kWindowClass[] = L"QuenthorWindow";
// Control IDs: design index + kFirstControlId; menu items from kFirstMenuId.
inline constexpr int kFirstControlId = 1000;
inline constexpr int kFirstMenuId = 30000;
// The tray icon's callback message.
inline constexpr UINT kTrayMessage = WM_APP + 1;

// A .ico file's image closest to size x size pixels; null when none reads.
HICON iconFromIco(const ByteBlob& ico, int size);
// Pictures are decoded with GDI+, which is started once per desktop.
ULONG_PTR startPictures();
void stopPictures(ULONG_PTR token);
// A JPEG (or any picture GDI+ reads) as a bitmap; null when it does not decode.
HBITMAP decodePicture(const ByteBlob& bytes);

// Window properties holding texts for outside tools (a global atom each).
void setNameProperty(HWND window, const wchar_t* property, const std::wstring& value);
void removeNameProperty(HWND window, const wchar_t* property);

}  // namespace win32

// One control of a window: its design, its child window (null for controls
// without a face) and the state the layer keeps beside it.
struct Win32Control {
  const ControlDesign* design = nullptr;
  HWND hwnd = nullptr;
  Rect place;             // relative to its parent box, in design pixels
  Text text;              // faceless controls; a combo box's text when nothing is chosen
  bool disabled = false;  // faceless controls
  bool ownBackground = false;
  std::uint32_t background = kWhiteBackground;  // 0xBBGGRR, when ownBackground
  HBRUSH brush = nullptr;
  ByteBlob picture;
  HBITMAP bitmap = nullptr;
  TimerChain::State timer;
};

class Win32Window final : public Window {
 public:
  // Creates the window hidden, with its controls and menus; `owner` is the
  // window a dialog-mode window belongs to.
  Win32Window(Win32Desktop& desktop, const WindowDesign& design, HWND owner);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  Text text(const Text& control) const override;
  void setText(const Text& control, const Text& text) override;
  void appendText(const Text& control, const Text& text) override;
  bool disabled(const Text& control) const override;
  void setDisabled(const Text& control, bool disabled) override;
  bool visible(const Text& control) const override;
  void setVisible(const Text& control, bool visible) override;
  ByteBlob picture(const Text& control) const override;
  void setPicture(const Text& control, const ByteBlob& jpeg) override;
  bool checked(const Text& control) const override;
  void setChecked(const Text& control, bool checked) override;
  int currentItem(const Text& control) const override;
  void setCurrentItem(const Text& control, int index) override;
  int inputMode(const Text& control) const override;
  void setInputMode(const Text& control, int mode) override;
  std::uint32_t background(const Text& control) const override;
  void setBackground(const Text& control, std::uint32_t colour) override;
  Rect geometry(const Text& control) const override;
  void setGeometry(const Text& control, const Rect& rect) override;
  int clientWidth() const override;
  int clientHeight() const override;
  int state() const override;
  void setState(int state) override;
  std::int64_t timerPeriod(const Text& timer) const override;
  void setTimerPeriod(const Text& timer, std::int64_t periodMs) override;
  void setTrayIcon(const ByteBlob& ico, const Text& tooltip) override;
  void popupMenu(const Text& menu) override;
  bool runSaveDialog(const Text& dialog) override;

  HWND hwnd() const { return hwnd_; }
  // The child window of a control; null for an unknown name or a faceless one.
  HWND controlHandle(const Text& name) const;
  bool destroyed() const { return hwnd_ == nullptr; }
  // Events reach the handlers only once the window is wired (openMainWindow
  // and runDialog set this after `setup`).
  void setReady() { ready_ = true; }
  // Called before a dialog-mode window is destroyed by its close button.
  std::function<void()> beforeClose;
  // Destroys the window (its tray icon too); safe to call twice.
  void destroy();

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
  friend class Win32Desktop;

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleControl(Win32Control& control, UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onColour(HDC dc, HWND child, UINT message);
  void onTimer(UINT_PTR id);
  void onTrayCallback(WPARAM wParam, LPARAM lParam);
  bool onDrawItem(const DRAWITEMSTRUCT& item);
  void onMeasureItem(MEASUREITEMSTRUCT& item);

  // Creation (ControlsWin32.cpp, MenusWin32.cpp).
  void createControls();
  void createControl(std::size_t index);
  void buildMenus();
  void publishMenus();

  Win32Control* find(const Text& name);
  const Win32Control* find(const Text& name) const;
  Win32Control* fromId(int id);
  // A control's place in the window's client area, in design pixels.
  Rect clientPlace(const Win32Control& control) const;
  void moveControl(Win32Control& control);
  std::uint32_t windowBackground() const;
  HBRUSH brushFor(Win32Control& control);
  void armTimer(std::size_t index, const TimerChain::Action& action);
  bool addTrayIcon();
  void showComboText(Win32Control& control);
  // Runs the handler of that name, if the window is wired and has one.
  template <typename Map>
  void fire(const Map& handlers, const Text& name) {
    if (!ready_) return;
    auto it = handlers.find(name);
    if (it == handlers.end() || !it->second) return;
    auto handler = it->second;  // a handler may replace its own entry
    handler();
  }

  Win32Desktop& desktop_;
  const WindowDesign& design_;
  HWND hwnd_ = nullptr;
  bool ready_ = false;
  std::vector<Win32Control> controls_;
  bool ownBackground_ = false;
  std::uint32_t background_ = 0;
  HBRUSH backgroundBrush_ = nullptr;

  HMENU menuBar_ = nullptr;
  std::vector<std::pair<Text, HMENU>> popups_;  // every top-level menu of the design
  std::vector<Text> menuItems_;                 // item name by id - kFirstMenuId

  bool trayWanted_ = false;  // set once the program asked for the icon
  bool trayAdded_ = false;
  bool trayVersion4_ = false;
  HICON trayIcon_ = nullptr;
  std::wstring trayTooltip_;
};

class Win32Desktop final : public Desktop {
 public:
  // Sets up the layer: common controls, GDI+, the message font, the DPI and
  // the window class. `iconResource` names the class icon in the program's
  // resources (0: none).
  explicit Win32Desktop(HINSTANCE instance, int iconResource = 0);
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  Window& openMainWindow(const WindowDesign& design,
                         const std::function<void(Window&)>& setup) override;
  void runDialog(const WindowDesign& design, const std::function<void(Window&)>& setup) override;
  int messageBox(const Text& text, int flags, const Text& title) override;
  void processPendingEvents() override;
  void shellOpen(const Text& target) override;
  void exit() override;

  // The message loop of the program: runs until the quit message (the main
  // window destroyed); answers its exit code.
  int runMessageLoop();

  // --- Used by the windows. ---
  HINSTANCE instance() const { return instance_; }
  HFONT font() const { return font_; }
  int scale(int designPixels) const;
  int unscale(int devicePixels) const;
  UINT taskbarCreatedMessage() const { return taskbarCreated_; }
  // The main window, or null before openMainWindow.
  Win32Window* mainWindow() const { return main_.get(); }
  // Whether the process is in its exit: windows then no longer ask their
  // handlers before closing.
  bool exiting() const { return exiting_; }

 private:
  void dispatch(MSG& message);
  HWND messageBoxOwner() const;

  HINSTANCE instance_;
  bool comReady_ = false;
  ULONG_PTR gdiplusToken_ = 0;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  UINT taskbarCreated_ = 0;
  bool exiting_ = false;
  std::unique_ptr<Win32Window> main_;
  std::vector<Win32Window*> windows_;  // open windows, main first
};

}  // namespace ui
