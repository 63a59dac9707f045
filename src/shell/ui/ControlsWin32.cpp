// The child controls of a Win32 window: creation from the design, their
// keystroke filter and mouse events, colours, and the owner-drawn picture box
// and combo box.
#include "shell/ui/Win32Window.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>

namespace ui {

namespace {

constexpr wchar_t kNameProperty[] = L"QuenthorName";
constexpr UINT_PTR kSubclassId = 1;

bool isFaceless(ControlKind kind) {
  return kind == ControlKind::Timer || kind == ControlKind::SaveFileDialog ||
         kind == ControlKind::Invisible;
}

struct WindowClassAndStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

WindowClassAndStyle classAndStyle(const ControlDesign& design) {
  const std::uint32_t f = design.flags;
  switch (design.kind) {
    case ControlKind::GroupBox:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: {
      DWORD align = (f & kAlignRight) ? SS_RIGHT : (f & kCentred) ? SS_CENTER : SS_LEFT;
      // A one-line label is centred on its line, beside the field it names.
      DWORD oneLine = design.height < 32 ? SS_CENTERIMAGE : 0;
      return {L"STATIC", align | oneLine | SS_NOPREFIX | SS_NOTIFY, 0};
    }
    case ControlKind::Edit: {
      DWORD style = WS_TABSTOP;
      if (f & kReadOnly) style |= ES_READONLY;
      if (f & kCentred) style |= ES_CENTER;
      if (f & kPassword) style |= ES_PASSWORD;
      if (f & kMultiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL;
        if (!(f & kReadOnly)) style |= ES_WANTRETURN;
      } else {
        style |= ES_AUTOHSCROLL;
      }
      if (f & kVerticalScroll) style |= WS_VSCROLL;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | ((f & kWrapCaption) ? BS_MULTILINE : 0u), 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | ((f & kWrapCaption) ? BS_MULTILINE : 0u),
              0};
    case ControlKind::ComboBox:
      // Owner-drawn so that it can show its text while no item is chosen.
      return {L"COMBOBOX",
              CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::PictureBox:
      return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
    default:
      return {nullptr, 0, 0};
  }
}

int fontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old =
      SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}

// The closed combo box as high as the design says: its frame differs between
// systems, so the selection field is corrected by what is measured.
void fitComboHeight(HWND combo, int height) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    RECT closed{};
    GetWindowRect(combo, &closed);
    const int difference = height - (closed.bottom - closed.top);
    const LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (difference == 0 || field <= 0) return;
    // The frame does not grow in step with the field everywhere: one pixel
    // at a time once close.
    const int step = difference > 2 || difference < -2 ? difference / 2 : (difference > 0 ? 1 : -1);
    if (field + step <= 0) return;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + step);
  }
}

COLORREF colour(std::uint32_t bbggrr) { return static_cast<COLORREF>(bbggrr & 0xFFFFFF); }

}  // namespace

void Win32Window::createControls() {
  controls_.resize(design_.controls.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    Win32Control& control = controls_[i];
    const ControlDesign& d = design_.controls[i];
    control.design = &d;
    control.place = Rect{d.x, d.y, d.width, d.height};
    control.text = d.text ? d.text : "";
    if (d.kind == ControlKind::Edit) {
      control.ownBackground = true;
      control.background = (d.flags & kGrey) ? kGreyBackground : kWhiteBackground;
    }
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) createControl(i);

  // Group boxes lie under the controls they hold, the larger boxes under the
  // smaller ones, so that no box paints over what is inside it.
  std::vector<Win32Control*> boxes;
  for (Win32Control& control : controls_)
    if (control.design->kind == ControlKind::GroupBox && control.hwnd) boxes.push_back(&control);
  std::stable_sort(boxes.begin(), boxes.end(), [](const Win32Control* a, const Win32Control* b) {
    return a->place.width * a->place.height < b->place.width * b->place.height;
  });
  for (Win32Control* box : boxes)
    SetWindowPos(box->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Window::createControl(std::size_t index) {
  Win32Control& control = controls_[index];
  const ControlDesign& d = *control.design;
  if (isFaceless(d.kind)) return;
  WindowClassAndStyle kind = classAndStyle(d);
  if (!kind.className) return;

  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
  if (!(d.flags & kHidden)) style |= WS_VISIBLE;
  const Rect place = clientPlace(control);
  int height = desktop_.scale(place.height);
  // A combo box's window height includes its dropped-down list.
  if (d.kind == ControlKind::ComboBox) height += desktop_.scale(200);
  const bool showsText = d.kind != ControlKind::ComboBox && d.kind != ControlKind::PictureBox;
  const std::wstring text = showsText ? win32::wide(control.text) : std::wstring();

  control.hwnd =
      CreateWindowExW(kind.exStyle, kind.className, text.c_str(), style, desktop_.scale(place.left),
                      desktop_.scale(place.top), desktop_.scale(place.width), height, hwnd_,
                      reinterpret_cast<HMENU>(
                          static_cast<INT_PTR>(win32::kFirstControlId + static_cast<int>(index))),
                      desktop_.instance(), nullptr);
  if (!control.hwnd) return;
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(desktop_.font()), FALSE);
  SetWindowSubclass(control.hwnd, controlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  win32::setNameProperty(control.hwnd, kNameProperty, win32::wide(d.name));

  switch (d.kind) {
    case ControlKind::Edit:
      // 0 lifts the edit control's default limit of 32767 characters.
      SendMessageW(control.hwnd, EM_SETLIMITTEXT,
                   static_cast<WPARAM>(d.maxLength > 0 ? d.maxLength : 0), 0);
      if (d.flags & kPassword) SendMessageW(control.hwnd, EM_SETPASSWORDCHAR, L'*', 0);
      // Text composed by an input method arrives without WM_CHAR filtering, so
      // number fields take no input method at all.
      if (d.flags & kDigitsOnly) ImmAssociateContextEx(control.hwnd, nullptr, 0);
      break;
    case ControlKind::CheckBox:
      if (d.flags & kChecked) SendMessageW(control.hwnd, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case ControlKind::ComboBox:
      for (const char* item : d.items) {
        const std::wstring itemText = win32::wide(item);
        SendMessageW(control.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(itemText.c_str()));
      }
      showComboText(control);
      fitComboHeight(control.hwnd, desktop_.scale(place.height));
      break;
    default:
      break;
  }
}

Rect Win32Window::clientPlace(const Win32Control& control) const {
  Rect place = control.place;
  const char* parent = control.design->parent;
  for (int depth = 0; parent && *parent && depth < 16; ++depth) {
    const Win32Control* box = find(parent);
    if (!box) break;
    place.left += box->place.left;
    place.top += box->place.top;
    parent = box->design->parent;
  }
  return place;
}

void Win32Window::moveControl(Win32Control& control) {
  if (control.hwnd) {
    const Rect place = clientPlace(control);
    int height = desktop_.scale(place.height);
    if (control.design->kind == ControlKind::ComboBox) height += desktop_.scale(200);
    SetWindowPos(control.hwnd, nullptr, desktop_.scale(place.left), desktop_.scale(place.top),
                 desktop_.scale(place.width), height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (control.design->kind != ControlKind::GroupBox) return;
  for (Win32Control& inner : controls_)
    if (inner.design->parent && control.design->name == Text(inner.design->parent))
      moveControl(inner);
}

// The combo box's window text follows what it shows (the chosen item, else
// its own text), so that GetWindowText from outside reads it.
void Win32Window::showComboText(Win32Control& control) {
  const std::wstring shown = win32::wide(text(control.design->name));
  DefWindowProcW(control.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  InvalidateRect(control.hwnd, nullptr, TRUE);
}

LRESULT CALLBACK Win32Window::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, controlProc, kSubclassId);
    win32::removeNameProperty(hwnd, kNameProperty);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  auto* window = reinterpret_cast<Win32Window*>(self);
  Win32Control* control = window->fromId(GetDlgCtrlID(hwnd));
  if (!control || control->hwnd != hwnd) return DefSubclassProc(hwnd, message, wParam, lParam);
  return window->handleControl(*control, message, wParam, lParam);
}

LRESULT Win32Window::handleControl(Win32Control& control, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  const HWND hwnd = control.hwnd;
  const std::uint32_t flags = control.design->flags;
  switch (message) {
    case WM_CHAR:
      // Typed characters other than digits and "-" are refused; control
      // characters (backspace, Ctrl+V, Ctrl+C ...) pass, and pasted text is
      // not filtered.
      if ((flags & kDigitsOnly) && wParam >= 0x20 && !(wParam >= L'0' && wParam <= L'9') &&
          wParam != L'-')
        return 0;
      break;
    case WM_SETCURSOR:
      if (flags & kHandCursor) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      // While no item is chosen a combo box shows its own text; reading its
      // window text, here or from another process, gives what it shows.
      if (control.design->kind == ControlKind::ComboBox &&
          DefSubclassProc(hwnd, CB_GETCURSEL, 0, 0) < 0) {
        const std::wstring shown = win32::wide(control.text);
        if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(shown.size());
        if (wParam == 0) return 0;
        const std::size_t n = std::min<std::size_t>(shown.size(), wParam - 1);
        shown.copy(reinterpret_cast<wchar_t*>(lParam), n);
        reinterpret_cast<wchar_t*>(lParam)[n] = L'\0';
        return static_cast<LRESULT>(n);
      }
      break;
    case WM_LBUTTONDOWN: {
      LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      fire(events.mouseDown, control.design->name);
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::uint32_t Win32Window::windowBackground() const {
  return ownBackground_ ? background_ : static_cast<std::uint32_t>(GetSysColor(COLOR_BTNFACE));
}

HBRUSH Win32Window::brushFor(Win32Control& control) {
  if (!control.ownBackground)
    return backgroundBrush_ ? backgroundBrush_ : GetSysColorBrush(COLOR_BTNFACE);
  if (!control.brush) control.brush = CreateSolidBrush(colour(control.background));
  return control.brush;
}

LRESULT Win32Window::onColour(HDC dc, HWND child, UINT message) {
  Win32Control* control = fromId(GetDlgCtrlID(child));
  if (!control || control->hwnd != child)
    return DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
  HBRUSH brush = brushFor(*control);
  SetBkColor(dc, colour(control->ownBackground ? control->background : windowBackground()));
  if (control->design->kind == ControlKind::Edit) {
    if (!IsWindowEnabled(child)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetBkMode(dc, TRANSPARENT);
  }
  return reinterpret_cast<LRESULT>(brush);
}

void Win32Window::onMeasureItem(MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_COMBOBOX) return;
  const int text = fontHeight(desktop_.font());
  Win32Control* control = fromId(static_cast<int>(item.CtlID));
  if (item.itemID == static_cast<UINT>(-1) && control) {
    // The selection field: the design's height less the combo box's frame.
    item.itemHeight =
        static_cast<UINT>(std::max(text + 2, desktop_.scale(control->place.height) - 6));
  } else {
    item.itemHeight = static_cast<UINT>(text + desktop_.scale(4));
  }
}

bool Win32Window::onDrawItem(const DRAWITEMSTRUCT& item) {
  Win32Control* control = fromId(static_cast<int>(item.CtlID));
  if (!control || control->hwnd != item.hwndItem) return false;
  HDC dc = item.hDC;
  RECT area = item.rcItem;

  if (item.CtlType == ODT_STATIC) {  // the picture box
    if (!control->bitmap) {
      FillRect(dc, &area, brushFor(*control));
      return true;
    }
    BITMAP info{};
    GetObjectW(control->bitmap, sizeof(info), &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, control->bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0,
               0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return true;
  }

  if (item.CtlType == ODT_COMBOBOX) {
    std::wstring shown;
    if (item.itemID == static_cast<UINT>(-1)) {
      shown = win32::wide(control->text);
    } else {
      LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
      if (length > 0) {
        shown.assign(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID,
                     reinterpret_cast<LPARAM>(shown.data()));
        shown.resize(static_cast<std::size_t>(length));
      }
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = !(item.itemState & ODS_DISABLED);
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                 : selected ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_WINDOWTEXT));
    RECT textArea = area;
    textArea.left += desktop_.scale(3);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &textArea,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
      DrawFocusRect(dc, &area);
    return true;
  }
  return false;
}

}  // namespace ui
