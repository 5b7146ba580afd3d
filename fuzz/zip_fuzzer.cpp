// libFuzzer target: arbitrary bytes written to a file, opened as an archive (the
// buffered file the program reads archives through), listed, and every entry
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
    if (name != "." && name != ".." && name != "target" && name != "in.zip") {
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
  const std::string input = sandbox + "/in.zip";
  if (FILE* file = std::fopen(input.c_str(), "wb")) {
    if (size > 0 && std::fwrite(data, 1, size, file) != size) abort();
    std::fclose(file);
  } else {
    abort();
  }
  quenmar::TZipFile zip;
  try {
    zip.Open(quenmar::Utf8ToText(input), quenmar::zmRead);
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
