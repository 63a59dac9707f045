// SMTP replies taken from the bytes in whatever pieces they arrive, and the
// limits that keep a hostile relay from growing the buffer or passing garbage.
#include <gtest/gtest.h>

#include "monitor/mail/SmtpReply.h"

namespace {

using SmtpReply::Status;

struct Fed {
  Status status;
  SmtpReply::Reply reply;
};

Fed feedAll(SmtpReply::Reader& reader, const Text& bytes) {
  SmtpReply::feed(reader, bytes.data(), bytes.size());
  Fed f;
  f.status = SmtpReply::take(reader, f.reply);
  return f;
}

TEST(SmtpReply, TakesSingleAndMultiLineReplies) {
  const struct {
    const char* name;
    Text bytes;
    int code;
    std::vector<Text> lines;
  } kCases[] = {
      {"one line", "220 relay ready\r\n", 220, {"relay ready"}},
      {"code only", "250\r\n", 250, {""}},
      {"bare line feed", "354 go ahead\n", 354, {"go ahead"}},
      {"EHLO keywords",
       "250-relay.test\r\n250-AUTH LOGIN PLAIN\r\n250-SIZE 1000\r\n250 8BITMIME\r\n",
       250,
       {"relay.test", "AUTH LOGIN PLAIN", "SIZE 1000", "8BITMIME"}},
      {"continuation without text", "250-\r\n250 ok\r\n", 250, {"", "ok"}},
      {"prompt text with no meaning", "334 \xFFweird\r\n", 334, {"\xFFweird"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    // Whole, and one byte at a time.
    SmtpReply::Reader whole;
    Fed f = feedAll(whole, c.bytes);
    ASSERT_EQ(f.status, Status::kComplete);
    EXPECT_EQ(f.reply.code, c.code);
    EXPECT_EQ(f.reply.lines, c.lines);

    SmtpReply::Reader bytewise;
    for (std::size_t i = 0; i + 1 < c.bytes.size(); ++i) {
      ASSERT_EQ(feedAll(bytewise, c.bytes.substr(i, 1)).status, Status::kIncomplete) << i;
    }
    f = feedAll(bytewise, c.bytes.substr(c.bytes.size() - 1));
    ASSERT_EQ(f.status, Status::kComplete);
    EXPECT_EQ(f.reply.lines, c.lines);
  }
}

TEST(SmtpReply, KeepsWhatFollowsAReplyForTheNext) {
  SmtpReply::Reader reader;
  Fed f = feedAll(reader, "250 first\r\n550-no\r\n550 such");
  ASSERT_EQ(f.status, Status::kComplete);
  EXPECT_EQ(f.reply.code, 250);
  EXPECT_EQ(SmtpReply::take(reader, f.reply), Status::kIncomplete);
  f = feedAll(reader, " user\r\n");
  ASSERT_EQ(f.status, Status::kComplete);
  EXPECT_EQ(f.reply.code, 550);
  EXPECT_EQ(f.reply.lines, (std::vector<Text>{"no", "such user"}));
}

TEST(SmtpReply, RefusesMalformedReplies) {
  const struct {
    const char* name;
    Text bytes;
  } kCases[] = {
      {"no code", "hello\r\n"},
      {"short code", "25\r\n"},
      {"bad separator", "250x ok\r\n"},
      {"first digit out of range", "650 ok\r\n"},
      {"second digit out of range", "260 ok\r\n"},
      {"zero byte in a line", Text("250 o\0k\r\n", 8)},
      {"zero byte before the line ends", Text("220 \0", 5)},
      {"bad continuation", "250-ok\r\nxyz\r\n"},
      {"line over 64 KiB", "220 " + Text(SmtpReply::kMaxLine, 'a') + "\r\n"},
      {"line over 64 KiB, not yet ended", "220 " + Text(SmtpReply::kMaxLine, 'a')},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SmtpReply::Reader reader;
    EXPECT_EQ(feedAll(reader, c.bytes).status, Status::kMalformed);
  }
}

TEST(SmtpReply, AcceptsALineOfExactly64KiB) {
  SmtpReply::Reader reader;
  const Text text(SmtpReply::kMaxLine - 4, 'a');
  Fed f = feedAll(reader, "220 " + text + "\r\n");
  ASSERT_EQ(f.status, Status::kComplete);
  EXPECT_EQ(f.reply.lines.front(), text);
}

TEST(SmtpReply, EndlessMultiLineReplyIsRefused) {
  SmtpReply::Reader reader;
  const Text line = "250-" + Text(1000, 'x') + "\r\n";
  Status status = Status::kIncomplete;
  std::size_t fed = 0;
  while (status == Status::kIncomplete && fed < 2 * SmtpReply::kMaxReply) {
    status = feedAll(reader, line).status;
    fed += line.size();
  }
  EXPECT_EQ(status, Status::kMalformed);
  EXPECT_LE(fed, SmtpReply::kMaxReply + line.size());
}

TEST(SmtpReply, Summary) {
  SmtpReply::Reply r;
  r.code = 550;
  r.lines = {"5.1.1 no such user", "more"};
  EXPECT_EQ(SmtpReply::summary(r), "550 5.1.1 no such user");
}

}  // namespace
