// An alarm mail as the relay received it, read back the way a mail client
// reads it: header fields unfolded, the subject's "=?gb2312?B?...?=" words and
// the Base64 body decoded to their GBK bytes.
#pragma once

#include "core/Text.h"
#include "support/Base64Decode.h"

struct AlarmMail {
  Text message;  // the DATA bytes, CRLF lines

  // A header's value with its folding undone; empty when missing.
  Text header(const Text& name) const {
    const Text block = "\r\n" + message.substr(0, message.find("\r\n\r\n") + 2);
    const Text wanted = "\r\n" + name + ":";
    const std::size_t at = block.find(wanted);
    if (at == Text::npos) return Text();
    Text value;
    std::size_t pos = at + wanted.size();
    for (;;) {
      const std::size_t end = block.find("\r\n", pos);
      value += block.substr(pos, end - pos);
      pos = end + 2;
      if (pos >= block.size() || (block[pos] != ' ' && block[pos] != '\t')) break;
    }
    const std::size_t first = value.find_first_not_of(" \t");
    return first == Text::npos ? Text() : value.substr(first);
  }

  // Encoded words decoded, the blanks between two of them dropped (RFC 2047);
  // plain text as it is.
  Text subject() const {
    const Text raw = header("Subject");
    Text out;
    bool afterWord = false;
    std::size_t pos = 0;
    while (pos < raw.size()) {
      const std::size_t start = raw.find("=?", pos);
      const std::size_t b = start == Text::npos ? Text::npos : raw.find("?B?", start);
      const std::size_t end = b == Text::npos ? Text::npos : raw.find("?=", b + 3);
      if (end == Text::npos) {
        out += raw.substr(pos);
        break;
      }
      const Text between = raw.substr(pos, start - pos);
      if (!afterWord || between.find_first_not_of(" \t") != Text::npos) out += between;
      out += base64Decode(raw.substr(b + 3, end - b - 3));
      afterWord = true;
      pos = end + 2;
    }
    return out;
  }

  Text body() const {
    const std::size_t at = message.find("\r\n\r\n");
    return at == Text::npos ? Text() : base64Decode(message.substr(at + 4));
  }
};
