#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "archive/zip_format.h"
#include "common/test_support.h"
#include "support/exceptions.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

using testing::ReadFile;
using testing::T;
using testing::TempDir;
using testing::WriteFile;
namespace zf = zipformat;

void SetLocalMtime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  ASSERT_EQ(testing::SetModifiedTime(path, mktime(&tm)), 0);
}

TEST(ZipWriting, AnArchiveWithoutEntriesIsTheEndRecordAlone) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "e.zip"), zmWrite);
    zip.Close();
  }
  const std::string bytes = ReadFile(dir / "e.zip");
  EXPECT_EQ(bytes, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

// An entry compressed apart from the archive and appended gives the archive that
// Add gives, in both name encodings; one whose compressed bytes pass the budget is
// refused by the result, not by an error, and appending nothing changes nothing.
TEST(ZipWriting, AnEntryPreparedApartIsTheEntryAddWrites) {
  TempDir dir;
  std::string text;
  for (int i = 0; text.size() < 300000; ++i) text += std::to_string(i * 7919 % 1000) + ";Brno;ř\n";
  WriteFile(dir / "a.csv", text);
  WriteFile(dir / "empty.csv", "");
  for (const bool utf8 : {true, false}) {
    for (const char* name : {"a.csv", "empty.csv"}) {
      TFileStream file(T(dir / name), TFileMode::kOpenRead);
      {
        TZipFile zip;
        zip.Open(T(dir / "added.zip"), zmWrite);
        zip.SetUTF8Support(utf8);
        zip.Add(file, u"2018-10-ž.csv", 8);
        zip.Close();
      }
      std::optional<TPreparedEntry> prepared = PrepareEntry(file, u"2018-10-ž.csv", 8, utf8, int64_t{1} << 20);
      ASSERT_TRUE(prepared.has_value());
      {
        TZipFile zip;
        zip.Open(T(dir / "prepared.zip"), zmWrite);
        zip.SetUTF8Support(utf8);
        zip.AddPrepared(*prepared);
        zip.Close();
      }
      EXPECT_EQ(ReadFile(dir / "prepared.zip"), ReadFile(dir / "added.zip")) << name << " utf8=" << utf8;
    }
  }
  std::string noise(1 << 20, '\0');
  uint32_t state = 1;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 24);
  WriteFile(dir / "noise.bin", noise);
  TFileStream file(T(dir / "noise.bin"), TFileMode::kOpenRead);
  int64_t progressed = 0;
  EXPECT_FALSE(PrepareEntry(file, u"x.csv", 8, true, 100000, [&](int64_t done) { progressed = done; }).has_value());
  EXPECT_LT(progressed, static_cast<int64_t>(noise.size()));  // stopped early, not compressed through
  EXPECT_TRUE(PrepareEntry(file, u"x.csv", 8, true, 2 << 20).has_value());
  EXPECT_THROW(PrepareEntry(file, u"x.csv", 12, true, 1 << 20), EZipException);
}

TEST(ZipWriting, EntriesCarryNameTimeAttributesAndAgreeInBothRecords) {
  TempDir dir;
  WriteFile(dir / "new.csv", "a;b;c\n1;2;3\n");
  WriteFile(dir / "empty.txt", "");
  WriteFile(dir / "old.txt", "old");
  WriteFile(dir / "ro.txt", "read only");
  SetLocalMtime(dir / "new.csv", 2018, 10, 15, 14, 3, 59);
  SetLocalMtime(dir / "old.txt", 1975, 6, 1, 12, 0, 0);
  chmod((dir / "ro.txt").c_str(), 0444);
  {
    TZipFile zip;
    zip.Open(T(dir / "out.zip"), zmWrite);
    zip.Add(T(dir / "new.csv"));
    zip.Add(T(dir / "empty.txt"));
    zip.Add(T(dir / "old.txt"), u"x/y.txt");
    zip.Add(T(dir / "ro.txt"));
    zip.Add(T(dir / "new.csv"));  // the same name twice gives two entries
    zip.Close();
  }
  const std::string bytes = ReadFile(dir / "out.zip");
  TMemoryStream stream(bytes);
  TZipFile zip;
  zip.Open(stream, zmRead);
  ASSERT_EQ(zip.FileNames(), (std::vector<Text>{u"new.csv", u"empty.txt", u"x/y.txt", u"ro.txt", u"new.csv"}));
  const auto infos = zip.FileInfos();
  EXPECT_EQ(infos[0].ModifiedDateTime, ((38u << 9 | 10u << 5 | 15u) << 16) | (14u << 11 | 3u << 5 | 29u));
  EXPECT_EQ(infos[2].ModifiedDateTime, 0u);
  EXPECT_EQ(infos[1].CompressedSize, 2u);
  EXPECT_EQ(infos[1].CRC32, 0u);
  EXPECT_EQ(bytes.substr(infos[1].LocalHeaderOffset + 30 + 9, 2), std::string("\x03\x00", 2));
  EXPECT_EQ(infos[3].ExternalAttributes, 0x21u);
  EXPECT_EQ(infos[0].ExternalAttributes, 0x20u);

  for (const TZipHeader& h : infos) {
    const char* local = bytes.data() + h.LocalHeaderOffset;
    ASSERT_EQ(zf::GetU32(local), zf::kLocalHeaderSignature);
    EXPECT_EQ(h.MadeByVersion, 20);
    EXPECT_EQ(zf::GetU16(local + 4), h.RequiredVersion);
    EXPECT_EQ(zf::GetU16(local + 6), h.Flag);
    EXPECT_EQ(h.Flag, 0x0800);
    EXPECT_EQ(zf::GetU16(local + 8), 8);
    EXPECT_EQ(h.CompressionMethod, 8);
    EXPECT_EQ(zf::GetU32(local + 10), h.ModifiedDateTime);
    EXPECT_EQ(zf::GetU32(local + 14), h.CRC32);
    EXPECT_EQ(zf::GetU32(local + 18), h.CompressedSize);
    EXPECT_EQ(zf::GetU32(local + 22), h.UncompressedSize);
    EXPECT_EQ(zf::GetU16(local + 26), h.FileNameLength);
    EXPECT_EQ(zf::GetU16(local + 28), 0);
    EXPECT_EQ(std::string(local + 30, h.FileNameLength), h.FileName);
  }
  TBytes content;
  zip.Read(4, content);
  EXPECT_EQ(content, "a;b;c\n1;2;3\n");
}

TEST(ZipWriting, DestructionAfterAFailedAddCompletesTheArchive) {
  TempDir dir;
  WriteFile(dir / "a.txt", std::string(100000, 'a'));
  WriteFile(dir / "b.txt", "bee");
  {
    TZipFile zip;
    zip.Open(T(dir / "out.zip"), zmWrite);
    zip.Add(T(dir / "a.txt"));
    zip.Add(T(dir / "b.txt"));
    EXPECT_THROW(zip.Add(T(dir / "missing.txt")), EFOpenError);
  }
  TZipFile zip;
  zip.Open(T(dir / "out.zip"), zmRead);
  EXPECT_EQ(zip.FileNames(), (std::vector<Text>{u"a.txt", u"b.txt"}));
}

// A source that breaks down midway, after part of the entry was written.
class FailingStream : public TMemoryStream {
 public:
  using TMemoryStream::TMemoryStream;
  int64_t Read(void* buffer, int64_t count) override {
    if (Position() > 70000) return 0;
    return TMemoryStream::Read(buffer, count);
  }
};

TEST(ZipWriting, APartlyWrittenEntryLeavesNoBytesBehindTheEndRecord) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "out.zip"), zmWrite);
    zip.Add(TBytes("small"), u"small.txt");
    std::string noise(400000, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    FailingStream failing(noise);
    EXPECT_THROW(zip.Add(failing, u"broken.bin"), EReadError);
    zip.Close();
  }
  const std::string bytes = ReadFile(dir / "out.zip");
  EXPECT_EQ(bytes.substr(bytes.size() - 22, 4), std::string("PK\x05\x06", 4));
  TZipFile zip;
  zip.Open(T(dir / "out.zip"), zmRead);
  EXPECT_EQ(zip.FileCount(), 1);
}

// A medium that keeps nothing and only counts: archives near 4 GiB without the disk.
class CountingStream : public TStream {
 public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t count) override {
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
  }
  int64_t Position() override { return position_; }
  void SetPosition(int64_t position) override { position_ = position; }
  int64_t Size() override { return size_; }
  bool Truncate(int64_t size) override {
    size_ = size;
    return true;
  }

 private:
  int64_t position_ = 0, size_ = 0;
};

// Size bytes of whatever the reader's buffer holds.
class SizedSource : public TStream {
 public:
  explicit SizedSource(int64_t size) : size_(size) {}
  int64_t Read(void*, int64_t count) override {
    const int64_t n = std::min(count, size_ - position_);
    position_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Position() override { return position_; }
  void SetPosition(int64_t position) override { position_ = position; }
  int64_t Size() override { return size_; }

 private:
  int64_t size_, position_ = 0;
};

// Offsets are 32-bit without Zip64: whatever would start or end at 4 GiB or beyond
// is refused instead of being written with its offset cut short.
TEST(ZipWriting, NothingIsWrittenAtOrBeyondFourGiB) {
  constexpr int64_t k4G = int64_t{1} << 32;
  const std::string kTooLarge = "Archive too large for a ZIP archive without Zip64";
  CountingStream medium;
  TZipFile zip;
  zip.Open(medium, zmWrite);
  auto add = [&](const std::string& name, int64_t size) {
    SizedSource source(size);
    zip.Add(source, T(name), 0);
  };
  add("b", k4G - 31 - 200);  // ends 200 bytes short of 4 GiB
  auto expectRefused = [&](const std::string& name, int64_t size) {
    try {
      add(name, size);
      ADD_FAILURE() << name;
    } catch (const EZipException& e) {
      EXPECT_EQ(e.what(), kTooLarge) << name;
    }
  };
  expectRefused(std::string(200, 'h'), 0);  // its local header would cross
  expectRefused("d", 300);                  // its data would cross
  for (const std::string name : {"1", "2", "3", "4"}) add(name, 0);
  ASSERT_EQ(zip.FileCount(), 5);
  EXPECT_EQ(zip.FileInfo(1).LocalHeaderOffset, static_cast<uint32_t>(k4G - 200));
  EXPECT_EQ(zip.FileInfo(4).LocalHeaderOffset, static_cast<uint32_t>(k4G - 107));
  // The directory of five records would end beyond it.
  try {
    zip.Close();
    ADD_FAILURE();
  } catch (const EZipException& e) {
    EXPECT_EQ(e.what(), kTooLarge);
  }
  EXPECT_EQ(zip.Mode(), zmClosed);
}

// A medium that takes bytes only at its end: the patch of a local header after
// the entry's data is refused.
class AppendOnlyStream : public TMemoryStream {
 public:
  int64_t Write(const void* buffer, int64_t count) override {
    if (Position() < Size()) return 0;
    return TMemoryStream::Write(buffer, count);
  }
};

TEST(ZipWriting, AShortWriteOfTheHeaderPatchFailsTheAdd) {
  AppendOnlyStream medium;
  TZipFile zip;
  zip.Open(medium, zmWrite);
  try {
    zip.Add(TBytes("data"), u"a.txt");
    ADD_FAILURE();
  } catch (const EZipException& e) {
    EXPECT_STREQ(e.what(), "Error writing zip file");
  }
  EXPECT_EQ(zip.FileCount(), 0);
}

TEST(ZipWriting, ArgumentAndModeErrors) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  TZipFile zip;
  auto message = [&](auto&& action) -> std::string {
    try {
      action();
    } catch (const Exception& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { zip.Add(T(dir / "a.txt")); }), "File must be open for writing");
  zip.Open(T(dir / "out.zip"), zmWrite);
  EXPECT_EQ(message([&] { zip.Add(u""); }), "File name must not be empty");
  EXPECT_EQ(message([&] { zip.Add(TBytes("x"), u""); }), "File name must not be empty");
  EXPECT_EQ(message([&] { zip.Add(T(dir / "a.txt"), u"", 12); }),
            "Support for compression method not registered: BZIP2");
  EXPECT_EQ(message([&] { zip.Add(T(dir / "a.txt"), u"", 99); }),
            "Support for compression method not registered: Unknown");
  EXPECT_EQ(message([&] { zip.SetUTF8Support(false); }), "no error");
  zip.Add(T(dir / "a.txt"), u"a.txt", 0);
  EXPECT_EQ(message([&] { zip.SetUTF8Support(true); }), "Zip file must be empty");
  zip.Close();
  EXPECT_THROW(zip.Open(T(dir / "nofolder/out.zip"), zmWrite), EFCreateError);
}

TEST(ZipWriting, TooManyEntriesAreRefusedBeforeAnythingIsWritten) {
  TMemoryStream stream;
  TZipFile zip;
  zip.Open(stream, zmWrite);
  for (int i = 0; i < 65535; ++i) zip.Add(TBytes(), u"e" + Text(1, static_cast<char16_t>(u'a' + i % 26)), 0);
  const int64_t before = stream.Size();
  try {
    zip.Add(TBytes("x"), u"one too many", 0);
    FAIL();
  } catch (const EZipException& e) {
    EXPECT_STREQ(e.what(), "Too many entries for a ZIP archive without Zip64");
  }
  EXPECT_EQ(stream.Size(), before);
  zip.Close();
  stream.SetPosition(0);
  TZipFile reader;
  reader.Open(stream, zmRead);
  EXPECT_EQ(reader.FileCount(), 65535);
}

TEST(ZipWriting, ReadWriteAppendsBehindTheExistingEntries) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "a.zip"), zmWrite);
    zip.Add(TBytes("first"), u"1.txt");
    zip.Close();
  }
  {
    TZipFile zip;
    zip.Open(T(dir / "a.zip"), zmReadWrite);
    zip.Add(TBytes("second"), u"2.txt");
    zip.SetComment(u"two entries");
    zip.Close();
  }
  TZipFile zip;
  zip.Open(T(dir / "a.zip"), zmRead);
  EXPECT_EQ(zip.FileNames(), (std::vector<Text>{u"1.txt", u"2.txt"}));
  EXPECT_EQ(zip.Comment(), u"two entries");
  TBytes bytes;
  zip.Read(u"1.txt", bytes);
  EXPECT_EQ(bytes, "first");
}

TEST(ZipWriting, LookupsAndCommentsFollowTheEntriesAdded) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "a.zip"), zmWrite);
    zip.Add(TBytes("first"), u"1.txt");
    EXPECT_EQ(zip.IndexOf(u"2.TXT"), -1);  // the index exists from here on
    for (int i = 2; i <= 40; ++i) zip.Add(TBytes(std::to_string(i)), Utf8ToText(std::to_string(i) + ".txt"));
    EXPECT_EQ(zip.IndexOf(u"2.TXT"), 1);
    EXPECT_EQ(zip.IndexOf(u"40.txt"), 39);
    zip.SetFileComment(1, u"second");
    zip.Close();
  }
  TZipFile zip;
  zip.Open(T(dir / "a.zip"), zmReadWrite);
  EXPECT_EQ(zip.FileComment(1), u"second");
  zip.SetFileComment(0, u"the first");
  zip.Add(TBytes("last"), u"41.txt");
  zip.Close();
  zip.Open(T(dir / "a.zip"), zmRead);
  ASSERT_EQ(zip.FileCount(), 41);
  EXPECT_EQ(zip.FileComment(0), u"the first");
  EXPECT_EQ(zip.FileComment(1), u"second");
  EXPECT_EQ(zip.FileComment(2), u"");
  TBytes bytes;
  zip.Read(u"41.TXT", bytes);
  EXPECT_EQ(bytes, "last");
  zip.Read(u"2.txt", bytes);
  EXPECT_EQ(bytes, "2");
}

TEST(ZipWriting, DirectoryContentsRoundTrip) {
  TempDir dir;
  testing::MakeFolder(dir / "tree");
  testing::MakeFolder(dir / "tree/sub");
  WriteFile(dir / "tree/a.txt", "A");
  WriteFile(dir / "tree/sub/b.txt", "B");
  TZipFile::ZipDirectoryContents(T(dir / "t.zip"), T(dir / "tree"));
  TZipFile::ExtractZipFile(T(dir / "t.zip"), T(dir / "copy"));
  EXPECT_EQ(ReadFile(dir / "copy/a.txt"), "A");
  EXPECT_EQ(ReadFile(dir / "copy/sub/b.txt"), "B");
}

}  // namespace
}  // namespace quenmar
