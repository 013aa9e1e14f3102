#pragma once
// Where the ODBC layer differs on Linux from the Windows SQL Server client it
// was written for. Each difference is one function or constant here, so the
// connection code itself reads the same on both.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sql.h>
#include <sqlext.h>

namespace lumdb {

// SQL Server driver attributes set before connecting; the unixODBC headers lack them.
#ifdef SQL_COPT_SS_PRESERVE_CURSORS
inline constexpr SQLINTEGER preserve_cursors_attr = SQL_COPT_SS_PRESERVE_CURSORS;
#else
inline constexpr SQLINTEGER preserve_cursors_attr = 1204;
#endif
#ifdef SQL_COPT_SS_MARS_ENABLED
inline constexpr SQLINTEGER mars_enabled_attr = SQL_COPT_SS_MARS_ENABLED;
#else
inline constexpr SQLINTEGER mars_enabled_attr = 1224;
#endif

// The names a Windows user gives the local server ("", ".", ".\X", "(local)",
// "(local)\X", "(localhost)") reach it through shared memory there ("lpc:");
// Linux drivers know no such protocol, so the local part becomes "localhost"
// and an instance name after it is kept. Other names are returned unchanged.
std::string map_server_name(std::string_view server);

// The environment variable that names the ODBC driver to use instead of the
// usual choice among the installed SQL Server drivers.
inline constexpr const char* driver_override_variable = "MOLNIX_ODBC_DRIVER";

// The driver named by that variable; nullopt when it is unset or empty.
std::optional<std::string> driver_override();

// The "ConnectionAttributes" line of a driver's odbcinst.ini section, among
// the "key=value" attributes the driver manager lists for it: attributes
// appended to every connection string for that driver (the project's own
// registration of the SQLite driver says "NoCreat=1", so a missing database
// file is an error, not a new empty database). Empty when there is none.
std::string extra_connection_attributes(const std::vector<std::string>& driver_attributes);

// True for the DBMS name (SQL_DBMS_NAME) a SQL Server answers with. Only then
// are the server's own statements ("SET DATEFIRST", SERVERPROPERTY, the file
// sizes) sent; another database behind the driver (SQLite in tests and the
// demo) reads as a server without properties.
bool is_sql_server_dbms(std::string_view dbms_name);

// unixODBC turns wide statement text and connection strings into the C
// library's character set for a driver without wide entry points (SQLite's
// has none). Our narrow text is UTF-8, so that set is made UTF-8 before the
// first handle is allocated; otherwise "ö" in a statement and a folder named
// "Företag" in a connection string are mangled on the way to the driver.
void use_utf8_for_driver_manager_conversions();

// SQLite's ODBC driver runs on the system's SQLite library, the one this
// program links, so the driver's SQLite is set up from here, for what this
// program does with it:
// - no memory statistics: SQLite keeps them by default under a mutex taken on
//   every allocation and release, and nothing reads them;
// - multi-thread mode, with no mutex taken on each call of a connection: the
//   program uses each connection from one thread only, as this layer itself
//   requires (it is not thread-safe either).
// Together they cost about a seventh of an SQL company's prepare step. SQLite
// takes the settings only before it starts, that is before the first
// connection of the process; called later they are refused and change nothing.
void set_up_sqlite_for_one_thread_per_connection();

}  // namespace lumdb
