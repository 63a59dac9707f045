// The queue count over real directories of the platform: the Windows search
// under Wine, readdir natively.
#include <gtest/gtest.h>

#include <memory>

#include "monitor/QueueDirectory.h"
#include "monitor/QueueMonitor.h"
#include "shell/App.h"
#include "support/GbkPrint.h"
#include "support/ScratchDirectory.h"

namespace {

class QueueCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.ok());
    app.queueDirectory = listing.get();
  }

  // A queue folder named `name` holding the given files and sub-directories.
  Text makeQueue(const Text& name, std::initializer_list<const char*> files,
                 std::initializer_list<const char*> folders = {}) {
    Text queue = scratch.child(name);
    EXPECT_TRUE(ScratchDirectory::makeDirectory(queue)) << utf8(queue);
    for (const char* file : files) {
      EXPECT_TRUE(ScratchDirectory::makeFile(queue + ScratchDirectory::kSeparator + file)) << file;
    }
    for (const char* folder : folders) {
      EXPECT_TRUE(ScratchDirectory::makeDirectory(queue + ScratchDirectory::kSeparator + folder));
    }
    return queue;
  }

  ScratchDirectory scratch;
  std::unique_ptr<QueueDirectory> listing = makeSystemQueueDirectory();
  App app;
};

TEST_F(QueueCountTest, CountsFilesButNotSubDirectories) {
  Text queue = makeQueue("queue", {"a.eml", "b"}, {"sub"});
  ASSERT_TRUE(ScratchDirectory::makeFile(queue + ScratchDirectory::kSeparator + "sub" +
                                         ScratchDirectory::kSeparator + "deeper.eml"));
  EXPECT_EQ(QueueMonitor::countQueue(app, queue), 2);
}

// The GBK path reaches the system as the same name.
TEST_F(QueueCountTest, ChineseDirectoryName) {
  Text queue = scratch.child("邮件队列");
  if (!ScratchDirectory::makeDirectory(queue)) {
    // Wine without the locale of LC_ALL installed maps file names to ASCII.
    GTEST_SKIP() << "the file system here takes no Chinese names";
  }
  ASSERT_TRUE(ScratchDirectory::makeFile(queue + ScratchDirectory::kSeparator + "信件.eml"));
  EXPECT_EQ(QueueMonitor::countQueue(app, queue), 1);
}

TEST_F(QueueCountTest, HiddenAndSystemFilesCount) {
  Text queue = makeQueue("q", {"visible.eml"});
  Text hidden = queue + ScratchDirectory::kSeparator + ".hidden.eml";
  ASSERT_TRUE(ScratchDirectory::makeFile(hidden, true));
#ifdef _WIN32
  ASSERT_TRUE(ScratchDirectory::hasHiddenAttribute(hidden));
#endif
  EXPECT_EQ(QueueMonitor::countQueue(app, queue), 2);
}

TEST_F(QueueCountTest, TrailingSeparatorGivesTheDoubledPatternToTheSystem) {
  Text queue = makeQueue("q", {"1.eml", "2.eml", "3.eml"});
  // The system's search takes "dir\\*.*" like "dir\*.*".
  EXPECT_EQ(QueueMonitor::countQueue(app, queue + "\\"), 3);
}

TEST_F(QueueCountTest, MissingOrEmptyDirectoryGivesZero) {
  EXPECT_EQ(QueueMonitor::countQueue(app, scratch.child("没有这个目录")), 0);
  EXPECT_EQ(QueueMonitor::countQueue(app, makeQueue("empty", {})), 0);
}

TEST_F(QueueCountTest, AFileInPlaceOfTheDirectoryGivesZero) {
  Text notADirectory = scratch.child("file.txt");
  ASSERT_TRUE(ScratchDirectory::makeFile(notADirectory));
  EXPECT_EQ(QueueMonitor::countQueue(app, notADirectory), 0);
}

}  // namespace
