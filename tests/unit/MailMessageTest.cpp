// The alarm mail's form: charset label, encoded words that never cut a GBK
// character, header lines within 78 characters, the Date header, and the
// whole message.
#include <gtest/gtest.h>

#include "monitor/mail/MailDate.h"
#include "monitor/mail/MailMessage.h"
#include "support/Base64Decode.h"
#include "support/GbkPrint.h"

namespace {

const Text kWordStart = "=?gb2312?B?";

std::vector<Text> lines(const Text& text) {
  std::vector<Text> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == Text::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

// The bytes of one encoded word, checked for its frame.
Text wordBytes(const Text& word) {
  EXPECT_EQ(word.rfind(kWordStart, 0), 0u) << word;
  EXPECT_EQ(word.substr(word.size() - 2), "?=") << word;
  return base64Decode(word.substr(kWordStart.size(), word.size() - kWordStart.size() - 2));
}

// True when the bytes end inside a two-byte character.
bool endsMidCharacter(const Text& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) i += static_cast<unsigned char>(bytes[i]) >= 0x81 ? 2 : 1;
  return i > bytes.size();
}

Text repeat(const Text& unit, int n) {
  Text out;
  for (int i = 0; i < n; ++i) out += unit;
  return out;
}

TEST(MailMessage, LabelsTheCharsetByTheBytes) {
  EXPECT_EQ(MailMessage::charsetOf(""), "us-ascii");
  EXPECT_EQ(MailMessage::charsetOf("Disk C: 3 GB free\r\n\x7F"), "us-ascii");
  EXPECT_EQ(MailMessage::charsetOf("\x80"), "gb2312");
  EXPECT_EQ(MailMessage::charsetOf("queue 51 ★"), "gb2312");
}

TEST(MailMessage, EncodedWordsKeepTwoByteCharactersWhole) {
  const struct {
    const char* name;
    Text text;
    std::size_t firstWordBytes;  // at a limit of 75: 45 bytes, less to keep a pair whole
  } kCases[] = {
      {"pairs only: 45 would cut the 23rd", repeat("警告", 15), 44},
      {"one ASCII byte first: 45 fit", "a" + repeat("警告", 15), 45},
      {"trail bytes in the ASCII range", repeat("\x81\x40", 30), 44},
      {"short text: one word", "磁盘", 4},
      {"ASCII only", repeat("x", 50), 45},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<Text> words = MailMessage::encodedWords(c.text, 75);
    ASSERT_FALSE(words.empty());
    Text joined;
    for (const Text& word : words) {
      EXPECT_LE(word.size(), 75u);
      Text bytes = wordBytes(word);
      EXPECT_FALSE(endsMidCharacter(bytes)) << hexBytes(bytes);
      joined += bytes;
    }
    EXPECT_EQ(wordBytes(words.front()).size(), c.firstWordBytes);
    EXPECT_GBK_EQ(joined, c.text);
  }
  EXPECT_TRUE(MailMessage::encodedWords("", 75).empty());
}

TEST(MailMessage, FoldsHeaderFieldsBeforeTheLimit) {
  // A short field stays on one line.
  EXPECT_EQ(MailMessage::foldedField("To", {"a@x,", "b", "<b@y>"}), "To: a@x, b <b@y>\r\n");
  EXPECT_EQ(MailMessage::foldedField("Subject", {}), "Subject:\r\n");
  // Words that do not fit go to continuation lines that begin with a space.
  const Text word(30, 'w');
  const Text field = MailMessage::foldedField("Subject", {word, word, word, word});
  const std::vector<Text> got = lines(field);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], "Subject: " + word + " " + word);
  EXPECT_EQ(got[1], " " + word + " " + word);
}

TEST(MailMessage, SubjectWords) {
  const struct {
    const char* name;
    Text subject;
    bool plain;
  } kCases[] = {
      {"short ASCII", "Quenthor test", true},
      {"Chinese", "★警告：磁盘可用容量已少于设定阀值★", false},
      {"mixed", "Quenthor发信测试", false},
      {"looks like an encoded word", "=?gb2312?B?1tA=?=", false},
      {"leading space would be lost", " queue", false},
      {"ASCII too long for one line", Text(70, 'q'), false},
      {"ASCII at the longest plain length", Text(69, 'q'), true},
      {"tab", "a\tb", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<Text> words = MailMessage::subjectWords(c.subject);
    Text decoded;
    for (const Text& w : words) decoded += c.plain ? w : wordBytes(w);
    if (c.plain) {
      ASSERT_EQ(words.size(), 1u);
    }
    EXPECT_GBK_EQ(decoded, c.subject);
    for (const Text& line : lines(MailMessage::foldedField("Subject", words))) {
      EXPECT_LE(line.size(), MailMessage::kMaxHeaderLine) << line;
    }
  }
}

TEST(MailMessage, LongChineseSubjectFoldsWithinTheLimit) {
  const Text subject = repeat("★警告：邮件队列数量出现异常堆积★", 4);  // 136 bytes
  const Text field = MailMessage::foldedField("Subject", MailMessage::subjectWords(subject));
  const std::vector<Text> got = lines(field);
  ASSERT_GE(got.size(), 3u);
  Text joined;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_LE(got[i].size(), MailMessage::kMaxHeaderLine);
    Text word = i == 0 ? got[i].substr(sizeof "Subject: " - 1) : got[i].substr(1);
    EXPECT_EQ(word.find(' '), Text::npos) << "one word per line here: " << got[i];
    joined += wordBytes(word);
  }
  EXPECT_GBK_EQ(joined, subject);
}

TEST(MailMessage, MailboxWords) {
  using MailAddress::Mailbox;
  EXPECT_EQ(MailMessage::mailboxWords(Mailbox{"", "a@x"}), std::vector<Text>{"a@x"});
  EXPECT_EQ(MailMessage::mailboxWords(Mailbox{"Ops Team", "a@x"}),
            (std::vector<Text>{"Ops Team", "<a@x>"}));
  EXPECT_EQ(MailMessage::mailboxWords(Mailbox{"Zhang, San", "z@x"}),
            (std::vector<Text>{"\"Zhang, San\"", "<z@x>"}));
  std::vector<Text> chinese = MailMessage::mailboxWords(Mailbox{"张三", "z@x"});
  ASSERT_EQ(chinese.size(), 2u);
  EXPECT_GBK_EQ(wordBytes(chinese[0]), "张三");
  EXPECT_EQ(chinese[1], "<z@x>");
}

TEST(MailDate, FormatsLocalTimeWithItsOffset) {
  const struct {
    MailDate::Fields fields;
    const char* expected;
  } kCases[] = {
      {{2025, 12, 11, 4, 13, 10, 0, 480}, "Thu, 11 Dec 2025 13:10:00 +0800"},
      {{2026, 1, 5, 1, 7, 3, 9, 0}, "Mon, 05 Jan 2026 07:03:09 +0000"},
      {{2024, 2, 29, 4, 23, 59, 59, -330}, "Thu, 29 Feb 2024 23:59:59 -0530"},
      {{2024, 7, 1, 1, 0, 0, 0, 345}, "Mon, 01 Jul 2024 00:00:00 +0545"},
  };
  for (const auto& c : kCases) EXPECT_EQ(MailDate::format(c.fields), c.expected);
}

TEST(MailDate, NowIsAPlausibleLocalTime) {
  const MailDate::Fields now = MailDate::now();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.offsetMinutes, 14 * 60);
  EXPECT_GE(now.offsetMinutes, -12 * 60);
}

TEST(MailMessage, ComposesASinglePartPlainTextMessage) {
  MailMessage::Parts parts;
  parts.from = {"", "alert@quenthor.test"};
  parts.to = {{"", "a@x"}, {"b", "b@y"}};
  parts.subject = "★警告：邮件队列数量出现异常堆积★";
  parts.body = repeat("邮件队列数量已超过阀值，请及时处理。\r\n", 5);
  parts.date = "Thu, 11 Dec 2025 13:10:00 +0800";
  parts.messageId = "<1@quenthor.test>";
  const Text message = MailMessage::compose(parts);
  const std::vector<Text> got = lines(message);
  ASSERT_GT(got.size(), 10u);
  EXPECT_EQ(message.substr(message.size() - 2), "\r\n");

  std::size_t blank = 0;
  while (blank < got.size() && !got[blank].empty()) ++blank;
  ASSERT_LT(blank, got.size());
  std::vector<Text> names;
  for (std::size_t i = 0; i < blank; ++i) {
    EXPECT_LE(got[i].size(), MailMessage::kMaxHeaderLine) << got[i];
    if (got[i][0] != ' ') names.push_back(got[i].substr(0, got[i].find(':')));
  }
  EXPECT_EQ(names, (std::vector<Text>{"From", "To", "Subject", "Date", "Message-ID", "MIME-Version",
                                      "Content-Type", "Content-Transfer-Encoding"}));
  EXPECT_EQ(got[0], "From: alert@quenthor.test");
  EXPECT_EQ(got[1], "To: a@x, b <b@y>");
  EXPECT_NE(message.find("\r\nDate: Thu, 11 Dec 2025 13:10:00 +0800\r\n"), Text::npos);
  EXPECT_NE(message.find("\r\nContent-Type: text/plain; charset=\"gb2312\"\r\n"), Text::npos);
  EXPECT_NE(message.find("\r\nContent-Transfer-Encoding: base64\r\n"), Text::npos);

  Text body;
  for (std::size_t i = blank + 1; i < got.size(); ++i) {
    EXPECT_LE(got[i].size(), MailMessage::kBodyLineLength);
    if (i + 1 < got.size()) {
      EXPECT_EQ(got[i].size(), MailMessage::kBodyLineLength);
    }
    body += got[i];
  }
  EXPECT_GBK_EQ(base64Decode(body), parts.body);

  parts.body = "Disk C: free 3 GB";
  EXPECT_NE(MailMessage::compose(parts).find("charset=\"us-ascii\""), Text::npos);
}

}  // namespace
