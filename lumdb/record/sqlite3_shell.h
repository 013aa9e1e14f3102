#pragma once
// For the benchmarks that set our SQLite reads beside the sqlite3 shell's: runs
// the shell on a database file with the given SQL, its output going to /dev/null.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

extern char** environ;

namespace lumdb {

// False when the shell cannot be started or does not end successfully.
inline bool RunSqlite3ToDevNull(std::string database, std::string sql) {
  std::string program = "sqlite3";
  char* argv[] = {program.data(), database.data(), sql.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int status = 0;
  const bool ran = posix_spawnp(&child, "sqlite3", &actions, nullptr, argv, environ) == 0 &&
                   waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return ran;
}

}  // namespace lumdb
