// A WinInet double for the request routine: answers from a script (handles
// that fail, a response body served in chunks, a raw header block) and
// records every call with its arguments.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Number.h"
#include "web/InternetApi.h"

class RecordingInternet final : public InternetApi {
 public:
  // --- Script. ---
  bool failOpen = false;
  bool failConnect = false;
  bool failRequest = false;
  ByteBlob responseBody;
  // The most bytes one read hands out, whatever the caller's buffer holds.
  std::uint32_t readLimit = 0xFFFFFFFF;
  Text responseHeaders = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";

  // --- Records. ---
  // "open", "connect 1", "openRequest 2", "setRequestTimeouts 3",
  // "sendRequest 3", "readFile 3", "queryRawHeaders 3", "close 3", ...
  std::vector<Text> calls;
  Text agent, proxyList, host;
  int port = 0;
  Text method, path, version;
  std::uint32_t flags = 0;
  InternetTimeouts timeouts{0, 0, 0};
  Text sentHeaders;
  ByteBlob sentBody;
  bool sentBodyPointerNull = false;
  std::vector<std::uint32_t> readSizes;

  static constexpr InternetHandle kInternet = 1, kConnection = 2, kRequest = 3;

  InternetHandle open(const Text& a, const Text& proxies) override {
    calls.push_back("open");
    agent = a;
    proxyList = proxies;
    return failOpen ? 0 : kInternet;
  }
  InternetHandle connect(InternetHandle internet, const Text& h, int p) override {
    calls.push_back("connect " + numberToText(internet));
    host = h;
    port = p;
    return failConnect ? 0 : kConnection;
  }
  InternetHandle openRequest(InternetHandle connection, const Text& m, const Text& p, const Text& v,
                             std::uint32_t f) override {
    calls.push_back("openRequest " + numberToText(connection));
    method = m;
    path = p;
    version = v;
    flags = f;
    return failRequest ? 0 : kRequest;
  }
  bool setRequestTimeouts(InternetHandle request, const InternetTimeouts& t) override {
    calls.push_back("setRequestTimeouts " + numberToText(request));
    timeouts = t;
    return true;
  }
  bool sendRequest(InternetHandle request, const Text& headers, const std::uint8_t* body,
                   std::uint32_t length) override {
    calls.push_back("sendRequest " + numberToText(request));
    sentHeaders = headers;
    sentBodyPointerNull = body == nullptr;
    sentBody.assign(body, body + length);
    return true;
  }
  std::uint32_t readFile(InternetHandle request, std::uint8_t* buffer,
                         std::uint32_t size) override {
    calls.push_back("readFile " + numberToText(request));
    readSizes.push_back(size);
    const std::size_t left = responseBody.size() - served_;
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::size_t>({left, size, readLimit}));
    std::copy_n(responseBody.begin() + static_cast<std::ptrdiff_t>(served_), n, buffer);
    served_ += n;
    return n;
  }
  bool queryRawHeaders(InternetHandle request, char* buffer, std::uint32_t size) override {
    calls.push_back("queryRawHeaders " + numberToText(request));
    if (responseHeaders.size() + 1 > size) return false;
    std::memcpy(buffer, responseHeaders.c_str(), responseHeaders.size() + 1);
    return true;
  }
  void closeHandle(InternetHandle handle) override {
    calls.push_back("close " + numberToText(handle));
  }

 private:
  std::size_t served_ = 0;
};
