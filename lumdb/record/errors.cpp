#include "lumdb/record/errors.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace lumdb {

std::string load_error_message(int value) { return {}; }

std::string readable_class_name(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                        &std::free);
  return std::string("class ") + (status == 0 && demangled ? demangled.get() : type.name());
}

}  // namespace lumdb
