#include "ui/win32/form_filename.h"

#include <commdlg.h>

#include <memory>
#include <vector>

#include "support/fields.h"
#include "support/platform/paths.h"
#include "ui/file_dialog_steps.h"
#include "ui/win32/application.h"

namespace quenmar::win32 {

TForm_Filename* Form_Filename = nullptr;

namespace {

constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kFileNameCombo = 1148;  // cmb13
constexpr DWORD kNameBufferLength = 32768;

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

struct HookContext {
  TForm_Filename* form;
  TFileDialog* dialog;
};

UINT_PTR CALLBACK DialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* options = reinterpret_cast<OPENFILENAMEW*>(lParam);
    ::SetWindowLongPtrW(hook, GWLP_USERDATA, static_cast<LONG_PTR>(options->lCustData));
    return 0;
  }
  auto* context = reinterpret_cast<HookContext*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
  if (context == nullptr || message != WM_NOTIFY) return 0;
  const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
  TFileDialog& dialog = *context->dialog;
  HWND dialogWindow = ::GetParent(hook);
  Guarded(dialogWindow, [&] {
    switch (notice->hdr.code) {
      case CDN_INITDONE:
        dialog.handle = dialogWindow;
        Place(dialogWindow);
        if (dialog.onShow) (context->form->*dialog.onShow)(dialog);
        break;
      case CDN_TYPECHANGE: {
        const int index = static_cast<int>(notice->lpOFN->nFilterIndex);
        if (index == dialog.filterIndex) break;  // only another filter's number is a change
        dialog.filterIndex = index;
        if (dialog.onTypeChange) (context->form->*dialog.onTypeChange)(dialog);
        break;
      }
      default:
        break;
    }
  });
  return 0;
}

// The path the dialog's file-name box names at the moment.
Text CurrentFilePath(HWND dialogWindow) {
  std::vector<wchar_t> buffer(kNameBufferLength);
  const LRESULT length = ::SendMessageW(dialogWindow, CDM_GETFILEPATH, buffer.size(),
                                        reinterpret_cast<LPARAM>(buffer.data()));
  if (length <= 0) return Text();
  return T(buffer.data());
}

}  // namespace

HWND DialogFileNameBox(HWND dialogWindow) {
  if (HWND edit = ::GetDlgItem(dialogWindow, kFileNameEdit)) return edit;
  return ::GetDlgItem(dialogWindow, kFileNameCombo);
}

TForm_Filename::TForm_Filename() {
  SaveDialog1.saveMode = true;
  SaveDialog1.onTypeChange = &TForm_Filename::SaveDialog1TypeChange;
  SaveDialog1.onShow = &TForm_Filename::SaveDialog1Show;
  OpenDialog1.onTypeChange = &TForm_Filename::OpenDialog1TypeChange;
  OpenDialog1.onShow = &TForm_Filename::OpenDialog1Show;
}

void TForm_Filename::OpenDialog1TypeChange(TFileDialog& dialog) {
  UpdateDialogFileName(dialog.handle, dialog.handle ? CurrentFilePath(dialog.handle) : Text(), dialog.filter,
                       dialog.filterIndex);
}

void TForm_Filename::SaveDialog1TypeChange(TFileDialog& dialog) { OpenDialog1TypeChange(dialog); }

void TForm_Filename::UpdateDialogFileName(HWND dialogWindow, const Text& filePath, const Text& filter,
                                          int filterIndex) {
  if (dialogWindow == nullptr) return;
  const auto name = NameAfterTypeChange(filePath, filter, filterIndex);
  if (!name) return;
  // Windows' box is control 1152; where it does not exist, as under Wine, the
  // request goes to 1148, the combo box that holds the name there.
  const int control = ::GetDlgItem(dialogWindow, kFileNameEdit) ? kFileNameEdit : kFileNameCombo;
  ::SendMessageW(dialogWindow, CDM_SETCONTROLTEXT, control, reinterpret_cast<LPARAM>(W(*name)));
}

bool TForm_Filename::Execute(TFileDialog& dialog, HWND owner) {
  std::vector<wchar_t> name(kNameBufferLength, L'\0');
  const Text proposed = dialog.fileName.substr(0, kNameBufferLength - 1);
  std::copy(proposed.begin(), proposed.end(), name.begin());
  const std::vector<wchar_t> filter = DialogFilter(dialog.filter);
  HookContext context{this, &dialog};

  OPENFILENAMEW options{};
  options.lStructSize = sizeof options;
  options.hwndOwner = owner;
  options.lpstrFilter = filter.data();
  options.nFilterIndex = static_cast<DWORD>(dialog.filterIndex);
  options.lpstrFile = name.data();
  options.nMaxFile = kNameBufferLength;
  options.lpstrInitialDir = dialog.initialDir.empty() ? nullptr : W(dialog.initialDir);
  options.lpstrTitle = W(dialog.title);
  options.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING |
                  (dialog.fileMustExist ? OFN_FILEMUSTEXIST : 0);
  options.lpfnHook = DialogHook;
  options.lCustData = reinterpret_cast<LPARAM>(&context);

  const BOOL confirmed = dialog.saveMode ? ::GetSaveFileNameW(&options) : ::GetOpenFileNameW(&options);
  dialog.handle = nullptr;
  dialog.filterIndex = static_cast<int>(options.nFilterIndex);
  if (confirmed) dialog.fileName = T(name.data());
  return confirmed != FALSE;
}

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName, HWND owner) {
  auto form = std::make_unique<TForm_Filename>();
  Form_Filename = form.get();
  const Text savedDirectory = platform::GetCurrentDir();

  const FileDialogStart start = FileDialogStartFor(fileName, filter);
  const Text& initialFolder = start.initialFolder;
  const Text& proposed = start.fileName;

  TFileDialog& dialog = saveMode ? form->SaveDialog1 : form->OpenDialog1;
  dialog.title = Text(title);
  dialog.fileMustExist = mustExist;
  dialog.filter = Text(filter);
  dialog.fileName = proposed;
  dialog.initialDir = initialFolder;

  const bool confirmed = form->Execute(dialog, owner);
  if (confirmed) {
    fileName = ConfirmedFileName(dialog.fileName, dialog.filter, dialog.filterIndex);
  } else {
    fileName = proposed;
  }

  Form_Filename = nullptr;
  form.reset();
  RestoreCurrentDir(savedDirectory);
  return confirmed;
}

}  // namespace quenmar::win32
