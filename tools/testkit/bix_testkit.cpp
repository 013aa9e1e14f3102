// A development kit of our own, built only for tests as "Bix.dll": it opens a
// company folder and writes SIE 4 files of a booking year from its PRM,
// BOKFAAR and KONTO tables (DBF files in the folder, or the tables of the
// database that the folder's ftg.ini names), and can be told through the
// environment to fail or to answer a remark code:
//
//   BIXKIT_TRACE       file to which every call appends one line
//   BIXKIT_OPEN_CODE   result code of BixOpenEx/BixOpenEx2 (default 0)
//   BIXKIT_SIE_CODE    result code of BixGetSie (default 0; 78 and 79 still write the file)
//   BIXKIT_FAIL_YEAR   a booking-year identifier whose export fails
//   BIXKIT_SILENT_YEAR a booking-year identifier whose export answers success but writes no file
//   BIXKIT_ERROR_TEXT  what BixGetErrorText explains a failure with
//   BIXKIT_ERROR_TEXT_UNTERMINATED  when set, BixGetErrorText fills the whole buffer without a NUL
//   BIXKIT_COPY_TO     a folder in which a copy of every SIE file written is kept (the
//                      converter removes its own work folders when it ends)
//   BIXKIT_LOCK_YEAR   a booking-year identifier before whose export another program
//   BIXKIT_LOCK_FILE   takes a write lock on this file of the company folder (such as
//                      "PRM.DBF"), held until the kit is closed
//
// Entry points carry their decorated Windows names, '@' spelled '$'.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumdb/record/field_set.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/fake/held_lock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "sources/admin/bix_kit.h"
#include "sources/admin/parameter_tables.h"
#include "sources/admin/sie_tables.h"
#include "sources/sqladmin/data_source.h"

#define BIXKIT_EXPORT(decorated) __asm__(decorated) __attribute__((visibility("default")))

using bix::BixResult;

extern "C" {
BixResult BixOpenEx(const char*, const char*, std::uint32_t) BIXKIT_EXPORT("_BixOpenEx$16");
BixResult BixOpenEx2(const char*, const char*, const char*, const char*, std::uint32_t) BIXKIT_EXPORT("_BixOpenEx2$24");
void BixClose() BIXKIT_EXPORT("_BixClose$0");
void BixGetErrorText(const BixResult*, int, char**, int) BIXKIT_EXPORT("_BixGetErrorText$16");
#ifndef BIXKIT_WITHOUT_SIE
BixResult BixGetSie(int, char, const char*, const char*) BIXKIT_EXPORT("_BixGetSie$20");
#endif
// Probes of the loader's name rule: the highest decoration it tries, one above, and none at all.
int KitProbeHigh() BIXKIT_EXPORT("_KitProbeHigh$63");
int KitProbeTooHigh() BIXKIT_EXPORT("_KitProbeTooHigh$64");
int KitProbePlain() BIXKIT_EXPORT("KitProbePlain");
}

namespace {

constexpr std::int32_t kNotOpen = 2;
constexpr std::int32_t kNoCompany = 3;
constexpr std::int32_t kCannotWrite = 4;
constexpr std::int32_t kNoSuchYear = 5;
constexpr std::int32_t kYearFailed = 6;

std::string g_openCompany;  // empty while closed
std::unique_ptr<platform::fake::HeldWriteLock> g_otherProgramsLock;

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

void Trace(const std::string& line) {
  if (const auto file = Env("BIXKIT_TRACE")) {
    std::ofstream(*file, std::ios::app) << line << '\n';
  }
}

std::int32_t CodeFrom(const char* variable) {
  const auto text = Env(variable);
  return text ? static_cast<std::int32_t>(std::strtol(text->c_str(), nullptr, 10)) : 0;
}

BixResult Result(std::int32_t code) {
  BixResult result;
  result.code = code;
  // The opaque part names the failure so BixGetErrorText can explain it.
  std::memcpy(result.opaque, &code, sizeof code);
  return result;
}

BixResult Open(const char* companyFolder) {
  const std::int32_t code = CodeFrom("BIXKIT_OPEN_CODE");
  if (code != 0 && code != 78 && code != 79) return Result(code);
  if (!platform::IsFolder(companyFolder)) return Result(kNoCompany);
  g_openCompany = companyFolder;
  return Result(code);
}

#ifndef BIXKIT_WITHOUT_SIE
std::string SieQuoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &local);
  return text;
}

// What a SIE file tells of a company, as read from its tables; texts UTF-8, dates yyyymmdd.
struct BookingYear {
  std::string id, start, end, chartType;
};
struct Account {
  std::string yearId, number, name;
};
struct CompanyFacts {
  std::string name, orgNr;
  std::vector<BookingYear> years;
  std::vector<Account> accounts;
};

// The chart of accounts with the account names.
class AccountTable : public CKontoDb {
 public:
  using CKontoDb::CKontoDb;
  std::string GetName() const { return GetField(name_); }

 private:
  int name_ = Column("BENAEMN");
};

CompanyFacts ReadDbfCompany(const std::string& folder) {
  CompanyFacts facts;
  const CAdminPrm prm(folder);
  facts.name = prm.GetName();
  facts.orgNr = prm.GetOrgNr();
  CBookingYearDb years(folder);
  for (bool more = years.MoveFirstRecord(); more; more = years.MoveNextRecord()) {
    facts.years.push_back({years.GetYearId(), years.GetStart(), years.GetEnd(), years.GetChartType()});
  }
  AccountTable accounts(folder);
  for (bool more = accounts.MoveFirstRecord(); more; more = accounts.MoveNextRecord()) {
    facts.accounts.push_back({accounts.GetYearId(), accounts.GetAccount(), accounts.GetName()});
  }
  return facts;
}

// Every row of a query, each column as text (NULL as ""); no rows when it fails.
std::vector<std::vector<std::string>> SelectTexts(lumdb::session_c& session, const std::string& sql, int columns) {
  std::vector<std::vector<std::string>> rows;
  lumdb::field_set_c row;
  lumdb::sqlstmt_c statement(session.connection());
  constexpr int kLongestText = 256;
  for (int column = 0; column < columns; ++column) row.add_field(column + 1, nullptr, lumdb::sql_wvarchar, kLongestText);
  if (statement.allocate(false) || statement.prepare(sql)) return rows;
  for (int column = 0; column < columns; ++column) {
    if (statement.bind_column(row, column)) return rows;
  }
  if (statement.execute()) return rows;
  while (!statement.fetch()) {
    std::vector<std::string>& values = rows.emplace_back();
    for (int column = 0; column < columns; ++column) values.push_back(row.get_string(column + 1));
  }
  return rows;
}

std::string WithoutDashes(std::string date) {
  std::erase(date, '-');
  return date;
}

// The company of the database named by the folder's ftg.ini; nullopt when it cannot be reached.
std::optional<CompanyFacts> ReadSqlCompany(DataSourceInfo source) {
  lumdb::session_c session;
  if (session.open(source.server, source.databaseName, "", "")) return std::nullopt;
  CompanyFacts facts;
  for (const auto& prm : SelectTexts(session, "SELECT NAMN, ORGNR FROM PRM", 2)) {
    facts.name = prm[0];
    facts.orgNr = prm[1];
  }
  for (const auto& year : SelectTexts(session, "SELECT AAR_ID, BOERJAN, SLUT, KPTYP FROM BOKFAAR ORDER BY BOERJAN", 4)) {
    facts.years.push_back({year[0], WithoutDashes(year[1]), WithoutDashes(year[2]), year[3]});
  }
  for (const auto& account : SelectTexts(session, "SELECT AAR_ID, KONTO, BENAEMN FROM KONTO ORDER BY KONTO", 3)) {
    facts.accounts.push_back({account[0], account[1], account[2]});
  }
  return facts;
}

std::optional<CompanyFacts> ReadCompany(const std::string& folder) {
  DataSourceInfo source;
  if (ReadDataSourceIni(source, folder)) return ReadSqlCompany(std::move(source));
  return ReadDbfCompany(folder);
}

// Whether a table's AAR_ID names the year: the kit compares in its own code page,
// as a kit for Windows does, byte for byte.
bool IsOfYear(const std::string& utf8YearId, char yearId) {
  const std::string ansi = platform::EncodeFromUtf8(utf8YearId, platform::CodePage::Windows1252);
  return !ansi.empty() && ansi.front() == yearId;
}

// The identifier as UTF-8, for the trace and the failing year.
std::string YearText(char yearId) {
  return platform::DecodeToUtf8(std::string_view(&yearId, 1), platform::CodePage::Windows1252);
}

// The SIE 4 text of one booking year of the open company, CRLF lines, UTF-8
// until written; nullopt when the company has no such year.
std::optional<std::string> SieText(char yearId) {
  const std::optional<CompanyFacts> company = ReadCompany(g_openCompany);
  if (!company) return std::nullopt;
  const auto year = std::ranges::find_if(company->years, [yearId](const BookingYear& y) { return IsOfYear(y.id, yearId); });
  if (year == company->years.end()) return std::nullopt;

  std::string text;
  const auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  line("#FLAGGA 0");
  line("#FORMAT PC8");
  line("#SIETYP 4");
  line("#PROGRAM " + SieQuoted("Bix testkit") + " 1.0");
  line("#GEN " + Today());
  line("#FNAMN " + SieQuoted(company->name));
  if (!company->orgNr.empty()) line("#ORGNR " + company->orgNr);
  line("#RAR 0 " + year->start + " " + year->end);
  if (!year->chartType.empty()) line("#KPTYP " + year->chartType);
  for (const Account& account : company->accounts) {
    if (IsOfYear(account.yearId, yearId)) line("#KONTO " + account.number + " " + SieQuoted(account.name));
  }
  return text;
}
#endif

}  // namespace

BixResult BixOpenEx(const char* systemFolder, const char* companyFolder, std::uint32_t access) {
  Trace("BixOpenEx(" + std::string(systemFolder) + ", " + companyFolder + ", " + std::to_string(access) + ")");
  return Open(companyFolder);
}

BixResult BixOpenEx2(const char* systemFolder, const char* companyFolder, const char* user, const char* password,
                     std::uint32_t access) {
  Trace("BixOpenEx2(" + std::string(systemFolder) + ", " + companyFolder + ", " + user + ", " + password + ", " +
        std::to_string(access) + ")");
  return Open(companyFolder);
}

void BixClose() {
  Trace("BixClose()");
  g_openCompany.clear();
  g_otherProgramsLock.reset();
}

void BixGetErrorText(const BixResult* result, int, char** buffer, int bufferSize) {
  std::int32_t code = 0;
  std::memcpy(&code, result->opaque, sizeof code);
  Trace("BixGetErrorText(" + std::to_string(code) + ")");
  if (!buffer || !*buffer || bufferSize <= 0) return;
  if (Env("BIXKIT_ERROR_TEXT_UNTERMINATED")) {
    std::memset(*buffer, 'x', static_cast<std::size_t>(bufferSize));
    return;
  }
  const std::string text = Env("BIXKIT_ERROR_TEXT").value_or("Fel " + std::to_string(code));
  // Texts leave the kit in the Windows code page, as a kit for Windows would write them.
  const std::string ansi = platform::EncodeFromUtf8(text, platform::CodePage::Windows1252);
  const std::size_t length = std::min(ansi.size(), static_cast<std::size_t>(bufferSize - 1));
  std::memcpy(*buffer, ansi.data(), length);
  (*buffer)[length] = '\0';
}

#ifndef BIXKIT_WITHOUT_SIE
BixResult BixGetSie(int sieType, char yearId, const char* fileName, const char* folder) {
  Trace("BixGetSie(" + std::to_string(sieType) + ", " + YearText(yearId) + ", " + fileName + ", " + folder + ")");
  const std::int32_t code = CodeFrom("BIXKIT_SIE_CODE");
  if (code != 0 && code != 78 && code != 79) return Result(code);
  if (g_openCompany.empty()) return Result(kNotOpen);
  if (Env("BIXKIT_FAIL_YEAR") == YearText(yearId)) return Result(kYearFailed);
  if (Env("BIXKIT_SILENT_YEAR") == YearText(yearId)) return Result(code);
  if (const auto file = Env("BIXKIT_LOCK_FILE"); file && Env("BIXKIT_LOCK_YEAR") == YearText(yearId)) {
    try {
      g_otherProgramsLock = std::make_unique<platform::fake::HeldWriteLock>(platform::JoinPath(g_openCompany, *file));
    } catch (const std::runtime_error&) {
      return Result(kCannotWrite);
    }
  }
  const auto text = SieText(yearId);
  if (!text) return Result(kNoSuchYear);
  const std::string bytes = platform::EncodeFromUtf8(*text, platform::CodePage::Cp437);
  std::ofstream out(platform::JoinPath(folder, fileName), std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) return Result(kCannotWrite);
  if (const auto copies = Env("BIXKIT_COPY_TO")) {
    std::ofstream(platform::JoinPath(*copies, fileName), std::ios::binary | std::ios::trunc) << bytes;
  }
  return Result(code);
}
#endif

int KitProbeHigh() { return 63; }
int KitProbeTooHigh() { return 64; }
int KitProbePlain() { return 0; }
