#include "monitor/net/Socket.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace Net {

namespace {

// The few calls that differ between Winsock and BSD sockets.
#ifdef _WIN32
using Handle = SOCKET;
const Handle kInvalid = INVALID_SOCKET;

bool started() {
  static const bool ok = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ok;
}

void closeHandle(Handle h) { closesocket(h); }
bool setNonBlocking(Handle h) {
  u_long on = 1;
  return ioctlsocket(h, FIONBIO, &on) == 0;
}
bool wouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
bool interrupted() { return false; }
const int kSendFlags = 0;

// 1 ready, 0 time-out, -1 error.
int waitFor(Handle h, bool forWrite, int timeoutMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(h, &set);
  timeval tv;
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  int n =
      forWrite ? select(0, nullptr, &set, nullptr, &tv) : select(0, &set, nullptr, nullptr, &tv);
  return n > 0 ? 1 : (n == 0 ? 0 : -1);
}
#else
using Handle = int;
const Handle kInvalid = -1;

bool started() { return true; }
void closeHandle(Handle h) { ::close(h); }
bool setNonBlocking(Handle h) {
  int flags = fcntl(h, F_GETFL, 0);
  return flags >= 0 && fcntl(h, F_SETFL, flags | O_NONBLOCK) == 0;
}
bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
bool interrupted() { return errno == EINTR; }
// A peer that has gone away must not end the process with SIGPIPE.
const int kSendFlags = MSG_NOSIGNAL;

long long monotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int waitFor(Handle h, bool forWrite, int timeoutMs) {
  const long long deadline = monotonicMs() + timeoutMs;
  for (;;) {
    pollfd p{h, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    long long left = deadline - monotonicMs();
    int n = poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (n > 0) return 1;  // POLLHUP and POLLERR too: the next call reports them
    if (n == 0) return 0;
    if (errno != EINTR) return -1;
  }
}
#endif

Handle handleOf(std::intptr_t value) { return static_cast<Handle>(value); }

bool parseDotted(const Text& host, Ipv4& address) {
  in_addr a{};
  if (inet_pton(AF_INET, host.c_str(), &a) != 1) return false;
  std::memcpy(address.bytes, &a, 4);
  return true;
}

bool lookUp(const Text& name, Ipv4& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* answers = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &answers) != 0) return false;
  bool found = false;
  for (addrinfo* a = answers; a != nullptr && !found; a = a->ai_next) {
    if (a->ai_family != AF_INET || a->ai_addr == nullptr) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
    std::memcpy(address.bytes, &in->sin_addr, 4);
    found = true;
  }
  freeaddrinfo(answers);
  return found;
}

}  // namespace

bool resolveIpv4(const Text& host, Ipv4& address) {
  if (host.empty() || host.find('\0') != Text::npos || !started()) return false;
  return parseDotted(host, address) || lookUp(host, address);
}

Text dottedText(const Ipv4& address) {
  char out[16];
  std::snprintf(out, sizeof out, "%u.%u.%u.%u", address.bytes[0], address.bytes[1],
                address.bytes[2], address.bytes[3]);
  return out;
}

Text localHostName() {
  if (!started()) return Text();
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return Text();
  return name;
}

Text localAddressText() {
  Text name = localHostName();
  Ipv4 address;
  if (name.empty() || !lookUp(name, address)) return Text();
  return dottedText(address);
}

TcpStream::~TcpStream() { close(*this); }

TcpStream::TcpStream(TcpStream&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kClosed;
}

TcpStream& TcpStream::operator=(TcpStream&& other) noexcept {
  if (this != &other) {
    close(*this);
    handle_ = other.handle_;
    other.handle_ = kClosed;
  }
  return *this;
}

bool connect(TcpStream& stream, const Ipv4& address, int port) {
  close(stream);
  if (port < 1 || port > 65535 || !started()) return false;
  Handle h = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (h == kInvalid) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<unsigned short>(port));
  std::memcpy(&to.sin_addr, address.bytes, 4);
  // The connect itself blocks; afterwards every wait is bounded by the caller.
  if (::connect(h, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 || !setNonBlocking(h)) {
    closeHandle(h);
    return false;
  }
  stream.handle_ = static_cast<std::intptr_t>(h);
  return true;
}

bool sendAll(TcpStream& stream, const Text& data, int timeoutMs) {
  if (!stream.isOpen()) return false;
  Handle h = handleOf(stream.handle_);
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t chunk = data.size() - done;
    if (chunk > 65536) chunk = 65536;
    auto n = send(h, data.data() + done, static_cast<int>(chunk), kSendFlags);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && interrupted()) continue;
    if (n < 0 && wouldBlock() && waitFor(h, true, timeoutMs) == 1) continue;
    return false;
  }
  return true;
}

Received receive(TcpStream& stream, char* buffer, std::size_t capacity, int timeoutMs) {
  Received result;
  if (!stream.isOpen() || capacity == 0) return result;
  Handle h = handleOf(stream.handle_);
  for (;;) {
    int ready = waitFor(h, false, timeoutMs < 0 ? 0 : timeoutMs);
    if (ready == 0) {
      result.status = ReceiveStatus::kTimeout;
      return result;
    }
    if (ready < 0) return result;
    if (capacity > 65536) capacity = 65536;
    auto n = recv(h, buffer, static_cast<int>(capacity), 0);
    if (n > 0) {
      result.status = ReceiveStatus::kData;
      result.size = static_cast<std::size_t>(n);
      return result;
    }
    if (n == 0) {
      result.status = ReceiveStatus::kClosed;
      return result;
    }
    // Readiness without data (a spurious wake-up): wait again.
    if (!interrupted() && !wouldBlock()) return result;
  }
}

void close(TcpStream& stream) {
  if (!stream.isOpen()) return;
  closeHandle(handleOf(stream.handle_));
  stream.handle_ = TcpStream::kClosed;
}

}  // namespace Net
