#include "web/TextOps.h"

#include <algorithm>
#include <cstddef>

namespace {

bool isLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Bytes of the character starting at i: two for a lead byte, one otherwise,
// never more than remain.
std::size_t charLength(const Text& text, std::size_t i) {
  return (isLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether sub occurs at byte offset i of text; the caller guarantees that
// enough bytes remain. With ignoreCase the text is walked character by
// character so that both bytes of a two-byte character are compared exactly.
bool matchesAt(const Text& text, std::size_t i, const Text& sub, bool ignoreCase) {
  const std::size_t n = sub.size();
  if (!ignoreCase) return text.compare(i, n, sub) == 0;
  std::size_t k = 0;
  while (k < n) {
    const char t = text[i + k];
    if (isLeadByte(t)) {
      if (t != sub[k]) return false;
      if (k + 1 < n && text[i + k + 1] != sub[k + 1]) return false;
      k += 2;
    } else {
      if (lowerAscii(t) != lowerAscii(sub[k])) return false;
      k += 1;
    }
  }
  return true;
}

int position(std::size_t offset) { return static_cast<int>(offset + 1); }

bool isFullWidthSpaceAt(const Text& text, std::size_t i) {
  return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
         static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

}  // namespace

int textFind(const Text& text, const Text& sub, int start, bool ignoreCase) {
  const std::size_t length = text.size();
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= length) return -1;
  if (sub.empty()) return 1;
  for (std::size_t i = from; i + sub.size() <= length; i += charLength(text, i)) {
    if (matchesAt(text, i, sub, ignoreCase)) return position(i);
  }
  return -1;
}

int textFindLast(const Text& text, const Text& sub, std::optional<int> start, bool ignoreCase) {
  std::size_t region = text.size();
  if (start) {
    if (*start <= 1) return -1;
    region = std::min(region, static_cast<std::size_t>(*start) - 1);
  }
  if (sub.empty()) return region > 0 ? 1 : -1;
  int last = -1;
  for (std::size_t i = 0; i + sub.size() <= region; i += charLength(text, i)) {
    if (matchesAt(text, i, sub, ignoreCase)) last = position(i);
  }
  return last;
}

Text textLeft(const Text& text, int n) {
  if (n <= 0) return Text();
  return text.substr(0, static_cast<std::size_t>(n));
}

Text textRight(const Text& text, int n) {
  if (n <= 0) return Text();
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
  return text.substr(text.size() - count);
}

Text textMid(const Text& text, int start, int n) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return Text();
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

Text textReplace(const Text& text, const Text& sub, const Text& replacement, int start, int count,
                 bool caseSensitive) {
  const std::size_t length = text.size();
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || sub.empty() || count == 0 || from >= length) return text;

  Text out = text.substr(0, from);
  std::size_t i = from;
  int made = 0;
  while (i + sub.size() <= length) {
    if (matchesAt(text, i, sub, !caseSensitive)) {
      out += replacement;
      i += sub.size();
      if (++made == count) break;
    } else {
      const std::size_t step = charLength(text, i);
      out.append(text, i, step);
      i += step;
    }
  }
  out.append(text, i, Text::npos);
  return out;
}

Text textToLower(const Text& text) {
  Text out = text;
  for (std::size_t i = 0; i < out.size(); i += charLength(out, i)) {
    out[i] = lowerAscii(out[i]);
  }
  return out;
}

Text textTrim(const Text& text) {
  // Walk by characters so that a trailing A1 A1 is only taken for a space when
  // it really is one character, not the second byte of another plus a lead.
  std::size_t first = Text::npos;
  std::size_t end = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool asciiSpace = text[i] == ' ';
    const bool wideSpace = !asciiSpace && isFullWidthSpaceAt(text, i);
    const std::size_t step = wideSpace ? 2 : (asciiSpace ? 1 : charLength(text, i));
    if (!asciiSpace && !wideSpace) {
      if (first == Text::npos) first = i;
      end = i + step;
    }
    i += step;
  }
  if (first == Text::npos) return Text();
  return text.substr(first, end - first);
}

Text textBetween(const Text& text, const Text& startMarker, const Text& endMarker, int start,
                 bool ignoreCase) {
  const Text quoteName = "#引号";
  const Text startText = textReplace(startMarker, quoteName, "\"", 1, -1, true);
  const Text endText = textReplace(endMarker, quoteName, "\"", 1, -1, true);

  int p = textFind(text, startText, start, ignoreCase);
  if (p != -1) p += static_cast<int>(startText.size());
  const int q = textFind(text, endText, p, ignoreCase);
  if (p == -1 || q == -1) return Text();
  return textMid(text, p, q - p);
}

Text textAfterColon(const Text& text) {
  const int p = textFind(text, ":");
  if (p == -1) return Text();
  return textTrim(textRight(text, static_cast<int>(text.size()) - p));
}
