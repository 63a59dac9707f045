#include "monitor/MonitorControl.h"

#include "core/Number.h"
#include "shell/App.h"
#include "shell/ui/Window.h"
#include "web/TextOps.h"

namespace {

constexpr const char* kQueueTimer = "时钟1";
constexpr const char* kPostAlarmTimer = "时钟2";
constexpr const char* kDiskTimer = "时钟3";
constexpr const char* kPortTimer = "时钟4";
constexpr const char* kStartButton = "按钮_开始监控";
constexpr const char* kStopButton = "按钮_停止监控";

// The fields the queue and disk watchers cannot run without, in the order
// they are checked: 队列路径, 验证用户, 密码, 收件人地址, 队列阀值, 监控频率, 磁盘阀值.
constexpr const char* kRequiredFields[] = {"编辑框2", "编辑框3", "编辑框4", "编辑框6",
                                           "编辑框7", "编辑框8", "编辑框12"};

bool requiredFieldsFilled(const ui::Window& window) {
  for (const char* field : kRequiredFields) {
    if (textTrim(window.text(field)).empty()) return false;
  }
  return true;
}

}  // namespace

namespace MonitorControl {

std::int64_t periodMs(std::int32_t minutes) {
  return minutes > 0 ? std::int64_t{minutes} * 60000 : 0;
}

void start(App& app) {
  ui::Window& window = *app.main;
  MonitorSettings& s = app.settings;
  s.relayUser = window.text("编辑框3");
  s.relayPassword = window.text("编辑框4");
  s.queueSubject = "★警告：邮件队列数量出现异常堆积★";
  s.diskSubject = "★警告：磁盘可用容量已少于设定阀值★";
  s.recipient = window.text("编辑框6");
  s.queueThreshold = textToInt32(window.text("编辑框7"));
  s.diskThresholdGb = textToInt32(window.text("编辑框12"));
  s.frequencyMinutes = textToInt32(window.text("编辑框8"));
  s.watchedPort = textToInt32(window.text("编辑框18"));
  s.portFrequencyMinutes = textToInt32(window.text("编辑框19"));

  if (requiredFieldsFilled(window)) {
    window.setTimerPeriod(kQueueTimer, periodMs(s.frequencyMinutes));
    window.setTimerPeriod(kDiskTimer, periodMs(s.frequencyMinutes));
    window.setText(kStartButton, "正在监控");
    window.setText(kStopButton, "停止监控");
  } else {
    ui::messageBox(*app.desktop, "字段值不能为空，请检查设置。", ui::kMbWarning);
  }
  // The port watcher is optional and starts from its own frequency either way.
  window.setTimerPeriod(kPortTimer, periodMs(s.portFrequencyMinutes));
}

void stop(App& app) {
  ui::Window& window = *app.main;
  for (const char* timer : {kQueueTimer, kPostAlarmTimer, kDiskTimer, kPortTimer}) {
    window.setTimerPeriod(timer, 0);
  }
  window.setText(kStartButton, "开始监控");
  window.setText(kStopButton, "已停止");
}

}  // namespace MonitorControl
