// The single-instance lock on real files: two copies in one process stand for
// two processes, since the guard is the open handle without delete sharing.
// Also the environment facts the entry point puts into the App.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/CodePage.h"
#include "core/Environment.h"
#include "core/FileSystem.h"
#include "shell/InstanceLock.h"
#include "shell/ui/MemoryWindow.h"
#include "support/GbkPrint.h"
#include "support/ScratchDirectory.h"

namespace {

struct Copy {
  ui::MemoryDesktop desktop;
  App app;
  explicit Copy(const Text& windir) {
    app.desktop = &desktop;
    app.files = &systemFileSystem();
    app.environment = [windir](const Text& name) { return name == "windir" ? windir : Text(); };
  }
};

TEST(InstanceLockWin32Test, SecondCopyIsRefusedWhileTheFirstHoldsTheFile) {
  ScratchDirectory windows;
  ASSERT_TRUE(windows.ok());
  ASSERT_TRUE(ScratchDirectory::makeDirectory(windows.child("Temp")));
  const Text lock = windows.child("Temp/lock.tmp");
  ASSERT_TRUE(ScratchDirectory::makeFile(lock));  // left behind by an earlier run

  Copy first(windows.path());
  ASSERT_TRUE(InstanceLock::acquire(first.app));
  EXPECT_GBK_EQ(first.app.lockPath, lock);
  EXPECT_NE(first.app.lockFile, nullptr);
  EXPECT_TRUE(first.desktop.messageBoxes().empty());

  Copy second(windows.path());
  EXPECT_FALSE(InstanceLock::acquire(second.app));
  ASSERT_EQ(second.desktop.messageBoxes().size(), 1u);
  EXPECT_EQ(second.desktop.messageBoxes()[0].flags, ui::kMbWarning);
  EXPECT_TRUE(second.desktop.exited());
  EXPECT_TRUE(systemFileSystem().exists(lock));

  first.app.lockFile.reset();  // the first copy ends
  Copy third(windows.path());
  EXPECT_TRUE(InstanceLock::acquire(third.app));
  EXPECT_TRUE(third.desktop.messageBoxes().empty());
  third.app.lockFile.reset();
}

TEST(InstanceLockWin32Test, MissingTempFolderRunsWithoutTheGuard) {
  ScratchDirectory windows;
  ASSERT_TRUE(windows.ok());
  Copy copy(windows.path());
  EXPECT_TRUE(InstanceLock::acquire(copy.app));
  EXPECT_EQ(copy.app.lockFile, nullptr);
  EXPECT_TRUE(copy.desktop.messageBoxes().empty());
  EXPECT_FALSE(copy.desktop.exited());
}

TEST(EnvironmentWin32Test, VariablesAndProgramFolder) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"QUENTHOR_TEST_变量", L"C:\\视窗"));
  EXPECT_GBK_EQ(Environment::variable("QUENTHOR_TEST_变量"), "C:\\视窗");
  SetEnvironmentVariableW(L"QUENTHOR_TEST_变量", nullptr);
  EXPECT_GBK_EQ(Environment::variable("QUENTHOR_TEST_变量"), "");
  EXPECT_FALSE(Environment::variable("windir").empty());

  wchar_t exe[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe, n);
  folder.resize(folder.find_last_of(L'\\'));
  EXPECT_GBK_EQ(Environment::programFolder(),
                CodePage::utf16ToGbk(std::u16string(folder.begin(), folder.end())));
}

}  // namespace
