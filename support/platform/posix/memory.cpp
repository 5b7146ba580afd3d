#include "support/platform/memory.h"

#include <sys/mman.h>

#include <new>
#include <utility>

namespace quenmar::platform {
namespace {

// Below this, the heap is as good and keeps small archives cheap.
constexpr size_t kMappedFrom = size_t{1} << 20;

}  // namespace

MemoryBlock::MemoryBlock(size_t size) : size_(size) {
#ifdef MAP_POPULATE
  if (size >= kMappedFrom) {
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(mapped);
    mapped_ = true;
    return;
  }
#endif
  data_ = new char[size];
}

MemoryBlock::~MemoryBlock() { Release(); }

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

void MemoryBlock::Release() {
  if (data_ == nullptr) return;
  if (mapped_) {
    ::munmap(data_, size_);
  } else {
    delete[] data_;
  }
  data_ = nullptr;
  size_ = 0;
  mapped_ = false;
}

}  // namespace quenmar::platform
