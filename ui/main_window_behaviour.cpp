#include "ui/main_window_behaviour.h"

#include <vector>

#include "conversion/convert_archive.h"
#include "support/file_names.h"
#include "support/platform/folders.h"
#include "support/platform/letters.h"
#include "support/platform/paths.h"
#include "support/platform/program.h"
#include "support/quiet_files.h"
#include "support/utf8.h"
#include "ui/main_window_layout.h"

namespace quenmar {

namespace {

bool AllCanBeOpened(const std::vector<Text>& paths) {
  if (paths.empty()) return false;
  for (const Text& path : paths) {
    if (!FileCanBeOpened(path)) return false;
  }
  return true;
}

// One archive of several, run through the window: all goes to the window but the
// path, which is this archive's, and the outcome, which is kept for the summary.
class OneOfSeveral : public ConversionWindow {
 public:
  OneOfSeveral(ConversionWindow& window, Text path) : window_(window), path_(std::move(path)) {}
  void DisableStart() override { window_.DisableStart(); }
  void SetGaugeVisible(bool visible) override { window_.SetGaugeVisible(visible); }
  void SetGaugeProgress(int progress) override { window_.SetGaugeProgress(progress); }
  void SetStatus(const Text& text) override {
    status = text;
    window_.SetStatus(text);
  }
  Text InputPath() override { return path_; }
  void ProcessMessages() override { window_.ProcessMessages(); }

  Text status;

 private:
  ConversionWindow& window_;
  Text path_;
};

// Letters compared without regard to ASCII case, as the archive mask matches them.
bool SameNameFolded(TextView a, TextView b) {
  const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// Text becomes the path box's as the user's own choice: looked at again even when
// it is what the box shows (after a run, which disabled Start), and with Start
// focused when it is enabled, so that Enter converts what was chosen.
void TakeChoice(MainWindowControls& window, const Text& text) {
  if (text != window.InputPath()) {
    window.SetInputPath(text);
  } else {
    PathChanged(window);
  }
  if (AllCanBeOpened(ArchivePathsIn(window.InputPath()))) window.FocusStart();
}

}  // namespace

void WindowCreated(MainWindowControls& window, TextView programFolder, const std::vector<Text>& givenPaths) {
  if (!givenPaths.empty()) {
    std::vector<Text> full;
    for (const Text& path : givenPaths) {
      const Text expanded = FullFileName(path);
      full.push_back(expanded.empty() ? path : expanded);
    }
    window.SetInputPath(PathBoxTextFor(full));
  } else {
    const Text folder = programFolder.empty() ? FilePathOf(platform::ExecutablePath()) : Text(programFolder);
    if (const auto proposed = ProposedArchive(folder)) window.SetInputPath(*proposed);
  }
  window.SetStartEnabled(false);
  PathChanged(window);
  // Archives the user handed to the program: Enter converts them, nothing starts
  // by itself.
  if (!givenPaths.empty() && AllCanBeOpened(ArchivePathsIn(window.InputPath()))) window.FocusStart();
}

std::vector<Text> ArchivePathsIn(TextView box) {
  if (box.empty()) return {};
  if (box.find(u'"') == TextView::npos) return {Text(box)};
  std::vector<Text> paths;
  size_t at = 0;
  while (at < box.size()) {
    if (box[at] == u' ') {
      ++at;
      continue;
    }
    const size_t end = box[at] == u'"' ? box.find(u'"', at + 1) : TextView::npos;
    // Anything but paths in quotes between spaces is one path as typed.
    if (end == TextView::npos || (end + 1 < box.size() && box[end + 1] != u' ')) return {Text(box)};
    paths.emplace_back(box.substr(at + 1, end - at - 1));
    at = end + 1;
  }
  if (paths.empty()) return {Text(box)};
  return paths;
}

Text PathBoxTextFor(const std::vector<Text>& paths) {
  if (paths.size() == 1) return paths.front();
  Text text;
  for (const Text& path : paths) text += (text.empty() ? u"\"" : u" \"") + path + u"\"";
  return text;
}

std::optional<unsigned> OutcomeColour(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSucceeded: return 0x007A1F;  // dark green
    case Outcome::kFailed: return 0xB00020;     // dark red
    default: return std::nullopt;
  }
}

void PathChanged(MainWindowControls& window) {
  // The result shown belongs to the path that was there before.
  window.ShowOutcome(Outcome::kNone);
  window.SetStatus(kInitialStatus);
  window.SetStartEnabled(AllCanBeOpened(ArchivePathsIn(window.InputPath())));
}

void BrowseClicked(MainWindowControls& window) {
  const std::vector<Text> shown = ArchivePathsIn(window.InputPath());
  std::vector<Text> chosen;
  if (window.ChooseFiles(kBrowseFilter, true, kBrowseTitle, shown.empty() ? Text() : shown.front(), chosen) &&
      !chosen.empty()) {
    TakeChoice(window, PathBoxTextFor(chosen));
  }
}

bool ArchivesDropped(MainWindowControls& window, const std::vector<Text>& paths) {
  if (window.RunGoing() || paths.empty()) return false;
  TakeChoice(window, PathBoxTextFor(paths));
  return true;
}

void StartClicked(MainWindowControls& window) {
  if (window.runGoing_) return;
  struct Going {
    bool& flag;
    explicit Going(bool& f) : flag(f) { flag = true; }
    ~Going() { flag = false; }
  } going(window.runGoing_);
  const std::vector<Text> paths = ArchivePathsIn(window.InputPath());
  window.ShowOutcome(Outcome::kNone);
  if (paths.size() <= 1) {
    // The run reads the path box: a path pasted in quotes is shown as it is run.
    if (paths.size() == 1 && paths.front() != window.InputPath()) window.SetInputPath(paths.front());
    window.ShowOutcome(ConvertArchive(window) ? Outcome::kSucceeded : Outcome::kFailed);
    return;
  }
  int converted = 0;
  std::optional<Text> firstFailure;
  for (const Text& path : paths) {
    OneOfSeveral one(window, path);
    if (ConvertArchive(one)) {
      ++converted;
    } else if (!firstFailure) {
      firstFailure = one.status;
    }
    if (one.status == kStatusInterrupted) break;
  }
  window.SetStatus(SeveralArchivesStatus(converted, static_cast<int>(paths.size()), firstFailure));
  window.ShowOutcome(firstFailure ? Outcome::kFailed : Outcome::kSucceeded);
}

Text SeveralArchivesStatus(int converted, int count, const std::optional<Text>& firstFailure) {
  Text status = u"Konvertováno " + Utf8ToText(std::to_string(converted)) + u" z " +
                Utf8ToText(std::to_string(count)) + u" archivů";
  if (firstFailure) status += u". " + *firstFailure;
  return status;
}

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
