#include "support/platform/memory.h"

#include <windows.h>

#include <new>
#include <utility>

namespace quenmar::platform {
namespace {

// Blocks of a mebibyte or more come straight from the OS, committed at once;
// smaller ones from the heap, which keeps small archives cheap.
constexpr bool Mapped(size_t size) { return size >= (size_t{1} << 20); }

}  // namespace

MemoryBlock::MemoryBlock(size_t size) : size_(size) {
  if (Mapped(size)) {
    void* block = ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == nullptr) throw std::bad_alloc();
    data_ = static_cast<char*>(block);
    return;
  }
  data_ = new char[size];
}

MemoryBlock::~MemoryBlock() { Release(); }

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void MemoryBlock::Release() {
  if (data_ == nullptr) return;
  if (Mapped(size_)) {
    ::VirtualFree(data_, 0, MEM_RELEASE);
  } else {
    delete[] data_;
  }
  data_ = nullptr;
  size_ = 0;
}

}  // namespace quenmar::platform
