// The SIE export of a test build of "PyxBase5.dll": the engine's file less its
// accounts, as a database that found the chart of accounts held by another
// program while it wrote would leave it.
#include <algorithm>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "sources/vardo/engine/vardo_engine.h"

extern "C" __attribute__((visibility("default"))) std::int32_t ExportSieFile(const char* path, std::int32_t sieType,
                                                                             std::int32_t yearStart) {
  const std::int32_t result = vardo_engine::TheEngine().ExportSie(path, sieType, yearStart);
  if (result != 0) return result;
  const std::string written = platform::ReadWholeFile(path).value_or("");
  std::string kept;
  for (std::size_t start = 0; start < written.size();) {
    const std::size_t end = std::min(written.find('\n', start), written.size() - 1) + 1;
    if (written.compare(start, 6, "#KONTO") != 0) kept += written.substr(start, end - start);
    start = end;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << kept;
  return out.flush() ? 0 : -1;
}
