// The open and save dialogs on Win32: the hook through which ChooseFileName
// (ui/file_dialog_steps.h) shows Windows' common dialog (GetOpenFileNameW,
// GetSaveFileNameW: the classic Explorer-style dialog with a hook procedure).
//
// The dialog is made for one request and goes when the hook returns: owned by the
// given window, titled, filtered and bound to existing files as the request says
// (several files when it allows several, read by ChosenPathsIn), without the
// read-only box, accepting only paths whose folder exists, resizable,
// opened in the request's folder on its proposed name, centred across the monitor
// of the active window (the primary one when there is none), its top a third of
// the free height down. An error in its notifications goes to the error report
// (Guarded), owned by the dialog.
#pragma once

#include <windows.h>

#include "ui/file_dialog_steps.h"

namespace quenmar::win32 {

// The hook that shows the common dialog owned by Owner (none for nullptr).
FileDialogHook CommonFileDialog(HWND owner);

// The file-name box of an open dialog window: control 1152 on Windows; Wine's
// dialog has none and its box is the combo box 1148.
HWND DialogFileNameBox(HWND dialogWindow);

}  // namespace quenmar::win32
