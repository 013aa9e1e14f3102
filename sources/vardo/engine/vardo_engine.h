#pragma once
// Our own engine behind the Vardo database API: it reads a Vardo company's DBF
// tables (CLIENT.DBF, ACCOUNT.DBF, ...) through lumdb::dbf_table_c, keeps one
// open database per process and a current record per table, and writes a
// booking year's SIE 4 file. The exported functions of PyxBase5.dll forward to
// the one Engine of the process; README.md beside this file lists what it reads
// and writes and its result codes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lumdb/record/dbf_table.h"
#include "sources/vardo/vardo_api.h"

namespace vardo_engine {

// Date values: days since 1899-12-31 (1900-01-01 is 1), so every date up to
// 2079-06-06 fits the 16 bits the callers pass on; 0 is no date.
std::int32_t DateValue(int year, int month, int day);
// "YYYYMMDD" (DBF date text) as a date value; 0 when it is not a valid date in range.
std::int32_t DateValueFromText(std::string_view text);
struct Ymd {
  int year = 0, month = 0, day = 0;
};
Ymd DateParts(std::uint16_t value);  // all 0 for 0

// Results of the engine's own that the API leaves open.
inline constexpr std::int32_t kNoSuchYear = -2;
inline constexpr std::int32_t kCannotWrite = -3;

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  std::int32_t SetPath(const char* folder);
  std::int32_t GetPath(char* buffer, std::int32_t size) const;
  std::int32_t Open(const char* name);
  std::int32_t Close();

  std::int32_t First(std::int32_t table);
  std::int32_t Next(std::int32_t table);
  std::int32_t Prev(std::int32_t table);
  std::int32_t Last(std::int32_t table);
  // Positions on the first live record whose first field equals `key` (trimmed).
  std::int32_t Find(std::int32_t table, const char* key);

  std::int32_t Field(std::int32_t table, const char* name);
  std::int32_t String(std::int32_t handle, char* buffer, std::int32_t size);
  std::int32_t Long(std::int32_t handle);
  double Double(std::int32_t handle);
  std::int32_t Bool(std::int32_t handle);
  std::int32_t Date(std::int32_t handle);

  std::int32_t YearNo(std::int32_t date);
  std::int32_t ExportSie(const char* path, std::int32_t sieType, std::int32_t yearStart);

  void SetErrorHandler(VardoErrorHandler handler) { errorHandler_ = handler; }

 private:
  struct Table;
  struct Year {
    std::int32_t begin = 0, end = 0, chart = 0, number = 0;
  };

  // The table of an id of the open database, opened on first use; null for an unknown id.
  Table* Use(std::int32_t table);
  // Reports what keeps a table from being read whole; false when nothing does.
  bool ReportProblem(std::int32_t id, const Table& table) const;
  // The table and field of a handle on a current record; false when stale or unknown.
  bool Resolve(std::int32_t handle, Table*& table, int& field);
  // The stored value of a field of the current record and the field's type;
  // blank, and reported, when it does not read as that type.
  std::string_view Raw(std::int32_t handle, char& type);
  void ReportDamagedValue(std::int32_t handle, Table& table, int field);
  const std::vector<Year>& Years();
  std::int32_t Today() const;
  void Report(std::int16_t code, std::int32_t detail, const std::string& text) const;

  std::string path_;
  std::string openFolder_;  // empty while no database is open
  std::vector<std::unique_ptr<Table>> tables_;  // by table id; a table is opened at its first use
  std::string text_;  // a text value on its way to the caller's buffer
  std::optional<std::vector<Year>> years_;
  std::string yearsLoss_;  // a booking year that could not be read, when one could not
  VardoErrorHandler errorHandler_ = nullptr;
};

// The process's engine, as the exported functions use it.
Engine& TheEngine();

}  // namespace vardo_engine
