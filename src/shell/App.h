// The program's context: the main window, the platform services behind their
// interfaces, and the little state that lives for the whole process. Every
// handler takes it; the entry point fills it with the Win32 services, tests
// with in-memory doubles (tests/support/AppFixture.h).
#pragma once

#include <functional>
#include <memory>

#include "core/Text.h"
#include "monitor/MonitorSettings.h"
#include "shell/SiteConstants.h"

namespace ui {
class Desktop;
class Window;
}  // namespace ui
class Registry;
class FileSystem;
class HeldFile;
class DiskSpace;
class QueueDirectory;
class InternetApi;
class HttpFileReader;
struct RelayConnection;

struct App {
  // Platform services; each is set by whoever builds the App.
  ui::Desktop* desktop = nullptr;
  ui::Window* main = nullptr;
  Registry* registry = nullptr;              // shell/Registry.h
  FileSystem* files = nullptr;               // core/FileSystem.h
  DiskSpace* disks = nullptr;                // monitor/DiskSpace.h
  QueueDirectory* queueDirectory = nullptr;  // monitor/QueueDirectory.h
  InternetApi* internet = nullptr;           // web/InternetApi.h
  HttpFileReader* httpFiles = nullptr;       // web/HttpFileReader.h
  // The value of an environment variable; empty when it is not set.
  std::function<Text(const Text& name)> environment;
  // The folder of the program file, without a closing backslash
  // (core/Environment.h: Environment::programFolder).
  Text programFolder;

  // Process-wide state.
  MonitorSettings settings;
  bool diskAlarmPending = false;
  // The relay connection held between alarms; null while closed.
  std::shared_ptr<RelayConnection> relay;
  // Where alarm and test mails go: the alert service's relay of the site
  // constants. Tests point it at a loopback peer of their own.
  Text relayHost = SiteConstants::relayHost;
  int relayPort = SiteConstants::relayPort;
  // The single-instance lock file and its handle, held until the process ends.
  Text lockPath;
  std::shared_ptr<HeldFile> lockFile;
};
