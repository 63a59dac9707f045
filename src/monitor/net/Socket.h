// The program's TCP client sockets, over Winsock on Windows and BSD sockets
// natively: name look-up, a blocking connect, sending and receiving with a
// time-out of inactivity, and the local computer's name and address. Used by
// the relay connection of the alarm mails and by the port probe.
//
// Winsock is started on first use and stays started for the process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Text.h"

namespace Net {

// An IPv4 address, its bytes in the order they are written ("127.0.0.1" is
// {127, 0, 0, 1}).
struct Ipv4 {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
  bool operator==(const Ipv4&) const = default;
};

// A dotted address ("192.168.1.10") is taken as it is; any other name gives the
// first IPv4 address the resolver answers. False when there is none.
bool resolveIpv4(const Text& host, Ipv4& address);
Text dottedText(const Ipv4& address);

// The local computer's host name as the system reports it; empty on failure.
Text localHostName();
// The first IPv4 address of the local host name, dotted; empty when the
// look-up fails.
Text localAddressText();

enum class ReceiveStatus { kData, kClosed, kTimeout, kError };
struct Received {
  ReceiveStatus status = ReceiveStatus::kError;
  std::size_t size = 0;  // bytes stored, with kData
};

// One TCP connection; closed when it goes out of scope. Move-only.
class TcpStream {
 public:
  TcpStream() = default;
  ~TcpStream();
  TcpStream(TcpStream&& other) noexcept;
  TcpStream& operator=(TcpStream&& other) noexcept;
  TcpStream(const TcpStream&) = delete;
  TcpStream& operator=(const TcpStream&) = delete;

  bool isOpen() const { return handle_ != kClosed; }

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;

  friend bool connect(TcpStream&, const Ipv4&, int);
  friend bool sendAll(TcpStream&, const Text&, int);
  friend Received receive(TcpStream&, char*, std::size_t, int);
  friend void close(TcpStream&);
};

// Closes the stream if it is open, then connects to port (1 to 65535) of the
// address. Blocks until the connection is made or refused; the system's own
// connect time-out applies.
bool connect(TcpStream& stream, const Ipv4& address, int port);

// Sends every byte. Fails when the connection breaks or the peer takes nothing
// for timeoutMs milliseconds.
bool sendAll(TcpStream& stream, const Text& data, int timeoutMs);

// Waits at most timeoutMs milliseconds for data and stores what has arrived,
// up to capacity bytes. kClosed: the peer ended the connection.
Received receive(TcpStream& stream, char* buffer, std::size_t capacity, int timeoutMs);

void close(TcpStream& stream);

}  // namespace Net
