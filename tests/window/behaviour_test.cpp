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
  void SetGaugeVisible(bool) override {}
  void SetGaugeProgress(int) override {}
  void SetStatus(const Text& text) override { status = text; }
  Text InputPath() override { return path; }
  void ProcessMessages() override {}

  bool start = true;
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
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0], u"*.ZIP|*.ZIP|Vyberte soubor pro konverzi|must exist|" + T(dir / "a.zip"));

  // The path already shown, chosen again: no change, so a disabled Start stays so.
  window.start = false;
  window.choice = T(dir / "a.zip");
  BrowseClicked(window);
  EXPECT_FALSE(window.start);
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
