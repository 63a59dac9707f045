#include "web/InternetApiWin32.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <vector>

static_assert(InternetFlags::kReload == INTERNET_FLAG_RELOAD);
static_assert(InternetFlags::kNeedFile == INTERNET_FLAG_NEED_FILE);
static_assert(InternetFlags::kNoCookies == INTERNET_FLAG_NO_COOKIES);
static_assert(InternetFlags::kNoAutoRedirect == INTERNET_FLAG_NO_AUTO_REDIRECT);
static_assert(InternetFlags::kSecure == INTERNET_FLAG_SECURE);
static_assert(InternetFlags::kIgnoreRedirectToHttps == INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS);

namespace {

HINTERNET native(InternetHandle handle) { return reinterpret_cast<HINTERNET>(handle); }
InternetHandle wrap(HINTERNET handle) { return reinterpret_cast<InternetHandle>(handle); }

bool setTimeout(HINTERNET handle, DWORD option, std::uint32_t ms) {
  DWORD value = ms;
  return InternetSetOptionA(handle, option, &value, sizeof value) != FALSE;
}

}  // namespace

InternetHandle InternetApiWin32::open(const Text& agent, const Text& proxyList) {
  if (proxyList.empty()) {
    return wrap(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  }
  return wrap(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0));
}

InternetHandle InternetApiWin32::connect(InternetHandle internet, const Text& host, int port) {
  return wrap(InternetConnectA(native(internet), host.c_str(), static_cast<INTERNET_PORT>(port),
                               nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
}

InternetHandle InternetApiWin32::openRequest(InternetHandle connection, const Text& method,
                                             const Text& path, const Text& version,
                                             std::uint32_t flags) {
  return wrap(HttpOpenRequestA(native(connection), method.c_str(), path.c_str(), version.c_str(),
                               nullptr, nullptr, flags, 0));
}

bool InternetApiWin32::setRequestTimeouts(InternetHandle request,
                                          const InternetTimeouts& timeouts) {
  const bool connect =
      setTimeout(native(request), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
  const bool send = setTimeout(native(request), INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs);
  const bool receive =
      setTimeout(native(request), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
  return connect && send && receive;
}

bool InternetApiWin32::sendRequest(InternetHandle request, const Text& headers,
                                   const std::uint8_t* body, std::uint32_t bodyLength) {
  // WinInet takes the optional data as a non-const pointer but only reads it.
  void* data = const_cast<std::uint8_t*>(body);
  return HttpSendRequestA(native(request), headers.c_str(), static_cast<DWORD>(headers.size()),
                          data, bodyLength) != FALSE;
}

std::uint32_t InternetApiWin32::readFile(InternetHandle request, std::uint8_t* buffer,
                                         std::uint32_t size) {
  // The count starts at 0 on every call: a failing read must end the caller's
  // loop, not repeat the previous count.
  DWORD count = 0;
  if (!InternetReadFile(native(request), buffer, size, &count)) return 0;
  return count <= size ? count : size;
}

bool InternetApiWin32::queryRawHeaders(InternetHandle request, char* buffer, std::uint32_t size) {
  // Queried into a scratch buffer so that a block too large for `size` leaves
  // the caller's buffer untouched whatever the platform does with it.
  std::vector<char> scratch(size);
  DWORD length = size;
  if (!HttpQueryInfoA(native(request), HTTP_QUERY_RAW_HEADERS_CRLF, scratch.data(), &length,
                      nullptr) ||
      length >= size) {
    return false;
  }
  std::memcpy(buffer, scratch.data(), length);
  buffer[length] = '\0';
  return true;
}

void InternetApiWin32::closeHandle(InternetHandle handle) { InternetCloseHandle(native(handle)); }
