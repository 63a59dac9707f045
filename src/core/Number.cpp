#include "core/Number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

namespace {

// The ASCII form of the character at position i and its width in bytes, for
// the characters a number may contain: ASCII bytes stand for themselves, the
// full-width digits, plus, minus and point (A3 B0..B9, A3 AB, A3 AD, A3 AE)
// for their ASCII forms. Anything else reads as '\0'.
struct NumberChar {
  char ascii = '\0';
  std::size_t width = 1;
};

NumberChar numberCharAt(const Text& text, std::size_t i) {
  if (i >= text.size()) return {'\0', 0};
  const auto byte = static_cast<unsigned char>(text[i]);
  if (byte < 0x80) return {text[i], 1};
  if (byte != 0xA3 || i + 1 >= text.size()) return {'\0', 2};
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (second >= 0xB0 && second <= 0xB9) return {static_cast<char>('0' + (second - 0xB0)), 2};
  switch (second) {
    case 0xAB:
      return {'+', 2};
    case 0xAD:
      return {'-', 2};
    case 0xAE:
      return {'.', 2};
    default:
      return {'\0', 2};
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlanks(const Text& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      i += 1;
    } else if (i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
               static_cast<unsigned char>(text[i + 1]) == 0xA1) {
      i += 2;
    } else {
      break;
    }
  }
  return i;
}

// The value of a number too large or too small for a double: compares the
// decimal magnitude of the mantissa's first significant digit plus the
// exponent with zero.
double outOfRangeValue(const std::string& mantissa, const std::string& exponent) {
  long long magnitude = 0;
  const std::size_t point = mantissa.find('.');
  const std::string whole = mantissa.substr(0, point);
  const std::size_t firstSignificant = whole.find_first_not_of('0');
  if (firstSignificant != std::string::npos) {
    magnitude = static_cast<long long>(whole.size() - firstSignificant);
  } else if (point != std::string::npos) {
    const std::size_t zeros = mantissa.find_first_not_of('0', point + 1);
    if (zeros == std::string::npos) return 0.0;
    magnitude = -static_cast<long long>(zeros - point - 1);
  }
  long long power = 0;
  for (char c : exponent) {
    if (isDigit(c) && power < 1000000000) power = power * 10 + (c - '0');
  }
  if (!exponent.empty() && exponent[0] == '-') power = -power;
  return magnitude + power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

}  // namespace

double textToNumber(const Text& text) {
  std::size_t i = skipBlanks(text);

  bool negative = false;
  NumberChar c = numberCharAt(text, i);
  if (c.ascii == '+' || c.ascii == '-') {
    negative = c.ascii == '-';
    i += c.width;
  }

  std::string mantissa;
  std::size_t digits = 0;
  for (c = numberCharAt(text, i); isDigit(c.ascii); c = numberCharAt(text, i)) {
    mantissa += c.ascii;
    ++digits;
    i += c.width;
  }
  if (c.ascii == '.') {
    mantissa += '.';
    i += c.width;
    for (c = numberCharAt(text, i); isDigit(c.ascii); c = numberCharAt(text, i)) {
      mantissa += c.ascii;
      ++digits;
      i += c.width;
    }
  }
  if (digits == 0) return 0.0;

  // The exponent belongs to the number only when at least one digit follows.
  std::string exponent;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string candidate;
    c = numberCharAt(text, j);
    if (c.ascii == '+' || c.ascii == '-') {
      candidate += c.ascii;
      j += c.width;
    }
    bool any = false;
    for (c = numberCharAt(text, j); isDigit(c.ascii); c = numberCharAt(text, j)) {
      candidate += c.ascii;
      any = true;
      j += c.width;
    }
    if (any) exponent = candidate;
  }

  const std::string ascii = exponent.empty() ? mantissa : mantissa + "e" + exponent;
  double value = 0.0;
  const auto result =
      std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) value = outOfRangeValue(mantissa, exponent);
  return negative ? -value : value;
}

std::int32_t textToInt32(const Text& text) {
  const double value = textToNumber(text);
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

Text numberToText(std::int64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return Text(buffer.data(), result.ptr);
}

Text numberToText(std::uint64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return Text(buffer.data(), result.ptr);
}

Text numberToText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0.0) return "0";
  // Fixed notation with the shortest round-trip digits; the longest case, the
  // smallest subnormal, needs about 330 characters.
  std::array<char, 400> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc()) return "0";
  return Text(buffer.data(), result.ptr);
}
