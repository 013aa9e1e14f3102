#pragma once
// Company folders of SQL companies for the tests: ftg.ini naming a SQLite
// database made of given statements, opened through unixODBC and the SQLite driver,
// with the administration program's data model loaded from kolmadm.xml.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "app/desktop/desktop_programs.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/fake/scoped_environment.h"
#include "tools/samplecompany/sample_datamodel.h"

extern char** environ;

namespace sqladmin_test {

using platform::fake::TempTree;

class CompanyConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.MakeFolder("program");
    samplecompany::WriteDataModelFile(tree_ / "program");
    // The model outlives the test; a load over a filled one fails and leaves it empty.
    administration().clear();
    LoadDataModelFile(administration(), (tree_ / "program").string());
    ASSERT_NE(administration().table_id_by_name("PRM"), lumdb::no_id);
  }
  static lumdb::datamodel_c& administration() { return *GetDataModelByProductCode("1"); }

  // A company folder whose ftg.ini names a SQLite database made of `sql`
  // (statements separated by ';'); an empty `sql` names a database that is not there.
  std::string Company(const std::string& name, const std::string& sql, const std::string& variant = "1",
                      const std::string& auth = "", const std::string& moreIni = "") {
    const std::filesystem::path database = tree_ / (name + ".db");
    if (!sql.empty()) {
      tree_.Write(name + ".db", "");
      lumdb::session_c session;
      EXPECT_FALSE(session.open("(local)", database.string(), "", ""));
      std::size_t start = 0;
      while (start < sql.size()) {
        const std::size_t end = std::min(sql.find(';', start), sql.size());
        lumdb::sqlstmt_c statement(session.connection());
        EXPECT_FALSE(statement.allocate(false));
        EXPECT_FALSE(statement.exec_direct(sql.substr(start, end - start))) << sql.substr(start, end - start);
        start = end + 1;
      }
    }
    tree_.Write(name + "/ftg.ini", "[DataSource]\nDisplayName=Företag " + name + "\nDisplayVariant=" + variant +
                                       "\nDBInstance=(local)\nDBName=" + database.string() + "\nAuth=" + auth + "\n" + moreIni);
    return (tree_ / name).string();
  }

  // The database file of Company(name, ...).
  std::string Database(const std::string& name) const { return (tree_ / (name + ".db")).string(); }

  platform::fake::ScopedEnv defaultDriver_{lumdb::driver_override_variable, std::nullopt};
  TempTree tree_;
};

// Holds a company database locked, as another program would, while it lives:
// an exclusive transaction on a connection of its own.
class HeldLock {
 public:
  explicit HeldLock(const std::string& database) {
    EXPECT_FALSE(session_.open("(local)", database, "", ""));
    Run("BEGIN EXCLUSIVE");
  }
  ~HeldLock() { Run("ROLLBACK"); }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

 private:
  void Run(const char* sql) {
    lumdb::sqlstmt_c statement(session_.connection());
    EXPECT_FALSE(statement.allocate(false));
    EXPECT_FALSE(statement.exec_direct(sql)) << sql;
  }
  lumdb::session_c session_;
};

// Holds a company database locked from another process while it lives: the
// sqlite3 shell in an exclusive transaction, as another program changing the
// company would. Throws when the shell cannot be started or does not take the lock.
class ShellHoldingLock {
 public:
  explicit ShellHoldingLock(const std::string& database) {
    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (::pipe2(output, O_CLOEXEC) != 0) {
      ::close(input[0]);
      ::close(input[1]);
      throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::string program = "sqlite3", file = database;
    char* argv[] = {program.data(), file.data(), nullptr};
    const bool started = posix_spawnp(&child_, "sqlite3", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    input_ = input[1];
    output_ = output[0];
    if (!started) child_ = 0;
    // The shell answers once the transaction holds the lock.
    const std::string ask = "BEGIN EXCLUSIVE;\nSELECT 'held';\n";
    std::string answer;
    char buffer[64];
    const bool asked = started && ::write(input_, ask.data(), ask.size()) == static_cast<ssize_t>(ask.size());
    for (ssize_t n = 0; asked && answer.find('\n') == std::string::npos &&
                        (n = ::read(output_, buffer, sizeof buffer)) > 0;) {
      answer.append(buffer, static_cast<std::size_t>(n));
    }
    if (answer != "held\n") {
      End();
      throw std::runtime_error("the sqlite3 shell did not lock " + database + ": " + answer);
    }
  }
  ~ShellHoldingLock() { End(); }
  ShellHoldingLock(const ShellHoldingLock&) = delete;
  ShellHoldingLock& operator=(const ShellHoldingLock&) = delete;

 private:
  // The end of its input ends the shell, and the transaction with it.
  void End() {
    if (input_ >= 0) ::close(input_);
    if (child_ > 0) ::waitpid(child_, nullptr, 0);
    if (output_ >= 0) ::close(output_);
    input_ = output_ = -1;
    child_ = 0;
  }

  pid_t child_ = 0;
  int input_ = -1;
  int output_ = -1;
};

}  // namespace sqladmin_test
