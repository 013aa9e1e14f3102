#pragma once
#include <string>
#include <vector>

#include "platform/url_opener.h"

namespace platform::fake {

class RecordingUrlOpener final : public UrlOpener {
 public:
  bool Open(const std::string& url) override {
    opened.push_back(url);
    return succeed;
  }
  std::vector<std::string> opened;
  bool succeed = true;
};

}  // namespace platform::fake
