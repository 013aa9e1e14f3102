#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

std::string ElfSymbolName(std::string_view windowsName) {
  std::string name(windowsName);
  for (char& c : name) {
    if (c == '@') c = '$';
  }
  return name;
}

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::filesystem::path& file, std::string* error) {
  // A bare name would make dlopen search the system's folders; always give a path.
  const std::string path = file.has_parent_path() ? file.string() : "./" + file.string();
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    if (error) {
      const char* why = ::dlerror();
      *error = why ? why : "dlopen failed";
    }
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { ::dlclose(handle_); }

void* SharedLibrary::Find(std::string_view name) const { return ::dlsym(handle_, ElfSymbolName(name).c_str()); }

}  // namespace platform
