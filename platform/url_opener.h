#pragma once
// Opening a web address in the user's browser.
#include <string>

namespace platform {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  virtual bool Open(const std::string& url) = 0;
};

// Hands the address to xdg-open, started directly (no shell).
class DesktopUrlOpener final : public UrlOpener {
 public:
  bool Open(const std::string& url) override;
};

}  // namespace platform
