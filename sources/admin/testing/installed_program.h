#pragma once
// Test support: the administration program installed as the demo installs it,
// with our test kit as its development kit (BIX_TESTKIT_DIR, a compile
// definition of the test target), so that the SIE files are made from the
// company's tables; named in the registry and taken in as the start-up takes
// the installed programs, its data model loaded.
#include <filesystem>
#include <memory>

#include "app/desktop/desktop_programs.h"
#include "platform/registry.h"
#include "tools/samplecompany/sample_company.h"

class InstalledAdministrationProgram {
 public:
  InstalledAdministrationProgram(const std::filesystem::path& program, const std::filesystem::path& companies) {
    const std::string key = samplecompany::WriteAdministrationProgram(program, companies);
    std::filesystem::copy_file(std::filesystem::path(BIX_TESTKIT_DIR) / "Bix.dll", program / "Bix.dll");
    platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(
        platform::RegistryStore::Parse("Windows Registry Editor Version 5.00\n\n" + key)));
    InitDesktopProducts();
    LoadDataModels(0);
  }
  ~InstalledAdministrationProgram() {
    platform::InstallRegistry(nullptr);
    for (DesktopProgramInfo& installed : g_desktopPrograms) installed = DesktopProgramInfo{};
  }
  InstalledAdministrationProgram(const InstalledAdministrationProgram&) = delete;
  InstalledAdministrationProgram& operator=(const InstalledAdministrationProgram&) = delete;
};
