// Helpers shared by the tests: a temporary folder that cleans up after itself,
// files written and read whole, and UTF-8 <-> text shorthands.
#pragma once

#include <ctime>
#include <map>
#include <string>

#include "support/text.h"

namespace quenmar::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + the separator + name, whose "/" become this platform's separator.
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
// Makes one folder; 0 on success.
int MakeFolder(const std::string& path);
// Sets a file's last-write (and access) time; 0 on success.
int SetModifiedTime(const std::string& path, time_t when);
// The local calendar time of a moment.
std::tm LocalTime(time_t when);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Every file and folder below Root, by its path relative to Root: a file's bytes,
// or "<folder>" for a folder. Links are not followed.
std::map<std::string, std::string> Snapshot(const std::string& root);

Text T(const std::string& utf8);
std::string U(const Text& text);

// Runs a shell command, returns its exit status; its standard output (and its
// standard error too when MergeErrors) goes to Output.
int RunCommand(const std::string& command, std::string* output = nullptr, bool mergeErrors = true);
// True when the named program is on the PATH.
bool HaveProgram(const std::string& name);

}  // namespace quenmar::testing
