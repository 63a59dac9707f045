// Chunks of ping and tracert output put into Chinese.
#include "diag/PingTranslator.h"

#include <gtest/gtest.h>

#include "support/GbkPrint.h"

namespace {

struct Chunk {
  const char* why;
  Text chunk;
  Text expected;
};

TEST(PingTranslator, TranslatesChunks) {
  const Chunk kChunks[] = {
      {"reply line; no statistics, so the colon stays",
       "Reply from 10.0.0.1: bytes=32 time=1ms TTL=128\r\n",
       "返回数据 10.0.0.1: 字节=32 响应时间=1毫秒 TTL=128\r\n"},
      {"ms without a following space stays", "Minimum = 1ms, Maximum = 1ms, Average = 1ms",
       "最小时间 = 1ms, 最大时间 = 1ms, 平均时间 = 1ms"},
      {"statistics: every colon, also the one of row 5",
       "Ping statistics for 10.0.0.1:\r\n    Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),",
       "Ping 10.0.0.1 统计:\r\n    数据包 统计: 发送 = 4, 接收 = 4, 丢包 = 0 (0% 丢包率),"},
      {"statistics of an IPv6 address", "Ping statistics for ::1:", "Ping  统计: 统计:1 统计:"},
      {"letter case ignored by the rows",
       "over a maximum of 30 hops:", "over a 最大时间 of 30 hops:"},
      {"tracert hop", "1    <1 ms    <1 ms    <1 ms  10.0.0.1",
       "1    <1 毫秒    <1 毫秒    <1 毫秒  10.0.0.1"},
      {"group A", "Pinging www.example.com [10.0.0.1] with 32 bytes of data:\r\n",
       "正在Ping www.example.com [10.0.0.1] 32字节的数据:\r\n"},
      {"lower-case pinging does not open group A", "pinging x with 32 bytes of data",
       "pinging x with 32 字节 of data"},
      {"once open, row 1 ignores case", "Pinging a, PINGING b, pinging c",
       "正在Ping a, 正在Ping b, 正在Ping c"},
      {"timeout", "Request timed out.\r\n", "请求超时.\r\n"},
      {"group C", "Ping request could not find host nohost. Please check the name and try again.",
       "Ping 程序可能找不到主机 nohost. 请检查主机名后重试."},
      {"group C test is case-sensitive",
       "ping request could not find host x. Please check the name and try again.",
       "ping request could not find host x. Please check the name and try again."},
      {"whole row 6", "Approximate round trip times in milli-seconds:\r\n", "响应时间统计:\r\n"},
      {"row 6 cut after times", "Approximate round trip times", "Approximate round trip 响应时间s"},
      {"inside words", "timeout Time present", "响应时间out 响应时间 pre发送"},
      {"nothing to translate", "正在处理，请稍候。\r\n", "正在处理，请稍候。\r\n"},
      // 乵 is 81 6D: its second byte 'm' and the following "s " are not "ms ".
      {"no match on a second byte", "乵s ", "乵s "},
      // 丳 is 81 50: its second byte 'P' and "inging" do not open group A.
      {"presence test steps by characters", "丳inging with 32 bytes of data",
       "丳inging with 32 字节 of data"},
      {"empty", "", ""},
  };
  for (const Chunk& c : kChunks) {
    SCOPED_TRACE(c.why);
    EXPECT_GBK_EQ(PingTranslator::translate(c.chunk), c.expected);
  }
}

}  // namespace
