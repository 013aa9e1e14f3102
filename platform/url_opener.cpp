#include "platform/url_opener.h"

#include "platform/log.h"
#include "platform/process.h"
#include "platform/text.h"

namespace platform {

bool IsWebAddress(std::string_view url) {
  const auto schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) return false;
  const std::string scheme = ToLower(std::string(url.substr(0, schemeEnd)));
  if (scheme != "http" && scheme != "https") return false;
  const std::string_view rest = url.substr(schemeEnd + 3);
  if (rest.empty() || rest.front() == '/') return false;  // no host
  for (const unsigned char c : url) {
    if (c <= 0x20 || c == 0x7f) return false;
  }
  return true;
}

bool DesktopUrlOpener::Open(const std::string& url) {
  if (!IsWebAddress(url)) {
    std::string shown = url;  // one line in the log, whatever the address holds
    for (char& c : shown) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    WriteLog("Adressen öppnades inte (endast http och https): " + shown);
    return false;
  }
  const auto ended = RunProcess(program_, {url});
  return ended && ended->Succeeded();
}

}  // namespace platform
