// The sample SQL company with each table the readers read damaged in turn
// (dropped, a row that cannot be fetched, a settings table without its row,
// letters in a number, date or flag column),
// and its database file cut, emptied, removed, replaced by a folder or held
// locked by another program, converted through the job as the demo converts
// it: nothing is lost without a row, the settings and SIE files go as the
// company's or not at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_programs.h"
#include "app/testing/conversion_damage.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/field.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "sources/admin/testing/installed_program.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_sql_company.h"

namespace {

namespace fs = std::filesystem;
using conversion_damage::Damage;
using conversion_damage::SampleTable;

fs::path Database(const fs::path& company) { return company / samplecompany::kSqlDatabaseFileName; }

// Runs the statements on the company's database, as another program that changes it would.
void Change(const fs::path& company, const std::vector<std::string>& statements) {
  lumdb::session_c session;
  ASSERT_FALSE(session.open("(local)", Database(company).string(), "", ""));
  for (const std::string& sql : statements) {
    lumdb::sqlstmt_c statement(session.connection());
    ASSERT_FALSE(statement.allocate(false));
    const std::error_code ran = statement.exec_direct(sql);
    EXPECT_TRUE(!ran || ran.value() == lumdb::no_data) << sql << ": " << session.connection()->last_diagnostic_text();
  }
}

// Of each table, a column whose values the readers read (not a key, which would
// only part the row from those that join it); tables of numbers alone have none.
const std::map<std::string, std::string> kValueColumns = {
    {"PRM", "NAMN"},      {"ENHKOD", "TEXT"},   {"ARTKNT", "BENAEMN"}, {"ART", "BENAEMN"},  {"PRISL", "VALUTAKOD"},
    {"PRIS", "PRIS"},     {"ARTBEN", "BENAEMN"}, {"BETVILLK", "TEXT"},  {"LEVVILLK", "TEXT"}, {"LEVSAETT", "TEXT"},
    {"KUND", "NAMN"},     {"KUNDNOTE", "TXT"},  {"LEV", "NAMN"},       {"LEVNOTE", "TXT"},   {"KONTAKT", "EPOST"},
    {"OOF", "NAMN"},      {"LEVFKT", "NAMN"},   {"BOKFAAR", "KPTYP"},  {"KONTO", "BENAEMN"},
};

// The statement that gives the table's middle row a value its column cannot
// hold: a text longer than the column, a row that cannot be fetched, as a
// damaged page of a database is met by a reader in the middle of its walk; or a
// number that is no number, a value that does not read.
std::string DamageMiddleRow(const std::string& table) {
  const lumdb::datamodel_c& model = *GetDataModelByProductCode("1");
  const lumdb::table_desc_t* described = model.table_by_id(model.table_id_by_name(table));
  const lumdb::field_desc_t* field = model.field_by_id(described->field_id_by_name(kValueColumns.at(table)));
  const bool text = field->sql_type == lumdb::sql_varchar || field->sql_type == lumdb::sql_wvarchar;
  const std::string value = text ? std::string(static_cast<std::size_t>(field->length) * 3 + 20, 'X') : "ej ett tal";
  return "UPDATE " + table + " SET " + field->name + " = '" + value + "' WHERE rowid = (SELECT rowid FROM " + table +
         " ORDER BY rowid LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM " + table + "))";
}

// The first column of the table, in the data model, of one of `types`; null when it has none.
const lumdb::field_desc_t* FirstColumnOf(const std::string& table, std::initializer_list<int> types) {
  const lumdb::datamodel_c& model = *GetDataModelByProductCode("1");
  const lumdb::table_desc_t* described = model.table_by_id(model.table_id_by_name(table));
  for (const auto& field : described->stored_fields)
    if (std::find(types.begin(), types.end(), field->sql_type) != types.end()) return field.get();
  return nullptr;
}

const std::initializer_list<int> kNumberTypes = {lumdb::sql_smallint, lumdb::sql_integer, lumdb::sql_bigint,
                                                 lumdb::sql_double, lumdb::sql_numeric};
const std::initializer_list<int> kDateTypes = {lumdb::sql_date, lumdb::sql_timestamp};
const std::initializer_list<int> kFlagTypes = {lumdb::sql_bit};

// Letters in a number, date or flag column of the table's middle row, which SQLite
// keeps as they are, as another program writing into the database may leave them.
Damage LettersIn(const char* what, std::initializer_list<int> types) {
  return {std::string("a ") + what + " column of the middle row holding letters",
          [types](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
            const std::string column = FirstColumnOf(table.name, types)->name;
            Change(company, {"UPDATE " + table.name + " SET " + column + " = 'ej ett värde' WHERE rowid = (SELECT rowid FROM " +
                             table.name + " ORDER BY rowid LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM " + table.name + "))"});
            return nullptr;
          },
          false, false};
}

// The tables with a column of one of `types`, each with the damage of letters in it.
conversion_damage::DamageCases LetterCases(const std::vector<SampleTable>& tables, const char* what,
                                           std::initializer_list<int> types) {
  conversion_damage::DamageCases cases{{}, {LettersIn(what, types)}};
  for (const SampleTable& table : tables)
    if (FirstColumnOf(table.name, types) != nullptr) cases.tables.push_back(table);
  return cases;
}

// The damages of a table inside the database.
std::vector<Damage> TableDamages(bool withValues) {
  const auto change = [](std::string (*statement)(const std::string& table)) {
    return [statement](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
      Change(company, {statement(table.name)});
      return nullptr;
    };
  };
  std::vector<Damage> damages{{"dropped", change([](const std::string& table) { return "DROP TABLE " + table; })}};
  // The middle row may be one no reader reads (an inactive article, a paid invoice ...).
  if (withValues) damages.push_back({"a row that cannot be fetched", change(DamageMiddleRow), false, false});
  return damages;
}

// The damages of the database file: as a DBF file's, cut in a page rather than in a record,
// and held locked by another program (the sqlite3 shell in a write transaction).
std::vector<Damage> DatabaseDamages() {
  std::vector<Damage> damages = conversion_damage::DbfFileDamages();
  std::erase_if(damages, [](const Damage& damage) { return damage.name == "cut in a record" || damage.name == "held locked"; });
  damages.push_back({"cut in a page", [](const fs::path& company, const SampleTable&) -> std::shared_ptr<void> {
                       fs::resize_file(Database(company), fs::file_size(Database(company)) / 2 + 100);
                       return nullptr;
                     }});
  damages.push_back({"held locked", [](const fs::path& company, const SampleTable&) -> std::shared_ptr<void> {
                       return std::make_shared<sqladmin_test::ShellHoldingLock>(Database(company).string());
                     }});
  return damages;
}

conversion_damage::SampleCompany SampleSqlCompany(const fs::path& program) {
  return {.sourceKind = kSourceAdmin,
          .write = [program](const fs::path& folder) { samplecompany::WriteSampleSqlCompany(folder, program); },
          .identify = [](const fs::path& folder) { return IdentifyCompany(folder.string(), true); },
          .priceListCode = "A",
          .tables = {},
          // ftg.ini names the database by its full path.
          .ownCopy = [](const fs::path& original, const fs::path& copy) {
            std::string ini = platform::ReadWholeFile(copy / "ftg.ini").value();
            const std::string from = Database(original).string();
            ini.replace(ini.find(from), from.size(), Database(copy).string());
            std::ofstream(copy / "ftg.ini", std::ios::binary | std::ios::trunc) << ini;
          }};
}

// The tables inside the database, with the kinds each feeds. A company of the
// program has every one of them (the program makes them all).
std::vector<SampleTable> SampleSqlTables() {
  return {
      {"PRM", {kImportCompany, kImportCustomerLedgerItems, kImportSupplierLedgerItems, kImportSie}, false},
      {"PRM2", {kImportCompany}, false},
      {"NEWNUM", {kImportCompany}, false},
      {"ART", {kImportArticles}, false},
      {"PRIS", {kImportArticles}, false},
      {"PRISL", {kImportArticles}, false},
      {"ARTKNT", {kImportArticles}, false},
      {"ENHKOD", {kImportArticles}, false},
      {"ARTBEN", {kImportArticles}, false},
      {"KUND", {kImportCustomers}, false},
      {"KUNDNOTE", {kImportCustomers}, false},
      {"BETVILLK", {kImportCustomers, kImportSuppliers}, false},
      {"KONTAKT", {kImportCustomers, kImportSuppliers}, false},
      {"LEV", {kImportSuppliers, kImportSupplierLedgerItems}, false},
      {"LEVNOTE", {kImportSuppliers}, false},
      {"LEVVILLK", {kImportDeliveryTerms}, false},
      {"LEVSAETT", {kImportDeliveryMethods}, false},
      {"OOF", {kImportCustomerLedgerItems}, false},
      {"LEVFKT", {kImportSupplierLedgerItems}, false},
      {"BOKFAAR", {kImportSie}, false},
      {"KONTO", {kImportSie}, false},
  };
}

TEST(SqlDamage, NothingReadShortIsSilent) {
  platform::fake::TempTree tree;
  platform::fake::ScopedEnv temp("TMPDIR", tree.MakeFolder("tmp").string());  // the SIE work folders
  const fs::path program = tree / "Tessal Administration";
  InstalledAdministrationProgram installed(program, tree.MakeFolder("Företag"));
  conversion_damage::Harness harness(SampleSqlCompany(program));
  // A settings table without its one row.
  const Damage emptied{"emptied", [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
                         Change(company, {"DELETE FROM " + table.name});
                         return nullptr;
                       }};
  std::vector<SampleTable> withValues, numbersOnly;
  for (const SampleTable& table : SampleSqlTables())
    (kValueColumns.contains(table.name) ? withValues : numbersOnly).push_back(table);
  harness.Run({{withValues, TableDamages(true)},
               {numbersOnly, TableDamages(false)},
               {{{"PRM", {kImportCompany}, false}, {"PRM2", {kImportCompany}, false}}, {emptied}},
               LetterCases(SampleSqlTables(), "number", kNumberTypes),
               LetterCases(SampleSqlTables(), "date", kDateTypes),
               LetterCases(SampleSqlTables(), "flag", kFlagTypes),
               // What is lost with a damaged database depends on where the damage lies: each kind
               // that arrives short says so, whatever table its row names.
               {{{samplecompany::kSqlDatabaseFileName, {}, false}}, DatabaseDamages()}});
}

}  // namespace
