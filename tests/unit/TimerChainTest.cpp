#include "shell/ui/TimerChain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using TimerChain::Action;

constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;

// Plays the platform timer: every armed wait ends exactly on time. Returns
// the clock values at which the event fired, up to `until`.
struct Platform {
  TimerChain::State state;
  std::uint64_t now = 1000;
  std::uint64_t wakeAt = 0;  // 0: not armed
  int wakes = 0;

  void apply(const Action& action) {
    if (action.kind == Action::kArm) wakeAt = now + action.wait;
    if (action.kind == Action::kStop) wakeAt = 0;
  }
  void set(std::int64_t period) { apply(TimerChain::setPeriod(state, period, now)); }
  std::vector<std::uint64_t> runUntil(std::uint64_t until) {
    std::vector<std::uint64_t> fired;
    while (wakeAt != 0 && wakeAt <= until) {
      now = wakeAt;
      ++wakes;
      TimerChain::Wake w = TimerChain::wake(state, now);
      if (w.fire) fired.push_back(now);
      apply(w.next);
    }
    if (now < until) now = until;
    return fired;
  }
};

TEST(TimerChainTest, ThirtyDayPeriodFiresAfterThirtyDaysThroughShortWaits) {
  Platform p;
  const std::uint64_t start = p.now;
  p.set(static_cast<std::int64_t>(30 * kDay));
  EXPECT_LE(p.wakeAt - start, TimerChain::kLongestWait);
  EXPECT_TRUE(p.runUntil(start + 30 * kDay - 1).empty());
  EXPECT_EQ(p.runUntil(start + 30 * kDay), std::vector<std::uint64_t>{start + 30 * kDay});
  EXPECT_EQ(p.wakes, 30);
  EXPECT_EQ(p.runUntil(start + 60 * kDay), std::vector<std::uint64_t>{start + 60 * kDay});
}

TEST(TimerChainTest, ShortPeriodFiresEveryPeriod) {
  Platform p;
  const std::uint64_t start = p.now;
  p.set(250);
  EXPECT_EQ(p.runUntil(start + 1000),
            (std::vector<std::uint64_t>{start + 250, start + 500, start + 750, start + 1000}));
}

TEST(TimerChainTest, SamePeriodKeepsTheRunningCount) {
  Platform p;
  const std::uint64_t start = p.now;
  p.set(1000);
  p.runUntil(start + 600);
  EXPECT_EQ(TimerChain::setPeriod(p.state, 1000, p.now).kind, Action::kKeep);
  EXPECT_EQ(p.runUntil(start + 1000), std::vector<std::uint64_t>{start + 1000});
}

TEST(TimerChainTest, OtherPositivePeriodRestartsTheCount) {
  Platform p;
  const std::uint64_t start = p.now;
  p.set(1000);
  p.runUntil(start + 600);
  p.set(800);
  EXPECT_EQ(p.runUntil(start + 1500), std::vector<std::uint64_t>{start + 1400});
}

TEST(TimerChainTest, ZeroOrNegativeStops) {
  for (std::int64_t stop : {std::int64_t{0}, std::int64_t{-5}}) {
    Platform p;
    p.set(100);
    p.set(stop);
    EXPECT_EQ(p.state.period, 0);
    EXPECT_EQ(p.wakeAt, 0u) << stop;
    EXPECT_TRUE(p.runUntil(p.now + 1000).empty());
    // A stopped timer that is stopped again has nothing to do.
    EXPECT_EQ(TimerChain::setPeriod(p.state, -1, p.now).kind, Action::kKeep);
  }
}

TEST(TimerChainTest, EarlyWakeWaitsOnButOneWithinTheSlackFires) {
  TimerChain::State s;
  TimerChain::setPeriod(s, 1000, 0);
  TimerChain::Wake early = TimerChain::wake(s, 900);
  EXPECT_FALSE(early.fire);
  EXPECT_EQ(early.next.kind, Action::kArm);
  EXPECT_EQ(early.next.wait, 100u);
  TimerChain::Wake close = TimerChain::wake(s, 1000 - TimerChain::kSlack);
  EXPECT_TRUE(close.fire);
  EXPECT_EQ(s.deadline, 2000u);  // the cadence stays on the period
}

TEST(TimerChainTest, PeriodsMissedByABlockedHandlerAreDropped) {
  TimerChain::State s;
  TimerChain::setPeriod(s, 100, 0);
  TimerChain::Wake late = TimerChain::wake(s, 1050);
  EXPECT_TRUE(late.fire);
  EXPECT_EQ(s.deadline, 1150u);
  EXPECT_EQ(late.next.wait, 100u);
}

TEST(TimerChainTest, OneMillisecondAndHugePeriods) {
  TimerChain::State s;
  Action a = TimerChain::setPeriod(s, 1, 5);
  EXPECT_EQ(a.kind, Action::kArm);
  EXPECT_EQ(a.wait, 1u);
  EXPECT_TRUE(TimerChain::wake(s, 15).fire);

  TimerChain::State huge;
  a = TimerChain::setPeriod(huge, INT64_MAX, 5);
  EXPECT_EQ(a.wait, TimerChain::kLongestWait);
  EXPECT_FALSE(TimerChain::wake(huge, 5 + TimerChain::kLongestWait).fire);
}

}  // namespace
