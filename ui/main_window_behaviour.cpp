#include "ui/main_window_behaviour.h"

#include "conversion/convert_archive.h"
#include "support/file_names.h"
#include "support/platform/folders.h"
#include "support/platform/letters.h"
#include "support/platform/paths.h"
#include "support/platform/program.h"
#include "support/quiet_files.h"

namespace quenmar {

void WindowCreated(MainWindowControls& window, TextView programFolder) {
  const Text folder = programFolder.empty() ? FilePathOf(platform::ExecutablePath()) : Text(programFolder);
  if (const auto proposed = ProposedArchive(folder)) window.SetInputPath(*proposed);
  window.SetStartEnabled(false);
  PathChanged(window);
}

void PathChanged(MainWindowControls& window) { window.SetStartEnabled(FileCanBeOpened(window.InputPath())); }

void BrowseClicked(MainWindowControls& window) {
  const Text shown = window.InputPath();
  Text name = shown;
  if (window.ChooseFile(kBrowseFilter, true, kBrowseTitle, name) && name != shown) window.SetInputPath(name);
}

void StartClicked(MainWindowControls& window) { ConvertArchive(window); }

std::optional<Text> ProposedArchive(TextView folder) {
  Text path(folder);
  if (!path.empty() && path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  const auto found = platform::FindFirstMatch(path, kArchiveMask);
  if (!found) return std::nullopt;
  return path + *found;
}

Text ApplicationTitleFor(TextView executablePath) {
  Text name = FileNameOf(executablePath);
  const size_t dot = name.find(u'.');
  if (dot != Text::npos) name.resize(dot);
  if (name.empty()) return name;
  return name.substr(0, 1) + platform::LowerCase(TextView(name).substr(1));
}

Text ErrorReportText(TextView message) {
  Text text(message);
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}

std::optional<Text> InstalledInfoPage(TextView executablePath) {
  const Text folder = FilePathOf(executablePath);
  const Text sep(1, platform::kPathSeparator);
  for (const Text& candidate : {folder + kInfoPageName, folder + u".." + sep + u"share" + sep + u"quenmar" + sep +
                                                            kInfoPageName}) {
    if (FileCanBeOpened(candidate)) return FullFileName(candidate);
  }
  return std::nullopt;
}

}  // namespace quenmar
