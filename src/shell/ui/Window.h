// The window layer: windows with named controls and their properties, events,
// timers, and the desktop services around them (message boxes, dialogs,
// event pumping, shell open, exit). Two implementations: Win32 (the product)
// and an in-memory one for tests (MemoryWindow.h). No <windows.h> here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "core/Text.h"
#include "shell/ui/WindowDesign.h"

namespace ui {

// Message box flags and results.
inline constexpr int kMbError = 16;     // error icon, OK
inline constexpr int kMbQuestion = 36;  // question icon, Yes and No
inline constexpr int kMbWarning = 48;   // warning icon, OK
inline constexpr int kMbInfo = 64;      // information icon, OK
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerYes = 5;
inline constexpr int kAnswerNo = 6;
inline constexpr const char* kDefaultTitle = "信息：";

// Window states: read 2 minimised, 3 maximised, else 0. Written 0 shows it
// normally, 1 restores it and centres it on the screen, 2 minimises it.
inline constexpr int kStateNormal = 0;
inline constexpr int kStateRestoreCentred = 1;
inline constexpr int kStateMinimised = 2;
inline constexpr int kStateMaximised = 3;

// Tray event codes.
inline constexpr int kTrayLeftUp = 1;
inline constexpr int kTrayLeftDoubleClick = 2;
inline constexpr int kTrayContextMenu = 3;  // right button released or context-menu key

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// What a window does on its events. Handlers are looked up by control name
// (buttons, timers, combo boxes, picture boxes) or menu item name.
struct WindowEvents {
  std::function<void()> created;
  std::function<bool()> canClose;  // false refuses the user's close request
  std::function<void()> positionChanged;
  std::function<void(int code)> tray;
  std::map<Text, std::function<void()>> clicked;       // buttons and menu items
  std::map<Text, std::function<void()>> timer;         // a timer's periodic event
  std::map<Text, std::function<void()>> itemSelected;  // combo box list item chosen
  std::map<Text, std::function<void()>> mouseDown;     // left button pressed on a control
};

// A top-level window. Controls are addressed by their design names; an unknown
// name reads as empty/0/false and writes are ignored. The name "" addresses the
// window itself where that makes sense (visible, text = title).
class Window {
 public:
  virtual ~Window() = default;

  WindowEvents events;

  virtual Text text(const Text& control) const = 0;  // edit text, caption, dialog file name
  virtual void setText(const Text& control, const Text& text) = 0;
  // Caret to the end, scroll there, insert: how output boxes grow.
  virtual void appendText(const Text& control, const Text& text) = 0;

  virtual bool disabled(const Text& control) const = 0;
  virtual void setDisabled(const Text& control, bool disabled) = 0;
  virtual bool visible(const Text& control) const = 0;
  virtual void setVisible(const Text& control, bool visible) = 0;
  // A picture box's picture: the JPEG bytes last written.
  virtual ByteBlob picture(const Text& control) const = 0;
  virtual void setPicture(const Text& control, const ByteBlob& jpeg) = 0;
  virtual bool checked(const Text& control) const = 0;
  virtual void setChecked(const Text& control, bool checked) = 0;
  virtual int currentItem(const Text& control) const = 0;  // -1: none
  virtual void setCurrentItem(const Text& control, int index) = 0;
  virtual int inputMode(const Text& control) const = 0;  // 0 normal, 1 read-only
  virtual void setInputMode(const Text& control, int mode) = 0;
  virtual std::uint32_t background(const Text& control) const = 0;  // 0xBBGGRR
  virtual void setBackground(const Text& control, std::uint32_t colour) = 0;
  // Relative to the parent (window client area or group box).
  virtual Rect geometry(const Text& control) const = 0;
  virtual void setGeometry(const Text& control, const Rect& rect) = 0;
  virtual int clientWidth() const = 0;
  virtual int clientHeight() const = 0;

  virtual int state() const = 0;
  virtual void setState(int state) = 0;  // acts only while the window is visible

  // Periods in milliseconds, 64 bits wide. 0 or negative stops the timer;
  // writing the period already set keeps the running count; any other
  // positive value restarts it.
  virtual std::int64_t timerPeriod(const Text& timer) const = 0;
  virtual void setTimerPeriod(const Text& timer, std::int64_t periodMs) = 0;

  // The first call adds the icon, later ones replace icon and tooltip.
  virtual void setTrayIcon(const ByteBlob& ico, const Text& tooltip) = 0;
  // Pops up a top-level menu of the design (by name) at the mouse pointer.
  virtual void popupMenu(const Text& menu) = 0;
  // Shows a save-file dialog of the design; true when a file was chosen, and
  // text(dialog) then holds its full path.
  virtual bool runSaveDialog(const Text& dialog) = 0;
};

// The services around the windows.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Creates a window from its design, wires `setup` (which fills in its
  // events), runs its created event and shows it (the main window).
  virtual Window& openMainWindow(const WindowDesign& design,
                                 const std::function<void(Window&)>& setup) = 0;
  // Loads a secondary window in dialog mode: the other windows are disabled
  // until it closes, and the call returns only then. Events and timers go on.
  virtual void runDialog(const WindowDesign& design, const std::function<void(Window&)>& setup) = 0;

  // Flags and results as above; an empty title gives the default "信息：".
  virtual int messageBox(const Text& text, int flags, const Text& title) = 0;
  virtual void processPendingEvents() = 0;
  virtual void shellOpen(const Text& target) = 0;
  // Runs the exit routine, closes the windows and ends the process with code 0.
  virtual void exit() = 0;

  std::function<void()> exitRoutine;
};

// A message box with the default title.
inline int messageBox(Desktop& desktop, const Text& text, int flags) {
  return desktop.messageBox(text, flags, "");
}

}  // namespace ui
