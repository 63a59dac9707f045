// Timers of a Win32 window, with 64-bit periods: SetTimer waits are chained
// against deadlines on GetTickCount64 (TimerChain).
#include "shell/ui/Win32Window.h"

namespace ui {

std::int64_t Win32Window::timerPeriod(const Text& timer) const {
  const Win32Control* c = find(timer);
  return c && c->design->kind == ControlKind::Timer ? c->timer.period : 0;
}

void Win32Window::setTimerPeriod(const Text& timer, std::int64_t periodMs) {
  Win32Control* c = find(timer);
  if (!c || c->design->kind != ControlKind::Timer || !hwnd_) return;
  const std::size_t index = static_cast<std::size_t>(c - controls_.data());
  armTimer(index, TimerChain::setPeriod(c->timer, periodMs, GetTickCount64()));
}

void Win32Window::armTimer(std::size_t index, const TimerChain::Action& action) {
  const UINT_PTR id = static_cast<UINT_PTR>(win32::kFirstControlId) + index;
  if (action.kind == TimerChain::Action::kArm) SetTimer(hwnd_, id, action.wait, nullptr);
  if (action.kind == TimerChain::Action::kStop) KillTimer(hwnd_, id);
}

void Win32Window::onTimer(UINT_PTR id) {
  Win32Control* c = fromId(static_cast<int>(id));
  if (!c || c->design->kind != ControlKind::Timer) return;
  const std::size_t index = static_cast<std::size_t>(c - controls_.data());
  // The next wait is armed before the handler runs, so that a handler that
  // sets another period restarts the count from now.
  TimerChain::Wake wake = TimerChain::wake(c->timer, GetTickCount64());
  armTimer(index, wake.next);
  if (wake.fire) fire(events.timer, c->design->name);
}

}  // namespace ui
