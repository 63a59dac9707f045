// A listening TCP socket on 127.0.0.1 for peers that tests script themselves
// (Winsock on Windows, BSD sockets natively). Every wait is bounded so that a
// peer thread can always be stopped.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/Text.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace loopback {

#ifdef _WIN32
using Handle = SOCKET;
inline const Handle kNone = INVALID_SOCKET;
inline void closeHandle(Handle h) { closesocket(h); }
inline bool startSockets() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
inline const int kNoSignal = 0;
#else
using Handle = int;
inline const Handle kNone = -1;
inline void closeHandle(Handle h) { ::close(h); }
inline bool startSockets() { return true; }
inline const int kNoSignal = MSG_NOSIGNAL;
#endif

// 1 readable, 0 nothing within timeoutMs, -1 error.
inline int waitReadable(Handle h, int timeoutMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(h, &set);
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  int n = select(static_cast<int>(h) + 1, &set, nullptr, nullptr, &tv);
  return n > 0 ? 1 : (n == 0 ? 0 : -1);
}

// One accepted connection.
class Connection {
 public:
  // Without Nagle's delay, so that each send leaves as its own segment.
  explicit Connection(Handle h) : handle_(h) {
    int on = 1;
    if (open()) {
      setsockopt(handle_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    }
  }
  ~Connection() { close(); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool open() const { return handle_ != kNone; }
  void close() {
    if (handle_ != kNone) closeHandle(handle_);
    handle_ = kNone;
  }
  bool send(const Text& bytes) {
    std::size_t done = 0;
    while (open() && done < bytes.size()) {
      int n =
          ::send(handle_, bytes.data() + done, static_cast<int>(bytes.size() - done), kNoSignal);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return open();
  }
  // Some bytes, or empty once the peer has closed (or timeoutMs passed).
  Text receive(int timeoutMs) {
    if (!open() || waitReadable(handle_, timeoutMs) != 1) return Text();
    char buffer[4096];
    int n = ::recv(handle_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      eof_ = true;
      return Text();
    }
    return Text(buffer, static_cast<std::size_t>(n));
  }
  bool eof() const { return eof_; }

 private:
  Handle handle_;
  bool eof_ = false;
};

class Listener {
 public:
  // port 0: a free port of the system's choice.
  explicit Listener(int port = 0) {
    startSockets();
    handle_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(static_cast<unsigned short>(port));
    if (handle_ == kNone || bind(handle_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(handle_, 8) != 0) {
      return;
    }
    socklen_t size = sizeof at;
    if (getsockname(handle_, reinterpret_cast<sockaddr*>(&at), &size) == 0) {
      port_ = ntohs(at.sin_port);
    }
  }
  ~Listener() {
    if (handle_ != kNone) closeHandle(handle_);
  }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  int port() const { return port_; }  // 0 when the listener could not be set up

  // The next connection, or kNone when none came within timeoutMs.
  Handle accept(int timeoutMs) {
    if (handle_ == kNone || waitReadable(handle_, timeoutMs) != 1) return kNone;
    return ::accept(handle_, nullptr, nullptr);
  }

 private:
  Handle handle_ = kNone;
  int port_ = 0;
};

}  // namespace loopback
