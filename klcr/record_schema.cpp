#include "klcr/record_schema.h"

#include <cstdio>

#include "klcr/klcr.h"
#include "platform/text.h"

namespace KLCR_MolnixMigration::detail {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitsValue(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Characters that need no escape are appended in runs, not one by one.
void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text.substr(run, i - run));
    run = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out += escaped;
      }
    }
  }
  out.append(text.substr(run));
  out += '"';
}

int CheckText(const FieldSpec& spec, const std::string& value) {
  if (value.empty()) return spec.missingCode;
  if (!platform::IsValidUtf8(value)) return klcr::kFieldBadFormat;
  if (platform::Utf8Length(value) > spec.maxChars) return klcr::kFieldTooLong;
  if (spec.format == FieldFormat::Date && !IsValidDate(value)) return klcr::kFieldBadDate;
  if (spec.format == FieldFormat::Amount && !IsValidAmount(value)) return klcr::kFieldBadAmount;
  return klcr::kFieldOk;
}

}  // namespace

RecordStore::RecordStore(const RecordSchema& schema)
    : schema(schema), texts(schema.fields.size()), scalars(schema.fields.size()) {
  for (const FieldSpec& field : schema.fields) members.push_back('"' + std::string(field.json) + "\":");
  ClearCurrent();
}

void RecordStore::ClearCurrent() {
  for (std::size_t i = 0; i < schema.fields.size(); ++i) {
    texts[i].clear();
    scalars[i] = schema.fields[i].type == FieldType::Bool ? "false" : "0";
  }
}

bool IsValidDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!IsDigit(text[i])) return false;
  const int year = DigitsValue(text.substr(0, 4));
  const int month = DigitsValue(text.substr(5, 2));
  const int day = DigitsValue(text.substr(8, 2));
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  const int days = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= days;
}

bool IsValidAmount(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (whole.empty() || (point != std::string_view::npos && fraction.empty())) return false;
  for (char c : whole)
    if (!IsDigit(c)) return false;
  for (char c : fraction)
    if (!IsDigit(c)) return false;
  return true;
}

int CheckRecord(const RecordStore& store, const char** failedField) {
  const auto& fields = store.schema.fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].type != FieldType::Text) continue;
    if (const int code = CheckText(fields[i], store.texts[i]); code != klcr::kFieldOk) {
      if (failedField) *failedField = fields[i].json;
      return code;
    }
  }
  const int key = store.schema.keyField;
  if (key >= 0 && store.keys.contains(store.texts[key])) {
    if (failedField) *failedField = fields[key].json;
    return klcr::kFieldDuplicateKey;
  }
  return klcr::kFieldOk;
}

void AppendRecordJson(const RecordStore& store, std::string& out) {
  const auto& fields = store.schema.fields;
  out += '{';
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += store.members[i];
    switch (fields[i].type) {
      case FieldType::Text: AppendJsonString(store.texts[i], out); break;
      case FieldType::Bool:
      case FieldType::Int: out += store.scalars[i]; break;
    }
  }
  out += '}';
}

}  // namespace KLCR_MolnixMigration::detail
