#include "sources/admin/company_db.h"

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "sources/admin/logical_field.h"

CAdminCompanyDb::CAdminCompanyDb(std::string folder, std::string fileName)
    : folder_(std::move(folder)), fileName_(std::move(fileName)) {
  if (folder_.empty()) return;
  // A folder copied from Windows may hold "prm.dbf" where "PRM.DBF" is asked for.
  path_ = platform::ResolveNoCase(folder_, fileName_);
  table_ = std::make_unique<lumdb::dbf_table_c>(path_);
  exists_ = platform::PathExists(path_);
  if (!table_->is_open()) {
    // Why a file that is there is not read (a lock, a layout that does not fit).
    WriteLog("Misslyckades öppna filen " + path_ + (IsDamaged() ? ": " + Losses() : ""));
    return;
  }
  for (const auto& problem : table_->problems()) WriteLog(path_ + ": " + problem);
  const std::error_code ec = table_->first();
  if (!ec) {
    hasRecords_ = true;
    LogDamagedRecord();  // a settings table's record is read as it stands, never walked
  } else if (ec.value() != lumdb::no_data) {
    WriteLog("Misslyckades öppna filen " + path_);
  }
}

CAdminCompanyDb::~CAdminCompanyDb() = default;

bool CAdminCompanyDb::MoveFirstRecord() {
  if (!hasRecords_) return false;
  if (const std::error_code ec = table_->first()) {
    if (ec.value() != lumdb::no_data) LoseRecord();
    return false;
  }
  return IsLive() || SkipDeleted();
}

bool CAdminCompanyDb::MoveNextRecord() {
  if (!hasRecords_) return false;
  if (const std::error_code ec = table_->next()) {
    if (ec.value() != lumdb::no_data) LoseRecord();
    return false;
  }
  return IsLive() || SkipDeleted();
}

bool CAdminCompanyDb::SkipDeleted() {
  if (!hasRecords_) return false;
  do {
    if (const std::error_code ec = table_->next()) {
      if (ec.value() != lumdb::no_data) LoseRecord();
      return false;
    }
  } while (!IsLive());
  return true;
}

// A damaged record is passed over like a deleted one, but is a loss of the table (AddDamageRows).
bool CAdminCompanyDb::IsLive() {
  if (table_->is_damaged()) {
    LogDamagedRecord();
    return false;
  }
  return !table_->is_deleted();
}

// Once: all damaged records are one loss.
void CAdminCompanyDb::LogDamagedRecord() {
  if (damageLogged_ || !table_->is_damaged()) return;
  damageLogged_ = true;
  LoseRecord();
}

// A closed table fails its reads too, but loses nothing: the walk is over.
void CAdminCompanyDb::LoseRecord() {
  if (!table_->is_open() || table_->losses().empty()) return;
  WriteLog(path_ + ": " + table_->losses().back());
}

int CAdminCompanyDb::RecordCount() const { return table_ ? table_->record_count() : 0; }

// An empty table's file is released too; the has-records flag stays as it was.
void CAdminCompanyDb::CloseTable() {
  if (table_) table_->close();
}

std::string CAdminCompanyDb::Losses() const {
  std::string losses;
  if (!IsDamaged()) return losses;
  for (const std::string& loss : table_->losses()) losses += (losses.empty() ? "" : "; ") + loss;
  return losses;
}

void CAdminCompanyDb::AddDamageRows(std::vector<ReportRow>& rows, std::string_view cost) const {
  if (IsDamaged()) {
    rows.push_back({"", "", report::kError, report::kCaptionError, report::UnreadFileText(fileName_, Losses(), cost)});
  }
  rows.insert(rows.end(), sideTableRows_.begin(), sideTableRows_.end());
}

void CAdminCompanyDb::AddRequiredTableRows(std::vector<ReportRow>& rows, std::string_view cost) const {
  if (!exists_) {
    rows.push_back({"", "", report::kError, report::kCaptionError,
                    "Filen " + fileName_ + " saknas" + (cost.empty() ? "" : "; " + std::string(cost)) + "."});
  }
  AddDamageRows(rows, cost);
}

void CAdminCompanyDb::AddSettingsTableRows(std::vector<ReportRow>& rows, std::string_view cost) const {
  // A file read whole without its record: none of its values is the company's.
  if (exists_ && !IsDamaged() && !hasRecords_) {
    std::string text = report::FileWithoutRecordText(fileName_);
    if (!cost.empty()) text += "; " + std::string(cost) + ".";
    rows.push_back({"", "", report::kError, report::kCaptionError, std::move(text)});
  }
  AddRequiredTableRows(rows, cost);
}

std::string CAdminCompanyDb::GetField(int column) const {
  if (!hasRecords_ || column < 0) return {};
  return table_->field_text(column);
}

std::string CAdminCompanyDb::GetFieldNoBlanks(int column) const {
  std::string text = GetField(column);
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
  return text;
}

std::string CAdminCompanyDb::GetFieldDigits(int column) const {
  std::string text = GetFieldNoBlanks(column);
  std::erase(text, '-');
  return text;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A real calendar date stored YYYYMMDD, written YYYY-MM-DD; "" for blank.
std::optional<std::string> ReadDbfDate(std::string_view text) {
  text = platform::Trim(text);
  if (text.empty()) return std::string();
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
  auto number = [&](std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const std::chrono::year_month_day date{std::chrono::year(number(0, 4)), std::chrono::month(number(4, 2)),
                                         std::chrono::day(number(6, 2))};
  if (number(0, 4) == 0 || !date.ok()) return std::nullopt;
  std::string written(text.substr(0, 4));
  written += '-';
  written += text.substr(4, 2);
  written += '-';
  written += text.substr(6, 2);
  return written;
}

}  // namespace

// Numbers, dates and logical letters are ASCII in every code page a table may
// have, so they are read from the bytes as stored, without decoding them.
std::string_view CAdminCompanyDb::StoredValue(int column) const {
  if (!hasRecords_ || column < 0) return {};
  return table_->field_value(column);
}

std::optional<double> CAdminCompanyDb::NumberValue(int column) const { return lumdb::dbf_number(StoredValue(column)); }

std::optional<int> CAdminCompanyDb::WholeNumberValue(int column) const {
  const std::optional<double> number = NumberValue(column);
  if (!number || std::trunc(*number) != *number || *number < std::numeric_limits<int>::min() ||
      *number > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*number);
}

std::optional<std::string> CAdminCompanyDb::DateValue(int column) const { return ReadDbfDate(StoredValue(column)); }

std::optional<bool> CAdminCompanyDb::LogicalValue(int column) const {
  return ReadLogical(platform::Trim(StoredValue(column)));
}

std::optional<CAdminCompanyDb::CheckedColumn> CAdminCompanyDb::FirstUnreadValue(
    std::initializer_list<CheckedColumn> columns) const {
  for (const CheckedColumn& checked : columns) {
    bool reads = false;
    switch (checked.form) {
      case ValueForm::Number: reads = NumberValue(checked.column).has_value(); break;
      case ValueForm::WholeNumber: reads = WholeNumberValue(checked.column).has_value(); break;
      case ValueForm::Key:
        reads = WholeNumberValue(checked.column).has_value() && !platform::Trim(StoredValue(checked.column)).empty();
        break;
      case ValueForm::Date: reads = DateValue(checked.column).has_value(); break;
      case ValueForm::Logical: reads = LogicalValue(checked.column).has_value(); break;
    }
    if (!reads) return checked;
  }
  return std::nullopt;
}

std::string CAdminCompanyDb::UnreadValueText(const CheckedColumn& unread, std::string_view cost) const {
  const std::string value = GetField(unread.column);
  std::string text = unread.column < 0 ? "Filen " + fileName_ + " saknar fältet " + unread.name
                     : value.empty()   ? std::string("Värdet i fältet ") + unread.name + " i " + fileName_ + " saknas"
                                       : "Värdet \"" + value + "\" i fältet " + unread.name + " i " + fileName_ +
                                           " kan inte läsas";
  if (!cost.empty()) text += "; " + std::string(cost);
  return text + ".";
}

bool CAdminCompanyDb::RefuseUnread(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                                   std::initializer_list<CheckedColumn> columns) const {
  const std::optional<CheckedColumn> unread = FirstUnreadValue(columns);
  if (!unread) return false;
  rows.push_back(report::RecordRow(key, name, report::kError, report::kCaptionError, UnreadValueText(*unread)));
  return true;
}

void CAdminCompanyDb::WarnUnread(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                                 std::initializer_list<CheckedColumn> columns) const {
  for (const CheckedColumn& checked : columns) {
    if (!FirstUnreadValue({checked})) continue;
    rows.push_back(report::RecordRow(key, name, report::kWarning, report::kCaptionWarning,
                                     UnreadValueText(checked, "det skickas inte")));
  }
}

int CAdminCompanyDb::Column(std::string_view name) const { return hasRecords_ ? table_->field_index(name) : -1; }

namespace {

// The text after leading white space, with a leading '+' dropped (from_chars takes only '-').
std::string_view NumberStart(std::string_view text) {
  text = platform::TrimLeft(text);
  if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  return text;
}

}  // namespace

double ToDouble(std::string_view text) {
  text = NumberStart(text);
  const bool negative = text.starts_with('-');
  const std::string_view unsignedPart = text.substr(negative ? 1 : 0);
  double value = 0.0;
  std::errc ec;
  // Like the C run time, "0x" starts a hexadecimal number ("0x" alone is the number 0).
  if (unsignedPart.starts_with("0x") || unsignedPart.starts_with("0X")) {
    const std::string_view digits = unsignedPart.substr(2);
    if (digits.starts_with('-')) return 0.0;  // from_chars would take a second sign
    ec = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::hex).ec;
    if (negative) value = -value;
  } else {
    ec = std::from_chars(text.data(), text.data() + text.size(), value).ec;
  }
  // Infinity and NaN are no amounts either; a value too small for a normal double is out of range.
  if (ec != std::errc() || !std::isfinite(value) || (value != 0.0 && std::fabs(value) < DBL_MIN)) return 0.0;
  return value;
}

int ToInt(std::string_view text) {
  text = NumberStart(text);
  // `long` is 64-bit here, so the 32-bit range is checked on its own.
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    return 0;
  }
  return static_cast<int>(value);
}
