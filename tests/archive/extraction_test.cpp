#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <thread>

#include "common/zip_builder.h"
#include "archive/entry_path.h"
#include "archive/zip_file.h"
#include "common/test_support.h"
#include "support/exceptions.h"
#include "support/platform/folders.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::Exists;
using testing::ReadFile;
using testing::T;
using testing::TempDir;

class ZipExtraction : public ::testing::Test {
 protected:
  // Writes the archive to disk and opens it for reading.
  void OpenArchive(const BuiltArchive& archive) {
    testing::WriteFile(dir_ / "in.zip", archive.Bytes());
    zip_.Open(T(dir_ / "in.zip"), zmRead);
  }
  std::string Out(const std::string& name = "") const { return dir_ / ("out/" + name); }

  TempDir dir_;
  TZipFile zip_;
};

TEST_F(ZipExtraction, WritesFilesAndFoldersBelowThePath) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"sub/a.csv", "alpha", 8});
  archive.entries.push_back(BuiltEntry{"empty/", ""});
  archive.entries.push_back(BuiltEntry{"b.txt", std::string(200000, 'b'), 8});
  archive.entries.push_back(BuiltEntry{"zero.txt", "", 0, 0x0808});
  OpenArchive(archive);
  zip_.Extract(u"SUB/A.CSV", T(Out()), true);
  EXPECT_EQ(ReadFile(Out("sub/a.csv")), "alpha");
  zip_.Extract(1, T(Out()), true);
  EXPECT_TRUE(testing::Exists(Out("empty")));
  testing::WriteFile(Out("b.txt"), "old and longer than nothing");
  zip_.ExtractAll(T(Out()));
  EXPECT_EQ(ReadFile(Out("b.txt")), std::string(200000, 'b'));
  EXPECT_EQ(ReadFile(Out("zero.txt")), "");
  // Without folders the file lands in the path itself.
  testing::MakeFolder(Out("flat"));
  zip_.Extract(0, T(Out("flat")), false);
  EXPECT_EQ(ReadFile(Out("flat/a.csv")), "alpha");
}

TEST_F(ZipExtraction, SetsTheEntryTimeAndTheReadOnlyBit) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"timed.txt", "t"});
  archive.entries.push_back(BuiltEntry{"undated.txt", "u"});
  archive.entries.back().dosDateTime = 0;
  archive.entries.push_back(BuiltEntry{"ro.txt", "r"});
  archive.entries.back().externalAttributes = 0x21;
  archive.entries.push_back(BuiltEntry{"unix.txt", "x"});
  archive.entries.back().madeBy = 0x0314;
  archive.entries.back().externalAttributes = 0x21;
  archive.entries.push_back(BuiltEntry{"unix-ro.txt", "x"});
  archive.entries.back().madeBy = 0x0314;
  archive.entries.back().externalAttributes = 0100444u << 16;
  OpenArchive(archive);
  const time_t before = time(nullptr);
  zip_.ExtractAll(T(Out()));
  struct stat st;
  ASSERT_EQ(stat(Out("timed.txt").c_str(), &st), 0);
  const std::tm tm = testing::LocalTime(st.st_mtime);
  EXPECT_EQ((tm.tm_year + 1900) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday, 20181015);
  EXPECT_EQ(tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec, 14 * 3600);
  ASSERT_EQ(stat(Out("undated.txt").c_str(), &st), 0);
  EXPECT_GE(st.st_mtime, before - 1);
  ASSERT_EQ(stat(Out("ro.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  ASSERT_EQ(stat(Out("unix.txt").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0200, 0u);  // MS-DOS bits of another host are not applied
  ASSERT_EQ(stat(Out("unix-ro.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);  // a Unix mode without write access is
}

TEST_F(ZipExtraction, RefusesBeforeCreatingAnything) {
  struct Case { BuiltEntry entry; std::string message; };
  const Case cases[] = {
      {BuiltEntry{"../evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{"a/../../evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{"a\\..\\evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{"/etc/evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{"\\evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{"C:evil.txt", "x"}, "Entry name leads outside the target folder"},
      {BuiltEntry{std::string("a\0b.txt", 7), "x"}, "Invalid characters in path"},
      {BuiltEntry{"bz2.txt", "x", 12}, "Unsupported compression method 12 (BZIP2)"},
      {BuiltEntry{"deflate-ish.txt", "x", 0x108}, "Unsupported compression method 264 (Unknown)"},
      {BuiltEntry{"stored-ish.txt", "x", 0x100}, "Unsupported compression method 256 (Unknown)"},
      {BuiltEntry{"secret.txt", "x", 0, 0x0801}, "Encrypted entries are not supported"},
  };
  for (const Case& c : cases) {
    BuiltArchive archive;
    archive.entries.push_back(c.entry);
    TempDir scratch;
    testing::WriteFile(scratch / "in.zip", archive.Bytes());
    TZipFile zip;
    zip.Open(T(scratch / "in.zip"), zmRead);
    try {
      zip.Extract(0, T(scratch / "out/deeper"), true);
      ADD_FAILURE() << c.entry.name;
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), c.message) << c.entry.name;
    }
    EXPECT_FALSE(Exists(scratch / "out")) << c.entry.name;
    EXPECT_FALSE(Exists(scratch / "evil.txt"));
  }
}

// Joining refuses by itself what would lead out of the folder, whatever its
// caller checked.
TEST(EntryPath, JoiningNeverLeadsOutOfTheFolder) {
  for (const TextView name : {u"../a", u"a/../../b", u"..", u"/etc/a", u"\\a", u"C:a", u"a\\..\\..\\b"}) {
    for (const TextView folder : {u"", u"/x/y/", u"/x/y"}) {
      EXPECT_THROW(JoinEntryPath(folder, name), EArgumentException) << testing::U(Text(name));
    }
  }
  EXPECT_EQ(JoinEntryPath(u"/x/y", u"a/b..c"), u"/x/y" + Text(1, platform::kPathSeparator) + u"a/b..c");
}

TEST_F(ZipExtraction, CorruptDataIsReportedAfterWriting) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"badcrc.txt", "payload"});
  archive.entries.back().crc = 0x12345678;
  archive.entries.push_back(BuiltEntry{"short.txt", "abc"});
  OpenArchive(archive);
  try {
    zip_.Extract(0, T(Out()), true);
    FAIL();
  } catch (const EZipException& e) {
    EXPECT_STREQ(e.what(), "CRC-32 mismatch");
  }
  EXPECT_EQ(ReadFile(Out("badcrc.txt")), "payload");
  TBytes bytes;
  EXPECT_THROW(zip_.Read(0, bytes), EZipException);
  EXPECT_THROW(zip_.Extract(u"missing.txt", T(Out()), true), EZipException);
  EXPECT_THROW(zip_.Extract(7, T(Out()), true), EZipException);
  zip_.Read(u"short.txt", bytes);  // the archive stays usable
  EXPECT_EQ(bytes, "abc");
}

TEST_F(ZipExtraction, DeflateErrorsAndShortDataRaise) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"garbage.txt", "\xFF\xFF\xFF\xFF", 8});
  archive.entries.push_back(BuiltEntry{"short.txt", "abc", 8});
  std::string bytes = archive.Bytes();
  // Garbage in place of the first entry's deflate stream.
  const size_t data = 30 + std::string("garbage.txt").size();
  bytes.replace(data, 4, "\xFF\xFF\xFF\xFF");
  testing::WriteFile(dir_ / "in.zip", bytes);
  zip_.Open(T(dir_ / "in.zip"), zmRead);
  // A longer file already in the way keeps nothing of its old contents.
  testing::MakeFolder(Out());
  testing::WriteFile(Out("garbage.txt"), "old contents, longer than the entry");
  try {
    zip_.Extract(0, T(Out()), true);
    FAIL();
  } catch (const EZDecompressionError& e) {
    EXPECT_STREQ(e.what(), "data error");
  }
  EXPECT_EQ(ReadFile(Out("garbage.txt")), "");
}

TEST_F(ZipExtraction, UnicodePathRecordNamesTheFile) {
  BuiltArchive archive;
  BuiltEntry entry{"caf\x82.txt", "coffee"};
  entry.flag = 0;
  entry.localExtra = testing::UnicodePathRecord("caf\x82.txt", "caf\xC3\xA9.txt");
  archive.entries.push_back(entry);
  BuiltEntry stale{"old.txt", "x"};
  stale.flag = 0;
  stale.localExtra = testing::UnicodePathRecord("something else", "new.txt");
  archive.entries.push_back(stale);
  OpenArchive(archive);
  EXPECT_EQ(zip_.FileName(0), u"caf\u00E9.txt");  // code page 437: 0x82 is é as well
  EXPECT_EQ(zip_.ExtractionName(0), u"caf\u00E9.txt");
  EXPECT_EQ(zip_.ExtractionName(1), u"old.txt");  // the record's CRC-32 does not match
  zip_.ExtractAll(T(Out()));
  EXPECT_EQ(ReadFile(Out("caf\xC3\xA9.txt")), "coffee");
  EXPECT_TRUE(Exists(Out("old.txt")));

  Text name;
  TZipHeader header;
  header.FileName = "n";
  header.ExtraField = std::string("\x75\x70\x10\x00\x01", 5);  // cut short
  EXPECT_FALSE(TZipFile::GetUTF8PathFromExtraField(header, name));
}

// Reused state (the inflater, the local record, the folders made) must be as good
// as new after an extraction that failed half-way.
TEST_F(ZipExtraction, AFailedExtractionLeavesNothingForTheNext) {
  BuiltArchive archive;
  archive.entries.push_back(testing::DamagedDeflateEntry("damaged.txt"));
  archive.entries.push_back(BuiltEntry{"sub/good.txt", std::string(3000, 'g'), 8});
  OpenArchive(archive);
  EXPECT_THROW(zip_.Extract(0, T(Out()), true), EZDecompressionError);
  zip_.Extract(1, T(Out()), true);
  EXPECT_EQ(ReadFile(Out("sub/good.txt")), std::string(3000, 'g'));

  // Another archive, after another failure.
  EXPECT_THROW(zip_.Extract(0, T(Out()), true), EZDecompressionError);
  BuiltArchive other;
  other.entries.push_back(BuiltEntry{"sub/other.txt", "other", 8});
  testing::WriteFile(dir_ / "other.zip", other.Bytes());
  TZipFile second;
  second.Open(T(dir_ / "other.zip"), zmRead);
  TBytes bytes;
  second.Read(0, bytes);
  EXPECT_EQ(bytes, "other");

  // Spare zlib states are shared between threads: one left by a failure on a
  // thread that has ended since serves the next extraction as well.
  std::thread([&] { EXPECT_THROW(zip_.Extract(0, T(Out()), true), EZDecompressionError); }).join();
  second.Read(0, bytes);
  EXPECT_EQ(bytes, "other");

  // A folder made by an earlier extraction and removed since is made again.
  ASSERT_TRUE(platform::RemoveTree(T(Out("sub"))));
  zip_.Extract(1, T(Out()), true);
  EXPECT_EQ(ReadFile(Out("sub/good.txt")), std::string(3000, 'g'));
}

// Archivers mark only the names that need it as UTF-8: extraction decodes each
// entry by its own flag, while the listing keeps the archive-wide choice.
TEST_F(ZipExtraction, EachEntryNameIsDecodedByItsOwnFlag) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"\xC4\x8D\xC3\xA1p.txt", "stork"});  // flagged UTF-8
  archive.entries.push_back(BuiltEntry{"caf\x82.txt", "coffee", 0, 0});     // code page 437
  archive.entries.push_back(BuiltEntry{"plain.txt", "ascii", 0, 0});
  OpenArchive(archive);
  EXPECT_FALSE(zip_.UTF8Support());
  EXPECT_EQ(zip_.FileName(0), u"\u2500\u00EC\u251C\u00EDp.txt");  // as code page 437
  EXPECT_EQ(zip_.IndexOf(u"\u2500\u00EC\u251C\u00EDp.txt"), 0);
  EXPECT_EQ(zip_.EntryName(0), u"\u010D\u00E1p.txt");
  EXPECT_EQ(zip_.ExtractionName(0), u"\u010D\u00E1p.txt");
  EXPECT_EQ(zip_.ExtractionName(1), u"caf\u00E9.txt");
  zip_.ExtractAll(T(Out()));
  EXPECT_EQ(ReadFile(Out("\xC4\x8D\xC3\xA1p.txt")), "stork");
  EXPECT_EQ(ReadFile(Out("caf\xC3\xA9.txt")), "coffee");
}

TEST_F(ZipExtraction, NeedsAnArchiveOpenForReading) {
  TZipFile closed;
  try {
    closed.Extract(0, T(Out()), true);
    FAIL();
  } catch (const EZipException& e) {
    EXPECT_STREQ(e.what(), "File must be open for reading");
  }
}

}  // namespace
}  // namespace quenmar
