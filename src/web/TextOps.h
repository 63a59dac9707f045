// Text operations shared by every module that searches, slices, trims or
// replaces text.
//
// Positions are 1-based byte positions and -1 means "not found". A byte of
// 0x80 or more starts a two-byte GBK character: searching and replacing step
// over such a pair as one unit, so a match only ever begins on the first byte
// of a character, and case folding (ASCII letters only) never touches either
// byte of a two-byte character. The slicing operations count plain bytes and
// may cut a character in half.
#pragma once

#include <optional>

#include "core/Text.h"

// Position of the first occurrence of sub at or after start (below 1 counts as
// 1), or -1. An empty sub gives 1 when the searched region holds a byte.
int textFind(const Text& text, const Text& sub, int start = 1, bool ignoreCase = false);

// Position of the last occurrence lying wholly within the first start - 1 bytes
// (the whole text when start is omitted), or -1. Start of 1 or less gives -1.
int textFindLast(const Text& text, const Text& sub, std::optional<int> start = std::nullopt,
                 bool ignoreCase = false);

// The first n bytes; empty for n <= 0.
Text textLeft(const Text& text, int n);
// The last n bytes; empty for n <= 0.
Text textRight(const Text& text, int n);
// Up to n bytes from position start; empty unless 1 <= start <= length and n > 0.
Text textMid(const Text& text, int start, int n);

// The text with occurrences of sub, scanning from position start, replaced by
// replacement; at most count of them, every one when count is negative. The
// replacement is never rescanned. With caseSensitive false ASCII letters match
// regardless of case.
Text textReplace(const Text& text, const Text& sub, const Text& replacement = Text(), int start = 1,
                 int count = -1, bool caseSensitive = true);

// A-Z lowered; two-byte characters copied unchanged.
Text textToLower(const Text& text);

// Without leading and trailing ASCII spaces and full-width spaces (A1 A1).
// Tabs, carriage returns and line feeds stay.
Text textTrim(const Text& text);

// The text after the first startMarker (searched from start) up to the next
// endMarker; empty when either is missing. "#引号" in a marker stands for '"'.
Text textBetween(const Text& text, const Text& startMarker, const Text& endMarker, int start = 1,
                 bool ignoreCase = false);

// The trimmed text after the first ':'; empty when there is none.
Text textAfterColon(const Text& text);
