#pragma once
// The Vardo database API: the library "PyxBase5.dll" with its companions
// "c4dll.dll" and "xfiles.dll" in the Vardo program folder, loaded on first
// use and bound by name into one process-wide function table. Every company
// table of the Vardo line is read through these functions. The wrappers below
// load the library when needed, log their failures and never call a function
// that is not bound: they return their failure value instead.
//
// Values crossing the API have fixed widths: table ids, field handles, date
// values and results are 32-bit; texts are narrow, NUL-terminated UTF-8.
#include <cstdint>
#include <stdexcept>
#include <string>

// The database error callback the API calls: (code, detail, text or null).
using VardoErrorHandler = void (*)(std::int16_t code, std::int32_t detail, const char* text);

// The exports, as the library defines them (plain C names).
extern "C" {
using VardoDatabaseOpenFn = std::int32_t (*)(const char* databaseName);
using VardoDatabaseCloseFn = std::int32_t (*)();
using VardoDatabaseSetPathFn = std::int32_t (*)(const char* folder);
using VardoDatabaseGetPathFn = std::int32_t (*)(char* buffer, std::int32_t bufferSize);
using VardoRecordFirstFn = std::int32_t (*)(std::int32_t tableId, std::int32_t mode);
using VardoRecordNextFn = std::int32_t (*)(std::int32_t tableId);
using VardoRecordPrevFn = std::int32_t (*)(std::int32_t tableId);
using VardoRecordLastFn = std::int32_t (*)(std::int32_t tableId);
using VardoRecordFindFn = std::int32_t (*)(std::int32_t tableId, const char* key);
using VardoRecordFieldFn = std::int32_t (*)(std::int32_t tableId, const char* fieldName);
using VardoFieldValueBoolFn = std::int32_t (*)(std::int32_t handle);
using VardoFieldValueStringFn = std::int32_t (*)(std::int32_t handle, char* buffer, std::int32_t bufferSize);
using VardoFieldValueDoubleFn = double (*)(std::int32_t handle);
using VardoFieldValueLongFn = std::int32_t (*)(std::int32_t handle);
using VardoFieldValueDateFn = std::int32_t (*)(std::int32_t handle);
using VardoExportSieFileFn = std::int32_t (*)(const char* path, std::int32_t sieType, std::int32_t yearStart);
using VardoSetErrorHandlerFn = void (*)(VardoErrorHandler handler);
using VardoGetYearNoFn = std::int32_t (*)(std::int32_t date);
using VardoDatePartFn = std::int32_t (*)(std::uint16_t date);
}

// The bound functions; null until resolved. FieldValueLong is bound twice, as
// the library's callers always had it; the readers use the second entry.
struct VardoApiTable {
  VardoDatabaseOpenFn DatabaseOpen = nullptr;
  VardoDatabaseCloseFn DatabaseClose = nullptr;
  VardoDatabaseSetPathFn DatabaseSetPath = nullptr;
  VardoRecordFirstFn RecordFirst = nullptr;
  VardoRecordNextFn RecordNext = nullptr;
  VardoRecordFindFn RecordFind = nullptr;
  VardoFieldValueBoolFn FieldValueBool = nullptr;
  VardoFieldValueStringFn FieldValueString = nullptr;
  VardoFieldValueDoubleFn FieldValueDouble = nullptr;
  VardoFieldValueLongFn FieldValueLongFirst = nullptr;
  VardoFieldValueLongFn FieldValueLong = nullptr;
  VardoRecordFieldFn RecordField = nullptr;
  VardoExportSieFileFn ExportSieFile = nullptr;
  VardoDatabaseGetPathFn DatabaseGetPath = nullptr;
  VardoSetErrorHandlerFn SetErrorHandler = nullptr;
  VardoRecordPrevFn RecordPrev = nullptr;
  VardoFieldValueDateFn FieldValueDate = nullptr;
  VardoGetYearNoFn GetYearNo = nullptr;
  VardoDatePartFn Year = nullptr;
  VardoDatePartFn Month = nullptr;
  VardoDatePartFn Day = nullptr;
};

// The process-wide table (read-only for callers).
const VardoApiTable& BoundVardoApi();

// Table ids of the company tables the converter reads.
namespace vardo_table {
inline constexpr int kClient = 0;        // CLIENT.DBF
inline constexpr int kAccount = 1;       // ACCOUNT.DBF
inline constexpr int kText = 7;          // TEXT.DBF
inline constexpr int kHistory = 8;       // HISTORY.DBF
inline constexpr int kPerson = 9;        // PERSON.DBF
inline constexpr int kLedger = 11;       // LEDGER.DBF
inline constexpr int kInvoice = 12;      // INVOICE.DBF
inline constexpr int kArticle = 14;      // ARTICLE.DBF
inline constexpr int kAccountYear = 16;  // ACCYEAR.DBF
inline constexpr int kSeries = 17;       // SERIES.DBF
inline constexpr int kPersSettings = 21; // PERSSETTINGS.DBF

// The file of a table, for what is said about it; null for an id the converter does not read.
constexpr const char* FileName(int tableId) {
  switch (tableId) {
    case kClient: return "CLIENT.DBF";
    case kAccount: return "ACCOUNT.DBF";
    case kText: return "TEXT.DBF";
    case kHistory: return "HISTORY.DBF";
    case kPerson: return "PERSON.DBF";
    case kLedger: return "LEDGER.DBF";
    case kInvoice: return "INVOICE.DBF";
    case kArticle: return "ARTICLE.DBF";
    case kAccountYear: return "ACCYEAR.DBF";
    case kSeries: return "SERIES.DBF";
    case kPersSettings: return "PERSSETTINGS.DBF";
    default: return nullptr;
  }
}
}  // namespace vardo_table

// Codes the database passes to the error callback about a table, with the
// table id as the detail and what it found as the text. A move that reports
// one of them still answers as a move: the end of a table is -2 without any.
namespace vardo_error {
inline constexpr std::int16_t kDamagedTable = 1;      // the file exists but cannot be read whole; what can be read is
inline constexpr std::int16_t kMissingTable = 2;      // no such file in the company folder
inline constexpr std::int16_t kUnreadableRecord = 3;  // the move stopped on a record it cannot read; the next goes past it
inline constexpr std::int16_t kLockedTable = 4;       // another program holds the file locked: nothing is read
// A field's value on the current record does not read as the field's type (a
// number, date or logical field holding letters): the detail is the field's
// handle, the text the value as stored; the read gives the blank value.
inline constexpr std::int16_t kDamagedValue = 5;
// Whether a code is about one record, which a walk may meet at every record:
// the callback leaves its logging to the caller, which logs it once.
constexpr bool IsAboutOneRecord(std::int16_t code) { return code == kUnreadableRecord || code == kDamagedValue; }
}  // namespace vardo_error

// Results of DatabaseOpen.
inline constexpr int kVardoOpenOk = 0;
inline constexpr int kVardoAlreadyOpen = -5;
// Results of the record moves and GetYearNo.
inline constexpr int kVardoNotOpen = -1;
inline constexpr int kVardoPositionFailed = -2;

// "Path" of the App Paths key of Vardo.exe. Logs and throws std::runtime_error
// when the key or the value cannot be read.
std::string GetVardoProgramFolder();

// Opaque handle of the loaded library; null when it cannot be loaded or bound.
// Loads c4dll.dll, xfiles.dll and PyxBase5.dll (names found whatever their case)
// from the program folder on the first successful call; never throws; a failed
// load is logged and tried again at the next call. Once loaded the library
// stays loaded.
void* LoadVardoDatabaseApi();

// Fills the table and installs the error handler. False without a library;
// logs and throws std::runtime_error when a function needed at load is missing.
bool BindVardoDatabaseApi();

// An error the library reported through the callback, raised by the wrapper
// of the call it came from once the library has returned (so no exception
// ever crosses the library's own frames). what() is the logged line.
class VardoDatabaseError : public std::runtime_error {
 public:
  VardoDatabaseError(std::int16_t code, std::int32_t detail, std::string text, std::int32_t result);
  std::int16_t Code() const { return code_; }
  std::int32_t Detail() const { return detail_; }
  const std::string& Text() const { return text_; }
  // What the call answered besides (0 for a function that gives no integer):
  // a move that reported a damaged table may still stand on a record.
  std::int32_t Result() const { return result_; }

 private:
  std::int16_t code_;
  std::int32_t detail_;
  std::string text_;
  std::int32_t result_;
};

// The API's error callback: logs "Database Error: code, detail\ntext" (but for
// the codes about one record) and keeps it for the wrapper to raise as a VardoDatabaseError.
void OnVardoDatabaseError(std::int16_t code, std::int32_t detail, const char* text);

// Wrappers. Each loads the library first and, when the function is not bound
// (no library, or the library lacks it), returns the value noted.
int VardoRecordField(int tableId, const char* field);  // 0; logs "Fältet saknas i tabellen" on 0
int VardoRecordFirst(int tableId);                     // -1
int VardoRecordNext(int tableId);                      // -1 (not logged here)
int VardoRecordPrev(int tableId);                      // -1
int OpenVardoDatabase(const char* name);               // 0; logs one line per call
int CloseVardoDatabase();                              // 0
int VardoDatabaseSetPath(const char* folder);          // -1
int VardoDatabaseGetPath(std::string& path);           // -1; 0 fills `path`
int ExportVardoSieFile(const char* path, int yearStart);  // -1
int VardoGetYearNo(int date);                          // -1
std::string VardoFieldValueString(int handle);         // ""; a failed read gives "" too; never cut below the field's width
double VardoFieldValueDouble(int handle);              // 0.0
int VardoFieldValueLong(int handle);                   // -1
int VardoFieldValueDate(int handle);                   // -1
bool VardoFieldValueBool(int handle);                  // false
int VardoYear(int date);                               // -1 (the low 16 bits of `date` are passed)
int VardoMonth(int date);                              // -1
int VardoDay(int date);                                // -1

// Counts the wrapper calls that may change what the current record of a table
// is (a move, an open or close, another path): a value read from a current
// record is still that record's value while the count stays the same.
unsigned VardoPositionStamp();

// Counts the wrapper calls after which a field handle may name another field
// (an open, a close, another path): a handle looked up while the count stays
// the same is still valid. Never 0.
unsigned VardoDatabaseOpening();
