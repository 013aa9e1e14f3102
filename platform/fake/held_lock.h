#pragma once
// Test support: a write lock on a whole file, held as another program writing
// the file would hold it, until the object goes. It is a lock of its own open
// file description, so the opener of this same process sees it as another's.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace platform::fake {

class HeldWriteLock {
 public:
  explicit HeldWriteLock(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fd_ < 0 || ::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
      const std::string why = std::strerror(errno);
      if (fd_ >= 0) ::close(fd_);
      throw std::runtime_error("cannot lock " + path.string() + ": " + why);
    }
  }
  ~HeldWriteLock() { ::close(fd_); }
  HeldWriteLock(const HeldWriteLock&) = delete;
  HeldWriteLock& operator=(const HeldWriteLock&) = delete;

 private:
  int fd_;
};

}  // namespace platform::fake
