// The main window's behaviour without a toolkit: a window of fakes records what
// the handlers do to its controls.
#include <gtest/gtest.h>

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
    E_SouborChange(*this);
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

TEST(WindowBehaviour, StartUpProposesAnArchiveBesideTheProgram) {
  TempDir empty;
  FakeControls none;
  FormCreate(none, T(empty.path()));
  EXPECT_EQ(none.path, u"");
  EXPECT_FALSE(none.start);

  TempDir dir;
  WriteFile(dir / "notes.txt", "x");
  WriteFile(dir / "Data.Zip", "any bytes");
  FakeControls one;
  FormCreate(one, T(dir.path()));
  EXPECT_EQ(one.path, T(dir / "Data.Zip"));
  EXPECT_TRUE(one.start);
}

TEST(WindowBehaviour, StartFollowsThePathBoxAndBrowseChangesItOnlyWhenConfirmed) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  FakeControls window;
  window.SetInputPath(T(dir / "a.zi"));
  EXPECT_FALSE(window.start);
  window.SetInputPath(T(dir / "a.zip"));
  EXPECT_TRUE(window.start);

  BB_BrowseClick(window);  // cancelled
  EXPECT_EQ(window.path, T(dir / "a.zip"));
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0], u"*.ZIP|*.ZIP|Vyberte soubor pro konverzi|must exist|" + T(dir / "a.zip"));

  // The path already shown, chosen again: no change, so a disabled Start stays so.
  window.start = false;
  window.choice = T(dir / "a.zip");
  BB_BrowseClick(window);
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
