// Start and stop of monitoring on the in-memory window: the watchers' states
// as the periods of their timers, validation of the required fields, the
// snapshot, and the timers' counts on the virtual clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "monitor/MonitorControl.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"

namespace {

constexpr std::int64_t kFifteen = 900000;
constexpr std::int64_t kDiskBackOff = 10800000;
constexpr std::int64_t kPortBackOff = 3600000;
const char* const kTimers[] = {"时钟1", "时钟2", "时钟3", "时钟4"};

struct Periods {
  std::int64_t queue, postAlarm, disk, port;
  bool operator==(const Periods&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Periods& p) {
  return out << "{" << p.queue << ", " << p.postAlarm << ", " << p.disk << ", " << p.port << "}";
}

Periods periods(const ui::MemoryWindow& w) {
  return {w.timerPeriod("时钟1"), w.timerPeriod("时钟2"), w.timerPeriod("时钟3"),
          w.timerPeriod("时钟4")};
}

void setPeriods(ui::MemoryWindow& w, const Periods& p) {
  w.setTimerPeriod("时钟1", p.queue);
  w.setTimerPeriod("时钟2", p.postAlarm);
  w.setTimerPeriod("时钟3", p.disk);
  w.setTimerPeriod("时钟4", p.port);
}

// The fields after a first start plus what a user must type for Start to pass.
void fillRequired(ui::MemoryWindow& w) {
  w.setText("编辑框2", "D:\\邮件\\Queue");
  w.setText("编辑框3", "relay用户");
  w.setText("编辑框4", "密码123");
  w.setText("编辑框6", "admin@example.com");
}

struct StateCase {
  const char* what;
  Periods before;
  std::function<void(ui::MemoryWindow&)> edit;  // changes to the filled fields
  const char* button;
  Periods after;
  bool warned;
};

const Periods kOff{0, 0, 0, 0};
const Periods kNormal{kFifteen, 0, kFifteen, 0};

const StateCase kStateCases[] = {
    {"Off, Start: queue Normal, disk Watching, port stays Off without a frequency", kOff, nullptr,
     "按钮_开始监控", kNormal, false},
    {"Normal, Stop: Off", kNormal, nullptr, "按钮_停止监控", kOff, false},
    {"Post-alarm, Start: Both",
     {0, kFifteen, kFifteen, 0},
     nullptr,
     "按钮_开始监控",
     {kFifteen, kFifteen, kFifteen, 0},
     false},
    {"Post-alarm, Stop: Off", {0, kFifteen, kFifteen, 0}, nullptr, "按钮_停止监控", kOff, false},
    {"Both, Stop: Off", {kFifteen, kFifteen, kFifteen, 0}, nullptr, "按钮_停止监控", kOff, false},
    {"disk and port Backed off, Start: both Watching again",
     {kFifteen, 0, kDiskBackOff, kPortBackOff},
     [](ui::MemoryWindow& w) { w.setText("编辑框19", "5"); },
     "按钮_开始监控",
     {kFifteen, 0, kFifteen, 300000},
     false},
    {"port Backed off, Start with an empty port frequency: port Off",
     {kFifteen, 0, kFifteen, kPortBackOff},
     nullptr,
     "按钮_开始监控",
     kNormal,
     false},
    {"Backed off, Stop: Off",
     {0, kFifteen, kDiskBackOff, kPortBackOff},
     nullptr,
     "按钮_停止监控",
     kOff,
     false},
    {"invalid fields: queue and disk as they were, port started all the same",
     {0, kFifteen, kDiskBackOff, 0},
     [](ui::MemoryWindow& w) {
       w.setText("编辑框2", "");
       w.setText("编辑框19", "5");
     },
     "按钮_开始监控",
     {0, kFifteen, kDiskBackOff, 300000},
     true},
    {"invalid fields with an empty port frequency stop a backed-off port watcher",
     {kFifteen, 0, kFifteen, kPortBackOff},
     [](ui::MemoryWindow& w) { w.setText("编辑框4", ""); },
     "按钮_开始监控",
     {kFifteen, 0, kFifteen, 0},
     true},
    {"frequency 0.5 truncates to 0: queue and disk stopped",
     {kFifteen, 0, kDiskBackOff, 0},
     [](ui::MemoryWindow& w) { w.setText("编辑框8", "0.5"); },
     "按钮_开始监控",
     kOff,
     false},
    {"frequency -5: queue and disk stopped", kOff,
     [](ui::MemoryWindow& w) { w.setText("编辑框8", "-5"); }, "按钮_开始监控", kOff, false},
    {"frequency 10分钟 reads 10",
     kOff,
     [](ui::MemoryWindow& w) { w.setText("编辑框8", "10分钟"); },
     "按钮_开始监控",
     {600000, 0, 600000, 0},
     false},
    {"full-width frequency digits",
     kOff,
     [](ui::MemoryWindow& w) {
       w.setText("编辑框8", "２０");
       w.setText("编辑框19", "　3");
     },
     "按钮_开始监控",
     {1200000, 0, 1200000, 180000},
     false},
    {"35792 minutes do not fit 32 bits and keep their length",
     kOff,
     [](ui::MemoryWindow& w) {
       w.setText("编辑框8", "35792");
       w.setText("编辑框19", "2147483647");
     },
     "按钮_开始监控",
     {2147520000, 0, 2147520000, 2147483647LL * 60000},
     false},
};

TEST(MonitorControl, StateTable) {
  for (const StateCase& c : kStateCases) {
    SCOPED_TRACE(c.what);
    AppFixture f;
    ui::MemoryWindow& w = f.start();
    fillRequired(w);
    if (c.edit) c.edit(w);
    setPeriods(w, c.before);
    ASSERT_TRUE(w.click(c.button));
    EXPECT_EQ(periods(w), c.after);
    EXPECT_EQ(f.desktop.messageBoxes().size(), c.warned ? 1u : 0u);
  }
}

TEST(MonitorControl, StopThenStartFromPostAlarmGivesNormalNotBoth) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillRequired(w);
  setPeriods(w, {0, kFifteen, kFifteen, 0});
  ASSERT_TRUE(w.click("按钮_停止监控"));
  ASSERT_TRUE(w.click("按钮_开始监控"));
  EXPECT_EQ(periods(w), kNormal);
}

TEST(MonitorControl, CaptionsFollowStartAndStop) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillRequired(w);
  ASSERT_TRUE(w.click("按钮_开始监控"));
  EXPECT_GBK_EQ(w.text("按钮_开始监控"), "正在监控");
  EXPECT_GBK_EQ(w.text("按钮_停止监控"), "停止监控");
  ASSERT_TRUE(w.click("按钮_停止监控"));
  EXPECT_GBK_EQ(w.text("按钮_开始监控"), "开始监控");
  EXPECT_GBK_EQ(w.text("按钮_停止监控"), "已停止");
  // A failed Start leaves the captions alone.
  w.setText("编辑框6", "");
  ASSERT_TRUE(w.click("按钮_开始监控"));
  EXPECT_GBK_EQ(w.text("按钮_开始监控"), "开始监控");
  EXPECT_GBK_EQ(w.text("按钮_停止监控"), "已停止");
}

TEST(MonitorControl, EachRequiredFieldEmptyOrBlankStopsTheQueueAndDiskStart) {
  const char* const required[] = {"编辑框2", "编辑框3", "编辑框4", "编辑框6",
                                  "编辑框7", "编辑框8", "编辑框12"};
  const Text blanks[] = {"", "   ", "　　", " 　 "};
  for (const char* field : required) {
    for (const Text& blank : blanks) {
      SCOPED_TRACE(utf8(field) + " = [" + hexBytes(blank) + "]");
      AppFixture f;
      ui::MemoryWindow& w = f.start();
      fillRequired(w);
      w.setText(field, blank);
      ASSERT_TRUE(w.click("按钮_开始监控"));
      EXPECT_EQ(periods(w), kOff);
      ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
      const ui::MessageBoxRecord& box = f.desktop.messageBoxes()[0];
      EXPECT_GBK_EQ(box.text, "字段值不能为空，请检查设置。");
      EXPECT_EQ(box.flags, ui::kMbWarning);
      EXPECT_GBK_EQ(box.title, "信息：");
    }
  }
}

TEST(MonitorControl, OptionalFieldsAndNonNumbersPassValidation) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillRequired(w);
  for (const char* optional : {"编辑框5", "编辑框17", "编辑框18", "编辑框19"}) {
    w.setText(optional, "");
  }
  w.setText("编辑框7", "很多");    // no number: 0, but not empty
  w.setText("编辑框4", "\t");      // only spaces are trimmed
  w.setText("编辑框8", "　15　");  // full-width spaces around the number
  ASSERT_TRUE(w.click("按钮_开始监控"));
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  EXPECT_EQ(periods(w), kNormal);
  EXPECT_EQ(f.app.settings.queueThreshold, 0);
}

TEST(MonitorControl, StartTakesTheSnapshotAlsoWhenValidationFails) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillRequired(w);
  w.setText("编辑框2", "");  // fails validation
  w.setText("编辑框3", " 用户 ");
  w.setText("编辑框7", "2.9");
  w.setText("编辑框12", "-3");
  w.setText("编辑框8", "10分钟");
  w.setText("编辑框18", "366");
  w.setText("编辑框19", "abc");
  ASSERT_TRUE(w.click("按钮_开始监控"));
  ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);

  const MonitorSettings& s = f.app.settings;
  EXPECT_GBK_EQ(s.relayUser, " 用户 ");  // as typed
  EXPECT_GBK_EQ(s.relayPassword, "密码123");
  EXPECT_GBK_EQ(s.recipient, "admin@example.com");
  EXPECT_GBK_EQ(s.queueSubject, "★警告：邮件队列数量出现异常堆积★");
  EXPECT_GBK_EQ(s.diskSubject, "★警告：磁盘可用容量已少于设定阀值★");
  EXPECT_EQ(s.queueThreshold, 2);
  EXPECT_EQ(s.diskThresholdGb, -3);
  EXPECT_EQ(s.frequencyMinutes, 10);
  EXPECT_EQ(s.watchedPort, 366);
  EXPECT_EQ(s.portFrequencyMinutes, 0);
}

TEST(MonitorControl, StopTouchesOnlyTimersAndCaptions) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillRequired(w);
  ASSERT_TRUE(w.click("按钮_开始监控"));
  f.app.diskAlarmPending = true;
  w.setText("编辑框1", "51");
  w.setText("编辑框11", "C盘可用：3G");
  const MonitorSettings before = f.app.settings;
  ASSERT_TRUE(w.click("按钮_停止监控"));
  EXPECT_EQ(f.app.settings.relayUser, before.relayUser);
  EXPECT_EQ(f.app.settings.frequencyMinutes, before.frequencyMinutes);
  EXPECT_TRUE(f.app.diskAlarmPending);
  EXPECT_EQ(w.text("编辑框1"), "51");
  EXPECT_GBK_EQ(w.text("编辑框11"), "C盘可用：3G");
}

// The window with the watchers' passes detached: they change their own timers
// as they alarm, and these tests are about what Start does to the intervals.
ui::MemoryWindow& startWithoutPasses(AppFixture& f) {
  ui::MemoryWindow& w = f.start();
  w.events.timer.clear();
  fillRequired(w);
  return w;
}

// Fire counts of 时钟1 to 时钟4.
std::vector<std::int64_t> fired(const ui::MemoryWindow& w) {
  std::vector<std::int64_t> counts;
  for (const char* t : kTimers) counts.push_back(w.timer(t)->fired);
  return counts;
}

TEST(MonitorControl, StartWithUnchangedFieldsKeepsTheRunningIntervals) {
  AppFixture f;
  ui::MemoryWindow& w = startWithoutPasses(f);
  w.setText("编辑框19", "5");
  ASSERT_TRUE(w.click("按钮_开始监控"));  // t = 0
  f.desktop.advance(600000);              // t = 10 min: port fired at 5 and 10
  ASSERT_TRUE(w.click("按钮_开始监控"));  // same fields again
  f.desktop.advance(300000 - 1);
  EXPECT_EQ(fired(w), (std::vector<std::int64_t>{0, 0, 0, 2}));
  f.desktop.advance(1);  // t = 15 min: due as first started
  EXPECT_EQ(fired(w), (std::vector<std::int64_t>{1, 0, 1, 3}));
}

TEST(MonitorControl, StartWithAChangedFrequencyRestartsFromThatMoment) {
  AppFixture f;
  ui::MemoryWindow& w = startWithoutPasses(f);
  ASSERT_TRUE(w.click("按钮_开始监控"));  // t = 0, 15 min
  f.desktop.advance(600000);
  w.setText("编辑框8", "20");
  ASSERT_TRUE(w.click("按钮_开始监控"));  // t = 10 min, 20 min from now
  f.desktop.advance(1200000 - 1);
  EXPECT_EQ(w.timer("时钟1")->fired, 0);
  f.desktop.advance(1);
  EXPECT_EQ(w.timer("时钟1")->fired, 1);
  EXPECT_EQ(w.timer("时钟3")->fired, 1);
}

TEST(MonitorControl, LongFrequencyFiresAfterItsWholeLength) {
  AppFixture f;
  ui::MemoryWindow& w = startWithoutPasses(f);
  w.setText("编辑框8", "43200");  // 30 days
  ASSERT_TRUE(w.click("按钮_开始监控"));
  EXPECT_EQ(w.timerPeriod("时钟1"), 2592000000LL);
  f.desktop.advance(2592000000LL - 1);
  EXPECT_EQ(w.timer("时钟1")->fired, 0);
  f.desktop.advance(1);
  EXPECT_EQ(w.timer("时钟1")->fired, 1);
}

TEST(MonitorControl, PeriodOfMinutes) {
  struct Case {
    std::int32_t minutes;
    std::int64_t period;
  };
  const Case cases[] = {{15, 900000},
                        {35791, 2147460000},
                        {35792, 2147520000},
                        {INT32_MAX, 2147483647LL * 60000},
                        {0, 0},
                        {-5, 0},
                        {INT32_MIN, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(MonitorControl::periodMs(c.minutes), c.period) << c.minutes;
  }
}

}  // namespace
