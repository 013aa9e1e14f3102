#include "sources/vardo/vardo_company_db.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <exception>
#include <unordered_map>

#include "platform/log.h"
#include "platform/paths.h"

namespace {

constexpr const char* kOpenFailed = "Misslyckades öppna filen ";

// "<table id><field name>" -> handle (never 0), of the database's opening `opening`.
struct FieldHandles {
  std::unordered_map<std::string, int> handles;
  unsigned opening = 0;
};

// The handles of the database as it is open now: emptied when it may have been closed since.
std::unordered_map<std::string, int>& FieldHandleCache() {
  static FieldHandles cache;
  if (cache.opening != VardoDatabaseOpening()) {
    cache.handles.clear();
    cache.opening = VardoDatabaseOpening();
  }
  return cache.handles;
}

bool Usable(int status) { return status == kVardoOpenOk || status == kVardoAlreadyOpen; }

std::string FailurePath(const std::string& folder, const std::string& tableFile) {
  return platform::JoinPath(folder, tableFile);
}

// The log text of a failed DatabaseOpen.
const char* OpenFailureText(int status) {
  switch (status) {
    case -1: return "Sökvägen till databasen är felaktig";
    case -2: return "Databasen måste frisläppas";
    case -3: return "Fel version, databasen måste uppdateras";
    case -4: return "Fel version, APIet måste uppdateras";
    default: return "";
  }
}

void AddRowOnce(std::vector<ReportRow>& rows, ReportRow row) {
  if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(std::move(row));
}

}  // namespace

std::string VardoDamageText(int tableId, const std::string& what, std::string_view cost) {
  const char* file = vardo_table::FileName(tableId);
  return report::UnreadFileText(file ? file : "?", what, cost);
}

std::string VardoDamagedValuesText(const std::vector<VardoDamagedValue>& values) {
  std::string text;
  for (const VardoDamagedValue& value : values) {
    text += (text.empty() ? "fältet " : "; fältet ") + value.field + " har ett värde som inte kan läsas (\"" +
            value.value + "\")";
  }
  return text;
}

int CVardoCompanyDb::Handle(VardoField& field) {
  if (field.opening_ != VardoDatabaseOpening()) {
    field.handle_ = GetFieldHandle(field.tableId_, field.name_);
    // A field the table lacks is asked for (and logged) again at the next read.
    field.opening_ = field.handle_ != 0 ? VardoDatabaseOpening() : 0;
  }
  return field.handle_;
}

template <class Value, class Read>
Value CVardoCompanyDb::Checked(const char* fieldName, Read read) {
  try {
    return read();
  } catch (const VardoDatabaseError& error) {
    if (error.Code() != vardo_error::kDamagedValue) throw;
    const VardoDamagedValue damaged{fieldName, error.Text()};
    std::vector<VardoDamagedValue>& values = DamageOfCurrentRecord();
    if (std::find(values.begin(), values.end(), damaged) == values.end()) {
      values.push_back(damaged);
      WriteLog(VardoDamageText(tableId_, VardoDamagedValuesText({damaged})));
    }
    return Value{};
  }
}

const std::vector<VardoDamagedValue>& CVardoCompanyDb::DamagedValues() { return DamageOfCurrentRecord(); }

std::vector<VardoDamagedValue>& CVardoCompanyDb::DamageOfCurrentRecord() {
  if (damagedAt_ != VardoPositionStamp()) {
    damagedValues_.clear();
    damagedAt_ = VardoPositionStamp();
  }
  return damagedValues_;
}

std::vector<VardoDamagedValue> CVardoCompanyDb::DamagedAmong(std::initializer_list<VardoField*> fields) {
  std::vector<VardoDamagedValue> found;
  for (VardoField* field : fields) {
    // A field read on this record (or found missing) has said already whether its value reads.
    if (field->keptAt_ != VardoPositionStamp()) GetString(*field);
    for (const VardoDamagedValue& value : DamagedValues()) {
      if (value.field == field->name_) found.push_back(value);
    }
  }
  return found;
}

ReportRow CVardoCompanyDb::DamagedValuesRow(std::string key, std::string name,
                                            const std::vector<VardoDamagedValue>& values, bool refused) const {
  const char* file = vardo_table::FileName(tableId_);
  std::string text = std::string("Posten i ") + (file ? file : "?") +
                     (refused ? " kan inte överföras: " : " överförs utan värdet: ") + VardoDamagedValuesText(values) + ".";
  return report::RecordRow(std::move(key), std::move(name), refused ? report::kError : report::kWarning,
                           refused ? report::kCaptionError : report::kCaptionWarning, std::move(text));
}

void CVardoCompanyDb::CountAsUnreadable(const std::string& what) {
  if (unreadableRecords_++ == 0) firstUnreadable_ = what;
}

bool CVardoCompanyDb::Kept(const VardoField& field, char kind) {
  return field.kept_ == kind && field.keptAt_ == VardoPositionStamp();
}

void CVardoCompanyDb::Keep(VardoField& field, char kind) {
  // A field the table lacks is read (and logged) at each read.
  field.kept_ = field.handle_ != 0 ? kind : 0;
  field.keptAt_ = VardoPositionStamp();
}

std::string CVardoCompanyDb::GetString(VardoField& field) {
  if (!Usable(openStatus_)) return "";
  if (!Kept(field, 's')) {
    const int handle = Handle(field);
    field.text_ = handle == 0 ? std::string()
                              : Checked<std::string>(field.name_, [handle] { return VardoFieldValueString(handle); });
    Keep(field, 's');
  }
  return field.text_;
}

// The numbers are kept as doubles: every int and date value is one exactly.
template <class Read>
double CVardoCompanyDb::KeptNumber(VardoField& field, char kind, Read read) {
  if (!Kept(field, kind)) {
    const int handle = Handle(field);
    field.number_ = Checked<double>(field.name_, [&] { return static_cast<double>(read(handle)); });
    Keep(field, kind);
  }
  return field.number_;
}

int CVardoCompanyDb::GetLong(VardoField& field) {
  return Usable(openStatus_) ? static_cast<int>(KeptNumber(field, 'l', VardoFieldValueLong)) : 0;
}

int CVardoCompanyDb::GetDate(VardoField& field) {
  return Usable(openStatus_) ? static_cast<int>(KeptNumber(field, 'd', VardoFieldValueDate)) : 0;
}

double CVardoCompanyDb::GetDouble(VardoField& field) {
  return Usable(openStatus_) ? KeptNumber(field, 'f', VardoFieldValueDouble) : 0.0;
}

bool CVardoCompanyDb::GetBool(VardoField& field) {
  return Usable(openStatus_) && KeptNumber(field, 'b', VardoFieldValueBool) != 0.0;
}

int GetFieldHandle(int tableId, const char* fieldName) {
  // "%d%s" cut to 127 characters, built without the printf machinery: every field read passes here.
  char key[128];
  char* end = std::to_chars(key, key + sizeof key - 1, tableId).ptr;
  for (const char* c = fieldName; *c && end < key + sizeof key - 1; ++c) *end++ = *c;
  *end = '\0';
  auto& cache = FieldHandleCache();
  if (const auto it = cache.find(std::string(key, end)); it != cache.end()) return it->second;
  const int handle = VardoRecordField(tableId, fieldName);
  if (handle != 0) cache.emplace(key, handle);
  return handle;
}

CVardoCompanyDb::CVardoCompanyDb(std::string companyFolder, std::string tableFile)
    : companyFolder_(std::move(companyFolder)), tableFile_(std::move(tableFile)) {
  if (companyFolder_.empty()) return;
  Open(companyFolder_, FailurePath(companyFolder_, tableFile_), true);
}

CVardoCompanyDb::~CVardoCompanyDb() {
  try {
    CloseVardoDatabase();
  } catch (const std::exception&) {
    // Already logged by the error callback; a destructor cannot pass it on.
  }
}

bool CVardoCompanyDb::IsUsable() const { return Usable(openStatus_); }

void CVardoCompanyDb::Open(const std::string& folder, const std::string& failurePath, bool checkCurrentPath) {
  try {
    std::string current;
    const int pathResult = VardoDatabaseGetPath(current);
    if (checkCurrentPath && pathResult != 0) {
      openStatus_ = -1;
      return;
    }
    if (pathResult != 0 || current != folder) VardoDatabaseSetPath(folder.c_str());
    openStatus_ = OpenVardoDatabase(GetLastPathComponent(folder).c_str());
    openFailure_.clear();
    if (!Usable(openStatus_)) {
      WriteLog(kOpenFailed + failurePath);
      openFailure_ = std::string("Företagets databas kunde inte öppnas: ") + OpenFailureText(openStatus_);
    }
  } catch (const VardoDatabaseError& error) {
    // The database said what keeps it from opening (a CLIENT.DBF it cannot read).
    WriteLog(kOpenFailed + failurePath);
    openStatus_ = -1;
    openFailure_ = VardoDamageText(error.Detail(), error.Text());
  } catch (const std::exception&) {
    WriteLog(kOpenFailed + failurePath);
    openStatus_ = -1;
  }
}

// A table cut while it is walked loses every record after the cut: the first
// is logged here, the count once at the end of the walk.
void CVardoCompanyDb::Note(const VardoDatabaseError& error) {
  if (error.Code() == vardo_error::kUnreadableRecord) {
    if (unreadableRecords_++ > 0) return;
    firstUnreadable_ = error.Text();
  } else {
    damage_ = error.Text();
  }
  WriteLog(VardoDamageText(error.Detail(), error.Text()));
}

void CVardoCompanyDb::EndWalk() {
  if (unreadableRecords_ > 1) WriteLog(VardoDamageText(tableId_, Lost()));
}

std::string CVardoCompanyDb::Lost() const {
  std::string what = damage_;
  if (unreadableRecords_ > 0) {
    what += (what.empty() ? "" : "; ") + firstUnreadable_;
    if (unreadableRecords_ > 1) what += " (" + std::to_string(unreadableRecords_) + " records in all)";
  }
  return what;
}

void CVardoCompanyDb::AddDamageRows(std::vector<ReportRow>& rows) const {
  const auto add = [&rows](std::string text) {
    AddRowOnce(rows, {"", "", report::kError, report::kCaptionError, std::move(text)});
  };
  if (!openFailure_.empty()) add(openFailure_);
  if (const std::string lost = Lost(); !lost.empty()) add(VardoDamageText(tableId_, lost));
  for (const std::string& failure : lookupOpenFailures_) add(failure);
  for (const LookupDamage& lookup : lookupDamage_) {
    std::string costs;
    for (const std::string& cost : lookup.costs) costs += (costs.empty() ? "" : "; ") + cost;
    add(VardoDamageText(lookup.tableId, lookup.lost, costs));
  }
}

void CVardoCompanyDb::AddSettingsTableRows(std::vector<ReportRow>& rows) const {
  AddDamageRows(rows);
  if (walkFoundNone_ && IsReadWhole()) {
    const char* file = vardo_table::FileName(tableId_);
    AddRowOnce(rows, {"", "", report::kError, report::kCaptionError, report::FileWithoutRecordText(file ? file : "?")});
  }
}

void CVardoCompanyDb::KeepDamageOf(const CVardoCompanyDb& lookup, std::string_view cost) {
  if (!lookup.openFailure_.empty() && std::find(lookupOpenFailures_.begin(), lookupOpenFailures_.end(),
                                                lookup.openFailure_) == lookupOpenFailures_.end()) {
    lookupOpenFailures_.push_back(lookup.openFailure_);
  }
  const std::string lost = lookup.Lost();
  if (lost.empty()) return;
  auto kept = std::find_if(lookupDamage_.begin(), lookupDamage_.end(),
                           [&](const LookupDamage& damage) { return damage.tableId == lookup.tableId_; });
  if (kept == lookupDamage_.end()) kept = lookupDamage_.insert(kept, {lookup.tableId_, lost, {}});
  if (!cost.empty() && std::find(kept->costs.begin(), kept->costs.end(), cost) == kept->costs.end())
    kept->costs.emplace_back(cost);
}

bool CVardoCompanyDb::Reopen(std::string companyFolder, std::string tableFile) {
  if (companyFolder.empty()) return true;
  Open(companyFolder, FailurePath(companyFolder_, tableFile), false);
  return Usable(openStatus_);
}

bool CVardoCompanyDb::MoveFirst() {
  walkFoundNone_ = false;
  if (!Usable(openStatus_) || tableId_ == -1) return false;
  damage_.clear();
  unreadableRecords_ = 0;
  bool passOver = false;  // stands on a record it cannot read
  const auto first = [&]() {
    try {
      return VardoRecordFirst(tableId_);
    } catch (const VardoDatabaseError& error) {
      Note(error);
      passOver = error.Code() == vardo_error::kUnreadableRecord;
      return error.Result();
    }
  };
  int result = first();
  if (result == kVardoNotOpen) {
    const std::string name = GetLastPathComponent(companyFolder_);
    if (LoadVardoDatabaseApi()) CloseVardoDatabase();
    try {
      int opened = OpenVardoDatabase(name.c_str());
      if (Usable(opened)) {
        result = first();
      } else if (Reopen(companyFolder_, tableFile_)) {
        opened = OpenVardoDatabase(name.c_str());
        if (Usable(opened)) result = first();
      }
    } catch (const VardoDatabaseError& error) {
      // The database opened before but not now (another program holds CLIENT.DBF, say): said, never thrown at the walk.
      WriteLog(kOpenFailed + FailurePath(companyFolder_, tableFile_));
      openFailure_ = VardoDamageText(error.Detail(), error.Text());
      return false;
    }
  }
  const bool found = passOver ? MoveNext() : result == 0;
  walkFoundNone_ = !found;
  return found;
}

bool CVardoCompanyDb::MoveNext() {
  if (!Usable(openStatus_)) return false;
  if (!LoadVardoDatabaseApi()) return false;
  int result = 0;
  for (bool passOver = true; passOver;) {
    passOver = false;
    try {
      result = VardoRecordNext(tableId_);
    } catch (const VardoDatabaseError& error) {
      Note(error);
      // A record that cannot be read is no end: the walk goes on past it.
      passOver = error.Code() == vardo_error::kUnreadableRecord;
      result = error.Result();
    }
  }
  if (result == kVardoNotOpen) {
    WriteLog("Databasen är inte öppen");
  } else if (result == kVardoPositionFailed) {
    WriteLog("Positioneringen misslyckades");
  } else if (result != 0) {
    WriteLog("");
  }
  if (result != 0) EndWalk();
  return result == 0;
}

std::string CVardoCompanyDb::GetString(int tableId, std::string fieldName) {
  if (!Usable(openStatus_) || fieldName.empty()) return "";
  const int handle = GetFieldHandle(tableId, fieldName.c_str());
  if (handle == 0) return "";
  return Checked<std::string>(fieldName.c_str(), [handle] { return VardoFieldValueString(handle); });
}

int CVardoCompanyDb::GetLong(int tableId, std::string fieldName) {
  if (!Usable(openStatus_) || fieldName.empty()) return 0;
  const int handle = GetFieldHandle(tableId, fieldName.c_str());
  return Checked<int>(fieldName.c_str(), [handle] { return VardoFieldValueLong(handle); });
}

int CVardoCompanyDb::GetDate(int tableId, std::string fieldName) {
  if (!Usable(openStatus_) || fieldName.empty()) return 0;
  const int handle = GetFieldHandle(tableId, fieldName.c_str());
  return Checked<int>(fieldName.c_str(), [handle] { return VardoFieldValueDate(handle); });
}

double CVardoCompanyDb::GetDouble(int tableId, std::string fieldName) {
  if (!Usable(openStatus_) || fieldName.empty()) return 0.0;
  const int handle = GetFieldHandle(tableId, fieldName.c_str());
  return Checked<double>(fieldName.c_str(), [handle] { return VardoFieldValueDouble(handle); });
}

bool CVardoCompanyDb::GetBool(int tableId, std::string fieldName) {
  if (!Usable(openStatus_) || fieldName.empty()) return false;
  const int handle = GetFieldHandle(tableId, fieldName.c_str());
  return Checked<bool>(fieldName.c_str(), [handle] { return VardoFieldValueBool(handle); });
}

CVardoPrm::CVardoPrm(std::string companyFolder) : CVardoCompanyDb(std::move(companyFolder), "CLIENT.DBF") {
  SetTableId(vardo_table::kClient);
}

CVardoClientsettingsDb::CVardoClientsettingsDb(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "SERIES.DBF") {
  SetTableId(vardo_table::kSeries);
}

namespace Vardo {

CBookingYearDb::CBookingYearDb(std::string companyFolder) : CVardoCompanyDb(std::move(companyFolder), "ACCYEAR.DBF") {
  SetTableId(vardo_table::kAccountYear);
}

CKontoDb::CKontoDb(std::string companyFolder) : CVardoCompanyDb(std::move(companyFolder), "ACCOUNT.DBF") {
  SetTableId(vardo_table::kAccount);
}

}  // namespace Vardo

std::string FormatAmount(double value) {
  // The same digits as a classic-locale stream with two fixed decimals, without building a stream per amount.
  char text[400];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
  return error == std::errc() ? std::string(text, end) : std::string();
}

std::string FormatInteger(int value) { return std::to_string(value); }

bool SplitPostalCodeAndCity(const char* text, std::string& postalCode, std::string& city) {
  postalCode.clear();
  city.clear();
  if (!text || !*text) return false;
  const std::string_view all(text);
  std::size_t digits = 0;
  for (char c : all) digits += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
  std::size_t before = 0;  // characters other than blanks before the first digit
  std::size_t seen = 0;
  std::string code;
  for (std::size_t i = 0; i < all.size() && digits > 0; ++i) {
    const char c = all[i];
    if (c == ' ') continue;
    if (!std::isdigit(static_cast<unsigned char>(c))) {
      if (seen == 0) ++before;
      continue;
    }
    code.push_back(c);
    if (++seen < digits) continue;
    std::size_t rest = i + 1;
    while (rest < all.size() && all[rest] == ' ') ++rest;
    if (rest == all.size() || before >= 4) break;
    postalCode = std::move(code);
    city = std::string(all.substr(rest));
    return true;
  }
  postalCode = "0";
  city = std::string(all);
  return false;
}

std::string GetLastPathComponent(std::string path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (platform::IsPathSeparator(path[i - 1])) return path.substr(i);
  }
  return path;
}

std::string FormatVardoDate(int date) {
  if (date == 0) return "";
  char text[48];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", VardoYear(date), VardoMonth(date), VardoDay(date));
  return text;
}

std::string MakePersSettingsKey(std::string first, std::string second, int number) {
  return std::to_string(number) + first + second;
}

std::string MakeFilePath(std::string folder, std::string name, std::string extension) {
  if (name.find('.') == std::string::npos) {
    if (!extension.starts_with('.')) name.push_back('.');
    name += extension;
  }
  return platform::JoinPath(folder, name);
}

std::string FormatSieFilePath(const std::string& folder, const char* fileName) {
  char name[12];
  std::snprintf(name, sizeof name, "%.11s", fileName ? fileName : "");
  return platform::JoinPath(folder, name);
}
