#include "tools/samplecompany/sample_sql_company.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumdb/query/datamodel.h"
#include "lumdb/query/xml_dmoloader.h"
#include "lumdb/record/field.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqlstmt.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace samplecompany {
namespace {

std::string SqlServerType(const lumdb::field_desc_t& field) {
  const std::string length = "(" + std::to_string(field.length > 0 ? field.length : 1) + ")";
  switch (field.sql_type) {
    case lumdb::sql_bit: return "BIT";
    case lumdb::sql_smallint: return "SMALLINT";
    case lumdb::sql_integer: return "INT";
    case lumdb::sql_bigint: return "BIGINT";
    case lumdb::sql_double: return "FLOAT";
    case lumdb::sql_numeric:
      return "NUMERIC(" + std::to_string(field.length) + "," + std::to_string(field.decimals) + ")";
    case lumdb::sql_date: return "DATE";
    case lumdb::sql_timestamp: return "DATETIME";
    case lumdb::sql_guid: return "UNIQUEIDENTIFIER";
    case lumdb::sql_wvarchar: return "NVARCHAR" + length;
    case lumdb::sql_binary: return "VARBINARY" + length;
    default: return "VARCHAR" + length;
  }
}

// The rows the readers read, each kind with a case its rules refuse or pass over.
constexpr const char* kRows[] = {
    "INSERT INTO PRM (ORGNR, NAMN, POSTADR, POSTNR, ORT, TEL, EPOST, WWW, MOMSREGNR, BGIRO, PGIRO, SATE, EANLOC,"
    " EJ_FSKATT, H_SKVHUS, PRG_TYPE, SWIFT_ADR, IBAN_NR, KL_FKRECID, AKI_OCR) VALUES ('556677-8899',"
    " 'Åkerbergs Järn & Trä AB', 'Storgatan 1', '831 30', 'Östersund', '063-12 34 56', 'info@akerbergs.se',"
    " 'www.akerbergs.se', 'SE556677889901', '123-4567', '', 'Östersund', '7350000000007', 0, 1, '1', '',"
    " '1234 56 78901', '', 1)",
    "INSERT INTO PRM2 (MVSREDPER) VALUES (2)",
    "INSERT INTO NEWNUM (ID, NR) VALUES (1, 5001)",
    "INSERT INTO NEWNUM (ID, NR) VALUES (2, 3001)",
    "INSERT INTO NEWNUM (ID, NR) VALUES (3, 10001)",
    "INSERT INTO PRISL (PRISL, BENAEMN, INKLMOMS, VALUTAKOD) VALUES ('B', 'Grossist', 0, 'SEK')",
    "INSERT INTO PRISL (PRISL, BENAEMN, INKLMOMS, VALUTAKOD) VALUES ('A', 'Baspris å', 1, 'SEK')",
    "INSERT INTO PRISL (PRISL, BENAEMN, INKLMOMS, VALUTAKOD) VALUES ('E', 'Export', 0, 'EUR')",
    "INSERT INTO LEVVILLK (LEVVILLK, TEXT) VALUES ('FVL', 'Fritt vårt lager')",
    "INSERT INTO LEVVILLK (LEVVILLK, TEXT) VALUES ('FK', NULL)",
    "INSERT INTO LEVSAETT (LEVSAETT, TEXT) VALUES ('PO', 'Posten')",
    "INSERT INTO LEVSAETT (LEVSAETT, TEXT) VALUES ('BIL', 'Egen bil, Åre')",
};

void Run(lumdb::sqldb_c* connection, const std::string& sql) {
  lumdb::sqlstmt_c statement(connection);
  if (statement.allocate(false) || statement.exec_direct(sql))
    throw std::runtime_error("Kunde inte köra " + sql);
}

}  // namespace

void WriteSampleSqlCompany(const std::filesystem::path& companyFolder, const std::filesystem::path& programFolder) {
  std::filesystem::create_directories(companyFolder);
  std::filesystem::create_directories(programFolder);
  WriteDataModelFile(programFolder);
  lumdb::datamodel_c model;
  lumdb::xml_dmoloader_c loader((programFolder / kDataModelFileName).string(), model, false);
  if (!loader.load()) throw std::runtime_error("Datamodellen kunde inte läsas");

  const std::filesystem::path database = std::filesystem::absolute(companyFolder / kSqlDatabaseFileName);
  std::filesystem::remove(database);
  std::ofstream(database).close();  // the driver opens only an existing file
  lumdb::session_c session;
  if (session.open("(local)", database.string(), "", ""))
    throw std::runtime_error("Kunde inte öppna " + database.string());
  for (const int id : model.table_ids()) {
    const lumdb::table_desc_t& table = *model.table_by_id(id);
    std::string sql = "CREATE TABLE " + table.name + " (";
    for (std::size_t i = 0; i < table.stored_fields.size(); ++i)
      sql += (i ? ", " : "") + table.stored_fields[i]->name + " " + SqlServerType(*table.stored_fields[i]);
    Run(session.connection(), sql + ")");
  }
  for (const char* row : kRows) Run(session.connection(), row);

  std::ofstream ini(companyFolder / "ftg.ini", std::ios::binary);
  ini << "[DataSource]\r\nDisplayName=Åkerbergs Järn & Trä AB\r\nDisplayVariant=1\r\nDisplayVersion=2019.1\r\n"
         "DBInstance=(local)\r\nDBName="
      << database.string() << "\r\nAuth=\r\n";
  if (!ini) throw std::runtime_error("Kunde inte skriva " + (companyFolder / "ftg.ini").string());
}

}  // namespace samplecompany
