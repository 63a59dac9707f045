// The disk-space monitor on the in-memory desktop: drives in memory, passes
// driven by 时钟3 on the virtual clock, alarm mails caught by a loopback SMTP
// peer.
#include <gtest/gtest.h>

#include <vector>

#include "core/Number.h"
#include "monitor/AlarmMailer.h"
#include "monitor/DiskMonitor.h"
#include "support/GbkPrint.h"
#include "support/WatcherFixture.h"

namespace {

constexpr std::int64_t kGib = MemoryDiskSpace::kGib;
constexpr std::int64_t kTib = 1024 * kGib;
constexpr std::int64_t kF = WatcherFixture::kFrequencyMs;
const Text kSubject = "★警告：磁盘可用容量已少于设定阀值★";

Text header(int drives) { return "磁盘总数为： " + numberToText(drives) + "\r\n\r\n"; }
Text line(char letter, std::int64_t gb) {
  return "[" + Text(1, letter) + "盘] 可用容量为：" + numberToText(gb) + " GB\r\n";
}
Text expectedBody(int thresholdGb, const Text& status) {
  return "服务器（" + AlarmMailer::localAddressText() + "）磁盘可用容量已少于设定阀值（" +
         numberToText(thresholdGb) + "G），请尽快检查处理！\r\n\r\n" + status;
}

struct Survey {
  const char* name;
  std::vector<std::pair<Text, MemoryDiskSpace::Drive>> drives;
  Text status;  // the 磁盘状态 field after the pass
  bool alarm;   // against the threshold 5
};

class DiskMonitorTest : public ::testing::TestWithParam<Survey> {
 protected:
  WatcherFixture f;
};

TEST_P(DiskMonitorTest, PassListsTheDrivesAndAlarmsBelowTheThreshold) {
  const Survey& s = GetParam();
  for (const auto& [root, drive] : s.drives) f.disks.drives[root] = drive;
  f.open();
  ASSERT_TRUE(f.clickStart());
  ASSERT_EQ(f.period("时钟3"), kF);

  f.desktop.advance(kF);
  EXPECT_GBK_EQ(f.window().text("编辑框11"), s.status);
  EXPECT_FALSE(f.app.diskAlarmPending);
  const auto mails = f.mails();
  ASSERT_EQ(mails.size(), s.alarm ? 1u : 0u);
  ASSERT_EQ(f.notifications(), s.alarm ? 1 : 0);
  EXPECT_EQ(f.period("时钟3"), s.alarm ? 10800000 : kF);
  if (s.alarm) {
    EXPECT_GBK_EQ(mails[0].subject(), kSubject);
    EXPECT_GBK_EQ(mails[0].body(), expectedBody(5, s.status));
    EXPECT_GBK_EQ(f.lastNotification(), "APIKEY=KEY123&TYPE=004&COUNT=5");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Surveys, DiskMonitorTest,
    ::testing::Values(
        Survey{"FreeSpaceTruncatedBelowThreshold",
               {{"C:\\", {100 * kGib, 49 * kGib / 10}}},
               header(1) + line('C', 4),
               true},
        Survey{"ExactlyTheThreshold",
               {{"C:\\", {100 * kGib, 5 * kGib}}},
               header(1) + line('C', 5),
               false},
        Survey{"TwoDrivesInLetterOrder",
               {{"D:\\", {500 * kGib, 120 * kGib}}, {"C:\\", {60 * kGib, 20 * kGib + 5}}},
               header(2) + line('C', 20) + line('D', 120),
               false},
        Survey{"FreeSpaceUnreadableCountsAsZero",
               {{"C:\\", {100 * kGib, 50 * kGib}}, {"E:\\", {4 * kGib, -1}}},
               header(2) + line('C', 50) + line('E', 0),
               true},
        Survey{"NoDriveAboveOneGib",
               {{"A:\\", {-1, -1}}, {"C:\\", {kGib, 0}}, {"D:\\", {1000, 10}}},
               header(0),
               false},
        Survey{"JustAboveOneGibIsListed",
               {{"F:\\", {kGib + 1, kGib}}},
               header(1) + line('F', 1),
               true},
        Survey{"VolumesOfTwoTibAndMore",
               {{"C:\\", {3 * kTib, 2 * kTib + 512 * kGib}}, {"D:\\", {16 * kTib, 16 * kTib}}},
               header(2) + line('C', 2560) + line('D', 16384),
               false}),
    [](const ::testing::TestParamInfo<Survey>& survey) { return survey.param.name; });

TEST(DiskMonitorAlarmTest, ThresholdFieldEditedAfterStartChangesOnlyTheCountSent) {
  WatcherFixture f;
  f.disks.drives["C:\\"] = {100 * kGib, 4 * kGib};
  f.open();
  ASSERT_TRUE(f.clickStart());
  f.window().setText("编辑框12", "3");  // 4 GB free is not below 3, but the 5 of Start counts
  f.desktop.advance(kF);
  ASSERT_EQ(f.mails().size(), 1u);
  EXPECT_GBK_EQ(f.mails()[0].body(), expectedBody(5, header(1) + line('C', 4)));
  EXPECT_GBK_EQ(f.lastNotification(), "APIKEY=KEY123&TYPE=004&COUNT=3");
}

TEST(DiskMonitorAlarmTest, BacksOffToThreeHoursAndStaysThere) {
  WatcherFixture f;
  f.disks.drives["C:\\"] = {100 * kGib, 1 * kGib};
  f.open();
  ASSERT_TRUE(f.clickStart());
  f.desktop.advance(kF);
  ASSERT_EQ(f.mails().size(), 1u);
  f.desktop.advance(10800000 - 1);  // nothing before the three hours are up
  EXPECT_EQ(f.mails().size(), 1u);
  f.desktop.advance(1);  // still short: the alarm repeats
  EXPECT_EQ(f.mails().size(), 2u);
  f.disks.drives["C:\\"].freeKb = 90 * kGib;  // space freed: no alarm, the period stays
  f.desktop.advance(10800000);
  EXPECT_EQ(f.mails().size(), 2u);
  EXPECT_GBK_EQ(f.window().text("编辑框11"), header(1) + line('C', 90));
  EXPECT_EQ(f.period("时钟3"), 10800000);
}

TEST(DiskMonitorAlarmTest, EachListedDriveIsReadForTheLineAndAgainForTheComparison) {
  AppFixture f;
  f.disks.drives["C:\\"] = {100 * kGib, 10 * kGib};
  f.start();
  std::vector<Text> expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    expected.push_back("total " + Text(1, letter) + ":\\");
  }
  expected.insert(expected.end(), {"free C:\\", "free C:\\"});
  EXPECT_EQ(f.disks.queries, expected);
}

TEST(DiskMonitorAlarmTest, CreationSurveyFillsTheStatusWithoutMarkingAnAlarm) {
  AppFixture f;
  f.disks.drives["C:\\"] = {100 * kGib, 0};
  f.start();
  EXPECT_GBK_EQ(f.window().text("编辑框11"), header(1) + line('C', 0));
  EXPECT_FALSE(f.app.diskAlarmPending);  // no threshold before the first Start
}

}  // namespace
