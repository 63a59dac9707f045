// The disk query and the disk survey over the drives of the Wine prefix. The
// runner (disk_survey.py) links a drive letter to a directory of the Linux
// file system and hands over the letter and what statvfs says of it:
//   QUENTHOR_TEST_DRIVE          the letter, e.g. "Q"
//   QUENTHOR_TEST_DRIVE_TOTAL_KB total size in KB
//   QUENTHOR_TEST_DRIVE_FREE_KB  space available to an unprivileged caller in KB
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "core/Number.h"
#include "monitor/DiskSpaceWin32.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"

namespace {

struct LinkedDrive {
  char letter = 0;
  std::int64_t totalKb = 0, freeKb = 0;
};

LinkedDrive linkedDrive() {
  LinkedDrive d;
  const char* letter = std::getenv("QUENTHOR_TEST_DRIVE");
  const char* total = std::getenv("QUENTHOR_TEST_DRIVE_TOTAL_KB");
  const char* free = std::getenv("QUENTHOR_TEST_DRIVE_FREE_KB");
  if (!letter || !total || !free) return d;
  d.letter = letter[0];
  d.totalKb = static_cast<std::int64_t>(textToNumber(total));
  d.freeKb = static_cast<std::int64_t>(textToNumber(free));
  return d;
}

// The survey's lines after its header: letter and GB of each listed drive.
struct Line {
  char letter;
  std::int64_t gb;
};

TEST(DiskSurveyWin32Test, QueryGivesTheVolumesKilobytes) {
  const LinkedDrive d = linkedDrive();
  ASSERT_NE(d.letter, 0) << "run through tests/watch/disk_survey.py";
  std::unique_ptr<DiskSpace> disks = makeWin32DiskSpace();
  const Text root = Text(1, d.letter) + ":\\";
  EXPECT_EQ(disks->totalKb(root), d.totalKb);
  // Other processes write to the same file system meanwhile: allow 64 MiB.
  EXPECT_NEAR(static_cast<double>(disks->freeKb(root)), static_cast<double>(d.freeKb), 65536.0);
  EXPECT_GT(disks->totalKb("C:\\"), 0);
}

TEST(DiskSurveyWin32Test, LetterWithoutDriveFailsWithMinusOne) {
  std::unique_ptr<DiskSpace> disks = makeWin32DiskSpace();
  // A fresh prefix has only C: and Z:, and the runner links one more.
  const LinkedDrive d = linkedDrive();
  const char unused = d.letter == 'P' ? 'O' : 'P';
  const Text root = Text(1, unused) + ":\\";
  EXPECT_EQ(disks->totalKb(root), -1);
  EXPECT_EQ(disks->freeKb(root), -1);
}

TEST(DiskSurveyWin32Test, SurveyAtCreationListsThePrefixDrives) {
  const LinkedDrive d = linkedDrive();
  ASSERT_NE(d.letter, 0) << "run through tests/watch/disk_survey.py";
  std::unique_ptr<DiskSpace> disks = makeWin32DiskSpace();
  AppFixture f;
  f.app.disks = disks.get();
  f.start();
  const Text status = f.window().text("编辑框11");

  // Header, then one line per drive; read the text back piece by piece.
  const Text head = "磁盘总数为： ";
  ASSERT_EQ(status.compare(0, head.size(), head), 0) << utf8(status);
  std::size_t pos = head.size();
  const std::size_t headEnd = status.find("\r\n\r\n", pos);
  ASSERT_NE(headEnd, Text::npos);
  const int count = textToInt32(status.substr(pos, headEnd - pos));
  pos = headEnd + 4;
  std::vector<Line> lines;
  const Text middle = "盘] 可用容量为：";
  while (pos < status.size()) {
    ASSERT_EQ(status[pos], '[') << utf8(status.substr(pos));
    ASSERT_EQ(status.compare(pos + 2, middle.size(), middle), 0) << utf8(status.substr(pos));
    const std::size_t numberAt = pos + 2 + middle.size();
    const std::size_t end = status.find(" GB\r\n", numberAt);
    ASSERT_NE(end, Text::npos);
    lines.push_back({status[pos + 1], textToInt32(status.substr(numberAt, end - numberAt))});
    EXPECT_GBK_EQ(numberToText(lines.back().gb), status.substr(numberAt, end - numberAt));
    pos = end + 5;
  }
  EXPECT_EQ(static_cast<int>(lines.size()), count);

  bool sawC = false, sawLinked = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(lines[i - 1].letter, lines[i].letter);
    }
    sawC |= lines[i].letter == 'C';
    if (lines[i].letter == d.letter) {
      sawLinked = true;
      EXPECT_NEAR(static_cast<double>(lines[i].gb), static_cast<double>(d.freeKb / 1048576), 1.0);
    }
  }
  EXPECT_TRUE(sawC) << utf8(status);
  EXPECT_EQ(sawLinked, d.totalKb > 1048576) << utf8(status);
  EXPECT_FALSE(f.app.diskAlarmPending);
}

}  // namespace
