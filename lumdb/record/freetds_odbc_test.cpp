// FreeTDS, the driver a Linux user has for a real SQL Server, named through
// the environment: a server that is not there is a clear connect failure.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "lumdb/record/errors.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "platform/fake/scoped_environment.h"

namespace lumdb {
namespace {

// A loopback port nothing listens on: bound by us, then closed.
int closed_loopback_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) ::close(fd);
    return 0;
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

// FreeTDS reports a refused connection as a communication link failure
// (08S01) first, then the failed connect (08001); the first record decides.
TEST(FreeTdsOdbc, ClosedLoopbackPortIsAConnectFailureWithTheDriversMessage) {
  platform::fake::ScopedEnv driver(driver_override_variable, "FreeTDS");
  const int port = closed_loopback_port();
  ASSERT_NE(port, 0);
  session_c session;
  const std::error_code result = session.open("127.0.0.1," + std::to_string(port), "Company", "sa", "secret;x");
  EXPECT_EQ(result, make_error<sqldb_c>(connection_lost));
  EXPECT_EQ(session.connection(), nullptr);

  // The same through a connection of our own, to read the driver's words.
  sqldb_c db(nullptr);
  EXPECT_EQ(db.connect("127.0.0.1," + std::to_string(port), "Company", "sa", "pw", "Molnix"),
            make_error<sqldb_c>(connection_lost));
  EXPECT_FALSE(db.is_connected());
  ASSERT_FALSE(db.last_diagnostics().empty());
  EXPECT_EQ(db.last_diagnostics().front().sqlstate, "08S01");
  EXPECT_EQ(db.last_diagnostics().back().sqlstate, "08001");
  EXPECT_NE(db.last_diagnostic_text().find("Unable to connect"), std::string::npos) << db.last_diagnostic_text();
}

}  // namespace
}  // namespace lumdb
