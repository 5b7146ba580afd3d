#include "support/platform/memory.h"

#include <sys/mman.h>

#include <new>
#include <utility>

namespace quenmar::platform {
namespace {

// Whether a block of Size bytes is mapped rather than taken from the heap. Below
// a mebibyte the heap is as good and keeps small archives cheap.
constexpr bool Mapped(size_t size) {
#ifdef MAP_POPULATE
  return size >= (size_t{1} << 20);
#else
  (void)size;
  return false;
#endif
}

}  // namespace

MemoryBlock::MemoryBlock(size_t size) : size_(size) {
#ifdef MAP_POPULATE
  if (Mapped(size)) {
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(mapped);
    return;
  }
#endif
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
    ::munmap(data_, size_);
  } else {
    delete[] data_;
  }
  data_ = nullptr;
  size_ = 0;
}

}  // namespace quenmar::platform
