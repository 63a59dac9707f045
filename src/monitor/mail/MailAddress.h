// Mail addresses as the user types them: a list separated by "," or ";",
// each item a bare address or a display name followed by "<address>".
//
// Whatever would let a field break out of its SMTP command or mail header (a
// carriage return, a line feed, a zero byte) is refused, never cleaned up.
#pragma once

#include <vector>

#include "core/Text.h"

namespace MailAddress {

struct Mailbox {
  Text displayName;  // GBK, without surrounding quotes; may be empty
  Text address;
  bool operator==(const Mailbox&) const = default;
};

struct ParsedList {
  std::vector<Mailbox> mailboxes;
  Text error;  // non-empty when the text was refused; mailboxes is then empty
};

// Empty items (and items of spaces) are skipped. A separator inside double
// quotes belongs to the display name.
ParsedList parseList(const Text& text);

// One mailbox (the sender); false with a description in error when refused.
bool parseOne(const Text& text, Mailbox& mailbox, Text& error);

// True when the text holds a byte that ends a line or a C string.
bool breaksLine(const Text& text);

}  // namespace MailAddress
