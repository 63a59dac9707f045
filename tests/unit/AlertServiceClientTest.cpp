// The alert-service client on the in-memory main window with the WinInet
// double: request bodies, the four verification replies, the key field's
// states and their survival across a restart.
#include "web/AlertServiceClient.h"

#include <gtest/gtest.h>

#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"
#include "support/RecordingInternet.h"
#include "web/UrlParts.h"

namespace {

constexpr const char* kKey = "编辑框5";
constexpr const char* kReply = "编辑框13";
constexpr const char* kVerify = "按钮验证";

struct AlertFixture : AppFixture {
  RecordingInternet internet;
  AlertFixture() { app.internet = &internet; }

  // The stored key as the registry holds it.
  Text storedKey() { return registry.raw("Software\\Vantrel", "APIKEY").text; }
};

// The key field's two states.
void expectVerified(ui::MemoryWindow& w, bool verified) {
  EXPECT_EQ(w.inputMode(kKey), verified ? 1 : 0);
  EXPECT_EQ(w.background(kKey), verified ? 0xECECECu : 0xFFFFFFu);
  EXPECT_GBK_EQ(w.text(kVerify), verified ? "已验证" : "验证");
  EXPECT_EQ(w.disabled(kVerify), verified);
}

TEST(AlertServiceClient, AlarmBodies) {
  struct Case {
    Text key, type, count, body;
  };
  const Case kCases[] = {
      {"K1", "002", "51", "APIKEY=K1&TYPE=002&COUNT=51"},
      {"K1", "003", "51", "APIKEY=K1&TYPE=003"},
      {"K1", "004", "5", "APIKEY=K1&TYPE=004&COUNT=5"},
      {"", "003", "", "APIKEY=&TYPE=003"},
      {"a&b=c 密钥", "002", " 7 ", "APIKEY=a&b=c 密钥&TYPE=002&COUNT= 7 "},
      {"K1", "001", "", ""},
      {"K1", "005", "1", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(utf8(c.key) + " " + c.type);
    EXPECT_GBK_EQ(AlertServiceClient::alarmBody(c.key, c.type, c.count), c.body);
  }
}

TEST(AlertServiceClient, AlertNotifyPostsToTheServiceAndIgnoresTheReply) {
  AlertFixture f;
  ui::MemoryWindow& w = f.start();
  f.internet.responseBody = blobFromText("ERROR_APIKEY");

  AlertServiceClient::alertNotify(f.app, "密钥", "004", "5");

  const Text url = SiteConstants::alertServiceUrl;
  EXPECT_EQ(f.internet.host, UrlParts::host(url));
  EXPECT_EQ(f.internet.port, UrlParts::port(url));
  EXPECT_EQ(f.internet.path, "/postapi.php");
  EXPECT_EQ(f.internet.method, "POST");
  EXPECT_NE(textFind(f.internet.sentHeaders, "\r\nReferer: " + url + "\r\n"), -1);
  EXPECT_EQ(f.internet.sentBody, blobFromText("APIKEY=密钥&TYPE=004&COUNT=5"));
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  EXPECT_EQ(w.text(kReply), "");

  RecordingInternet unknownType;
  f.app.internet = &unknownType;
  AlertServiceClient::alertNotify(f.app, "K", "001");
  EXPECT_TRUE(unknownType.calls.empty());
}

TEST(AlertServiceClient, VerifyAnswersEachReply) {
  struct Case {
    const char* name;
    ByteBlob reply;
    Text replyField;
    Text message;  // empty: no box
    int flags;
    bool verified;
  };
  const Case kCases[] = {
      {"OK", blobFromText("OK"), "OK", "APIKEY与手机号验证成功，请检查是否收到测试短信。", 64,
       true},
      {"unknown key", blobFromText("ERROR_APIKEY"), "ERROR_APIKEY",
       "APIKEY在系统中没有找到，请确认输入的APIKEY是否正确！", 48, false},
      {"phone not checked", blobFromText("ERROR_NOT_Found_MP"), "ERROR_NOT_Found_MP",
       "APIKEY正确，但手机没有在日志系统中通过短信/语音验证！", 48, false},
      {"empty or wrong case", blobFromText("ERROR_POST"), "ERROR_POST",
       "APIKEY为空或大小写不一致！", 48, false},
      {"OK and a line break", blobFromText("OK\r\n"), "OK\r\n", "", 0, false},
      {"ok in small letters", blobFromText("ok"), "ok", "", 0, false},
      {"code in other case", blobFromText("error_post"), "error_post", "", 0, false},
      {"empty reply", {}, "", "", 0, false},
      // The reply counts up to its first zero byte.
      {"OK then a zero byte",
       {'O', 'K', 0, 'x'},
       "OK",
       "APIKEY与手机号验证成功，请检查是否收到测试短信。",
       64,
       true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    AlertFixture f;
    ui::MemoryWindow& w = f.start();
    w.setText(kKey, "密钥-1");
    w.setText(kReply, "stale");
    f.internet.responseBody = c.reply;

    AlertServiceClient::verifyKey(f.app);

    EXPECT_EQ(f.internet.sentBody, blobFromText("APIKEY=密钥-1&TYPE=001"));
    EXPECT_GBK_EQ(w.text(kReply), c.replyField);
    if (c.message.empty()) {
      EXPECT_TRUE(f.desktop.messageBoxes().empty());
    } else {
      ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
      EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, c.message);
      EXPECT_EQ(f.desktop.messageBoxes()[0].flags, c.flags);
      EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].title, "信息：");
    }
    expectVerified(w, c.verified);
    EXPECT_GBK_EQ(f.storedKey(), c.verified ? "密钥-1" : "");
    EXPECT_GBK_EQ(w.text(kKey), "密钥-1");
  }
}

TEST(AlertServiceClient, VerifyWithEmptyKeyAndUnreachableService) {
  AlertFixture f;
  ui::MemoryWindow& w = f.start();
  w.setText(kReply, "stale");
  f.internet.failConnect = true;

  AlertServiceClient::verifyKey(f.app);

  EXPECT_EQ(f.internet.calls.size(), 4u);  // open, connect, two closes
  EXPECT_EQ(w.text(kReply), "");
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  expectVerified(w, false);
  EXPECT_EQ(f.registry.writes.size(), 0u);

  RecordingInternet reachable;
  f.app.internet = &reachable;
  reachable.responseBody = blobFromText("ERROR_POST");
  AlertServiceClient::verifyKey(f.app);
  EXPECT_EQ(reachable.sentBody, blobFromText("APIKEY=&TYPE=001"));
  ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
  EXPECT_GBK_EQ(f.desktop.messageBoxes()[0].text, "APIKEY为空或大小写不一致！");
}

TEST(AlertServiceClient, RefusedRegistryWriteStillLocksTheField) {
  AlertFixture f;
  ui::MemoryWindow& w = f.start();
  w.setText(kKey, "K");
  f.registry.refuseWrites = true;
  f.internet.responseBody = blobFromText("OK");
  AlertServiceClient::verifyKey(f.app);
  expectVerified(w, true);
  EXPECT_EQ(f.storedKey(), "");
}

TEST(AlertServiceClient, ChangeUnlocksAndKeepsTheStoredKey) {
  AlertFixture f;
  ui::MemoryWindow& w = f.start();
  w.setText(kKey, "OLD");
  f.internet.responseBody = blobFromText("OK");
  AlertServiceClient::verifyKey(f.app);
  expectVerified(w, true);

  AlertServiceClient::changeKey(f.app);
  EXPECT_EQ(w.text(kKey), "");
  expectVerified(w, false);
  EXPECT_EQ(f.storedKey(), "OLD");
  // Editable again: the user can type the new key.
  EXPECT_TRUE(w.typeText(kKey, "NEW"));
  EXPECT_EQ(w.text(kKey), "NEW");

  // Changing an unverified field empties it as well.
  AlertServiceClient::changeKey(f.app);
  EXPECT_EQ(w.text(kKey), "");
  expectVerified(w, false);
}

TEST(AlertServiceClient, StoredKeyIsVerifiedAtStartUp) {
  // A key verified in one run, then changed but not verified again: the next
  // run shows the old key, verified.
  AlertFixture first;
  ui::MemoryWindow& w1 = first.start();
  AlertServiceClient::restoreKeyState(first.app);
  expectVerified(w1, false);
  w1.setText(kKey, "OLD");
  first.internet.responseBody = blobFromText("OK");
  AlertServiceClient::verifyKey(first.app);
  AlertServiceClient::changeKey(first.app);
  w1.setText(kKey, "NEW");

  AlertFixture second;
  second.registry = first.registry;
  ui::MemoryWindow& w2 = second.start();
  AlertServiceClient::restoreKeyState(second.app);
  EXPECT_EQ(w2.text(kKey), "OLD");
  expectVerified(w2, true);

  // A stored key that is empty leaves the field unverified.
  AlertFixture third;
  third.registry.set("Software\\Vantrel", "APIKEY", RegistryType::String, "");
  ui::MemoryWindow& w3 = third.start();
  AlertServiceClient::restoreKeyState(third.app);
  expectVerified(w3, false);
}

}  // namespace
