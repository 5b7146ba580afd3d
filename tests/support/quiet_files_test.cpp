#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/test_support.h"
#include "support/exceptions.h"
#include "support/platform/files.h"
#include "support/quiet_files.h"

namespace quenmar {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::T;
using testing::TempDir;
using testing::WriteFile;

TEST(FileCanBeOpened, TellsPresentFromMissing) {
  TempDir dir;
  WriteFile(dir / "a.zip", "x");
  WriteFile(dir / "ro.zip", "x");
  chmod((dir / "ro.zip").c_str(), 0444);
  EXPECT_FALSE(FileCanBeOpened(u""));
  EXPECT_TRUE(FileCanBeOpened(T(dir / "a.zip")));
  EXPECT_TRUE(FileCanBeOpened(T(dir / "ro.zip")));
  EXPECT_FALSE(FileCanBeOpened(T(dir / "missing.zip")));
  EXPECT_FALSE(FileCanBeOpened(T(dir / "nofolder/a.zip")));
  // A folder is refused with access denied, which still means present.
  EXPECT_TRUE(FileCanBeOpened(T(dir.path())));
  EXPECT_FALSE(FileCanBeOpened(T(dir / std::string(5000, 'n'))));
}

TEST(FileCanBeOpened, APeerHoldingTheFileLockedStillCountsAsPresent) {
  TempDir dir;
  WriteFile(dir / "held.zip", "x");
  platform::IoStatus status;
  platform::File held = platform::File::Open(T(dir / "held.zip"), platform::FileAccess::kReadWrite,
                                             platform::FileShare::kExclusive, status);
  ASSERT_TRUE(status.Ok());
  EXPECT_TRUE(FileCanBeOpened(T(dir / "held.zip")));
  // A second exclusive opener is refused with the sharing violation.
  platform::File::Open(T(dir / "held.zip"), platform::FileAccess::kRead, platform::FileShare::kExclusive, status);
  EXPECT_EQ(platform::NumberOf(status.code), 32);
}

TEST(DeleteFileQuiet, DeletesFilesNeverFolders) {
  TempDir dir;
  WriteFile(dir / "a", "x");
  testing::MakeFolder(dir / "sub");
  DeleteFileQuiet(T(dir / "a"));
  DeleteFileQuiet(T(dir / "sub"));
  DeleteFileQuiet(T(dir / "missing"));
  EXPECT_FALSE(Exists(dir / "a"));
  EXPECT_TRUE(Exists(dir / "sub"));
}

TEST(RenameFileReplace, ReplacesTheTargetAndNeverLosesAFile) {
  TempDir dir;
  WriteFile(dir / "old", "new content");
  WriteFile(dir / "target", "old content");
  RenameFileReplace(T(dir / "old"), T(dir / "target"));
  EXPECT_FALSE(Exists(dir / "old"));
  EXPECT_EQ(ReadFile(dir / "target"), "new content");

  // The same file under two spellings stays.
  RenameFileReplace(T(dir / "target"), T(dir.path() + "/./target"));
  EXPECT_EQ(ReadFile(dir / "target"), "new content");

  // A rename that cannot happen keeps the old target.
  RenameFileReplace(T(dir / "missing"), T(dir / "target"));
  EXPECT_EQ(ReadFile(dir / "target"), "new content");
}

TEST(RenameFileReplace, ResolvesRelativeNamesAgainstTheCurrentDirectory) {
  TempDir dir;
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  WriteFile("a.txt", "A");
  WriteFile("b.txt", "B");
  RenameFileReplace(u"a.txt", u"b.txt");
  ASSERT_EQ(chdir(old), 0);
  EXPECT_FALSE(Exists(dir / "a.txt"));
  EXPECT_EQ(ReadFile(dir / "b.txt"), "A");
}

// The codes keep their stored numbers; the message is chosen by the number.
TEST(EInOutError, MessageChosenByCode) {
  using platform::IoCode;
  const struct {
    IoCode code;
    int number;
    const char16_t* name;
    const char16_t* message;
  } cases[] = {
      {IoCode::kFileNotFound, 2, u"x", u"The specified file was not found"},
      {IoCode::kPathNotFound, 3, u"C:\\x", u"Invalid file name - C:\\x"},
      {IoCode::kTooManyOpenFiles, 4, u"", u"Too many open files"},
      {IoCode::kAccessDenied, 5, u"", u"File access denied"},
      {IoCode::kReadBeyondEnd, 100, u"", u"Read beyond end of file"},
      {IoCode::kDiskFullOnWrite, 101, u"", u"Disk full"},
      {IoCode::kInvalidNumericInput, 106, u"", u"Invalid numeric input"},
      {IoCode::kSharingViolation, 32, u"", u"I/O error 32"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EInOutError(c.code, c.name).Message(), c.message);
    EXPECT_EQ(EInOutError(c.code, c.name).ErrorCode(), c.number);
  }
}

}  // namespace
}  // namespace quenmar
