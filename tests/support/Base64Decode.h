// Base64 decoding for tests that look inside what the program encoded.
#pragma once

#include "core/Text.h"

// The decoded bytes; characters outside the alphabet (line breaks) are skipped
// and decoding stops at "=".
inline Text base64Decode(const Text& encoded) {
  static const Text kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  Text out;
  unsigned value = 0;
  int bits = 0;
  for (char c : encoded) {
    if (c == '=') break;
    std::size_t digit = kAlphabet.find(c);
    if (digit == Text::npos) continue;
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return out;
}
