#include "web/UrlParts.h"

#include "core/Number.h"
#include "web/TextOps.h"

namespace UrlParts {

Text host(const Text& url, bool keepPort) {
  Text h = textToLower(url);
  if (h.empty() || h.back() != '/') h += '/';
  if (textLeft(h, 8) == "https://") {
    h = textBetween(h, "https://", "/");
  } else {
    if (textFind(h, "http://") == -1) h = "http://" + h;
    h = textBetween(h, "http://", "/");
  }
  if (keepPort) return h;
  const int p = textFind(h, ":");
  return p != -1 ? textLeft(h, p - 1) : h;
}

int port(const Text& url) {
  const Text hp = host(url, true);
  const int p = textFindLast(hp, ":");
  if (p == -1) return textLeft(textToLower(url), 5) == "https" ? 443 : 80;
  return textToInt32(textRight(hp, static_cast<int>(hp.size()) - p));
}

Text path(const Text& url) {
  const Text h = host(url);
  const int a = textFind(url, h, 1, true);
  const int b = textFind(url, "/", a, true);
  if (b <= 0) return "/";
  return textRight(url, static_cast<int>(url.size()) - b + 1);
}

}  // namespace UrlParts
