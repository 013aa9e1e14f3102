#include "sources/sqladmin/data_source.h"

#include <charconv>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace {
// The desktop program reads each value into a 512-byte buffer.
constexpr std::size_t kMaxValueChars = 511;
}  // namespace

bool ReadDataSourceIni(DataSourceInfo& info, const std::string& companyFolder) {
  if (companyFolder.empty()) return false;
  const std::string file = platform::ResolveNoCase(companyFolder, "ftg.ini");
  const auto profile = platform::ProfileFile::Load(file);
  auto read = [&](const char* key) {
    return profile ? platform::Utf8Truncate(profile->GetString("DataSource", key, ""), kMaxValueChars) : std::string();
  };
  info.displayName = read("DisplayName");
  info.displayVariant = read("DisplayVariant");
  info.displayVersion = read("DisplayVersion");
  info.server = read("DBInstance");
  info.databaseName = read("DBName");
  info.authentication = read("Auth");
  if (info.databaseName.empty() && info.displayName.empty()) return false;
  if (!info.server.empty() && info.server.front() == ':') info.server.erase(0, 1);
  return true;
}

double StrToDoubleOrZero(const std::string& text) {
  std::string_view rest = platform::TrimLeft(text);
  if (!rest.empty() && rest.front() == '+') {
    rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '-') return 0.0;  // one sign only
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  return error == std::errc() ? value : 0.0;
}

std::string ReadCompanyOrgNr(const DataSourceInfo&) { return {}; }

std::string ReadCompanyCloudLinkId(const DataSourceInfo&) { return {}; }

void FillPriceListCombo(std::vector<std::string>&, std::vector<std::string>&, const std::string&) {}
