#include "ui/qt/form_filename.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>

#include "support/fields.h"
#include "support/file_names.h"
#include "support/platform/paths.h"
#include "ui/file_dialog_steps.h"

namespace quenmar {

TForm_Filename* Form_Filename = nullptr;

namespace {

DialogRunner& Runner() {
  static DialogRunner runner = [](QFileDialog& dialog) { return dialog.exec(); };
  return runner;
}

const char* const kFilterProperty = "quenmarFilter";
const char* const kIndexProperty = "quenmarFilterIndex";

QString Q(TextView text) { return QString::fromStdU16String(std::u16string(text)); }
Text T(const QString& text) { return text.toStdU16String(); }

// "description|pattern|..." to Qt's name filters: "description (pattern ...)".
QStringList NameFilters(TextView filter) {
  QStringList filters;
  Text rest(filter);
  while (!rest.empty()) {
    const Text description = NextField(u"|", rest);
    Text pattern = NextField(u"|", rest);
    for (char16_t& c : pattern) {
      if (c == u';') c = u' ';
    }
    filters << Q(description) + " (" + Q(pattern) + ")";
  }
  if (filters.isEmpty()) filters << "* (*)";
  return filters;
}

// Centred across the monitor of the active window (the primary one when there is
// none), its top a third of the free height down.
void Place(QFileDialog* dialog) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (QWidget* active = QApplication::activeWindow()) screen = active->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = dialog->size().expandedTo(dialog->sizeHint());
  dialog->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 3);
}

void Configure(QFileDialog* dialog) {
  dialog->setWindowTitle(QStringLiteral("Zadejte jméno souboru"));
  // Qt's own dialog everywhere: its file-type signal and its file-name box work
  // the same on every platform. Read-only check box: none to hide.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  // The type list shows each filter's description alone.
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  dialog->setSizeGripEnabled(true);
  TForm_Filename::SetFilter(*dialog, u"*.*|*.*");
}

}  // namespace

void SetDialogRunner(DialogRunner runner) { Runner() = std::move(runner); }

TForm_Filename::TForm_Filename()
    : SaveDialog1(new QFileDialog(nullptr)), OpenDialog1(new QFileDialog(nullptr)) {
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  Configure(SaveDialog1);
  Configure(OpenDialog1);
  Watch(SaveDialog1, &TForm_Filename::SaveDialog1TypeChange);
  Watch(OpenDialog1, &TForm_Filename::OpenDialog1TypeChange);
}

TForm_Filename::~TForm_Filename() {
  delete SaveDialog1;
  delete OpenDialog1;
}

void TForm_Filename::Watch(QFileDialog* dialog, void (TForm_Filename::*handler)(QFileDialog*)) {
  connect(dialog, &QFileDialog::filterSelected, this, [this, dialog, handler](const QString&) {
    const int index = FilterIndexOf(*dialog);
    // Only a change of the filter's number counts as a type change.
    if (index == dialog->property(kIndexProperty).toInt()) return;
    dialog->setProperty(kIndexProperty, index);
    (this->*handler)(dialog);
  });
}

Text TForm_Filename::FilterOf(const QFileDialog& dialog) { return T(dialog.property(kFilterProperty).toString()); }

int TForm_Filename::FilterIndexOf(const QFileDialog& dialog) {
  // With the filters' patterns hidden, Qt names the selected filter by its
  // description alone, which two filters may share: the type list's position
  // decides.
  if (const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
    if (types->currentIndex() >= 0) return types->currentIndex() + 1;
  }
  const int at = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  return at < 0 ? 1 : at + 1;
}

void TForm_Filename::SetFilter(QFileDialog& dialog, TextView filter) {
  dialog.setProperty(kFilterProperty, Q(filter));
  dialog.setNameFilters(NameFilters(filter));
  dialog.selectNameFilter(dialog.nameFilters().value(0));
  dialog.setProperty(kIndexProperty, 1);
}

void TForm_Filename::OpenDialog1TypeChange(QFileDialog* dialog) {
  const QStringList selected = dialog->selectedFiles();
  UpdateDialogFileName(dialog, selected.isEmpty() ? Text() : T(selected.first()), FilterOf(*dialog),
                       FilterIndexOf(*dialog));
}

void TForm_Filename::SaveDialog1TypeChange(QFileDialog* dialog) { OpenDialog1TypeChange(dialog); }

void TForm_Filename::UpdateDialogFileName(QFileDialog* dialog, const Text& filePath, const Text& filter,
                                          int filterIndex) {
  if (dialog == nullptr || !dialog->isVisible()) return;
  const auto name = NameAfterTypeChange(filePath, filter, filterIndex);
  if (!name) return;
  // Only the name part goes into the box, as the user would type it.
  if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    box->setText(Q(*name));
  } else {
    dialog->selectFile(Q(*name));
  }
}

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName) {
  auto form = std::make_unique<TForm_Filename>();
  Form_Filename = form.get();
  const Text savedDirectory = platform::GetCurrentDir();

  const FileDialogStart start = FileDialogStartFor(fileName, filter);
  const Text& initialFolder = start.initialFolder;
  const Text& proposed = start.fileName;

  QFileDialog* dialog = saveMode ? form->SaveDialog1 : form->OpenDialog1;
  dialog->setWindowTitle(Q(title));
  dialog->setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  TForm_Filename::SetFilter(*dialog, filter);
  if (!initialFolder.empty()) dialog->setDirectory(Q(FullFileName(initialFolder)));
  dialog->selectFile(Q(proposed));

  Place(dialog);
  bool confirmed = Runner()(*dialog) == QDialog::Accepted;
  if (confirmed) {
    const QStringList selected = dialog->selectedFiles();
    confirmed = !selected.isEmpty();
    if (confirmed) {
      fileName = ConfirmedFileName(T(selected.first()), TForm_Filename::FilterOf(*dialog),
                                   TForm_Filename::FilterIndexOf(*dialog));
    }
  }
  if (!confirmed) fileName = proposed;

  // The form and its dialogs go with this call on every path, also when the
  // directory cannot be restored.
  Form_Filename = nullptr;
  form.reset();
  RestoreCurrentDir(savedDirectory);
  return confirmed;
}

}  // namespace quenmar
