// ChooseFileName without a toolkit: a scripted hook stands for the dialog and
// records what it was asked to show.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "common/test_support.h"
#include "support/exceptions.h"
#include "support/platform/paths.h"
#include "ui/file_dialog_steps.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;

const Text kSep(1, platform::kPathSeparator);

// A dialog that wanders off to another directory, as a user browsing would, and
// answers Choice.
struct ScriptedDialog {
  std::optional<FileDialogChoice> choice;
  Text wanderTo;
  std::optional<FileDialogRequest> asked;

  FileDialogHook Hook() {
    return [this](const FileDialogRequest& request) {
      asked = request;
      if (!wanderTo.empty()) {
        EXPECT_EQ(platform::SetCurrentDir(wanderTo), platform::IoCode::kOk);
      }
      return choice;
    };
  }
};

// A cancelled dialog and a confirmed name without an extension are each toolkit's
// tests (tests/ui/file_dialog_test.cpp, tests/ui_win32/file_dialog_test.cpp).
TEST(ChooseFileName, AsksTheDialogForTheExpandedProposalAndKeepsAConfirmedExtension) {
  TempDir dir;
  const Text before = platform::GetCurrentDir();
  const Text folder = T(dir.path()) + kSep;
  ScriptedDialog dialog{FileDialogChoice{folder + u"report.txt", 2}, T(dir.path()), std::nullopt};
  Text name = folder;
  EXPECT_TRUE(ChooseFileName(true, u"*.txt|*.txt|Archiv|*.ZIP", false, u"Uložit", name, dialog.Hook()));
  EXPECT_EQ(name, folder + u"report.txt");  // not report.txt.ZIP, though Archiv was selected
  EXPECT_EQ(platform::GetCurrentDir(), before);
  ASSERT_TRUE(dialog.asked);
  EXPECT_TRUE(dialog.asked->saveMode);
  EXPECT_FALSE(dialog.asked->mustExist);
  EXPECT_EQ(dialog.asked->title, u"Uložit");
  EXPECT_EQ(dialog.asked->filter, u"*.txt|*.txt|Archiv|*.ZIP");
  EXPECT_EQ(dialog.asked->initialFolder, folder);
  EXPECT_EQ(dialog.asked->fileName, folder + u"*.txt");
}

TEST(ChooseFileName, ARelativeProposalIsExpandedButItsFolderIsPassedAsGiven) {
  ScriptedDialog dialog;
  Text name = u"sub" + kSep + u"data.zip";
  EXPECT_FALSE(ChooseFileName(false, u"*.ZIP|*.ZIP", true, u"t", name, dialog.Hook()));
  ASSERT_TRUE(dialog.asked);
  EXPECT_FALSE(dialog.asked->saveMode);
  EXPECT_TRUE(dialog.asked->mustExist);
  EXPECT_EQ(dialog.asked->initialFolder, u"sub" + kSep);
  const Text current = platform::GetCurrentDir();
  EXPECT_EQ(name, current + (current.back() == platform::kPathSeparator ? u"" : kSep) + u"sub" + kSep + u"data.zip");
}

// Several files: each chosen path completed as a single one is, the dialog asked
// for several on the expanded proposal; a cancel leaves the names alone.
TEST(ChooseFileName, SeveralFilesAreEachCompletedAndACancelKeepsTheNames) {
  TempDir dir;
  const Text before = platform::GetCurrentDir();
  const Text folder = T(dir.path()) + kSep;
  ScriptedDialog dialog{FileDialogChoice{folder + u"a.txt", 1, {folder + u"b", folder + u"c.ZIP"}}, T(dir.path()),
                        std::nullopt};
  std::vector<Text> names;
  EXPECT_TRUE(ChooseFileNames(u"*.ZIP|*.ZIP", true, u"t", folder + u"a.zip", names, dialog.Hook()));
  EXPECT_EQ(names, (std::vector<Text>{folder + u"a.txt", folder + u"b.ZIP", folder + u"c.ZIP"}));
  EXPECT_EQ(platform::GetCurrentDir(), before);
  ASSERT_TRUE(dialog.asked);
  EXPECT_TRUE(dialog.asked->multiSelect);
  EXPECT_FALSE(dialog.asked->saveMode);
  EXPECT_TRUE(dialog.asked->mustExist);
  EXPECT_EQ(dialog.asked->initialFolder, folder);
  EXPECT_EQ(dialog.asked->fileName, folder + u"a.zip");

  dialog.choice.reset();
  EXPECT_FALSE(ChooseFileNames(u"*.ZIP|*.ZIP", true, u"t", folder + u"a.zip", names, dialog.Hook()));
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(platform::GetCurrentDir(), before);
}

// The answers of Windows' open dialog when several files may be chosen.
TEST(ChosenPathsIn, TheAnswersOfTheOpenDialogForSeveralFiles) {
  const Text d = u"C:" + kSep + u"d";
  const Text root = u"C:" + kSep;
  const Text nul(1, u'\0');
  const struct {
    const char* what;
    Text answer;
    size_t fileOffset;
    std::vector<Text> paths;
  } cases[] = {
      {"one file: its full path", d + kSep + u"a.zip" + nul + nul, 5, {d + kSep + u"a.zip"}},
      {"one file, the proposal's rest behind it", d + kSep + u"a.zip" + nul + u"ng" + kSep + u"x.zip" + nul + nul, 5,
       {d + kSep + u"a.zip"}},
      {"several: the folder, then each name", d + nul + u"a.zip" + nul + u"b c.zip" + nul + nul, 5,
       {d + kSep + u"a.zip", d + kSep + u"b c.zip"}},
      {"several in a root folder", root + nul + u"a.zip" + nul + u"b.zip" + nul + nul, 4,
       {root + u"a.zip", root + u"b.zip"}},
      {"several up to the buffer's end", d + nul + u"a.zip" + nul + u"b.zip", 5,
       {d + kSep + u"a.zip", d + kSep + u"b.zip"}},
      {"nothing", nul + nul, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChosenPathsIn(c.answer, c.fileOffset), c.paths);
  }
}

// The directory that was current vanishes while the dialog is open.
TEST(ChooseFileName, ACurrentDirectoryThatCannotBeRestoredRaisesEInOutError) {
  TempDir dir;
  const Text before = platform::GetCurrentDir();
  ASSERT_EQ(testing::MakeFolder(dir / "gone"), 0);
  ASSERT_EQ(platform::SetCurrentDir(T(dir / "gone")), platform::IoCode::kOk);
  bool asked = false;
  Text name;
  EXPECT_THROW(ChooseFileName(false, u"*.ZIP|*.ZIP", true, u"t", name,
                              [&](const FileDialogRequest&) -> std::optional<FileDialogChoice> {
                                asked = true;
                                EXPECT_EQ(platform::SetCurrentDir(T(dir.path())), platform::IoCode::kOk);
                                std::filesystem::remove(std::filesystem::path(T(dir / "gone")));
                                return std::nullopt;
                              }),
               EInOutError);
  EXPECT_TRUE(asked);
  EXPECT_EQ(platform::SetCurrentDir(before), platform::IoCode::kOk);
}

}  // namespace
}  // namespace quenmar
