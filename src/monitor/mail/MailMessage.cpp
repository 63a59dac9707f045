#include "monitor/mail/MailMessage.h"

#include "monitor/mail/Base64.h"

namespace MailMessage {

namespace {

const char kWordStart[] = "=?gb2312?B?";
const char kWordEnd[] = "?=";
// Encoded words short enough to follow "Subject: ", the longest field name
// that carries them, so that every header line stays within its limit.
const std::size_t kHeaderWordLength = kMaxHeaderLine - (sizeof "Subject: " - 1);

bool printableAscii(const Text& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Characters that RFC 5322 allows in a display name without quotes (atext
// and spaces).
bool plainPhrase(const Text& text) {
  for (unsigned char c : text) {
    bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && Text("!#$%&'*+-/=?^_`{|}~ ").find(static_cast<char>(c)) == Text::npos) {
      return false;
    }
  }
  return true;
}

// A text that reads the same when it stands in a header as it is: the
// parsers strip spaces at either end of a field and decode "=?...?=".
bool plainHeaderText(const Text& text) {
  return !text.empty() && printableAscii(text) && text.size() <= kHeaderWordLength &&
         text.find("=?") == Text::npos && text.front() != ' ' && text.back() != ' ';
}

}  // namespace

Text charsetOf(const Text& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return "gb2312";
  }
  return "us-ascii";
}

std::vector<Text> encodedWords(const Text& text, std::size_t maxWordLength) {
  const std::size_t overhead = sizeof kWordStart - 1 + sizeof kWordEnd - 1;
  // Whole groups of four Base64 characters, three bytes each; at least one
  // two-byte character per word.
  std::size_t maxBytes = maxWordLength > overhead ? (maxWordLength - overhead) / 4 * 3 : 0;
  if (maxBytes < 2) maxBytes = 2;
  std::vector<Text> words;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    while (end < text.size()) {
      std::size_t unit =
          static_cast<unsigned char>(text[end]) >= 0x81 && end + 1 < text.size() ? 2 : 1;
      if (end - at + unit > maxBytes) break;
      end += unit;
    }
    words.push_back(kWordStart + Base64::encode(text.substr(at, end - at)) + kWordEnd);
    at = end;
  }
  return words;
}

Text foldedField(const Text& name, const std::vector<Text>& words) {
  Text out = name + ":";
  std::size_t lineLength = out.size();
  for (const Text& word : words) {
    if (lineLength + 1 + word.size() > kMaxHeaderLine && lineLength > name.size() + 1) {
      out += "\r\n";
      lineLength = 0;
    }
    out += " " + word;
    lineLength += 1 + word.size();
  }
  return out + "\r\n";
}

std::vector<Text> subjectWords(const Text& subject) {
  if (subject.empty()) return {};
  if (plainHeaderText(subject)) return {subject};
  return encodedWords(subject, kHeaderWordLength);
}

std::vector<Text> mailboxWords(const MailAddress::Mailbox& mailbox) {
  std::vector<Text> words;
  const Text& name = mailbox.displayName;
  if (name.empty()) {
    words.push_back(mailbox.address);
    return words;
  }
  if (plainHeaderText(name)) {
    if (plainPhrase(name)) {
      words.push_back(name);
    } else {
      Text quoted = "\"";
      for (char c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
      }
      words.push_back(quoted + "\"");
    }
  } else {
    words = encodedWords(name, kHeaderWordLength);
  }
  words.push_back("<" + mailbox.address + ">");
  return words;
}

Text compose(const Parts& parts) {
  Text out = foldedField("From", mailboxWords(parts.from));
  std::vector<Text> to;
  for (std::size_t i = 0; i < parts.to.size(); ++i) {
    std::vector<Text> words = mailboxWords(parts.to[i]);
    if (i + 1 < parts.to.size()) words.back() += ",";
    to.insert(to.end(), words.begin(), words.end());
  }
  out += foldedField("To", to);
  out += foldedField("Subject", subjectWords(parts.subject));
  out += "Date: " + parts.date + "\r\n";
  if (!parts.messageId.empty()) out += "Message-ID: " + parts.messageId + "\r\n";
  out += "MIME-Version: 1.0\r\n";
  out += "Content-Type: text/plain; charset=\"" + charsetOf(parts.body) + "\"\r\n";
  out += "Content-Transfer-Encoding: base64\r\n";
  out += "\r\n";
  out += Base64::encodeLines(parts.body, kBodyLineLength);
  return out;
}

}  // namespace MailMessage
