// ChooseFileName without a toolkit: a scripted hook stands for the dialog and
// records what it was asked to show.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

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
