#include <gtest/gtest.h>

#include "common/zip_builder.h"
#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "common/test_support.h"
#include "support/exceptions.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;

std::string MessageOfOpening(const std::string& bytes) {
  TMemoryStream stream(bytes);
  TZipFile zip;
  try {
    zip.Open(stream, zmRead);
  } catch (const Exception& e) {
    EXPECT_EQ(zip.Mode(), zmClosed);
    return e.what();
  }
  return "opened";
}

TEST(ZipReading, RefusesWhatIsNoArchive) {
  EXPECT_EQ(MessageOfOpening(""), "Stream read error");
  EXPECT_EQ(MessageOfOpening("PK"), "Error reading zip file");
  EXPECT_EQ(MessageOfOpening("PK\x05\x06"), "Error reading zip file");
  EXPECT_EQ(MessageOfOpening(std::string(5000, 'x')), "Error reading zip file");
  // A signature with fewer than 18 bytes behind it is no end record.
  EXPECT_EQ(MessageOfOpening(std::string("PK\x05\x06", 4) + std::string(10, '\0')), "Error reading zip file");
  // The end record must lie within the last 65535 bytes.
  BuiltArchive far;
  far.comment = std::string(65514, 'c');
  EXPECT_EQ(MessageOfOpening(far.Bytes()), "Error reading zip file");
}

TEST(ZipReading, EmptyArchiveIsTheEndRecordAlone) {
  const std::string bytes = BuiltArchive().Bytes();
  ASSERT_EQ(bytes.size(), 22u);
  TMemoryStream stream(bytes);
  TZipFile zip;
  zip.Open(stream, zmRead);
  EXPECT_EQ(zip.FileCount(), 0);
  EXPECT_TRUE(zip.FileNames().empty());
  EXPECT_EQ(zip.Mode(), zmRead);
}

TEST(ZipReading, FindsTheEndRecordBehindAComment) {
  for (const size_t length : {size_t{1}, size_t{1500}, size_t{65513}}) {
    BuiltArchive archive;
    archive.entries.push_back(BuiltEntry{"a.txt", "hello"});
    archive.comment = std::string(length, 'c');
    TMemoryStream stream(archive.Bytes());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(zip.FileCount(), 1) << length;
    EXPECT_EQ(zip.Comment().size(), length);
  }
  // A comment holding the signature is taken for the end record: the highest wins.
  BuiltArchive tricky;
  tricky.entries.push_back(BuiltEntry{"a.txt", "hello"});
  tricky.comment = std::string("PK\x05\x06", 4) + std::string(18, '\0');
  TMemoryStream stream(tricky.Bytes());
  TZipFile zip;
  zip.Open(stream, zmRead);
  EXPECT_EQ(zip.FileCount(), 0);
}

TEST(ZipReading, OneEntryWithoutTheUtf8FlagMakesEveryNameCodePage437) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"\xC3\xA9.txt", "a"});
  archive.entries.push_back(BuiltEntry{"b\x81.txt", "b"});
  {
    TMemoryStream stream(archive.Bytes());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_TRUE(zip.UTF8Support());
    EXPECT_EQ(zip.FileName(0), u"\u00E9.txt");
    EXPECT_EQ(zip.FileName(1), u"b\uFFFD.txt");
  }
  archive.entries[1].flag = 0;
  TMemoryStream stream(archive.Bytes());
  TZipFile zip;
  zip.Open(stream, zmRead);
  EXPECT_FALSE(zip.UTF8Support());
  EXPECT_EQ(zip.FileNames(), (std::vector<Text>{u"\u251C\u2310.txt", u"b\u00FC.txt"}));
}

TEST(ZipReading, IndexOfFoldsAsciiOnlyAndTheFirstMatchWins) {
  BuiltArchive archive;
  for (const char* name : {"data.csv", "\xC3\xA9.csv", "sub/a.csv", "DATA.CSV", "sub/"}) {
    archive.entries.push_back(BuiltEntry{name, name});
  }
  TMemoryStream stream(archive.Bytes());
  TZipFile zip;
  EXPECT_EQ(zip.IndexOf(u"data.csv"), -1);  // closed
  zip.Open(stream, zmRead);
  EXPECT_EQ(zip.IndexOf(u"DATA.CSV"), 0);
  EXPECT_EQ(zip.IndexOf(u"Data.Csv"), 0);
  EXPECT_EQ(zip.IndexOf(u"\u00E9.csv"), 1);
  EXPECT_EQ(zip.IndexOf(u"\u00C9.csv"), -1);
  EXPECT_EQ(zip.IndexOf(u"sub/a.csv"), 2);
  EXPECT_EQ(zip.IndexOf(u"sub\\a.csv"), -1);
  EXPECT_EQ(zip.IndexOf(u"missing"), -1);
  EXPECT_EQ(zip.FileName(4), u"sub/");
}

// Names are compared several characters at a time, so lengths around those
// steps and a difference in the last character matter; "[" and "{" differ only
// in the bit that folding touches, yet are different characters.
TEST(ZipReading, IndexOfComparesEveryCharacterOfAnyLength) {
  BuiltArchive archive;
  std::vector<std::string> names;
  for (const size_t length : {1, 7, 8, 9, 15, 16, 17, 255, 256, 257, 300}) {
    std::string name;
    for (size_t i = 0; i < length; ++i) name += static_cast<char>('a' + (i * 7 + length) % 26);
    names.push_back(name);
  }
  for (const char* bracketed : {"x[y", "abcdefgh[", "abc[efghijklmnop"}) names.push_back(bracketed);
  names.push_back("\xC3\xA9-data.csv");
  for (const std::string& name : names) archive.entries.push_back(BuiltEntry{name, name});
  TMemoryStream stream(archive.Bytes());
  TZipFile zip;
  zip.Open(stream, zmRead);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string upper = names[i];
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    EXPECT_EQ(zip.IndexOf(Utf8ToText(names[i])), static_cast<int>(i)) << names[i];
    EXPECT_EQ(zip.IndexOf(Utf8ToText(upper)), static_cast<int>(i)) << upper;
    std::string last = names[i];
    last.back() = last.back() == '0' ? '1' : '0';
    EXPECT_EQ(zip.IndexOf(Utf8ToText(last)), -1) << last;
    EXPECT_EQ(zip.IndexOf(Utf8ToText(names[i] + "a")), -1) << names[i];
  }
  for (const char16_t* braced : {u"X{Y", u"ABCDEFGH{", u"ABC{EFGHIJKLMNOP"}) EXPECT_EQ(zip.IndexOf(braced), -1);
  EXPECT_EQ(zip.IndexOf(u"\u00E9-DATA.CSV"), static_cast<int>(names.size()) - 1);
  EXPECT_EQ(zip.IndexOf(u"\u00C9-data.csv"), -1);
}

TEST(ZipReading, DamagedDirectoriesAreRefused) {
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry{"a.txt", "hello"});
  std::string bytes = archive.Bytes();
  const size_t directory = bytes.find(std::string("PK\x01\x02", 4));

  std::string badSignature = bytes;
  badSignature[directory + 3] = 'X';
  EXPECT_EQ(MessageOfOpening(badSignature), "Invalid Zip Central Header signature");

  BuiltArchive claimsMore = archive;
  claimsMore.entryCount = 40000;  // never trusted for an allocation
  EXPECT_EQ(MessageOfOpening(claimsMore.Bytes()), "Invalid Zip Central Header signature");

  // A central record cut short by the end of the file: the directory offset
  // points at a signature in the last four bytes.
  BuiltArchive cutShort = archive;
  cutShort.comment = std::string("PK\x01\x02", 4);
  std::string cutBytes = cutShort.Bytes();
  const auto lastFour = static_cast<uint32_t>(cutBytes.size() - 4);
  for (int i = 0; i < 4; ++i) cutBytes[cutBytes.size() - 10 + i] = static_cast<char>((lastFour >> (8 * i)) & 0xFF);
  EXPECT_EQ(MessageOfOpening(cutBytes), "Error reading zip file");

  BuiltArchive zip64 = archive;
  std::string zip64Bytes = zip64.Bytes();
  zip64Bytes.replace(zip64Bytes.size() - 6, 4, "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(MessageOfOpening(zip64Bytes), "Zip64 archives are not supported");
}

// The directory is read by its records; the size the end record gives only
// steers the first read, whether it says too little or too much.
TEST(ZipReading, TheEndRecordsDirectorySizeIsNotTrusted) {
  BuiltArchive archive;
  for (int i = 0; i < 3000; ++i) {  // well over a megabyte of central records
    archive.entries.push_back(BuiltEntry{std::string(400, 'n') + std::to_string(i), std::to_string(i)});
  }
  const std::string bytes = archive.Bytes();
  for (const uint32_t claimed : {0u, 46u, 0x7FFFFFFFu}) {
    std::string patched = bytes;
    for (int i = 0; i < 4; ++i) patched[patched.size() - 10 + i] = static_cast<char>((claimed >> (8 * i)) & 0xFF);
    TMemoryStream stream(patched);
    TZipFile zip;
    zip.Open(stream, zmRead);
    ASSERT_EQ(zip.FileCount(), 3000) << claimed;
    EXPECT_EQ(zip.IndexOf(Utf8ToText(std::string(400, 'N') + "2999")), 2999);
    TBytes data;
    zip.Read(1234, data);
    EXPECT_EQ(data, "1234");
  }
}

// The count of entries in all decides; the count on this disk is not looked at.
TEST(ZipReading, TheEndRecordsTotalCountDecides) {
  BuiltArchive archive;
  for (int i = 0; i < 3; ++i) archive.entries.push_back(BuiltEntry{"e" + std::to_string(i), "x"});
  for (const char onThisDisk : {'\0', '\x01', '\x07'}) {
    std::string patched = archive.Bytes();
    patched[patched.size() - 22 + 8] = onThisDisk;
    TMemoryStream stream(patched);
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(zip.FileCount(), 3) << int(onThisDisk);
  }
}

TEST(ZipReading, AccessorsNeedAnOpenArchive) {
  TZipFile zip;
  EXPECT_THROW(zip.FileCount(), EZipException);
  EXPECT_THROW(zip.FileNames(), EZipException);
  EXPECT_THROW(zip.Open(u"x.zip", zmClosed), EZipException);
  EXPECT_THROW(zip.Open(u"/nonexistent/x.zip", zmRead), EFOpenError);
  EXPECT_FALSE(TZipFile::IsValid(u"/nonexistent/x.zip"));
  try {
    zip.FileCount();
  } catch (const EZipException& e) {
    EXPECT_STREQ(e.what(), "File must be open");
  }
}

// Readers share the archive (Explorer's view of it, a preview, a scanner); one who
// would write it meanwhile is refused, and a reader is refused while a writer has it.
TEST(ZipReading, ReadersShareTheFileAndAWriterIsRefused) {
  testing::TempDir dir;
  testing::WriteFile(dir / "a.zip", BuiltArchive().Bytes());
  TZipFile first, second;
  first.Open(testing::T(dir / "a.zip"), zmRead);
  second.Open(testing::T(dir / "a.zip"), zmRead);
  EXPECT_THROW(TFileStream(testing::T(dir / "a.zip"), TFileMode::kOpenReadWrite), EFOpenError);
  first.Close();
  second.Close();
  {
    TFileStream writer(testing::T(dir / "a.zip"), TFileMode::kOpenReadWrite);
    try {
      second.Open(testing::T(dir / "a.zip"), zmRead);
      FAIL();
    } catch (const EFOpenError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + dir / "a.zip" + "\". ", 0), 0u) << e.what();
    }
  }
  second.Open(testing::T(dir / "a.zip"), zmRead);
}

}  // namespace
}  // namespace quenmar
