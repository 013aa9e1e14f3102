// The sample DBF company with each table the readers read damaged in turn (cut in
// a record, zero length, removed, a folder in its place, held locked), converted
// through the job as the demo converts it: nothing is lost without a row, the
// settings and SIE files go as the company's or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/sources/company_identification.h"
#include "app/sources/desktop_programs.h"
#include "app/testing/conversion_damage.h"
#include "platform/fake/scoped_environment.h"
#include "platform/registry.h"
#include "sources/admin/testing/sample_dbf_tables.h"
#include "tools/samplecompany/sample_company.h"

namespace {

namespace fs = std::filesystem;

conversion_damage::SampleCompany SampleDbfCompany() {
  return {.sourceKind = kSourceAdmin,
          .write = [](const fs::path& folder) { samplecompany::WriteSampleCompany(folder); },
          .identify = [](const fs::path& folder) { return IdentifyCompany(folder.string(), true); },
          .priceListCode = "1",
          .tables = conversion_damage::SampleDbfTables()};
}

// The administration program installed with the test kit, as the demo installs
// it, so that the SIE files are made from the company's tables too.
class InstalledProgram {
 public:
  InstalledProgram(const fs::path& program, const fs::path& companies) {
    const std::string key = samplecompany::WriteAdministrationProgram(program, companies);
    fs::copy_file(fs::path(BIX_TESTKIT_DIR) / "Bix.dll", program / "Bix.dll");
    platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(
        platform::RegistryStore::Parse("Windows Registry Editor Version 5.00\n\n" + key)));
    InitDesktopProducts();
  }
  ~InstalledProgram() {
    platform::InstallRegistry(nullptr);
    for (DesktopProgramInfo& installed : g_desktopPrograms) installed = DesktopProgramInfo{};
  }
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;
};

TEST(DbfDamage, NothingReadShortIsSilent) {
  platform::fake::TempTree tree;
  platform::fake::ScopedEnv temp("TMPDIR", tree.MakeFolder("tmp").string());  // the SIE work folders
  conversion_damage::Harness harness(SampleDbfCompany());
  InstalledProgram program(tree / "Tessal Administration", harness.Pristine().parent_path());
  harness.Run(conversion_damage::DbfFileDamages());
}

}  // namespace
