#include "monitor/DiskMonitor.h"

#include <vector>

#include "core/Number.h"
#include "monitor/AlarmMailer.h"
#include "monitor/DiskSpace.h"
#include "shell/App.h"
#include "shell/ui/Window.h"

namespace {

constexpr const char* kDiskTimer = "时钟3";
constexpr const char* kStatusField = "编辑框11";     // 磁盘状态
constexpr const char* kThresholdField = "编辑框12";  // 磁盘阀值
constexpr const char* kDiskAlarmType = "004";
constexpr std::int64_t kListedAboveKb = 1048576;  // drives of 1 GiB or less are not listed
constexpr std::int64_t kBackOffMs = 10800000;     // 3 hours

Text rootOf(char letter) { return Text(1, letter) + ":\\"; }

std::int64_t totalKb(App& app, char letter) {
  return app.disks ? app.disks->totalKb(rootOf(letter)) : -1;
}
std::int64_t freeKb(App& app, char letter) {
  return app.disks ? app.disks->freeKb(rootOf(letter)) : -1;
}

}  // namespace

namespace DiskMonitor {

std::int64_t wholeGb(std::int64_t kb) { return kb / 1048576; }

void scanDisks(App& app) {
  std::vector<char> listed;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (totalKb(app, letter) > kListedAboveKb) listed.push_back(letter);
  }
  ui::Window& window = *app.main;
  window.setText(kStatusField, "磁盘总数为： " + numberToText(listed.size()) + "\r\n\r\n");
  for (char letter : listed) {
    const std::int64_t freeGb = wholeGb(freeKb(app, letter));
    window.setText(kStatusField, window.text(kStatusField) + "[" + Text(1, letter) +
                                     "盘] 可用容量为：" + numberToText(freeGb) + " GB\r\n");
    // The comparison takes a fresh reading of its own.
    if (wholeGb(freeKb(app, letter)) < app.settings.diskThresholdGb) app.diskAlarmPending = true;
  }
}

void diskPass(App& app) {
  scanDisks(app);
  if (!app.diskAlarmPending) return;
  ui::Window& window = *app.main;
  const Text body = "服务器（" + AlarmMailer::localAddressText() +
                    "）磁盘可用容量已少于设定阀值（" + numberToText(app.settings.diskThresholdGb) +
                    "G），请尽快检查处理！\r\n\r\n" + window.text(kStatusField);
  // The count is the field as it reads now, which may differ from the
  // threshold taken at Start.
  AlarmMailer::raiseAlarm(app, app.settings.diskSubject, body, kDiskAlarmType,
                          window.text(kThresholdField));
  app.diskAlarmPending = false;
  window.setTimerPeriod(kDiskTimer, kBackOffMs);
}

}  // namespace DiskMonitor
