// The in-memory window layer keeps the rules the handlers rely on: timers on
// the virtual clock, window state writes, dialog mode, answered boxes.
#include "shell/ui/MemoryWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "support/GbkPrint.h"

namespace {

using ui::ControlKind;

const ui::WindowDesign& testDesign() {
  static const ui::WindowDesign design{
      "测试窗口",
      "测试",
      50,
      50,
      436,
      278,
      ui::kFixedBorder | ui::kMinimiseBox,
      {
          {ControlKind::Timer, "时钟A", "", 0, 0, 0, 0, ""},
          {ControlKind::Timer, "时钟B", "", 0, 0, 0, 0, ""},
          {ControlKind::Timer, "时钟C", "", 0, 0, 0, 0, ""},
          {ControlKind::Button, "按钮1", "", 10, 10, 60, 24, "开始"},
          {ControlKind::SaveFileDialog, "对话框", "", 0, 0, 0, 0, "ping_export"},
      },
  };
  return design;
}

class MemoryWindowTest : public ::testing::Test {
 protected:
  ui::MemoryDesktop desktop;
  std::vector<std::pair<std::int64_t, Text>> fired;  // virtual time, timer
  ui::Window& window = desktop.openMainWindow(testDesign(), [this](ui::Window& w) {
    for (const char* name : {"时钟A", "时钟B", "时钟C"})
      w.events.timer[name] = [this, name] { fired.emplace_back(desktop.now(), name); };
  });

  std::vector<std::int64_t> timesOf(const Text& timer) const {
    std::vector<std::int64_t> out;
    for (const auto& [time, name] : fired)
      if (name == timer) out.push_back(time);
    return out;
  }
};

TEST_F(MemoryWindowTest, SamePeriodKeepsTheRunningCountAnotherRestartsIt) {
  window.setTimerPeriod("时钟A", 1000);
  desktop.advance(600);
  window.setTimerPeriod("时钟A", 1000);  // unchanged: still due at 1000
  desktop.advance(400);
  EXPECT_EQ(timesOf("时钟A"), std::vector<std::int64_t>{1000});

  desktop.advance(600);                  // now 1600, next due at 2000
  window.setTimerPeriod("时钟A", 1500);  // another period counts from now
  desktop.advance(2000);
  EXPECT_EQ(timesOf("时钟A"), (std::vector<std::int64_t>{1000, 3100}));
}

TEST_F(MemoryWindowTest, ZeroAndNegativePeriodsStop) {
  for (std::int64_t stop : {std::int64_t{0}, std::int64_t{-5}, std::int64_t{INT32_MIN}}) {
    SCOPED_TRACE(stop);
    fired.clear();
    window.setTimerPeriod("时钟A", 100);
    desktop.advance(100);
    window.setTimerPeriod("时钟A", stop);
    EXPECT_EQ(window.timerPeriod("时钟A"), 0);
    desktop.advance(1000);
    EXPECT_EQ(fired.size(), 1u);
  }
}

TEST_F(MemoryWindowTest, ThirtyDayPeriodFiresAfterExactlyThirtyDays) {
  const std::int64_t thirtyDays = 2592000000;  // beyond the signed 32-bit range
  window.setTimerPeriod("时钟A", thirtyDays);
  EXPECT_EQ(window.timerPeriod("时钟A"), thirtyDays);
  desktop.advance(thirtyDays - 1);
  EXPECT_TRUE(fired.empty());
  desktop.advance(1);
  EXPECT_EQ(timesOf("时钟A"), std::vector<std::int64_t>{thirtyDays});
  desktop.advance(thirtyDays);
  EXPECT_EQ(timesOf("时钟A"), (std::vector<std::int64_t>{thirtyDays, 2 * thirtyDays}));
}

TEST_F(MemoryWindowTest, SeveralTimersFireInDueOrder) {
  window.setTimerPeriod("时钟A", 300);
  window.setTimerPeriod("时钟B", 200);
  window.setTimerPeriod("时钟C", 1);
  desktop.advance(1);
  window.setTimerPeriod("时钟C", 0);
  desktop.advance(599);
  const std::vector<std::pair<std::int64_t, Text>> expected = {
      {1, "时钟C"}, {200, "时钟B"}, {300, "时钟A"}, {400, "时钟B"}, {600, "时钟A"}, {600, "时钟B"}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(desktop.now(), 600);
}

// A handler that changes timers (as the banner's steps do) takes effect from
// the moment it runs.
TEST_F(MemoryWindowTest, HandlerRearmingTimersChainsThem) {
  window.events.timer["时钟A"] = [this] {
    fired.emplace_back(desktop.now(), "时钟A");
    window.setTimerPeriod("时钟B", 5000);
    window.setTimerPeriod("时钟A", 0);
  };
  window.events.timer["时钟B"] = [this] {
    fired.emplace_back(desktop.now(), "时钟B");
    window.setTimerPeriod("时钟A", 5000);
    window.setTimerPeriod("时钟B", 0);
  };
  window.setTimerPeriod("时钟A", 1);
  desktop.advance(15001);
  const std::vector<std::pair<std::int64_t, Text>> expected = {
      {1, "时钟A"}, {5001, "时钟B"}, {10001, "时钟A"}, {15001, "时钟B"}};
  EXPECT_EQ(fired, expected);
}

TEST_F(MemoryWindowTest, StateWritesActOnlyWhileShown) {
  int positionEvents = 0;
  window.events.positionChanged = [&] { ++positionEvents; };
  window.setVisible("", false);
  window.setState(ui::kStateMinimised);
  EXPECT_EQ(window.state(), ui::kStateNormal);
  EXPECT_EQ(positionEvents, 0);

  window.setVisible("", true);
  window.setState(ui::kStateMinimised);
  EXPECT_EQ(window.state(), ui::kStateMinimised);
  EXPECT_EQ(positionEvents, 1);
  window.setVisible("", false);  // hiding keeps the state
  EXPECT_EQ(window.state(), ui::kStateMinimised);
  window.setState(ui::kStateRestoreCentred);
  EXPECT_EQ(window.state(), ui::kStateMinimised);

  window.setVisible("", true);
  window.setState(ui::kStateRestoreCentred);
  EXPECT_EQ(window.state(), ui::kStateNormal);
  EXPECT_EQ(window.geometry(""), (ui::Rect{(1280 - 436) / 2, (1024 - 278) / 2, 436, 278}));
}

TEST_F(MemoryWindowTest, DialogModeDisablesOtherWindowsWhileTimersGoOn) {
  ui::MemoryWindow& main = *desktop.mainWindow();
  int clicks = 0;
  window.events.clicked["按钮1"] = [&] { ++clicks; };
  window.setTimerPeriod("时钟A", 100);
  bool ranScript = false;
  desktop.dialogScripts.push_back([&](ui::MemoryWindow& dialog) {
    ranScript = true;
    EXPECT_TRUE(dialog.visible(""));
    EXPECT_TRUE(main.disabled(""));
    EXPECT_FALSE(main.click("按钮1"));
    desktop.advance(250);
    EXPECT_EQ(timesOf("时钟A"), (std::vector<std::int64_t>{100, 200}));
    EXPECT_TRUE(dialog.click("按钮1"));
  });
  bool created = false;
  desktop.runDialog(testDesign(), [&](ui::Window& dialog) {
    dialog.events.created = [&] { created = true; };
    dialog.events.clicked["按钮1"] = [&] { clicks += 10; };
  });
  EXPECT_TRUE(created);
  EXPECT_TRUE(ranScript);
  EXPECT_EQ(clicks, 10);
  ASSERT_EQ(desktop.dialogs().size(), 1u);
  EXPECT_FALSE(desktop.dialogs()[0]->isOpen());
  EXPECT_FALSE(main.disabled(""));
  EXPECT_TRUE(main.click("按钮1"));
  EXPECT_EQ(clicks, 11);
}

TEST_F(MemoryWindowTest, MessageBoxesTakeQueuedAnswersAndRecordTheDefaultTitle) {
  desktop.messageBoxAnswers.push_back(ui::kAnswerYes);
  EXPECT_EQ(desktop.messageBox("更新？", ui::kMbQuestion, "Quenthor"), ui::kAnswerYes);
  EXPECT_EQ(desktop.messageBox("更新？", ui::kMbQuestion, ""), ui::kAnswerNo);
  EXPECT_EQ(ui::messageBox(desktop, "完成", ui::kMbInfo), ui::kAnswerOk);
  ASSERT_EQ(desktop.messageBoxes().size(), 3u);
  EXPECT_GBK_EQ(desktop.messageBoxes()[0].title, "Quenthor");
  EXPECT_GBK_EQ(desktop.messageBoxes()[1].title, "信息：");
  EXPECT_GBK_EQ(desktop.messageBoxes()[2].text, "完成");
  EXPECT_EQ(desktop.messageBoxes()[2].flags, ui::kMbInfo);
}

TEST_F(MemoryWindowTest, SaveDialogKeepsTheChosenPathWithTheDefaultExtension) {
  EXPECT_FALSE(window.runSaveDialog("对话框"));  // no answer: cancelled
  desktop.saveDialogAnswers.push_back(Text("C:\\导出\\结果"));
  ASSERT_TRUE(window.runSaveDialog("对话框"));
  EXPECT_GBK_EQ(window.text("对话框"), "C:\\导出\\结果.txt");
  desktop.saveDialogAnswers.push_back(Text("C:\\a.log"));
  ASSERT_TRUE(window.runSaveDialog("对话框"));
  EXPECT_GBK_EQ(window.text("对话框"), "C:\\a.log");

  const auto& records = desktop.saveDialogs();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_GBK_EQ(records[0].initialName, "ping_export");
  EXPECT_TRUE(records[0].chosen.empty());
  EXPECT_GBK_EQ(records[2].initialName, "C:\\导出\\结果.txt");  // starts from the last choice
  EXPECT_GBK_EQ(records[2].filter, "*.txt");
}

TEST_F(MemoryWindowTest, ExitRunsTheExitRoutineOnceAndEndsAllEvents) {
  int routine = 0;
  desktop.exitRoutine = [&] { ++routine; };
  window.setTimerPeriod("时钟A", 10);
  desktop.exit();
  desktop.exit();
  EXPECT_EQ(routine, 1);
  EXPECT_FALSE(window.visible(""));
  desktop.advance(1000);
  EXPECT_TRUE(fired.empty());
  EXPECT_FALSE(desktop.mainWindow()->click("按钮1"));
}

}  // namespace
