// Base64 (RFC 4648, standard alphabet, "=" padding), as mail bodies and
// encoded words and SMTP authentication carry it.
#pragma once

#include <cstddef>

#include "core/Text.h"

namespace Base64 {

Text encode(const Text& bytes);

// The encoding cut into lines of lineLength characters, each ended by CRLF.
Text encodeLines(const Text& bytes, std::size_t lineLength);

}  // namespace Base64
