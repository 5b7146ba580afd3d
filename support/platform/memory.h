// Blocks of memory for large buffers that are written right after they are
// made, such as an archive's central directory read from its file.
//
// A large block has all its pages made present at once where the OS offers that
// (Linux), instead of taking one page fault for each page as it is first
// written; elsewhere, and for small blocks, it is ordinary heap memory. The
// contents start undefined.
#pragma once

#include <cstddef>

namespace quenmar::platform {

class MemoryBlock {
 public:
  MemoryBlock() = default;
  // Raises std::bad_alloc when the memory cannot be had.
  explicit MemoryBlock(size_t size);
  ~MemoryBlock();
  MemoryBlock(MemoryBlock&& other) noexcept;
  MemoryBlock& operator=(MemoryBlock&& other) noexcept;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;

  char* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  void Release();

  char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace quenmar::platform
