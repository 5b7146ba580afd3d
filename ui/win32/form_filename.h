// Choosing a file through Windows' common open or save dialog (GetOpenFileNameW,
// GetSaveFileNameW, the classic Explorer-style dialog with a hook).
//
// ChooseFileName runs one of the two dialogs of a TForm_Filename that exists only
// for the call: filter, title and must-exist rule as given, the proposed name
// expanded to a full path (a name without a file part gets the filter's first
// pattern), its folder as the initial folder, and on confirmation the chosen full
// path, which gets the selected filter's extension when it has none. Picking
// another file type rewrites the extension of the name in the dialog's file-name
// box. The dialog opens centred across the monitor of the active window, its top a
// third of the free height down. The process's current directory is restored
// afterwards; when that fails, EInOutError is raised.
//
// Filters are "description|pattern|..." strings.
#pragma once

#include <windows.h>

#include <functional>

#include "support/text.h"

namespace quenmar::win32 {

class TForm_Filename;

// One of the form's two dialogs: its settings, and while it is open its window.
struct TFileDialog {
  bool saveMode = false;
  Text title = u"Zadejte jméno souboru";
  Text filter = u"*.*|*.*";
  int filterIndex = 1;
  Text initialDir;
  Text fileName;
  bool fileMustExist = false;  // the options kept besides: hide read-only, path must exist, sizing
  HWND handle = nullptr;       // the dialog's window (the hook's parent) while it is open
  void (TForm_Filename::*onTypeChange)(TFileDialog& dialog) = nullptr;
  void (TForm_Filename::*onShow)(TFileDialog& dialog) = nullptr;
};

class TForm_Filename {
 public:
  TForm_Filename();

  TFileDialog SaveDialog1;
  TFileDialog OpenDialog1;

  void OpenDialog1TypeChange(TFileDialog& dialog);
  void SaveDialog1TypeChange(TFileDialog& dialog);
  void SaveDialog1Show(TFileDialog&) {}
  void OpenDialog1Show(TFileDialog&) {}

  // Runs Dialog modally, owned by Owner; true when a name was confirmed.
  bool Execute(TFileDialog& dialog, HWND owner);

 private:
  void UpdateDialogFileName(HWND dialogWindow, const Text& filePath, const Text& filter, int filterIndex);
};

extern TForm_Filename* Form_Filename;

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName,
                    HWND owner = nullptr);

// The file-name box of an open dialog window: control 1152 on Windows; Wine's
// dialog has none and its box is the combo box 1148.
HWND DialogFileNameBox(HWND dialogWindow);

}  // namespace quenmar::win32
