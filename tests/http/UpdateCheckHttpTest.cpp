// The update check over the real HTTP file reader (WinInet under Wine)
// against the loopback peer serving the version file.
#include <gtest/gtest.h>

#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"
#include "support/HttpPeer.h"
#include "web/HttpFileReaderWin32.h"
#include "web/UpdateChecker.h"
#include "web/UrlParts.h"

namespace {

constexpr const char* kQuestion = "  有最新版本 v2.1，是否现在更新？";
constexpr const char* kUpToDate = "Quenthor v2.0\r\n\r\n当前已是最新版本！";

Text utf8Bytes(const char8_t* text) { return reinterpret_cast<const char*>(text); }
Text versionPath() { return UrlParts::path(SiteConstants::versionFileUrl); }

class UpdateCheckHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HttpPeer::present()) << "run through tests/peers/http_peer.py";
    HttpPeer::clear();
    HttpPeer::openService();
  }
  void TearDown() override { HttpPeer::openService(); }

  HttpFileReaderWin32 reader;
};

TEST_F(UpdateCheckHttp, VersionFilesOnDemand) {
  struct Case {
    Text body;
    float version;
    bool newer;
  };
  const Case kCases[] = {
      {"new:2.1=", 2.1f, true},
      {"new:2.0=", 2.0f, false},
      {"new:2.00000001=", 2.0f, false},
      {"NEW:2.1=", 0.0f, false},
      {"new: 2.1 =", 2.1f, true},
      {utf8Bytes(u8"最新版本：new:2.1=（修正若干问题）\r\n"), 2.1f, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(utf8(c.body));
    AppFixture f;
    f.app.httpFiles = &reader;
    f.start();
    HttpPeer::clear();
    HttpPeer::setReply(versionPath(), {.body = c.body});
    EXPECT_EQ(UpdateChecker::fetchLatestVersion(f.app), c.version);

    f.desktop.messageBoxAnswers.push_back(ui::kAnswerYes);
    UpdateChecker::checkOnDemand(f.app);
    ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
    EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, c.newer ? kQuestion : kUpToDate);
    EXPECT_EQ(f.desktop.shellOpens().size(), c.newer ? 1u : 0u);

    const std::vector<HttpPeer::Request> got = HttpPeer::requests();
    ASSERT_EQ(got.size(), 2u);  // the fetch and the check, each from the server
    EXPECT_EQ(got[1].requestLine, "GET " + versionPath() + " HTTP/1.1");
    EXPECT_EQ(got[1].body, "");
  }
}

TEST_F(UpdateCheckHttp, EveryFetchReachesTheServerWhateverItsStatus) {
  AppFixture f;
  f.app.httpFiles = &reader;
  HttpPeer::setReply(versionPath(), {.body = "new:2.0="});
  EXPECT_EQ(UpdateChecker::fetchLatestVersion(f.app), 2.0f);
  HttpPeer::setReply(versionPath(), {.body = "new:2.5="});
  EXPECT_EQ(UpdateChecker::fetchLatestVersion(f.app), 2.5f);  // not a cached copy
  HttpPeer::setReply(versionPath(), {.body = "<html>new:2.7=</html>", .status = 404});
  EXPECT_EQ(UpdateChecker::fetchLatestVersion(f.app), 2.7f);
}

TEST_F(UpdateCheckHttp, UnreachableServer) {
  AppFixture f;
  f.app.httpFiles = &reader;
  f.start();
  UpdateChecker::startTimer(f.app);
  HttpPeer::closeService();

  UpdateChecker::checkPeriodic(f.app);
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  EXPECT_EQ(f.window().timerPeriod("时钟5"), UpdateChecker::kPeriodMs);

  UpdateChecker::checkOnDemand(f.app);
  ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
  EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, kUpToDate);
  EXPECT_EQ(f.desktop.messageBoxes()[0].flags, ui::kMbInfo);
}

TEST_F(UpdateCheckHttp, SilentServerIsBoundedByTheTimeouts) {
  HttpPeer::setReply(versionPath(), {.silent = true});
  HttpFileReaderWin32 impatient(InternetTimeouts{2000, 2000, 2000});
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(impatient.get(SiteConstants::versionFileUrl).empty());
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_GE(elapsed, 1500u);
  EXPECT_LT(elapsed, 20000u);
}

}  // namespace
