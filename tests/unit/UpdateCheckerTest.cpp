// The update check on the in-memory main window with a scripted HTTP file
// reader: the version file's parse, the conversion from UTF-8, the answers on
// demand and on 时钟5.
#include "web/UpdateChecker.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"
#include "web/HttpFileReader.h"

namespace {

constexpr const char* kQuestion = "  有最新版本 v2.1，是否现在更新？";
constexpr const char* kUpToDate = "Quenthor v2.0\r\n\r\n当前已是最新版本！";
constexpr const char* kTimer = "时钟5";

Text utf8Bytes(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Serves scripted bodies; an unknown URL fails (empty body).
struct ScriptedFiles final : HttpFileReader {
  std::map<Text, ByteBlob> bodies;
  std::vector<Text> requests;
  ByteBlob get(const Text& url) override {
    requests.push_back(url);
    auto found = bodies.find(url);
    return found == bodies.end() ? ByteBlob() : found->second;
  }
};

// Forwards to the in-memory desktop and lets a test look at the window at
// the moment a message box appears.
struct ObservedDesktop final : ui::Desktop {
  ui::MemoryDesktop& inner;
  std::function<void()> onMessageBox;
  explicit ObservedDesktop(ui::MemoryDesktop& d) : inner(d) {}
  ui::Window& openMainWindow(const ui::WindowDesign& design,
                             const std::function<void(ui::Window&)>& setup) override {
    return inner.openMainWindow(design, setup);
  }
  void runDialog(const ui::WindowDesign& design,
                 const std::function<void(ui::Window&)>& setup) override {
    inner.runDialog(design, setup);
  }
  int messageBox(const Text& text, int flags, const Text& title) override {
    if (onMessageBox) onMessageBox();
    return inner.messageBox(text, flags, title);
  }
  void processPendingEvents() override { inner.processPendingEvents(); }
  void shellOpen(const Text& target) override { inner.shellOpen(target); }
  void exit() override { inner.exit(); }
};

struct UpdateFixture : AppFixture {
  ScriptedFiles versionFiles;
  UpdateFixture() { app.httpFiles = &versionFiles; }
  void serve(const Text& body) {
    versionFiles.bodies[SiteConstants::versionFileUrl] = blobFromText(body);
  }
};

TEST(UpdateChecker, Utf8ToGbk) {
  struct Case {
    const char* name;
    Text utf8;
    Text gbk;
  };
  const Case kCases[] = {
      {"empty", "", ""},
      {"plain ASCII", "new:2.1=\r\n", "new:2.1=\r\n"},
      {"Chinese", utf8Bytes(u8"最新版本new:2.1=更新"), "最新版本new:2.1=更新"},
      {"character GBK lacks", utf8Bytes(u8"aกb"), "a?b"},
      {"invalid byte",
       "a\xFF"
       "b",
       "a?b"},
      // Read as GBK these two bytes are one character, as UTF-8 two invalid
      // ones: decoding needs more room than measured and writes nothing.
      {"decoding needs more room", "new:2.1=\xC0\xC0", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_GBK_EQ(UpdateChecker::utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(UpdateChecker, VersionFromTheFile) {
  struct Case {
    Text body;
    float version;
    bool newer;
  };
  const Case kCases[] = {
      {"new:2.1=", 2.1f, true},
      {"new:2.0=", 2.0f, false},
      {"new:2.00000001=", 2.0f, false},  // exactly 2.0 in single precision
      {"new:2.0000003=", 2.0000003f, true},
      {"NEW:2.1=", 0.0f, false},
      {"new:2.1", 0.0f, false},
      {"new: 2.1 =", 2.1f, true},
      {"new:=", 0.0f, false},
      {"new:abc=", 0.0f, false},
      {"new:1.9=", 1.9f, false},
      {"v=1 new:2.1= new:3.0=", 2.1f, true},
      {utf8Bytes(u8"软件最新版本：new:2.5=（更新说明）"), 2.5f, true},
      {Text("new:2.1=\0", 9) + "new:3=", 2.1f, true},
      {Text("\0new:2.1=", 9), 0.0f, false},  // nothing before the first zero byte
      {"", 0.0f, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(utf8(c.body));
    UpdateFixture f;
    f.serve(c.body);
    const float version = UpdateChecker::fetchLatestVersion(f.app);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(UpdateChecker::isNewer(version), c.newer);
    EXPECT_EQ(f.versionFiles.requests, std::vector<Text>{SiteConstants::versionFileUrl});
  }
  UpdateFixture unreachable;
  EXPECT_EQ(UpdateChecker::fetchLatestVersion(unreachable.app), 0.0f);
}

TEST(UpdateChecker, OnDemandAlwaysAnswers) {
  struct Case {
    const char* name;
    bool reachable;
    Text body;
    int answer;
    Text message, title;
    int flags;
    bool opensDownloadPage;
  };
  const Case kCases[] = {
      {"newer, yes", true, "new:2.1=", 5, kQuestion, "Quenthor", 36, true},
      {"newer, no", true, "new:2.1=", 6, kQuestion, "Quenthor", 36, false},
      {"same version", true, "new:2.0=", 0, kUpToDate, "信息：", 64, false},
      {"unreachable", false, "", 0, kUpToDate, "信息：", 64, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    UpdateFixture f;
    ui::MemoryWindow& w = f.start();
    UpdateChecker::startTimer(f.app);
    if (c.reachable) f.serve(c.body);
    f.desktop.messageBoxAnswers.push_back(c.answer);

    UpdateChecker::checkOnDemand(f.app);

    ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
    EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, c.message);
    EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].title, c.title);
    EXPECT_EQ(f.desktop.messageBoxes()[0].flags, c.flags);
    EXPECT_EQ(f.desktop.shellOpens(), c.opensDownloadPage
                                          ? std::vector<Text>{SiteConstants::downloadPageUrl}
                                          : std::vector<Text>{});
    // The on-demand check leaves the update timer alone.
    EXPECT_EQ(w.timerPeriod(kTimer), 2592000000);
  }
}

TEST(UpdateChecker, PeriodicCheckSpeaksOnlyOfANewerVersion) {
  struct Case {
    const char* name;
    Text body;
    int answer;
    bool asks, opensDownloadPage;
  };
  const Case kCases[] = {
      {"newer, yes", "new:2.1=", 5, true, true},
      {"newer, no", "new:2.1=", 6, true, false},
      {"same version", "new:2.0=", 0, false, false},
      {"no marker", "NEW:2.1=", 0, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    UpdateFixture f;
    ObservedDesktop observed(f.desktop);
    f.app.desktop = &observed;
    ui::MemoryWindow& w = f.start();
    std::int64_t periodAtQuestion = -1;
    observed.onMessageBox = [&] { periodAtQuestion = w.timerPeriod(kTimer); };
    UpdateChecker::startTimer(f.app);
    f.serve(c.body);
    f.desktop.messageBoxAnswers.push_back(c.answer);

    UpdateChecker::checkPeriodic(f.app);

    if (c.asks) {
      ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
      EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, kQuestion);
      EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].title, "查找新版本");
      EXPECT_EQ(f.desktop.messageBoxes()[0].flags, 36);
      EXPECT_EQ(periodAtQuestion, 0);  // stopped before the question
      EXPECT_EQ(w.timerPeriod(kTimer), 0);
    } else {
      EXPECT_TRUE(f.desktop.messageBoxes().empty());
      EXPECT_EQ(w.timerPeriod(kTimer), 2592000000);
    }
    EXPECT_EQ(f.desktop.shellOpens().size(), c.opensDownloadPage ? 1u : 0u);
  }
}

TEST(UpdateChecker, TimerChecksEveryThirtyDaysUntilANewerVersionAppears) {
  UpdateFixture f;
  ui::MemoryWindow& w = f.start();
  w.events.timer[kTimer] = [&f] { UpdateChecker::checkPeriodic(f.app); };
  UpdateChecker::startTimer(f.app);
  f.serve("new:2.0=");
  constexpr std::int64_t kDay = 24LL * 3600 * 1000;

  f.desktop.advance(30 * kDay - 1);
  EXPECT_TRUE(f.versionFiles.requests.empty());
  f.desktop.advance(1);
  EXPECT_EQ(f.versionFiles.requests.size(), 1u);
  f.desktop.advance(30 * kDay);
  EXPECT_EQ(f.versionFiles.requests.size(), 2u);
  EXPECT_TRUE(f.desktop.messageBoxes().empty());

  f.serve("new:2.1=");
  f.desktop.messageBoxAnswers.push_back(ui::kAnswerNo);
  f.desktop.advance(30 * kDay);
  EXPECT_EQ(f.versionFiles.requests.size(), 3u);
  EXPECT_EQ(f.desktop.messageBoxes().size(), 1u);
  // After No: no browser, and no further check in this run.
  f.desktop.advance(90 * kDay);
  EXPECT_EQ(f.versionFiles.requests.size(), 3u);
  EXPECT_TRUE(f.desktop.shellOpens().empty());
}

}  // namespace
