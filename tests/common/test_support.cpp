#include "common/test_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <utime.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <chrono>
#include <thread>
#endif

#include "support/platform/folders.h"
#include "support/utf8.h"

namespace quenmar::testing {
namespace {

#ifdef _WIN32
// The tests' own clock readings (mktime, localtime) go through the C runtime, which
// would read TZ in its own way; without it the runtime asks Windows, as the
// program does.
const bool kRuntimeAsksWindowsForTheZone = [] {
  _putenv("TZ=");
  _tzset();
  return true;
}();
#endif

}  // namespace

TempDir::TempDir() {
  std::string base;
  for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
    const char* value = getenv(name);
    if (value != nullptr && *value != '\0') {
      base = value;
      break;
    }
  }
  if (base.empty()) base = "/tmp";
  Text created;
  if (!platform::CreateUniqueFolder(T(base), u"quenmar-test-", created).Ok()) {
    throw std::runtime_error("cannot make a temporary folder in " + base);
  }
  path_ = U(created);
}

std::string TempDir::operator/(const std::string& name) const {
#ifdef _WIN32
  std::string path = path_ + "\\" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
#else
  return path_ + "/" + name;
#endif
}

TempDir::~TempDir() { platform::RemoveTree(T(path_)); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(T(path)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::path(T(path)), std::ios::binary);
#ifdef _WIN32
  // Under Wine, opening a file that a just-ended command wrote through cmd's
  // redirection failed once in some fifty runs; it is tried again for up to a
  // second before that counts as a failure.
  for (int attempt = 0; !in && attempt < 20 && std::filesystem::exists(std::filesystem::path(T(path))); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    in.clear();
    in.open(std::filesystem::path(T(path)), std::ios::binary);
  }
#endif
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int MakeFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::create_directory(std::filesystem::path(T(path)), error) && !error ? 0 : -1;
}

int SetModifiedTime(const std::string& path, time_t when) {
  utimbuf times{when, when};
  return utime(path.c_str(), &times);
}

std::tm LocalTime(time_t when) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &when);
#else
  localtime_r(&when, &tm);
#endif
  return tm;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(std::filesystem::path(T(path)), error).type() !=
         std::filesystem::file_type::not_found && !error;
}

namespace {

void SnapshotInto(const std::string& root, std::map<std::string, std::string>& out) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base(T(root));
  // Links are listed, never followed.
  for (auto it = fs::recursive_directory_iterator(base, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const std::string rel = U(it->path().lexically_relative(base).generic_u16string());
    const fs::file_type type = it->symlink_status().type();
    if (type == fs::file_type::directory) {
      out[rel] = "<folder>";
    } else {
      out[rel] = type == fs::file_type::regular ? ReadFile(U(it->path().u16string())) : "<other>";
    }
  }
}

}  // namespace

std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> out;
  SnapshotInto(root, out);
  return out;
}

Text T(const std::string& utf8) { return Utf8ToText(utf8); }
std::string U(const Text& text) { return TextToUtf8(text); }

int RunCommand(const std::string& command, std::string* output, bool mergeErrors) {
#ifdef _WIN32
  FILE* pipe = _popen((mergeErrors ? command + " 2>&1" : command).c_str(), "rb");
#else
  FILE* pipe = popen((mergeErrors ? "(" + command + ") 2>&1" : command).c_str(), "r");
#endif
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  if (output) *output = text;
#ifdef _WIN32
  return _pclose(pipe);
#else
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool HaveProgram(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null") == 0; }

}  // namespace quenmar::testing
