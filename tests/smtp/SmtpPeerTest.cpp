// The relay client against scripted relays that misbehave: refusals at every
// step, silence, trickles, replies in pieces, hostile replies, hang-ups. Each
// ends with false or a description, never a crash or a hang, and the next
// connect works.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "monitor/AlarmMailer.h"
#include "monitor/mail/Base64.h"
#include "monitor/net/Socket.h"
#include "support/GbkPrint.h"
#include "support/ScriptedSmtpPeer.h"

namespace {

const Text kUser = "alarm";
const Text kPassword = "secret";
const Text kSender = "alert@quenthor.test";
const Text kRecipients = "a@x;b <b@y>";

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

bool connectTo(App& app, const ScriptedSmtpPeer& peer, int timeoutMs = 1500,
               const Text& user = kUser, const Text& password = kPassword) {
  return AlarmMailer::connectRelay(app, "127.0.0.1", peer.port(), user, password, timeoutMs);
}

Text sendTo(App& app, const Text& recipients = kRecipients, const Text& body = "正文 body\r\n") {
  return AlarmMailer::sendMail(app, "★警告★", body, recipients, kSender);
}

// The commands of a session up to (not including) the first one starting
// with `stop`.
std::vector<Text> commandsBefore(const PeerRecord& record, const Text& stop) {
  std::vector<Text> out;
  for (const Text& c : record.commands) {
    if (c.rfind(stop, 0) == 0) break;
    out.push_back(c);
  }
  return out;
}

bool holds(const std::vector<Text>& commands, const Text& prefix) {
  for (const Text& c : commands) {
    if (c.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST(SmtpPeer, SubmitsWithEhloAndAuthLogin) {
  ScriptedSmtpPeer peer;
  App app;
  ASSERT_TRUE(connectTo(app, peer));
  EXPECT_GBK_EQ(sendTo(app), "");
  const std::vector<PeerRecord> r = peer.records();
  ASSERT_EQ(r.size(), 1u);
  const std::vector<Text> expected = {"EHLO " + SmtpSession::heloName(),
                                      "AUTH LOGIN",
                                      Base64::encode(kUser),
                                      Base64::encode(kPassword),
                                      "MAIL FROM:<alert@quenthor.test>",
                                      "RCPT TO:<a@x>",
                                      "RCPT TO:<b@y>",
                                      "DATA"};
  EXPECT_EQ(r[0].commands, expected);
  EXPECT_NE(r[0].message.find("\r\nTo: a@x, b <b@y>\r\n"), Text::npos) << r[0].message;
  // The connection stays open for the next mail.
  EXPECT_GBK_EQ(sendTo(app, "c@z"), "");
  EXPECT_EQ(peer.records().size(), 1u);
}

TEST(SmtpPeer, GreetsAndLogsInAsTheRelayAllows) {
  const struct {
    const char* name;
    std::function<void(PeerSession&)> script;
    Text user, password;
    std::vector<Text> opening;  // the commands before MAIL FROM
  } kCases[] = {
      {"EHLO refused: HELO",
       [](PeerSession& s) { s.ehlo.text = "502 5.5.1 not here\r\n"; },
       kUser,
       kPassword,
       {"EHLO", "HELO"}},
      {"no user: HELO", [](PeerSession&) {}, "", kPassword, {"HELO"}},
      {"no password: HELO", [](PeerSession&) {}, kUser, "", {"HELO"}},
      {"PLAIN only",
       [](PeerSession& s) { s.ehlo.text = "250-peer.test\r\n250 AUTH PLAIN\r\n"; },
       kUser,
       kPassword,
       {"EHLO", "AUTH PLAIN " + Base64::encode(Text("\0alarm\0secret", 13))}},
      {"old AUTH= form",
       [](PeerSession& s) { s.ehlo.text = "250-peer.test\r\n250 AUTH=LOGIN\r\n"; },
       kUser,
       kPassword,
       {"EHLO", "AUTH LOGIN", Base64::encode(kUser), Base64::encode(kPassword)}},
      {"small letters, LOGIN preferred",
       [](PeerSession& s) { s.ehlo.text = "250-peer.test\r\n250 auth plain login\r\n"; },
       kUser,
       kPassword,
       {"EHLO", "AUTH LOGIN", Base64::encode(kUser), Base64::encode(kPassword)}},
      {"no mechanism: no login",
       [](PeerSession& s) { s.ehlo.text = "250-peer.test\r\n250 SIZE 10240000\r\n"; },
       kUser,
       kPassword,
       {"EHLO"}},
      {"prompts worded otherwise",
       [](PeerSession& s) {
         s.authLogin.text = "334 Who are you?\r\n";
         s.loginUser.text = "334\r\n";
       },
       kUser,
       kPassword,
       {"EHLO", "AUTH LOGIN", Base64::encode(kUser), Base64::encode(kPassword)}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PeerSession session;
    c.script(session);
    ScriptedSmtpPeer peer({session});
    App app;
    ASSERT_TRUE(connectTo(app, peer, 1500, c.user, c.password));
    EXPECT_GBK_EQ(sendTo(app), "");
    const std::vector<PeerRecord> r = peer.records();
    ASSERT_EQ(r.size(), 1u);
    std::vector<Text> opening = commandsBefore(r[0], "MAIL");
    for (Text& command : opening) {
      if (command.rfind("EHLO ", 0) == 0 || command.rfind("HELO ", 0) == 0) command.resize(4);
    }
    EXPECT_EQ(opening, c.opening);
  }
}

TEST(SmtpPeer, EveryRefusalFailsAndTheNextConnectWorks) {
  enum Stage { kConnect, kSend };
  const struct {
    const char* name;
    std::function<void(PeerSession&)> script;
    Stage fails;
    Text description;  // part of sendMail's description
  } kCases[] = {
      {"greeting 554", [](PeerSession& s) { s.greeting.text = "554 go away\r\n"; }, kConnect, ""},
      {"greeting 421", [](PeerSession& s) { s.greeting.text = "421 busy\r\n"; }, kConnect, ""},
      {"no greeting", [](PeerSession& s) { s.greeting = silent(); }, kConnect, ""},
      {"hang-up before greeting", [](PeerSession& s) { s.greeting = hangUp(); }, kConnect, ""},
      {"EHLO and HELO refused",
       [](PeerSession& s) {
         s.ehlo.text = "500 no\r\n";
         s.helo.text = "501 no\r\n";
       },
       kConnect, ""},
      {"EHLO silent", [](PeerSession& s) { s.ehlo = silent(); }, kConnect, ""},
      {"AUTH LOGIN refused", [](PeerSession& s) { s.authLogin.text = "504 no\r\n"; }, kConnect, ""},
      {"user name refused", [](PeerSession& s) { s.loginUser.text = "535 no\r\n"; }, kConnect, ""},
      {"login refused", [](PeerSession& s) { s.loginPassword.text = "535 5.7.8 bad\r\n"; },
       kConnect, ""},
      {"login answered with another prompt",
       [](PeerSession& s) { s.loginPassword.text = "334 again\r\n"; }, kConnect, ""},
      {"login answered 250, not 235", [](PeerSession& s) { s.loginPassword.text = "250 fine\r\n"; },
       kConnect, ""},
      {"AUTH PLAIN refused",
       [](PeerSession& s) {
         s.ehlo.text = "250-peer.test\r\n250 AUTH PLAIN\r\n";
         s.authPlain.text = "535 5.7.8 bad\r\n";
       },
       kConnect, ""},
      {"hang-up after EHLO", [](PeerSession& s) { s.authLogin = hangUp(); }, kConnect, ""},
      {"MAIL FROM 451", [](PeerSession& s) { s.mailFrom.text = "451 later\r\n"; }, kSend,
       "MAIL FROM"},
      {"MAIL FROM 550", [](PeerSession& s) { s.mailFrom.text = "550 no\r\n"; }, kSend, "MAIL FROM"},
      {"first RCPT 550", [](PeerSession& s) { s.rcptTo = {{"550 5.1.1 unknown\r\n"}}; }, kSend,
       "RCPT TO:<a@x>"},
      {"second RCPT 450",
       [](PeerSession& s) {
         s.rcptTo = {{"250 ok\r\n"}, {"450 mailbox busy\r\n"}};
       },
       kSend, "RCPT TO:<b@y>"},
      {"DATA 554", [](PeerSession& s) { s.data.text = "554 no\r\n"; }, kSend, "DATA"},
      {"message 552", [](PeerSession& s) { s.dataEnd.text = "552 too big\r\n"; }, kSend, "552"},
      {"message 451", [](PeerSession& s) { s.dataEnd.text = "451 local error\r\n"; }, kSend, "451"},
      {"no reply to the message", [](PeerSession& s) { s.dataEnd = silent(); }, kSend, "no reply"},
      {"hang-up after DATA", [](PeerSession& s) { s.data = hangUp(); }, kSend, "lost"},
      {"hang-up inside the message", [](PeerSession& s) { s.dropAfterDataBytes = 10; }, kSend, ""},
      {"MAIL FROM silent", [](PeerSession& s) { s.mailFrom = silent(); }, kSend, "no reply"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PeerSession bad;
    c.script(bad);
    ScriptedSmtpPeer peer({bad, PeerSession()});
    App app;
    const bool connected = connectTo(app, peer, 300);
    EXPECT_EQ(connected, c.fails == kSend);
    const Text failure = sendTo(app);
    EXPECT_NE(failure, "");
    EXPECT_NE(failure.find(c.description), Text::npos) << utf8(failure);
    if (c.description == "MAIL FROM" || c.description.rfind("RCPT", 0) == 0 ||
        c.description == "DATA") {
      // A refusal inside the transaction leaves the session clean for another mail.
      EXPECT_TRUE(holds(peer.records()[0].commands, "RSET"));
    }
    ASSERT_TRUE(connectTo(app, peer, 300));
    EXPECT_GBK_EQ(sendTo(app), "");
    EXPECT_EQ(peer.records().size(), 2u);
  }
}

TEST(SmtpPeer, SilenceEndsTheWaitAfterTheTimeOutNotBefore) {
  constexpr int kTimeoutMs = 1500;
  {
    PeerSession s;
    s.greeting = silent();
    ScriptedSmtpPeer peer({s});
    App app;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(connectTo(app, peer, kTimeoutMs));
    const long long elapsed = millisecondsSince(start);
    EXPECT_GE(elapsed, kTimeoutMs - 20);
    EXPECT_LT(elapsed, kTimeoutMs + 1000);
  }
  {
    PeerSession s;
    s.dataEnd = silent();
    ScriptedSmtpPeer peer({s});
    App app;
    ASSERT_TRUE(connectTo(app, peer, kTimeoutMs));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(sendTo(app), "");
    const long long elapsed = millisecondsSince(start);
    EXPECT_GE(elapsed, kTimeoutMs - 20);
    EXPECT_LT(elapsed, kTimeoutMs + 1000);
  }
}

TEST(SmtpPeer, ATrickleOfDataKeepsTheWaitAlive) {
  // 21 bytes, one every 200 ms: the greeting takes 4 s, no gap reaches 1.5 s.
  PeerSession s;
  s.greeting.byteDelayMs = 200;
  ScriptedSmtpPeer peer({s});
  App app;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(connectTo(app, peer, 1500, "", ""));
  EXPECT_GE(millisecondsSince(start), 3000);
  EXPECT_GBK_EQ(sendTo(app), "");
}

TEST(SmtpPeer, RepliesInPiecesAndOverManyLines) {
  PeerSession s;
  s.ehlo.text =
      "250-peer.test greets you\r\n250-PIPELINING\r\n250-SIZE 10240000\r\n"
      "250-AUTH PLAIN LOGIN\r\n250-ENHANCEDSTATUSCODES\r\n250 8BITMIME\r\n";
  s.rcptTo = {{"250-2.1.5 first line\r\n250 2.1.5 ok\r\n"}};
  ScriptedSmtpPeer peer({dribbled(s, 1)});
  App app;
  ASSERT_TRUE(connectTo(app, peer));
  EXPECT_GBK_EQ(sendTo(app), "");
  EXPECT_TRUE(holds(peer.records()[0].commands, "AUTH LOGIN"));
}

TEST(SmtpPeer, HostileRepliesFailWithoutWaiting) {
  const struct {
    const char* name;
    PeerReply greeting;
  } kCases[] = {
      {"line over 64 KiB", {"220 " + Text(70000, 'x') + "\r\n"}},
      {"line over 64 KiB that never ends", {"220 " + Text(200000, 'x')}},
      {"zero byte", {Text("220 re\0ady\r\n", 12)}},
      {"not a reply", {"HTTP/1.1 200 OK\r\n"}},
      {"endless continuation", {Text(), PeerReply::kFlood}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PeerSession s;
    s.greeting = c.greeting;
    ScriptedSmtpPeer peer({s, PeerSession()});
    App app;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(connectTo(app, peer, 5000));
    EXPECT_LT(millisecondsSince(start), 4000);
    ASSERT_TRUE(connectTo(app, peer));
    EXPECT_GBK_EQ(sendTo(app), "");
  }
}

TEST(SmtpPeer, HangUpWhileALargeMessageIsSent) {
  // The send runs into a closed connection; that must be a failure, not a
  // signal that ends the process.
  PeerSession s;
  s.dropAfterDataBytes = 1000;
  ScriptedSmtpPeer peer({s, PeerSession()});
  App app;
  ASSERT_TRUE(connectTo(app, peer));
  EXPECT_NE(sendTo(app, kRecipients, Text(4 << 20, 'z')), "");
  EXPECT_NE(sendTo(app), "");  // the connection is gone
  ASSERT_TRUE(connectTo(app, peer));
  EXPECT_GBK_EQ(sendTo(app), "");
}

TEST(SmtpPeer, ReconnectEndsTheOpenSessionWithQuit) {
  ScriptedSmtpPeer peer;
  App app;
  ASSERT_TRUE(connectTo(app, peer));
  ASSERT_TRUE(connectTo(app, peer));
  const std::vector<PeerRecord> r = peer.records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].commands.back(), "QUIT");
  EXPECT_FALSE(holds(r[1].commands, "QUIT"));
  // A failed connect leaves nothing open: the old session got its QUIT too.
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "", peer.port(), kUser, kPassword, 300));
  EXPECT_EQ(peer.records()[1].commands.back(), "QUIT");
  EXPECT_FALSE(app.relay);
}

TEST(SmtpPeer, WithoutAConnectionSendMailFailsAtOnce) {
  ScriptedSmtpPeer peer;
  App app;
  EXPECT_NE(sendTo(app), "");
  PeerSession refusing;
  refusing.greeting.text = "554 no\r\n";
  ScriptedSmtpPeer refused({refusing});
  EXPECT_FALSE(connectTo(app, refused));
  EXPECT_NE(sendTo(app), "");
  EXPECT_EQ(refused.records().size(), 1u);  // no second connection
  EXPECT_TRUE(peer.records().empty());
}

TEST(SmtpPeer, LineBreaksInFieldsAreRefusedBeforeAnythingIsSent) {
  const struct {
    const char* name;
    Text subject, recipients, sender;
  } kCases[] = {
      {"recipient", "s", "a@x\r\nRCPT TO:<evil@y>", kSender},
      {"recipient display name", "s", "x\r\nBcc: evil@y <a@x>", kSender},
      {"subject", "s\r\nBcc: evil@y", "a@x", kSender},
      {"subject, bare LF", "s\nX: y", "a@x", kSender},
      {"sender", "s", "a@x", "alert@x\r\nRCPT TO:<evil@y>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedSmtpPeer peer;
    App app;
    ASSERT_TRUE(connectTo(app, peer));
    EXPECT_NE(AlarmMailer::sendMail(app, c.subject, "body", c.recipients, c.sender), "");
    EXPECT_FALSE(holds(peer.records()[0].commands, "MAIL"));
    EXPECT_GBK_EQ(sendTo(app), "");  // the connection is still good
  }
  // A user name with a line break: no connection at all.
  ScriptedSmtpPeer peer;
  App app;
  EXPECT_FALSE(connectTo(app, peer, 300, "alarm\r\nMAIL FROM:<x@y>", kPassword));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(peer.records().empty());
}

TEST(SmtpPeer, UnreachableRelay) {
  int port = 0;
  {
    loopback::Listener closed;
    port = closed.port();
  }
  App app;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "127.0.0.1", port, kUser, kPassword, 1500));
  EXPECT_LT(millisecondsSince(start), 1000);
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "", 25, kUser, kPassword, 1500));
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "127.0.0.1", 0, kUser, kPassword, 1500));
  EXPECT_FALSE(AlarmMailer::connectRelay(app, "127.0.0.1", 70000, kUser, kPassword, 1500));
  EXPECT_NE(sendTo(app), "");
}

TEST(Net, ResolvesNamesAndTheLocalAddress) {
  Net::Ipv4 a;
  ASSERT_TRUE(Net::resolveIpv4("127.0.0.1", a));
  EXPECT_EQ(a, (Net::Ipv4{{127, 0, 0, 1}}));
  ASSERT_TRUE(Net::resolveIpv4("10.20.30.40", a));
  EXPECT_EQ(Net::dottedText(a), "10.20.30.40");
  ASSERT_TRUE(Net::resolveIpv4("localhost", a));
  EXPECT_EQ(Net::dottedText(a), "127.0.0.1");
  EXPECT_FALSE(Net::resolveIpv4("", a));

  // The local address is the host name's first IPv4 address, or empty.
  const Text host = Net::localHostName();
  EXPECT_NE(host, "");
  const Text local = AlarmMailer::localAddressText();
  if (Net::resolveIpv4(host, a)) {
    EXPECT_EQ(local, Net::dottedText(a));
  } else {
    EXPECT_EQ(local, "");
  }
  const Text helo = SmtpSession::heloName();
  EXPECT_TRUE(helo == host || helo == "[" + local + "]" || helo == "[127.0.0.1]") << helo;
}

}  // namespace
