#include "platform/network_share.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace platform {
namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes in paths as \ooo.
std::string UnescapeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string_view::npos) {
        out += static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) | (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(line.find(' ', start), line.size());
    fields.push_back(line.substr(start, end - start));
    pos = end;
  }
  return fields;
}

bool MountHolds(std::string_view mountPoint, std::string_view path) {
  if (mountPoint == "/") return true;
  return path.starts_with(mountPoint) && (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

std::optional<std::string> ServerOfSource(std::string_view fsType, std::string_view source) {
  if (fsType == "cifs" || fsType == "smb3" || fsType == "smbfs") {
    while (!source.empty() && (source.front() == '/' || source.front() == '\\')) source.remove_prefix(1);
    const std::string_view server = source.substr(0, source.find_first_of("/\\"));
    if (!server.empty()) return std::string(server);
  } else if (fsType == "nfs" || fsType == "nfs4") {
    std::string_view server = source.substr(0, source.rfind(':'));
    if (server.size() >= 2 && server.front() == '[' && server.back() == ']') server = server.substr(1, server.size() - 2);
    if (!server.empty() && server.size() < source.size()) return std::string(server);
  }
  return std::nullopt;
}

class SystemNetworkShares final : public NetworkShares {
 public:
  std::optional<std::string> FileServerOf(const std::string& folder) const override {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, error), error);
    if (error) return std::nullopt;
    std::ifstream table("/proc/self/mountinfo");
    if (!table) return std::nullopt;
    std::stringstream text;
    text << table.rdbuf();
    return FileServerByMountTable(text.str(), path.string());
  }
  std::optional<std::string> ComputerName() const override {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::nullopt;
    return std::string(name);
  }
};

const SystemNetworkShares g_systemShares;
const NetworkShares* g_shares = &g_systemShares;

}  // namespace

std::optional<std::string> FileServerByMountTable(std::string_view mountInfo, std::string_view path) {
  std::size_t deepest = 0;
  std::optional<std::string> server;
  bool found = false;
  while (!mountInfo.empty()) {
    const std::size_t end = std::min(mountInfo.find('\n'), mountInfo.size());
    const std::string_view line = mountInfo.substr(0, end);
    mountInfo.remove_prefix(std::min(end + 1, mountInfo.size()));
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const std::vector<std::string_view> fields = SplitBlanks(line);
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (fields.size() < 5 || dash + 2 >= fields.size()) continue;
    const std::string mountPoint = UnescapeMountField(fields[4]);
    if (!MountHolds(mountPoint, path)) continue;
    // Later lines mount over earlier ones at the same point.
    if (found && mountPoint.size() < deepest) continue;
    found = true;
    deepest = mountPoint.size();
    server = ServerOfSource(fields[dash + 1], UnescapeMountField(fields[dash + 2]));
  }
  return server;
}

const NetworkShares& CurrentNetworkShares() { return *g_shares; }

ScopedNetworkShares::ScopedNetworkShares(const NetworkShares& shares) : previous_(g_shares) { g_shares = &shares; }
ScopedNetworkShares::~ScopedNetworkShares() { g_shares = previous_; }

}  // namespace platform
