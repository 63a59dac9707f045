// WinInet behind InternetApi: the ANSI functions, so the GBK bytes of host,
// path and headers reach WinInet unconverted; the body is sent as raw bytes.
#pragma once

#include "web/InternetApi.h"

class InternetApiWin32 final : public InternetApi {
 public:
  InternetHandle open(const Text& agent, const Text& proxyList) override;
  InternetHandle connect(InternetHandle internet, const Text& host, int port) override;
  InternetHandle openRequest(InternetHandle connection, const Text& method, const Text& path,
                             const Text& version, std::uint32_t flags) override;
  bool setRequestTimeouts(InternetHandle request, const InternetTimeouts& timeouts) override;
  bool sendRequest(InternetHandle request, const Text& headers, const std::uint8_t* body,
                   std::uint32_t bodyLength) override;
  std::uint32_t readFile(InternetHandle request, std::uint8_t* buffer, std::uint32_t size) override;
  bool queryRawHeaders(InternetHandle request, char* buffer, std::uint32_t size) override;
  void closeHandle(InternetHandle handle) override;
};
