// Real-world archives collected by other projects: each opens or is refused with a
// clear error, each entry extracts (checked against its CRC-32) or is refused with
// a clear error, and nothing is written outside the target folder.
#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>

#include <map>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

using testing::T;

void ListZips(const std::string& folder, std::vector<std::string>& found) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "/" + name;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      ListZips(path, found);
    } else if (name.size() > 4 && name.substr(name.size() - 4) == ".zip") {
      found.push_back(path);
    }
  }
  closedir(dir);
}

size_t CountEntries(const std::string& folder) {
  size_t count = 0;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") ++count;
    }
    closedir(dir);
  }
  return count;
}

TEST(ZipCorpus, EveryArchiveOpensOrIsRefusedCleanly) {
  std::vector<std::string> zips;
  ListZips(QUENMAR_CORPUS_DIR, zips);
  if (zips.empty()) GTEST_SKIP() << "no corpus at " << QUENMAR_CORPUS_DIR;

  std::map<std::string, int> extractedEntries;
  for (const std::string& path : zips) {
    SCOPED_TRACE(path);
    testing::TempDir sandbox;
    const std::string target = sandbox / "target";
    TZipFile zip;
    try {
      zip.Open(T(path), zmRead);
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()), "");
      continue;
    }
    for (int i = 0; i < zip.FileCount(); ++i) {
      try {
        zip.Extract(i, T(target), true);
        ++extractedEntries[path];
      } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()), "");
      }
    }
    // The sandbox holds nothing but the target folder.
    EXPECT_LE(CountEntries(sandbox.path()), 1u);
  }
  // Ordinary archives of the corpus do extract.
  int extracted = 0;
  for (const auto& [path, count] : extractedEntries) extracted += count;
  EXPECT_GT(extracted, 20);
}

}  // namespace
}  // namespace quenmar
