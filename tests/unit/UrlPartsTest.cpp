// Host, port and path of the URLs the request routine is given.
#include "web/UrlParts.h"

#include <gtest/gtest.h>

#include "support/GbkPrint.h"

namespace {

struct UrlCase {
  Text url;
  Text host;
  Text hostWithPort;
  int port;
  Text path;
};

TEST(UrlParts, TakesUrlsApart) {
  const UrlCase kCases[] = {
      {"http://api.example.com/postapi.php", "api.example.com", "api.example.com", 80,
       "/postapi.php"},
      {"http://www.example.com/soft_new_version.txt", "www.example.com", "www.example.com", 80,
       "/soft_new_version.txt"},
      {"HTTPS://Shop.Example.COM:8443/Cart/View?id=7", "shop.example.com", "shop.example.com:8443",
       8443, "/Cart/View?id=7"},
      {"example.com/a/b", "example.com", "example.com", 80, "/a/b"},
      {"http://example.com:8080", "example.com", "example.com:8080", 8080, "/"},
      {"https://example.com/", "example.com", "example.com", 443, "/"},
      // Edge cases.
      {"http://example.com:/x", "example.com", "example.com:", 0, "/x"},
      {"https://example.com", "example.com", "example.com", 443, "/"},
      {"example.com", "example.com", "example.com", 80, "/"},
      {"Example.COM:81/Q?A=B", "example.com", "example.com:81", 81, "/Q?A=B"},
      {"HTTP://Example.com/Path/File.HTML?Q=A#Top", "example.com", "example.com", 80,
       "/Path/File.HTML?Q=A#Top"},
      {"https://example.com:444/a/", "example.com", "example.com:444", 444, "/a/"},
      {"http://example.com:abc/", "example.com", "example.com:abc", 0, "/"},
      {"", "", "", 80, "/"},
  };
  for (const UrlCase& c : kCases) {
    SCOPED_TRACE("url \"" + utf8(c.url) + "\"");
    EXPECT_GBK_EQ(UrlParts::host(c.url), c.host);
    EXPECT_GBK_EQ(UrlParts::host(c.url, true), c.hostWithPort);
    EXPECT_EQ(UrlParts::port(c.url), c.port);
    EXPECT_GBK_EQ(UrlParts::path(c.url), c.path);
  }
}

}  // namespace
