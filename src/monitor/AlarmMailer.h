// Alarm dispatch: every alarm of the watchers leaves the program as a mail
// through the alert service's SMTP relay, then as a notification to the SMS
// alert service. Also the handler of the 发信测试 button.
//
// The relay connection lives in App::relay between alarms: connectRelay opens
// it (ending an open one with QUIT first) and it stays open after sendMail.
// Every wait for a relay reply ends when the relay has sent nothing for the
// connection's time-out; each arriving chunk restarts that clock.
#pragma once

#include "core/Text.h"
#include "monitor/mail/SmtpSession.h"  // struct RelayConnection
#include "shell/App.h"

namespace AlarmMailer {

inline constexpr int kReplyTimeoutMs = 30000;

// Opens the relay connection: greeting 220; with user and password both
// non-empty EHLO and AUTH LOGIN (else AUTH PLAIN) as the relay announces them,
// success only on 235; HELO otherwise or after a refused EHLO. False, with
// the connection closed, on any failure, and for a user name holding a line
// break.
bool connectRelay(App& app, const Text& host, int port, const Text& user, const Text& password,
                  int timeoutMs);

// Submits one mail over the open connection to every recipient of the list
// ("a@x;b <b@y>"). The empty text when the relay accepted it, otherwise a
// description of the failure; without a connection it fails at once.
Text sendMail(App& app, const Text& subject, const Text& body, const Text& recipients,
              const Text& sender);

// The alarm sequence: connect to the relay (App::relayHost and relayPort), send
// the mail to the configured
// recipient, notify the SMS alert service. Every step runs whatever the
// previous one achieved; nothing is reported. count is empty for alarms that
// send none.
void raiseAlarm(App& app, const Text& subject, const Text& body, const Text& typeCode,
                const Text& count);

// Handler of 发信测试: takes the relay account and recipient from the window
// into the settings, sends the test mail and says whether it went out.
void sendTestMail(App& app);

// The local computer's first IPv4 address, dotted, as the alarm bodies quote
// it; empty when the look-up fails.
Text localAddressText();

}  // namespace AlarmMailer
