#pragma once
// The sample SQL company: a SQLite database with the tables of kolmadm.xml declared
// with SQL Server type names, the rows the SQL readers read, and an ftg.ini whose
// section [DataSource] opens it through the driver registered as SQL Server's.
#include <filesystem>

namespace samplecompany {

inline constexpr const char* kSqlDatabaseFileName = "foretag.db";

// Writes kolmadm.xml into `programFolder`, and ftg.ini and the database into
// `companyFolder` (both made when missing); throws std::runtime_error when it cannot.
void WriteSampleSqlCompany(const std::filesystem::path& companyFolder, const std::filesystem::path& programFolder);

}  // namespace samplecompany
