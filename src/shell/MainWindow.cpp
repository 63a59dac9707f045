#include "shell/MainWindow.h"

#include <iterator>

#include "shell/ProgramIcon.h"
#include "shell/SiteConstants.h"
#include "shell/ui/Window.h"

namespace MainWindow {

namespace {

// Queue-path templates of 组合框1's items, by index. The part between the
// percent signs is for the user to overwrite with the installation folder.
constexpr const char* kQueuePathTemplates[] = {
    "%Exchange安装路径%TransportRoles\\data\\Queue",
    "%Winmail安装路径%server\\queue",
    "%MDaemon安装路径%Queues\\Remote",
    "%Umail安装路径%Queues\\Remote",
    "%Icewarp安装路径%mail\\_outgoing",
};

}  // namespace

void onMinimised(App& app) {
  if (app.main->state() != ui::kStateMinimised) return;
  app.main->setVisible("", false);
  app.main->setTrayIcon(ProgramIcon::ico(), kTrayTooltip);
}

bool onCloseRequest(App& app) {
  app.main->setState(ui::kStateMinimised);  // runs onMinimised: hidden, tray icon set
  app.main->setVisible("", false);
  return false;
}

void onTrayEvent(App& app, int code) {
  if (code == ui::kTrayContextMenu) {
    app.main->popupMenu(kTrayMenu);
  } else if (code == ui::kTrayLeftUp) {
    if (app.main->visible(""))
      app.main->setVisible("", false);
    else
      showFromTray(app);
  }
}

void showFromTray(App& app) {
  app.main->setVisible("", true);
  app.main->setState(ui::kStateRestoreCentred);
}

void onMailSystemSelected(App& app) {
  const int index = app.main->currentItem("组合框1");
  if (index < 0 || index >= static_cast<int>(std::size(kQueuePathTemplates))) return;
  app.main->setText("编辑框2", kQueuePathTemplates[index]);
}

void openBlacklistSite(App& app) { app.desktop->shellOpen(SiteConstants::blacklistSiteUrl); }

void openRemoteSupport(App& app) { app.desktop->shellOpen(Text(SiteConstants::siteUrl) + "/t/"); }

void openUserGuide(App& app) { app.desktop->shellOpen(app.programFolder + "\\使用前必读.html"); }

void openContactPage(App& app) {
  app.desktop->shellOpen(Text(SiteConstants::siteUrl) + "/aboutus/5.html");
}

void quit(App& app) { app.desktop->exit(); }

}  // namespace MainWindow
