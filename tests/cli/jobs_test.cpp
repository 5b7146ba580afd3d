// Entries converted on several threads: the same output byte for byte as one at a
// time, the same failure, nothing left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "common/zip_builder.h"

namespace quenmar {
namespace {

using testing::ReadFile;
using testing::RunCommand;
using testing::T;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string kConvert = QUENMAR_CONVERT_EXE;

// Archives of many shapes: many small entries, large ones, one whose compressed
// bytes pass the in-memory budget (streamed instead), empty ones, a read-only one.
void MakeArchives(const TempDir& dir) {
  std::mt19937 random(7);
  auto text = [&](size_t size) {
    std::string data;
    while (data.size() < size) data += std::to_string(random() % 100000) + ";" + std::to_string(random() % 60) + "\n";
    data.resize(size);
    return data;
  };
  {
    TZipFile zip;
    zip.Open(T(dir / "many.zip"), zmWrite);
    for (int i = 0; i < 300; ++i) {
      zip.Add(text(static_cast<size_t>(random() % 3000)), T("2018-10-1" + std::to_string(i % 10) + "-a-" + (i % 3 ? "b" : "a") + "-" + std::to_string(i) + ".csv"), 8);
    }
    zip.Close();
  }
  {
    std::string noise(6 << 20, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    TZipFile zip;
    zip.Open(T(dir / "large.zip"), zmWrite);
    zip.Add(text(3 << 20), u"2018-10-15-a-b-1.csv", 8);
    zip.Add(noise, u"2018-10-15-a-b-2.bin", 0);  // 6 MiB that do not compress
    zip.Add(TBytes(), u"2018-10-15-a-b-3.csv", 8);
    TMemoryStream readOnly(text(100000));
    zip.Add(readOnly, u"2018-10-16-c-c-4.csv", 8, 0x21);
    zip.Add(text(2 << 20), u"2018-10-17-a-b-5.csv", 8);
    zip.Close();
  }
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(T(folder)))) names.insert(entry.path().filename().string());
  return names;
}

// Converts Archive (copied into a folder of its own) with Jobs; returns the exit
// status, and the output and standard error in Output and Errors.
int Convert(const TempDir& dir, const std::string& archive, int jobs, std::string& output, std::string& errors) {
  const std::string name = "j" + std::to_string(jobs);
  const std::string folder = dir / name, input = dir / (name + "/input.zip"), result = dir / (name + "/inpu-t.zip");
  fs::remove_all(fs::path(T(folder)));
  testing::MakeFolder(folder);
  WriteFile(input, ReadFile(archive));
  const int status = RunCommand(kConvert + " -q -j " + std::to_string(jobs) + " " + input + " 2>" +
                                dir / (name + "/err.txt"), nullptr, false);
  errors = ReadFile(dir / (name + "/err.txt"));
  output = fs::exists(fs::path(T(result))) ? ReadFile(result) : std::string();
  const std::set<std::string> left = Names(folder);
  const std::set<std::string> expected = status == 0 ? std::set<std::string>{"input.zip", "inpu-t.zip", "err.txt"}
                                                     : std::set<std::string>{"input.zip", "err.txt"};
  EXPECT_EQ(left, expected) << archive << " with " << jobs << " jobs";
  return status;
}

TEST(Jobs, OneAndSeveralGiveTheSameBytes) {
  TempDir dir;
  MakeArchives(dir);
  std::vector<std::string> archives = {dir / "many.zip", dir / "large.zip"};
  if (fs::exists(QUENMAR_CORPUS_DIR)) {
    for (const auto& entry : fs::recursive_directory_iterator(QUENMAR_CORPUS_DIR)) {
      if (entry.path().extension() == ".zip") archives.push_back(entry.path().string());
    }
  }
  for (const std::string& archive : archives) {
    SCOPED_TRACE(archive);
    std::string one, several, oneErrors, severalErrors;
    const int oneStatus = Convert(dir, archive, 1, one, oneErrors);
    for (const int jobs : {2, 3}) {
      EXPECT_EQ(Convert(dir, archive, jobs, several, severalErrors), oneStatus) << jobs;
      EXPECT_TRUE(several == one) << jobs << " jobs: the outputs differ";
      // The failure names the same entry with the same message; only the
      // folder in the path differs.
      EXPECT_EQ(severalErrors.substr(0, 40), oneErrors.substr(0, 40)) << severalErrors;
    }
  }
}

TEST(Jobs, TheFirstFailingEntryInOrderIsNamed) {
  TempDir dir;
  testing::BuiltArchive archive;
  for (int i = 0; i < 12; ++i) {
    archive.entries.push_back(testing::BuiltEntry("2018-10-15-a-b-" + std::to_string(i) + ".csv", std::string(50000, 'a' + i), 8));
  }
  archive.entries[5] = testing::BuiltEntry("no-date.csv", "x", 8);
  archive.entries[9] = testing::DamagedDeflateEntry("2018-10-15-a-b-9.csv");
  archive.entries[3].crc = 0x12345678;  // the first failure, found only when its data is read
  WriteFile(dir / "failing.zip", archive.Bytes());
  for (const int jobs : {1, 2, 4}) {
    std::string output, errors;
    EXPECT_EQ(Convert(dir, dir / "failing.zip", jobs, output, errors), 1);
    EXPECT_EQ(errors, "Konverze selhala u položky \"2018-10-15-a-b-3.csv\": Archiv je poškozený, data položky "
                      "neodpovídají kontrolnímu součtu. (CRC-32 mismatch)\n")
        << jobs;
  }
}

}  // namespace
}  // namespace quenmar
