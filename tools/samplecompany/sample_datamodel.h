#pragma once
// The data model file of the sample SQL company: every table, column and
// reference that the SQL readers read, with Swedish texts.
#include <filesystem>
#include <string_view>

namespace samplecompany {

inline constexpr const char* kDataModelFileName = "kolmadm.xml";

// The text of kolmadm.xml.
std::string_view SampleDataModelXml();

// Writes kolmadm.xml into `programFolder`; throws std::runtime_error when it cannot.
void WriteDataModelFile(const std::filesystem::path& programFolder);

}  // namespace samplecompany
