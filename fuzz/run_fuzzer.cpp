// libFuzzer target for the whole conversion run: arbitrary bytes become an archive
// in a sandbox folder and are converted as the Start button converts them. Aborts
// when the run changes any file beside the archive or one or two folders above it,
// when anything appears outside the archive's folder or anything but the output
// inside it, when the private folder is left behind, when a failed run touched an
// earlier output, or when a run that reports success leaves an output that does not
// hold the input's entries.
//
// While the run works, an attacker thread swaps names in the archive's folder as
// another user of a shared folder could: it exchanges a new private folder for a
// folder of links to the files above, or moves it away and puts a link to a
// folder above in its place. What it leaves is cleared between runs; the rest of
// the checks stand as they are.
//
// Most inputs carry a mark of the web (kept by the platform layer's stand-in):
// a mark may be written only on the output inside the run's private folder, and a
// run that reports success must have written the input's.
//
// The sandbox has a fixed place, so that seeds can name its files by rooted paths.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "conversion/convert_archive.h"
#include "support/exceptions.h"
#include "support/platform/folders.h"
#include "support/platform/web_mark.h"
#include "support/utf8.h"

namespace {

constexpr const char* kSandbox = "/tmp/quenmar-run-fuzz";
const std::string kInputFolder = std::string(kSandbox) + "/outer/parent/in";
const std::string kInput = kInputFolder + "/in.zip";
const std::string kOutput = kInputFolder + "/in.z-ip";
constexpr const char* kEarlierOutput = "an earlier output";
constexpr const char* kMark = "[ZoneTransfer]\r\nZoneId=3\r\n";

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "run fuzzer: %s\n", why.c_str());
  abort();
}

std::map<std::string, std::string> Snapshot() { return quenmar::testing::Snapshot(kSandbox); }

// The sandbox as every run must find and leave it, the input and output aside.
const std::map<std::string, std::string>& Reference() {
  static const std::map<std::string, std::string> reference = [] {
    quenmar::platform::RemoveTree(quenmar::Utf8ToText(kSandbox));
    for (const std::string folder : {"", "/outer", "/outer/parent", "/outer/parent/in"}) {
      if (mkdir((kSandbox + folder).c_str(), 0755) != 0) Fail("cannot make the sandbox");
    }
    for (const std::string folder : {"", "/outer", "/outer/parent", "/outer/parent/in"}) {
      quenmar::testing::WriteFile(kSandbox + folder + "/victim.txt", "the user's own words in" + folder);
      quenmar::testing::WriteFile(kSandbox + folder + "/2018-10-a-b-c-mob.csv", "a file named like a new entry");
    }
    quenmar::testing::WriteFile(kInputFolder + "/2018-10-15-a-b-c.csv", "a file named like an entry");
    return Snapshot();
  }();
  return reference;
}

class SilentWindow : public quenmar::ConversionWindow {
 public:
  void DisableStart() override {}
  void SetGaugeVisible(bool) override {}
  void SetGaugeProgress(int progress) override {
    if (progress < 0 || progress > 100) Fail("progress out of range");
  }
  void SetStatus(const quenmar::Text&) override {}
  quenmar::Text InputPath() override { return quenmar::Utf8ToText(kInput); }
  void ProcessMessages() override {}
};

// Swaps names in the input's folder while Active, and remembers what it made.
class Attacker {
 public:
  Attacker() : thread_([this] { Run(); }) {}
  ~Attacker() {
    stop_ = true;
    thread_.join();
    std::fprintf(stderr, "run fuzzer: the attacker swapped %u private folders\n", swaps_);
  }
  void SetActive(bool active) {
    active_ = active;
    std::lock_guard<std::mutex> lock(mutex_);  // returns once a swap under way is done
  }
  // Removes every name the attacker made or swapped, links and folders alike.
  void ClearDebris() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& name : made_) quenmar::platform::RemoveTree(quenmar::Utf8ToText(kInputFolder + "/" + name));
    made_.clear();
  }

 private:
  void Run() {
    unsigned turn = 0;
    while (!stop_) {
      if (!active_) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        continue;
      }
      std::vector<std::string> names;
      if (DIR* dir = opendir(kInputFolder.c_str())) {
        while (dirent* e = readdir(dir)) {
          if (std::strncmp(e->d_name, ".quenmar-", 9) == 0) names.push_back(e->d_name);
        }
        closedir(dir);
      }
      std::lock_guard<std::mutex> lock(mutex_);
      if (!active_) continue;
      for (const std::string& name : names) Attack(name, ++turn);
      swaps_ += static_cast<unsigned>(names.size());
    }
  }

  void Attack(const std::string& name, unsigned turn) {
    const std::string path = kInputFolder + "/" + name;
    const std::string aside = ".aside-" + std::to_string(turn);
    made_.push_back(name);
    made_.push_back(aside);
    if (turn % 2 == 0) {
      // A folder of links to the files above, exchanged for the private folder.
      const std::string decoy = kInputFolder + "/" + aside;
      mkdir(decoy.c_str(), 0700);
      for (const char* scratch : {"lock", "out.zip", "out.zip.making", "entry-0", "entry-0.making", "slot0-0",
                                  "slot0-0.making", "slot1-0", "slot1-0.making"}) {
        symlink((std::string(kSandbox) + "/victim.txt").c_str(), (decoy + "/" + scratch).c_str());
      }
      renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, decoy.c_str(), RENAME_EXCHANGE);
    } else if (rename(path.c_str(), (kInputFolder + "/" + aside).c_str()) == 0) {
      // A link to a folder above in its place.
      symlink((std::string(kSandbox) + "/outer").c_str(), path.c_str());
    }
  }

  std::mutex mutex_;
  std::atomic<bool> active_{false};
  std::atomic<bool> stop_{false};
  std::vector<std::string> made_;
  unsigned swaps_ = 0;
  std::thread thread_;
};

Attacker& TheAttacker() {
  static Attacker attacker;
  return attacker;
}

int EntryCount(const std::string& path) {
  quenmar::TZipFile zip;
  zip.Open(quenmar::Utf8ToText(path), quenmar::zmRead);
  return zip.FileCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& reference = Reference();
  const std::string input(reinterpret_cast<const char*>(data), size);
  quenmar::testing::WriteFile(kInput, input);
  quenmar::testing::WriteFile(kOutput, kEarlierOutput);

  quenmar::platform::WebMarkStandIn marks;
  const bool marked = size % 5 != 0;
  if (marked) marks.marks[quenmar::Utf8ToText(kInput)] = kMark;
  std::vector<std::string> markedPaths;
  marks.onWrite = [&](const quenmar::Text& path) { markedPaths.push_back(quenmar::TextToUtf8(path)); };

  SilentWindow window;
  Attacker& attacker = TheAttacker();
  attacker.SetActive(size % 3 != 0);  // some runs in peace, so that some convert
  const bool converted = quenmar::ConvertArchive(window, size % 2 + 1);
  attacker.SetActive(false);
  attacker.ClearDebris();

  std::map<std::string, std::string> after = Snapshot();
  const std::string output = after["outer/parent/in/in.z-ip"];
  if (after["outer/parent/in/in.zip"] != input) Fail("the input changed");
  after.erase("outer/parent/in/in.zip");
  after.erase("outer/parent/in/in.z-ip");
  if (after != reference) {
    for (const auto& [path, bytes] : after) {
      const auto was = reference.find(path);
      if (was == reference.end()) Fail("appeared: " + path);
      if (was->second != bytes) Fail("changed: " + path);
    }
    Fail("something beside the archive was removed");
  }
  if (!converted && output != kEarlierOutput) Fail("a failed run touched the earlier output");
  const std::string privateFolder = kInputFolder + "/.quenmar-";
  for (const std::string& path : markedPaths) {
    if (path.rfind(privateFolder, 0) != 0 || path.size() != privateFolder.size() + 16 + 8 ||
        path.compare(privateFolder.size() + 16, 8, "/out.zip") != 0) {
      Fail("a mark written elsewhere than on the output in the private folder: " + path);
    }
    if (marks.marks[quenmar::Utf8ToText(path)] != kMark) Fail("a mark that is not the input's");
  }
  if (!marked && !markedPaths.empty()) Fail("a mark on the output of an unmarked input");
  if (converted && marked && markedPaths.size() != 1) Fail("the output of a marked input is not marked once");
  if (converted) {
    try {
      if (EntryCount(kOutput) != EntryCount(kInput)) Fail("the output does not hold every entry");
    } catch (const quenmar::Exception& e) {
      Fail(std::string("the output does not open: ") + e.what());
    }
  }
  return 0;
}
