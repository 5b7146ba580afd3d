// The main window's behaviour without a toolkit: a window of fakes records what
// the handlers do to its controls.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "common/test_support.h"
#include "common/zip_builder.h"
#include "support/platform/paths.h"
#include "ui/main_window_behaviour.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;
using testing::WriteFile;

class FakeControls : public MainWindowControls {
 public:
  void SetStartEnabled(bool enabled) override { start = enabled; }
  void SetInputPath(const Text& text) override {
    if (text == path) return;
    path = text;
    PathChanged(*this);
  }
  bool ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                   std::vector<Text>& fileNames) override {
    asked.push_back(Text(filter) + u"|" + Text(title) + (mustExist ? u"|must exist|" : u"|") + Text(proposal));
    if (!choice) return false;
    fileNames = {*choice};
    fileNames.insert(fileNames.end(), moreChosen.begin(), moreChosen.end());
    return true;
  }
  void ShowOutcome(Outcome shown) override { outcome = shown; }
  void FocusStart() override {
    EXPECT_TRUE(start) << "the focus on a disabled Start";
    startFocused = true;
  }
  void SetGaugeVisible(bool) override {}
  void SetGaugeProgress(int) override {}
  void SetStatus(const Text& text) override {
    EXPECT_EQ(std::this_thread::get_id(), windowThread) << "a window operation off the window's thread";
    status = text;
    statusTooltip = text;
    if (onStatus) onStatus();
  }
  Text InputPath() override { return path; }
  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }
  void WaitForEvents() override {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    wakeChanged_.wait(lock, [this] { return woken_; });
    woken_ = false;
  }
  void Wake() override {
    {
      const std::lock_guard<std::mutex> lock(wakeMutex_);
      woken_ = true;
    }
    wakeChanged_.notify_all();
  }
  void SetStatusTooltip(const Text& text) override { statusTooltip = text; }
  void ShowInFolder(const Text& folder, const std::vector<Text>& files) override {
    shown.push_back(folder);
    for (const Text& file : files) shown.push_back(u"  " + file);
  }
  void Close() override { closed = true; }
  void SetInputsLocked(bool locked) override { inputsLocked = locked; }

  bool start = true;
  bool startFocused = false;
  Outcome outcome = Outcome::kNone;
  Text path, status;
  std::optional<Text> choice;
  bool closed = false;
  Text statusTooltip;
  std::vector<Text> shown;  // each folder shown, then its files indented
  bool inputsLocked = false;
  std::vector<Text> moreChosen;  // chosen with Choice, after it
  std::function<void()> onProcessMessages;
  std::function<void()> onStatus;  // after each status a run (or a handler) sets
  const std::thread::id windowThread = std::this_thread::get_id();
  std::vector<Text> asked;

 private:
  std::mutex wakeMutex_;
  std::condition_variable wakeChanged_;
  bool woken_ = false;
};

// What start-up proposes, for the program's folder as each case lays it out; the
// window then shows the proposal and sets Start by it.
TEST(WindowBehaviour, StartUpProposesTheFirstArchiveBesideTheProgram) {
  struct Case {
    const char* what;
    std::vector<std::string> files, folders;
    std::vector<std::string> proposals;  // any of them; none for an empty path box
    bool startable = true;
  };
  const Case cases[] = {
      {"no archive", {"readme.txt"}, {}, {}},
      {"one, of any case", {"notes.txt", "Data.Zip"}, {}, {"Data.Zip"}},
      {"several: the first in directory order", {"a.zip", "b.ZIP"}, {}, {"a.zip", "b.ZIP"}},
      // A folder of an archive's name is proposed, but Start stays off.
      {"a folder counts as present", {}, {"archive.zip"}, {"archive.zip"}, false},
      // The program's own outputs beside their inputs ("-" before the fifth
      // character) are not what the user came to convert.
      {"an output beside its input", {"expo-rts.zip", "exports.zip"}, {}, {"exports.zip"}},
      {"an output in other letter case", {"EXPO-RTS.ZIP", "exports.zip"}, {}, {"exports.zip"}},
      {"outputs of outputs", {"data--.zip", "data-.zip", "data.zip"}, {}, {"data.zip"}},
      {"an output whose input is gone", {"expo-rts.zip", "notes.txt"}, {}, {"expo-rts.zip"}},
      {"an input and another archive", {"expo-rts.zip", "other.zip"}, {}, {"expo-rts.zip", "other.zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    for (const std::string& file : c.files) WriteFile(dir / file, "any bytes");
    for (const std::string& folder : c.folders) testing::MakeFolder(dir / folder);
    FakeControls window;
    WindowCreated(window, T(dir.path()));
    if (c.proposals.empty()) {
      EXPECT_EQ(window.path, u"");
      EXPECT_FALSE(window.start);
      continue;
    }
    bool proposedOne = false;
    for (const std::string& name : c.proposals) proposedOne = proposedOne || window.path == T(dir / name);
    EXPECT_TRUE(proposedOne) << testing::U(window.path);
    EXPECT_EQ(window.start, c.startable);
  }
}

// Start follows the path box. Browse changes the path only when confirmed; a
// confirmed choice, the same path included (after a run disabled Start), sets
// Start again and gives it the focus, so that Enter converts what was chosen.
TEST(WindowBehaviour, StartFollowsThePathBoxAndBrowseChangesItOnlyWhenConfirmed) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  FakeControls window;
  window.SetInputPath(T(dir / "a.zi"));
  EXPECT_FALSE(window.start);
  window.SetInputPath(T(dir / "a.zip"));
  EXPECT_TRUE(window.start);

  BrowseClicked(window);  // cancelled
  EXPECT_EQ(window.path, T(dir / "a.zip"));
  EXPECT_FALSE(window.startFocused);
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0], u"*.ZIP|*.ZIP|Vyberte soubor pro konverzi|must exist|" + T(dir / "a.zip"));

  window.start = false;  // as a run leaves it
  window.choice = T(dir / "a.zip");
  BrowseClicked(window);
  EXPECT_TRUE(window.start);
  EXPECT_TRUE(window.startFocused);

  // A path pasted in quotes counts as the path; a new path clears the last result.
  window.status = u"Soubor byl konvertován do: …";
  window.SetInputPath(u"\"" + T(dir / "a.zip") + u"\"");
  EXPECT_TRUE(window.start);
  EXPECT_EQ(window.status, u"Zvolte ZIP soubor pro konverzi.");

  WriteFile(dir / "b.zip", "x");
  window.startFocused = false;
  window.choice = T(dir / "b.zip");
  BrowseClicked(window);
  EXPECT_EQ(window.path, T(dir / "b.zip"));
  EXPECT_TRUE(window.start);
  EXPECT_TRUE(window.startFocused);

  window.startFocused = false;
  window.choice = T(dir / "gone.zip");  // vanished before the dialog closed
  BrowseClicked(window);
  EXPECT_FALSE(window.start);
  EXPECT_FALSE(window.startFocused);

  // A folder is no archive, also one named like one.
  ASSERT_EQ(testing::MakeFolder(dir / "folder.zip"), 0);
  window.SetInputPath(T(dir / "folder.zip"));
  EXPECT_FALSE(window.start);
  window.SetInputPath(T(dir.path()));
  EXPECT_FALSE(window.start);
  window.SetInputPath(u"\"" + T(dir / "a.zip") + u"\" \"" + T(dir / "folder.zip") + u"\"");
  EXPECT_FALSE(window.start);
}

// Several archives chosen in Browse reach the path box each in quotes; with
// several in the box, the dialog opens on the first of them.
TEST(WindowBehaviour, BrowseTakesSeveralArchivesAndOpensOnTheFirstPathInTheBox) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  WriteFile(dir / "b c.zip", "x");
  const Text a = T(dir / "a.zip"), bc = T(dir / "b c.zip");
  FakeControls window;
  window.choice = a;
  window.moreChosen = {bc};
  BrowseClicked(window);
  EXPECT_EQ(window.path, u"\"" + a + u"\" \"" + bc + u"\"");
  EXPECT_TRUE(window.start);
  EXPECT_TRUE(window.startFocused);

  window.choice.reset();  // cancelled
  BrowseClicked(window);
  EXPECT_EQ(window.asked.back(), u"*.ZIP|*.ZIP|Vyberte soubor pro konverzi|must exist|" + a);
  EXPECT_EQ(window.path, u"\"" + a + u"\" \"" + bc + u"\"");

  window.choice = bc;  // one again: the path as it is
  window.moreChosen.clear();
  BrowseClicked(window);
  EXPECT_EQ(window.path, bc);
}

TEST(WindowBehaviour, TheArchivePathsInThePathBox) {
  const struct {
    const char16_t* box;
    std::vector<Text> paths;
  } cases[] = {
      {u"C:\\data\\exports.zip", {u"C:\\data\\exports.zip"}},
      {u"/home/u/my exports.zip", {u"/home/u/my exports.zip"}},
      {u"\"C:\\data\\exports.zip\"", {u"C:\\data\\exports.zip"}},  // Explorer's "Copy as path"
      {u"\"a.zip\" \"b c.zip\"", {u"a.zip", u"b c.zip"}},
      {u" \"a.zip\"  \"b.zip\" ", {u"a.zip", u"b.zip"}},
      {u"\"a.zip\"\"b.zip\"", {u"\"a.zip\"\"b.zip\""}},  // not paths between spaces: as typed
      {u"\"a.zip\" b.zip", {u"\"a.zip\" b.zip"}},
      {u"\"a.zip", {u"\"a.zip"}},
      {u"\"\"", {u""}},
      {u"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ArchivePathsIn(c.box), c.paths) << testing::U(c.box);
  EXPECT_EQ(PathBoxTextFor({u"C:\\a b.zip"}), u"C:\\a b.zip");
  EXPECT_EQ(PathBoxTextFor({u"a.zip", u"b c.zip"}), u"\"a.zip\" \"b c.zip\"");
}

// Archives given to the program replace the proposal; Start gets the focus when
// every one can be opened, and nothing starts by itself.
TEST(WindowBehaviour, ArchivesGivenToTheProgramReplaceTheProposal) {
  TempDir dir;
  WriteFile(dir / "proposed.zip", "x");
  WriteFile(dir / "a.zip", "x");
  WriteFile(dir / "b c.zip", "x");
  FakeControls one;
  WindowCreated(one, T(dir.path()), {T(dir / "a.zip")});
  EXPECT_EQ(one.path, T(dir / "a.zip"));
  EXPECT_TRUE(one.start);
  EXPECT_TRUE(one.startFocused);
  EXPECT_EQ(one.status, u"Zvolte ZIP soubor pro konverzi.");

  FakeControls two;
  WindowCreated(two, T(dir.path()), {T(dir / "a.zip"), T(dir / "b c.zip")});
  EXPECT_EQ(two.path, u"\"" + T(dir / "a.zip") + u"\" \"" + T(dir / "b c.zip") + u"\"");
  EXPECT_TRUE(two.start);
  EXPECT_TRUE(two.startFocused);

  FakeControls missing;
  WindowCreated(missing, T(dir.path()), {T(dir / "a.zip"), T(dir / "gone.zip")});
  EXPECT_FALSE(missing.start);
  EXPECT_FALSE(missing.startFocused);

  FakeControls none;  // started without arguments: the proposal, as ever
  WindowCreated(none, T(dir.path()));
  EXPECT_FALSE(none.startFocused);
  EXPECT_NE(none.path, u"");
}

// Several archives are converted one after another; the status line counts them
// and names the first failure.
TEST(WindowBehaviour, SeveralArchivesAreConvertedInOneRun) {
  TempDir dir;
  testing::BuiltArchive good;
  good.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", "x"));
  WriteFile(dir / "first.zip", good.Bytes());
  WriteFile(dir / "third.zip", good.Bytes());
  testing::BuiltArchive bad;
  bad.entries.push_back(testing::BuiltEntry("readme.txt", "x"));
  WriteFile(dir / "second.zip", bad.Bytes());
  FakeControls window;
  window.SetInputPath(PathBoxTextFor({T(dir / "first.zip"), T(dir / "second.zip"), T(dir / "third.zip")}));
  ASSERT_TRUE(window.start);
  StartClicked(window);
  EXPECT_EQ(window.status, u"Konvertováno 2 z 3 archivů. Konverze selhala u položky \"readme.txt\": název "
                           u"nezačíná platným datem RRRR-MM-DD (Invalid argument to date encode)");
  EXPECT_TRUE(window.start);  // a failure may be tried again at once
  EXPECT_TRUE(testing::Exists(dir / "firs-t.zip"));
  EXPECT_TRUE(testing::Exists(dir / "thir-d.zip"));
  EXPECT_FALSE(testing::Exists(dir / "seco-nd.zip"));
  EXPECT_EQ(window.outcome, Outcome::kFailed);
  EXPECT_EQ(SeveralArchivesStatus(2, 2, std::nullopt), u"Konvertováno 2 z 2 archivů");

  // The tooltip has every archive's own result; the two new archives are shown
  // together in their folder.
  const Text failure = window.status.substr(window.status.find(u". ") + 2);
  const Text sep(1, platform::kPathSeparator);
  const Text folder = T(dir.path()) + sep;
  EXPECT_EQ(window.statusTooltip, window.status + u"\n" +                                               //
                                      T(dir / "first.zip") + u": Soubor byl konvertován do: " + folder + u"firs-t.zip\n" +
                                      T(dir / "second.zip") + u": " + failure + u"\n" +                  //
                                      T(dir / "third.zip") + u": Soubor byl konvertován do: " + folder + u"thir-d.zip\n" +
                                      kShowResultHint);
  EXPECT_TRUE(StatusActivated(window));
  EXPECT_EQ(window.shown, (std::vector<Text>{folder, u"  " + folder + u"firs-t.zip", u"  " + folder + u"thir-d.zip"}));
}

// After a run that made an archive, a double-click or Enter on the status line
// shows it in its folder, and the tooltip says so; not after a failure, nor once
// the path has changed.
TEST(WindowBehaviour, TheStatusLineLeadsToTheNewArchive) {
  TempDir dir;
  testing::BuiltArchive good;
  good.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", "x"));
  WriteFile(dir / "exports.zip", good.Bytes());
  WriteFile(dir / "broken.zip", "no archive");
  FakeControls window;
  EXPECT_FALSE(StatusActivated(window));
  window.SetInputPath(T(dir / "exports.zip"));
  StartClicked(window);
  const Text output = T(dir / "expo-rts.zip");
  ASSERT_EQ(window.status, u"Soubor byl konvertován do: " + output);
  EXPECT_EQ(window.statusTooltip, window.status + u"\n" + kShowResultHint);
  EXPECT_TRUE(window.HasResultToShow());
  EXPECT_TRUE(StatusActivated(window));
  EXPECT_EQ(window.shown, (std::vector<Text>{T(dir.path()) + Text(1, platform::kPathSeparator), u"  " + output}));

  window.SetInputPath(T(dir / "broken.zip"));
  EXPECT_FALSE(window.HasResultToShow());
  StartClicked(window);
  EXPECT_EQ(window.statusTooltip, window.status);
  EXPECT_FALSE(StatusActivated(window));
}

// Files dropped on the window go into the path box as a confirmed Browse puts
// them; not while a run goes on.
TEST(WindowBehaviour, ArchivesDroppedFillThePathBoxLikeBrowse) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  WriteFile(dir / "b.zip", "x");
  FakeControls window;
  EXPECT_FALSE(ArchivesDropped(window, {}));
  EXPECT_TRUE(ArchivesDropped(window, {T(dir / "a.zip")}));
  EXPECT_EQ(window.path, T(dir / "a.zip"));
  EXPECT_TRUE(window.start);
  EXPECT_TRUE(window.startFocused);
  window.start = false;  // as a run leaves it: the same file dropped again counts
  window.startFocused = false;
  EXPECT_TRUE(ArchivesDropped(window, {T(dir / "a.zip")}));
  EXPECT_TRUE(window.start);
  EXPECT_TRUE(window.startFocused);
  EXPECT_TRUE(ArchivesDropped(window, {T(dir / "a.zip"), T(dir / "b.zip")}));
  EXPECT_EQ(window.path, PathBoxTextFor({T(dir / "a.zip"), T(dir / "b.zip")}));
  EXPECT_TRUE(window.start);

  // A drop that arrives while the run goes on: the window handles its events.
  testing::BuiltArchive archive;
  archive.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", "x"));
  WriteFile(dir / "c.zip", archive.Bytes());
  window.SetInputPath(T(dir / "c.zip"));
  bool refused = false;
  window.onStatus = [&] {
    if (window.status == u"Probíhá konverze") refused = !ArchivesDropped(window, {T(dir / "a.zip")});
  };
  StartClicked(window);
  EXPECT_TRUE(refused);
  window.onStatus = nullptr;
  EXPECT_EQ(window.path, T(dir / "c.zip"));
  EXPECT_EQ(window.status, u"Soubor byl konvertován do: " + T(dir / "c.zi-p"));
  EXPECT_EQ(window.outcome, Outcome::kSucceeded);
  EXPECT_TRUE(ArchivesDropped(window, {T(dir / "a.zip")}));  // the run is over
  EXPECT_EQ(window.outcome, Outcome::kNone);  // a new path: no result yet
  EXPECT_NE(OutcomeColour(Outcome::kSucceeded), OutcomeColour(Outcome::kFailed));
  EXPECT_FALSE(OutcomeColour(Outcome::kNone).has_value());
}

// Zrušit (or Escape), the close button and the end of the session stop a run at
// its next block: the folder is left byte for byte as it was, an earlier output
// included; only the close and the session's end close the window, once the run
// has cleaned up. A run afterwards converts as ever.
TEST(WindowBehaviour, ARunStopsOnZrusitOnCloseAndAtTheSessionsEnd) {
  TempDir dir;
  WriteFile(dir / "bigger.zip", testing::NoiseArchive(2, 8 << 20));  // still going when asked to stop
  WriteFile(dir / "bigg-er.zip", "the earlier output");
  const auto before = testing::Snapshot(dir.path());

  enum class Stop { kZrusit, kClose, kSessionEnd };
  for (const Stop stop : {Stop::kZrusit, Stop::kClose, Stop::kSessionEnd}) {
    SCOPED_TRACE(static_cast<int>(stop));
    FakeControls window;
    window.SetInputPath(T(dir / "bigger.zip"));
    bool mayClose = true;
    std::map<std::string, std::string> whenSessionEnded;
    window.onStatus = [&] {
      if (window.status != u"Probíhá konverze") return;
      EXPECT_TRUE(window.inputsLocked);
      switch (stop) {
        case Stop::kZrusit: CancelClicked(window); break;
        case Stop::kClose: mayClose = CloseRequested(window); break;
        case Stop::kSessionEnd:
          SessionEnding(window);
          whenSessionEnded = testing::Snapshot(dir.path());  // the clean-up is done
          break;
      }
    };
    StartClicked(window);
    EXPECT_EQ(window.status, u"Konverze přerušena");
    EXPECT_EQ(window.outcome, Outcome::kFailed);
    EXPECT_TRUE(window.start);  // to start again
    EXPECT_FALSE(window.inputsLocked);
    EXPECT_FALSE(window.RunGoing());
    EXPECT_EQ(window.closed, stop != Stop::kZrusit);
    EXPECT_FALSE(mayClose && stop == Stop::kClose);
    if (stop == Stop::kSessionEnd) {
      EXPECT_EQ(whenSessionEnded, before);
    }
    EXPECT_EQ(testing::Snapshot(dir.path()), before);
  }

  // Several archives: the stop ends the whole run.
  {
    FakeControls window;
    window.SetInputPath(PathBoxTextFor({T(dir / "bigger.zip"), T(dir / "bigger.zip")}));
    window.onStatus = [&] {
      if (window.status == u"Probíhá konverze") CancelClicked(window);
    };
    StartClicked(window);
    EXPECT_EQ(window.status, u"Konvertováno 0 z 2 archivů. Konverze přerušena");
    EXPECT_EQ(testing::Snapshot(dir.path()), before);
  }

  // Without a run, Zrušit closes the window and a close is let through.
  FakeControls window;
  EXPECT_TRUE(CloseRequested(window));
  EXPECT_FALSE(window.closed);
  CancelClicked(window);
  EXPECT_TRUE(window.closed);

  window.SetInputPath(T(dir / "bigger.zip"));
  StartClicked(window);
  EXPECT_EQ(window.status, u"Soubor byl konvertován do: " + T(dir / "bigg-er.zip"));
}

TEST(WindowBehaviour, ApplicationTitleAndErrorReportText) {
  const Text sep(1, platform::kPathSeparator);
  EXPECT_EQ(ApplicationTitleFor(sep + u"opt" + sep + u"q.d" + sep + u"QUENMAR.bin.x"), u"Quenmar");
  EXPECT_EQ(ApplicationTitleFor(sep + u"usr" + sep + u"bin" + sep + u"quenmar"), u"quenmar");
  EXPECT_EQ(ApplicationTitleFor(u"ČERVENÝ.EXE"), u"Červený");
  EXPECT_EQ(ErrorReportText(u"Disk full"), u"Disk full.");
  EXPECT_EQ(ErrorReportText(u"Done."), u"Done.");
  EXPECT_EQ(ErrorReportText(u"Why?"), u"Why?.");
  EXPECT_EQ(ErrorReportText(u"a -"), u"a -");
  EXPECT_EQ(ErrorReportText(u""), u"");
}

TEST(WindowBehaviour, TheInstalledInfoPageIsFoundBesideTheProgramOrInItsShareFolder) {
  TempDir dir;
  testing::MakeFolder(dir / "bin");
  const Text program = T(dir / "bin/quenmar");
  EXPECT_FALSE(InstalledInfoPage(program));
  testing::MakeFolder(dir / "share");
  testing::MakeFolder(dir / "share/quenmar");
  WriteFile(dir / "share/quenmar/quenmar-info.html", "<p>");
  EXPECT_EQ(InstalledInfoPage(program), T(dir / "share/quenmar/quenmar-info.html"));
  WriteFile(dir / "bin/quenmar-info.html", "<p>");
  EXPECT_EQ(InstalledInfoPage(program), T(dir / "bin/quenmar-info.html"));
}

}  // namespace
}  // namespace quenmar
