// Timers with 64-bit periods on top of a platform timer that can wait only so
// long at a time (Win32 SetTimer takes 32 bits, and Wine clamps its waits to
// about 24.8 days). A long period is waited for as a chain of shorter waits
// against a deadline on a 64-bit millisecond clock; the event fires only when
// the deadline is reached.
#pragma once

#include <cstdint>

namespace TimerChain {

// The longest single wait handed to the platform timer.
inline constexpr std::uint32_t kLongestWait = 24u * 60 * 60 * 1000;  // one day
// A wake-up this close to the deadline counts as reaching it: the platform's
// timer and its tick counter run at a granularity of 10 to 16 ms.
inline constexpr std::uint64_t kSlack = 20;

struct State {
  std::int64_t period = 0;     // 0: stopped
  std::uint64_t deadline = 0;  // clock value of the next event while running
};

// What the platform timer has to do after a call: arm it with a new wait,
// stop it, or leave it as it is.
struct Action {
  enum Kind { kKeep, kArm, kStop } kind = kKeep;
  std::uint32_t wait = 0;  // milliseconds, with kArm
};

// A period written at clock value `now`. Negative counts as 0, which stops the
// timer; the period already set changes nothing (the running count goes on);
// any other positive value restarts the count from now.
Action setPeriod(State& state, std::int64_t period, std::uint64_t now);

struct Wake {
  bool fire = false;  // the period's event is due
  Action next;        // always kArm while the timer runs
};

// The platform timer expired at clock value `now`. When the deadline is
// reached the event fires and the next deadline is one period later (a period
// missed entirely because a handler blocked is dropped, not caught up).
Wake wake(State& state, std::uint64_t now);

}  // namespace TimerChain
