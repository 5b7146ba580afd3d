// The run meeting files that are not what they seem or a disk that is not what
// it was: named pipes where an archive or a lock should be, a full disk, the
// input's permissions. Nothing may block, every failure must say why, and the
// folder must be left as it was.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::FakeWindow;
using testing::Snapshot;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

std::string SmallArchive() {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-abc-def-ghi.csv", "a;b;c\n", 8));
  archive.entries.push_back(BuiltEntry("2018-10-16-abc-abc-ghi.csv", std::string(5000, 'x'), 8));
  return archive.Bytes();
}

TEST(OddFiles, PipesNeverBlockTheRun) {
  TempDir dir;
  // An archive path that is a pipe: refused at once.
  ASSERT_EQ(mkfifo((dir / "pipe.zip").c_str(), 0600), 0);
  const auto before = Snapshot(dir.path());
  FakeWindow pipeWindow(T(dir / "pipe.zip"));
  EXPECT_FALSE(ConvertArchive(pipeWindow));
  EXPECT_EQ(U(pipeWindow.status),
            "Konverze selhala: Zadaná cesta nevede k obyčejnému souboru. (Cannot open file \"" + dir / "pipe.zip" +
                "\". Not a regular file)");
  EXPECT_EQ(Snapshot(dir.path()), before);

  // A leftover folder whose lock is a pipe is not ours to judge: it stays, and
  // the run goes on beside it.
  const std::string leftover = dir / ".quenmar-00112233445566ff";
  ASSERT_EQ(testing::MakeFolder(leftover), 0);
  ASSERT_EQ(mkfifo((leftover + "/lock").c_str(), 0600), 0);
  WriteFile(dir / "exports.zip", SmallArchive());
  FakeWindow window(T(dir / "exports.zip"));
  EXPECT_TRUE(ConvertArchive(window)) << U(window.status);
  struct stat st;
  EXPECT_EQ(stat((leftover + "/lock").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(OddFiles, TheOutputTakesTheInputsPermissions) {
  const mode_t oldMask = umask(022);
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0644}}) {
    TempDir dir;
    WriteFile(dir / "exports.zip", SmallArchive());
    ASSERT_EQ(chmod((dir / "exports.zip").c_str(), mode), 0);
    FakeWindow window(T(dir / "exports.zip"));
    ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
    struct stat st;
    ASSERT_EQ(stat((dir / "expo-rts.zip").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, mode);
  }
  umask(oldMask);
}

// A small file system of its own, filled to the brim by the output: the run
// fails with the system's reason, leaves nothing, keeps the earlier output; and
// an entry declared larger than the free space fails before it is extracted.
TEST(OddFiles, AFullDiskIsReportedWithItsReasonAndLeavesNothing) {
  TempDir dir;
  const std::string disk = dir / "disk";
  ASSERT_EQ(testing::MakeFolder(disk), 0);
  if (geteuid() != 0 || mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=288k") != 0) {
    GTEST_SKIP() << "needs a tmpfs of its own (root)";
  }
  struct Unmount {
    std::string path;
    ~Unmount() { umount(path.c_str()); }
  } unmount{disk};

  // Incompressible entries, so the output is as large as they are: the input and
  // the output do not fit side by side.
  std::string noise;
  uint32_t x = 12345;
  for (int i = 0; i < 100000; ++i) noise += static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-abc-def-ghi.csv", noise, 0));
  archive.entries.push_back(BuiltEntry("2018-10-16-abc-def-ghi.csv", noise, 0));
  WriteFile(disk + "/exports.zip", archive.Bytes());
  WriteFile(disk + "/expo-rts.zip", "an earlier output");
  const auto before = Snapshot(disk);
  for (const int jobs : {1, 2}) {
    FakeWindow window(T(disk + "/exports.zip"));
    EXPECT_FALSE(ConvertArchive(window, jobs));
    const std::string status = U(window.status);
    EXPECT_EQ(status.rfind("Konverze selhala", 0), 0u) << status;
    EXPECT_NE(status.find(": Na disku není dost místa. Uvolněte místo a zkuste to znovu. ("), std::string::npos) << status;
    EXPECT_NE(status.find("No space left on device"), std::string::npos) << status;
    EXPECT_EQ(Snapshot(disk), before);
  }

  // Declared far larger than the disk: refused before a byte is extracted.
  BuiltArchive liar;
  BuiltEntry huge("2018-10-15-abc-def-ghi.csv", "tiny", 8);
  huge.uncompressedSize = 2000000000u;
  liar.entries.push_back(huge);
  WriteFile(disk + "/exports.zip", liar.Bytes());
  FakeWindow window(T(disk + "/exports.zip"));
  EXPECT_FALSE(ConvertArchive(window, 1));
  EXPECT_NE(U(window.status).find("Na disku není dost místa. Uvolněte místo a zkuste to znovu. (Stream write error. "
                                  "There is not enough space on the disk (2000000000 bytes needed"),
            std::string::npos)
      << U(window.status);
}


// A folder whose path comes near the platform's limit: the run says so before it
// makes anything (no private folder is left), and the dry run would say the same.
TEST(OddFiles, AFolderPathNearTheLimitLeavesNothing) {
  TempDir dir;
  std::string folder = dir.path();
  while (folder.size() < 4096 - 40) {
    folder += "/" + std::string(std::min<size_t>(200, 4096 - 40 - folder.size()), 'd');
    ASSERT_EQ(testing::MakeFolder(folder), 0) << folder.size();
  }
  WriteFile(folder + "/e.zip", SmallArchive());
  const auto before = Snapshot(dir.path());
  FakeWindow window(T(folder + "/e.zip"));
  EXPECT_FALSE(ConvertArchive(window));
  EXPECT_EQ(U(window.status), "Konverze selhala: Cesta k souboru je příliš dlouhá. Přesuňte archiv do složky s kratší "
                              "cestou. (The specified path is too long)");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

}  // namespace
}  // namespace quenmar

#endif
