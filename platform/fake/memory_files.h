#pragma once
// A file opener over files held in memory, for tests and fuzzing: a file can
// be made to fail its reads from a given offset on; opens, reads and the files
// still open are counted.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/files.h"

namespace platform::fake {

class MemoryFileOpener final : public FileOpener {
 public:
  struct Stats {
    int opens = 0;
    int reads = 0;
    int stillOpen = 0;
  };

  // `failFrom`: bytes at or after this offset cannot be read (a bad sector).
  void Add(std::string path, std::string content, std::uint64_t failFrom = UINT64_MAX) {
    files_[std::move(path)] = Entry{std::move(content), failFrom};
  }
  const Stats& stats() const { return stats_; }

  std::unique_ptr<ReadableFile> OpenForReading(const std::filesystem::path& path, std::string* error) override {
    const auto it = files_.find(path.string());
    if (it == files_.end()) {
      if (error) *error = "No such file or directory";
      return nullptr;
    }
    ++stats_.opens;
    return std::make_unique<File>(it->second, stats_);
  }

 private:
  struct Entry {
    std::string content;
    std::uint64_t failFrom;
  };
  class File final : public ReadableFile {
   public:
    File(const Entry& entry, Stats& stats) : entry_(entry), stats_(stats) { ++stats_.stillOpen; }
    ~File() override { --stats_.stillOpen; }
    std::uint64_t Size() const override { return entry_.content.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) override {
      ++stats_.reads;
      const std::uint64_t end = std::min<std::uint64_t>(entry_.content.size(), entry_.failFrom);
      if (offset >= end) return 0;
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - offset));
      std::memcpy(buffer.data(), entry_.content.data() + offset, n);
      return n;
    }

   private:
    const Entry& entry_;
    Stats& stats_;
  };

  std::map<std::string, Entry> files_;
  Stats stats_;
};

}  // namespace platform::fake
