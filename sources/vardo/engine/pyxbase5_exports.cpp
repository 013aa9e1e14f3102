// The exported functions of our "PyxBase5.dll": plain C names, fixed-width
// values, each forwarding to the process's engine. Test builds leave some out
// (VARDO_ENGINE_WITHOUT_RECORD_FIND, VARDO_ENGINE_WITHOUT_LATE_FUNCTIONS) to
// show how the loader binds a library that lacks them, or bring their own SIE
// export (VARDO_ENGINE_OWN_SIE_EXPORT).
#include "sources/vardo/engine/vardo_engine.h"

#define VARDO_EXPORT extern "C" __attribute__((visibility("default")))

using vardo_engine::TheEngine;

VARDO_EXPORT std::int32_t DatabaseOpen(const char* name) { return TheEngine().Open(name); }
VARDO_EXPORT std::int32_t DatabaseClose() { return TheEngine().Close(); }
VARDO_EXPORT std::int32_t DatabaseSetPath(const char* folder) { return TheEngine().SetPath(folder); }
VARDO_EXPORT std::int32_t RecordFirst(std::int32_t table, std::int32_t) { return TheEngine().First(table); }
VARDO_EXPORT std::int32_t RecordNext(std::int32_t table) { return TheEngine().Next(table); }
VARDO_EXPORT std::int32_t RecordLast(std::int32_t table) { return TheEngine().Last(table); }
VARDO_EXPORT std::int32_t RecordField(std::int32_t table, const char* name) { return TheEngine().Field(table, name); }
VARDO_EXPORT std::int32_t FieldValueString(std::int32_t handle, char* buffer, std::int32_t size) {
  return TheEngine().String(handle, buffer, size);
}
VARDO_EXPORT std::int32_t FieldValueLong(std::int32_t handle) { return TheEngine().Long(handle); }
VARDO_EXPORT double FieldValueDouble(std::int32_t handle) { return TheEngine().Double(handle); }
VARDO_EXPORT std::int32_t FieldValueBool(std::int32_t handle) { return TheEngine().Bool(handle); }
VARDO_EXPORT std::int32_t FieldValueDate(std::int32_t handle) { return TheEngine().Date(handle); }
#ifndef VARDO_ENGINE_OWN_SIE_EXPORT
VARDO_EXPORT std::int32_t ExportSieFile(const char* path, std::int32_t sieType, std::int32_t yearStart) {
  return TheEngine().ExportSie(path, sieType, yearStart);
}
#endif
VARDO_EXPORT void SetErrorHandler(VardoErrorHandler handler) { TheEngine().SetErrorHandler(handler); }
VARDO_EXPORT std::int32_t Year(std::uint16_t date) { return vardo_engine::DateParts(date).year; }
VARDO_EXPORT std::int32_t Month(std::uint16_t date) { return vardo_engine::DateParts(date).month; }
VARDO_EXPORT std::int32_t Day(std::uint16_t date) { return vardo_engine::DateParts(date).day; }

#ifndef VARDO_ENGINE_WITHOUT_RECORD_FIND
VARDO_EXPORT std::int32_t RecordFind(std::int32_t table, const char* key) { return TheEngine().Find(table, key); }
#endif

#ifndef VARDO_ENGINE_WITHOUT_LATE_FUNCTIONS
VARDO_EXPORT std::int32_t DatabaseGetPath(char* buffer, std::int32_t size) { return TheEngine().GetPath(buffer, size); }
VARDO_EXPORT std::int32_t RecordPrev(std::int32_t table) { return TheEngine().Prev(table); }
VARDO_EXPORT std::int32_t GetYearNo(std::int32_t date) { return TheEngine().YearNo(date); }
#endif
