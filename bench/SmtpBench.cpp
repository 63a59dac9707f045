// The relay client of the alarm mails as a command for scripts/bench-smtp:
//
//   smtp_bench print                 the alarm mail as it goes over the wire
//   smtp_bench send PORT USER PASS   one submission to 127.0.0.1:PORT, then QUIT
//   smtp_bench loop PORT USER PASS N N submissions in this process; prints the
//                                    median microseconds of one
//
// Every submission is what an alarm does: connect, greeting, EHLO, AUTH LOGIN,
// MAIL FROM, RCPT TO for both recipients, DATA, and the QUIT that the next
// alarm's connect would send.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "monitor/AlarmMailer.h"
#include "monitor/mail/MailAddress.h"
#include "monitor/mail/MailDate.h"
#include "monitor/mail/MailMessage.h"

namespace {

const Text kSubject = "★警告：邮件队列数量出现异常堆积★";
const Text kBody =
    "您邮件服务器（192.168.1.10）队列数量为（51），已超过设定阀值（50），请及时处理！\r\n"
    "服务热线：400-860-9366  网址：www.pellucor.cn\r\n";
const Text kRecipients = "admin@example.com;值班 <duty@example.com>";
const Text kSender = "alert@quenthor.test";

long long microseconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000000LL + ts.tv_nsec / 1000;
}

bool submit(int port, const Text& user, const Text& password) {
  App app;
  if (!AlarmMailer::connectRelay(app, "127.0.0.1", port, user, password,
                                 AlarmMailer::kReplyTimeoutMs)) {
    return false;
  }
  const bool sent = AlarmMailer::sendMail(app, kSubject, kBody, kRecipients, kSender).empty();
  if (app.relay) SmtpSession::quit(*app.relay);
  return sent;
}

Text message() {
  MailMessage::Parts parts;
  Text error;
  MailAddress::parseOne(kSender, parts.from, error);
  parts.to = MailAddress::parseList(kRecipients).mailboxes;
  parts.subject = kSubject;
  parts.body = kBody;
  parts.date = MailDate::format(MailDate::now());
  parts.messageId = "<bench.1@quenthor.test>";
  return MailMessage::compose(parts);
}

}  // namespace

int main(int argc, char** argv) {
  const Text mode = argc > 1 ? argv[1] : "";
  if (mode == "print") {
    const Text m = message();
    std::fwrite(m.data(), 1, m.size(), stdout);
    return 0;
  }
  if ((mode == "send" && argc == 5) || (mode == "loop" && argc == 6)) {
    const int port = std::atoi(argv[2]);
    if (mode == "send") return submit(port, argv[3], argv[4]) ? 0 : 1;
    std::vector<long long> times;
    for (int i = 0; i < std::atoi(argv[5]); ++i) {
      const long long start = microseconds();
      if (!submit(port, argv[3], argv[4])) return 1;
      times.push_back(microseconds() - start);
    }
    if (times.empty()) return 1;
    std::sort(times.begin(), times.end());
    std::printf("%lld\n", times[times.size() / 2]);
    return 0;
  }
  std::fprintf(stderr, "usage: smtp_bench print | send PORT USER PASS | loop PORT USER PASS N\n");
  return 2;
}
