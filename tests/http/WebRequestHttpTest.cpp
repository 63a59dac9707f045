// The request routine over the real WinInet (under Wine) against the loopback
// HTTP peer: what goes out on the wire and what comes back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/SiteConstants.h"
#include "support/GbkPrint.h"
#include "support/HttpPeer.h"
#include "web/InternetApiWin32.h"
#include "web/UrlParts.h"
#include "web/WebRequest.h"

namespace {

using ::testing::ElementsAre;

// The peer's address, taken from the alert service's site constant.
Text base() {
  const Text url = SiteConstants::alertServiceUrl;
  return "http://" + UrlParts::host(url, true);
}

Text hostHeader() { return UrlParts::host(SiteConstants::alertServiceUrl, true); }

// WinInet with every time-out replaced by a short one, so that a silent
// server costs seconds, not the default half minute.
struct ShortTimeouts final : InternetApi {
  InternetApiWin32 real;
  InternetTimeouts requested{0, 0, 0};
  static constexpr InternetTimeouts kShort{2000, 2000, 2000};

  InternetHandle open(const Text& a, const Text& p) override { return real.open(a, p); }
  InternetHandle connect(InternetHandle i, const Text& h, int p) override {
    return real.connect(i, h, p);
  }
  InternetHandle openRequest(InternetHandle c, const Text& m, const Text& p, const Text& v,
                             std::uint32_t f) override {
    return real.openRequest(c, m, p, v, f);
  }
  bool setRequestTimeouts(InternetHandle r, const InternetTimeouts& t) override {
    requested = t;
    return real.setRequestTimeouts(r, kShort);
  }
  bool sendRequest(InternetHandle r, const Text& h, const std::uint8_t* b,
                   std::uint32_t n) override {
    return real.sendRequest(r, h, b, n);
  }
  std::uint32_t readFile(InternetHandle r, std::uint8_t* b, std::uint32_t n) override {
    return real.readFile(r, b, n);
  }
  bool queryRawHeaders(InternetHandle r, char* b, std::uint32_t n) override {
    return real.queryRawHeaders(r, b, n);
  }
  void closeHandle(InternetHandle h) override { real.closeHandle(h); }
};

class WebRequestHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HttpPeer::present()) << "run through tests/peers/http_peer.py";
    HttpPeer::clear();
    HttpPeer::openService();
  }
  void TearDown() override { HttpPeer::openService(); }

  HttpPeer::Request onlyRequest() {
    const std::vector<HttpPeer::Request> all = HttpPeer::requests();
    EXPECT_EQ(all.size(), 1u);
    return all.empty() ? HttpPeer::Request{} : all.front();
  }

  InternetApiWin32 internet;
};

TEST_F(WebRequestHttp, PostGoesOutWithTheStandardHeadersAndTheBodyBytes) {
  HttpPeer::setReply("/postapi.php", {.body = "OK"});
  const Text url = base() + "/postapi.php";
  const Text body = "APIKEY=密钥ABC&TYPE=003";

  const ByteBlob reply = WebRequest::send(internet, url, 1, body);

  EXPECT_EQ(reply, blobFromText("OK"));
  const HttpPeer::Request r = onlyRequest();
  EXPECT_EQ(r.requestLine, "POST /postapi.php HTTP/1.1");
  // The program's four lines, in their order among whatever WinInet adds.
  std::vector<Text> ours;
  for (const auto& [name, value] : r.headers) {
    if (name == "Accept" || name == "Referer" || name == "Accept-Language" ||
        name == "Content-Type") {
      ours.push_back(name + ": " + value);
    }
  }
  EXPECT_THAT(ours, ElementsAre("Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
                                "Content-Type: application/x-www-form-urlencoded"));
  EXPECT_EQ(r.header("User-Agent"), WebRequest::kDefaultUserAgent);
  EXPECT_EQ(r.header("Host"), hostHeader());
  EXPECT_EQ(r.header("Content-Length"), std::to_string(body.size()));
  EXPECT_GBK_EQ(r.body, body);  // GBK bytes, no line break after them
}

TEST_F(WebRequestHttp, MethodsOnTheWire) {
  struct Case {
    int method;
    const char* line;
    const char* body;
  };
  const Case kCases[] = {
      {0, "GET /m HTTP/1.1", ""},
      {3, "GET /m HTTP/1.1", ""},
      {-1, "GET /m HTTP/1.1", ""},
      {1, "POST /m HTTP/1.1", "k=v"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.method);
    HttpPeer::clear();
    WebRequest::send(internet, base() + "/m", c.method, "k=v");
    const HttpPeer::Request r = onlyRequest();
    EXPECT_EQ(r.requestLine, c.line);
    EXPECT_EQ(r.body, c.body);
  }
}

TEST_F(WebRequestHttp, ReadsLongBinaryBodiesWhateverTheStatus) {
  Text payload;
  for (int i = 0; i < 3000; ++i) payload += static_cast<char>(i * 13);
  HttpPeer::setReply("/big", {.body = payload});
  EXPECT_EQ(WebRequest::send(internet, base() + "/big", 0), blobFromText(payload));

  HttpPeer::setReply("/missing", {.body = "<html>not here</html>", .status = 404});
  EXPECT_EQ(WebRequest::send(internet, base() + "/missing", 1, "a=1"),
            blobFromText("<html>not here</html>"));

  HttpPeer::setReply("/empty", {.body = ""});
  EXPECT_TRUE(WebRequest::send(internet, base() + "/empty", 1, "a=1").empty());
}

TEST_F(WebRequestHttp, ResponseHeadersAndCookies) {
  HttpPeer::setReply("/c",
                     {.body = "x", .headers = {"set-cookie: a=1; path=/", "SET-COOKIE: b=2"}});
  Text cookiesOut, responseHeaders;
  WebRequest::send(internet, base() + "/c", 0, "",
                   {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders});
  EXPECT_EQ(cookiesOut, "a=1; b=2");
  EXPECT_EQ(responseHeaders.rfind("HTTP/1.1 200", 0), 0u) << responseHeaders;
  EXPECT_NE(responseHeaders.find("\r\nSet-Cookie: a=1; path=/\r\n"), Text::npos);
  EXPECT_EQ(responseHeaders.find("set-cookie"), Text::npos);

  // A header block that does not fit into 5000 bytes (in lines of 2000:
  // Wine cuts a single response header line at about 4 KiB).
  const Text filler(2000, 'f');
  HttpPeer::setReply("/long", {.body = "body",
                               .headers = {"X-A: " + filler, "X-B: " + filler, "X-C: " + filler,
                                           "Set-Cookie: c=3"}});
  const ByteBlob body =
      WebRequest::send(internet, base() + "/long", 0, "",
                       {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders});
  EXPECT_EQ(responseHeaders, Text(5000, ' '));
  EXPECT_EQ(cookiesOut, "");
  EXPECT_EQ(body, blobFromText("body"));
}

TEST_F(WebRequestHttp, RawHeadersTooLargeForTheBufferLeaveItUntouched) {
  HttpPeer::setReply("/h", {.body = "x"});
  const InternetHandle session = internet.open("QuenthorTest", "");
  const InternetHandle connection =
      internet.connect(session, UrlParts::host(base()), UrlParts::port(base()));
  const InternetHandle request =
      internet.openRequest(connection, "GET", "/h", "HTTP/1.1", InternetFlags::kReload);
  ASSERT_NE(request, 0u);
  ASSERT_TRUE(internet.sendRequest(request, "Accept: */*", nullptr, 0));
  char small[16] = "untouched";
  EXPECT_FALSE(internet.queryRawHeaders(request, small, sizeof small));
  EXPECT_STREQ(small, "untouched");
  char large[400] = {};
  EXPECT_TRUE(internet.queryRawHeaders(request, large, sizeof large));
  EXPECT_EQ(Text(large).rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << large;
  internet.closeHandle(request);
  internet.closeHandle(connection);
  internet.closeHandle(session);
}

TEST_F(WebRequestHttp, UnreachableServiceGivesAnEmptyReplyAtOnce) {
  HttpPeer::closeService();
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(WebRequest::send(internet, base() + "/postapi.php", 1, "a=1").empty());
  EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(WebRequestHttp, SilentServiceIsBoundedByTheRequestTimeouts) {
  HttpPeer::setReply("/silent", {.silent = true});
  ShortTimeouts shortInternet;
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(WebRequest::send(shortInternet, base() + "/silent", 1, "a=1").empty());
  const ULONGLONG elapsed = GetTickCount64() - start;
  // The routine asks for Windows' defaults; the short ones bound this run.
  EXPECT_EQ(shortInternet.requested, (InternetTimeouts{60000, 30000, 30000}));
  EXPECT_GE(elapsed, 1500u);
  EXPECT_LT(elapsed, 20000u);
  EXPECT_EQ(HttpPeer::requests().size(), 1u);  // it did reach the server
}

}  // namespace
