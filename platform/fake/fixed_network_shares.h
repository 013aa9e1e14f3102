#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/network_share.h"

namespace platform::fake {

// Folders under a listed prefix lie on that prefix's file server; the others are local.
class FixedNetworkShares final : public NetworkShares {
 public:
  explicit FixedNetworkShares(std::optional<std::string> computerName) : computerName_(std::move(computerName)) {}
  void AddShare(std::string folderPrefix, std::string fileServer) {
    shares_[std::move(folderPrefix)] = std::move(fileServer);
  }
  std::optional<std::string> FileServerOf(const std::string& folder) const override {
    for (const auto& [prefix, server] : shares_)
      if (folder.starts_with(prefix)) return server;
    return std::nullopt;
  }
  std::optional<std::string> ComputerName() const override { return computerName_; }

 private:
  std::optional<std::string> computerName_;
  std::map<std::string, std::string> shares_;
};

}  // namespace platform::fake
