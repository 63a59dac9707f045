// The main window: its creation, the tray behaviour (closing or minimising
// hides it into the notification area, the tray icon brings it back), the
// mail-system list and the menu items. Every handler takes the App.
#pragma once

#include "shell/App.h"

namespace ui {
class Window;
}

namespace MainWindow {

inline constexpr const char* kTrayTooltip = "Quenthor运行中…";
inline constexpr const char* kTrayMenu = "托盘菜单";

// Loads the main window as the entry point does: wires its events, runs the
// creation handler, then shows it (unless the program ended meanwhile).
ui::Window& load(App& app);
// Makes the window the App's main window and fills in its events.
void wire(App& app, ui::Window& window);

// The creation handler: fills the window in its fixed order.
void onCreated(App& app);

// Position changed: a minimised window hides into the tray.
void onMinimised(App& app);
// The user's close request: minimises into the tray instead; always false.
bool onCloseRequest(App& app);
void onTrayEvent(App& app, int code);
// Shown first, then restored and centred (the state write needs a shown window).
void showFromTray(App& app);
// 组合框1: writes the chosen mail system's queue-path template into 编辑框2.
void onMailSystemSelected(App& app);

// Menu items that open a page or a file with the shell.
void openBlacklistSite(App& app);
void openRemoteSupport(App& app);
void openUserGuide(App& app);
void openContactPage(App& app);
// Tray menu "退出": shuts the program down.
void quit(App& app);

}  // namespace MainWindow
