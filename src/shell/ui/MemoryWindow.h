// The in-memory window layer: the same designs as the Win32 layer, with
// controls as property records, timers on a virtual clock that the test
// advances, and message boxes and save dialogs answered by the test. Everything
// the program asks of the desktop is recorded so tests can look at it.
//
// User actions (clicks, typing, tray events, close requests) are test helpers
// that act only where a user could act: on an open, enabled, visible window
// and control, and not after the program has exited. They answer false when
// the action was not possible.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "shell/ui/Window.h"

namespace ui {

class MemoryDesktop;

struct ControlRecord {
  const ControlDesign* design = nullptr;
  Text text;
  bool disabled = false;
  bool visible = true;
  ByteBlob picture;
  bool checked = false;
  int currentItem = -1;
  int inputMode = 0;
  std::uint32_t background = kWhiteBackground;
  Rect geometry;
};

struct TimerRecord {
  std::int64_t period = 0;  // 0: stopped
  std::int64_t due = 0;     // virtual time of the next event while running
  std::uint64_t order = 0;  // breaks ties between timers due at the same time
  std::int64_t fired = 0;   // events delivered so far
};

class MemoryWindow final : public Window {
 public:
  MemoryWindow(MemoryDesktop& desktop, const WindowDesign& design);

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

  // --- What tests look at. ---
  const WindowDesign& design() const { return design_; }
  const ControlRecord* control(const Text& name) const;
  const TimerRecord* timer(const Text& name) const;
  bool isOpen() const { return open_; }
  bool trayIconPresent() const { return trayCalls_ > 0; }
  const ByteBlob& trayIcon() const { return trayIcon_; }
  const Text& trayTooltip() const { return trayTooltip_; }
  int trayIconCalls() const { return trayCalls_; }
  // The menus popped up, in order, and the one still open (empty when none).
  const std::vector<Text>& popups() const { return popups_; }
  const Text& openPopup() const { return openPopup_; }
  // How often the window was centred on the screen (state write 1).
  int centredCount() const { return centred_; }

  // --- What a user does. ---
  // A button, check box (toggles it) or menu item. Menu bar items need the
  // window shown; items of a pop-up-only menu need that menu popped up.
  bool click(const Text& name);
  // Chooses a list item as the user does; an index outside the list leaves no
  // item chosen (as the control does) and still reports the selection.
  bool selectItem(const Text& combo, int index);
  // Types characters at the end of an edit box, filtered as the control
  // filters keystrokes (digits-only fields, read-only, length limit).
  bool typeText(const Text& edit, const Text& typed);
  bool mouseDown(const Text& control);
  // The title bar's minimise button.
  bool minimise();
  // The title bar's close button: asks canClose, closes when it agrees.
  bool requestClose();
  // A notification-area event; reaches the window even while it is disabled.
  bool trayEvent(int code);
  void dismissPopup() { openPopup_.clear(); }

  // Closes the window: hidden, timers stopped, no more events.
  void close();

 private:
  friend class MemoryDesktop;

  ControlRecord* find(const Text& name);
  const ControlRecord* find(const Text& name) const;
  const MenuItemDesign* findMenuItem(const Text& name, const MenuItemDesign** top) const;
  bool userCanAct() const;
  void changedPosition();

  MemoryDesktop& desktop_;
  const WindowDesign& design_;
  std::vector<ControlRecord> controls_;
  std::map<Text, TimerRecord> timers_;
  Text title_;
  Rect rect_;
  bool windowVisible_ = false;
  bool windowDisabled_ = false;
  int state_ = kStateNormal;
  bool open_ = true;
  int centred_ = 0;
  ByteBlob trayIcon_;
  Text trayTooltip_;
  int trayCalls_ = 0;
  std::vector<Text> popups_;
  Text openPopup_;
};

struct MessageBoxRecord {
  Text text;
  int flags = 0;
  Text title;  // as shown: an empty title reads "信息："
  int answer = 0;
};

struct SaveDialogRecord {
  Text dialog;       // the dialog control's name
  Text initialName;  // the file name the dialog opened with
  Text filter, initialFolder, defaultExtension;
  Text chosen;  // the full path chosen; empty when cancelled
};

class MemoryDesktop final : public Desktop {
 public:
  MemoryDesktop() = default;
  MemoryDesktop(const MemoryDesktop&) = delete;
  MemoryDesktop& operator=(const MemoryDesktop&) = delete;

  Window& openMainWindow(const WindowDesign& design,
                         const std::function<void(Window&)>& setup) override;
  void runDialog(const WindowDesign& design, const std::function<void(Window&)>& setup) override;
  int messageBox(const Text& text, int flags, const Text& title) override;
  void processPendingEvents() override;
  void shellOpen(const Text& target) override;
  void exit() override;

  // --- The virtual clock. ---
  std::int64_t now() const { return now_; }
  // Moves the clock on by ms, delivering every timer event that falls due on
  // the way in due order (ties in the order the timers were armed).
  void advance(std::int64_t ms);

  // --- Answers the test gives in advance. ---
  // Message boxes take answers from this queue; with none left an OK box
  // answers 0 and a Yes/No box answers No.
  std::deque<int> messageBoxAnswers;
  // Save dialogs take a path (chosen) or nullopt (cancelled); none left
  // cancels. A name without an extension gets the default extension.
  std::deque<std::optional<Text>> saveDialogAnswers;
  // Run while a dialog-mode window is open, one per runDialog, in order; the
  // window closes (as with its close button) when the script returns. None
  // left: the dialog closes at once.
  std::deque<std::function<void(MemoryWindow& dialog)>> dialogScripts;
  // Called by processPendingEvents: what "the user did meanwhile".
  std::function<void()> onPendingEvents;
  // The screen that state 1 centres on.
  int screenWidth = 1280, screenHeight = 1024;

  // --- Records. ---
  MemoryWindow* mainWindow() const { return main_; }
  const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
  const std::vector<SaveDialogRecord>& saveDialogs() const { return saveDialogs_; }
  const std::vector<Text>& shellOpens() const { return shellOpens_; }
  // Every window run in dialog mode, in order, kept after it closed.
  const std::vector<MemoryWindow*>& dialogs() const { return dialogs_; }
  int exitCalls() const { return exitCalls_; }
  bool exited() const { return exitCalls_ > 0; }
  int pendingEventCalls() const { return pendingEventCalls_; }

  // --- Used by MemoryWindow. ---
  std::uint64_t nextTimerOrder() { return ++timerOrder_; }
  void recordSaveDialog(const SaveDialogRecord& record) { saveDialogs_.push_back(record); }
  std::optional<Text> takeSaveDialogAnswer();

 private:
  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* main_ = nullptr;
  std::vector<MemoryWindow*> dialogs_;
  std::int64_t now_ = 0;
  std::uint64_t timerOrder_ = 0;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<SaveDialogRecord> saveDialogs_;
  std::vector<Text> shellOpens_;
  int exitCalls_ = 0;
  int pendingEventCalls_ = 0;
};

}  // namespace ui
