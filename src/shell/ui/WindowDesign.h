// Window designs as data: a table of controls with kind, name, parent, place,
// size, initial text and input flags. Both window-layer implementations read
// the same tables, so tests see exactly the controls the program shows.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

enum class ControlKind {
  GroupBox,
  Label,
  Edit,
  Button,
  CheckBox,
  ComboBox,
  PictureBox,
  Timer,           // no face; period 0 at creation
  SaveFileDialog,  // no face; see SaveDialogDesign
  Invisible,       // a component without a face that the program never addresses
};

// Input and look of a control; combined with |.
enum ControlFlag : std::uint32_t {
  kReadOnly = 1u << 0,
  kDigitsOnly = 1u << 1,  // typed characters other than 0-9 and "-" are refused
  kPassword = 1u << 2,    // shown as "*"
  kCentred = 1u << 3,
  kMultiLine = 1u << 4,
  kVerticalScroll = 1u << 5,
  kHidden = 1u << 6,  // never shown
  kGrey = 1u << 7,    // background RGB 236,236,236
  kHandCursor = 1u << 8,
  kWrapCaption = 1u << 9,  // a check box caption that wraps inside the box
  kChecked = 1u << 10,     // a check box ticked at creation
  kAlignRight = 1u << 11,  // a label whose text ends at its right edge (beside its field)
};

// The background of grey fields, as 0xBBGGRR.
inline constexpr std::uint32_t kGreyBackground = 0xECECEC;
inline constexpr std::uint32_t kWhiteBackground = 0xFFFFFF;

struct SaveDialogDesign {
  const char* filter = "*.txt";
  const char* initialFolder = "C:\\";
  const char* defaultExtension = "txt";
};

struct ControlDesign {
  ControlKind kind;
  const char* name;    // the name the program uses, e.g. "编辑框1"
  const char* parent;  // "" for the window's client area, else a group box's name
  int x, y, width, height;
  const char* text;  // initial text or caption; a save dialog's initial file name
  std::uint32_t flags = 0;
  int maxLength = 0;                 // 0: no limit
  std::vector<const char*> items{};  // combo box items
  SaveDialogDesign dialog{};         // save-file dialogs only
};

struct MenuItemDesign {
  const char* name;     // e.g. "菜单_导出配置"; a popup's name for top-level entries
  const char* caption;  // e.g. "导出配置"
  std::vector<MenuItemDesign> items{};  // the entries of a top-level menu
  bool inMenuBar = true;                // false: a pop-up only (the tray menu)
};

enum WindowStyle : std::uint32_t {
  kFixedBorder = 1u << 0,  // not resizable
  kMinimiseBox = 1u << 1,
  kMaximiseBox = 1u << 2,
};

struct WindowDesign {
  const char* name;
  const char* title;
  int x, y, width, height;  // outer size
  std::uint32_t style;
  std::vector<ControlDesign> controls;
  std::vector<MenuItemDesign> menus{};
};

// The control of a design with that name, or nullptr.
const ControlDesign* findControl(const WindowDesign& design, const char* name);

}  // namespace ui
