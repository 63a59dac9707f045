#include "shell/InstanceLock.h"

#include "core/FileSystem.h"
#include "shell/ui/Window.h"

namespace InstanceLock {

bool acquire(App& app) {
  const Text windir = app.environment ? app.environment("windir") : Text();
  app.lockPath = windir + "\\Temp\\lock.tmp";
  if (app.files->exists(app.lockPath) && !app.files->remove(app.lockPath)) {
    ui::messageBox(*app.desktop, "软件已经在运行中，为防止重复运行，本次运行将被终止！",
                   ui::kMbWarning);
    app.desktop->exit();
    return false;
  }
  app.lockFile = app.files->createHeld(app.lockPath);
  return true;
}

}  // namespace InstanceLock
