#pragma once
// Test support: holds a write lock on a whole file, as another program that is
// changing the file would, or on some of its bytes (a record, or a byte past
// the end of the file where xBase programs lock records), until destroyed.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace platform::fake {

class HeldWriteLock {
 public:
  // A length of 0 locks from `start` on, however long the file grows.
  explicit HeldWriteLock(const std::filesystem::path& file, off_t start = 0, off_t length = 0)
      : fd_(::open(file.c_str(), O_RDWR | O_CLOEXEC)) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    if (fd_ < 0 || ::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
      if (fd_ >= 0) ::close(fd_);
      throw std::runtime_error("cannot lock " + file.string());
    }
  }
  ~HeldWriteLock() { ::close(fd_); }
  HeldWriteLock(const HeldWriteLock&) = delete;
  HeldWriteLock& operator=(const HeldWriteLock&) = delete;

 private:
  int fd_;
};

}  // namespace platform::fake
