#pragma once
// Opening a web address in the user's browser.
#include <string>
#include <string_view>

namespace platform {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  virtual bool Open(const std::string& url) = 0;
};

// Whether `url` is a web address fit for the browser: "http://" or "https://"
// (in any case) and a host, with no blank or control character. The addresses
// come from the cloud service: anything else (a path, "file:", "javascript:",
// an option such as "--help") is never handed on.
bool IsWebAddress(std::string_view url);

// Hands a web address to the desktop's opener (xdg-open), started directly (no
// shell); anything else is logged and not opened.
class DesktopUrlOpener final : public UrlOpener {
 public:
  explicit DesktopUrlOpener(std::string program = "xdg-open") : program_(std::move(program)) {}
  bool Open(const std::string& url) override;

 private:
  std::string program_;
};

}  // namespace platform
