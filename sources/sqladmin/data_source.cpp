#include "sources/sqladmin/data_source.h"

#include <charconv>
#include <optional>
#include <stdexcept>

#include "platform/network_share.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace {
// The desktop program reads each value into a 512-byte buffer.
constexpr std::size_t kMaxValueChars = 511;
// Login values longer than this are cut, as the database logins were made with it.
constexpr std::size_t kMaxConnectionValueChars = 128;
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
  info.server = ResolveSqlServerName(companyFolder, info.server);
  return true;
}

std::string ResolveSqlServerName(const std::string& companyFolder, const std::string& server) {
  static constexpr std::string_view kLocal = "(local)";
  const std::size_t instanceStart = server.find('\\');
  const std::string_view host = std::string_view(server).substr(0, instanceStart);
  if (!platform::EqualsNoCase(host, kLocal)) return server;
  const platform::NetworkShares& shares = platform::CurrentNetworkShares();
  const std::optional<std::string> fileServer = shares.FileServerOf(companyFolder);
  if (!fileServer) return server;
  const std::optional<std::string> thisComputer = shares.ComputerName();
  if (thisComputer && platform::EqualsNoCase(*thisComputer, *fileServer)) return server;
  return *fileServer + (instanceStart == std::string::npos ? std::string() : server.substr(instanceStart));
}

std::string SanitizeConnectionValue(std::string value) {
  for (char& c : value)
    if (c == ';' || c == '\'') c = '_';
  return platform::Utf8Truncate(value, kMaxConnectionValueChars);
}

namespace {
template <typename Text>
Text WithoutWhitespace(Text text) {
  std::erase_if(text, [](auto c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; });
  return text;
}
}  // namespace

std::wstring RemoveWhitespaceW(std::wstring text) { return WithoutWhitespace(std::move(text)); }
std::string RemoveWhitespace(std::string text) { return WithoutWhitespace(std::move(text)); }

int StrToIntOrZero(const std::string& text) {
  try {
    return text.empty() ? 0 : std::stoi(text);
  } catch (const std::exception&) {
    return 0;
  }
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
