// The relay client against a real SMTP server (aiosmtpd on 127.0.0.1, started
// by tests/peers/smtp_server.py), which records what it received and what
// Python's email package reads in each mail: the greeting and login the fields
// call for, every recipient, and subject and body decoded back to the exact
// GBK bytes with the right charset label.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "monitor/AlarmMailer.h"
#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"
#include "support/LoopbackListener.h"
#include "support/RecordingInternet.h"

namespace {

// The account the servers accept (ACCOUNT in tests/peers/smtp_server.py).
const Text kUser = "告警用户";
const Text kPassword = "pass密码";
const Text kSender = "alert@quenthor.test";

int envPort(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::atoi(value) : 0;
}

Text hexOf(const Text& bytes) {
  static const char* digits = "0123456789abcdef";
  Text out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

Text fromHex(const std::string& hex) {
  Text out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

// One mail as the server recorded it.
struct ServerMail {
  std::map<std::string, std::vector<std::string>> fields;
  std::string one(const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? "(missing)" : it->second.front();
  }
  std::vector<std::string> all(const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? std::vector<std::string>() : it->second;
  }
  int number(const std::string& key) const { return std::atoi(one(key).c_str()); }
};

std::vector<ServerMail> recordedMails() {
  std::vector<ServerMail> mails;
  const char* path = std::getenv("QUENTHOR_SMTP_RECORD");
  FILE* f = path ? std::fopen(path, "rb") : nullptr;
  if (!f) return mails;
  std::string line;
  for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    const std::size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
    if (key == "message") mails.emplace_back();
    if (!mails.empty()) mails.back().fields[key].push_back(value);
    line.clear();
  }
  std::fclose(f);
  return mails;
}

// The mail parsed as a mail client reads it: no defects, lines within their
// limits, a single text/plain part in Base64 with a dated header.
void expectWellFormed(const ServerMail& m) {
  EXPECT_EQ(m.one("parse_error"), "(missing)");
  EXPECT_EQ(m.one("defects"), "0");
  EXPECT_EQ(m.one("multipart"), "0");
  EXPECT_EQ(m.one("content_type"), "text/plain");
  EXPECT_EQ(m.one("transfer_encoding"), "base64");
  EXPECT_EQ(m.one("mime_version"), "1.0");
  EXPECT_EQ(m.one("message_id"), "1");
  EXPECT_EQ(m.one("date_zone"), "1");
  EXPECT_LE(m.number("max_header_line"), 78);
  EXPECT_LE(m.number("max_encoded_word"), 75);
  EXPECT_LE(m.number("max_body_line"), 76);
}

void expectTexts(const ServerMail& m, const Text& subject, const Text& body) {
  EXPECT_GBK_EQ(fromHex(m.one("subject")), subject);
  EXPECT_GBK_EQ(fromHex(m.one("body")), body);
  EXPECT_GBK_EQ(fromHex(m.one("body_text")), body);
}

class SmtpServer : public ::testing::Test {
 protected:
  void SetUp() override {
    full = envPort("QUENTHOR_SMTP_PORT");
    plain = envPort("QUENTHOR_SMTP_PLAIN_PORT");
    ASSERT_NE(full, 0) << "run through tests/peers/smtp_server.py";
    ASSERT_NE(plain, 0);
  }
  int full = 0, plain = 0;
};

TEST_F(SmtpServer, MailsArriveAsTheFieldsSay) {
  const Text alarmSubject = "★警告：邮件队列数量出现异常堆积★";
  const Text alarmBody =
      "您邮件服务器（192.168.1.10）队列数量为（51），已超过设定阀值（50），请及时处理！\r\n"
      "服务热线：400-860-9366\r\n";
  Text longSubject;
  for (int i = 0; i < 4; ++i) longSubject += alarmSubject + "磁盘可用容量";
  const struct {
    const char* name;
    bool plainOnly;
    Text user, password, recipients, subject, body;
    const char *greeting, *auth, *charset;
    std::vector<std::string> rcpt;
  } kCases[] = {
      {"Chinese alarm over AUTH LOGIN",
       false,
       kUser,
       kPassword,
       "a@x;b <b@y>",
       alarmSubject,
       alarmBody,
       "EHLO",
       "LOGIN",
       "gb2312",
       {"a@x", "b@y"}},
      {"AUTH PLAIN where LOGIN is not offered",
       false,
       kUser,
       kPassword,
       "ops@x",
       alarmSubject,
       alarmBody,
       "EHLO",
       "PLAIN",
       "gb2312",
       {"ops@x"}},
      {"no user: HELO, no login",
       false,
       "",
       kPassword,
       "a@x,b@y",
       alarmSubject,
       alarmBody,
       "HELO",
       "none",
       "gb2312",
       {"a@x", "b@y"}},
      {"no password: HELO, no login",
       false,
       kUser,
       "",
       "a@x",
       alarmSubject,
       alarmBody,
       "HELO",
       "none",
       "gb2312",
       {"a@x"}},
      {"ASCII mail",
       false,
       kUser,
       kPassword,
       "a@x",
       "Quenthor port alarm",
       "Port 25 of 127.0.0.1 does not answer.\r\n",
       "EHLO",
       "LOGIN",
       "us-ascii",
       {"a@x"}},
      {"long Chinese subject, folded",
       false,
       kUser,
       kPassword,
       "a@x",
       longSubject,
       alarmBody,
       "EHLO",
       "LOGIN",
       "gb2312",
       {"a@x"}},
      {"test mail texts, Chinese display name",
       false,
       kUser,
       kPassword,
       "张三 <z@x>; ops@y ;",
       "Quenthor发信测试",
       "发信测试，收到此邮件即SMTP配置正确",
       "EHLO",
       "LOGIN",
       "gb2312",
       {"z@x", "ops@y"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    App app;
    const int port = c.auth == std::string("PLAIN") ? plain : full;
    ASSERT_TRUE(AlarmMailer::connectRelay(app, "127.0.0.1", port, c.user, c.password, 30000));
    const std::size_t before = recordedMails().size();
    ASSERT_PRED_FORMAT2(gbkEqual,
                        AlarmMailer::sendMail(app, c.subject, c.body, c.recipients, kSender), "");
    const std::vector<ServerMail> mails = recordedMails();
    ASSERT_EQ(mails.size(), before + 1);
    const ServerMail& m = mails.back();
    EXPECT_EQ(m.one("greeting"), c.greeting);
    EXPECT_EQ(m.one("helo_name"), SmtpSession::heloName());
    EXPECT_EQ(m.one("auth"), c.auth);
    if (c.auth != std::string("none")) {
      EXPECT_EQ(m.one("login"), hexOf(kUser));
    }
    EXPECT_EQ(m.one("mail_from"), kSender);
    EXPECT_EQ(m.all("rcpt"), c.rcpt);
    EXPECT_EQ(m.all("to"), c.rcpt);
    EXPECT_EQ(m.one("from"), kSender);
    EXPECT_EQ(m.one("charset"), c.charset);
    expectWellFormed(m);
    expectTexts(m, c.subject, c.body);
  }
  // The display name survives too.
  EXPECT_GBK_EQ(fromHex(recordedMails().back().one("to_name")), "张三");
}

TEST_F(SmtpServer, RefusedLoginSendsNothingAndTheNextConnectWorks) {
  App app;
  const std::size_t before = recordedMails().size();
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "127.0.0.1", full, kUser, "wrong", 30000));
  EXPECT_NE(AlarmMailer::sendMail(app, "s", "b", "a@x", kSender), "");
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "127.0.0.1", plain, "nobody", kPassword, 30000));
  EXPECT_EQ(recordedMails().size(), before);
  ASSERT_TRUE(AlarmMailer::connectRelay(app, "127.0.0.1", full, kUser, kPassword, 30000));
  EXPECT_GBK_EQ(AlarmMailer::sendMail(app, "s", "b", "a@x", kSender), "");
  // Two mails over one connection, then a reconnect.
  EXPECT_GBK_EQ(AlarmMailer::sendMail(app, "s2", "b2", "b@y", kSender), "");
  ASSERT_TRUE(AlarmMailer::connectRelay(app, "127.0.0.1", full, kUser, kPassword, 30000));
  EXPECT_GBK_EQ(AlarmMailer::sendMail(app, "s3", "b3", "c@z", kSender), "");
  const std::vector<ServerMail> mails = recordedMails();
  ASSERT_EQ(mails.size(), before + 3);
  EXPECT_EQ(mails.back().all("rcpt"), std::vector<std::string>{"c@z"});
}

// The closed port of a listener that is gone: the relay is unreachable.
int closedPort() {
  loopback::Listener gone;
  return gone.port();
}

TEST_F(SmtpServer, AlarmSendsTheMailThenTheNotification) {
  AppFixture f;
  RecordingInternet alertService;
  f.app.internet = &alertService;
  ui::MemoryWindow& w = f.start();
  w.setText("编辑框5", "KEY123");
  f.app.relayHost = "127.0.0.1";
  f.app.relayPort = full;
  f.app.settings.relayUser = kUser;
  f.app.settings.relayPassword = kPassword;
  f.app.settings.recipient = "admin@x;值班 <duty@y>";
  const Text subject = "★警告：磁盘可用容量已少于设定阀值★";
  const Text body = "服务器（192.168.1.10）磁盘可用容量已少于设定阀值（5GB），请及时处理！";

  std::size_t before = recordedMails().size();
  AlarmMailer::raiseAlarm(f.app, subject, body, "004", "5");
  std::vector<ServerMail> mails = recordedMails();
  ASSERT_EQ(mails.size(), before + 1);
  EXPECT_EQ(mails.back().all("rcpt"), (std::vector<std::string>{"admin@x", "duty@y"}));
  EXPECT_EQ(mails.back().one("mail_from"), SiteConstants::senderAddress);
  EXPECT_EQ(mails.back().one("auth"), "LOGIN");
  expectWellFormed(mails.back());
  expectTexts(mails.back(), subject, body);
  EXPECT_GBK_EQ(textFromBlob(alertService.sentBody), "APIKEY=KEY123&TYPE=004&COUNT=5");

  // Relay unreachable: no mail, the notification still goes out.
  f.app.relayPort = closedPort();
  alertService.sentBody.clear();
  w.setText("编辑框5", "KEY456");
  AlarmMailer::raiseAlarm(f.app, subject, body, "003", "");
  EXPECT_EQ(recordedMails().size(), before + 1);
  EXPECT_GBK_EQ(textFromBlob(alertService.sentBody), "APIKEY=KEY456&TYPE=003");
  EXPECT_FALSE(f.app.relay);
}

TEST_F(SmtpServer, TestMailSaysWhetherItWentOut) {
  const struct {
    const char* name;
    Text user, password, recipient;
    bool reachable;
    bool delivered;
    const char* greeting;
  } kCases[] = {
      {"account and recipient", kUser, kPassword, "ops@x;b <b@y>", true, true, "EHLO"},
      {"no user: HELO", "", "", "ops@x", true, true, "HELO"},
      {"wrong password", kUser, "wrong", "ops@x", true, false, ""},
      {"no recipient", kUser, kPassword, "", true, false, ""},
      {"relay unreachable", kUser, kPassword, "ops@x", false, false, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    AppFixture f;
    ui::MemoryWindow& w = f.start();
    f.app.relayHost = "127.0.0.1";
    f.app.relayPort = c.reachable ? full : closedPort();
    w.setText("编辑框3", c.user);
    w.setText("编辑框4", c.password);
    w.setText("编辑框6", c.recipient);
    const std::size_t before = recordedMails().size();
    const std::size_t boxes = f.desktop.messageBoxes().size();
    AlarmMailer::sendTestMail(f.app);

    ASSERT_EQ(f.desktop.messageBoxes().size(), boxes + 1);
    const ui::MessageBoxRecord& box = f.desktop.messageBoxes().back();
    EXPECT_GBK_EQ(box.text, c.delivered ? "测试邮件发送成功！" : "测试邮件发送失败，请检查设置！");
    EXPECT_EQ(box.flags, c.delivered ? ui::kMbInfo : ui::kMbError);
    // The fields replace the settings taken at Start, also when sending failed.
    EXPECT_GBK_EQ(f.app.settings.relayUser, c.user);
    EXPECT_GBK_EQ(f.app.settings.relayPassword, c.password);
    EXPECT_GBK_EQ(f.app.settings.recipient, c.recipient);

    const std::vector<ServerMail> mails = recordedMails();
    ASSERT_EQ(mails.size(), before + (c.delivered ? 1 : 0));
    if (c.delivered) {
      EXPECT_EQ(mails.back().one("greeting"), c.greeting);
      EXPECT_EQ(mails.back().one("charset"), "gb2312");
      expectWellFormed(mails.back());
      expectTexts(mails.back(), "Quenthor发信测试", "发信测试，收到此邮件即SMTP配置正确");
    }
  }
}

}  // namespace
