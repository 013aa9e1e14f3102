#pragma once
// A realistic DBF company of the administration program, written into a
// folder: every table and column that the converter's DBF readers read, with
// Swedish names, a few records of each case the readers treat specially
// (deleted, inactive, credit, paid, cancelled, unbooked, foreign payment ...),
// and as many ordinary articles, customers, suppliers and invoices as asked.
#include <filesystem>
#include <string>

#include "platform/text.h"
#include "tools/fixtures/dbf_writer.h"

namespace samplecompany {

inline constexpr const char* kOrgNo = "556677-8899";
inline constexpr const char* kCompanyName = "Åsa Öberg AB";
// The company's database version (PRM.VERSION) and the product version of the
// administration program that can export it as SIE: the two make a pair of the
// desktop program's version table.
inline constexpr const char* kDatabaseVersion = "23.30";
inline constexpr const char* kProgramVersion = "2023.3.0.1";

struct SampleOptions {
  // Ordinary records added after the special ones; of the invoices, the open
  // ones (a paid invoice follows every fifth of them besides).
  int articles = 20;
  int customers = 15;
  int suppliers = 10;
  int customerInvoices = 20;
  int supplierInvoices = 12;
  // PRM.PRG_TYPE: "0" edition 200, "5" 500, "1" 1000, "2" 2000, "W" invoicing, "F" association.
  std::string productCode = "1";
  // PRM.KL_FKRECID: empty when the company is not linked to the cloud service.
  std::string cloudLinkId;
  fixtures::DbfFormat format = fixtures::DbfFormat::DBase3;
  platform::CodePage codePage = platform::CodePage::Windows1252;
  // The current booking year (the previous one is written too); 0 means this year.
  int bookingYear = 0;
};

// A text as a quoted ".reg" string value.
std::string RegString(const std::string& text);

// Writes the tables and ftg.ini into `folder`, making it when missing.
// Throws std::runtime_error when a file cannot be written.
void WriteSampleCompany(const std::filesystem::path& folder, const SampleOptions& options = {});

// An administration program installed for the company: "KolmAdm.exe" with the
// product version kProgramVersion and the data model file "kolmadm.xml"
// (sample_datamodel.h) in `programFolder` (made when missing), and
// the registry key that installs it, as the lines of a ".reg" file: its App
// Paths key naming the folder as "Path" and "CommonFiles", `companiesFolder`
// (the folder that holds the company's folder) as "DefaultCompanyPath" and the
// edition of `productCode` (see SampleOptions) as "Edition". Throws
// std::runtime_error when the program file cannot be written or the code is
// not one of the administration program.
std::string WriteAdministrationProgram(const std::filesystem::path& programFolder,
                                       const std::filesystem::path& companiesFolder,
                                       const std::string& productCode = SampleOptions{}.productCode);

}  // namespace samplecompany
