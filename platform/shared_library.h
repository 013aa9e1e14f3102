#pragma once
// Shared objects loaded at run time (dlopen/dlsym). A library keeps its
// Windows file name ("Bix.dll"): dlopen does not care about the suffix.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A decorated Windows name "_Name@8" cannot be an ELF symbol; it is exported as "_Name$8".
std::string ElfSymbolName(std::string_view windowsName);

class SharedLibrary {
 public:
  // nullptr when the file cannot be loaded; `error` then says why.
  static std::unique_ptr<SharedLibrary> Open(const std::filesystem::path& file, std::string* error = nullptr);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of an exported name (Windows spelling accepted); nullptr when absent.
  void* Find(std::string_view name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace platform
