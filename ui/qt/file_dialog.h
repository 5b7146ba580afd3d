// The open and save dialogs in Qt: the hook through which ChooseFileName
// (ui/file_dialog_steps.h) shows a file dialog.
//
// The dialog is Qt's own on every platform, so its file-type signal and its
// file-name box work the same everywhere. It is made for one request and goes when
// the hook returns: titled, filtered and bound to existing files as the request
// says (several existing ones when it allows several), its type list showing each filter's description alone, resizable, opened
// in the request's folder on its proposed name, centred across the monitor of the
// active window (the primary one when there is none), its top a third of the free
// height down.
#pragma once

#include <QFileDialog>
#include <functional>

#include "ui/file_dialog_steps.h"

namespace quenmar {

// Runs a dialog and returns QDialog::Accepted or Rejected. Tests pass their own to
// script the dialog.
using DialogRunner = std::function<int(QFileDialog&)>;

// The user's turn: the dialog, modal, until it is closed.
int RunModally(QFileDialog& dialog);

// The hook that shows Qt's dialog and has Runner run it.
FileDialogHook QtFileDialog(DialogRunner runner = RunModally);

}  // namespace quenmar
