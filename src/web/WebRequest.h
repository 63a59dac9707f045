// One synchronous HTTP request over WinInet: a completed header block, an
// optional body, the whole response body read back.
#pragma once

#include "core/Text.h"

class InternetApi;

namespace WebRequest {

inline constexpr const char* kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

inline constexpr int kGet = 0;
inline constexpr int kPost = 1;
inline constexpr int kHead = 2;

// The parameters after url, method and bodyText, in their order. A null
// pointer is a parameter the caller does not supply.
struct Options {
  // In and out. Supplied at all: the platform's cookie handling is off, a
  // non-empty text goes out in a "Cookie:" header, and the cookies the
  // response sets are merged into it (same name: new value; else appended).
  Text* cookies = nullptr;
  // Out: the cookies the response sets, "a=1; b=2".
  Text* cookiesOut = nullptr;
  // In and out: the caller's header lines, separated by "\r\n"; handed back
  // completed with the standard lines.
  Text* extraHeaders = nullptr;
  // Out: the raw response header block (5000 spaces when it is larger).
  Text* responseHeaders = nullptr;
  bool noRedirect = false;
  // In and out: the body when not empty; when empty (and the method is not
  // GET) it is set to the bytes of bodyText.
  ByteBlob* bodyBytes = nullptr;
  // A proxy server; empty: a direct connection.
  Text proxy{};
};

// method: 0 GET, 1 POST, 2 HEAD, anything else GET. The body goes out for
// every method but GET. The result is the response body, whatever the
// status; empty when no connection could be set up.
ByteBlob send(InternetApi& internet, const Text& url, int method = kGet,
              const Text& bodyText = Text(), const Options& options = Options());

}  // namespace WebRequest
