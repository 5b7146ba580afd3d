#include "ui/main_window_behaviour.h"

#include <algorithm>
#include <utility>
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

// Whether Path looks convertible while the user types: a file that can be opened,
// not a folder. A path on another machine is not probed: a server that does not
// answer would hold the window up at each keystroke; the run tells whether it can
// be opened.
bool CanBeOpened(const Text& path) {
  if (platform::IsNetworkPath(path)) return true;
  return FileCanBeOpened(path) && !platform::IsFolder(path);
}

bool AllCanBeOpened(const std::vector<Text>& paths) {
  if (paths.empty()) return false;
  for (const Text& path : paths) {
    if (!CanBeOpened(path)) return false;
  }
  return true;
}

// One archive of a run, through the run's window: all goes to the window but the
// path, which is this archive's; its status is kept for the summary.
class OneArchive : public ConversionWindow {
 public:
  OneArchive(ConversionWindow& window, Text path) : window_(window), path_(std::move(path)) {}
  void DisableStart() override { window_.DisableStart(); }
  void SetGaugeVisible(bool visible) override { window_.SetGaugeVisible(visible); }
  void SetGaugeProgress(int progress) override { window_.SetGaugeProgress(progress); }
  void SetStatus(const Text& text) override {
    status = text;
    window_.SetStatus(text);
  }
  Text InputPath() override { return path_; }
  void ProcessMessages() override { window_.ProcessMessages(); }
  bool StopRequested() override { return window_.StopRequested(); }

  Text status;

 private:
  ConversionWindow& window_;
  Text path_;
};

// The output of the archive at Path, as a full path.
Text FullOutputPath(const Text& path) {
  const Text output = OutputPathFor(path);
  const Text full = FullFileName(output);
  return full.empty() ? output : full;
}

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
  window.results_.clear();
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

namespace {

// What a run did, for the window once the run is over.
struct RunResult {
  Outcome outcome = Outcome::kFailed;
  std::vector<Text> made;  // the archives written
  Text tooltip;
};

// Converts Paths through Window, on the run's thread.
RunResult ConvertArchives(ConversionWindow& window, const std::vector<Text>& paths) {
  RunResult result;
  if (paths.size() <= 1) {
    OneArchive one(window, window.InputPath());
    if (ConvertArchive(one)) {
      result.outcome = Outcome::kSucceeded;
      result.made.push_back(FullOutputPath(one.InputPath()));
    }
    result.tooltip = RunTooltip(one.status, {}, !result.made.empty());
    return result;
  }
  int converted = 0;
  std::optional<Text> firstFailure;
  std::vector<ArchiveResult> each;
  for (const Text& path : paths) each.push_back({path, Text()});
  for (ArchiveResult& archive : each) {
    OneArchive one(window, archive.path);
    if (ConvertArchive(one)) {
      ++converted;
      result.made.push_back(FullOutputPath(archive.path));
    } else if (!firstFailure) {
      firstFailure = one.status;
    }
    archive.status = one.status;
    if (one.status == kStatusInterrupted) break;
  }
  const Text status = SeveralArchivesStatus(converted, static_cast<int>(paths.size()), firstFailure);
  window.SetStatus(status);
  result.outcome = firstFailure ? Outcome::kFailed : Outcome::kSucceeded;
  result.tooltip = RunTooltip(status, each, !result.made.empty());
  return result;
}

}  // namespace

void StartClicked(MainWindowControls& window) {
  if (window.RunGoing()) return;
  const std::vector<Text> paths = ArchivePathsIn(window.InputPath());
  // The run reads the path box: a path pasted in quotes is shown as it is run.
  if (paths.size() == 1 && paths.front() != window.InputPath()) window.SetInputPath(paths.front());
  window.ShowOutcome(Outcome::kNone);
  window.results_.clear();
  WindowRun run(window, window, window.InputPath());
  RunResult result;
  {
    struct Going {
      MainWindowControls& window;
      Going(MainWindowControls& w, WindowRun& run) : window(w) {
        window.run_ = &run;
        window.SetInputsLocked(true);
      }
      ~Going() {
        window.run_ = nullptr;
        window.SetInputsLocked(false);
      }
    } going(window, run);
    run.Go([&](ConversionWindow& runWindow) { result = ConvertArchives(runWindow, paths); });
  }
  window.ShowOutcome(result.outcome);
  // A run that failed or was stopped can be tried again at once (the failure
  // texts say to, once another program lets go of a file). After a success Start
  // waits for a new path, so a stray Enter does not convert the archive again.
  if (result.outcome != Outcome::kSucceeded) window.SetStartEnabled(AllCanBeOpened(paths));
  window.SetStatusTooltip(result.tooltip);
  window.results_ = std::move(result.made);
  if (window.closeAfterRun_) {
    window.closeAfterRun_ = false;
    window.Close();
  }
}

void CancelClicked(MainWindowControls& window) {
  if (window.run_ != nullptr) {
    window.run_->RequestStop();
  } else {
    window.Close();
  }
}

bool CloseRequested(MainWindowControls& window) {
  if (window.run_ == nullptr) return true;
  window.run_->RequestStop();
  window.closeAfterRun_ = true;
  return false;
}

void SessionEnding(MainWindowControls& window) {
  if (window.run_ == nullptr) return;
  CloseRequested(window);
  window.run_->WaitUntilEnded();
}

bool StatusActivated(MainWindowControls& window) {
  if (window.results_.empty()) return false;
  // One call for each folder, its new archives selected together, in the order
  // of the run.
  std::vector<std::pair<Text, std::vector<Text>>> folders;
  for (const Text& made : window.results_) {
    const Text folder = FilePathOf(made);
    auto at = std::find_if(folders.begin(), folders.end(), [&](const auto& f) { return f.first == folder; });
    if (at == folders.end()) at = folders.insert(folders.end(), {folder, {}});
    at->second.push_back(made);
  }
  for (const auto& [folder, files] : folders) window.ShowInFolder(folder, files);
  return true;
}

Text RunTooltip(const Text& status, const std::vector<ArchiveResult>& several, bool made) {
  Text tooltip = status;
  for (const ArchiveResult& archive : several) {
    tooltip += u"\n" + archive.path + u": " + (archive.status.empty() ? Text(kNotReached) : archive.status);
  }
  if (made) tooltip += Text(u"\n") + kShowResultHint;
  return tooltip;
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
