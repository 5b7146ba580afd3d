#include "ui/qt/file_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>

#include "support/fields.h"
#include "support/file_names.h"

namespace quenmar {
namespace {

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

// The number of the selected filter, from 1. With the filters' patterns hidden, Qt
// names the selected filter by its description alone, which two filters may
// share: the type list's position decides.
int FilterIndexOf(const QFileDialog& dialog) {
  if (const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
    if (types->currentIndex() >= 0) return types->currentIndex() + 1;
  }
  const int at = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  return at < 0 ? 1 : at + 1;
}

// Centred across the monitor of the active window (the primary one when there is
// none), its top a third of the free height down.
void Place(QFileDialog& dialog) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (QWidget* active = QApplication::activeWindow()) screen = active->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = dialog.size().expandedTo(dialog.sizeHint());
  dialog.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 3);
}

// Picking another file type puts the name with the new type's extension into the
// file-name box, as the user would type it.
void RewriteNameOnTypeChange(QFileDialog& dialog, const Text& filter) {
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, filter, shownIndex = 1](const QString&) mutable {
                     const int index = FilterIndexOf(dialog);
                     // Only a change of the filter's number counts as a type change.
                     if (index == shownIndex) return;
                     shownIndex = index;
                     if (!dialog.isVisible()) return;
                     const QStringList selected = dialog.selectedFiles();
                     const auto name =
                         NameAfterTypeChange(selected.isEmpty() ? Text() : T(selected.first()), filter, index);
                     if (!name) return;
                     if (auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                       box->setText(Q(*name));
                     } else {
                       dialog.selectFile(Q(*name));
                     }
                   });
}

std::optional<FileDialogChoice> ShowDialog(const FileDialogRequest& request, const DialogRunner& runner) {
  QFileDialog dialog(nullptr);
  dialog.setAcceptMode(request.saveMode ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Read-only check box: Qt's dialog has none to hide.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setSizeGripEnabled(true);
  dialog.setWindowTitle(Q(request.title));
  if (request.multiSelect && !request.saveMode) {
    dialog.setFileMode(QFileDialog::ExistingFiles);
  } else {
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  dialog.setNameFilters(NameFilters(request.filter));
  dialog.selectNameFilter(dialog.nameFilters().value(0));
  RewriteNameOnTypeChange(dialog, request.filter);
  if (!request.initialFolder.empty()) dialog.setDirectory(Q(FullFileName(request.initialFolder)));
  dialog.selectFile(Q(request.fileName));

  Place(dialog);
  if (runner(dialog) != QDialog::Accepted) return std::nullopt;
  const QStringList selected = dialog.selectedFiles();
  if (selected.isEmpty()) return std::nullopt;
  FileDialogChoice choice{T(selected.first()), FilterIndexOf(dialog)};
  for (qsizetype i = 1; i < selected.size(); ++i) choice.moreFileNames.push_back(T(selected[i]));
  return choice;
}

}  // namespace

int RunModally(QFileDialog& dialog) { return dialog.exec(); }

FileDialogHook QtFileDialog(DialogRunner runner) {
  return [runner = std::move(runner)](const FileDialogRequest& request) { return ShowDialog(request, runner); };
}

}  // namespace quenmar
