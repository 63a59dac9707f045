// The main window on the in-memory desktop: hiding into the tray and coming
// back, the tray menu, the mail-system list and the menu items that open pages.
#include <gtest/gtest.h>

#include "shell/ProgramIcon.h"
#include "shell/SiteConstants.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  AppFixture f;
  ui::MemoryWindow& w = f.start();

  // Puts the window into the tray the way a user first does: minimising it.
  void hideIntoTray() {
    ASSERT_TRUE(w.minimise());
    ASSERT_FALSE(w.visible(""));
  }
  // The window's place after "restore and centre" on the 1280 x 1024 screen.
  static ui::Rect centred() { return ui::Rect{(1280 - 582) / 2, (1024 - 596) / 2, 582, 596}; }
};

TEST_F(MainWindowTest, StartsShownWithoutTrayIcon) {
  EXPECT_TRUE(w.visible(""));
  EXPECT_EQ(w.state(), ui::kStateNormal);
  EXPECT_FALSE(w.trayIconPresent());
  EXPECT_GBK_EQ(w.text(""), "Quenthor - by Pellucor v2.0");
}

TEST_F(MainWindowTest, CloseButtonHidesIntoTrayAndTheProgramGoesOn) {
  EXPECT_FALSE(w.requestClose());  // refused
  EXPECT_TRUE(w.isOpen());
  EXPECT_FALSE(w.visible(""));
  EXPECT_EQ(w.state(), ui::kStateMinimised);
  EXPECT_FALSE(f.desktop.exited());
  ASSERT_TRUE(w.trayIconPresent());
  EXPECT_EQ(w.trayIcon(), ProgramIcon::ico());
  // "…" is U+2026, A1 AD in GBK.
  EXPECT_GBK_EQ(w.trayTooltip(), "Quenthor\xD4\xCB\xD0\xD0\xD6\xD0\xA1\xAD");
}

TEST_F(MainWindowTest, EachMinimiseSetsTheTrayIconAgain) {
  hideIntoTray();
  EXPECT_EQ(w.trayIconCalls(), 1);
  ASSERT_TRUE(w.trayEvent(ui::kTrayLeftUp));
  ASSERT_TRUE(w.visible(""));
  hideIntoTray();
  EXPECT_EQ(w.trayIconCalls(), 2);
  EXPECT_GBK_EQ(w.trayTooltip(), MainWindow::kTrayTooltip);
}

TEST_F(MainWindowTest, LeftClickShowsRestoredAndCentredThenHidesWithoutMinimising) {
  hideIntoTray();
  ASSERT_TRUE(w.trayEvent(ui::kTrayLeftUp));
  EXPECT_TRUE(w.visible(""));
  EXPECT_EQ(w.state(), ui::kStateNormal);
  EXPECT_EQ(w.geometry(""), centred());

  ASSERT_TRUE(w.trayEvent(ui::kTrayLeftUp));
  EXPECT_FALSE(w.visible(""));
  EXPECT_EQ(w.state(), ui::kStateNormal);  // hidden, not minimised
  EXPECT_EQ(w.centredCount(), 1);

  ASSERT_TRUE(w.trayEvent(ui::kTrayLeftUp));
  EXPECT_TRUE(w.visible(""));
  EXPECT_EQ(w.centredCount(), 2);
}

// A double click arrives as left-up, double-click, left-up: two toggles, from
// either starting state.
TEST_F(MainWindowTest, DoubleClickTogglesTwice) {
  hideIntoTray();
  const int doubleClick[] = {ui::kTrayLeftUp, ui::kTrayLeftDoubleClick, ui::kTrayLeftUp};
  std::vector<bool> seen;
  for (int code : doubleClick) {
    ASSERT_TRUE(w.trayEvent(code));
    seen.push_back(w.visible(""));
  }
  EXPECT_EQ(seen, (std::vector<bool>{true, true, false}));

  ASSERT_TRUE(w.trayEvent(ui::kTrayLeftUp));
  seen.clear();
  for (int code : doubleClick) {
    ASSERT_TRUE(w.trayEvent(code));
    seen.push_back(w.visible(""));
  }
  EXPECT_EQ(seen, (std::vector<bool>{false, false, true}));
}

TEST_F(MainWindowTest, RightClickPopsUpTheTrayMenu) {
  hideIntoTray();
  ASSERT_TRUE(w.trayEvent(ui::kTrayContextMenu));
  EXPECT_EQ(w.popups(), std::vector<Text>{"托盘菜单"});
  EXPECT_FALSE(w.visible(""));  // the menu alone changes nothing

  ASSERT_TRUE(w.click("菜单_显示"));
  EXPECT_TRUE(w.visible(""));
  EXPECT_EQ(w.geometry(""), centred());
}

TEST_F(MainWindowTest, ExitFromTheTrayMenuEndsTheProgram) {
  hideIntoTray();
  EXPECT_FALSE(w.click("菜单_退出"));  // not reachable before the menu pops up
  ASSERT_TRUE(w.trayEvent(ui::kTrayContextMenu));
  ASSERT_TRUE(w.click("菜单_退出"));
  EXPECT_EQ(f.desktop.exitCalls(), 1);
  EXPECT_EQ(f.exitRoutineRuns, 1);
  EXPECT_FALSE(w.isOpen());
  EXPECT_FALSE(w.trayEvent(ui::kTrayLeftUp));
}

TEST_F(MainWindowTest, MenuItemsOpenTheirPages) {
  const Text site = SiteConstants::siteUrl;
  const struct {
    const char* item;
    Text opened;
  } cases[] = {
      {"菜单_IP黑名单监测", SiteConstants::blacklistSiteUrl},
      {"菜单_远程技术支援", site + "/t/"},
      {"菜单_联系我们", site + "/aboutus/5.html"},
      {"菜单_使用说明", "C:\\Program Files\\Quenthor\\使用前必读.html"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(utf8(c.item));
    ASSERT_TRUE(w.click(c.item));
    ASSERT_FALSE(f.desktop.shellOpens().empty());
    EXPECT_GBK_EQ(f.desktop.shellOpens().back(), c.opened);
  }
  EXPECT_EQ(f.desktop.shellOpens().size(), std::size(cases));
}

TEST_F(MainWindowTest, ChoosingAMailSystemOverwritesATypedQueuePath) {
  const struct {
    int index;
    const char* path;  // nullptr: the typed path stays
  } cases[] = {
      {0, "%Exchange安装路径%TransportRoles\\data\\Queue"},
      {1, "%Winmail安装路径%server\\queue"},
      {2, "%MDaemon安装路径%Queues\\Remote"},
      {3, "%Umail安装路径%Queues\\Remote"},
      {4, "%Icewarp安装路径%mail\\_outgoing"},
      {5, nullptr},
      {-1, nullptr},
  };
  const Text typed = "D:\\邮件\\队列";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    w.setText("编辑框2", "");
    ASSERT_TRUE(w.typeText("编辑框2", typed));
    ASSERT_TRUE(w.selectItem("组合框1", c.index));
    EXPECT_GBK_EQ(w.text("编辑框2"), c.path ? Text(c.path) : typed);
  }
}

}  // namespace
