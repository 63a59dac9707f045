// An App on the in-memory desktop with the main window's design and in-memory
// doubles for the platform services. Tests change the doubles, then start():
//
//   AppFixture f;
//   f.files.undeletable.insert("C:\\Windows\\Temp\\lock.tmp");
//   ui::MemoryWindow& w = f.start();
#pragma once

#include <map>

#include "shell/App.h"
#include "shell/MainWindow.h"
#include "shell/ui/MemoryWindow.h"
#include "support/MemoryDiskSpace.h"
#include "support/MemoryFileSystem.h"
#include "support/MemoryQueueDirectory.h"
#include "support/MemoryRegistry.h"

struct AppFixture {
  ui::MemoryDesktop desktop;
  MemoryFileSystem files;
  MemoryRegistry registry;
  MemoryDiskSpace disks;
  MemoryQueueDirectory queueDirectory;
  std::map<Text, Text> environment{{"windir", "C:\\Windows"}};
  App app;
  int exitRoutineRuns = 0;

  AppFixture() {
    app.desktop = &desktop;
    app.files = &files;
    app.registry = &registry;
    app.disks = &disks;
    app.queueDirectory = &queueDirectory;
    app.environment = [this](const Text& name) {
      auto it = environment.find(name);
      return it == environment.end() ? Text() : it->second;
    };
    app.programFolder = "C:\\Program Files\\Quenthor";
    desktop.exitRoutine = [this] { ++exitRoutineRuns; };
  }
  AppFixture(const AppFixture&) = delete;
  AppFixture& operator=(const AppFixture&) = delete;

  // Loads the main window as the entry point does: creation handler, then shown.
  ui::MemoryWindow& start() {
    MainWindow::load(app);
    return window();
  }
  ui::MemoryWindow& window() { return *desktop.mainWindow(); }
};
