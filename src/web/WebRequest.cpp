#include "web/WebRequest.h"

#include <algorithm>
#include <vector>

#include "web/InternetApi.h"
#include "web/TextOps.h"
#include "web/UrlParts.h"

namespace WebRequest {
namespace {

constexpr std::uint32_t kReadChunk = 1024;
constexpr std::uint32_t kHeaderBuffer = 5000;

int length(const Text& text) { return static_cast<int>(text.size()); }

// The agent named by a "User-Agent:" line of the caller's headers (any letter
// case), up to the end of that line; the default agent when there is none or
// it is empty.
Text userAgent(const Text& headers) {
  const Text marker = "User-Agent:";
  const int p = textFind(headers, marker, 1, true);
  if (p == -1) return kDefaultUserAgent;
  const int start = p + length(marker);
  const int end = textFind(headers, "\r\n", start);
  const Text agent = textTrim(end == -1 ? textMid(headers, start, length(headers))
                                        : textMid(headers, start, end - start));
  return agent.empty() ? Text(kDefaultUserAgent) : agent;
}

// The caller's block completed with the standard lines; every test is a
// case-sensitive search of the whole block.
Text completeHeaders(Text block, const Text& url, const Text& cookies) {
  const auto lacks = [&block](const char* name) { return textFind(block, name) == -1; };
  if (block.empty()) {
    block = "Accept: */*";
  } else if (lacks("Accept:")) {
    block += "\r\nAccept: */*";
  }
  if (lacks("Referer:")) block += "\r\nReferer: " + url;
  if (lacks("Accept-Language:")) block += "\r\nAccept-Language: zh-cn";
  if (lacks("Content-Type:")) block += "\r\nContent-Type: application/x-www-form-urlencoded";
  if (!cookies.empty()) block += "\r\nCookie: " + cookies;
  return block;
}

std::vector<Text> split(const Text& text, const Text& separator) {
  std::vector<Text> pieces;
  int from = 1;
  for (;;) {
    const int p = textFind(text, separator, from);
    if (p == -1) {
      pieces.push_back(textMid(text, from, length(text)));
      return pieces;
    }
    pieces.push_back(textMid(text, from, p - from));
    from = p + length(separator);
  }
}

// The first name=value pair of every "Set-Cookie" line, joined by "; ".
Text collectCookies(const Text& responseHeaders) {
  Text collected;
  for (const Text& line : split(responseHeaders, "\r\n")) {
    if (textFind(line, "Set-Cookie") == -1) continue;
    if (textFind(line, ";") != -1) {
      collected += textTrim(textBetween(line, "Set-Cookie:", ";"));
    } else {
      collected += textTrim(textReplace(line, "Set-Cookie:", "", 1, -1, false));
    }
    collected += "; ";
  }
  return textLeft(collected, length(collected) - 2);
}

Text cookieName(const Text& pair) {
  const int p = textFind(pair, "=");
  return p == -1 ? pair : textLeft(pair, p - 1);
}

// The received pairs merged into the caller's cookie text: a pair of a name
// already there replaces its value, a new name is appended.
Text mergeCookies(const Text& cookies, const Text& received) {
  std::vector<Text> pairs;
  for (const Text& piece : split(cookies, ";")) {
    if (!textTrim(piece).empty()) pairs.push_back(textTrim(piece));
  }
  for (const Text& piece : split(received, ";")) {
    const Text pair = textTrim(piece);
    if (pair.empty()) continue;
    const auto same = std::find_if(pairs.begin(), pairs.end(), [&pair](const Text& known) {
      return cookieName(known) == cookieName(pair);
    });
    if (same != pairs.end()) {
      *same = pair;
    } else {
      pairs.push_back(pair);
    }
  }
  Text merged;
  for (const Text& pair : pairs) merged += (merged.empty() ? "" : "; ") + pair;
  return merged;
}

}  // namespace

ByteBlob send(InternetApi& internet, const Text& url, int method, const Text& bodyText,
              const Options& options) {
  static const char* const kMethodNames[] = {"GET", "POST", "HEAD"};
  if (method < kGet || method > kHead) method = kGet;
  const bool secure = textToLower(textLeft(url, 5)) == "https";
  if (options.cookiesOut) options.cookiesOut->clear();
  if (options.responseHeaders) options.responseHeaders->clear();

  const Text callerHeaders = options.extraHeaders ? *options.extraHeaders : Text();
  Text proxyList;
  if (!options.proxy.empty()) proxyList = secure ? options.proxy : "http=" + options.proxy;
  const InternetHandle session = internet.open(userAgent(callerHeaders), proxyList);
  if (session == 0) {
    internet.closeHandle(session);
    return {};
  }
  const InternetHandle connection =
      internet.connect(session, UrlParts::host(url), UrlParts::port(url));
  if (connection == 0) {
    internet.closeHandle(connection);
    internet.closeHandle(session);
    return {};
  }

  std::uint32_t flags = InternetFlags::kReload | InternetFlags::kNeedFile;
  if (options.cookies) flags |= InternetFlags::kNoCookies;
  if (options.noRedirect) flags |= InternetFlags::kNoAutoRedirect;
  flags |= secure ? InternetFlags::kSecure : InternetFlags::kIgnoreRedirectToHttps;
  const InternetHandle request = internet.openRequest(connection, kMethodNames[method],
                                                      UrlParts::path(url), "HTTP/1.1", flags);
  if (request == 0) {
    internet.closeHandle(request);
    internet.closeHandle(connection);
    internet.closeHandle(session);
    return {};
  }
  internet.setRequestTimeouts(request, InternetTimeouts{});

  const Text headers =
      completeHeaders(callerHeaders, url, options.cookies ? *options.cookies : Text());
  if (options.extraHeaders) *options.extraHeaders = headers;

  if (method == kGet) {
    static const std::uint8_t kNoBody[1] = {0};
    internet.sendRequest(request, headers, kNoBody, 0);
  } else {
    ByteBlob ownBody;
    ByteBlob& body = options.bodyBytes ? *options.bodyBytes : ownBody;
    if (body.empty()) body = blobFromText(bodyText);
    internet.sendRequest(request, headers, body.data(), static_cast<std::uint32_t>(body.size()));
  }

  ByteBlob response;
  for (;;) {
    std::uint8_t chunk[kReadChunk] = {};
    const std::uint32_t count = std::min(internet.readFile(request, chunk, kReadChunk), kReadChunk);
    if (count == 0) break;
    response.insert(response.end(), chunk, chunk + count);
  }

  Text raw(kHeaderBuffer, ' ');
  if (internet.queryRawHeaders(request, raw.data(), kHeaderBuffer)) {
    raw.erase(std::find(raw.begin(), raw.end(), '\0'), raw.end());
  }
  raw = textReplace(raw, "Set-Cookie", "Set-Cookie", 1, -1, false);

  internet.closeHandle(request);
  internet.closeHandle(connection);
  internet.closeHandle(session);

  const Text received = collectCookies(raw);
  if (options.responseHeaders) *options.responseHeaders = raw;
  if (options.cookiesOut) *options.cookiesOut = received;
  if (options.cookies) *options.cookies = mergeCookies(*options.cookies, received);
  return response;
}

}  // namespace WebRequest
