// What both platforms' folders share: ownership of the handle and the path kept
// for messages. Opening and closing are each platform's own.
#include "support/platform/folder.h"

#include <utility>

#include "support/platform/paths.h"

namespace quenmar::platform {

Folder::Folder(Folder&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      path_(std::move(other.path_)),
      device_(other.device_),
      inode_(other.inode_) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, -1);
    path_ = std::move(other.path_);
    device_ = other.device_;
    inode_ = other.inode_;
  }
  return *this;
}

Folder::~Folder() { Close(); }

Folder Folder::Adopt(intptr_t handle, uint64_t device, uint64_t inode, Text path) {
  Folder folder;
  folder.handle_ = handle;
  folder.device_ = device;
  folder.inode_ = inode;
  folder.path_ = std::move(path);
  if (!folder.path_.empty()) {
    const char16_t last = folder.path_.back();
    if (kDelimiters.find(last) == TextView::npos && last != kPathSeparator && last != u'/') {
      folder.path_ += kPathSeparator;
    }
  }
  return folder;
}

}  // namespace quenmar::platform
