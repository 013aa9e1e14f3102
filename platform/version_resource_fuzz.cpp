// libFuzzer target: any bytes as a Windows program file whose version resource
// is read. Whatever its headers, directories and blocks claim, the reader must
// touch nothing outside the file and end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fake/memory_files.h"
#include "platform/text.h"
#include "platform/version_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::fake::MemoryFileOpener files;
  files.Add("PROGRAM.EXE", std::string(reinterpret_cast<const char*>(data), size));
  platform::ScopedFileOpener use(files);
  for (const char* name : {"ProductVersion", "FileVersion", ""}) {
    const auto text = platform::ReadVersionString("PROGRAM.EXE", name);
    if (text && (text->empty() || !platform::IsValidUtf8(*text))) __builtin_trap();
  }
  return 0;
}
