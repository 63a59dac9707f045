// Text and ByteBlob: the two value types every module passes around.
//
// A Text is a byte string in code page 936 (GBK). The empty text and an absent
// text are the same value; comparison is byte-wise and case-sensitive. A
// ByteBlob is a counted byte buffer (file contents, HTTP bodies, pictures).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using ByteBlob = std::vector<std::uint8_t>;

// The blob's bytes up to its first zero byte (all of them when there is none).
Text textFromBlob(const ByteBlob& blob);

// The text's bytes without an ending zero.
ByteBlob blobFromText(const Text& text);
