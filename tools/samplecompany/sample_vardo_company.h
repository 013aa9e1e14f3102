#pragma once
// A realistic company of the Vardo line, written into a folder: every table and
// column the Vardo readers read, with Swedish names, the records their rules
// treat specially (one refused record per kind, deleted records, look-up texts
// in and out of their number ranges) and as many ordinary records as asked;
// and the Vardo program that reads it: "Vardo.exe" with its version, our
// database engine's three libraries and the registry keys naming both.
#include <filesystem>
#include <string>

#include "platform/text.h"
#include "tools/samplecompany/sample_company.h"
#include "tools/fixtures/dbf_writer.h"

namespace samplecompany {

// The sample Vardo company has the organisation number of the administration
// sample (kOrgNo), so both are offered for the one cloud company.
inline constexpr const char* kVardoCompanyName = "Märta Åkesson Bygg AB";
inline constexpr const char* kVardoDatabaseVersion = "6.0";
inline constexpr const char* kVardoProgramVersion = "6.1.0.4";
inline constexpr int kVardoEdition = 3000;

struct VardoSampleOptions {
  // Ordinary records added after the special ones.
  int articles = 12;
  int customers = 10;
  int suppliers = 6;
  int customerInvoices = 12;
  int supplierInvoices = 8;
  fixtures::DbfFormat format = fixtures::DbfFormat::DBase3;
  platform::CodePage codePage = platform::CodePage::Cp850;
  // The current booking year (the two before it are written too); 0 means this year.
  int bookingYear = 0;
};

// Writes the tables and "db.ver" into `folder`, making it when missing.
// Throws std::runtime_error (or std::invalid_argument from the DBF writer)
// when a file cannot be written.
void WriteSampleVardoCompany(const std::filesystem::path& folder, const VardoSampleOptions& options = {});

// Installs the Vardo program into `programFolder` (made when missing):
// "Vardo.exe" with the product version kVardoProgramVersion, and
// "c4dll.dll", "xfiles.dll" and "PyxBase5.dll" copied from `engineFolder`.
// Returns the registry keys that install it, as the lines of a ".reg" file:
// the App Paths key of Vardo.exe ("Path", and the installed edition as
// "Edition") and the user's Vardo key whose "Database" is `databaseFolder`
// (the company folders lie in its "Företag"). Throws std::runtime_error when
// a file cannot be written or copied.
std::string WriteVardoProgram(const std::filesystem::path& programFolder, const std::filesystem::path& databaseFolder,
                              const std::filesystem::path& engineFolder, int edition = kVardoEdition);

}  // namespace samplecompany
