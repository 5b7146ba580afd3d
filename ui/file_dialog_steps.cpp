#include "ui/file_dialog_steps.h"

#include "support/exceptions.h"
#include "support/fields.h"
#include "support/file_names.h"
#include "support/filter_ext.h"
#include "support/platform/paths.h"

namespace quenmar {

FileDialogStart FileDialogStartFor(TextView fileName, TextView filter) {
  FileDialogStart start;
  start.initialFolder = FilePathOf(fileName);
  Text proposed(fileName);
  if (FileNameOf(proposed).empty()) {
    Text rest(filter);
    proposed += NextField(u"|", rest);
  }
  start.fileName = FullFileName(proposed);
  return start;
}

std::optional<Text> NameAfterTypeChange(TextView filePath, TextView filter, int filterIndex) {
  Text name = FileNameOf(filePath);
  if (FileExtOf(filePath).empty() || !ApplyFilterExt(name, filter, filterIndex)) return std::nullopt;
  return name;
}

Text ConfirmedFileName(Text chosen, TextView filter, int filterIndex) {
  if (FileExtOf(chosen).empty()) ApplyFilterExt(chosen, filter, filterIndex);
  return chosen;
}

void RestoreCurrentDir(const Text& savedDirectory) {
  const platform::IoCode restored = platform::SetCurrentDir(savedDirectory);
  if (restored != platform::IoCode::kOk) throw EInOutError(restored, savedDirectory);
}

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName,
                    const FileDialogHook& hook) {
  const Text savedDirectory = platform::GetCurrentDir();
  const FileDialogStart start = FileDialogStartFor(fileName, filter);
  const auto choice = hook(FileDialogRequest{.saveMode = saveMode,
                                             .mustExist = mustExist,
                                             .title = Text(title),
                                             .filter = Text(filter),
                                             .initialFolder = start.initialFolder,
                                             .fileName = start.fileName});
  fileName = choice ? ConfirmedFileName(choice->fileName, filter, choice->filterIndex) : start.fileName;
  RestoreCurrentDir(savedDirectory);
  return choice.has_value();
}

}  // namespace quenmar
