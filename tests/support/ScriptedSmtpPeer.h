// A scripted SMTP relay on 127.0.0.1 for the tests of misbehaving servers: a
// thread accepts connections one after another and answers each from its
// session script (the last script serves every further connection). It
// records every command line and the message it received.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "core/Text.h"
#include "support/LoopbackListener.h"

// One answer of the peer. kSay sends the text (CRLF included); kSilent says
// nothing and waits until the client gives up; kClose ends the connection at
// once; kFlood sends continuation lines without end.
struct PeerReply {
  enum Act { kSay, kSilent, kClose, kFlood };
  Text text;
  Act act = kSay;
  int byteDelayMs = 0;  // > 0: one byte at a time, with this pause after each
};

inline PeerReply silent() { return {Text(), PeerReply::kSilent}; }
inline PeerReply hangUp() { return {Text(), PeerReply::kClose}; }

struct PeerSession {
  PeerReply greeting{"220 peer.test ready\r\n"};
  PeerReply ehlo{"250-peer.test\r\n250-AUTH LOGIN PLAIN\r\n250 8BITMIME\r\n"};
  PeerReply helo{"250 peer.test\r\n"};
  PeerReply authLogin{"334 VXNlcm5hbWU6\r\n"};
  PeerReply loginUser{"334 UGFzc3dvcmQ6\r\n"};
  PeerReply loginPassword{"235 2.7.0 accepted\r\n"};
  PeerReply authPlain{"235 2.7.0 accepted\r\n"};
  PeerReply mailFrom{"250 2.1.0 ok\r\n"};
  std::vector<PeerReply> rcptTo{{"250 2.1.5 ok\r\n"}};  // one per recipient; the last repeats
  PeerReply data{"354 end with .\r\n"};
  PeerReply dataEnd{"250 2.0.0 queued\r\n"};
  PeerReply rset{"250 2.0.0 ok\r\n"};
  PeerReply quit{"221 2.0.0 bye\r\n"};
  std::size_t dropAfterDataBytes = Text::npos;  // hang up inside the message
};

// The session with every reply sent one byte at a time.
inline PeerSession dribbled(PeerSession s, int byteDelayMs) {
  for (PeerReply* r : {&s.greeting, &s.ehlo, &s.helo, &s.authLogin, &s.loginUser, &s.loginPassword,
                       &s.authPlain, &s.mailFrom, &s.data, &s.dataEnd, &s.rset, &s.quit}) {
    r->byteDelayMs = byteDelayMs;
  }
  for (PeerReply& r : s.rcptTo) r.byteDelayMs = byteDelayMs;
  return s;
}

struct PeerRecord {
  std::vector<Text> commands;  // lines without CRLF, credentials included
  Text message;                // the DATA bytes up to the terminating dot line
};

class ScriptedSmtpPeer {
 public:
  explicit ScriptedSmtpPeer(std::vector<PeerSession> sessions = {PeerSession()})
      : sessions_(std::move(sessions)), thread_([this] { serve(); }) {}
  ~ScriptedSmtpPeer() {
    stop_ = true;
    thread_.join();
  }
  ScriptedSmtpPeer(const ScriptedSmtpPeer&) = delete;
  ScriptedSmtpPeer& operator=(const ScriptedSmtpPeer&) = delete;

  int port() const { return listener_.port(); }

  std::vector<PeerRecord> records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }

 private:
  void serve() {
    std::size_t index = 0;
    while (!stop_) {
      loopback::Handle h = listener_.accept(20);
      if (h == loopback::kNone) continue;
      loopback::Connection connection(h);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.emplace_back();
      }
      run(connection, sessions_[index < sessions_.size() ? index : sessions_.size() - 1]);
      ++index;
    }
  }

  void record(const Text& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.back().commands.push_back(line);
  }

  // False when the session ends here.
  bool answer(loopback::Connection& c, const PeerReply& reply) {
    switch (reply.act) {
      case PeerReply::kSay:
        if (reply.byteDelayMs <= 0) return c.send(reply.text);
        for (char ch : reply.text) {
          if (stop_ || !c.send(Text(1, ch))) return false;
          std::this_thread::sleep_for(std::chrono::milliseconds(reply.byteDelayMs));
        }
        return true;
      case PeerReply::kSilent:
        while (!stop_ && !c.eof()) c.receive(20);
        return false;
      case PeerReply::kClose:
        c.close();
        return false;
      case PeerReply::kFlood: {
        const Text line = "250-" + Text(1000, 'f') + "\r\n";
        while (!stop_ && c.send(line)) {
        }
        return false;
      }
    }
    return false;
  }

  // The next line without its CRLF; false once the client has gone.
  bool readLine(loopback::Connection& c, Text& buffer, Text& line) {
    for (;;) {
      std::size_t lf = buffer.find('\n');
      if (lf != Text::npos) {
        line = buffer.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        buffer.erase(0, lf + 1);
        return true;
      }
      if (stop_ || c.eof() || !c.open()) return false;
      buffer += c.receive(20);
    }
  }

  void run(loopback::Connection& c, const PeerSession& s) {
    if (!answer(c, s.greeting)) return;
    Text buffer, line;
    enum { kCommand, kUser, kPassword } expect = kCommand;
    std::size_t rcpt = 0;
    while (readLine(c, buffer, line)) {
      record(line);
      Text verb = line.substr(0, 4);
      for (char& ch : verb) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
      const PeerReply* reply = nullptr;
      if (expect == kUser) {
        reply = &s.loginUser;
        expect = kPassword;
      } else if (expect == kPassword) {
        reply = &s.loginPassword;
        expect = kCommand;
      } else if (verb == "EHLO") {
        reply = &s.ehlo;
      } else if (verb == "HELO") {
        reply = &s.helo;
      } else if (verb == "AUTH") {
        const bool login = line.size() >= 10 && (line.substr(5, 5) == "LOGIN");
        reply = login ? &s.authLogin : &s.authPlain;
        if (login && reply->text.rfind("334", 0) == 0) expect = kUser;
      } else if (verb == "MAIL") {
        reply = &s.mailFrom;
      } else if (verb == "RCPT") {
        reply = &s.rcptTo[rcpt < s.rcptTo.size() ? rcpt : s.rcptTo.size() - 1];
        ++rcpt;
      } else if (verb == "DATA") {
        if (!answer(c, s.data)) return;
        if (s.data.text.rfind("354", 0) != 0) continue;
        if (!readMessage(c, buffer, s.dropAfterDataBytes)) return;
        reply = &s.dataEnd;
      } else if (verb == "RSET") {
        reply = &s.rset;
      } else if (verb == "QUIT") {
        answer(c, s.quit);
        return;
      }
      static const PeerReply kUnknown{"500 5.5.2 unknown command\r\n"};
      if (!answer(c, reply ? *reply : kUnknown)) return;
    }
  }

  bool readMessage(loopback::Connection& c, Text& buffer, std::size_t dropAfter) {
    for (;;) {
      if (buffer.size() >= dropAfter) {
        c.close();
        return false;
      }
      std::size_t end = buffer.find("\r\n.\r\n");
      if (end != Text::npos) {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.back().message = buffer.substr(0, end + 2);
        buffer.erase(0, end + 5);
        return true;
      }
      if (stop_ || c.eof() || !c.open()) return false;
      buffer += c.receive(20);
    }
  }

  std::vector<PeerSession> sessions_;
  loopback::Listener listener_;
  mutable std::mutex mutex_;
  std::vector<PeerRecord> records_;
  std::atomic<bool> stop_{false};
  std::thread thread_;  // last: starts once everything above is ready
};
