// Control properties of a Win32 window, read and written by control name.
#include "shell/ui/Win32Window.h"

namespace ui {

using win32::gbk;
using win32::wide;

namespace {

bool isKind(const Win32Control* control, ControlKind kind) {
  return control && control->design->kind == kind && control->hwnd;
}

Text comboItem(HWND combo, int index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(item.data()));
  item.resize(static_cast<std::size_t>(length));
  return gbk(item);
}

}  // namespace

Text Win32Window::text(const Text& control) const {
  if (control.empty()) return hwnd_ ? win32::windowText(hwnd_) : Text();
  const Win32Control* c = find(control);
  if (!c) return {};
  if (isKind(c, ControlKind::ComboBox)) {
    LRESULT current = SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0);
    return current >= 0 ? comboItem(c->hwnd, static_cast<int>(current)) : c->text;
  }
  if (c->hwnd && c->design->kind != ControlKind::PictureBox) return win32::windowText(c->hwnd);
  return c->text;
}

void Win32Window::setText(const Text& control, const Text& text) {
  if (control.empty()) {
    if (hwnd_) win32::setWindowText(hwnd_, text);
    return;
  }
  Win32Control* c = find(control);
  if (!c) return;
  if (isKind(c, ControlKind::ComboBox)) {
    // A drop-down list shows one of its items: the item with that text is
    // chosen, else none, and the text is shown while none is chosen.
    c->text = text;
    const std::wstring item = wide(text);
    LRESULT index = SendMessageW(c->hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(c->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 ? index : -1), 0);
    showComboText(*c);
  } else if (c->hwnd && c->design->kind != ControlKind::PictureBox) {
    win32::setWindowText(c->hwnd, text);
  } else {
    c->text = text;
  }
}

void Win32Window::appendText(const Text& control, const Text& text) {
  Win32Control* c = find(control);
  if (!c) return;
  if (!isKind(c, ControlKind::Edit)) {
    setText(control, this->text(control) + text);
    return;
  }
  const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthW(c->hwnd));
  SendMessageW(c->hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(c->hwnd, EM_SCROLLCARET, 0, 0);
  const std::wstring added = wide(text);
  SendMessageW(c->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
}

bool Win32Window::disabled(const Text& control) const {
  if (control.empty()) return hwnd_ && !IsWindowEnabled(hwnd_);
  const Win32Control* c = find(control);
  if (!c) return false;
  return c->hwnd ? !IsWindowEnabled(c->hwnd) : c->disabled;
}

void Win32Window::setDisabled(const Text& control, bool disabled) {
  if (control.empty()) {
    if (hwnd_) EnableWindow(hwnd_, !disabled);
    return;
  }
  Win32Control* c = find(control);
  if (!c) return;
  c->disabled = disabled;
  if (c->hwnd) EnableWindow(c->hwnd, !disabled);
}

bool Win32Window::visible(const Text& control) const {
  if (control.empty()) return hwnd_ && IsWindowVisible(hwnd_);
  const Win32Control* c = find(control);
  // A control's own flag: IsWindowVisible would also answer false for every
  // control of a window hidden in the tray.
  return c && c->hwnd && (GetWindowLongW(c->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::setVisible(const Text& control, bool visible) {
  if (control.empty()) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
    return;
  }
  const Win32Control* c = find(control);
  if (c && c->hwnd) ShowWindow(c->hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

ByteBlob Win32Window::picture(const Text& control) const {
  const Win32Control* c = find(control);
  return c ? c->picture : ByteBlob();
}

void Win32Window::setPicture(const Text& control, const ByteBlob& jpeg) {
  Win32Control* c = find(control);
  if (!c || c->design->kind != ControlKind::PictureBox) return;
  c->picture = jpeg;
  if (c->bitmap) DeleteObject(c->bitmap);
  c->bitmap = win32::decodePicture(jpeg);
  if (c->hwnd) InvalidateRect(c->hwnd, nullptr, FALSE);
}

bool Win32Window::checked(const Text& control) const {
  const Win32Control* c = find(control);
  return isKind(c, ControlKind::CheckBox) &&
         SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::setChecked(const Text& control, bool checked) {
  const Win32Control* c = find(control);
  if (isKind(c, ControlKind::CheckBox))
    SendMessageW(c->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Window::currentItem(const Text& control) const {
  const Win32Control* c = find(control);
  if (!isKind(c, ControlKind::ComboBox)) return -1;
  LRESULT current = SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0);
  return current >= 0 ? static_cast<int>(current) : -1;
}

void Win32Window::setCurrentItem(const Text& control, int index) {
  Win32Control* c = find(control);
  if (!isKind(c, ControlKind::ComboBox)) return;
  // An index outside the list leaves no item chosen.
  const LRESULT count = SendMessageW(c->hwnd, CB_GETCOUNT, 0, 0);
  if (index < 0 || index >= count) index = -1;
  SendMessageW(c->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  showComboText(*c);
}

int Win32Window::inputMode(const Text& control) const {
  const Win32Control* c = find(control);
  if (!isKind(c, ControlKind::Edit)) return 0;
  return (GetWindowLongW(c->hwnd, GWL_STYLE) & ES_READONLY) ? 1 : 0;
}

void Win32Window::setInputMode(const Text& control, int mode) {
  const Win32Control* c = find(control);
  if (isKind(c, ControlKind::Edit)) SendMessageW(c->hwnd, EM_SETREADONLY, mode == 1, 0);
}

std::uint32_t Win32Window::background(const Text& control) const {
  if (control.empty()) return windowBackground();
  const Win32Control* c = find(control);
  if (!c) return 0;
  return c->ownBackground ? c->background : windowBackground();
}

void Win32Window::setBackground(const Text& control, std::uint32_t colour) {
  colour &= 0xFFFFFF;
  if (control.empty()) {
    ownBackground_ = true;
    background_ = colour;
    if (backgroundBrush_) DeleteObject(backgroundBrush_);
    backgroundBrush_ = CreateSolidBrush(static_cast<COLORREF>(colour));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
    for (const Win32Control& c : controls_)
      if (c.hwnd && !c.ownBackground) InvalidateRect(c.hwnd, nullptr, TRUE);
    return;
  }
  Win32Control* c = find(control);
  if (!c) return;
  c->ownBackground = true;
  c->background = colour;
  if (c->brush) DeleteObject(c->brush);
  c->brush = nullptr;
  if (c->hwnd) InvalidateRect(c->hwnd, nullptr, TRUE);
}

Rect Win32Window::geometry(const Text& control) const {
  if (control.empty()) {
    RECT outer{};
    if (hwnd_) GetWindowRect(hwnd_, &outer);
    return Rect{desktop_.unscale(outer.left), desktop_.unscale(outer.top),
                desktop_.unscale(outer.right - outer.left),
                desktop_.unscale(outer.bottom - outer.top)};
  }
  const Win32Control* c = find(control);
  return c ? c->place : Rect{};
}

void Win32Window::setGeometry(const Text& control, const Rect& rect) {
  if (control.empty()) {
    if (hwnd_)
      SetWindowPos(hwnd_, nullptr, desktop_.scale(rect.left), desktop_.scale(rect.top),
                   desktop_.scale(rect.width), desktop_.scale(rect.height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  Win32Control* c = find(control);
  if (!c) return;
  c->place = rect;
  moveControl(*c);
}

int Win32Window::clientWidth() const {
  RECT client{};
  if (hwnd_) GetClientRect(hwnd_, &client);
  return desktop_.unscale(client.right);
}

int Win32Window::clientHeight() const {
  RECT client{};
  if (hwnd_) GetClientRect(hwnd_, &client);
  return desktop_.unscale(client.bottom);
}

}  // namespace ui
