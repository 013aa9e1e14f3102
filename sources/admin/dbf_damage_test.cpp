// The sample DBF company with each table the readers read damaged in turn (cut in
// a record, zero length, removed, a folder in its place, held locked, a header
// length one byte too large, a field of length 0, a record with a deletion flag
// that is neither blank nor "*", letters in a number or a date field of a
// record), converted through the job as the demo converts it: nothing is lost
// without a row, the settings and SIE files go as the company's or not at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/desktop/company_identification.h"
#include "app/testing/conversion_damage.h"
#include "platform/fake/scoped_environment.h"
#include "sources/admin/testing/installed_program.h"
#include "sources/admin/testing/sample_dbf_tables.h"
#include "tools/samplecompany/sample_company.h"

namespace {

namespace fs = std::filesystem;

conversion_damage::SampleCompany SampleDbfCompany() {
  return {.sourceKind = kSourceAdmin,
          .write = [](const fs::path& folder) { samplecompany::WriteSampleCompany(folder); },
          .identify = [](const fs::path& folder) { return IdentifyCompany(folder.string(), true); },
          .priceListCode = "1",
          .tables = conversion_damage::SampleDbfTables(),
          .ownCopy = nullptr};
}

TEST(DbfDamage, NothingReadShortIsSilent) {
  platform::fake::TempTree tree;
  platform::fake::ScopedEnv temp("TMPDIR", tree.MakeFolder("tmp").string());  // the SIE work folders
  conversion_damage::Harness harness(SampleDbfCompany());
  InstalledAdministrationProgram program(tree / "Tessal Administration", harness.Pristine().parent_path());
  harness.Run({{conversion_damage::SampleDbfTables(), conversion_damage::DbfFileDamages()},
               {conversion_damage::SampleDbfTables(), conversion_damage::DbfLayoutDamages()},
               {conversion_damage::SampleDbfTables(), conversion_damage::DbfValueDamages()},
               {{{"PRM.DBF", {kImportCompany}, false}, {"PRM2.DBF", {kImportCompany}, false}},
                {conversion_damage::DbfFileWithoutRecords()}}});
}

}  // namespace
