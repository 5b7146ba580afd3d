#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "archive/zip_file.h"
#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

using testing::FakeWindow;

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(dir);
  }
  return names;
}

struct Entry { std::string name, data; };

void MakeArchive(const std::string& path, const std::vector<Entry>& entries) {
  TZipFile zip;
  zip.Open(T(path), zmWrite);
  for (const Entry& e : entries) zip.Add(TBytes(e.data), T(e.name), 8);
  zip.Close();
}

std::vector<std::pair<std::string, std::string>> Contents(const std::string& path) {
  TZipFile zip;
  zip.Open(T(path), zmRead);
  std::vector<std::pair<std::string, std::string>> out;
  for (int i = 0; i < zip.FileCount(); ++i) {
    TBytes bytes;
    zip.Read(i, bytes);
    out.emplace_back(U(zip.FileName(i)), bytes);
  }
  return out;
}

TEST(OutputPath, InsertsADashBeforeTheFifthCharacter) {
  const TextView w = platform::kWindowsDelimiters, p = platform::kPosixDelimiters;
  EXPECT_EQ(OutputPathFor(u"C:\\data\\abcdef.zip", w), u"C:\\data\\abcd-ef.zip");
  EXPECT_EQ(OutputPathFor(u"C:\\data\\abc", w), u"C:\\data\\abc-");
  EXPECT_EQ(OutputPathFor(u"C:\\data\\a.zip", w), u"C:\\data\\a.zi-p");
  EXPECT_EQ(OutputPathFor(u"/data/abcdef.zip", p), u"/data/abcd-ef.zip");
  EXPECT_EQ(OutputPathFor(u"/data/abc", p), u"/data/abc-");
  EXPECT_EQ(OutputPathFor(u"/data/a.zip", p), u"/data/a.zi-p");
  EXPECT_EQ(OutputPathFor(u"abcdef.zip", p), u"abcd-ef.zip");
  EXPECT_EQ(OutputPathFor(u"", p), u"-");
}

TEST(ConvertArchive, ConvertsEveryEntryAndMovesTheGauge) {
  TempDir dir;
  std::vector<Entry> entries;
  for (int day = 1; day <= 8; ++day) {
    entries.push_back({"2018-10-0" + std::to_string(day) + "-a-" + (day % 3 == 0 ? "a" : "b") + "-x.csv",
                       "call;" + std::to_string(day)});
  }
  MakeArchive(dir / "exports.zip", entries);
  FakeWindow window(T(dir / "exports.zip"));
  EXPECT_TRUE(ConvertArchive(window));
  // Days whose new names coincide are all written, and the status says which.
  EXPECT_EQ(window.status, u"Soubor byl konvertován do: " + T(dir / "expo-rts.zip") +
                               u"; pozor, stejný nový název dostalo více položek: "
                               u"2018-10-02-a-b-x.csv -> 2018-10-a-b-x-mob.csv, 2018-10-04-a-b-x.csv -> "
                               u"2018-10-a-b-x-mob.csv, 2018-10-05-a-b-x.csv -> 2018-10-a-b-x-mob.csv, … (5 položek); "
                               u"2018-10-03-a-a-x.csv -> 2018-10-a-a-x-fix.csv, "
                               u"2018-10-06-a-a-x.csv -> 2018-10-a-a-x-fix.csv");
  EXPECT_EQ(window.progressSeen, (std::vector<int>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
  EXPECT_FALSE(window.startEnabled);
  EXPECT_FALSE(window.gaugeVisible);
  EXPECT_EQ(window.pumps, 1);
  const auto out = Contents(dir / "expo-rts.zip");
  ASSERT_EQ(out.size(), 8u);
  EXPECT_EQ(out[0], std::make_pair(std::string("2018-09-a-b-x-mob.csv"), std::string("call;1")));
  EXPECT_EQ(out[1], std::make_pair(std::string("2018-10-a-b-x-mob.csv"), std::string("call;2")));
  EXPECT_EQ(out[2], std::make_pair(std::string("2018-10-a-a-x-fix.csv"), std::string("call;3")));
  // Nothing else is left beside the archive.
  EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"exports.zip", "expo-rts.zip"}));
}

TEST(ConvertArchive, AnArchiveWithoutEntries) {
  TempDir dir;
  MakeArchive(dir / "empty.zip", {});
  FakeWindow window(T(dir / "empty.zip"));
  EXPECT_TRUE(ConvertArchive(window));
  EXPECT_EQ(window.progressSeen, std::vector<int>{0});
  EXPECT_EQ(ReadFile(dir / "empt-y.zip").size(), 22u);
}

TEST(ConvertArchive, ARejectedNameFailsTheRunAndTouchesNothing) {
  TempDir dir;
  MakeArchive(dir / "exports.zip", {{"2018-10-15-a-b-c.csv", "one"}, {"2018-10-16-a-a-c.csv", "two"},
                                    {"not-a-date.csv", "three"}, {"2018-10-17-x-y.csv", "four"}});
  WriteFile(dir / "expo-rts.zip", "an earlier output");
  // Files that bear an entry's old or new name beside the archive.
  WriteFile(dir / "2018-10-15-a-b-c.csv", "mine");
  WriteFile(dir / "2018-10-a-b-c-mob.csv", "mine too");
  WriteFile(dir / "not-a-date.csv", "keep");
  FakeWindow window(T(dir / "exports.zip"));
  EXPECT_FALSE(ConvertArchive(window));
  EXPECT_EQ(window.status, u"Konverze selhala u položky \"not-a-date.csv\": název nezačíná platným datem RRRR-MM-DD "
                           u"(Invalid argument to date encode)");
  EXPECT_FALSE(window.gaugeVisible);
  EXPECT_EQ(ReadFile(dir / "expo-rts.zip"), "an earlier output");
  EXPECT_EQ(ReadFile(dir / "2018-10-15-a-b-c.csv"), "mine");
  EXPECT_EQ(ReadFile(dir / "2018-10-a-b-c-mob.csv"), "mine too");
  EXPECT_EQ(ReadFile(dir / "not-a-date.csv"), "keep");
  EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"exports.zip", "expo-rts.zip", "2018-10-15-a-b-c.csv",
                                                        "2018-10-a-b-c-mob.csv", "not-a-date.csv"}));
}

TEST(ConvertArchive, FailuresOutsideAnEntry) {
  TempDir dir;
  WriteFile(dir / "broken.zip", "this is no archive at all");
  FakeWindow broken(T(dir / "broken.zip"));
  EXPECT_FALSE(ConvertArchive(broken));
  EXPECT_EQ(broken.status, u"Konverze selhala: Soubor není platný archiv ZIP nebo je poškozený. (Error reading zip file)");
  FakeWindow missing(T(dir / "missing.zip"));
  EXPECT_FALSE(ConvertArchive(missing));
  EXPECT_EQ(U(missing.status).rfind("Konverze selhala: Soubor nebyl nalezen. Zkontrolujte cestu. (Cannot open file \"" +
                                        dir / "missing.zip",
                                    0),
            0u)
      << U(missing.status);
  FakeWindow noFolder(T(dir / "no/such/folder/a.zip"));
  EXPECT_FALSE(ConvertArchive(noFolder));
  EXPECT_EQ(U(noFolder.status)
                .rfind("Konverze selhala: Cesta k souboru nebyla nalezena. Zkontrolujte ji. (Cannot open file \"" +
                           dir / "no/such/folder/a.zip",
                       0),
            0u)
      << U(noFolder.status);
  EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"broken.zip"});
}

TEST(ConvertArchive, EntriesAreTakenByPositionAndDuplicateNewNamesStay) {
  TempDir dir;
  MakeArchive(dir / "dupes.zip", {{"2018-10-15-a-b.csv", "first"}, {"2018-10-15-A-B.csv", "second"},
                                  {"2018-10-15-a-b.csv", "third"}, {"2018-10-15-a-b.CSV", "fourth"}});
  FakeWindow window(T(dir / "dupes.zip"));
  EXPECT_TRUE(ConvertArchive(window)) << U(window.status);
  const auto out = Contents(dir / "dupe-s.zip");
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].first, "2018-10-a-b-mob.csv");
  EXPECT_EQ(out[0].second, "first");
  EXPECT_EQ(out[1].second, "second");
  EXPECT_EQ(out[2].first, "2018-10-a-b-mob.csv");
  EXPECT_EQ(out[2].second, "third");
  EXPECT_EQ(out[3].second, "fourth");
}

TEST(ConvertArchive, KeepsTimeAndTheReadOnlyBit) {
  TempDir dir;
  WriteFile(dir / "2018-10-15-a-b-c.csv", "read only data");
  chmod((dir / "2018-10-15-a-b-c.csv").c_str(), 0444);
  {
    TZipFile zip;
    zip.Open(T(dir / "in.zip"), zmWrite);
    zip.Add(T(dir / "2018-10-15-a-b-c.csv"));
    zip.Close();
  }
  chmod((dir / "2018-10-15-a-b-c.csv").c_str(), 0644);  // a read-only file cannot be deleted on Windows
  unlink((dir / "2018-10-15-a-b-c.csv").c_str());
  FakeWindow window(T(dir / "in.zip"));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  TZipFile in, out;
  in.Open(T(dir / "in.zip"), zmRead);
  out.Open(T(dir / "in.z-ip"), zmRead);
  EXPECT_EQ(out.FileName(0), u"2018-10-a-b-c-mob.csv");
  EXPECT_EQ(out.FileInfo(0).ExternalAttributes & 0x01, 0x01u);
  EXPECT_EQ(out.FileInfo(0).ModifiedDateTime, in.FileInfo(0).ModifiedDateTime);
  EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"in.zip", "in.z-ip"}));
}

// Entries of a Unix archiver: only a mode without the owner's write bit makes a
// file read-only, so an entry after a read-only one must not inherit its bit.
TEST(ConvertArchive, AReadOnlyEntryDoesNotMarkTheNextOne) {
  TempDir dir;
  testing::BuiltArchive archive;
  for (const auto& [name, mode] : {std::pair{"2018-10-15-a-a-1.csv", 0444u}, std::pair{"2018-10-16-a-b-2.csv", 0644u},
                                   std::pair{"2018-10-17-a-b-3.csv", 0444u}}) {
    testing::BuiltEntry entry(name, name, 8);
    entry.madeBy = 0x0314;
    entry.externalAttributes = (0100000u | mode) << 16;
    archive.entries.push_back(entry);
  }
  WriteFile(dir / "in.zip", archive.Bytes());
  FakeWindow window(T(dir / "in.zip"));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  TZipFile out;
  out.Open(T(dir / "in.z-ip"), zmRead);
  ASSERT_EQ(out.FileCount(), 3);
  EXPECT_EQ(out.FileInfo(0).ExternalAttributes & 0x01, 0x01u);
  EXPECT_EQ(out.FileInfo(1).ExternalAttributes & 0x01, 0x00u);
  EXPECT_EQ(out.FileInfo(2).ExternalAttributes & 0x01, 0x01u);
  TBytes bytes;
  out.Read(1, bytes);
  EXPECT_EQ(bytes, "2018-10-16-a-b-2.csv");
}

TEST(ConvertArchive, NamesFromAUnicodePathRecordConvert) {
  TempDir dir;
  testing::BuiltArchive archive;
  testing::BuiltEntry entry("2018-10-15-caf\x82-x.csv", "coffee", 8, 0);
  entry.localExtra = testing::UnicodePathRecord(entry.name, "2018-10-15-caf\xC3\xA9-x.csv");
  archive.entries.push_back(entry);
  WriteFile(dir / "cafes.zip", archive.Bytes());
  FakeWindow window(T(dir / "cafes.zip"));
  ASSERT_TRUE(ConvertArchive(window)) << U(window.status);
  const auto out = Contents(dir / "cafe-s.zip");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].first, "2018-10-caf\xC3\xA9-x-mob.csv");
  EXPECT_EQ(out[0].second, "coffee");
}

TEST(ConvertArchive, FolderEntriesAndUnusableNewNamesFail) {
  struct Case { std::string entry, status; };
  const Case cases[] = {
      {"sub/2018-10-01-a-b-c.csv", "Konverze selhala u položky \"sub/2018-10-01-a-b-c.csv\": název nezačíná platným "
                                   "datem RRRR-MM-DD (Range check error)"},
      {"2018-10-01/", "Konverze selhala u položky \"2018-10-01/\": Z názvu položky nevznikl platný nový název. "
                      "(Invalid new entry name \"2018-09/-fix\")"},
      {"1899-12-30-a.csv", "Konverze selhala u položky \"1899-12-30-a.csv\": Z názvu položky nevznikl platný nový "
                           "název. (Invalid new entry name \"\")"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    MakeArchive(dir / "input.zip", {{c.entry, ""}});
    FakeWindow window(T(dir / "input.zip"));
    EXPECT_FALSE(ConvertArchive(window));
    EXPECT_EQ(U(window.status), c.status);
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"input.zip"});
  }
}

TEST(ConvertArchive, RelativeInputWorksInTheCurrentDirectory) {
  TempDir dir;
  MakeArchive(dir / "abcdef.zip", {{"2018-10-15-a-b-c.csv", "x"}});
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  FakeWindow window(u"abcdef.zip");
  const bool converted = ConvertArchive(window);
  ASSERT_EQ(chdir(old), 0);
  EXPECT_TRUE(converted);
  EXPECT_EQ(window.status, u"Soubor byl konvertován do: abcd-ef.zip");
  EXPECT_TRUE(Exists(dir / "abcd-ef.zip"));
}

}  // namespace
}  // namespace quenmar
