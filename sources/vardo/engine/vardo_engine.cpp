#include "sources/vardo/engine/vardo_engine.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vardo_engine {

namespace {

// The engine keeps a slot for each table id up to the highest it reads: a field read finds its table at once.
constexpr std::size_t kTableSlots = vardo_table::kPersSettings + 1;

// The newest database version this engine reads ("db.ver"); newer ones need a newer engine.
constexpr double kNewestDatabaseVersion = 6.99;
// What the error callback says of a table whose file is not there.
constexpr const char* kNoSuchFile = "the file does not exist";

constexpr std::chrono::sys_days kEpoch = std::chrono::sys_days{std::chrono::year{1899} / 12 / 31};

std::string_view TrimBlanks(std::string_view text) { return platform::Trim(text); }

std::string_view LastComponent(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (platform::IsPathSeparator(path[i - 1])) return path.substr(i);
  }
  return path;
}

// The leading number of a text as a double (blanks skipped); 0 when none.
double LeadingDouble(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

std::int32_t ClampToInt32(double value) {
  if (!(value > std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (!(value < std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

// The integer part of the leading number of a text. Most numbers of a table
// are plain digits, read here without the floating-point parse.
std::int32_t LeadingInteger(std::string_view text) {
  const std::string_view number = TrimBlanks(text);
  const bool negative = !number.empty() && number.front() == '-';
  const std::string_view digits = number.substr(negative ? 1 : 0);
  if (!digits.empty() && digits.size() <= 9 &&
      std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    std::int32_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return negative ? -value : value;
  }
  return ClampToInt32(std::trunc(LeadingDouble(text)));
}

// Whether a value reads as what its field's type says: a number (digits, a
// sign, a point, blanks), a date (eight digits of a real date, or blank) or a
// logical (one of its letters, or blank). Other types hold any text.
bool ReadsAsItsType(char type, std::string_view raw) {
  const std::string_view value = TrimBlanks(raw);
  if (value.empty()) return true;
  switch (type) {
    case 'N':
    case 'F':
      return lumdb::dbf_number(value).has_value();
    case 'D':
      // Some writers fill an empty date with zeros.
      return value == "00000000" || DateValueFromText(value) != 0;
    case 'L':
      return value.size() == 1 && std::string_view("TtYyFfNn?").find(value.front()) != std::string_view::npos;
    default:
      return true;
  }
}

bool TrueText(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return false;
  const char c = text.front();
  return c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == '1';
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text;
}

std::string UnreadableRecordText(std::int32_t record) {
  return "record " + std::to_string(record + 1) + " cannot be read";
}

// What is said of a live record whose value does not read as its field's type (or is missing where it must be).
std::string DamagedValueText(lumdb::dbf_table_c& table, int field) {
  return "record " + std::to_string(table.current_record() + 1) + ": " + table.fields()[static_cast<std::size_t>(field)].name +
         " holds \"" + std::string(TrimBlanks(table.field_text(field))) + "\"";
}

std::string SieQuoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string SieDate(std::int32_t value) {
  const Ymd ymd = DateParts(static_cast<std::uint16_t>(value));
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
  return text;
}

}  // namespace

std::int32_t DateValue(int year, int month, int day) {
  const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  if (!ymd.ok()) return 0;
  const auto days = (std::chrono::sys_days{ymd} - kEpoch).count();
  return days >= 1 && days <= 0xFFFF ? static_cast<std::int32_t>(days) : 0;
}

std::int32_t DateValueFromText(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  const auto number = [&text](std::size_t at, std::size_t length) {
    int value = 0;
    std::from_chars(text.data() + at, text.data() + at + length, value);
    return value;
  };
  return DateValue(number(0, 4), number(4, 2), number(6, 2));
}

Ymd DateParts(std::uint16_t value) {
  if (value == 0) return {};
  const std::chrono::year_month_day ymd{kEpoch + std::chrono::days{value}};
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

// One table of the open database, opened on first use. `current` is the
// record the field reads see; at the end of the table (`atEnd`), and on a
// record that cannot be read, they read as blank, as past the last record
// of a dBASE table.
struct Engine::Table {
  std::unique_ptr<lumdb::dbf_table_c> dbf;  // null when nothing of the file can be read
  std::int16_t problem = 0;                 // what keeps it from being read whole (vardo_error), 0 for nothing
  std::string why;                          // what was found, for the error callback
  std::int32_t current = -1;
  bool atEnd = true;
  bool unreadable = false;

  explicit Table(const std::string& path) {
    const auto file = platform::OpenForReading(path);
    if (!file && !platform::PathExists(path)) {
      problem = vardo_error::kMissingTable;
      why = kNoSuchFile;
      return;
    }
    // A table another program is changing is not read: what it holds is not settled.
    if (file && file->IsWriteLockedByAnother()) {
      problem = vardo_error::kLockedTable;
      why = "another program holds the file locked";
      return;
    }
    dbf = std::make_unique<lumdb::dbf_table_c>(path);
    if (!dbf->losses().empty()) {
      problem = vardo_error::kDamagedTable;
      why = Joined(dbf->losses());
    }
    if (!dbf->is_open()) dbf.reset();
  }

  bool Readable() const { return dbf != nullptr; }

  enum class Step { kPositioned, kUnreadable, kEnd };
  // To the first live record at or after n; stops on a record that cannot be
  // read (a damaged one too: its deletion flag is neither blank nor "*"),
  // which the next step goes past.
  Step SeekForward(std::int32_t n) {
    for (; n >= 0 && n < dbf->record_count(); ++n) {
      const std::error_code ec = dbf->read_record(n);
      if (ec || dbf->is_damaged()) {
        if (ec.value() == lumdb::no_data) break;
        current = n;
        atEnd = false;
        unreadable = true;
        return Step::kUnreadable;
      }
      if (!dbf->is_deleted()) {
        current = n;
        atEnd = false;
        unreadable = false;
        return Step::kPositioned;
      }
    }
    current = dbf->record_count();
    atEnd = true;
    unreadable = false;
    return Step::kEnd;
  }
  // The last live record at or before n; the position is kept when there is none.
  bool SeekBackward(std::int32_t n) {
    for (n = std::min(n, dbf->record_count() - 1); n >= 0; --n) {
      if (!dbf->read_record(n) && !dbf->is_deleted() && !dbf->is_damaged()) {
        current = n;
        atEnd = false;
        unreadable = false;
        return true;
      }
    }
    if (!atEnd && !unreadable && current >= 0) dbf->read_record(current);
    return false;
  }
  // Whether the field reads see a record.
  bool OnRecord() const { return !atEnd && !unreadable; }
};

namespace {

// Walks the live records of a table read on its own (the SIE export's), each
// given to `take`; false, with what could not be read, when a record cannot be
// read or is damaged.
template <class Take>
bool ForEachLiveRecord(lumdb::dbf_table_c& table, std::string& why, Take take) {
  for (std::int32_t n = 0; n < table.record_count(); ++n) {
    if (table.read_record(n) || table.is_damaged()) {
      why = UnreadableRecordText(n);
      return false;
    }
    if (!table.is_deleted() && !take()) break;
  }
  return true;
}

}  // namespace

Engine::Engine() = default;
Engine::~Engine() = default;

namespace {
Engine g_engine;
}  // namespace

Engine& TheEngine() { return g_engine; }

void Engine::Report(std::int16_t code, std::int32_t detail, const std::string& text) const {
  if (errorHandler_) errorHandler_(code, detail, text.c_str());
}

std::int32_t Engine::SetPath(const char* folder) {
  if (!folder) return -1;
  path_ = folder;
  // Another folder means another database: the open one is closed.
  if (!openFolder_.empty() && openFolder_ != path_) Close();
  return 0;
}

std::int32_t Engine::GetPath(char* buffer, std::int32_t size) const {
  if (!buffer || size <= 0 || path_.size() >= static_cast<std::size_t>(size)) return -1;
  std::memcpy(buffer, path_.c_str(), path_.size() + 1);
  return 0;
}

std::int32_t Engine::Open(const char* name) {
  if (!name || !*name) return -1;
  // The path names the company folder itself, or the folder that holds it.
  const std::string folder = platform::EqualsNoCase(LastComponent(path_), name) ? path_ : platform::ResolveNoCase(path_, name);
  if (!openFolder_.empty()) {
    if (openFolder_ == folder) return kVardoAlreadyOpen;
    Close();
  }
  const std::string clientPath = platform::ResolveNoCase(folder, "CLIENT.DBF");
  if (!platform::OpenForReading(clientPath) && !platform::PathExists(clientPath)) {
    // A company folder without its CLIENT.DBF lost it, which is said as of any table; no folder is a wrong path.
    if (platform::PathExists(folder)) Report(vardo_error::kMissingTable, vardo_table::kClient, kNoSuchFile);
    return -1;
  }
  if (platform::OpenForReading(platform::ResolveNoCase(folder, "vardo.dbd"))) return -3;
  if (const auto version = platform::ReadWholeFile(platform::ResolveNoCase(folder, "db.ver"))) {
    if (LeadingDouble(*version) > kNewestDatabaseVersion) return -4;
  }
  auto client = std::make_unique<Table>(clientPath);
  // A CLIENT.DBF that is only damaged opens: its first move says what is lost.
  if (!client->Readable()) {
    ReportProblem(vardo_table::kClient, *client);
    return -1;
  }
  client->SeekForward(0);
  openFolder_ = folder;
  tables_.clear();
  tables_.resize(kTableSlots);
  tables_[vardo_table::kClient] = std::move(client);
  return kVardoOpenOk;
}

std::int32_t Engine::Close() {
  openFolder_.clear();
  tables_.clear();
  years_.reset();
  return 0;
}

Engine::Table* Engine::Use(std::int32_t table) {
  // The slots are there only while a database is open.
  if (table < 0 || static_cast<std::size_t>(table) >= tables_.size()) return nullptr;
  if (Table* open = tables_[static_cast<std::size_t>(table)].get()) return open;
  const char* file = vardo_table::FileName(table);
  if (!file) return nullptr;
  auto& slot = tables_[static_cast<std::size_t>(table)];
  if (!slot) {
    slot = std::make_unique<Table>(platform::ResolveNoCase(openFolder_, file));
    // A freshly opened table stands on its first live record.
    if (slot->Readable()) slot->SeekForward(0);
  }
  return slot.get();
}

bool Engine::ReportProblem(std::int32_t id, const Table& table) const {
  if (table.problem == 0) return false;
  Report(table.problem, id, table.why);
  return true;
}

// The first move of a walk says what keeps the table from being read whole,
// and still stands on the first record that can be read; later moves say
// only what they cannot read themselves.
std::int32_t Engine::First(std::int32_t table) {
  if (openFolder_.empty()) return kVardoNotOpen;
  Table* t = Use(table);
  if (!t) return kVardoPositionFailed;
  const Table::Step step = t->Readable() ? t->SeekForward(0) : Table::Step::kEnd;
  if (!ReportProblem(table, *t) && step == Table::Step::kUnreadable) {
    Report(vardo_error::kUnreadableRecord, table, UnreadableRecordText(t->current));
  }
  return step == Table::Step::kPositioned ? 0 : kVardoPositionFailed;
}

std::int32_t Engine::Next(std::int32_t table) {
  if (openFolder_.empty()) return kVardoNotOpen;
  Table* t = Use(table);
  if (!t || !t->Readable() || t->atEnd) return kVardoPositionFailed;
  const Table::Step step = t->SeekForward(t->current + 1);
  if (step == Table::Step::kUnreadable) {
    Report(vardo_error::kUnreadableRecord, table, UnreadableRecordText(t->current));
  }
  return step == Table::Step::kPositioned ? 0 : kVardoPositionFailed;
}

std::int32_t Engine::Prev(std::int32_t table) {
  if (openFolder_.empty()) return kVardoNotOpen;
  Table* t = Use(table);
  return t && t->Readable() && t->SeekBackward(t->current - 1) ? 0 : kVardoPositionFailed;
}

std::int32_t Engine::Last(std::int32_t table) {
  if (openFolder_.empty()) return kVardoNotOpen;
  Table* t = Use(table);
  return t && t->Readable() && t->SeekBackward(t->dbf->record_count() - 1) ? 0 : kVardoPositionFailed;
}

std::int32_t Engine::Find(std::int32_t table, const char* key) {
  if (openFolder_.empty()) return kVardoNotOpen;
  Table* t = Use(table);
  if (!t || !t->Readable() || !key || t->dbf->fields().empty()) return kVardoPositionFailed;
  for (auto step = t->SeekForward(0); step != Table::Step::kEnd; step = t->SeekForward(t->current + 1)) {
    if (step == Table::Step::kPositioned && TrimBlanks(t->dbf->field_text(0)) == TrimBlanks(key)) return 0;
  }
  return kVardoPositionFailed;
}

std::int32_t Engine::Field(std::int32_t table, const char* name) {
  Table* t = name ? Use(table) : nullptr;
  if (!t || !t->Readable()) return 0;
  const int index = t->dbf->field_index(name);
  if (index < 0 || index >= 0xFFFF) return 0;
  return (table << 16) | (index + 1);
}

bool Engine::Resolve(std::int32_t handle, Table*& table, int& field) {
  if (handle <= 0) return false;
  const std::int32_t id = handle >> 16;
  field = (handle & 0xFFFF) - 1;
  table = Use(id);
  return table && table->Readable() && field >= 0 && field < static_cast<int>(table->dbf->fields().size());
}

std::string_view Engine::Raw(std::int32_t handle, char& type) {
  Table* table = nullptr;
  int field = -1;
  type = 0;
  if (!Resolve(handle, table, field) || !table->OnRecord()) return {};
  type = table->dbf->fields()[static_cast<std::size_t>(field)].type;
  const std::string_view raw = table->dbf->field_value(field);
  // A value that does not read as its type is said, never read as another value: it reads blank.
  if (!ReadsAsItsType(type, raw)) {
    ReportDamagedValue(handle, *table, field);
    return {};
  }
  return raw;
}

void Engine::ReportDamagedValue(std::int32_t handle, Table& table, int field) {
  Report(vardo_error::kDamagedValue, handle, std::string(TrimBlanks(table.dbf->field_text(field))));
}

std::int32_t Engine::String(std::int32_t handle, char* buffer, std::int32_t size) {
  Table* table = nullptr;
  int field = -1;
  if (!buffer || size <= 0 || !Resolve(handle, table, field)) return -1;
  std::string& text = text_;
  if (table->OnRecord()) {
    table->dbf->field_text(field, text);
    const char type = table->dbf->fields()[static_cast<std::size_t>(field)].type;
    if (!ReadsAsItsType(type, table->dbf->field_value(field))) ReportDamagedValue(handle, *table, field);
  } else {
    text.clear();
  }
  // The value as UTF-8, cut to the buffer without splitting a character.
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
  while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<std::int32_t>(length);
}

std::int32_t Engine::Long(std::int32_t handle) {
  char type = 0;
  const std::string_view raw = Raw(handle, type);
  if (type == 'L') return TrueText(raw) ? 1 : 0;
  if (type == 'D') return DateValueFromText(raw);
  return LeadingInteger(raw);
}

double Engine::Double(std::int32_t handle) {
  char type = 0;
  const std::string_view raw = Raw(handle, type);
  if (type == 'L') return TrueText(raw) ? 1.0 : 0.0;
  if (type == 'D') return DateValueFromText(raw);
  return LeadingDouble(raw);
}

std::int32_t Engine::Bool(std::int32_t handle) {
  char type = 0;
  const std::string_view raw = Raw(handle, type);
  if (type == 'N' || type == 'F') return LeadingDouble(raw) != 0.0 ? 1 : 0;
  return TrueText(raw) ? 1 : 0;
}

std::int32_t Engine::Date(std::int32_t handle) {
  char type = 0;
  return DateValueFromText(Raw(handle, type));
}

const std::vector<Engine::Year>& Engine::Years() {
  if (years_) return *years_;
  years_.emplace();
  yearsLoss_.clear();
  const Table* table = Use(vardo_table::kAccountYear);
  if (!table || !table->Readable()) return *years_;
  // A reading of its own, so the table's current record stays where the caller has it.
  lumdb::dbf_table_c years(platform::ResolveNoCase(openFolder_, vardo_table::FileName(vardo_table::kAccountYear)));
  const int begin = years.field_index("BEGIN");
  const int end = years.field_index("END");
  const int chart = years.field_index("ACCCHART");
  const int number = years.field_index("YEARNO");
  ForEachLiveRecord(years, yearsLoss_, [&] {
    // A year read without one of its values would be taken for another year, or cover days it does not.
    for (const int field : {begin, end, chart, number}) {
      if (field >= 0 && !ReadsAsItsType(years.fields()[static_cast<std::size_t>(field)].type, years.field_value(field))) {
        yearsLoss_ = DamagedValueText(years, field);
        return false;
      }
    }
    Year year;
    year.begin = DateValueFromText(years.field_value(begin));
    year.end = DateValueFromText(years.field_value(end));
    year.chart = ClampToInt32(LeadingDouble(years.field_value(chart)));
    year.number = number >= 0 ? ClampToInt32(LeadingDouble(years.field_value(number))) : 0;
    if (year.number <= 0) year.number = static_cast<std::int32_t>(years_->size()) + 1;
    years_->push_back(year);
    return true;
  });
  return *years_;
}

std::int32_t Engine::Today() const {
  const platform::LocalDateTime now = platform::CurrentClock().Now();
  return DateValue(now.year, now.month, now.day);
}

std::int32_t Engine::YearNo(std::int32_t date) {
  if (openFolder_.empty()) return kVardoNotOpen;
  if (date == 0) date = Today();
  const std::vector<Year>& years = Years();
  // Of years not all read, the one that covers the date may be the one lost.
  if (!yearsLoss_.empty()) {
    Report(vardo_error::kDamagedTable, vardo_table::kAccountYear, yearsLoss_);
    return kNoSuchYear;
  }
  for (const Year& year : years) {
    if (year.begin != 0 && year.begin <= date && date <= year.end) return year.number;
  }
  return kNoSuchYear;
}

std::int32_t Engine::ExportSie(const char* path, std::int32_t sieType, std::int32_t yearStart) {
  if (openFolder_.empty()) return kVardoNotOpen;
  if (!path || sieType != 4) return kCannotWrite;
  // A file short of accounts or years would pass for the company's whole
  // bookkeeping: none is written from tables that cannot be read whole.
  for (const std::int32_t id : {vardo_table::kClient, vardo_table::kAccountYear, vardo_table::kAccount}) {
    if (const Table* t = Use(id); t && ReportProblem(id, *t)) return kCannotWrite;
  }
  const std::vector<Year>& years = Years();
  if (!yearsLoss_.empty()) {
    Report(vardo_error::kDamagedTable, vardo_table::kAccountYear, yearsLoss_);
    return kCannotWrite;
  }
  const auto year = std::find_if(years.begin(), years.end(), [&](const Year& y) { return y.begin == yearStart; });
  if (year == years.end() || yearStart == 0) return kNoSuchYear;
  // The year before: the latest one that ends before this one begins.
  const Year* previous = nullptr;
  for (const Year& other : years) {
    if (other.end != 0 && other.end < year->begin && (!previous || other.end > previous->end)) previous = &other;
  }

  std::string text;
  const auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  line("#FLAGGA 0");
  line("#FORMAT PC8");
  line("#SIETYP 4");
  line("#PROGRAM \"PyxBase5\" 5.0");
  line("#GEN " + SieDate(Today()));
  std::string why;
  {
    lumdb::dbf_table_c client(platform::ResolveNoCase(openFolder_, vardo_table::FileName(vardo_table::kClient)));
    std::string name, orgNo;
    const bool read = ForEachLiveRecord(client, why, [&] {
      name = std::string(TrimBlanks(client.field_text(client.field_index("CLNAME"))));
      orgNo = std::string(TrimBlanks(client.field_text(client.field_index("ORGNO"))));
      return false;  // the company's record is the first
    });
    if (!read) {
      Report(vardo_error::kUnreadableRecord, vardo_table::kClient, why);
      return kCannotWrite;
    }
    line("#FNAMN " + SieQuoted(name));
    if (!orgNo.empty()) line("#ORGNR " + orgNo);
  }
  line("#RAR 0 " + SieDate(year->begin) + " " + SieDate(year->end));
  if (previous) line("#RAR -1 " + SieDate(previous->begin) + " " + SieDate(previous->end));
  line(std::string("#KPTYP ") + (year->chart < 200 ? "BAS96" : "EUBAS97"));
  {
    lumdb::dbf_table_c accounts(platform::ResolveNoCase(openFolder_, vardo_table::FileName(vardo_table::kAccount)));
    const int number = accounts.field_index("ACCNO");
    const int name = accounts.field_index("ACCNAME");
    const int chart = accounts.field_index("ACCCHART");
    // An account that cannot be placed in its chart, or has no number, is one the file would lack.
    bool whole = true;
    const bool read = ForEachLiveRecord(accounts, why, [&] {
      if (chart >= 0) {
        const std::string_view stored = accounts.field_value(chart);
        if (TrimBlanks(stored).empty() || !ReadsAsItsType(accounts.fields()[static_cast<std::size_t>(chart)].type, stored)) {
          why = DamagedValueText(accounts, chart);
          return whole = false;
        }
        if (ClampToInt32(LeadingDouble(stored)) != year->chart) return true;
      }
      const std::string account(TrimBlanks(accounts.field_text(number)));
      if (account.empty()) {
        why = DamagedValueText(accounts, number);
        return whole = false;
      }
      line("#KONTO " + account + " " + SieQuoted(TrimBlanks(accounts.field_text(name))));
      return true;
    });
    if (!read || !whole) {
      Report(read ? vardo_error::kDamagedTable : vardo_error::kUnreadableRecord, vardo_table::kAccount, why);
      return kCannotWrite;
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::string bytes = platform::EncodeFromUtf8(text, platform::CodePage::Cp437);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return kCannotWrite;
  // For the demo, whose converter removes its work folders when it ends.
  if (const auto copies = platform::GetEnvironment("VARDO_ENGINE_COPY_TO")) {
    std::ofstream(platform::JoinPath(*copies, std::filesystem::path(path).filename().string()),
                  std::ios::binary | std::ios::trunc)
        << bytes;
  }
  return 0;
}

}  // namespace vardo_engine
