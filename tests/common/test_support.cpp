#include "common/test_support.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/platform/folders.h"
#include "support/utf8.h"

namespace quenmar::testing {

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quenmar-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() { platform::RemoveTree(T(path_)); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

namespace {

void SnapshotInto(const std::string& root, const std::string& relative, std::map<std::string, std::string>& out) {
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
      SnapshotInto(root, rel, out);
    } else {
      out[rel] = S_ISREG(st.st_mode) ? ReadFile(root + "/" + rel) : "<other>";
    }
  }
  closedir(dir);
}

}  // namespace

std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> out;
  SnapshotInto(root, "", out);
  return out;
}

Text T(const std::string& utf8) { return Utf8ToText(utf8); }
std::string U(const Text& text) { return TextToUtf8(text); }

int RunCommand(const std::string& command, std::string* output, bool mergeErrors) {
  FILE* pipe = popen((mergeErrors ? "(" + command + ") 2>&1" : command).c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null") == 0; }

}  // namespace quenmar::testing
