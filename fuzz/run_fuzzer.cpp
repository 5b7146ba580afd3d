// libFuzzer target for the whole conversion run: arbitrary bytes become an archive
// in a sandbox folder and are converted as the Start button converts them. Aborts
// when the run changes any file beside the archive or one or two folders above it,
// when anything appears outside the archive's folder or anything but the output
// inside it, when the private folder is left behind, when a failed run touched an
// earlier output, or when a run that reports success leaves an output that does not
// hold the input's entries.
//
// The sandbox has a fixed place, so that seeds can name its files by rooted paths.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "conversion/convert_archive.h"
#include "support/exceptions.h"
#include "support/platform/folders.h"
#include "support/utf8.h"

namespace {

constexpr const char* kSandbox = "/tmp/quenmar-run-fuzz";
const std::string kInputFolder = std::string(kSandbox) + "/outer/parent/in";
const std::string kInput = kInputFolder + "/in.zip";
const std::string kOutput = kInputFolder + "/in.z-ip";
constexpr const char* kEarlierOutput = "an earlier output";

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

  SilentWindow window;
  const bool converted = quenmar::ConvertArchive(window);

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
  if (converted) {
    try {
      if (EntryCount(kOutput) != EntryCount(kInput)) Fail("the output does not hold every entry");
    } catch (const quenmar::Exception& e) {
      Fail(std::string("the output does not open: ") + e.what());
    }
  }
  return 0;
}
