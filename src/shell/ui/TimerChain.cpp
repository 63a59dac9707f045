#include "shell/ui/TimerChain.h"

namespace TimerChain {

namespace {

constexpr std::uint64_t kNever = ~std::uint64_t{0};

std::uint64_t addClamped(std::uint64_t a, std::uint64_t b) {
  return b > kNever - a ? kNever : a + b;
}

Action armFor(const State& state, std::uint64_t now) {
  std::uint64_t remaining = state.deadline > now ? state.deadline - now : 0;
  if (remaining < 1) remaining = 1;
  if (remaining > kLongestWait) remaining = kLongestWait;
  return Action{Action::kArm, static_cast<std::uint32_t>(remaining)};
}

}  // namespace

Action setPeriod(State& state, std::int64_t period, std::uint64_t now) {
  if (period < 0) period = 0;
  if (period == state.period) return Action{};
  state.period = period;
  if (period == 0) {
    state.deadline = 0;
    return Action{Action::kStop, 0};
  }
  state.deadline = addClamped(now, static_cast<std::uint64_t>(period));
  return armFor(state, now);
}

Wake wake(State& state, std::uint64_t now) {
  if (state.period <= 0) return Wake{false, Action{Action::kStop, 0}};
  Wake result;
  if (addClamped(now, kSlack) >= state.deadline) {
    result.fire = true;
    const std::uint64_t period = static_cast<std::uint64_t>(state.period);
    state.deadline = addClamped(state.deadline, period);
    if (state.deadline <= now) state.deadline = addClamped(now, period);
  }
  result.next = armFor(state, now);
  return result;
}

}  // namespace TimerChain
