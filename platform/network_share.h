#pragma once
// Where a folder lies: on this computer or on another computer's network share,
// through an interface that tests can replace.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class NetworkShares {
 public:
  virtual ~NetworkShares() = default;
  // The name of the computer that serves the share the folder lies on; nothing
  // when the folder is local (or where it lies cannot be told).
  virtual std::optional<std::string> FileServerOf(const std::string& folder) const = 0;
  // This computer's name; nothing when it cannot be read.
  virtual std::optional<std::string> ComputerName() const = 0;
};

// The shares in use: the system's mount table unless a test installed others.
const NetworkShares& CurrentNetworkShares();

// Installs `shares` for the life of this object.
class ScopedNetworkShares {
 public:
  explicit ScopedNetworkShares(const NetworkShares& shares);
  ~ScopedNetworkShares();
  ScopedNetworkShares(const ScopedNetworkShares&) = delete;
  ScopedNetworkShares& operator=(const ScopedNetworkShares&) = delete;

 private:
  const NetworkShares* previous_;
};

// The file server of an absolute, normalised path by a mount table in the form of
// /proc/self/mountinfo: the server of the deepest mount that holds the path when
// that mount is a CIFS/SMB share ("//server/share") or an NFS export
// ("server:/export"); nothing for any other file system.
std::optional<std::string> FileServerByMountTable(std::string_view mountInfo, std::string_view path);

}  // namespace platform
