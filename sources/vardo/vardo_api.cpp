#include "sources/vardo/vardo_api.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_library.h"

namespace {

constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vardo.exe";
constexpr std::size_t kMaxPath = 260;
// A character field is at most 255 characters wide, and each of them becomes
// at most 3 bytes of UTF-8 (every code page of a DBF table lies in the
// Basic Multilingual Plane): the text crosses the API whole, never cut.
constexpr std::int32_t kStringBufferSize = 255 * 3 + 1;

VardoApiTable g_api;
// The libraries stay loaded for the life of the process once PyxBase5 is loaded.
std::unique_ptr<platform::SharedLibrary> g_pyxBase;
std::vector<std::unique_ptr<platform::SharedLibrary>> g_companions;
// An error the library reported through the callback during the current call.
struct PendingError {
  std::int16_t code;
  std::int32_t detail;
  std::string text;
};
std::optional<PendingError> g_pendingError;
unsigned g_positionStamp = 0;
unsigned g_databaseOpening = 1;

// A handle looked up before this call may name another field after it.
void NewDatabaseOpening() {
  if (++g_databaseOpening == 0) g_databaseOpening = 1;  // 0 stands for no opening
}

[[noreturn]] void Fail(const std::string& text) {
  WriteLog(text);
  throw std::runtime_error(text);
}

// Raises the error the library reported during the call that just returned, with what the call answered.
void RaisePendingError(std::int32_t result) {
  if (!g_pendingError) return;
  PendingError error = std::move(*g_pendingError);
  g_pendingError.reset();
  throw VardoDatabaseError(error.code, error.detail, std::move(error.text), result);
}

std::string ErrorLine(std::int16_t code, std::int32_t detail, const std::string& text) {
  char line[256];
  std::snprintf(line, sizeof line, "Database Error: %hd, %ld\n%s", code, static_cast<long>(detail), text.c_str());
  return line;
}

// Calls `fn` when it is bound (resolving it by name first when it is not),
// else gives `unbound`; an error reported during the call is raised after it.
template <typename Fn, typename Result, typename... Args>
Result Call(Fn VardoApiTable::*entry, const char* name, Result unbound, Args... args) {
  if (!g_pyxBase && !LoadVardoDatabaseApi()) return unbound;
  Fn& fn = g_api.*entry;
  if (!fn) fn = reinterpret_cast<Fn>(g_pyxBase->Find(name));
  if (!fn) {
    WriteLog(std::string("Funktionen saknas i pyxbase5.dll: ") + name);
    return unbound;
  }
  g_pendingError.reset();
  Result result = fn(args...);
  if constexpr (std::is_integral_v<Result>) {
    RaisePendingError(static_cast<std::int32_t>(result));
  } else {
    RaisePendingError(0);
  }
  return result;
}

std::optional<std::filesystem::path> FindInProgramFolder(const std::string& folder, const char* name) {
  return platform::FindEntryNoCase(folder, name);
}

}  // namespace

const VardoApiTable& BoundVardoApi() { return g_api; }

std::string GetVardoProgramFolder() {
  const platform::RegistryStore& registry = platform::Registry();
  if (!registry.KeyExists(platform::RegistryRoot::LocalMachine, kAppPathsKey)) {
    Fail("Det gick inte att öppna registernyckel för Vardo.");
  }
  const auto path = registry.ReadString(platform::RegistryRoot::LocalMachine, kAppPathsKey, "Path");
  if (!path || path->size() >= kMaxPath) Fail("Det gick inte att hitta sökvägen för Vardo.");
  return *path;
}

void* LoadVardoDatabaseApi() {
  if (g_pyxBase) return g_pyxBase.get();
  try {
    const std::string folder = GetVardoProgramFolder();
    const auto pyxBase = FindInProgramFolder(folder, "PyxBase5.dll");
    if (!pyxBase) Fail("Det gick inte att hitta pyxbase5");
    // The companions first: PyxBase5 relies on them being in the process.
    for (const char* companion : {"c4dll.dll", "xfiles.dll"}) {
      const auto path = FindInProgramFolder(folder, companion);
      auto library = path ? platform::SharedLibrary::Open(*path) : nullptr;
      if (!library) Fail(std::string("Det gick inte att ladda ") + companion);
      g_companions.push_back(std::move(library));
    }
    std::string error;
    g_pyxBase = platform::SharedLibrary::Open(*pyxBase, &error);
    if (!g_pyxBase) Fail("Det gick inte att ladda pyxbase5.dll");
    BindVardoDatabaseApi();
  } catch (const std::exception&) {
    // Logged where it arose; the caller sees no library.
    return nullptr;
  }
  return g_pyxBase.get();
}

bool BindVardoDatabaseApi() {
  if (!LoadVardoDatabaseApi()) return false;
  const auto find = [](const char* name) { return g_pyxBase->Find(name); };
  const auto bind = [&find](auto& entry, const char* name) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(find(name));
    return entry != nullptr;
  };
  bool complete = true;
  complete &= bind(g_api.DatabaseOpen, "DatabaseOpen");
  complete &= bind(g_api.DatabaseClose, "DatabaseClose");
  complete &= bind(g_api.FieldValueBool, "FieldValueBool");
  complete &= bind(g_api.FieldValueString, "FieldValueString");
  complete &= bind(g_api.RecordField, "RecordField");
  complete &= bind(g_api.RecordFirst, "RecordFirst");
  complete &= bind(g_api.RecordNext, "RecordNext");
  complete &= bind(g_api.RecordFind, "RecordFind");
  (void)find("RecordLast");  // looked up, not kept
  bind(g_api.RecordPrev, "RecordPrev");
  complete &= bind(g_api.DatabaseSetPath, "DatabaseSetPath");
  complete &= bind(g_api.FieldValueDouble, "FieldValueDouble");
  complete &= bind(g_api.FieldValueLongFirst, "FieldValueLong");
  complete &= bind(g_api.FieldValueLong, "FieldValueLong");
  complete &= bind(g_api.ExportSieFile, "ExportSieFile");
  bind(g_api.DatabaseGetPath, "DatabaseGetPath");
  complete &= bind(g_api.SetErrorHandler, "SetErrorHandler");
  bind(g_api.GetYearNo, "GetYearNo");
  bind(g_api.Year, "Year");
  bind(g_api.Month, "Month");
  bind(g_api.Day, "Day");
  if (!complete) Fail("Det gick inte att ladda metoder i pyxbase5.dll");
  g_api.SetErrorHandler(&OnVardoDatabaseError);
  return true;
}

VardoDatabaseError::VardoDatabaseError(std::int16_t code, std::int32_t detail, std::string text, std::int32_t result)
    : std::runtime_error(ErrorLine(code, detail, text)),
      code_(code),
      detail_(detail),
      text_(std::move(text)),
      result_(result) {}

void OnVardoDatabaseError(std::int16_t code, std::int32_t detail, const char* text) {
  if (!vardo_error::IsAboutOneRecord(code)) WriteLog(ErrorLine(code, detail, text ? text : ""));
  // Raised by the wrapper once the library has returned: never through its frames.
  if (!g_pendingError) g_pendingError = PendingError{code, detail, text ? text : ""};
}

int VardoRecordField(int tableId, const char* field) {
  const int handle = Call(&VardoApiTable::RecordField, "RecordField", 0, tableId, field);
  if (handle == 0) WriteLog("Fältet saknas i tabellen");
  return handle;
}

unsigned VardoPositionStamp() { return g_positionStamp; }

unsigned VardoDatabaseOpening() { return g_databaseOpening; }

int VardoRecordFirst(int tableId) {
  ++g_positionStamp;
  if (!LoadVardoDatabaseApi()) return kVardoNotOpen;
  const int result = Call(&VardoApiTable::RecordFirst, "RecordFirst", kVardoNotOpen, tableId, 1);
  if (result == kVardoNotOpen) {
    WriteLog("Databasen är inte öppen");
  } else if (result == kVardoPositionFailed) {
    char line[64];
    std::snprintf(line, sizeof line, "Positioneringen misslyckades (%d %d)", tableId, 1);
    WriteLog(line);
  } else if (result != 0) {
    WriteLog("");
  }
  return result;
}

int VardoRecordNext(int tableId) {
  ++g_positionStamp;
  return Call(&VardoApiTable::RecordNext, "RecordNext", kVardoNotOpen, tableId);
}

int VardoRecordPrev(int tableId) {
  ++g_positionStamp;
  return Call(&VardoApiTable::RecordPrev, "RecordPrev", kVardoNotOpen, tableId);
}

int OpenVardoDatabase(const char* name) {
  ++g_positionStamp;
  if (!LoadVardoDatabaseApi()) return kVardoOpenOk;
  const int result = Call(&VardoApiTable::DatabaseOpen, "DatabaseOpen", kVardoOpenOk, name);
  // A database opened anew gives handles of its own: none kept from before may be used.
  if (result == kVardoOpenOk) NewDatabaseOpening();
  switch (result) {
    case -1: WriteLog("Sökvägen till databasen är felaktig"); break;
    case -2: WriteLog("Databasen måste frisläppas"); break;
    case -3: WriteLog("Fel version, databasen måste uppdateras"); break;
    case -4: WriteLog("Fel version, APIet måste uppdateras"); break;
    case -5: WriteLog("Databasen redan öppen"); break;
    default: WriteLog(""); break;
  }
  return result;
}

int CloseVardoDatabase() {
  ++g_positionStamp;
  NewDatabaseOpening();
  Call(&VardoApiTable::DatabaseClose, "DatabaseClose", 0);
  return 0;
}

int VardoDatabaseSetPath(const char* folder) {
  ++g_positionStamp;
  // Another path closes the open database.
  NewDatabaseOpening();
  return Call(&VardoApiTable::DatabaseSetPath, "DatabaseSetPath", -1, folder);
}

int VardoDatabaseGetPath(std::string& path) {
  char buffer[kMaxPath] = {};
  const int result =
      Call(&VardoApiTable::DatabaseGetPath, "DatabaseGetPath", -1, buffer, static_cast<std::int32_t>(kMaxPath));
  if (result == 0) {
    buffer[kMaxPath - 1] = '\0';
    path = buffer;
  }
  return result;
}

int ExportVardoSieFile(const char* path, int yearStart) {
  return Call(&VardoApiTable::ExportSieFile, "ExportSieFile", -1, path, 4, yearStart);
}

int VardoGetYearNo(int date) {
  const int result = Call(&VardoApiTable::GetYearNo, "GetYearNo", -1, date);
  if (!g_pyxBase) return result;
  if (result == kVardoNotOpen) WriteLog("Databasen är inte öppen");
  if (result == kVardoPositionFailed) WriteLog("Det finns inget räkenskapsår upplagt för detta datum");
  return result;
}

std::string VardoFieldValueString(int handle) {
  char buffer[kStringBufferSize];
  buffer[0] = '\0';
  const int result =
      Call(&VardoApiTable::FieldValueString, "FieldValueString", -1, handle, buffer, kStringBufferSize);
  if (result < 0) {
    // A failed read gives no text: the buffer may hold anything.
    if (g_pyxBase && g_api.FieldValueString) WriteLog("Strängvärdet kunde inte hämtas");
    return "";
  }
  return std::string(buffer, ::strnlen(buffer, kStringBufferSize));
}

double VardoFieldValueDouble(int handle) {
  return Call(&VardoApiTable::FieldValueDouble, "FieldValueDouble", 0.0, handle);
}

int VardoFieldValueLong(int handle) { return Call(&VardoApiTable::FieldValueLong, "FieldValueLong", -1, handle); }

int VardoFieldValueDate(int handle) { return Call(&VardoApiTable::FieldValueDate, "FieldValueDate", -1, handle); }

bool VardoFieldValueBool(int handle) {
  return Call(&VardoApiTable::FieldValueBool, "FieldValueBool", std::int32_t{0}, handle) != 0;
}

int VardoYear(int date) {
  return Call(&VardoApiTable::Year, "Year", -1, static_cast<std::uint16_t>(date & 0xFFFF));
}

int VardoMonth(int date) {
  return Call(&VardoApiTable::Month, "Month", -1, static_cast<std::uint16_t>(date & 0xFFFF));
}

int VardoDay(int date) { return Call(&VardoApiTable::Day, "Day", -1, static_cast<std::uint16_t>(date & 0xFFFF)); }
