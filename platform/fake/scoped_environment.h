#pragma once
// Test helpers: a private temporary folder removed at the end, and an
// environment variable set (or unset) for the life of an object.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/folders.h"

namespace platform::fake {

class TempTree {
 public:
  TempTree() {
    auto made = MakeUniqueFolder(TempFolder(), "conv-test-");
    if (!made) throw std::runtime_error("cannot make a temp folder");
    root_ = *made;
  }
  ~TempTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path operator/(std::string_view relative) const { return root_ / relative; }

  // Writes a file (making its folders) and returns its path.
  std::filesystem::path Write(std::string_view relative, std::string_view content) const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
  }
  std::filesystem::path MakeFolder(std::string_view relative) const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path);
    return path;
  }

 private:
  std::filesystem::path root_;
};

class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    if (value) {
      ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ~ScopedEnv() {
    if (previous_) {
      ::setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace platform::fake
