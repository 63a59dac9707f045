#include "monitor/mail/SmtpSession.h"

#include <cstdio>

#include "monitor/mail/Base64.h"

namespace SmtpSession {

namespace {

using SmtpReply::Reply;

// Ends the connection and describes why.
Text broken(RelayConnection& c, const Text& why) {
  Net::close(c.stream);
  return why;
}

// The next reply of the relay. On failure the connection is closed and
// failure says why.
bool readReply(RelayConnection& c, Reply& reply, Text& failure) {
  char buffer[4096];
  for (;;) {
    switch (SmtpReply::take(c.reader, reply)) {
      case SmtpReply::Status::kComplete:
        return true;
      case SmtpReply::Status::kMalformed:
        failure = broken(c, "malformed reply from the relay");
        return false;
      case SmtpReply::Status::kIncomplete:
        break;
    }
    const Net::Received got = Net::receive(c.stream, buffer, sizeof buffer, c.timeoutMs);
    if (got.status != Net::ReceiveStatus::kData) {
      char why[80];
      std::snprintf(why, sizeof why, "no reply from the relay within %d ms", c.timeoutMs);
      failure = broken(c, got.status == Net::ReceiveStatus::kTimeout
                              ? Text(why)
                              : Text("connection to the relay lost"));
      return false;
    }
    SmtpReply::feed(c.reader, buffer, got.size);
  }
}

bool send(RelayConnection& c, const Text& bytes, Text& failure) {
  if (Net::sendAll(c.stream, bytes, c.timeoutMs)) return true;
  failure = broken(c, "sending to the relay failed");
  return false;
}

bool command(RelayConnection& c, const Text& line, Reply& reply, Text& failure) {
  return send(c, line + "\r\n", failure) && readReply(c, reply, failure);
}

// A command whose reply must carry the code `expected`.
bool step(RelayConnection& c, const Text& line, int expected) {
  Reply reply;
  Text failure;
  return command(c, line, reply, failure) && reply.code == expected;
}

Text upper(Text text) {
  for (char& ch : text) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return text;
}

struct Mechanisms {
  bool login = false;
  bool plain = false;
};

// The AUTH keyword of an EHLO reply, "AUTH LOGIN PLAIN" or the older
// "AUTH=LOGIN PLAIN".
Mechanisms announced(const Reply& ehlo) {
  Mechanisms m;
  for (const Text& raw : ehlo.lines) {
    Text line = upper(raw);
    if (line.rfind("AUTH", 0) != 0 || line.size() < 5 || (line[4] != ' ' && line[4] != '=')) {
      continue;
    }
    line += ' ';
    std::size_t at = 5;
    while (at < line.size()) {
      std::size_t end = line.find(' ', at);
      Text token = line.substr(at, end - at);
      m.login = m.login || token == "LOGIN";
      m.plain = m.plain || token == "PLAIN";
      at = end + 1;
    }
  }
  return m;
}

// The prompts' wording differs between servers; only their code counts.
bool loginWithLogin(RelayConnection& c, const Text& user, const Text& password) {
  return step(c, "AUTH LOGIN", 334) && step(c, Base64::encode(user), 334) &&
         step(c, Base64::encode(password), 235);
}

bool loginWithPlain(RelayConnection& c, const Text& user, const Text& password) {
  return step(c, "AUTH PLAIN " + Base64::encode(Text(1, '\0') + user + Text(1, '\0') + password),
              235);
}

bool validDomain(const Text& name) {
  if (name.empty() || name.size() > 253 || name.front() == '.' || name.front() == '-') {
    return false;
  }
  for (char ch : name) {
    bool alnum = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
    if (!alnum && ch != '-' && ch != '.') return false;
  }
  return true;
}

// The relay's answer to a refused step, and RSET so the next mail starts
// afresh. A failure of the RSET itself closes the connection.
Text refused(RelayConnection& c, const Text& what, const Reply& reply) {
  Text description = what + " refused: " + SmtpReply::summary(reply);
  Reply ignored;
  Text failure;
  command(c, "RSET", ignored, failure);
  return description;
}

Text dotStuffed(const Text& message) {
  Text out;
  out.reserve(message.size() + 8);
  bool lineStart = true;
  for (char ch : message) {
    if (lineStart && ch == '.') out += '.';
    out += ch;
    lineStart = ch == '\n';
  }
  if (!lineStart) out += "\r\n";
  return out;
}

}  // namespace

bool open(RelayConnection& c, const Text& host, int port, const Text& user, const Text& password,
          const Text& name) {
  Net::Ipv4 address;
  c.reader = SmtpReply::Reader();
  if (!Net::resolveIpv4(host, address) || !Net::connect(c.stream, address, port)) return false;
  Reply reply;
  Text failure;
  bool ok = readReply(c, reply, failure) && reply.code == 220;
  if (ok && !user.empty() && !password.empty()) {
    if (!command(c, "EHLO " + name, reply, failure)) return false;
    if (reply.code == 250) {
      const Mechanisms m = announced(reply);
      ok = m.login   ? loginWithLogin(c, user, password)
           : m.plain ? loginWithPlain(c, user, password)
                     : true;
      if (!ok) Net::close(c.stream);
      return ok;
    }
  }
  ok = ok && step(c, "HELO " + name, 250);
  if (!ok) Net::close(c.stream);
  return ok;
}

Text submit(RelayConnection& c, const Text& sender, const std::vector<Text>& recipients,
            const Text& message) {
  if (!c.stream.isOpen()) return "no connection to the relay";
  Reply reply;
  Text failure;
  const Text mailFrom = "MAIL FROM:<" + sender + ">";
  if (!command(c, mailFrom, reply, failure)) return failure;
  if (reply.code != 250) return refused(c, mailFrom, reply);
  for (const Text& recipient : recipients) {
    const Text rcptTo = "RCPT TO:<" + recipient + ">";
    if (!command(c, rcptTo, reply, failure)) return failure;
    if (reply.code != 250 && reply.code != 251) return refused(c, rcptTo, reply);
  }
  if (!command(c, "DATA", reply, failure)) return failure;
  if (reply.code != 354) return refused(c, "DATA", reply);
  if (!send(c, dotStuffed(message) + ".\r\n", failure) || !readReply(c, reply, failure)) {
    return failure;
  }
  if (reply.code != 250) return "message refused: " + SmtpReply::summary(reply);
  return Text();
}

void quit(RelayConnection& c) {
  if (c.stream.isOpen()) {
    Reply ignored;
    Text failure;
    command(c, "QUIT", ignored, failure);
  }
  Net::close(c.stream);
}

Text heloName() {
  const Text host = Net::localHostName();
  if (validDomain(host)) return host;
  const Text address = Net::localAddressText();
  return "[" + (address.empty() ? Text("127.0.0.1") : address) + "]";
}

}  // namespace SmtpSession
