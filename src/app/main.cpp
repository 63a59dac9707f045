// Quenthor.exe: the entry point. Builds the App from the Win32 services,
// loads the main window and runs the message loop until the tray menu's
// "退出" ends the process (through Desktop::exit, always with code 0).
#include <windows.h>

#include "core/Environment.h"
#include "core/FileSystem.h"
#include "monitor/DiskSpaceWin32.h"
#include "monitor/QueueDirectory.h"
#include "shell/App.h"
#include "shell/MainWindow.h"
#include "shell/RegistryWin32.h"
#include "shell/ui/Win32Window.h"
#include "web/HttpFileReaderWin32.h"
#include "web/InternetApiWin32.h"

namespace {

// The program's icon in the resources (Quenthor.rc): window title and taskbar.
constexpr int kIconResource = 1;

// The exit routine: releases the program-wide data. The lock file's handle
// is kept; it closes with the process.
void releaseProgramData(App& app) {
  app.settings = MonitorSettings{};
  app.relay.reset();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // 1. The window layer.
  ui::Win32Desktop desktop(instance, kIconResource);

  RegistryWin32 registry;
  std::unique_ptr<DiskSpace> disks = makeWin32DiskSpace();
  std::unique_ptr<QueueDirectory> queueDirectory = makeSystemQueueDirectory();
  InternetApiWin32 internet;
  HttpFileReaderWin32 httpFiles;
  App app;
  app.desktop = &desktop;
  app.registry = &registry;
  app.files = &systemFileSystem();
  app.disks = disks.get();
  app.queueDirectory = queueDirectory.get();
  app.internet = &internet;
  app.httpFiles = &httpFiles;
  app.environment = [](const Text& name) { return Environment::variable(name); };
  app.programFolder = Environment::programFolder();

  // 2. The diagnostic runners' process records: added with the console runner.
  // 3. The exit routine.
  desktop.exitRoutine = [&app] { releaseProgramData(app); };
  // 4. The start routine does nothing.
  // 5. The main window: its creation handler runs, then it is shown.
  MainWindow::load(app);
  // 6. The message loop, until shutdown ends the process.
  desktop.runMessageLoop();
  return 0;
}
