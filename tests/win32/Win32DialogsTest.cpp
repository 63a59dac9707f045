// The Win32 window layer under Wine: message boxes, the save-file dialog,
// dialog mode and event pumping, answered from a second thread as a user
// would answer them.
#include <cstdio>
#include <fstream>

#include "support/GbkPrint.h"
#include "win32/Win32TestSupport.h"

namespace {

using namespace win32test;

class Win32DialogsTest : public ::testing::Test {
 protected:
  ui::Win32Desktop desktop{GetModuleHandleW(nullptr)};
};

TEST_F(Win32DialogsTest, MessageBoxesShowTheirTextsAndAnswerAsTheLayerPromises) {
  struct Case {
    int flags;
    const char* title;
    int button;  // the button the user presses
    int answer;
    const wchar_t* shownTitle;
    UINT icon;  // the icon style the box was given
  };
  const Case cases[] = {
      {ui::kMbError, "", IDOK, ui::kAnswerOk, L"信息：", MB_ICONERROR},
      {ui::kMbQuestion, "问题", IDYES, ui::kAnswerYes, L"问题", MB_ICONQUESTION},
      {ui::kMbQuestion, "问题", IDNO, ui::kAnswerNo, L"问题", MB_ICONQUESTION},
      {ui::kMbWarning, "", IDOK, ui::kAnswerOk, L"信息：", MB_ICONWARNING},
      {ui::kMbInfo, "提示", IDOK, ui::kAnswerOk, L"提示", MB_ICONINFORMATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    std::wstring shownText, shownTitle;
    bool hasNo = false;
    int answer = -1;
    {
      DialogAnswerer user([&](HWND box) {
        shownText = dialogMessage(box);
        shownTitle = windowTextW(box);
        hasNo = GetDlgItem(box, IDNO) != nullptr;
        pressButton(box, c.button);
      });
      answer = desktop.messageBox("软件已经在运行中，为防止重复运行，本次运行将被终止！", c.flags,
                                  c.title);
    }
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(shownText, L"软件已经在运行中，为防止重复运行，本次运行将被终止！");
    EXPECT_EQ(shownTitle, c.shownTitle);
    EXPECT_EQ(hasNo, c.flags == ui::kMbQuestion);
  }
}

class Win32SaveDialogTest : public Win32DialogsTest {
 protected:
  void SetUp() override {
    window = &static_cast<ui::Win32Window&>(desktop.openMainWindow(testDesign(), nullptr));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"quenthor-save-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
  }
  void TearDown() override {
    DeleteFileW((folder + L"\\导出配置.txt").c_str());
    RemoveDirectoryW(folder.c_str());
  }
  // Types a name into the dialog's file-name field and presses Save.
  // The file-name field: the edit inside the Explorer-style dialog's combo
  // box (cmb13), or the older edit field (edt1).
  static HWND fileNameField(HWND dialog) {
    HWND combo = GetDlgItem(dialog, 0x47c);
    if (!combo || !IsWindowVisible(combo)) return GetDlgItem(dialog, 0x480);
    HWND edit = nullptr;
    EnumChildWindows(
        combo,
        [](HWND child, LPARAM found) -> BOOL {
          if (className(child) != L"Edit") return TRUE;
          *reinterpret_cast<HWND*>(found) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&edit));
    return edit;
  }
  static void chooseFile(HWND dialog, const std::wstring& path) {
    SendMessageW(fileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    pressButton(dialog, IDOK);
  }

  ui::Win32Window* window = nullptr;
  std::wstring folder;
};

TEST_F(Win32SaveDialogTest, ChosenPathBecomesTheDialogsTextWithTheDefaultExtension) {
  EXPECT_GBK_EQ(window->text("通用对话框1"), "导出");  // the initial file name
  std::wstring initialName;
  bool chosen = false;
  {
    DialogAnswerer user([&](HWND dialog) {
      initialName = windowTextW(fileNameField(dialog));
      chooseFile(dialog, folder + L"\\导出配置");
    });
    chosen = window->runSaveDialog("通用对话框1");
  }
  EXPECT_TRUE(chosen);
  EXPECT_EQ(initialName, L"导出");
  EXPECT_EQ(ui::win32::wide(window->text("通用对话框1")), folder + L"\\导出配置.txt");
}

TEST_F(Win32SaveDialogTest, CancelKeepsTheTextAndAnExistingFileIsOnlyReplacedWhenConfirmed) {
  bool chosen = true;
  {
    DialogAnswerer user([](HWND dialog) { pressButton(dialog, IDCANCEL); });
    chosen = window->runSaveDialog("通用对话框1");
  }
  EXPECT_FALSE(chosen);
  EXPECT_GBK_EQ(window->text("通用对话框1"), "导出");

  const std::wstring existing = folder + L"\\导出配置.txt";
  HANDLE file = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  std::wstring prompt;
  std::thread user([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i, Sleep(20)) dialog = findDialog();
    Sleep(100);
    chooseFile(dialog, existing);
    // The prompt before replacing: another dialog of this process.
    for (int i = 0; i < 500; ++i, Sleep(20)) {
      HWND box = findDialog();
      if (box && box != dialog && IsWindowEnabled(box)) {
        Sleep(100);
        prompt = dialogMessage(box);
        pressButton(box, IDYES);
        return;
      }
    }
  });
  chosen = window->runSaveDialog("通用对话框1");
  user.join();
  EXPECT_TRUE(chosen);
  EXPECT_FALSE(prompt.empty());
  EXPECT_EQ(ui::win32::wide(window->text("通用对话框1")), existing);
  EXPECT_FALSE(window->runSaveDialog("编辑框1"));  // not a dialog
}

TEST_F(Win32DialogsTest, DialogModeDisablesTheOtherWindowsWhileTheirTimersGoOn) {
  ui::Window& main = desktop.openMainWindow(testDesign(), nullptr);
  HWND mainWindow = static_cast<ui::Win32Window&>(main).hwnd();
  int mainTicks = 0;
  bool mainDisabledMeanwhile = false;
  main.events.timer["时钟1"] = [&] { ++mainTicks; };
  main.setTimerPeriod("时钟1", 20);

  int dialogTicks = 0;
  desktop.runDialog(dialogDesign(), [&](ui::Window& dialog) {
    dialog.events.created = [&dialog] { dialog.setTimerPeriod("时钟1", 300); };
    dialog.events.timer["时钟1"] = [&] {
      ++dialogTicks;
      mainDisabledMeanwhile = !IsWindowEnabled(mainWindow);
      // The dialog's close button, pressed by the user.
      PostMessageW(static_cast<ui::Win32Window&>(dialog).hwnd(), WM_CLOSE, 0, 0);
    };
  });
  EXPECT_EQ(dialogTicks, 1);
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_GE(mainTicks, 5);  // about 15 in 300 ms
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

TEST_F(Win32DialogsTest, ProcessPendingEventsRunsQueuedHandlersAndReturns) {
  ui::Window& main = desktop.openMainWindow(testDesign(), nullptr);
  auto& window = static_cast<ui::Win32Window&>(main);
  int clicks = 0;
  main.events.clicked["按钮1"] = [&] { ++clicks; };
  PostMessageW(window.controlHandle("按钮1"), BM_CLICK, 0, 0);
  PostMessageW(window.controlHandle("按钮1"), BM_CLICK, 0, 0);
  desktop.processPendingEvents();
  EXPECT_EQ(clicks, 2);

  // A quit request is left for the message loop.
  PostQuitMessage(7);
  desktop.processPendingEvents();
  EXPECT_EQ(desktop.runMessageLoop(), 7);
}

}  // namespace
