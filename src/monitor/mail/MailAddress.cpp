#include "monitor/mail/MailAddress.h"

#include "web/TextOps.h"

namespace MailAddress {

namespace {

// An address goes between the angle brackets of MAIL FROM and RCPT TO as it
// is: no spaces, controls or brackets that would change the command.
bool validAddress(const Text& address) {
  if (address.empty()) return false;
  for (unsigned char c : address) {
    if (c <= 0x20 || c == 0x7F || c == '<' || c == '>' || c == '"') return false;
  }
  return true;
}

Text withoutQuotes(const Text& name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    return name.substr(1, name.size() - 2);
  }
  return name;
}

// One non-empty, trimmed item.
bool parseItem(const Text& item, Mailbox& mailbox, Text& error) {
  std::size_t open = item.rfind('<');
  if (open == Text::npos) {
    mailbox = Mailbox{Text(), item};
  } else {
    std::size_t close = item.find('>', open);
    if (close == Text::npos || !textTrim(item.substr(close + 1)).empty()) {
      error = "malformed address \"" + item + "\"";
      return false;
    }
    mailbox.displayName = withoutQuotes(textTrim(item.substr(0, open)));
    mailbox.address = item.substr(open + 1, close - open - 1);
  }
  if (!validAddress(mailbox.address) || mailbox.displayName.find_first_of("\"<>") != Text::npos) {
    error = "malformed address \"" + item + "\"";
    return false;
  }
  return true;
}

}  // namespace

bool breaksLine(const Text& text) { return text.find_first_of(Text("\r\n\0", 3)) != Text::npos; }

ParsedList parseList(const Text& text) {
  ParsedList result;
  if (breaksLine(text)) {
    result.error = "line break in the recipient list";
    return result;
  }
  std::vector<Text> items(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == ',' || c == ';')) {
      items.emplace_back();
    } else {
      items.back() += c;
    }
  }
  for (const Text& raw : items) {
    Text item = textTrim(raw);
    if (item.empty()) continue;
    Mailbox mailbox;
    if (!parseItem(item, mailbox, result.error)) {
      result.mailboxes.clear();
      return result;
    }
    result.mailboxes.push_back(mailbox);
  }
  return result;
}

bool parseOne(const Text& text, Mailbox& mailbox, Text& error) {
  if (breaksLine(text)) {
    error = "line break in the address";
    return false;
  }
  Text item = textTrim(text);
  if (item.empty()) {
    error = "empty address";
    return false;
  }
  return parseItem(item, mailbox, error);
}

}  // namespace MailAddress
