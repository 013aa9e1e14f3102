#pragma once
// Test support: a generated desktop computer in a temporary folder, with the
// registry as a ".reg" file, program folders holding small program files with a
// version resource, ini files, DBF and SQL companies and bureau folders.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/scoped_environment.h"
#include "platform/registry.h"
#include "tools/fixtures/dbf_writer.h"
#include "tools/fixtures/pe_version_writer.h"

namespace desktop_test {

struct DbfCompany {
  std::string prg = "ADM";
  std::string productCode = "1";
  std::string orgNo;
  std::string name;
  std::string version = "6.0";
  std::string cloudLink;
  std::string currency;
};

class DesktopTree {
 public:
  ~DesktopTree() { platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(""))); }

  // A path inside the tree, as the registry and ini files name it.
  std::string operator()(const std::string& relative) const { return (tree_.root() / relative).string(); }

  // One registry key with string values ("dword:..." values written as given).
  DesktopTree& Key(const std::string& rootAndKey, const std::vector<std::pair<std::string, std::string>>& values = {}) {
    reg_ += "\n[" + rootAndKey + "]\n";
    for (const auto& [name, value] : values) {
      reg_ += "\"" + name + "\"=" + (value.rfind("dword:", 0) == 0 ? value : Quoted(value)) + "\n";
    }
    return *this;
  }
  // Writes the .reg file and makes it the registry the program reads.
  void InstallRegistry() const {
    const auto file = tree_.Write("registry.reg", "Windows Registry Editor Version 5.00\n" + reg_);
    platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Load(file)));
  }

  void Program(const std::string& relativeFile, const std::string& productVersion) const {
    fixtures::WritePeFile(tree_.root() / relativeFile, fixtures::MakePeFileWithProductVersion(productVersion));
  }
  void File(const std::string& relative, const std::string& content) const { tree_.Write(relative, content); }
  void Folder(const std::string& relative) const { tree_.MakeFolder(relative); }

  void Dbf(const std::string& folder, const DbfCompany& c) const {
    fixtures::DbfWriter prm(fixtures::DbfFormat::DBase3, {{"PRG", 'C', 3},
                                                          {"PRG_TYPE", 'C', 4},
                                                          {"ORGNR", 'C', 15},
                                                          {"NAMN", 'C', 40},
                                                          {"VERSION", 'C', 8},
                                                          {"KL_FKRECID", 'C', 36},
                                                          {"VALUTAKOD", 'C', 3}});
    prm.Add({c.prg, c.productCode, c.orgNo, c.name, c.version, c.cloudLink, c.currency});
    prm.WriteTo(tree_.root() / folder / "PRM.DBF");
  }
  void Sql(const std::string& folder, const std::string& name, const std::string& variant,
           const std::string& version) const {
    File(folder + "/ftg.ini", "[DataSource]\nDisplayName=" + name + "\nDisplayVariant=" + variant +
                                  "\nDisplayVersion=" + version + "\nDBInstance=127.0.0.1\nDBName=ftg1\n");
  }

  const std::filesystem::path& root() const { return tree_.root(); }

 private:
  static std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
      if (c == '\\' || c == '"') out.push_back('\\');
      out.push_back(c);
    }
    return out + "\"";
  }

  platform::fake::TempTree tree_;
  std::string reg_;
};

inline const std::string kAppPaths = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

}  // namespace desktop_test
