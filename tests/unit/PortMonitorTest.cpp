// The port monitor on the in-memory desktop against real loopback ports:
// probes driven by 时钟4 on the virtual clock, alarm mails caught by a
// loopback SMTP peer.
#include <gtest/gtest.h>

#include <optional>

#include "core/Number.h"
#include "monitor/PortMonitor.h"
#include "monitor/net/Socket.h"
#include "support/GbkPrint.h"
#include "support/LoopbackListener.h"
#include "support/WatcherFixture.h"

namespace {

constexpr std::int64_t kPortPeriod = 300000;  // 监控频率 of 5 minutes
constexpr std::int64_t kBackOff = 3600000;

// A loopback port on which nothing listens: one the system just handed out
// and that was released again at once.
int closedPort() {
  loopback::Listener released;
  return released.port();
}

// Takes the next connection waiting on the listener (within a second) and
// answers whether its client had closed it again.
bool takeClosedConnection(loopback::Listener& listener) {
  loopback::Handle h = listener.accept(1000);
  if (h == loopback::kNone) return false;
  loopback::Connection connection(h);
  connection.receive(1000);
  return connection.eof();
}

bool noConnectionCame(loopback::Listener& listener) {
  loopback::Handle h = listener.accept(100);
  if (h == loopback::kNone) return true;
  loopback::closeHandle(h);
  return false;
}

class PortMonitorTest : public ::testing::Test {
 protected:
  // Opens the window with the probe aimed at host:port and starts monitoring.
  void startWatching(const Text& host, const Text& port) {
    f.open();
    f.window().setText("编辑框17", host);
    f.window().setText("编辑框18", port);
    f.window().setText("编辑框19", "5");
    ASSERT_TRUE(f.clickStart());
    ASSERT_EQ(f.period("时钟4"), kPortPeriod);
  }

  // The one alarm raised so far carries these texts.
  void expectAlarm(const Text& subject, const Text& body) {
    const auto mails = f.mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_GBK_EQ(mails[0].subject(), subject);
    EXPECT_GBK_EQ(mails[0].body(), body);
    ASSERT_EQ(f.notifications(), 1);
    EXPECT_GBK_EQ(f.lastNotification(), "APIKEY=KEY123&TYPE=003");
    EXPECT_EQ(f.period("时钟4"), kBackOff);
  }

  WatcherFixture f;
};

TEST_F(PortMonitorTest, OpenPortIsConnectedAndClosedAgainWithoutAlarm) {
  loopback::Listener server;
  ASSERT_NE(server.port(), 0);
  startWatching("127.0.0.1", numberToText(server.port()));
  f.desktop.advance(kPortPeriod);
  EXPECT_TRUE(takeClosedConnection(server));
  EXPECT_TRUE(f.mails().empty());
  EXPECT_EQ(f.notifications(), 0);
  EXPECT_EQ(f.period("时钟4"), kPortPeriod);
}

TEST_F(PortMonitorTest, HostNameIsLookedUp) {
  loopback::Listener server;
  ASSERT_NE(server.port(), 0);
  startWatching("localhost", numberToText(server.port()));
  f.desktop.advance(kPortPeriod);
  EXPECT_TRUE(takeClosedConnection(server));
  EXPECT_TRUE(f.mails().empty());
}

TEST_F(PortMonitorTest, RefusedPortAlarmsThenRepeatsHourly) {
  const Text port = numberToText(closedPort());
  startWatching("127.0.0.1", port);
  f.desktop.advance(kPortPeriod);
  expectAlarm("★警告：服务器（127.0.0.1）" + port + "端口连接失败★",
              "服务器（127.0.0.1）" + port + "端口连接失败，请尽快检查处理！");
  f.desktop.advance(kBackOff);
  EXPECT_EQ(f.mails().size(), 2u);
  EXPECT_EQ(f.period("时钟4"), kBackOff);
}

TEST_F(PortMonitorTest, HostEmptiedAfterStartFailsAtOnce) {
  loopback::Listener server;
  startWatching("127.0.0.1", numberToText(server.port()));
  f.window().setText("编辑框17", "");
  f.desktop.advance(kPortPeriod);
  EXPECT_TRUE(noConnectionCame(server));
  const Text port = numberToText(server.port());
  expectAlarm("★警告：服务器（）" + port + "端口连接失败★",
              "服务器（）" + port + "端口连接失败，请尽快检查处理！");
}

TEST_F(PortMonitorTest, ProbeKeepsThePortOfStartWhileTheTextsQuoteTheField) {
  std::optional<loopback::Listener> server(std::in_place);
  ASSERT_NE(server->port(), 0);
  startWatching("127.0.0.1", numberToText(server->port()));
  f.window().setText("编辑框18", "2525");
  f.desktop.advance(kPortPeriod);  // still probes the port of Start, which answers
  EXPECT_TRUE(takeClosedConnection(*server));
  EXPECT_TRUE(f.mails().empty());

  server.reset();  // the server goes away: connects are refused
  f.desktop.advance(kPortPeriod);
  expectAlarm("★警告：服务器（127.0.0.1）2525端口连接失败★",
              "服务器（127.0.0.1）2525端口连接失败，请尽快检查处理！");
}

TEST_F(PortMonitorTest, PortBelowOneProbesPortOne) {
  loopback::Listener portOne(1);  // needs the right to bind a low port
  if (portOne.port() != 1) GTEST_SKIP() << "cannot listen on 127.0.0.1:1 here";
  for (const char* text : {"0", "-8", "端口"}) {
    SCOPED_TRACE(utf8(text));
    Net::TcpStream socket;
    EXPECT_TRUE(PortMonitor::probe(socket, "127.0.0.1", textToInt32(text)));
    Net::close(socket);
    EXPECT_TRUE(takeClosedConnection(portOne));
  }
}

TEST(PortMonitorTextsTest, DefaultFieldsGiveTheDocumentedTexts) {
  EXPECT_GBK_EQ(PortMonitor::alarmSubject("127.0.0.1", "25"),
                "★警告：服务器（127.0.0.1）25端口连接失败★");
  EXPECT_GBK_EQ(PortMonitor::alarmBody("127.0.0.1", "25"),
                "服务器（127.0.0.1）25端口连接失败，请尽快检查处理！");
}

TEST(PortMonitorProbeTest, FailedProbeLeavesNothingOpen) {
  const int closed = closedPort();
  Net::TcpStream socket;
  EXPECT_FALSE(PortMonitor::probe(socket, "127.0.0.1", closed));
  EXPECT_FALSE(socket.isOpen());
  EXPECT_FALSE(PortMonitor::probe(socket, "", 25));
  EXPECT_FALSE(socket.isOpen());
  EXPECT_FALSE(PortMonitor::probe(socket, "no-such-host.invalid", 25));
  EXPECT_FALSE(socket.isOpen());
}

TEST(PortMonitorProbeTest, ProbeClosesTheSocketOfAnEarlierProbe) {
  loopback::Listener server;
  ASSERT_NE(server.port(), 0);
  Net::TcpStream socket;
  ASSERT_TRUE(PortMonitor::probe(socket, "127.0.0.1", server.port()));
  ASSERT_TRUE(PortMonitor::probe(socket, "127.0.0.1", server.port()));
  EXPECT_TRUE(takeClosedConnection(server));  // the first one, closed by the second probe
  Net::close(socket);
  EXPECT_TRUE(takeClosedConnection(server));
}

TEST(PortMonitorOffTest, EmptyPortFrequencyNeverProbes) {
  WatcherFixture f;
  loopback::Listener server;
  f.open();
  f.window().setText("编辑框18", numberToText(server.port()));
  ASSERT_TRUE(f.clickStart());
  EXPECT_EQ(f.period("时钟4"), 0);
  f.desktop.advance(24 * kBackOff);
  EXPECT_TRUE(noConnectionCame(server));
}

}  // namespace
