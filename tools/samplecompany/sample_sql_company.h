#pragma once
// The sample SQL company: a SQLite database with the tables of kolmadm.xml declared
// with SQL Server type names, the rows the SQL readers read, and an ftg.ini whose
// section [DataSource] opens it through the driver registered as SQL Server's.
// Besides its ordinary records each kind holds a few records of the cases the
// readers treat specially (inactive, credit, paid, cancelled, NULL flags, foreign
// bank details, another currency ...) and exactly one record that the check
// refuses.
#include <filesystem>

namespace samplecompany {

inline constexpr const char* kSqlDatabaseFileName = "foretag.db";
inline constexpr const char* kSqlCompanyName = "Åkerbergs Järn & Trä AB";
inline constexpr const char* kSqlOrgNo = "556677-8899";

// How many records of each kind the readers read: the special records count
// towards these, so the readers give exactly these numbers (the refused record
// included). Paid and cancelled invoices, inactive registers and other records
// the readers pass over come on top.
struct SqlSampleOptions {
  int articles = 24;
  int customers = 18;
  int suppliers = 14;
  int customerInvoices = 26;
  int supplierInvoices = 20;
  // The current booking year (the previous one is written too); 0 means this year.
  int bookingYear = 0;
};

// The largest company the cloud takes of each kind.
SqlSampleOptions LargestSqlSample();
// Twice the largest: each register is over the cloud's maximum.
SqlSampleOptions DoubledSqlSample();

// Writes kolmadm.xml into `programFolder`, and ftg.ini and the database into
// `companyFolder` (both made when missing); throws std::runtime_error when it cannot,
// or when a count is smaller than the special records of its kind.
void WriteSampleSqlCompany(const std::filesystem::path& companyFolder, const std::filesystem::path& programFolder,
                           const SqlSampleOptions& options = {});

}  // namespace samplecompany
