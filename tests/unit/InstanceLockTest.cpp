// The single-instance lock of the main window's creation, on the in-memory
// file system (which, like Windows, refuses to delete a file held open).
#include "shell/InstanceLock.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/AppFixture.h"
#include "support/GbkPrint.h"

namespace {

const Text kLock = "C:\\Windows\\Temp\\lock.tmp";

TEST(InstanceLockTest, CreatesAndHoldsTheLockFile) {
  const struct {
    const char* name;
    std::optional<Text> windir;  // nullopt: not set
    bool leftBehind;             // a lock file of an earlier run exists
    bool creatable;
    Text path;
    std::vector<Text> calls;
  } cases[] = {
      {"first start",
       Text("C:\\Windows"),
       false,
       true,
       kLock,
       {"exists " + kLock, "create " + kLock}},
      {"after a normal exit",
       Text("C:\\Windows"),
       true,
       true,
       kLock,
       {"exists " + kLock, "remove " + kLock, "create " + kLock}},
      {"windir not set",
       std::nullopt,
       false,
       true,
       "\\Temp\\lock.tmp",
       {"exists \\Temp\\lock.tmp", "create \\Temp\\lock.tmp"}},
      {"windir empty",
       Text(""),
       false,
       true,
       "\\Temp\\lock.tmp",
       {"exists \\Temp\\lock.tmp", "create \\Temp\\lock.tmp"}},
      {"folder missing",
       Text("D:\\不存在"),
       false,
       false,
       "D:\\不存在\\Temp\\lock.tmp",
       {"exists D:\\不存在\\Temp\\lock.tmp", "create D:\\不存在\\Temp\\lock.tmp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppFixture f;
    f.environment.erase("windir");
    if (c.windir) f.environment["windir"] = *c.windir;
    if (c.leftBehind) f.files.files[c.path] = blobFromText("old");
    if (!c.creatable) f.files.uncreatable.insert(c.path);

    ui::MemoryWindow& w = f.start();

    EXPECT_GBK_EQ(f.app.lockPath, c.path);
    EXPECT_EQ(f.files.log, c.calls);
    EXPECT_EQ(f.files.held(c.path), c.creatable);
    if (c.creatable) {
      EXPECT_TRUE(f.files.files.at(c.path).empty());
    }
    EXPECT_TRUE(f.desktop.messageBoxes().empty());
    EXPECT_FALSE(f.desktop.exited());
    EXPECT_TRUE(w.visible(""));
  }
}

TEST(InstanceLockTest, UndeletableLockFileWarnsAndEndsBeforeTheWindowShows) {
  AppFixture f;
  f.files.files[kLock] = ByteBlob();
  f.files.undeletable.insert(kLock);

  ui::MemoryWindow& w = f.start();

  ASSERT_EQ(f.desktop.messageBoxes().size(), 1u);
  const ui::MessageBoxRecord& box = f.desktop.messageBoxes()[0];
  EXPECT_GBK_EQ(box.text, "软件已经在运行中，为防止重复运行，本次运行将被终止！");
  EXPECT_EQ(box.flags, ui::kMbWarning);
  EXPECT_GBK_EQ(box.title, "信息：");
  EXPECT_EQ(f.desktop.exitCalls(), 1);
  EXPECT_EQ(f.exitRoutineRuns, 1);
  EXPECT_EQ(f.files.log, (std::vector<Text>{"exists " + kLock, "remove " + kLock}));
  EXPECT_EQ(f.app.lockFile, nullptr);
  EXPECT_FALSE(w.visible(""));
  EXPECT_FALSE(w.isOpen());
}

// Two copies on one machine: the second finds the first's file held open.
TEST(InstanceLockTest, SecondCopyEndsAndTheFirstGoesOn) {
  AppFixture first;
  ui::MemoryWindow& firstWindow = first.start();
  ASSERT_TRUE(first.files.held(kLock));

  AppFixture second;
  second.app.files = &first.files;  // the same disk
  ui::MemoryWindow& secondWindow = second.start();

  EXPECT_EQ(second.desktop.messageBoxes().size(), 1u);
  EXPECT_TRUE(second.desktop.exited());
  EXPECT_FALSE(secondWindow.visible(""));

  EXPECT_TRUE(first.files.held(kLock));
  EXPECT_TRUE(first.desktop.messageBoxes().empty());
  EXPECT_FALSE(first.desktop.exited());
  EXPECT_TRUE(firstWindow.visible(""));

  // After the first copy ends (its handle closes), a new start succeeds.
  first.app.lockFile.reset();
  AppFixture third;
  third.app.files = &first.files;
  third.start();
  EXPECT_TRUE(third.desktop.messageBoxes().empty());
  EXPECT_TRUE(first.files.held(kLock));
}

}  // namespace
