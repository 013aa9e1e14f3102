#include "app/uncertain_imports.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/log.h"

namespace {

constexpr const char* kFileName = "uncertain-imports.json";

}  // namespace

std::filesystem::path UncertainImportStore::DefaultFile() { return platform::UserDataFolder() / kFileName; }

UncertainImportStore::Content UncertainImportStore::Read() const {
  Content content;
  std::error_code ec;
  if (!std::filesystem::exists(file_, ec) && !ec) return content;
  std::string why;
  const auto text = platform::ReadWholeFile(file_, &why);
  if (text) {
    const nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
    bool whole = json.is_object() && json.contains("imports") && json["imports"].is_array() &&
                 json.contains("damaged") && json["damaged"].is_boolean();
    if (whole) {
      content.damaged = json["damaged"].get<bool>();
      for (const auto& entry : json["imports"]) {
        const char* fields[] = {"cloudCompany", "sourceCompanyPath", "sourceCompanyName", "importId"};
        if (!entry.is_object() ||
            !std::all_of(std::begin(fields), std::end(fields),
                         [&](const char* f) { return entry.contains(f) && entry[f].is_string(); }) ||
            entry["cloudCompany"].get<std::string>().empty() || entry["importId"].get<std::string>().empty()) {
          whole = false;
          break;
        }
        content.imports.push_back({entry["cloudCompany"].get<std::string>(),
                                   entry["sourceCompanyPath"].get<std::string>(),
                                   entry["sourceCompanyName"].get<std::string>(), entry["importId"].get<std::string>()});
      }
    }
    if (whole) return content;
    why = "innehållet kunde inte tolkas";
  }
  // Dropping what cannot be read would drop the question before a second import.
  WriteLog("Uppgifterna om tidigare överföringar med okänt utfall kunde inte läsas (" + file_.string() + ": " + why +
           "); varje företag behandlas som om en tidigare överföring kan finnas i Tessal Molnix");
  content.imports.clear();
  content.damaged = true;
  return content;
}

void UncertainImportStore::Write(const Content& content) const {
  nlohmann::json imports = nlohmann::json::array();
  for (const auto& i : content.imports) {
    imports.push_back({{"cloudCompany", i.cloudCompanyId},
                       {"sourceCompanyPath", i.sourceCompanyPath},
                       {"sourceCompanyName", i.sourceCompanyName},
                       {"importId", i.importId}});
  }
  const nlohmann::json json{{"damaged", content.damaged}, {"imports", imports}};
  std::string why;
  if (!platform::ReplaceFile(file_, json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", &why)) {
    WriteLog("Uppgifterna om tidigare överföringar med okänt utfall kunde inte sparas i " + file_.string() + ": " +
             why);
  }
}

std::vector<UncertainImport> UncertainImportStore::Of(const std::string& cloudCompanyId) const {
  const Content content = Read();
  std::vector<UncertainImport> found;
  for (const auto& i : content.imports) {
    if (i.cloudCompanyId == cloudCompanyId) found.push_back(i);
  }
  if (content.damaged) found.push_back({cloudCompanyId, "", "", ""});
  return found;
}

void UncertainImportStore::Remember(const UncertainImport& import) {
  Content content = Read();
  std::erase_if(content.imports, [&](const UncertainImport& i) {
    return i.cloudCompanyId == import.cloudCompanyId && i.sourceCompanyPath == import.sourceCompanyPath;
  });
  content.imports.push_back(import);
  Write(content);
}

void UncertainImportStore::Forget(const std::string& cloudCompanyId, const std::string& importId) {
  Content content = Read();
  const auto removed = std::erase_if(content.imports, [&](const UncertainImport& i) {
    return i.cloudCompanyId == cloudCompanyId && i.importId == importId;
  });
  if (removed > 0) Write(content);
}

void UncertainImportStore::ForgetAllOf(const std::string& cloudCompanyId) {
  Content content = Read();
  const auto removed =
      std::erase_if(content.imports, [&](const UncertainImport& i) { return i.cloudCompanyId == cloudCompanyId; });
  if (removed > 0 || content.damaged) {
    content.damaged = false;
    Write(content);
  }
}
