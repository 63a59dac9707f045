// The few WinInet operations the HTTP request routine uses, as a seam: the
// Win32 implementation (InternetApiWin32.h) calls the ANSI functions, tests
// put a recording double in its place. Every call is synchronous.
#pragma once

#include <cstdint>

#include "core/Text.h"

// An internet, connection or request handle; 0 is the null handle.
using InternetHandle = std::uintptr_t;

// Request flags of openRequest, with WinInet's values.
namespace InternetFlags {
inline constexpr std::uint32_t kReload = 0x80000000;  // never from a cache
inline constexpr std::uint32_t kNeedFile = 0x00000010;
inline constexpr std::uint32_t kNoCookies = 0x00080000;
inline constexpr std::uint32_t kNoAutoRedirect = 0x00200000;
inline constexpr std::uint32_t kSecure = 0x00800000;
inline constexpr std::uint32_t kIgnoreRedirectToHttps = 0x00004000;
}  // namespace InternetFlags

// Time-outs of one request, in milliseconds. The defaults are Windows' own
// (connect one minute, send and receive 30 seconds each), set explicitly so
// that a platform without them (Wine) does not wait for ever.
struct InternetTimeouts {
  std::uint32_t connectMs = 60000;
  std::uint32_t sendMs = 30000;
  std::uint32_t receiveMs = 30000;
  bool operator==(const InternetTimeouts&) const = default;
};

class InternetApi {
 public:
  virtual ~InternetApi() = default;

  // InternetOpen: a direct connection when proxyList is empty (the system's
  // proxy settings are not used), else through proxyList with an empty
  // bypass list. 0 on failure.
  virtual InternetHandle open(const Text& agent, const Text& proxyList) = 0;
  // InternetConnect for HTTP without user and password. 0 on failure.
  virtual InternetHandle connect(InternetHandle internet, const Text& host, int port) = 0;
  // HttpOpenRequest without referrer and accept types. 0 on failure.
  virtual InternetHandle openRequest(InternetHandle connection, const Text& method,
                                     const Text& path, const Text& version,
                                     std::uint32_t flags) = 0;
  // The connect, send and receive time-outs of a request handle.
  virtual bool setRequestTimeouts(InternetHandle request, const InternetTimeouts& timeouts) = 0;
  // HttpSendRequest with the header block (no "\r\n" added) and the body.
  virtual bool sendRequest(InternetHandle request, const Text& headers, const std::uint8_t* body,
                           std::uint32_t bodyLength) = 0;
  // InternetReadFile: the number of bytes put into buffer; 0 at the end of
  // the body and on failure.
  virtual std::uint32_t readFile(InternetHandle request, std::uint8_t* buffer,
                                 std::uint32_t size) = 0;
  // HttpQueryInfo of the raw response headers, lines ended by "\r\n". When the
  // block and its ending zero fit into `size` bytes it is copied into buffer
  // and the result is true; otherwise buffer is left as it is.
  virtual bool queryRawHeaders(InternetHandle request, char* buffer, std::uint32_t size) = 0;
  // InternetCloseHandle; the null handle is accepted.
  virtual void closeHandle(InternetHandle handle) = 0;
};
