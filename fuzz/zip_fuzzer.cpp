// libFuzzer target: arbitrary bytes opened as an archive, listed, and every entry
// extracted into a scratch folder. Aborts when anything lands outside that folder.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "archive/zip_file.h"
#include "support/exceptions.h"
#include "support/platform/folders.h"
#include "support/utf8.h"

namespace {

std::string& Sandbox() {
  static std::string sandbox = [] {
    std::string pattern = "/tmp/quenmar-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) abort();
    return pattern;
  }();
  return sandbox;
}

// The sandbox may hold the target folder and nothing else.
void CheckSandbox(const std::string& sandbox) {
  DIR* dir = opendir(sandbox.c_str());
  if (dir == nullptr) abort();
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != "target") {
      fprintf(stderr, "written outside the target folder: %s\n", name.c_str());
      abort();
    }
  }
  closedir(dir);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& sandbox = Sandbox();
  const quenmar::Text target = quenmar::Utf8ToText(sandbox + "/target");
  quenmar::TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
  quenmar::TZipFile zip;
  try {
    zip.Open(stream, quenmar::zmRead);
    const int count = zip.FileCount();
    (void)zip.FileNames();
    (void)zip.Comment();
    for (int i = 0; i < count; ++i) {
      (void)zip.IndexOf(zip.FileName(i));
      try {
        zip.Extract(i, target, true);
      } catch (const quenmar::Exception&) {
      }
    }
  } catch (const quenmar::Exception&) {
  }
  CheckSandbox(sandbox);
  quenmar::platform::RemoveTree(target);
  return 0;
}
