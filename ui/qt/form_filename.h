// Choosing a file through the platform's open or save dialog.
//
// ChooseFileName runs one of the two dialogs of a hidden TForm_Filename that
// exists only for the call: filter, title and must-exist rule as given, the
// proposed name expanded to a full path (a name without a file part gets the
// filter's first pattern), and on confirmation the chosen full path, which gets
// the selected filter's extension when it has none. Picking another file type in
// the dialog rewrites the extension in its file-name box. The process's current
// directory is restored afterwards; when that fails, EInOutError is raised.
//
// Filters are "description|pattern|..." strings; patterns match without regard to
// case on every platform.
#pragma once

#include <QFileDialog>
#include <QObject>
#include <functional>
#include <memory>

#include "support/text.h"

namespace quenmar {

class TForm_Filename : public QObject {
  Q_OBJECT

 public:
  TForm_Filename();
  ~TForm_Filename() override;

  QFileDialog* SaveDialog1;
  QFileDialog* OpenDialog1;

  // The filter string and the number of the selected filter, from 1.
  static Text FilterOf(const QFileDialog& dialog);
  static int FilterIndexOf(const QFileDialog& dialog);
  static void SetFilter(QFileDialog& dialog, TextView filter);

 public slots:
  void OpenDialog1TypeChange(QFileDialog* dialog);
  void SaveDialog1TypeChange(QFileDialog* dialog);
  void SaveDialog1Show(QFileDialog*) {}
  void OpenDialog1Show(QFileDialog*) {}

 private:
  void UpdateDialogFileName(QFileDialog* dialog, const Text& filePath, const Text& filter, int filterIndex);
  void Watch(QFileDialog* dialog, void (TForm_Filename::*handler)(QFileDialog*));
};

extern TForm_Filename* Form_Filename;

// Runs a dialog modally and returns QDialog::Accepted or Rejected. Tests replace
// it to script the dialog.
using DialogRunner = std::function<int(QFileDialog&)>;
void SetDialogRunner(DialogRunner runner);

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName);

}  // namespace quenmar
