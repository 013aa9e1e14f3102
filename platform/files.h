#pragma once
// Reading files, through an opener that tests can replace, so a damaged-file
// test can cut a file short or fail a read and count what survives.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to buffer.size() bytes at `offset`; returns how many were read
  // (fewer at the end of the file or on a read error).
  virtual std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) = 0;
  // Whether another open of the file holds a write lock on some of its bytes
  // (up to the size it had when opened), as a program changing the file does;
  // a reader that honours locks waits for it or gives up. A lock past the end
  // of the file does not count. False where locks cannot be asked about.
  virtual bool IsWriteLockedByAnother() const { return false; }
};

class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // nullptr when the file cannot be opened; `error` then says why.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::filesystem::path& path, std::string* error) = 0;
};

std::unique_ptr<ReadableFile> OpenForReading(const std::filesystem::path& path, std::string* error = nullptr);

// The whole file; nullopt when it cannot be read (`error` then says why).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error = nullptr);

// Replaces the file's content whole: written to a new file of mode 0600 beside
// it, flushed to the disk and renamed over it, so a crash leaves the old content
// or the new, never a part. Makes the folder when missing. False when it could
// not be written (`error` then says why); the old file then stands.
bool ReplaceFile(const std::filesystem::path& path, std::string_view content, std::string* error = nullptr);

// Installs `opener` for the life of this object.
class ScopedFileOpener {
 public:
  explicit ScopedFileOpener(FileOpener& opener);
  ~ScopedFileOpener();
  ScopedFileOpener(const ScopedFileOpener&) = delete;
  ScopedFileOpener& operator=(const ScopedFileOpener&) = delete;

 private:
  FileOpener* previous_;
};

}  // namespace platform
