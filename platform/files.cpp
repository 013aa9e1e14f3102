#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

class PosixFile final : public ReadableFile {
 public:
  PosixFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixFile() override { ::close(fd_); }
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) override {
    std::size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::pread(fd_, buffer.data() + done, buffer.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

// Windows refuses to read a file another program holds locked; here locks are
// advisory, so the opener asks. A write lock on any part of the file (a program
// writing it, a Windows program's lock through Samba or Wine) keeps it from
// being read as if whole. The question never waits for the lock. Locks of open
// file descriptions see the other processes' record locks and those of other
// descriptions of this process alike.
bool IsWriteLockedByOther(int fd) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // the whole file, however long
#ifdef F_OFD_GETLK
  if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
#else
  if (::fcntl(fd, F_GETLK, &lock) != 0) return false;
#endif
  return lock.l_type != F_UNLCK;
}

class PosixOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadableFile> OpenForReading(const std::filesystem::path& path, std::string* error) override {
    // Non-blocking, so that a pipe at the name is refused below instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      if (error) *error = std::strerror(errno);
      return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      if (error) *error = "not a regular file";
      ::close(fd);
      return nullptr;
    }
    if (IsWriteLockedByOther(fd)) {
      if (error) *error = kLockedByAnotherProgram;
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size));
  }
};

PosixOpener g_posixOpener;
FileOpener* g_opener = &g_posixOpener;

}  // namespace

std::unique_ptr<ReadableFile> OpenForReading(const std::filesystem::path& path, std::string* error) {
  return g_opener->OpenForReading(path, error);
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error) {
  auto file = OpenForReading(path, error);
  if (!file) return std::nullopt;
  std::string data(static_cast<std::size_t>(file->Size()), '\0');
  data.resize(file->ReadAt(0, data));
  return data;
}

ScopedFileOpener::ScopedFileOpener(FileOpener& opener) : previous_(g_opener) { g_opener = &opener; }
ScopedFileOpener::~ScopedFileOpener() { g_opener = previous_; }

}  // namespace platform
