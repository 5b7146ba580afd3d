// libFuzzer target for the whole conversion run: arbitrary bytes become an archive
// in a sandbox folder and are converted as the Start button converts them. Aborts
// when the run changes any file beside the archive or one or two folders above it,
// when anything appears outside the archive's folder or anything but the output
// inside it, when the private folder is left behind, when a failed run touched an
// earlier output, or when a run that reports success leaves an output that does not
// hold the input's entries.
//
// The sandbox has a fixed place, so that seeds can name its files by rooted paths.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "archive/zip_file.h"
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

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write " + path);
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every path below Root with a file's bytes, "<folder>" or "<other>".
void Snapshot(const std::string& root, const std::string& relative, std::map<std::string, std::string>& out) {
  DIR* dir = opendir((relative.empty() ? root : root + "/" + relative).c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string rel = relative.empty() ? name : relative + "/" + name;
    struct stat st;
    if (lstat((root + "/" + rel).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      out[rel] = "<folder>";
      Snapshot(root, rel, out);
    } else {
      out[rel] = S_ISREG(st.st_mode) ? Read(root + "/" + rel) : "<other>";
    }
  }
  closedir(dir);
}

std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> out;
  Snapshot(kSandbox, "", out);
  return out;
}

// The sandbox as every run must find and leave it, the input and output aside.
const std::map<std::string, std::string>& Reference() {
  static const std::map<std::string, std::string> reference = [] {
    quenmar::platform::RemoveTree(quenmar::Utf8ToText(kSandbox));
    for (const std::string folder : {"", "/outer", "/outer/parent", "/outer/parent/in"}) {
      if (mkdir((kSandbox + folder).c_str(), 0755) != 0) Fail("cannot make the sandbox");
    }
    for (const std::string folder : {"", "/outer", "/outer/parent", "/outer/parent/in"}) {
      Write(kSandbox + folder + "/victim.txt", "the user's own words in" + folder);
      Write(kSandbox + folder + "/2018-10-a-b-c-mob.csv", "a file named like a new entry");
    }
    Write(kInputFolder + "/2018-10-15-a-b-c.csv", "a file named like an entry");
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
  Write(kInput, input);
  Write(kOutput, kEarlierOutput);

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
