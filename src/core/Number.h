// The program's conversions between decimal text and numbers. They do not
// depend on the C locale: the decimal point is always '.'.
#pragma once

#include <concepts>
#include <cstdint>

#include "core/Text.h"

// Leading blanks (ASCII space, tab, full-width space A1 A1) are skipped, then
// the longest prefix of the form [sign] digits [. digits] [e|E [sign] digits]
// is read (at least one digit before the exponent; ".5" and "5." are
// numbers). Full-width digits, plus, minus and point count as their ASCII
// forms; the exponent letter is ASCII only. No such prefix gives 0; a value
// too large for a double gives +/- infinity, one too small gives 0.
double textToNumber(const Text& text);

// textToNumber truncated toward zero; values outside the int32 range saturate
// at INT32_MIN / INT32_MAX.
std::int32_t textToInt32(const Text& text);

// Plain decimal: "-42".
Text numberToText(std::int64_t value);
Text numberToText(std::uint64_t value);

// Any other integer type (int, long, std::size_t, ...) picks the matching one
// of the two above instead of being ambiguous between integer and double.
template <typename T>
concept NonBoolIntegral = std::integral<T> && !std::same_as<T, bool>;

template <NonBoolIntegral T>
Text numberToText(T value) {
  if constexpr (std::signed_integral<T>) {
    return numberToText(static_cast<std::int64_t>(value));
  } else {
    return numberToText(static_cast<std::uint64_t>(value));
  }
}

// Plain decimal without exponent and without trailing zeros, with the fewest
// digits that read back as the same double: 2.5 -> "2.5", 3.0 -> "3",
// 1e20 -> "100000000000000000000". -0 gives "0"; infinities and NaN give
// "inf", "-inf" and "nan".
Text numberToText(double value);
