#include "monitor/mail/SmtpReply.h"

#include <cstdio>

namespace SmtpReply {

namespace {

bool digit(char c, char low, char high) { return c >= low && c <= high; }

}  // namespace

void feed(Reader& reader, const char* bytes, std::size_t size) {
  reader.pending.append(bytes, size);
}

Status take(Reader& reader, Reply& reply) {
  for (;;) {
    std::size_t lf = reader.pending.find('\n', reader.scanned);
    if (lf == Text::npos) {
      const bool zero = reader.pending.find('\0', reader.scanned) != Text::npos;
      reader.scanned = reader.pending.size();
      // kMaxLine + 1: room for the CR of a line of the largest size.
      if (zero || reader.pending.size() > kMaxLine + 1 ||
          reader.replyBytes + reader.pending.size() > kMaxReply) {
        return Status::kMalformed;
      }
      return Status::kIncomplete;
    }
    Text line = reader.pending.substr(0, lf);
    reader.pending.erase(0, lf + 1);
    reader.scanned = 0;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    reader.replyBytes += lf + 1;
    if (line.size() > kMaxLine || reader.replyBytes > kMaxReply || line.find('\0') != Text::npos ||
        line.size() < 3 || !digit(line[0], '2', '5') || !digit(line[1], '0', '5') ||
        !digit(line[2], '0', '9') || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
      return Status::kMalformed;
    }
    const bool last = line.size() == 3 || line[3] == ' ';
    reader.partial.code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    reader.partial.lines.push_back(line.size() > 4 ? line.substr(4) : Text());
    if (last) {
      reply = std::move(reader.partial);
      reader.partial = Reply();
      reader.replyBytes = 0;
      return Status::kComplete;
    }
  }
}

Text summary(const Reply& reply) {
  char code[8];
  std::snprintf(code, sizeof code, "%d", reply.code);
  Text out = code;
  if (!reply.lines.empty() && !reply.lines.front().empty()) out += " " + reply.lines.front();
  if (out.size() > 200) out.resize(200);
  return out;
}

}  // namespace SmtpReply
