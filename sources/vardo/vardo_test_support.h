#pragma once
// Test support for the Vardo line: a Vardo program folder holding our engine
// (or a build of it that lacks functions), installed in the registry, with the
// generated sample company inside its database folder. The library stays
// loaded for the life of the process, so each test that loads it runs in a
// process of its own (as CTest runs them).
#include <filesystem>
#include <memory>
#include <string>

#include "platform/fake/scoped_environment.h"
#include "platform/registry.h"
#include "tools/samplecompany/sample_vardo_company.h"

namespace vardo_test {

// Folders of the engine builds (compile definitions of the test targets).
inline std::filesystem::path EngineFolder() { return VARDO_ENGINE_FOLDER; }

inline void InstallRegistry(const std::string& lines) {
  platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(lines)));
}

class VardoInstall {
 public:
  // Installs the program with the full engine and registers it.
  explicit VardoInstall(int edition = samplecompany::kVardoEdition) {
    registry_ = samplecompany::WriteVardoProgram(ProgramFolder(), DatabaseRoot(), EngineFolder(), edition);
    InstallRegistry(registry_);
  }
  ~VardoInstall() { InstallRegistry(""); }
  VardoInstall(const VardoInstall&) = delete;
  VardoInstall& operator=(const VardoInstall&) = delete;

  std::filesystem::path ProgramFolder() const { return tree_ / "Vardo"; }
  // The "Database" value; the companies lie in its "Företag".
  std::filesystem::path DatabaseRoot() const { return tree_ / "VardoData"; }
  std::filesystem::path CompaniesFolder() const { return DatabaseRoot() / "Företag"; }
  const std::string& RegistryLines() const { return registry_; }
  const platform::fake::TempTree& Tree() const { return tree_; }

  // Writes the sample company into the companies folder and returns its folder.
  std::string AddSampleCompany(const std::string& name = samplecompany::kVardoCompanyName,
                               const samplecompany::VardoSampleOptions& options = {}) const {
    const auto folder = CompaniesFolder() / name;
    samplecompany::WriteSampleVardoCompany(folder, options);
    return folder.string();
  }

 private:
  platform::fake::TempTree tree_;
  std::string registry_;
};

}  // namespace vardo_test
