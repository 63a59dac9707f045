// The alert-service client over the real WinInet (under Wine) against the
// loopback peer, on the in-memory main window: the alarm posts and the key
// verification with each reply the service gives.
#include <gtest/gtest.h>

#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"
#include "support/HttpPeer.h"
#include "web/AlertServiceClient.h"
#include "web/InternetApiWin32.h"
#include "web/UrlParts.h"

namespace {

constexpr const char* kKey = "编辑框5";
constexpr const char* kReply = "编辑框13";
constexpr const char* kVerify = "按钮验证";

class AlertServiceHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HttpPeer::present()) << "run through tests/peers/http_peer.py";
    HttpPeer::clear();
    HttpPeer::openService();
    f.app.internet = &internet;
  }
  void TearDown() override { HttpPeer::openService(); }

  static Text servicePath() { return UrlParts::path(SiteConstants::alertServiceUrl); }

  AppFixture f;
  InternetApiWin32 internet;
};

TEST_F(AlertServiceHttp, EveryAlarmTypePostsItsBody) {
  struct Case {
    Text type, count, body;
  };
  const Text key = "密钥-42";
  const Case kCases[] = {
      {"002", "51", "APIKEY=密钥-42&TYPE=002&COUNT=51"},
      {"003", "", "APIKEY=密钥-42&TYPE=003"},
      {"004", "5", "APIKEY=密钥-42&TYPE=004&COUNT=5"},
  };
  f.start();
  HttpPeer::setReply(servicePath(), {.body = "ignored"});
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    HttpPeer::clear();
    AlertServiceClient::alertNotify(f.app, key, c.type, c.count);
    const std::vector<HttpPeer::Request> got = HttpPeer::requests();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].requestLine, "POST " + servicePath() + " HTTP/1.1");
    EXPECT_EQ(got[0].header("Referer"), SiteConstants::alertServiceUrl);
    EXPECT_EQ(got[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(got[0].header("Accept-Language"), "zh-cn");
    EXPECT_EQ(got[0].header("Accept"), "*/*");
    EXPECT_EQ(got[0].header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    EXPECT_GBK_EQ(got[0].body, c.body);
  }
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
}

TEST_F(AlertServiceHttp, VerificationAnswersTheServicesReplies) {
  struct Case {
    Text reply;
    Text message;  // empty: none
    bool verified;
  };
  const Case kCases[] = {
      {"OK", "APIKEY与手机号验证成功，请检查是否收到测试短信。", true},
      {"ERROR_APIKEY", "APIKEY在系统中没有找到，请确认输入的APIKEY是否正确！", false},
      {"ERROR_NOT_Found_MP", "APIKEY正确，但手机没有在日志系统中通过短信/语音验证！", false},
      {"ERROR_POST", "APIKEY为空或大小写不一致！", false},
      {"OK\r\n", "", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.reply);
    AppFixture app;
    app.app.internet = &internet;
    ui::MemoryWindow& w = app.start();
    w.setText(kKey, "密钥-7");
    HttpPeer::clear();
    HttpPeer::setReply(servicePath(), {.body = c.reply});

    AlertServiceClient::verifyKey(app.app);

    const std::vector<HttpPeer::Request> got = HttpPeer::requests();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_GBK_EQ(got[0].body, "APIKEY=密钥-7&TYPE=001");
    EXPECT_EQ(w.text(kReply), c.reply);
    if (c.message.empty()) {
      EXPECT_TRUE(app.desktop.messageBoxes().empty());
    } else {
      ASSERT_EQ(app.desktop.messageBoxes().size(), 1u);
      EXPECT_GBK_EQ(app.desktop.messageBoxes()[0].text, c.message);
    }
    EXPECT_EQ(w.inputMode(kKey), c.verified ? 1 : 0);
    EXPECT_EQ(w.disabled(kVerify), c.verified);
    EXPECT_GBK_EQ(app.registry.raw("Software\\Vantrel", "APIKEY").text, c.verified ? "密钥-7" : "");
  }
}

TEST_F(AlertServiceHttp, UnreachableServiceShowsNothing) {
  ui::MemoryWindow& w = f.start();
  w.setText(kKey, "K");
  w.setText(kReply, "stale");
  HttpPeer::closeService();

  AlertServiceClient::verifyKey(f.app);
  AlertServiceClient::alertNotify(f.app, "K", "003");

  EXPECT_EQ(w.text(kReply), "");
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  EXPECT_EQ(w.inputMode(kKey), 0);
}

}  // namespace
