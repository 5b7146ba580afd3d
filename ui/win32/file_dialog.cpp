#include "ui/win32/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "support/fields.h"
#include "ui/win32/application.h"

namespace quenmar::win32 {

namespace {

constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kFileNameCombo = 1148;  // cmb13
constexpr DWORD kNameBufferLength = 32768;
// Room for the folder and the names of a few thousand files; a choice that does
// not fit makes the dialog fail (FNERR_BUFFERTOOSMALL), which counts as cancelled.
constexpr DWORD kSeveralNamesBufferLength = 1 << 20;

// "description|pattern|..." as the dialog takes it: pairs of texts, each ended by a
// NUL, the list by one more.
std::vector<wchar_t> DialogFilter(const Text& filter) {
  std::vector<wchar_t> list;
  Text rest = filter;
  while (!rest.empty()) {
    for (const Text& field : {NextField(u"|", rest), NextField(u"|", rest)}) {
      list.insert(list.end(), field.begin(), field.end());
      list.push_back(L'\0');
    }
  }
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

// Centred across the monitor of the active window (the primary one when there is
// none), its top a third of the free height down.
void Place(HWND dialogWindow) {
  HWND active = ::GetActiveWindow();
  if (active == dialogWindow) active = ::GetWindow(dialogWindow, GW_OWNER);
  HMONITOR monitor = active != nullptr ? ::MonitorFromWindow(active, MONITOR_DEFAULTTOPRIMARY)
                                       : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return;
  RECT frame;
  ::GetWindowRect(dialogWindow, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const RECT& area = info.rcWork;
  ::SetWindowPos(dialogWindow, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog while it is open, as its hook procedure sees it.
struct OpenDialog {
  Text filter;
  int filterIndex = 1;    // the filter selected, from 1
  HWND handle = nullptr;  // the dialog's window (the hook's parent) once it is up
};

// The path the dialog's file-name box names at the moment.
Text CurrentFilePath(HWND dialogWindow) {
  std::vector<wchar_t> buffer(kNameBufferLength);
  const LRESULT length = ::SendMessageW(dialogWindow, CDM_GETFILEPATH, buffer.size(),
                                        reinterpret_cast<LPARAM>(buffer.data()));
  if (length <= 0) return Text();
  return T(buffer.data());
}

// Picking another file type puts the name with the new type's extension into the
// file-name box, as the user would type it.
void RewriteNameOnTypeChange(const OpenDialog& dialog) {
  if (dialog.handle == nullptr) return;
  const auto name = NameAfterTypeChange(CurrentFilePath(dialog.handle), dialog.filter, dialog.filterIndex);
  if (!name) return;
  // Windows' box is control 1152; where it does not exist, as under Wine, the
  // request goes to 1148, the combo box that holds the name there.
  const int control = ::GetDlgItem(dialog.handle, kFileNameEdit) ? kFileNameEdit : kFileNameCombo;
  ::SendMessageW(dialog.handle, CDM_SETCONTROLTEXT, control, reinterpret_cast<LPARAM>(W(*name)));
}

UINT_PTR CALLBACK DialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* options = reinterpret_cast<OPENFILENAMEW*>(lParam);
    ::SetWindowLongPtrW(hook, GWLP_USERDATA, static_cast<LONG_PTR>(options->lCustData));
    return 0;
  }
  auto* dialog = reinterpret_cast<OpenDialog*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
  if (dialog == nullptr || message != WM_NOTIFY) return 0;
  const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
  HWND dialogWindow = ::GetParent(hook);
  Guarded(dialogWindow, [&] {
    switch (notice->hdr.code) {
      case CDN_INITDONE:
        dialog->handle = dialogWindow;
        Place(dialogWindow);
        break;
      case CDN_TYPECHANGE: {
        const int index = static_cast<int>(notice->lpOFN->nFilterIndex);
        if (index == dialog->filterIndex) break;  // only another filter's number is a change
        dialog->filterIndex = index;
        RewriteNameOnTypeChange(*dialog);
        break;
      }
      default:
        break;
    }
  });
  return 0;
}

std::optional<FileDialogChoice> ShowDialog(const FileDialogRequest& request, HWND owner) {
  const bool several = request.multiSelect && !request.saveMode;
  std::vector<wchar_t> name(several ? kSeveralNamesBufferLength : kNameBufferLength, L'\0');
  const Text proposed = request.fileName.substr(0, kNameBufferLength - 1);
  std::copy(proposed.begin(), proposed.end(), name.begin());
  const std::vector<wchar_t> filter = DialogFilter(request.filter);
  OpenDialog dialog{request.filter};

  OPENFILENAMEW options{};
  options.lStructSize = sizeof options;
  options.hwndOwner = owner;
  options.lpstrFilter = filter.data();
  options.nFilterIndex = static_cast<DWORD>(dialog.filterIndex);
  options.lpstrFile = name.data();
  options.nMaxFile = static_cast<DWORD>(name.size());
  options.lpstrInitialDir = request.initialFolder.empty() ? nullptr : W(request.initialFolder);
  options.lpstrTitle = W(request.title);
  options.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING |
                  (request.mustExist ? OFN_FILEMUSTEXIST : 0) | (several ? OFN_ALLOWMULTISELECT : 0);
  options.lpfnHook = DialogHook;
  options.lCustData = reinterpret_cast<LPARAM>(&dialog);

  const BOOL confirmed = request.saveMode ? ::GetSaveFileNameW(&options) : ::GetOpenFileNameW(&options);
  if (!confirmed) return std::nullopt;
  const int filterIndex = static_cast<int>(options.nFilterIndex);
  if (!several) return FileDialogChoice{T(name.data()), filterIndex};
  std::vector<Text> paths = ChosenPathsIn(TextView(reinterpret_cast<const char16_t*>(name.data()), name.size()),
                                          options.nFileOffset);
  if (paths.empty()) return std::nullopt;
  FileDialogChoice choice{paths.front(), filterIndex};
  choice.moreFileNames.assign(paths.begin() + 1, paths.end());
  return choice;
}

}  // namespace

HWND DialogFileNameBox(HWND dialogWindow) {
  if (HWND edit = ::GetDlgItem(dialogWindow, kFileNameEdit)) return edit;
  return ::GetDlgItem(dialogWindow, kFileNameCombo);
}

FileDialogHook CommonFileDialog(HWND owner) {
  return [owner](const FileDialogRequest& request) { return ShowDialog(request, owner); };
}

}  // namespace quenmar::win32
