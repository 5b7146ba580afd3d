// What the run says of archives that are odd rather than broken: names with
// control characters or with characters Windows refuses, a new name too long for
// a record, method numbers past a byte, new names that coincide. Each is refused
// (or warned of) the same way on every platform, before anything is written, with
// names shown escaped.
#include <gtest/gtest.h>

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

TEST(HonestReports, OddEntriesAreRefusedAlikeEverywhereBeforeAnythingIsWritten) {
  const std::string longRest(65535 - 15 - 4, 'x');
  const std::string kForbidden = "Název obsahuje znaky, které v názvu souboru nejsou povolené. (Invalid characters in path)";
  const std::string kUnsupported =
      "Položka je komprimovaná metodou, kterou program nepodporuje. Uložte archiv s metodou Deflate. "
      "(Unsupported compression method ";
  struct Case {
    BuiltEntry entry;
    std::string status;
  };
  const Case cases[] = {
      {BuiltEntry("2018-10-15-a\x1b]0;pwned\x07-b.csv", "x", 8),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a\\x1b]0;pwned\\x07-b.csv\": " + kForbidden},
      {BuiltEntry("notes\xC2\x9B" "31m.csv", "x", 8),
       "Konverze selhala u polo\xC5\xBEky \"notes\\x9b" "31m.csv\": název nezačíná platným datem RRRR-MM-DD "},
      {BuiltEntry("2018-10-15-a-b?.csv", "x", 8),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b?.csv\": " + kForbidden},
      {BuiltEntry("2018-10-15-a-b|c.csv", "x", 8),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b|c.csv\": " + kForbidden},
      {BuiltEntry("2018-10-15-a-b-" + longRest + ".csv", "x", 8),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b-" + longRest +
           ".csv\": Nový název položky je příliš dlouhý. (New entry name is too long (65536 bytes, at most 65535))"},
      {BuiltEntry("2018-10-15-a-b.csv", "x", 0x108),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b.csv\": " + kUnsupported + "264 (Unknown))"},
      {BuiltEntry("2018-10-15-a-b.csv", "x", 12),
       "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b.csv\": " + kUnsupported + "12 (BZIP2))"},
  };
  for (const Case& c : cases) {
    for (const int jobs : {1, 2}) {
      SCOPED_TRACE(c.status.substr(0, 80));
      TempDir dir;
      BuiltArchive archive;
      archive.entries.push_back(c.entry);
      archive.entries.push_back(BuiltEntry("2018-10-16-c-d.csv", "after it", 8));
      WriteFile(dir / "exports.zip", archive.Bytes());
      WriteFile(dir / "expo-rts.zip", "an earlier output");
      const auto before = Snapshot(dir.path());
      FakeWindow window(T(dir / "exports.zip"));
      EXPECT_FALSE(ConvertArchive(window, jobs));
      const std::string status = U(window.status);
      // The rule's own words follow its prefix; everything else is said whole.
      if (c.status.back() == ' ') {
        EXPECT_EQ(status.rfind(c.status, 0), 0u) << status;
        EXPECT_EQ(status.find("\xC2\x9B"), std::string::npos) << status;
      } else {
        EXPECT_EQ(status, c.status);
      }
      EXPECT_EQ(Snapshot(dir.path()), before);
    }
  }
}

TEST(HonestReports, CoincidingNewNamesAreWrittenAndWarnedOf) {
  TempDir dir;
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-abc-def-ghi.csv", "first", 8));
  archive.entries.push_back(BuiltEntry("2018-10-16-abc-def-ghi.csv", "second", 8));
  archive.entries.push_back(BuiltEntry("2018-10-17-\xC4\x8D" "-x.csv", "third", 8));   // č
  archive.entries.push_back(BuiltEntry("2018-10-18-\xC4\x8C" "-x.csv", "fourth", 8));  // Č
  WriteFile(dir / "exports.zip", archive.Bytes());
  for (const int jobs : {1, 2}) {
    FakeWindow window(T(dir / "exports.zip"));
    Text warning;
    EXPECT_TRUE(ConvertArchive(window, jobs, &warning));
    const std::string expected =
        "pozor, stejn\xC3\xBD nov\xC3\xBD n\xC3\xA1zev dostalo v\xC3\xAD" "ce polo\xC5\xBE" "ek: "
        "2018-10-15-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv, "
        "2018-10-16-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv; "
        "2018-10-17-\xC4\x8D-x.csv -> 2018-10-\xC4\x8D-x-mob.csv, 2018-10-18-\xC4\x8C-x.csv -> 2018-10-\xC4\x8C-x-mob.csv";
    EXPECT_EQ(U(warning), expected);
    EXPECT_EQ(U(window.status), "Soubor byl konvertov\xC3\xA1n do: " + dir / "expo-rts.zip" + "; " + expected);
  }
}


// A month of daily files with the same fields: the status line names a few of
// them and says how many more there are, rather than growing with the archive.
TEST(HonestReports, ManyCoincidingNamesGiveAShortWarning) {
  TempDir dir;
  BuiltArchive archive;
  for (int field = 0; field < 7; ++field) {
    for (int day = 10; day < 14; ++day) {
      archive.entries.push_back(
          BuiltEntry("2018-10-" + std::to_string(day) + "-f" + std::to_string(field) + "-g.csv", "x", 8));
    }
  }
  WriteFile(dir / "exports.zip", archive.Bytes());
  FakeWindow window(T(dir / "exports.zip"));
  Text warning;
  EXPECT_TRUE(ConvertArchive(window, 1, &warning));
  const std::string text = U(warning);
  EXPECT_NE(text.find("2018-10-12-f0-g.csv -> 2018-10-f0-g-mob.csv, \xE2\x80\xA6 (4 polo\xC5\xBE" "ek); "), std::string::npos)
      << text;
  EXPECT_EQ(text.find("2018-10-13-f0-g.csv"), std::string::npos) << text;
  EXPECT_EQ(text.find("f5-g"), std::string::npos) << text;
  const std::string tail = "; \xE2\x80\xA6 (7 takov\xC3\xBD" "ch n\xC3\xA1zv\xC5\xAF)";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
}

}  // namespace
}  // namespace quenmar
