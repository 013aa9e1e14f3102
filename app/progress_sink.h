#pragma once
// Where a long check shows how far it has come: the dialog sets the text and
// redraws at once (there is no message loop while the check runs).
#include <string>

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void ShowProgress(const std::string& text) = 0;
};
