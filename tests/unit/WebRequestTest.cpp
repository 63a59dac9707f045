// The request routine against the WinInet double: what it hands to WinInet,
// in which order, and what it makes of the answer.
#include "web/WebRequest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/GbkPrint.h"
#include "support/RecordingInternet.h"
#include "web/TextOps.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

constexpr const char* kFormType = "Content-Type: application/x-www-form-urlencoded";

std::uint32_t plainFlags() {
  return InternetFlags::kReload | InternetFlags::kNeedFile | InternetFlags::kIgnoreRedirectToHttps;
}

ByteBlob bytes(const Text& text) { return blobFromText(text); }

TEST(WebRequest, PostsAFormAndReadsTheWholeReply) {
  RecordingInternet internet;
  internet.responseBody = bytes("OK");
  const Text url = "http://api.example.com/postapi.php";

  const ByteBlob reply = WebRequest::send(internet, url, 1, "APIKEY=密钥&TYPE=003");

  EXPECT_EQ(reply, bytes("OK"));
  EXPECT_THAT(internet.calls,
              ElementsAre("open", "connect 1", "openRequest 2", "setRequestTimeouts 3",
                          "sendRequest 3", "readFile 3", "readFile 3", "queryRawHeaders 3",
                          "close 3", "close 2", "close 1"));
  EXPECT_EQ(internet.agent, "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(internet.proxyList, "");
  EXPECT_EQ(internet.host, "api.example.com");
  EXPECT_EQ(internet.port, 80);
  EXPECT_EQ(internet.method, "POST");
  EXPECT_EQ(internet.path, "/postapi.php");
  EXPECT_EQ(internet.version, "HTTP/1.1");
  EXPECT_EQ(internet.flags, plainFlags());
  // Windows' own defaults, set on the request handle.
  EXPECT_EQ(internet.timeouts, (InternetTimeouts{60000, 30000, 30000}));
  EXPECT_GBK_EQ(internet.sentHeaders,
                "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn\r\n" + kFormType);
  EXPECT_EQ(internet.sentBody, bytes("APIKEY=密钥&TYPE=003"));
}

TEST(WebRequest, CompletesTheCallersHeaderBlock) {
  struct Case {
    const char* name;
    Text caller;
    Text expected;  // "<url>" stands for the URL as passed
  };
  const Text url = "HTTP://Api.Example.COM:8080/PostApi.php?A=B";
  const Case kCases[] = {
      {"nothing supplied", "",
       Text("Accept: */*\r\nReferer: <url>\r\nAccept-Language: zh-cn\r\n") + kFormType},
      {"own Referer", "Referer: http://elsewhere/",
       Text("Referer: http://elsewhere/\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n") + kFormType},
      {"accept in small letters", "accept: text/html",
       Text("accept: text/html\r\nAccept: */*\r\nReferer: <url>\r\nAccept-Language: zh-cn\r\n") +
           kFormType},
      {"all but Referer", "Accept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain",
       "Accept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain\r\nReferer: <url>"},
      {"referer in small letters", "referer: x",
       Text("referer: x\r\nAccept: */*\r\nReferer: <url>\r\nAccept-Language: zh-cn\r\n") +
           kFormType},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingInternet internet;
    Text headers = c.caller;
    WebRequest::send(internet, url, 1, "x", {.extraHeaders = &headers});
    const Text expected = textReplace(c.expected, "<url>", url);
    EXPECT_GBK_EQ(internet.sentHeaders, expected);
    EXPECT_GBK_EQ(headers, expected);  // handed back completed
  }
}

TEST(WebRequest, SuppliedCookiesGoOutAndSwitchPlatformCookiesOff) {
  RecordingInternet internet;
  Text cookies = "sid=7";
  WebRequest::send(internet, "http://h/", 0, "", {.cookies = &cookies});
  EXPECT_GBK_EQ(internet.sentHeaders, Text("Accept: */*\r\nReferer: http://h/\r\n"
                                           "Accept-Language: zh-cn\r\n") +
                                          kFormType + "\r\nCookie: sid=7");
  EXPECT_EQ(internet.flags, plainFlags() | InternetFlags::kNoCookies);

  RecordingInternet empty;
  Text none;
  WebRequest::send(empty, "http://h/", 0, "", {.cookies = &none});
  EXPECT_EQ(textFind(empty.sentHeaders, "Cookie:"), -1);
  EXPECT_EQ(empty.flags, plainFlags() | InternetFlags::kNoCookies);
}

TEST(WebRequest, MethodDecidesNameAndBody) {
  struct Case {
    int method;
    const char* name;
    const char* body;  // what goes out with the text body "k=v"
  };
  const Case kCases[] = {
      {-1, "GET", ""}, {0, "GET", ""}, {1, "POST", "k=v"}, {2, "HEAD", "k=v"}, {3, "GET", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.method);
    RecordingInternet internet;
    WebRequest::send(internet, "http://h/p", c.method, "k=v");
    EXPECT_EQ(internet.method, c.name);
    EXPECT_EQ(internet.sentBody, bytes(c.body));
    EXPECT_FALSE(internet.sentBodyPointerNull);
  }
}

TEST(WebRequest, SchemeDecidesPortAndFlags) {
  struct Case {
    Text url;
    Text host;
    int port;
    Text path;
    std::uint32_t schemeFlag;
  };
  const Case kCases[] = {
      {"HTTPS://Secure.Example.com/Pay?x=1", "secure.example.com", 443, "/Pay?x=1",
       InternetFlags::kSecure},
      {"https://example.com:8443/", "example.com", 8443, "/", InternetFlags::kSecure},
      {"http://example.com/", "example.com", 80, "/", InternetFlags::kIgnoreRedirectToHttps},
      {"example.com:81", "example.com", 81, "/", InternetFlags::kIgnoreRedirectToHttps},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.url);
    RecordingInternet internet;
    WebRequest::send(internet, c.url, 0);
    EXPECT_EQ(internet.host, c.host);
    EXPECT_EQ(internet.port, c.port);
    EXPECT_EQ(internet.path, c.path);
    EXPECT_EQ(internet.flags, InternetFlags::kReload | InternetFlags::kNeedFile | c.schemeFlag);
  }
  RecordingInternet noRedirect;
  WebRequest::send(noRedirect, "http://h/", 0, "", {.noRedirect = true});
  EXPECT_EQ(noRedirect.flags, plainFlags() | InternetFlags::kNoAutoRedirect);
}

TEST(WebRequest, ProxyAndAgent) {
  struct Case {
    Text url, proxy, headers;
    Text proxyList, agent;
  };
  const Text standard = WebRequest::kDefaultUserAgent;
  const Case kCases[] = {
      {"http://h/", "p:3128", "", "http=p:3128", standard},
      {"https://h/", "p:3128", "", "p:3128", standard},
      {"http://h/", "", "User-Agent: Probe/1.0\r\nAccept: */*", "", "Probe/1.0"},
      {"http://h/", "", "User-Agent:  Probe/1.0 ", "", "Probe/1.0"},
      // The agent is taken from its own line wherever it stands.
      {"http://h/", "", "Accept: */*\r\nuser-agent: Probe/2.0", "", "Probe/2.0"},
      {"http://h/", "", "User-Agent: \r\nAccept: */*", "", standard},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.headers);
    RecordingInternet internet;
    Text headers = c.headers;
    WebRequest::send(internet, c.url, 0, "", {.extraHeaders = &headers, .proxy = c.proxy});
    EXPECT_EQ(internet.proxyList, c.proxyList);
    EXPECT_EQ(internet.agent, c.agent);
  }
}

TEST(WebRequest, ByteBodyTakesPrecedenceAndIsFilledFromText) {
  RecordingInternet given;
  ByteBlob raw = {0x00, 0xFF, 0x41};
  WebRequest::send(given, "http://h/", 1, "ignored", {.bodyBytes = &raw});
  EXPECT_EQ(given.sentBody, (ByteBlob{0x00, 0xFF, 0x41}));
  EXPECT_EQ(raw, (ByteBlob{0x00, 0xFF, 0x41}));

  RecordingInternet filled;
  ByteBlob empty;
  WebRequest::send(filled, "http://h/", 1, "a=中", {.bodyBytes = &empty});
  EXPECT_EQ(filled.sentBody, bytes("a=中"));
  EXPECT_EQ(empty, bytes("a=中"));

  RecordingInternet nothing;
  WebRequest::send(nothing, "http://h/", 1, "");
  EXPECT_TRUE(nothing.sentBody.empty());

  RecordingInternet get;
  ByteBlob untouched;
  WebRequest::send(get, "http://h/", 0, "a=1", {.bodyBytes = &untouched});
  EXPECT_TRUE(get.sentBody.empty());
  EXPECT_TRUE(untouched.empty());
}

TEST(WebRequest, ReadsLongBodiesInKilobyteChunks) {
  ByteBlob body(2500);
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i * 7);
  for (std::uint32_t limit : {0xFFFFFFFFu, 100u}) {
    SCOPED_TRACE(limit);
    RecordingInternet internet;
    internet.responseBody = body;
    internet.readLimit = limit;
    EXPECT_EQ(WebRequest::send(internet, "http://h/", 0), body);
    EXPECT_THAT(internet.readSizes, Each(1024u));
  }
  RecordingInternet empty;
  EXPECT_TRUE(WebRequest::send(empty, "http://h/", 0).empty());
}

TEST(WebRequest, CollectsTheCookiesTheResponseSets) {
  struct Case {
    const char* name;
    Text headers;
    Text cookiesOut;
  };
  const Case kCases[] = {
      {"two cookies in any case",
       "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nSET-COOKIE: b=2\r\n\r\n", "a=1; b=2"},
      {"none", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n", ""},
      {"attributes after the pair", "HTTP/1.1 200 OK\r\nSet-Cookie:  s = x ; HttpOnly\r\n\r\n",
       "s = x"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingInternet internet;
    internet.responseHeaders = c.headers;
    Text cookiesOut = "stale", responseHeaders;
    WebRequest::send(internet, "http://h/", 0, "",
                     {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders});
    EXPECT_GBK_EQ(cookiesOut, c.cookiesOut);
    EXPECT_GBK_EQ(responseHeaders,
                  textReplace(c.headers, "Set-Cookie", "Set-Cookie", 1, -1, false));
  }
}

TEST(WebRequest, MergesReceivedCookiesIntoSuppliedOnes) {
  RecordingInternet internet;
  internet.responseHeaders =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2; path=/\r\n\r\n";
  Text cookies = "a=0; c=3";
  WebRequest::send(internet, "http://h/", 0, "", {.cookies = &cookies});
  EXPECT_GBK_EQ(cookies, "a=1; c=3; b=2");
}

TEST(WebRequest, HeaderBlockTooLargeForItsBufferLeavesSpaces) {
  // 5000 bytes with the ending zero is the most that fits.
  const Text head = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nX: ";
  const Text tail = "\r\n\r\n";
  const Text fits = head + Text(4999 - head.size() - tail.size(), 'y') + tail;
  const Text tooLong = head + Text(5000 - head.size() - tail.size(), 'y') + tail;
  ASSERT_EQ(fits.size(), 4999u);

  RecordingInternet small;
  small.responseHeaders = fits;
  Text cookiesOut, responseHeaders;
  WebRequest::send(small, "http://h/", 0, "",
                   {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders});
  EXPECT_EQ(responseHeaders, fits);
  EXPECT_EQ(cookiesOut, "a=1");

  RecordingInternet large;
  large.responseHeaders = tooLong;
  large.responseBody = bytes("body");
  const ByteBlob body = WebRequest::send(
      large, "http://h/", 0, "", {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders});
  EXPECT_EQ(responseHeaders, Text(5000, ' '));
  EXPECT_EQ(cookiesOut, "");
  EXPECT_EQ(body, bytes("body"));
}

TEST(WebRequest, FailuresCloseEveryHandleOpenedSoFar) {
  struct Case {
    const char* name;
    bool failOpen, failConnect, failRequest;
    std::vector<Text> calls;
  };
  const Case kCases[] = {
      {"no internet handle", true, false, false, {"open", "close 0"}},
      {"no connection", false, true, false, {"open", "connect 1", "close 0", "close 1"}},
      {"no request",
       false,
       false,
       true,
       {"open", "connect 1", "openRequest 2", "close 0", "close 2", "close 1"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingInternet internet;
    internet.failOpen = c.failOpen;
    internet.failConnect = c.failConnect;
    internet.failRequest = c.failRequest;
    internet.responseBody = bytes("never read");
    Text cookiesOut = "stale", responseHeaders = "stale";
    EXPECT_TRUE(WebRequest::send(internet, "http://h/", 1, "a=1",
                                 {.cookiesOut = &cookiesOut, .responseHeaders = &responseHeaders})
                    .empty());
    EXPECT_EQ(internet.calls, c.calls);
    EXPECT_EQ(cookiesOut, "");
    EXPECT_EQ(responseHeaders, "");
  }
}

}  // namespace
