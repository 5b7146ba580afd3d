#include "ui/main_window_behaviour.h"

#include <vector>

#include "conversion/convert_archive.h"
#include "support/file_names.h"
#include "support/platform/folders.h"
#include "support/platform/letters.h"
#include "support/platform/paths.h"
#include "support/platform/program.h"
#include "support/quiet_files.h"
#include "ui/main_window_layout.h"

namespace quenmar {

void WindowCreated(MainWindowControls& window, TextView programFolder) {
  const Text folder = programFolder.empty() ? FilePathOf(platform::ExecutablePath()) : Text(programFolder);
  if (const auto proposed = ProposedArchive(folder)) window.SetInputPath(*proposed);
  window.SetStartEnabled(false);
  PathChanged(window);
}

Text ArchivePathIn(TextView box) {
  if (box.size() >= 2 && box.front() == u'"' && box.back() == u'"') {
    const TextView inner = box.substr(1, box.size() - 2);
    if (inner.find(u'"') == TextView::npos) return Text(inner);
  }
  return Text(box);
}

void PathChanged(MainWindowControls& window) {
  // The result shown belongs to the path that was there before.
  window.SetStatus(kInitialStatus);
  window.SetStartEnabled(FileCanBeOpened(ArchivePathIn(window.InputPath())));
}

void BrowseClicked(MainWindowControls& window) {
  const Text shown = window.InputPath();
  Text name = shown;
  if (!window.ChooseFile(kBrowseFilter, true, kBrowseTitle, name)) return;
  // The same file chosen again (after a run, which disabled Start) is looked at
  // again too.
  if (name != shown) {
    window.SetInputPath(name);
  } else {
    PathChanged(window);
  }
  // The user chose what to convert: Enter should convert it, not open the dialog
  // again.
  if (FileCanBeOpened(ArchivePathIn(window.InputPath()))) window.FocusStart();
}

void StartClicked(MainWindowControls& window) {
  // The run reads the path box: a path pasted in quotes is shown as it is run.
  const Text path = ArchivePathIn(window.InputPath());
  if (path != window.InputPath()) window.SetInputPath(path);
  ConvertArchive(window);
}

namespace {

// Letters compared without regard to ASCII case, as the archive mask matches them.
bool SameNameFolded(TextView a, TextView b) {
  const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<Text> ProposedArchive(TextView folder) {
  Text path(folder);
  if (!path.empty() && path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  std::vector<Text> archives;
  platform::ForEachMatch(path, kArchiveMask, [&](const Text& name) {
    archives.push_back(name);
    return true;
  });
  // An output of this program beside its input is not what the user came to
  // convert (converting it again fails on its first entry).
  const auto isOutputOfAnother = [&](const Text& name) {
    for (const Text& other : archives) {
      if (other != name && SameNameFolded(OutputPathFor(other, u""), name)) return true;
    }
    return false;
  };
  for (const Text& name : archives) {
    if (!isOutputOfAnother(name)) return path + name;
  }
  return std::nullopt;
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
