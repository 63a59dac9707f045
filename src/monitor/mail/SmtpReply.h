// SMTP replies (RFC 5321, 4.2) taken from the bytes as they arrive, in any
// split: "250-first line", ..., "250 last line", each ended by CRLF (a bare LF
// is taken too).
//
// A relay must not be able to make the reader grow without bound or read past
// garbage: a line longer than kMaxLine bytes, a reply longer than kMaxReply
// bytes, a zero byte or a line that does not start with a reply code makes
// the reply malformed.
#pragma once

#include <cstddef>
#include <vector>

#include "core/Text.h"

namespace SmtpReply {

inline constexpr std::size_t kMaxLine = 64 * 1024;     // without its line break
inline constexpr std::size_t kMaxReply = 1024 * 1024;  // all lines together

struct Reply {
  int code = 0;             // the code of the last line
  std::vector<Text> lines;  // each line's text after the code and separator
};

enum class Status { kIncomplete, kComplete, kMalformed };

// What has arrived and not yet been taken, and the lines of the reply begun.
struct Reader {
  Text pending;
  std::size_t scanned = 0;  // bytes of pending known to hold no line feed
  Reply partial;
  std::size_t replyBytes = 0;
};

// Adds bytes that arrived.
void feed(Reader& reader, const char* bytes, std::size_t size);

// Takes the next complete reply into reply. kIncomplete: more bytes are
// needed. kMalformed: the reader is of no further use.
Status take(Reader& reader, Reply& reply);

// "250 first line" for descriptions; the text shortened to a readable length.
Text summary(const Reply& reply);

}  // namespace SmtpReply
