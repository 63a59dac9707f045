#include "monitor/QueueMonitor.h"

#include <limits>

#include "core/Number.h"
#include "monitor/AlarmMailer.h"
#include "monitor/MonitorControl.h"
#include "monitor/QueueDirectory.h"
#include "shell/App.h"
#include "shell/ConfigStore.h"
#include "shell/SiteConstants.h"
#include "shell/ui/Window.h"

namespace {

constexpr const char* kNormalTimer = "时钟1";
constexpr const char* kPostAlarmTimer = "时钟2";
constexpr const char* kQueuePathField = "编辑框2";
constexpr const char* kCountField = "编辑框1";       // 当前队列
constexpr const char* kLastCountField = "编辑框10";  // the last alarmed count, hidden
constexpr const char* kLastCountValue = "队列数量";
constexpr const char* kQueueAlarmType = "002";
constexpr double kEpsilon = 0.0000001;

struct Pass {
  std::int32_t count = 0;
  Text body;
};

// The steps both passes begin with: count the queue, show the count, compose
// the body (at every pass, alarm or not).
Pass countAndCompose(App& app) {
  Pass pass;
  pass.count = QueueMonitor::countQueue(app, app.main->text(kQueuePathField));
  app.main->setText(kCountField, numberToText(pass.count));
  pass.body = QueueMonitor::composeQueueBody(AlarmMailer::localAddressText(), pass.count,
                                             app.settings.queueThreshold);
  return pass;
}

void queueAlarm(App& app, const Text& body) {
  AlarmMailer::raiseAlarm(app, app.settings.queueSubject, body, kQueueAlarmType,
                          app.main->text(kCountField));
}

void storeLastCount(App& app) {
  ConfigStore::writeText(app, ConfigStore::writePath(kLastCountValue), app.main->text(kCountField));
}

}  // namespace

namespace QueueMonitor {

std::int32_t countQueue(App& app, const Text& directory) {
  if (app.queueDirectory == nullptr) return 0;
  std::int64_t files = app.queueDirectory->countFiles(directory + "\\" + "*.*");
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(files < 0 ? 0 : (files > kMax ? kMax : files));
}

Text composeQueueBody(const Text& localAddress, std::int32_t count, std::int32_t threshold) {
  return "您邮件服务器（" + localAddress + "）队列数量为（" + numberToText(count) +
         "），已超过阀值（" + numberToText(threshold) +
         "）；请尽快检查处理！\r\n\r\n"
         "造成邮件队列堆积/堵塞的可能原因：\r\n"
         "　　1、邮件服务器网络问题，导致邮件投递失败\r\n"
         "　　2、邮箱帐号密码被黑客盗用，发送大量垃圾/诈骗邮件\r\n"
         "　　3、邮件服务器安全性较低，外发无需验证，被黑客当作中继服务器发送垃圾邮件\r\n"
         "　　4、邮件服务器自身服务出现故障\r\n"
         "\r\n"
         "联系Pellucor：\r\n"
         "　　服务热线：" +
         SiteConstants::hotline + "\r\n　　公司网址：" + SiteConstants::webAddress;
}

void normalPass(App& app) {
  const Pass pass = countAndCompose(app);
  if (pass.count <= app.settings.queueThreshold) return;
  // The count is stored before the mail goes out.
  storeLastCount(app);
  queueAlarm(app, pass.body);
  app.main->setTimerPeriod(kNormalTimer, 0);
  app.main->setTimerPeriod(kPostAlarmTimer,
                           MonitorControl::periodMs(app.settings.frequencyMinutes));
}

void postAlarmPass(App& app) {
  const Pass pass = countAndCompose(app);
  app.main->setText(kLastCountField,
                    ConfigStore::readText(app, ConfigStore::readPath(kLastCountValue), ""));
  const double current = textToNumber(app.main->text(kCountField));
  const double last = textToNumber(app.main->text(kLastCountField));
  const double threshold = app.settings.queueThreshold;
  if ((current - last) - threshold > kEpsilon) {
    // Grown by more than the threshold since the last alarm; the count is
    // stored after the notification.
    queueAlarm(app, pass.body);
    storeLastCount(app);
  } else if (current - threshold < -kEpsilon) {
    app.main->setTimerPeriod(kPostAlarmTimer, 0);
    app.main->setTimerPeriod(kNormalTimer, MonitorControl::periodMs(app.settings.frequencyMinutes));
  }
}

}  // namespace QueueMonitor
