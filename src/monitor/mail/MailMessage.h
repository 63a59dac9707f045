// The alarm mail as it goes over the wire: a single-part text/plain MIME
// message with the body in Base64 and a non-ASCII subject as RFC 2047 encoded
// words. All texts are GBK; GBK is labelled "gb2312", as mail clients expect.
#pragma once

#include <cstddef>
#include <vector>

#include "core/Text.h"
#include "monitor/mail/MailAddress.h"

namespace MailMessage {

// RFC 5322's recommended limit of a header line, CRLF not counted.
inline constexpr std::size_t kMaxHeaderLine = 78;
// RFC 2047's limit of one encoded word.
inline constexpr std::size_t kMaxEncodedWord = 75;
inline constexpr std::size_t kBodyLineLength = 76;

struct Parts {
  MailAddress::Mailbox from;
  std::vector<MailAddress::Mailbox> to;
  Text subject;
  Text body;
  Text date;       // MailDate::format
  Text messageId;  // "<...@...>", left out when empty
};

// The header block, an empty line and the Base64 body; every line ends in CRLF.
Text compose(const Parts& parts);

// "gb2312" when any byte is 0x80 or above, else "us-ascii".
Text charsetOf(const Text& text);

// The text as "=?gb2312?B?...?=" words of at most maxWordLength characters,
// cut only between characters: a two-byte GBK character stays in one word.
std::vector<Text> encodedWords(const Text& text, std::size_t maxWordLength);

// "Name: " and the words separated by single spaces, folded before a word
// that would take the line beyond kMaxHeaderLine. Ends with CRLF.
Text foldedField(const Text& name, const std::vector<Text>& words);

// The subject as header words: plain when it is short printable ASCII,
// encoded words otherwise.
std::vector<Text> subjectWords(const Text& subject);

// A mailbox as header words: the address alone, or the display name (quoted
// or encoded as needed) followed by "<address>".
std::vector<Text> mailboxWords(const MailAddress::Mailbox& mailbox);

}  // namespace MailMessage
