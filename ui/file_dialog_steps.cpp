#include "ui/file_dialog_steps.h"

#include <algorithm>

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

std::vector<Text> ChosenPathsIn(TextView answer, size_t fileOffset) {
  // The texts from At on, each ended by a NUL, up to an empty one or the end.
  auto textsFrom = [answer](size_t at) {
    std::vector<Text> texts;
    while (at < answer.size() && answer[at] != u'\0') {
      const size_t end = std::min(answer.find(u'\0', at), answer.size());
      texts.emplace_back(answer.substr(at, end - at));
      at = end + 1;
    }
    return texts;
  };
  std::vector<Text> paths = textsFrom(0);
  const bool several = !paths.empty() && fileOffset == paths.front().size() + 1;
  if (!several) {
    paths.resize(std::min<size_t>(paths.size(), 1));
    return paths;
  }
  const Text folder = paths.front();
  const Text separator = folder.back() == platform::kPathSeparator ? Text() : Text(1, platform::kPathSeparator);
  paths.clear();
  for (const Text& name : textsFrom(fileOffset)) paths.push_back(folder + separator + name);
  return paths;
}

namespace {

struct Asked {
  FileDialogStart start;
  std::optional<FileDialogChoice> choice;
};

// Runs the dialog through Hook, started from Proposal; the current folder, which
// the dialog may change, is put back afterwards.
Asked AskDialog(const FileDialogHook& hook, bool saveMode, bool multiSelect, TextView filter, bool mustExist,
                TextView title, TextView proposal) {
  const Text savedDirectory = platform::GetCurrentDir();
  Asked asked{FileDialogStartFor(proposal, filter), std::nullopt};
  asked.choice = hook(FileDialogRequest{.saveMode = saveMode,
                                        .mustExist = mustExist,
                                        .title = Text(title),
                                        .filter = Text(filter),
                                        .initialFolder = asked.start.initialFolder,
                                        .fileName = asked.start.fileName,
                                        .multiSelect = multiSelect});
  RestoreCurrentDir(savedDirectory);
  return asked;
}

}  // namespace

bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName,
                    const FileDialogHook& hook) {
  const Asked asked = AskDialog(hook, saveMode, false, filter, mustExist, title, fileName);
  fileName = asked.choice ? ConfirmedFileName(asked.choice->fileName, filter, asked.choice->filterIndex)
                          : asked.start.fileName;
  return asked.choice.has_value();
}

bool ChooseFileNames(TextView filter, bool mustExist, TextView title, TextView proposal, std::vector<Text>& fileNames,
                     const FileDialogHook& hook) {
  const Asked asked = AskDialog(hook, false, true, filter, mustExist, title, proposal);
  if (!asked.choice) return false;
  const FileDialogChoice& choice = *asked.choice;
  fileNames = {ConfirmedFileName(choice.fileName, filter, choice.filterIndex)};
  for (const Text& more : choice.moreFileNames) fileNames.push_back(ConfirmedFileName(more, filter, choice.filterIndex));
  return true;
}

}  // namespace quenmar
