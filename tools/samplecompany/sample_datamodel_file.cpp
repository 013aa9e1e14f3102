#include <fstream>
#include <stdexcept>

#include "tools/samplecompany/sample_datamodel.h"

namespace samplecompany {

void WriteDataModelFile(const std::filesystem::path& programFolder) {
  const auto path = programFolder / kDataModelFileName;
  const std::string_view text = SampleDataModelXml();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out.flush()) throw std::runtime_error("Kunde inte skriva " + path.string());
}

}  // namespace samplecompany
