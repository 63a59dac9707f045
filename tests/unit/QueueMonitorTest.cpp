// The mail-queue monitor on the in-memory desktop: passes driven by 时钟1 and
// 时钟2 on the virtual clock, alarm mails caught by a loopback SMTP peer.
#include <gtest/gtest.h>

#include <vector>

#include "core/Number.h"
#include "monitor/AlarmMailer.h"
#include "monitor/QueueMonitor.h"
#include "shell/SiteConstants.h"
#include "support/GbkPrint.h"
#include "support/WatcherFixture.h"

namespace {

const Text kQueue = "D:\\queue";
const Text kSubject = "★警告：邮件队列数量出现异常堆积★";

Text expectedBody(int count, int threshold) {
  return "您邮件服务器（" + AlarmMailer::localAddressText() + "）队列数量为（" +
         numberToText(count) + "），已超过阀值（" + numberToText(threshold) +
         "）；请尽快检查处理！\r\n\r\n造成邮件队列堆积/堵塞的可能原因：\r\n"
         "　　1、邮件服务器网络问题，导致邮件投递失败\r\n"
         "　　2、邮箱帐号密码被黑客盗用，发送大量垃圾/诈骗邮件\r\n"
         "　　3、邮件服务器安全性较低，外发无需验证，被黑客当作中继服务器发送垃圾邮件\r\n"
         "　　4、邮件服务器自身服务出现故障\r\n\r\n联系Pellucor：\r\n"
         "　　服务热线：" +
         Text(SiteConstants::hotline) + "\r\n　　公司网址：" + SiteConstants::webAddress;
}

// One pass: the queue holds `files`, the clock moves on by one period.
struct Pass {
  int files;
  bool alarm;        // a mail and a notification go out
  const char* last;  // the registry value 队列数量 afterwards (nullptr: missing)
  std::int64_t normalTimer, postAlarmTimer;
};

class QueueMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.open();
    ASSERT_TRUE(f.clickStart());
  }

  Text stored() const {
    RegistryValue v = f.registry.raw("Software\\Vantrel", "队列数量");
    return v.type == RegistryType::Missing ? Text("<missing>") : v.text;
  }

  void run(const std::vector<Pass>& passes) {
    for (std::size_t i = 0; i < passes.size(); ++i) {
      const Pass& p = passes[i];
      SCOPED_TRACE("pass " + std::to_string(i + 1) + " with " + std::to_string(p.files) + " files");
      const std::size_t mailsBefore = f.mails().size();
      const int notesBefore = f.notifications();
      f.queueDirectory.files[kQueue] = p.files;
      f.desktop.advance(WatcherFixture::kFrequencyMs);

      EXPECT_GBK_EQ(f.window().text("编辑框1"), numberToText(p.files));
      EXPECT_GBK_EQ(stored(), p.last ? Text(p.last) : Text("<missing>"));
      EXPECT_EQ(f.period("时钟1"), p.normalTimer);
      EXPECT_EQ(f.period("时钟2"), p.postAlarmTimer);
      const auto mails = f.mails();
      ASSERT_EQ(mails.size(), mailsBefore + (p.alarm ? 1 : 0));
      ASSERT_EQ(f.notifications(), notesBefore + (p.alarm ? 1 : 0));
      if (p.alarm) {
        EXPECT_GBK_EQ(mails.back().subject(), kSubject);
        EXPECT_GBK_EQ(mails.back().body(), expectedBody(p.files, 50));
        EXPECT_GBK_EQ(f.lastNotification(),
                      "APIKEY=KEY123&TYPE=002&COUNT=" + numberToText(p.files));
      }
    }
  }

  WatcherFixture f;
  static constexpr std::int64_t kF = WatcherFixture::kFrequencyMs;
};

TEST_F(QueueMonitorTest, AlarmsAboveTheThresholdThenOnlyOnGrowthBeyondIt) {
  run({
      {50, false, nullptr, kF, 0},  // at the threshold: no alarm
      {51, true, "51", 0, kF},      // above: alarm, post-alarm pass takes over
      {100, false, "51", 0, kF},
      {101, false, "51", 0, kF},  // grown by exactly the threshold
      {102, true, "102", 0, kF},  // grown by more: re-alarm, timers stay
      {50, false, "102", 0, kF},  // at the threshold: still post-alarm
      {49, false, "102", kF, 0},  // below: back to normal
      {49, false, "102", kF, 0},
      {51, true, "51", 0, kF},  // the normal pass alarms again
  });
}

TEST_F(QueueMonitorTest, UnstoredLastCountMakesEveryPassAboveTheThresholdAlarm) {
  f.registry.refuseWrites = true;  // no right to write the machine-wide key
  run({
      {51, true, nullptr, 0, kF},
      {51, true, nullptr, 0, kF},
      {52, true, nullptr, 0, kF},
      {50, false, nullptr, 0, kF},
      {49, false, nullptr, kF, 0},
  });
  EXPECT_GBK_EQ(f.window().text("编辑框10"), "");
}

TEST_F(QueueMonitorTest, StartDuringPostAlarmRunsBothPasses) {
  run({{60, true, "60", 0, kF}});
  // Start half a period later: 时钟1 runs again beside 时钟2.
  f.desktop.advance(kF / 2);
  ASSERT_TRUE(f.clickStart());
  EXPECT_EQ(f.period("时钟1"), kF);
  EXPECT_EQ(f.period("时钟2"), kF);

  // 时钟2 first: 60 is neither far enough above the last alarm nor below.
  f.desktop.advance(kF / 2);
  EXPECT_EQ(f.mails().size(), 1u);
  // Then 时钟1: above the threshold, so it alarms again and stops.
  f.queueDirectory.files[kQueue] = 61;
  f.desktop.advance(kF / 2);
  ASSERT_EQ(f.mails().size(), 2u);
  EXPECT_GBK_EQ(f.mails()[1].body(), expectedBody(61, 50));
  EXPECT_GBK_EQ(stored(), "61");
  EXPECT_EQ(f.period("时钟1"), 0);
  EXPECT_EQ(f.period("时钟2"), kF);
}

TEST_F(QueueMonitorTest, BothStateEndsInNormalWhenTheQueueFalls) {
  run({{60, true, "60", 0, kF}});
  f.desktop.advance(kF / 2);
  ASSERT_TRUE(f.clickStart());
  const std::int64_t normalPasses = f.window().timer("时钟1")->fired;
  f.queueDirectory.files[kQueue] = 10;
  f.desktop.advance(kF / 2);  // 时钟2: below the threshold, back to normal
  EXPECT_EQ(f.period("时钟2"), 0);
  EXPECT_EQ(f.period("时钟1"), kF);
  f.desktop.advance(kF / 2);  // 时钟1 keeps its running interval and fires now
  EXPECT_EQ(f.window().timer("时钟1")->fired, normalPasses + 1);
  EXPECT_EQ(f.mails().size(), 1u);
}

TEST_F(QueueMonitorTest, MissingDirectoryShowsZeroAndNeverAlarms) {
  f.window().setText("编辑框2", "D:\\nowhere");
  f.queueDirectory.files[kQueue] = 500;
  f.desktop.advance(kF);
  EXPECT_GBK_EQ(f.window().text("编辑框1"), "0");
  EXPECT_TRUE(f.mails().empty());
  EXPECT_EQ(f.notifications(), 0);
}

TEST_F(QueueMonitorTest, PathIsReadAtEveryPassAndListedWithStarDotStar) {
  f.queueDirectory.patterns.clear();
  f.desktop.advance(kF);
  f.window().setText("编辑框2", "E:\\mail\\queue\\");
  f.desktop.advance(kF);
  EXPECT_EQ(f.queueDirectory.patterns,
            (std::vector<Text>{"D:\\queue\\*.*", "E:\\mail\\queue\\\\*.*"}));
}

TEST_F(QueueMonitorTest, ThresholdIsTheOneTakenAtStart) {
  f.window().setText("编辑框7", "10");  // edited after Start: not used until the next Start
  run({{40, false, nullptr, kF, 0}, {51, true, "51", 0, kF}});
}

TEST(QueueMonitorStartupTest, CreationCountsTheLoadedQueuePath) {
  AppFixture f;
  f.registry.set("Software\\Vantrel", "队列路径", RegistryType::String, "F:\\spool");
  f.queueDirectory.files["F:\\spool"] = 7;
  f.start();
  EXPECT_GBK_EQ(f.window().text("编辑框1"), "7");
}

}  // namespace
