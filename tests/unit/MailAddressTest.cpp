// The recipient list as the user types it, and the refusal of anything that
// could smuggle a command or a header into the submission.
#include <gtest/gtest.h>

#include "monitor/mail/MailAddress.h"
#include "support/GbkPrint.h"

namespace {

using MailAddress::Mailbox;

TEST(MailAddress, ParsesRecipientLists) {
  const struct {
    const char* name;
    Text text;
    std::vector<Mailbox> expected;
  } kCases[] = {
      {"semicolon and display name", "a@x;b <b@y>", {{"", "a@x"}, {"b", "b@y"}}},
      {"comma with spaces", " a@x , c@z ", {{"", "a@x"}, {"", "c@z"}}},
      {"empty items skipped", ";; a@x ;, ;", {{"", "a@x"}}},
      {"full-width spaces trimmed",
       "\xA1\xA1"
       "a@x\xA1\xA1",
       {{"", "a@x"}}},
      {"nothing", "", {}},
      {"only separators", " ; , ", {}},
      {"brackets without a name", "<a@x>", {{"", "a@x"}}},
      {"Chinese display name", "张三 <z@x>", {{"张三", "z@x"}}},
      {"quoted name with a separator",
       "\"Zhang, San\" <z@x>;a@x",
       {{"Zhang, San", "z@x"}, {"", "a@x"}}},
      {"non-ASCII address passes to the relay", "用户@x", {{"", "用户@x"}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    MailAddress::ParsedList list = MailAddress::parseList(c.text);
    EXPECT_EQ(list.error, "");
    ASSERT_EQ(list.mailboxes.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_GBK_EQ(list.mailboxes[i].displayName, c.expected[i].displayName);
      EXPECT_GBK_EQ(list.mailboxes[i].address, c.expected[i].address);
    }
  }
}

TEST(MailAddress, RefusesListsThatWouldChangeTheCommands) {
  const struct {
    const char* name;
    Text text;
  } kCases[] = {
      {"CRLF and a command", "a@x\r\nRCPT TO:<evil@y>"},
      {"bare LF", "a@x\nb@y"},
      {"bare CR", "a@x\rb@y"},
      {"line break inside brackets", "b <b@y\r\n>"},
      {"line break in the display name", "b\r\nBcc: e@y <b@y>"},
      {"zero byte", Text("a@x\0b@y", 7)},
      {"space in a bare address", "a b@x"},
      {"closing bracket in a bare address", "a@x>"},
      {"unclosed bracket", "b <b@y"},
      {"empty brackets", "b <>"},
      {"text after the brackets", "b <b@y> c"},
      {"bracket inside brackets", "b <b<c@y>"},
      {"tab inside the address", "a\t@x"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    MailAddress::ParsedList list = MailAddress::parseList(c.text);
    EXPECT_NE(list.error, "");
    EXPECT_TRUE(list.mailboxes.empty());
  }
  // One bad item refuses the whole list: nothing is sent to the good ones.
  EXPECT_TRUE(MailAddress::parseList("a@x;b <b@y;c@z").mailboxes.empty());
}

TEST(MailAddress, ParsesTheSender) {
  Mailbox m;
  Text error;
  ASSERT_TRUE(MailAddress::parseOne("alert@x.cn", m, error));
  EXPECT_EQ(m, (Mailbox{"", "alert@x.cn"}));
  ASSERT_TRUE(MailAddress::parseOne("告警 <alert@x.cn>", m, error));
  EXPECT_EQ(m, (Mailbox{"告警", "alert@x.cn"}));
  for (const Text& bad : {Text("alert@x.cn\r\nBcc: e@y"), Text(""), Text("a b")}) {
    error.clear();
    EXPECT_FALSE(MailAddress::parseOne(bad, m, error)) << bad;
    EXPECT_NE(error, "");
  }
}

TEST(MailAddress, BreaksLine) {
  EXPECT_FALSE(MailAddress::breaksLine("★警告：邮件队列数量出现异常堆积★ \t"));
  EXPECT_TRUE(MailAddress::breaksLine("a\r"));
  EXPECT_TRUE(MailAddress::breaksLine("\nb"));
  EXPECT_TRUE(MailAddress::breaksLine(Text("a\0", 2)));
}

}  // namespace
