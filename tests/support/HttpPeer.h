// The test side of tests/peers/http_peer.py (Windows tests under Wine): sets
// the loopback service's replies and reads back what it received, over the
// peer's control port (environment variable QUENTHOR_HTTP_PEER), with plain
// Winsock so that nothing here shares code with what is tested.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/Text.h"

namespace HttpPeer {

struct Request {
  Text requestLine;
  std::vector<std::pair<Text, Text>> headers;  // in order, as sent
  Text body{};

  // The value of the first header of that name (ASCII case ignored); empty
  // when there is none.
  Text header(const Text& name) const {
    for (const auto& [n, v] : headers) {
      if (_stricmp(n.c_str(), name.c_str()) == 0) return v;
    }
    return {};
  }
  bool has(const Text& name) const {
    for (const auto& h : headers) {
      if (_stricmp(h.first.c_str(), name.c_str()) == 0) return true;
    }
    return false;
  }
  // The header names in the order they came.
  std::vector<Text> names() const {
    std::vector<Text> out;
    for (const auto& h : headers) out.push_back(h.first);
    return out;
  }
};

inline Text hex(const Text& bytes) {
  static const char* digits = "0123456789abcdef";
  Text out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

inline Text unhex(const Text& text) {
  if (text == "-") return {};
  Text out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  }
  return out;
}

// One exchange with the control port: the response body, or the text
// "<peer unreachable>" when there is no peer.
inline Text control(const Text& method, const Text& target, const Text& body = Text()) {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  const char* port = std::getenv("QUENTHOR_HTTP_PEER");
  if (!started || !port) return "<peer unreachable>";
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (s == INVALID_SOCKET ||
      connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (s != INVALID_SOCKET) closesocket(s);
    return "<peer unreachable>";
  }
  const Text request = method + " " + target +
                       " HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                       body;
  send(s, request.data(), static_cast<int>(request.size()), 0);
  Text response;
  char buffer[4096];
  for (int n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;) response.append(buffer, n);
  closesocket(s);
  const std::size_t end = response.find("\r\n\r\n");
  return end == Text::npos ? Text() : response.substr(end + 4);
}

struct Reply {
  Text body{};
  int status = 200;
  std::vector<Text> headers{};  // "Name: value"
  bool silent = false;          // accept, never answer
};

inline void setReply(const Text& path, const Reply& reply) {
  Text target = "/reply?path=" + hex(path) + "&status=" + std::to_string(reply.status);
  for (const Text& h : reply.headers) target += "&header=" + hex(h);
  if (reply.silent) target += "&silent=1";
  control("POST", target, reply.body);
}

inline void clear() { control("POST", "/clear"); }
// Stops and restarts listening on the service port.
inline void closeService() { control("POST", "/close"); }
inline void openService() { control("POST", "/open"); }

inline std::vector<Request> requests() {
  std::vector<Request> out;
  const Text log = control("GET", "/log");
  std::size_t from = 0;
  while (from < log.size()) {
    std::size_t end = log.find('\n', from);
    if (end == Text::npos) end = log.size();
    const Text line = log.substr(from, end - from);
    from = end + 1;
    const std::size_t space = line.find(' ');
    const Text kind = line.substr(0, space);
    const Text rest = space == Text::npos ? Text() : line.substr(space + 1);
    if (kind == "request") {
      out.push_back({unhex(rest), {}, {}});
    } else if (kind == "header" && !out.empty()) {
      const std::size_t gap = rest.find(' ');
      out.back().headers.emplace_back(unhex(rest.substr(0, gap)), unhex(rest.substr(gap + 1)));
    } else if (kind == "body" && !out.empty()) {
      out.back().body = unhex(rest);
    }
  }
  return out;
}

// Whether the test runs with the peer around it.
inline bool present() { return std::getenv("QUENTHOR_HTTP_PEER") != nullptr; }

}  // namespace HttpPeer
