#pragma once
// What the service accepts in each field of an upload record, and the record
// store behind the upload classes. Internal to klcr.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/memory.h"

namespace KLCR_MolnixMigration::detail {

enum class FieldType { Text, Bool, Int };
enum class FieldFormat { Free, Date, Amount };

struct FieldSpec {
  const char* json;  // member name on the wire
  FieldType type = FieldType::Text;
  std::size_t maxChars = 0;  // texts: the most characters taken; 0 for bool and int
  FieldFormat format = FieldFormat::Free;
  int missingCode = 0;  // not 0: the field is required; an empty text is refused with this code
};

struct RecordSchema {
  const char* kind;  // path segment of the upload
  std::vector<FieldSpec> fields;
  int keyField = -1;  // a register's key: a second record with the same key is refused
};

// Accepted records as JSON text, filled from the front.
struct RecordPiece {
  platform::WritableBlock block;
  std::size_t used = 0;
  std::string_view text() const { return {block.data(), used}; }
};

// One field value, kept as its JSON text (quoted string, true/false, number).
struct RecordStore {
  explicit RecordStore(const RecordSchema& schema);
  void ClearCurrent();
  const RecordSchema& schema;
  std::vector<std::string> members;  // each field's `"name":`, the start of its JSON member
  std::vector<std::string> texts;  // raw UTF-8 of text fields of the current record
  std::vector<std::string> scalars;  // JSON text of bool and int fields ("false", "0" until set)
  // The accepted records as JSON objects separated by commas, in pieces of a few
  // megabytes: one string grown to the tens of megabytes of a register at its
  // maximum would be copied whole at every growth, which cost more than the check.
  std::vector<RecordPiece> accepted;
  std::string json;  // the record being added, before it is copied to its piece
  std::size_t count = 0;
  std::unordered_set<std::string> keys;
};

// 0 when the current record is acceptable, else a field error code; `failedField`,
// when given, receives the wire name of the field that decided it.
int CheckRecord(const RecordStore& store, const char** failedField = nullptr);
// Appends the current record as a JSON object to `out`.
void AppendRecordJson(const RecordStore& store, std::string& out);

bool IsValidDate(std::string_view text);    // YYYY-MM-DD, a real calendar day
bool IsValidAmount(std::string_view text);  // -123.45, classic format

}  // namespace KLCR_MolnixMigration::detail
