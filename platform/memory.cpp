#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>
#include <utility>

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundedUp(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

}  // namespace

WritableBlock::WritableBlock(std::size_t bytes) {
  static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t unit = bytes >= kHugePage ? kHugePage : page;
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  size_ = RoundedUp(bytes == 0 ? 1 : bytes, unit);
  // Mapped large enough for an aligned run of size_ to lie inside; the rest is
  // given back.
  const std::size_t mapped = size_ + unit - page;
  void* mapping = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const std::uintptr_t aligned = RoundedUp(start, unit);
  if (aligned > start) munmap(mapping, aligned - start);
  if (const std::size_t tail = start + mapped - (aligned + size_)) munmap(reinterpret_cast<void*>(aligned + size_), tail);
  data_ = reinterpret_cast<char*>(aligned);
  // Both are only advice: without them the block is still sound, only slower
  // to fill.
  if (unit == kHugePage) madvise(data_, size_, MADV_HUGEPAGE);
  madvise(data_, size_, MADV_POPULATE_WRITE);
}

WritableBlock::~WritableBlock() {
  if (data_) munmap(data_, size_);
}

WritableBlock::WritableBlock(WritableBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

WritableBlock& WritableBlock::operator=(WritableBlock&& other) noexcept {
  if (this != &other) {
    if (data_) munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace platform
