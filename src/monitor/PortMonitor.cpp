#include "monitor/PortMonitor.h"

#include "monitor/AlarmMailer.h"
#include "monitor/net/Socket.h"
#include "shell/App.h"
#include "shell/ui/Window.h"

namespace {

constexpr const char* kPortTimer = "时钟4";
constexpr const char* kHostField = "编辑框17";  // 服务器地址
constexpr const char* kPortField = "编辑框18";  // 监控SMTP端口
constexpr const char* kPortAlarmType = "003";
constexpr std::int64_t kBackOffMs = 3600000;  // 1 hour

}  // namespace

namespace PortMonitor {

bool probe(Net::TcpStream& socket, const Text& host, std::int32_t port) {
  Net::close(socket);
  if (port < 1) port = 1;
  if (host.empty()) return false;
  Net::Ipv4 address;
  if (!Net::resolveIpv4(host, address)) return false;
  return Net::connect(socket, address, port);
}

Text alarmSubject(const Text& host, const Text& port) {
  return "★警告：服务器（" + host + "）" + port + "端口连接失败★";
}

Text alarmBody(const Text& host, const Text& port) {
  return "服务器（" + host + "）" + port + "端口连接失败，请尽快检查处理！";
}

void probePass(App& app) {
  ui::Window& window = *app.main;
  // A fresh socket for every probe; no data is ever sent on it.
  Net::TcpStream socket;
  if (probe(socket, window.text(kHostField), app.settings.watchedPort)) {
    Net::close(socket);
    return;
  }
  // The texts quote the fields as they read now, not as they were at Start.
  const Text host = window.text(kHostField);
  const Text port = window.text(kPortField);
  AlarmMailer::raiseAlarm(app, alarmSubject(host, port), alarmBody(host, port), kPortAlarmType,
                          Text());
  window.setTimerPeriod(kPortTimer, kBackOffMs);
}

}  // namespace PortMonitor
