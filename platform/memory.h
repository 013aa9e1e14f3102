#pragma once
// Large blocks of writable memory taken straight from the system.
#include <cstddef>

namespace platform {

// A block that is written once and kept, such as tens of megabytes of records
// collected for an upload. It is filled in at once, and a block of 2 MiB or more
// is laid out on 2 MiB boundaries and asked to be backed by huge pages: faulting
// that much fresh memory in a 4 KiB page at a time costs more than writing it.
// The size is rounded up to whole pages (to whole 2 MiB from 2 MiB on).
// Throws std::bad_alloc when the system gives no memory.
class WritableBlock {
 public:
  explicit WritableBlock(std::size_t bytes);
  ~WritableBlock();
  WritableBlock(WritableBlock&& other) noexcept;
  WritableBlock& operator=(WritableBlock&& other) noexcept;
  WritableBlock(const WritableBlock&) = delete;
  WritableBlock& operator=(const WritableBlock&) = delete;

  char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace platform
