#include "support/platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <utility>

#include "support/platform/paths.h"
#include "support/platform/posix/errors.h"
#include "support/platform/posix/native.h"

namespace quenmar::platform {

using posix::FromNative;
using posix::ToNative;
namespace {

IoStatus Walk(const std::string& root, const std::string& relative,
              const std::function<void(const Text&)>& visit) {
  const std::string folder = relative.empty() ? root : root + "/" + relative;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return posix::StatusFromErrno(errno, folder);
  IoStatus status;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string rel = relative.empty() ? name : relative + "/" + name;
    struct stat st;
    if (::lstat((root + "/" + rel).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      status = Walk(root, rel, visit);
      if (!status.Ok()) break;
    } else if (S_ISREG(st.st_mode)) {
      visit(FromNative(rel));
    }
  }
  ::closedir(dir);
  return status;
}

bool RemoveNative(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  // A folder without write or search permission cannot be emptied; we only
  // remove trees we made, so giving ourselves the rights back is fine.
  ::chmod(path.c_str(), 0700);
  bool ok = true;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      ok = RemoveNative(path + "/" + name) && ok;
    }
    ::closedir(dir);
  }
  return ::rmdir(path.c_str()) == 0 && ok;
}

}  // namespace

IoStatus CreateFolders(TextView path) {
  std::string native = ToNative(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  if (native.empty()) return IoStatus();
  struct stat st;
  if (::stat(native.c_str(), &st) == 0) {
    return S_ISDIR(st.st_mode) ? IoStatus() : posix::StatusFromErrno(ENOTDIR, native);
  }
  const size_t slash = native.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    IoStatus parent = CreateFolders(FromNative(native.substr(0, slash)));
    if (!parent.Ok()) return parent;
  }
  if (::mkdir(native.c_str(), 0777) != 0 && errno != EEXIST) return posix::StatusFromErrno(errno, native);
  return IoStatus();
}

IoStatus CreateUniqueFolder(TextView parent, TextView prefix, Text& created) {
  std::random_device device;
  std::mt19937_64 random(device());
  const std::string base = ToNative(parent);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    std::string candidate = base;
    if (!candidate.empty() && candidate.back() != '/') candidate += '/';
    candidate += ToNative(prefix) + suffix;
    if (::mkdir(candidate.c_str(), 0700) == 0) {
      created = FromNative(candidate);
      return IoStatus();
    }
    if (errno != EEXIST) return posix::StatusFromErrno(errno, candidate);
  }
  return posix::StatusFromErrno(EEXIST);
}

bool IsFolder(TextView path) {
  struct stat info;
  return !path.empty() && ::stat(ToNative(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsNetworkPath(TextView) { return false; }

bool RemoveTree(TextView path) {
  if (path.empty()) return false;
  return RemoveNative(ToNative(path));
}

void ForEachMatch(TextView folder, TextView mask, const std::function<bool(const Text& name)>& visit) {
  std::string native = ToNative(folder);
  if (native.empty()) native = ".";
  DIR* dir = ::opendir(native.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const Text text = FromNative(name);
    if (MatchesMask(text, mask) && !visit(text)) break;
  }
  ::closedir(dir);
}

IoStatus ListFolder(TextView folder, const std::function<void(const Text& name, bool isFolder)>& visit) {
  std::string native = ToNative(folder);
  if (native.empty()) native = ".";
  DIR* dir = ::opendir(native.c_str());
  if (dir == nullptr) return posix::StatusFromErrno(errno, native);
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    const bool isFolder = ::lstat((native + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    visit(FromNative(name), isFolder);
  }
  ::closedir(dir);
  return IoStatus();
}

IoStatus WalkFiles(TextView root, const std::function<void(const Text&)>& visit) {
  return Walk(ToNative(root), std::string(), visit);
}

}  // namespace quenmar::platform
