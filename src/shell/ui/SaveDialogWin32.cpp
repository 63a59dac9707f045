// The save-file dialog of a Win32 window.
#include "shell/ui/Win32Window.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

// The dialog's list of file types from the design's filter: "*.txt" gives one
// type "*.txt"; "description|pattern|description|pattern" gives one type per
// pair. The list ends with an empty entry.
std::wstring fileTypes(const Text& filter) {
  std::wstring types;
  std::wstring all = win32::wide(filter);
  if (all.find(L'|') == std::wstring::npos) {
    types = all + L'\0' + all + L'\0';
  } else {
    for (wchar_t& c : all)
      if (c == L'|') c = L'\0';
    types = all + L'\0';
    if (std::count(types.begin(), types.end(), L'\0') % 2 != 0)
      types += all.substr(all.rfind(L'\0') + 1) + L'\0';
  }
  return types + L'\0';
}

}  // namespace

bool Win32Window::runSaveDialog(const Text& dialog) {
  Win32Control* c = find(dialog);
  if (!c || c->design->kind != ControlKind::SaveFileDialog) return false;
  const SaveDialogDesign& design = c->design->dialog;
  const std::wstring types = fileTypes(design.filter ? design.filter : "");
  const std::wstring folder = win32::wide(design.initialFolder ? design.initialFolder : "");
  const std::wstring extension =
      win32::wide(design.defaultExtension ? design.defaultExtension : "");

  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring initial = win32::wide(c->text);
  std::copy_n(initial.begin(), std::min(initial.size(), file.size() - 1), file.begin());

  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = hwnd_;
  request.lpstrFilter = types.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file.data();
  request.nMaxFile = static_cast<DWORD>(file.size());
  request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  request.Flags =
      OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&request)) return false;
  c->text = win32::gbk(file.data());
  return true;
}

}  // namespace ui
