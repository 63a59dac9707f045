#include "diag/PingTranslator.h"

#include <array>
#include <optional>
#include <string_view>

#include "web/TextOps.h"

namespace PingTranslator {

namespace {

// Which rows run: A only when the chunk holds "Pinging", B always, C only when
// the text after B holds the host-not-found phrase, D only when the text after
// C holds "Ping statistics for".
enum class Group { A, B, C, D };

struct Row {
  Group group;
  std::string_view phrase;
  std::string_view replacement;
};

// Applied in this order, each row on the result of the rows before it.
// Trailing and leading spaces are part of the phrases.
constexpr std::array<Row, 20> kRows{{
    {Group::A, "Pinging", "正在Ping"},
    {Group::A, "with 32 bytes of data", "32字节的数据"},
    {Group::B, "Request timed out", "请求超时"},
    {Group::B, "Reply from", "返回数据"},
    {Group::B, "Packets:", "数据包:"},
    {Group::B, "Approximate round trip times in milli-seconds:", "响应时间统计:"},
    {Group::B, "Received", "接收"},
    {Group::B, "Sent", "发送"},
    {Group::B, "Lost", "丢包"},
    {Group::B, "loss", "丢包率"},
    {Group::B, "bytes", "字节"},
    {Group::B, "ms ", "毫秒 "},
    {Group::B, "Minimum", "最小时间"},
    {Group::B, "Maximum", "最大时间"},
    {Group::B, "Average", "平均时间"},
    {Group::B, "time", "响应时间"},
    {Group::C, "Ping request could not find host ", "Ping 程序可能找不到主机 "},
    {Group::C, "Please check the name and try again", "请检查主机名后重试"},
    {Group::D, "Ping statistics for", "Ping"},
    {Group::D, ":", " 统计:"},
}};

// The phrase whose presence, tested case-sensitively, opens a group.
std::string_view opener(Group group) {
  switch (group) {
    case Group::A:
      return "Pinging";
    case Group::C:
      return "Ping request could not find host ";
    case Group::D:
      return "Ping statistics for";
    case Group::B:
      break;
  }
  return {};
}

}  // namespace

Text translate(const Text& chunk) {
  Text text = chunk;
  std::optional<Group> current;
  bool groupOpen = false;
  for (const Row& row : kRows) {
    // The presence test of a group looks at the text as the earlier groups
    // left it.
    if (row.group != current) {
      current = row.group;
      const std::string_view test = opener(row.group);
      groupOpen = test.empty() || textFind(text, Text(test)) != -1;
    }
    if (groupOpen) {
      text = textReplace(text, Text(row.phrase), Text(row.replacement), 1, -1, false);
    }
  }
  return text;
}

}  // namespace PingTranslator
