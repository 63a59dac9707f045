// The client side of an SMTP session (RFC 5321) with authentication
// (RFC 4954), over one TCP connection: opening with greeting, EHLO or HELO
// and login, submitting a mail, ending with QUIT.
//
// A reply that does not come, a broken connection or a malformed reply closes
// the connection; a refusal leaves it open for the next command.
#pragma once

#include <vector>

#include "core/Text.h"
#include "monitor/mail/SmtpReply.h"
#include "monitor/net/Socket.h"

// The relay connection that App holds between alarms.
struct RelayConnection {
  Net::TcpStream stream;
  SmtpReply::Reader reader;
  int timeoutMs = 30000;  // longest silence of the relay during one reply
};

namespace SmtpSession {

// Connects to host and port and opens the session, greeting as heloName:
// with user and password both non-empty EHLO, then AUTH LOGIN when the relay
// announces it, else AUTH PLAIN (success only on 235), else no login; HELO
// after a refused EHLO or without credentials (250 required). False, with the
// connection closed, on any failure.
bool open(RelayConnection& connection, const Text& host, int port, const Text& user,
          const Text& password, const Text& heloName);

// One submission: MAIL FROM, RCPT TO for each recipient, DATA with the
// message (CRLF lines; dot-stuffed here). The empty text when the relay took
// it, otherwise what failed.
Text submit(RelayConnection& connection, const Text& sender, const std::vector<Text>& recipients,
            const Text& message);

// Sends QUIT, waits for its reply and closes the connection.
void quit(RelayConnection& connection);

// The name to greet with: the local host name when it is a valid domain name,
// else the address literal of the local address ("[192.168.1.10]").
Text heloName();

}  // namespace SmtpSession
