#include "shell/ui/MemoryWindow.h"

#include <limits>

namespace ui {

namespace {

// Nominal frame metrics of the in-memory windows: the client area is the
// outer size less a 3-pixel border, an 18-pixel caption and a 19-pixel menu
// bar: the classic metrics the designs were drawn for (582 x 596 gives 576 x 553).
constexpr int kFrame = 3;
constexpr int kCaption = 18;
constexpr int kMenuBar = 19;

bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Splits a GBK text into its characters (one or two bytes each).
std::vector<Text> characters(const Text& text) {
  std::vector<Text> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = (isLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
  if (b > 0 && a > std::numeric_limits<std::int64_t>::max() - b)
    return std::numeric_limits<std::int64_t>::max();
  return a + b;
}

// True when the last path element (after "\" or "/") holds a dot.
bool hasExtension(const Text& path) {
  bool dot = false;
  for (const Text& c : characters(path)) {
    if (c == "\\" || c == "/") dot = false;
    if (c == ".") dot = true;
  }
  return dot;
}

template <typename Map>
void fire(const Map& handlers, const Text& name) {
  auto it = handlers.find(name);
  if (it == handlers.end() || !it->second) return;
  auto handler = it->second;  // a handler may replace its own entry
  handler();
}

}  // namespace

MemoryWindow::MemoryWindow(MemoryDesktop& desktop, const WindowDesign& design)
    : desktop_(desktop),
      design_(design),
      title_(design.title),
      rect_{design.x, design.y, design.width, design.height} {
  for (const ControlDesign& d : design.controls) {
    if (d.kind == ControlKind::Timer) {
      timers_[d.name] = TimerRecord{};
      continue;
    }
    ControlRecord r;
    r.design = &d;
    r.text = d.text ? d.text : "";
    r.visible = !(d.flags & kHidden) && d.kind != ControlKind::SaveFileDialog &&
                d.kind != ControlKind::Invisible;
    r.checked = (d.flags & kChecked) != 0;
    r.inputMode = (d.flags & kReadOnly) ? 1 : 0;
    r.background = (d.flags & kGrey) ? kGreyBackground : kWhiteBackground;
    r.geometry = Rect{d.x, d.y, d.width, d.height};
    controls_.push_back(r);
  }
}

ControlRecord* MemoryWindow::find(const Text& name) {
  for (ControlRecord& r : controls_)
    if (name == r.design->name) return &r;
  return nullptr;
}

const ControlRecord* MemoryWindow::find(const Text& name) const {
  for (const ControlRecord& r : controls_)
    if (name == r.design->name) return &r;
  return nullptr;
}

const ControlRecord* MemoryWindow::control(const Text& name) const { return find(name); }

const TimerRecord* MemoryWindow::timer(const Text& name) const {
  auto it = timers_.find(name);
  return it == timers_.end() ? nullptr : &it->second;
}

Text MemoryWindow::text(const Text& control) const {
  if (control.empty()) return title_;
  const ControlRecord* r = find(control);
  return r ? r->text : Text();
}

void MemoryWindow::setText(const Text& control, const Text& text) {
  if (control.empty()) {
    title_ = text;
  } else if (ControlRecord* r = find(control)) {
    r->text = text;
  }
}

void MemoryWindow::appendText(const Text& control, const Text& text) {
  if (ControlRecord* r = find(control)) r->text += text;
}

bool MemoryWindow::disabled(const Text& control) const {
  if (control.empty()) return windowDisabled_;
  const ControlRecord* r = find(control);
  return r ? r->disabled : false;
}

void MemoryWindow::setDisabled(const Text& control, bool disabled) {
  if (control.empty()) {
    windowDisabled_ = disabled;
  } else if (ControlRecord* r = find(control)) {
    r->disabled = disabled;
  }
}

bool MemoryWindow::visible(const Text& control) const {
  if (control.empty()) return windowVisible_;
  const ControlRecord* r = find(control);
  return r ? r->visible : false;
}

void MemoryWindow::setVisible(const Text& control, bool visible) {
  if (control.empty()) {
    if (open_) windowVisible_ = visible;
  } else if (ControlRecord* r = find(control)) {
    r->visible = visible;
  }
}

ByteBlob MemoryWindow::picture(const Text& control) const {
  const ControlRecord* r = find(control);
  return r ? r->picture : ByteBlob();
}

void MemoryWindow::setPicture(const Text& control, const ByteBlob& jpeg) {
  if (ControlRecord* r = find(control)) r->picture = jpeg;
}

bool MemoryWindow::checked(const Text& control) const {
  const ControlRecord* r = find(control);
  return r ? r->checked : false;
}

void MemoryWindow::setChecked(const Text& control, bool checked) {
  if (ControlRecord* r = find(control)) r->checked = checked;
}

int MemoryWindow::currentItem(const Text& control) const {
  const ControlRecord* r = find(control);
  return r ? r->currentItem : -1;
}

void MemoryWindow::setCurrentItem(const Text& control, int index) {
  ControlRecord* r = find(control);
  if (!r || r->design->kind != ControlKind::ComboBox) return;
  if (index >= 0 && static_cast<std::size_t>(index) < r->design->items.size()) {
    r->currentItem = index;
    r->text = r->design->items[index];
  } else {
    r->currentItem = -1;  // as the list control answers an index outside it
  }
}

int MemoryWindow::inputMode(const Text& control) const {
  const ControlRecord* r = find(control);
  return r ? r->inputMode : 0;
}

void MemoryWindow::setInputMode(const Text& control, int mode) {
  if (ControlRecord* r = find(control)) r->inputMode = mode == 1 ? 1 : 0;
}

std::uint32_t MemoryWindow::background(const Text& control) const {
  const ControlRecord* r = find(control);
  return r ? r->background : 0;
}

void MemoryWindow::setBackground(const Text& control, std::uint32_t colour) {
  if (ControlRecord* r = find(control)) r->background = colour & 0xFFFFFF;
}

Rect MemoryWindow::geometry(const Text& control) const {
  if (control.empty()) return rect_;
  const ControlRecord* r = find(control);
  return r ? r->geometry : Rect{};
}

void MemoryWindow::setGeometry(const Text& control, const Rect& rect) {
  if (control.empty()) {
    rect_ = rect;
    changedPosition();
  } else if (ControlRecord* r = find(control)) {
    r->geometry = rect;
  }
}

int MemoryWindow::clientWidth() const { return rect_.width - 2 * kFrame; }

int MemoryWindow::clientHeight() const {
  bool menuBar = false;
  for (const MenuItemDesign& m : design_.menus) menuBar = menuBar || m.inMenuBar;
  return rect_.height - 2 * kFrame - kCaption - (menuBar ? kMenuBar : 0);
}

int MemoryWindow::state() const { return state_; }

void MemoryWindow::setState(int state) {
  if (!open_ || !windowVisible_) return;
  switch (state) {
    case kStateNormal:
      if (state_ == kStateNormal) return;
      state_ = kStateNormal;
      break;
    case kStateRestoreCentred:
      state_ = kStateNormal;
      rect_.left = (desktop_.screenWidth - rect_.width) / 2;
      rect_.top = (desktop_.screenHeight - rect_.height) / 2;
      ++centred_;
      break;
    case kStateMinimised:
      if (state_ == kStateMinimised) return;
      state_ = kStateMinimised;
      break;
    default:
      return;
  }
  changedPosition();
}

void MemoryWindow::changedPosition() {
  if (events.positionChanged) events.positionChanged();
}

std::int64_t MemoryWindow::timerPeriod(const Text& timer) const {
  auto it = timers_.find(timer);
  return it == timers_.end() ? 0 : it->second.period;
}

void MemoryWindow::setTimerPeriod(const Text& timer, std::int64_t periodMs) {
  auto it = timers_.find(timer);
  if (it == timers_.end() || !open_) return;
  TimerRecord& t = it->second;
  if (periodMs < 0) periodMs = 0;
  if (periodMs == t.period) return;  // the running count goes on
  t.period = periodMs;
  if (periodMs > 0) {
    t.due = saturatingAdd(desktop_.now(), periodMs);
    t.order = desktop_.nextTimerOrder();
  }
}

void MemoryWindow::setTrayIcon(const ByteBlob& ico, const Text& tooltip) {
  trayIcon_ = ico;
  trayTooltip_ = tooltip;
  ++trayCalls_;
}

void MemoryWindow::popupMenu(const Text& menu) {
  for (const MenuItemDesign& m : design_.menus) {
    if (menu == m.name) {
      popups_.push_back(menu);
      openPopup_ = menu;
      return;
    }
  }
}

bool MemoryWindow::runSaveDialog(const Text& dialog) {
  ControlRecord* r = find(dialog);
  if (!r || r->design->kind != ControlKind::SaveFileDialog) return false;
  const SaveDialogDesign& d = r->design->dialog;
  SaveDialogRecord record{dialog, r->text, d.filter, d.initialFolder, d.defaultExtension, ""};
  std::optional<Text> answer = desktop_.takeSaveDialogAnswer();
  if (answer && !answer->empty()) {
    Text path = *answer;
    if (!hasExtension(path) && !record.defaultExtension.empty())
      path += "." + record.defaultExtension;
    record.chosen = path;
    r->text = path;
  }
  desktop_.recordSaveDialog(record);
  return !record.chosen.empty();
}

const MenuItemDesign* MemoryWindow::findMenuItem(const Text& name,
                                                 const MenuItemDesign** top) const {
  for (const MenuItemDesign& m : design_.menus) {
    for (const MenuItemDesign& item : m.items) {
      if (name == item.name) {
        *top = &m;
        return &item;
      }
    }
  }
  return nullptr;
}

bool MemoryWindow::userCanAct() const {
  return open_ && windowVisible_ && !windowDisabled_ && !desktop_.exited();
}

bool MemoryWindow::click(const Text& name) {
  if (!open_ || desktop_.exited()) return false;
  if (ControlRecord* r = find(name)) {
    ControlKind kind = r->design->kind;
    if (kind != ControlKind::Button && kind != ControlKind::CheckBox) return false;
    if (!userCanAct() || !r->visible || r->disabled) return false;
    if (kind == ControlKind::CheckBox) r->checked = !r->checked;
    fire(events.clicked, name);
    return true;
  }
  const MenuItemDesign* top = nullptr;
  const MenuItemDesign* item = findMenuItem(name, &top);
  if (!item || !item->items.empty()) return false;
  if (top->inMenuBar) {
    if (!userCanAct()) return false;
  } else {
    if (openPopup_ != top->name) return false;
  }
  openPopup_.clear();
  fire(events.clicked, name);
  return true;
}

bool MemoryWindow::selectItem(const Text& combo, int index) {
  ControlRecord* r = find(combo);
  if (!r || r->design->kind != ControlKind::ComboBox) return false;
  if (!userCanAct() || !r->visible || r->disabled) return false;
  setCurrentItem(combo, index);
  fire(events.itemSelected, combo);
  return true;
}

bool MemoryWindow::typeText(const Text& edit, const Text& typed) {
  ControlRecord* r = find(edit);
  if (!r || r->design->kind != ControlKind::Edit) return false;
  if (!userCanAct() || !r->visible || r->disabled || r->inputMode != 0) return false;
  std::vector<Text> content = characters(r->text);
  for (const Text& c : characters(typed)) {
    unsigned char first = c[0];
    if (c.size() == 1 && first < 0x20) {
      if (c == "\b" && !content.empty()) content.pop_back();
      continue;  // other control keys have no effect on the text here
    }
    if ((r->design->flags & kDigitsOnly) &&
        !(c.size() == 1 && ((first >= '0' && first <= '9') || first == '-')))
      continue;
    if (r->design->maxLength > 0 &&
        content.size() >= static_cast<std::size_t>(r->design->maxLength))
      continue;
    content.push_back(c);
  }
  r->text.clear();
  for (const Text& c : content) r->text += c;
  return true;
}

bool MemoryWindow::mouseDown(const Text& control) {
  ControlRecord* r = find(control);
  if (!r || !userCanAct() || !r->visible) return false;
  fire(events.mouseDown, control);
  return true;
}

bool MemoryWindow::minimise() {
  if (!userCanAct()) return false;
  setState(kStateMinimised);
  return true;
}

bool MemoryWindow::requestClose() {
  if (!userCanAct()) return false;
  if (events.canClose && !events.canClose()) return false;
  close();
  return true;
}

bool MemoryWindow::trayEvent(int code) {
  if (!open_ || desktop_.exited() || trayCalls_ == 0) return false;
  if (events.tray) events.tray(code);
  return true;
}

void MemoryWindow::close() {
  open_ = false;
  windowVisible_ = false;
  openPopup_.clear();
  for (auto& [name, t] : timers_) t.period = 0;
}

// --- MemoryDesktop ---

Window& MemoryDesktop::openMainWindow(const WindowDesign& design,
                                      const std::function<void(Window&)>& setup) {
  windows_.push_back(std::make_unique<MemoryWindow>(*this, design));
  MemoryWindow* window = windows_.back().get();
  main_ = window;
  if (setup) setup(*window);
  if (window->events.created) window->events.created();
  if (!exited() && window->isOpen()) window->windowVisible_ = true;
  return *window;
}

void MemoryDesktop::runDialog(const WindowDesign& design,
                              const std::function<void(Window&)>& setup) {
  if (exited()) return;
  windows_.push_back(std::make_unique<MemoryWindow>(*this, design));
  MemoryWindow* dialog = windows_.back().get();
  dialogs_.push_back(dialog);

  // Dialog mode: every other open window is disabled until the dialog closes.
  std::vector<std::pair<MemoryWindow*, bool>> others;
  for (const auto& w : windows_) {
    if (w.get() == dialog || !w->isOpen()) continue;
    others.emplace_back(w.get(), w->windowDisabled_);
    w->windowDisabled_ = true;
  }

  if (setup) setup(*dialog);
  if (dialog->events.created) dialog->events.created();
  if (!exited() && dialog->isOpen()) {
    dialog->windowVisible_ = true;
    if (!dialogScripts.empty()) {
      std::function<void(MemoryWindow&)> script = std::move(dialogScripts.front());
      dialogScripts.pop_front();
      if (script) script(*dialog);
    }
  }
  if (dialog->isOpen()) dialog->close();

  for (auto& [w, wasDisabled] : others)
    if (w->isOpen()) w->windowDisabled_ = wasDisabled;
}

int MemoryDesktop::messageBox(const Text& text, int flags, const Text& title) {
  bool yesNo = (flags & 0x0F) == 4;
  int answer = yesNo ? kAnswerNo : kAnswerOk;
  if (!messageBoxAnswers.empty()) {
    answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
  }
  messageBoxes_.push_back(
      MessageBoxRecord{text, flags, title.empty() ? kDefaultTitle : title, answer});
  return answer;
}

void MemoryDesktop::processPendingEvents() {
  ++pendingEventCalls_;
  if (onPendingEvents) onPendingEvents();
}

void MemoryDesktop::shellOpen(const Text& target) { shellOpens_.push_back(target); }

void MemoryDesktop::exit() {
  if (++exitCalls_ > 1) return;
  if (exitRoutine) exitRoutine();
  for (const auto& w : windows_) w->close();
}

std::optional<Text> MemoryDesktop::takeSaveDialogAnswer() {
  if (saveDialogAnswers.empty()) return std::nullopt;
  std::optional<Text> answer = std::move(saveDialogAnswers.front());
  saveDialogAnswers.pop_front();
  return answer;
}

void MemoryDesktop::advance(std::int64_t ms) {
  const std::int64_t target = saturatingAdd(now_, ms < 0 ? 0 : ms);
  while (!exited()) {
    MemoryWindow* window = nullptr;
    const Text* name = nullptr;
    TimerRecord* next = nullptr;
    for (const auto& w : windows_) {
      if (!w->isOpen()) continue;
      for (auto& [timerName, t] : w->timers_) {
        if (t.period <= 0 || t.due > target) continue;
        if (!next || t.due < next->due || (t.due == next->due && t.order < next->order)) {
          window = w.get();
          name = &timerName;
          next = &t;
        }
      }
    }
    if (!next) break;
    if (next->due > now_) now_ = next->due;
    // The next event is scheduled before the handler runs, so a handler that
    // sets another period restarts the count from now.
    next->due = saturatingAdd(next->due, next->period);
    next->order = nextTimerOrder();
    ++next->fired;
    fire(window->events.timer, *name);
  }
  if (now_ < target) now_ = target;
}

}  // namespace ui
