// The main window's behaviour without a toolkit: a window of fakes records what
// the handlers do to its controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/test_support.h"
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
  bool ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) override {
    asked.push_back(Text(filter) + u"|" + Text(title) + (mustExist ? u"|must exist|" : u"|") + fileName);
    if (!choice) return false;
    fileName = *choice;
    return true;
  }
  void FocusStart() override {
    EXPECT_TRUE(start) << "the focus on a disabled Start";
    startFocused = true;
  }
  void SetGaugeVisible(bool) override {}
  void SetGaugeProgress(int) override {}
  void SetStatus(const Text& text) override { status = text; }
  Text InputPath() override { return path; }
  void ProcessMessages() override {}

  bool start = true;
  bool startFocused = false;
  Text path, status;
  std::optional<Text> choice;
  std::vector<Text> asked;
};

// What start-up proposes, for the program's folder as each case lays it out; the
// window then shows the proposal and sets Start by it.
TEST(WindowBehaviour, StartUpProposesTheFirstArchiveBesideTheProgram) {
  struct Case {
    const char* what;
    std::vector<std::string> files, folders;
    std::vector<std::string> proposals;  // any of them; none for an empty path box
  };
  const Case cases[] = {
      {"no archive", {"readme.txt"}, {}, {}},
      {"one, of any case", {"notes.txt", "Data.Zip"}, {}, {"Data.Zip"}},
      {"several: the first in directory order", {"a.zip", "b.ZIP"}, {}, {"a.zip", "b.ZIP"}},
      {"a folder counts as present", {}, {"archive.zip"}, {"archive.zip"}},
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
    EXPECT_TRUE(window.start);
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
}

TEST(WindowBehaviour, TheArchivePathInThePathBox) {
  const struct {
    const char16_t* box;
    const char16_t* path;
  } cases[] = {
      {u"C:\\data\\exports.zip", u"C:\\data\\exports.zip"},
      {u"\"C:\\data\\exports.zip\"", u"C:\\data\\exports.zip"},
      {u"\"/home/u/my exports.zip\"", u"/home/u/my exports.zip"},
      {u"\"a.zip\" \"b.zip\"", u"\"a.zip\" \"b.zip\""},  // not one path in quotes
      {u"\"", u"\""},
      {u"\"\"", u""},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArchivePathIn(c.box), c.path) << testing::U(c.box);
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
