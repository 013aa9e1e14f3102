#pragma once
// Test support: holds a write lock on a whole file, as another program that is
// changing the file would, until destroyed.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace platform::fake {

class HeldWriteLock {
 public:
  explicit HeldWriteLock(const std::filesystem::path& file) : fd_(::open(file.c_str(), O_RDWR | O_CLOEXEC)) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
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
