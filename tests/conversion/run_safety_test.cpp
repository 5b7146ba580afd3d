// The run with archives crafted against it: names that would lead out of the
// input's folder, reused state carried from one entry or run to the next, an
// output another program holds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "archive/dos_time.h"
#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"
#include "support/platform/file_info.h"
#include "support/platform/folders.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::FakeWindow;
using testing::ReadFile;
using testing::Snapshot;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

// root/outer/parent/in/in.zip, with a victim.txt in every one of these folders
// and an earlier output beside the archive.
class RunSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string folder : {"outer", "outer/parent", "outer/parent/in"}) {
      ASSERT_EQ(testing::MakeFolder(root_ / folder), 0);
    }
    for (const std::string folder : {"", "outer/", "outer/parent/", "outer/parent/in/"}) {
      WriteFile(root_ / (folder + "victim.txt"), "the user's own words in " + folder);
    }
    WriteFile(In("in.z-ip"), "an earlier output");
  }
  std::string In(const std::string& name) const { return root_ / ("outer/parent/in/" + name); }

  TempDir root_;
};

TEST_F(RunSafety, UnsafeNamesAfterAHarmlessEntryTouchNothing) {
  const std::string names[] = {
      "../../victim.txt",
      "../../../victim.txt",
      "../../../../victim.txt",
      "../../../../../victim.txt",
      "a/../../../../victim.txt",
      "..\\..\\..\\victim.txt",
      "..\\victim.txt",
      root_ / "outer/victim.txt",  // rooted the POSIX way
      root_ / "outer/new.txt",
      "C:\\victim.txt",
      "C:victim.txt",
      "\\\\server\\share\\victim.txt",
      "\\" + root_ / "outer/victim.txt",
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    BuiltArchive archive;
    archive.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "attacker's bytes", 8));
    archive.entries.push_back(BuiltEntry(name, "more of them", 8));
    WriteFile(In("in.zip"), archive.Bytes());
    const auto before = Snapshot(root_.path());

    FakeWindow window(T(In("in.zip")));
    EXPECT_FALSE(ConvertArchive(window));
    EXPECT_EQ(U(window.status), "Konverze selhala u položky \"" + name +
                                    "\": Název položky vede mimo cílovou složku, proto ji program odmítl. (Entry name "
                                    "leads outside the target folder)");
    EXPECT_EQ(Snapshot(root_.path()), before);
  }
  // A sound archive right after, in the same process.
  BuiltArchive good;
  good.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "good bytes", 8));
  WriteFile(In("in.zip"), good.Bytes());
  FakeWindow window(T(In("in.zip")));
  EXPECT_TRUE(ConvertArchive(window)) << U(window.status);
  TZipFile out;
  out.Open(T(In("in.z-ip")), zmRead);
  TBytes bytes;
  out.Read(0, bytes);
  EXPECT_EQ(bytes, "good bytes");
}

// Every output entry carries the time a freshly extracted file would have: the
// entry's own, or the time of the run when the entry's is no valid date.
TEST_F(RunSafety, AnEntryWithoutAValidTimeGetsTheTimeOfItsWriting) {
  // Empty entries: nothing written to the file changes its time by the way.
  BuiltArchive archive;
  const uint32_t kValid = 0x4D4F7000;   // 2018-10-15 14:00:00
  const uint32_t kMonthZero = 0x00010000;  // day 1 of month 0
  int day = 10;
  for (const uint32_t dosTime : {kValid, 0u, kValid, kMonthZero}) {
    BuiltEntry entry("2018-10-" + std::to_string(day++) + "-a-b.csv", "", 0);
    entry.dosDateTime = dosTime;
    archive.entries.push_back(entry);
  }
  WriteFile(In("in.zip"), archive.Bytes());
  const uint32_t before = DateTimeToDos(platform::CurrentLocalTime());
  FakeWindow window(T(In("in.zip")));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  const uint32_t after = DateTimeToDos(platform::CurrentLocalTime());
  TZipFile out;
  out.Open(T(In("in.z-ip")), zmRead);
  ASSERT_EQ(out.FileCount(), 4);
  for (const int i : {0, 2}) EXPECT_EQ(out.FileInfo(i).ModifiedDateTime, kValid);
  for (const int i : {1, 3}) {
    EXPECT_GE(out.FileInfo(i).ModifiedDateTime, before) << i;
    EXPECT_LE(out.FileInfo(i).ModifiedDateTime, after + 2) << i;
  }
}

// What a file that another program holds makes the run say, before the system's words.
const std::string kHeld = "Soubor používá jiný program. Zavřete ho a zkuste to znovu. ";

TEST_F(RunSafety, AnOutputHeldByAnotherOpenerIsNotReplaced) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "new", 8));
  WriteFile(In("in.zip"), archive.Bytes());
  const auto before = Snapshot(root_.path());
  {
    TFileStream held(T(In("in.z-ip")), TFileMode::kOpenRead);
    FakeWindow window(T(In("in.zip")));
    EXPECT_FALSE(ConvertArchive(window));
    EXPECT_EQ(U(window.status).rfind("Konverze selhala: " + kHeld + "(Cannot create file \"" + In("in.z-ip") + "\". ", 0),
              0u)
        << U(window.status);
  }
  // Looked at once it is let go: on Windows no one else may read it meanwhile.
  EXPECT_EQ(Snapshot(root_.path()), before);
  // Once it is let go, the same run replaces it.
  FakeWindow window(T(In("in.zip")));
  EXPECT_TRUE(ConvertArchive(window)) << U(window.status);
}

// An input another program holds for writing, with sharing refused: nothing is
// written and the earlier output stays. One that another program only reads
// (Explorer's view of the ZIP, a preview, a scanner) is read alongside it.
TEST_F(RunSafety, AnInputHeldByAWriterIsRefusedAndOneHeldByAReaderIsRead) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "data", 8));
  WriteFile(In("in.zip"), archive.Bytes());
  {
    platform::IoStatus status;
    platform::File held = platform::File::Open(T(In("in.zip")), platform::FileAccess::kReadWrite,
                                               platform::FileShare::kExclusive, status);
    ASSERT_TRUE(status.Ok());
    FakeWindow window(T(In("in.zip")));
    EXPECT_FALSE(ConvertArchive(window));
    EXPECT_EQ(U(window.status).rfind("Konverze selhala: " + kHeld + "(Cannot open file \"" + In("in.zip") + "\". ", 0),
              0u)
        << U(window.status);
  }
  EXPECT_EQ(ReadFile(In("in.z-ip")), "an earlier output");
  EXPECT_EQ(Snapshot(root_.path() + "/outer/parent/in").size(), 3u);  // in.zip, in.z-ip, victim.txt

  TFileStream reader(T(In("in.zip")), TFileMode::kOpenRead);
  FakeWindow window(T(In("in.zip")));
  EXPECT_TRUE(ConvertArchive(window)) << U(window.status);
  TZipFile out;
  out.Open(T(In("in.z-ip")), zmRead);
  EXPECT_EQ(out.FileCount(), 1);
}

#ifdef _WIN32
// Windows paths as users have them: a drive, "\" and ":" as delimiters, Czech names
// of the folder, the archive and its entries.
TEST_F(RunSafety, WindowsPathsAndCzechNames) {
  const std::string folder = In("Exporty čeština");
  ASSERT_EQ(testing::MakeFolder(folder), 0);
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-čáp-x.csv", "stork", 8));
  archive.entries.push_back(BuiltEntry("2018-10-01-ž-ž.csv", "same", 8));
  const std::string input = folder + "\\Výpis hovorů.zip";
  WriteFile(input, archive.Bytes());
  ASSERT_EQ(input.substr(1, 2), ":\\");
  FakeWindow window(T(input));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  const std::string output = folder + "\\Výpi-s hovorů.zip";
  EXPECT_EQ(U(window.status), "Soubor byl konvertován do: " + output);
  EXPECT_EQ(Snapshot(folder).size(), 2u);  // the input and the output, nothing else
  TZipFile out;
  out.Open(T(output), zmRead);
  ASSERT_EQ(out.FileCount(), 2);
  EXPECT_EQ(U(out.FileName(0)), "2018-10-čáp-x-mob.csv");
  EXPECT_EQ(U(out.FileName(1)), "2018-09-ž-ž-fix.csv");
}

// Folder paths near and past MAX_PATH (260): the program's paths reach the OS in
// their long form, and the run keeps to the platform's length rules. When the
// paths of its own files would be too long, the run says so before it makes
// anything, blaming no entry, and nothing is left behind; the dry run says the
// same.
TEST_F(RunSafety, AnArchiveInAFolderNearOrPastMaxPath) {
  for (const size_t length : {size_t{230}, size_t{270}}) {
    std::string folder = In("");
    folder.pop_back();
    folder += "\\" + std::to_string(length);
    ASSERT_EQ(testing::MakeFolder(folder), 0);
    while (folder.size() < length) {
      folder += "\\" + std::string(std::min<size_t>(40, std::max<size_t>(length - folder.size(), 2) - 1), 'x');
      ASSERT_EQ(testing::MakeFolder(folder), 0) << folder.size();
    }
    SCOPED_TRACE(folder.size());
    BuiltArchive archive;
    archive.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "data", 8));
    WriteFile(folder + "\\exports.zip", archive.Bytes());
    FakeWindow window(T(folder + "\\exports.zip"));
    const bool converted = ConvertArchive(window);
    EXPECT_EQ(U(window.status), "Konverze selhala: Cesta k souboru je příliš dlouhá. Přesuňte archiv do složky s "
                                "kratší cestou. (The specified path is too long)");
    EXPECT_FALSE(converted);
    std::string out;
    EXPECT_EQ(testing::RunCommand(std::string(QUENMAR_CONVERT_EXE) + " -n \"" + folder + "\\exports.zip\"", &out), 1);
    EXPECT_NE(out.find("The specified path is too long"), std::string::npos) << out;
    // Looked at through the program's own folder operations, which take long paths.
    std::vector<Text> files;
    EXPECT_TRUE(platform::WalkFiles(T(folder), [&](const Text& file) { files.push_back(file); }).Ok());
    EXPECT_EQ(files, std::vector<Text>{u"exports.zip"});
    EXPECT_FALSE(platform::FindFirstMatch(T(folder), u".quenmar-*").has_value());
  }
}
#endif

}  // namespace
}  // namespace quenmar

namespace quenmar {
namespace {

// Folders of runs that could not clean up are removed by the next run in the same
// folder; a folder whose lock a run still holds, and anything not of our making,
// stay as they are.
TEST(LeftoverFolders, TheNextRunRemovesAbandonedOnesOnly) {
  TempDir dir;
  auto makeFolder = [&](const std::string& name, bool withLock) {
    EXPECT_EQ(testing::MakeFolder(dir / name), 0);
    WriteFile(dir / (name + "/out.zip"), "half an archive");
    if (withLock) WriteFile(dir / (name + "/lock"), "");
  };
  makeFolder(".quenmar-00112233445566ff", true);  // killed: its lock is free
  makeFolder(".quenmar-aabbccddeeff0011", true);  // still going: its lock is held
  makeFolder(".quenmar-0011223344556677", false);  // no lock file: not ours to judge
  makeFolder(".quenmar-0011223344556678x", true);  // not our name
  makeFolder(".quenmar-0011223344556G77", true);
  WriteFile(dir / ".quenmar-8899aabbccddeeff", "a file of that name");
  platform::IoStatus status;
  platform::File held = platform::File::Open(T(dir / ".quenmar-aabbccddeeff0011/lock"), platform::FileAccess::kRead,
                                             platform::FileShare::kExclusive, status);
  ASSERT_TRUE(status.Ok());

  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-a-b-c.csv", "data", 8));
  WriteFile(dir / "in.zip", archive.Bytes());
  held.Close();  // snapshots read every file, which Windows refuses while it is held
  auto before = Snapshot(dir.path());
  held = platform::File::Open(T(dir / ".quenmar-aabbccddeeff0011/lock"), platform::FileAccess::kRead,
                              platform::FileShare::kExclusive, status);
  ASSERT_TRUE(status.Ok());
  FakeWindow window(T(dir / "in.zip"));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  held.Close();

  auto after = Snapshot(dir.path());
  after.erase("in.z-ip");
  for (auto it = before.begin(); it != before.end();) {
    it = it->first.rfind(".quenmar-00112233445566ff", 0) == 0 ? before.erase(it) : std::next(it);
  }
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace quenmar
