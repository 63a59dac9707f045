// The Win32 window layer under Wine: timers on the real message loop. The
// chaining of long periods is TimerChainTest's; here the rules as the
// program sees them, with generous margins for a loaded machine.
#include <vector>

#include "win32/Win32TestSupport.h"

namespace {

using namespace win32test;

class Win32TimersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = &desktop.openMainWindow(testDesign(), nullptr);
    start = GetTickCount64();
    window->events.timer["时钟1"] = [this] { fired.push_back(GetTickCount64() - start); };
  }
  ui::Win32Desktop desktop{GetModuleHandleW(nullptr)};
  ui::Window* window = nullptr;
  ULONGLONG start = 0;
  std::vector<ULONGLONG> fired;  // ms after start
};

TEST_F(Win32TimersTest, PeriodFiresRepeatedlyUntilStopped) {
  window->setTimerPeriod("时钟1", 50);
  EXPECT_EQ(window->timerPeriod("时钟1"), 50);
  pumpFor(520);
  EXPECT_GE(fired.size(), 5u);
  EXPECT_LE(fired.size(), 11u);
  EXPECT_GE(fired.front(), 40u);

  for (std::int64_t stop : {std::int64_t{-1}, std::int64_t{0}}) {
    window->setTimerPeriod("时钟1", 50);
    window->setTimerPeriod("时钟1", stop);
    EXPECT_EQ(window->timerPeriod("时钟1"), 0);
    fired.clear();
    pumpFor(200);
    EXPECT_TRUE(fired.empty()) << stop;
  }
}

TEST_F(Win32TimersTest, SamePeriodKeepsTheCountAndAnotherRestartsIt) {
  window->setTimerPeriod("时钟1", 400);
  pumpFor(250);
  window->setTimerPeriod("时钟1", 400);  // the count goes on: due at 400
  pumpUntil([this] { return !fired.empty(); }, 2000);
  ASSERT_FALSE(fired.empty());
  EXPECT_LT(fired.front(), 600u);

  window->setTimerPeriod("时钟1", 0);
  fired.clear();
  start = GetTickCount64();
  window->setTimerPeriod("时钟1", 400);
  pumpFor(250);
  window->setTimerPeriod("时钟1", 500);  // restarted: due 500 after this write
  pumpUntil([this] { return !fired.empty(); }, 2000);
  ASSERT_FALSE(fired.empty());
  EXPECT_GE(fired.front(), 740u);
}

TEST_F(Win32TimersTest, OneMillisecondFiresAtOnceAndThirtyDaysWaits) {
  window->setTimerPeriod("时钟1", 1);
  pumpUntil([this] { return !fired.empty(); }, 1000);
  ASSERT_FALSE(fired.empty());
  EXPECT_LT(fired.front(), 200u);
  window->setTimerPeriod("时钟1", 0);

  const std::int64_t thirtyDays = 30LL * 24 * 60 * 60 * 1000;  // beyond SetTimer's 32 bits
  fired.clear();
  window->setTimerPeriod("时钟1", thirtyDays);
  EXPECT_EQ(window->timerPeriod("时钟1"), thirtyDays);
  pumpFor(200);
  EXPECT_TRUE(fired.empty());

  window->setTimerPeriod("没有这个", 10);  // an unknown timer is ignored
  EXPECT_EQ(window->timerPeriod("没有这个"), 0);
  EXPECT_EQ(window->timerPeriod("编辑框1"), 0);
}

TEST_F(Win32TimersTest, HandlerSettingAnotherPeriodRestartsFromThen) {
  window->events.timer["时钟1"] = [this] {
    fired.push_back(GetTickCount64() - start);
    if (fired.size() == 1) window->setTimerPeriod("时钟1", 300);
  };
  window->setTimerPeriod("时钟1", 60);
  pumpUntil([this] { return fired.size() >= 2; }, 3000);
  ASSERT_GE(fired.size(), 2u);
  EXPECT_GE(fired[1] - fired[0], 280u);
}

}  // namespace
