// The sample Vardo company with each table its readers read damaged in turn (cut
// in a record, zero length, removed, a folder in its place, held locked, a header
// length one byte too large, a field of length 0, a record with a deletion flag
// that is neither blank nor "*", letters in a number or a date field of a
// record), and its one-row table of company settings without its row, converted
// through the job as the demo converts it, with our engine as the program's
// database library: nothing is lost without a row, the settings and SIE files go
// as the company's or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/testing/conversion_damage.h"
#include "platform/files.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_test_support.h"

namespace {

namespace fs = std::filesystem;
using conversion_damage::Damage;
using conversion_damage::SampleTable;

// The tables the Vardo readers read, with the kinds each feeds. The database
// has every one of them: a table removed is a damaged company.
std::vector<SampleTable> SampleVardoTables() {
  return {
      {"CLIENT.DBF", {kImportCompany, kImportSie}, false},
      {"SERIES.DBF", {kImportCompany}, false},
      {"PERSON.DBF", {kImportCustomers, kImportSuppliers, kImportCustomerLedgerItems, kImportSupplierLedgerItems}, false},
      {"ARTICLE.DBF", {kImportArticles}, false},
      {"TEXT.DBF", {kImportArticles, kImportCustomers, kImportSuppliers, kImportDeliveryTerms, kImportDeliveryMethods},
       false},
      {"ACCOUNT.DBF", {kImportArticles, kImportSie}, false},
      {"HISTORY.DBF", {kImportCustomers}, false},
      {"PERSSETTINGS.DBF", {kImportCustomers}, false},
      {"LEDGER.DBF", {kImportCustomerLedgerItems, kImportSupplierLedgerItems}, false},
      {"INVOICE.DBF", {kImportCustomerLedgerItems, kImportSupplierLedgerItems}, false},
      {"ACCYEAR.DBF", {kImportSie}, false},
  };
}

conversion_damage::SampleCompany SampleVardoCompany() {
  return {.sourceKind = kSourceVardo,
          .write = [](const fs::path& folder) { samplecompany::WriteSampleVardoCompany(folder); },
          .identify = [](const fs::path& folder) { return IdentifyVardoCompany(folder.string()); },
          .priceListCode = "",
          .tables = SampleVardoTables(),
          .ownCopy = nullptr};
}

TEST(VardoDamage, NothingReadShortIsSilent) {
  vardo_test::VardoInstall install;
  platform::fake::ScopedEnv temp("TMPDIR", install.Tree().MakeFolder("tmp").string());  // the SIE work folders
  conversion_damage::Harness harness(SampleVardoCompany());
  harness.Run({{SampleVardoTables(), conversion_damage::DbfFileDamages()},
               {SampleVardoTables(), conversion_damage::DbfLayoutDamages()},
               {SampleVardoTables(), conversion_damage::DbfValueDamages()},
               {{{"CLIENT.DBF", {kImportCompany}, false}}, {conversion_damage::DbfFileWithoutRecords()}}});
}

}  // namespace
