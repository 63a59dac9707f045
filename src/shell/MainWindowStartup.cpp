// The main window's creation: its events, the creation handler's fixed order,
// and loading it.
#include "core/Number.h"
#include "monitor/AlarmMailer.h"
#include "monitor/DiskMonitor.h"
#include "monitor/MonitorControl.h"
#include "monitor/PortMonitor.h"
#include "monitor/QueueMonitor.h"
#include "shell/ConfigStore.h"
#include "shell/InstanceLock.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowDesign.h"
#include "shell/ui/Window.h"
#include "web/AlertServiceClient.h"
#include "web/UpdateChecker.h"

namespace MainWindow {

void onCreated(App& app) {
  // 1. Disk survey into 编辑框11.
  DiskMonitor::scanDisks(app);
  // 2. Banner start (BannerRotator::start): added by the banner.
  // 3. Settings load into the fields.
  ConfigStore::load(app);
  // 4. The update timer 时钟5: the first periodic check comes 30 days on.
  UpdateChecker::startTimer(app);
  // 5. First queue count of 编辑框2 into 编辑框1.
  app.main->setText("编辑框1",
                    numberToText(QueueMonitor::countQueue(app, app.main->text("编辑框2"))));
  // 6. Single-instance check; a second copy ends here.
  if (!InstanceLock::acquire(app)) return;
  // 7. The key field's state from the stored APIKEY.
  AlertServiceClient::restoreKeyState(app);
}

void wire(App& app, ui::Window& window) {
  app.main = &window;
  ui::WindowEvents& e = window.events;
  e.created = [&app] { onCreated(app); };
  e.canClose = [&app] { return onCloseRequest(app); };
  e.positionChanged = [&app] { onMinimised(app); };
  e.tray = [&app](int code) { onTrayEvent(app, code); };
  e.itemSelected["组合框1"] = [&app] { onMailSystemSelected(app); };

  // Menu bar.
  e.clicked["菜单_IP黑名单监测"] = [&app] { openBlacklistSite(app); };
  e.clicked["菜单_远程技术支援"] = [&app] { openRemoteSupport(app); };
  e.clicked["菜单_使用说明"] = [&app] { openUserGuide(app); };
  e.clicked["菜单_联系我们"] = [&app] { openContactPage(app); };
  // Tray menu.
  e.clicked["菜单_显示"] = [&app] { showFromTray(app); };
  e.clicked["菜单_退出"] = [&app] { quit(app); };

  // Places of the handlers that later features bring; until then these events
  // do nothing.
  e.clicked["菜单_Ping检测"] = nullptr;     // the Ping window in dialog mode
  e.clicked["菜单_Tracert检测"] = nullptr;  // the Tracert window in dialog mode
  e.clicked["菜单_导出配置"] = [&app] { ConfigStore::exportSettings(app); };
  e.clicked["菜单_在线更新"] = [&app] { UpdateChecker::checkOnDemand(app); };
  e.clicked["按钮_发信测试"] = [&app] { AlarmMailer::sendTestMail(app); };
  e.clicked["按钮_保存配置"] = [&app] { ConfigStore::save(app); };
  e.clicked["按钮_开始监控"] = [&app] { MonitorControl::start(app); };
  e.clicked["按钮_停止监控"] = [&app] { MonitorControl::stop(app); };
  e.clicked["按钮验证"] = [&app] { AlertServiceClient::verifyKey(app); };
  e.clicked["按钮更改"] = [&app] { AlertServiceClient::changeKey(app); };
  e.clicked["广告按钮1"] = nullptr;  // BannerRotator::showPicture(1)
  e.clicked["广告按钮2"] = nullptr;  // BannerRotator::showPicture(2)
  e.clicked["广告按钮3"] = nullptr;  // BannerRotator::showPicture(3)
  e.mouseDown["图片框1"] = nullptr;  // BannerRotator::onBannerClick
  e.timer["时钟1"] = [&app] { QueueMonitor::normalPass(app); };
  e.timer["时钟2"] = [&app] { QueueMonitor::postAlarmPass(app); };
  e.timer["时钟3"] = [&app] { DiskMonitor::diskPass(app); };
  e.timer["时钟4"] = [&app] { PortMonitor::probePass(app); };
  e.timer["时钟5"] = [&app] { UpdateChecker::checkPeriodic(app); };
  e.timer["新时钟1"] = nullptr;  // BannerRotator::showPicture(1)
  e.timer["新时钟2"] = nullptr;  // BannerRotator::showPicture(2)
  e.timer["新时钟3"] = nullptr;  // BannerRotator::showPicture(3)
}

ui::Window& load(App& app) {
  return app.desktop->openMainWindow(mainWindowDesign(),
                                     [&app](ui::Window& window) { wire(app, window); });
}

}  // namespace MainWindow
