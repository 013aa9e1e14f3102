#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
  bool IsWriteLockedByAnother() const override {
    // An open-file-description lock query sees the locks of every other open of the file, this process's too.
    struct flock query {};
    query.l_type = F_RDLCK;
    query.l_whence = SEEK_SET;
    // Only the bytes a reader reads: xBase programs lock records at offsets far
    // past the end of the file, which hinders no reader.
    query.l_start = 0;
    query.l_len = static_cast<off_t>(std::max<std::uint64_t>(size_, 1));
    return ::fcntl(fd_, F_OFD_GETLK, &query) == 0 && query.l_type != F_UNLCK;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

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

bool ReplaceFile(const std::filesystem::path& path, std::string_view content, std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  auto temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return fail(std::strerror(errno));
  std::size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const int writeError = written == content.size() ? 0 : (errno != 0 ? errno : EIO);
  const bool synced = writeError == 0 && ::fsync(fd) == 0;
  const int syncError = errno;
  ::close(fd);
  if (!synced) {
    std::filesystem::remove(temporary, ec);
    return fail(std::strerror(writeError ? writeError : syncError));
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return fail(ec.message());
  }
  return true;
}

}  // namespace platform
