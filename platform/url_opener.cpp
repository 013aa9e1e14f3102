#include "platform/url_opener.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

bool DesktopUrlOpener::Open(const std::string& url) {
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
