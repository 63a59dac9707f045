#include "monitor/AlarmMailer.h"

#include <cstdio>
#include <random>

#include "monitor/mail/MailAddress.h"
#include "monitor/mail/MailDate.h"
#include "monitor/mail/MailMessage.h"
#include "shell/SiteConstants.h"
#include "shell/ui/Window.h"
#include "web/AlertServiceClient.h"

namespace AlarmMailer {

namespace {

// "<20251211131000.3f2a9c01.1@domain of the sender>": unique enough for one
// program instance per machine.
Text messageId(const MailDate::Fields& date, const Text& sender) {
  static const unsigned instance = std::random_device()();
  static unsigned serial = 0;
  const std::size_t at = sender.rfind('@');
  const Text domain = at == Text::npos ? Text("quenthor.invalid") : sender.substr(at + 1);
  char id[64];
  std::snprintf(id, sizeof id, "<%04d%02d%02d%02d%02d%02d.%08x.%u@", date.year, date.month,
                date.day, date.hour, date.minute, date.second, instance, ++serial);
  return id + domain + ">";
}

}  // namespace

bool connectRelay(App& app, const Text& host, int port, const Text& user, const Text& password,
                  int timeoutMs) {
  if (app.relay) {
    SmtpSession::quit(*app.relay);
    app.relay.reset();
  }
  // The user name goes out Base64-encoded, but a line break in it is no
  // account name: refuse it rather than guess.
  if (host.empty() || MailAddress::breaksLine(user)) return false;
  auto connection = std::make_shared<RelayConnection>();
  connection->timeoutMs = timeoutMs;
  if (!SmtpSession::open(*connection, host, port, user, password, SmtpSession::heloName())) {
    return false;
  }
  app.relay = connection;
  return true;
}

Text sendMail(App& app, const Text& subject, const Text& body, const Text& recipients,
              const Text& sender) {
  if (!app.relay || !app.relay->stream.isOpen()) return "no connection to the relay";
  if (MailAddress::breaksLine(subject)) return "line break in the subject";
  MailMessage::Parts parts;
  Text error;
  if (!MailAddress::parseOne(sender, parts.from, error)) return "sender: " + error;
  MailAddress::ParsedList list = MailAddress::parseList(recipients);
  if (!list.error.empty()) return "recipients: " + list.error;
  if (list.mailboxes.empty()) return "no recipient";
  std::vector<Text> addresses;
  for (const MailAddress::Mailbox& m : list.mailboxes) addresses.push_back(m.address);
  parts.to = list.mailboxes;
  parts.subject = subject;
  parts.body = body;
  const MailDate::Fields now = MailDate::now();
  parts.date = MailDate::format(now);
  parts.messageId = messageId(now, parts.from.address);
  Text result =
      SmtpSession::submit(*app.relay, parts.from.address, addresses, MailMessage::compose(parts));
  if (!app.relay->stream.isOpen()) app.relay.reset();
  return result;
}

void raiseAlarm(App& app, const Text& subject, const Text& body, const Text& typeCode,
                const Text& count) {
  connectRelay(app, app.relayHost, app.relayPort, app.settings.relayUser,
               app.settings.relayPassword, kReplyTimeoutMs);
  sendMail(app, subject, body, app.settings.recipient, SiteConstants::senderAddress);
  // Step 3, the SMS notification, with the service key as the APIKEY field
  // holds it now.
  const Text key = app.main ? app.main->text("编辑框5") : Text();
  AlertServiceClient::alertNotify(app, key, typeCode, count);
}

void sendTestMail(App& app) {
  if (app.main == nullptr || app.desktop == nullptr) return;
  app.settings.relayUser = app.main->text("编辑框3");
  app.settings.relayPassword = app.main->text("编辑框4");
  app.settings.recipient = app.main->text("编辑框6");
  connectRelay(app, app.relayHost, app.relayPort, app.settings.relayUser,
               app.settings.relayPassword, kReplyTimeoutMs);
  const Text failure = sendMail(app, "Quenthor发信测试", "发信测试，收到此邮件即SMTP配置正确",
                                app.settings.recipient, SiteConstants::senderAddress);
  if (failure.empty()) {
    ui::messageBox(*app.desktop, "测试邮件发送成功！", ui::kMbInfo);
  } else {
    ui::messageBox(*app.desktop, "测试邮件发送失败，请检查设置！", ui::kMbError);
  }
}

Text localAddressText() { return Net::localAddressText(); }

}  // namespace AlarmMailer
