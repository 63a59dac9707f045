#include "web/HttpFileReaderWin32.h"

#include <windows.h>
#include <wininet.h>

#include "web/TextOps.h"
#include "web/UrlParts.h"

namespace {

// Closes a WinInet handle at the end of its scope.
struct Handle {
  HINTERNET value;
  explicit Handle(HINTERNET h) : value(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (value) InternetCloseHandle(value);
  }
};

void setTimeout(HINTERNET handle, DWORD option, std::uint32_t ms) {
  DWORD value = ms;
  InternetSetOptionA(handle, option, &value, sizeof value);
}

}  // namespace

// Open, connect, request and send one by one rather than InternetOpenUrl, so
// that the time-outs can be set on the request handle before anything is sent.
ByteBlob HttpFileReaderWin32::get(const Text& url) {
  const bool secure = textToLower(textLeft(url, 5)) == "https";
  Handle session(InternetOpenA("Quenthor", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.value) return {};
  Handle connection(InternetConnectA(session.value, UrlParts::host(url).c_str(),
                                     static_cast<INTERNET_PORT>(UrlParts::port(url)), nullptr,
                                     nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection.value) return {};
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  if (secure) flags |= INTERNET_FLAG_SECURE;
  Handle request(HttpOpenRequestA(connection.value, "GET", UrlParts::path(url).c_str(), "HTTP/1.1",
                                  nullptr, nullptr, flags, 0));
  if (!request.value) return {};
  setTimeout(request.value, INTERNET_OPTION_CONNECT_TIMEOUT, timeouts_.connectMs);
  setTimeout(request.value, INTERNET_OPTION_SEND_TIMEOUT, timeouts_.sendMs);
  setTimeout(request.value, INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts_.receiveMs);
  if (!HttpSendRequestA(request.value, nullptr, 0, nullptr, 0)) return {};

  ByteBlob body;
  for (;;) {
    std::uint8_t chunk[4096];
    DWORD count = 0;
    if (!InternetReadFile(request.value, chunk, sizeof chunk, &count) || count == 0) break;
    body.insert(body.end(), chunk, chunk + (count <= sizeof chunk ? count : sizeof chunk));
  }
  return body;
}
