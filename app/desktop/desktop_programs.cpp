#include "app/desktop/desktop_programs.h"

#include <map>
#include <utility>

#include "lumdb/query/xml_dmoloader.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/version_resource.h"
#include "sources/sqladmin/data_source.h"

std::array<DesktopProgramInfo, 3> g_desktopPrograms;

namespace {

constexpr std::array<DesktopProgramNames, 3> kNames = {{
    {"KolmAdm.exe", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KolmAdm.Exe", "KolmAdm.ini"},
    {"KolmFor.exe", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KolmFor.Exe", "KolmFor.ini"},
    {"KolmFkt.exe", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KolmFkt.Exe", "KolmFkt.ini"},
}};

constexpr double kNewGenerationVersion = 2017.1;

std::string LoadXmlDataModel(const std::string& file, lumdb::datamodel_c& model) {
  lumdb::xml_dmoloader_c loader(file, model, false);
  if (loader.load()) return {};
  return loader.failure().empty() ? "okänt fel" : loader.failure();
}

// Why each model's last load failed, by model.
std::map<const lumdb::datamodel_c*, std::string>& LoadFailures() {
  static std::map<const lumdb::datamodel_c*, std::string> failures;
  return failures;
}

DataModelFileLoader& FileLoader() {
  static DataModelFileLoader loader = LoadXmlDataModel;
  return loader;
}

bool IsEditionOf(DesktopProduct product, int edition) {
  switch (product) {
    case kProductAdministration:
      return edition == 200 || edition == 500 || edition == 1000 || edition == 2000;
    case kProductAssociation:
      return edition == 800;
    case kProductInvoicing:
      return edition == 400;
  }
  return false;
}

int ReadInstalledEdition(DesktopProduct product) {
  const auto& registry = platform::Registry();
  const char* key = DesktopProgramNamesOf(product).appPathsKey;
  int edition = 0;
  if (auto number = registry.ReadDword(platform::RegistryRoot::LocalMachine, key, kEditionValueName)) {
    edition = *number <= 0x7FFFFFFF ? static_cast<int>(*number) : 0;
  } else if (auto text = registry.ReadString(platform::RegistryRoot::LocalMachine, key, kEditionValueName)) {
    edition = platform::LeadingInt(*text);
  }
  return IsEditionOf(product, edition) ? edition : 0;
}

}  // namespace

const DesktopProgramNames& DesktopProgramNamesOf(DesktopProduct product) { return kNames.at(product - 1); }

DesktopProgramInfo& DesktopProgram(DesktopProduct product) { return g_desktopPrograms.at(product - 1); }

void InitDesktopProducts() {
  for (auto& entry : g_desktopPrograms) entry = DesktopProgramInfo{};
  for (int i = 0; i < 3; ++i) {
    auto& entry = g_desktopPrograms[i];
    ReadAppPathsKey(kNames[i].appPathsKey, entry.installed, entry.path, entry.commonFiles, entry.admIni,
                    entry.defaultCompanyPath);
  }
  for (int i = 0; i < 3; ++i) {
    auto& entry = g_desktopPrograms[i];
    if (!entry.installed) continue;
    entry.version = GetProgramVersion(entry.path, kNames[i].programFile);
    entry.newGeneration = entry.version >= kNewGenerationVersion;
    entry.installedEdition = ReadInstalledEdition(static_cast<DesktopProduct>(i + 1));
  }
}

void ReadAppPathsKey(const std::string& key, bool& installed, std::string& path, std::string& commonFiles,
                     std::string& admIni, std::string& defaultCompanyPath) {
  const auto& registry = platform::Registry();
  const auto root = platform::RegistryRoot::LocalMachine;
  if (!registry.KeyExists(root, key)) return;
  installed = true;
  const std::pair<const char*, std::string*> values[] = {
      {"Path", &path}, {"CommonFiles", &commonFiles}, {"AdmIni", &admIni}, {"DefaultCompanyPath", &defaultCompanyPath}};
  for (const auto& [name, field] : values) {
    if (auto text = registry.ReadString(root, key, name)) *field = *text;
  }
}

double GetProgramVersion(const std::string& folder, const std::string& fileName) {
  const auto text = platform::ReadVersionString(platform::ResolveNoCase(folder, fileName), "ProductVersion");
  return text ? StrToDoubleOrZero(*text) : 0.0;
}

void LoadDataModels(int which) {
  for (int i = 0; i < 3; ++i) {
    auto& entry = g_desktopPrograms[i];
    if (entry.newGeneration && (which == 0 || which == i + 1)) LoadDataModelFile(entry.dataModel, entry.path);
  }
}

void LoadDataModelFile(lumdb::datamodel_c& model, const std::string& folder) {
  const std::string file = platform::ResolveNoCase(folder, "kolmadm.xml");
  // A file that fails leaves the model empty; the readers of its companies say why.
  const std::string failure = FileLoader()(file, model);
  LoadFailures()[&model] = failure.empty() ? failure : file + ": " + failure;
}

std::string DataModelFailure(const lumdb::datamodel_c& model) {
  if (model.table_count() != 0) return {};
  const auto failure = LoadFailures().find(&model);
  if (failure != LoadFailures().end() && !failure->second.empty()) return failure->second;
  return "ingen datamodell (kolmadm.xml) är inläst för företagets program";
}

void SetDataModelFileLoader(DataModelFileLoader loader) {
  FileLoader() = loader ? std::move(loader) : DataModelFileLoader(LoadXmlDataModel);
}

lumdb::datamodel_c* GetDataModelByProductCode(const std::string& code) {
  if (code == "W") return &DesktopProgram(kProductInvoicing).dataModel;
  if (code == "F") return &DesktopProgram(kProductAssociation).dataModel;
  return &DesktopProgram(kProductAdministration).dataModel;
}
