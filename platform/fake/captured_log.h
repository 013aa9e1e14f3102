#pragma once
// Turns the log on into a private folder for the life of the object and reads
// back the texts of the lines written (without their time stamps).
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/log.h"

namespace platform::fake {

class CapturedLog {
 public:
  CapturedLog() { ConfigureLog(true, tree_.root().string()); }
  ~CapturedLog() { ConfigureLog(false, ""); }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  std::vector<std::string> Lines() const {
    std::vector<std::string> texts;
    std::istringstream in(ReadWholeFile(tree_ / kLogFileName).value_or(""));
    for (std::string line; std::getline(in, line);) {
      // "YYYY-MM-DD hh:mm:ss text"
      std::size_t cut = line.find(' ');
      if (cut != std::string::npos) cut = line.find(' ', cut + 1);
      texts.push_back(cut == std::string::npos ? line : line.substr(cut + 1));
    }
    return texts;
  }

 private:
  TempTree tree_;
};

}  // namespace platform::fake
