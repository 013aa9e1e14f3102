#pragma once
// Reads one dBASE table file (dBASE III, FoxPro, Visual FoxPro) record by
// record, read-only: header, field descriptors, fixed-length records with the
// deletion flag, and field texts with blanks trimmed. Nothing from the file is
// trusted: a damaged header, descriptor or record never makes the reader
// touch bytes outside its buffers, and what it could not read is listed in
// problems(). A layout that does not fit (fields that do not add up to the
// record, a field of length 0, a header length that puts the records
// elsewhere) leaves the table unopened with the loss said; a record whose
// deletion flag is neither blank nor "*" is damaged, not deleted.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "lumdb/record/errors.h"
#include "platform/files.h"
#include "platform/text.h"

namespace lumdb {

struct dbf_header_t {
  std::uint8_t version = 0;  // 0 marks a table that is not open
  std::int32_t record_count = 0;  // from the file size, not from the header
  std::uint16_t header_length = 0;
  std::uint16_t record_length = 0;  // including the deletion flag
  std::uint8_t language_driver = 0;
};

struct dbf_field_desc_t {
  std::string name;  // as stored, up to the first zero byte
  char type = 0;
  std::uint32_t offset = 0;  // within the record; byte 0 is the deletion flag
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

// Visual FoxPro's version byte: its header holds a 263-byte backlink after the fields.
inline constexpr std::uint8_t kDbfVisualFoxPro = 0x30;

// The code page a language-driver byte names; Windows-1252 when it names none we know.
platform::CodePage dbf_code_page(std::uint8_t language_driver);

// The value of a number field as dBASE stores one: an optional sign, digits with
// at most one point, blanks around; 0 for blanks. Nothing for any other text (no
// exponent, no second sign, no "0x"): such a value is damaged, never a number.
std::optional<double> dbf_number(std::string_view stored);

class dbf_table_c {
 public:
  // The loss of a file another program holds locked for writing.
  static constexpr const char* kLockedByAnother = "another program holds the file locked";

  // An empty path, a file that cannot be opened, or one that another program
  // holds locked for writing, leaves the table unopened.
  explicit dbf_table_c(std::string_view path);
  ~dbf_table_c();
  dbf_table_c(const dbf_table_c&) = delete;
  dbf_table_c& operator=(const dbf_table_c&) = delete;

  bool is_open() const { return file_ && header_.version != 0; }
  void close();

  // 0 on success; no_data past the last record (also a record cut short by
  // the end of the file); io_error when the table is not open or a read fails.
  std::error_code read_record(std::int32_t n);
  std::error_code first() { return read_record(0); }
  std::error_code next() { return read_record(current_ + 1); }
  std::int32_t current_record() const { return current_; }
  // A deletion flag of "*"; false when no record is current.
  bool is_deleted() const;
  // A deletion flag neither blank nor "*": the record is neither live nor
  // deleted, and is a loss (see losses()) once read.
  bool is_damaged() const;

  // Position of the field in fields(), names compared without regard to case; -1 when absent.
  int field_index(std::string_view name) const;
  // The field's bytes in the current record as stored, trailing blanks cut
  // (leading blanks too unless the field is of type "C"). Valid until the
  // next read or close; a null view for a position outside fields().
  std::string_view field_value(int i) const;
  // field_value decoded from the table's code page to UTF-8.
  std::string field_text(int i) const;
  void field_text(int i, std::string& out) const;  // reuses out's storage

  const dbf_header_t& header() const { return header_; }
  std::int32_t record_count() const { return header_.record_count; }
  const std::vector<dbf_field_desc_t>& fields() const { return fields_; }
  platform::CodePage code_page() const { return code_page_; }
  // What the reader found damaged or could not read, one line each.
  const std::vector<std::string>& problems() const { return problems_; }
  // The problems that cost data: values or records of the file that cannot be
  // read (a damage it reads around, such as a missing terminator, is not one),
  // found when it was opened or, for a record whose read fails, when it was read.
  // Empty when the table reads whole.
  const std::vector<std::string>& losses() const { return losses_; }

 private:
  void open(std::string_view path);
  void lost(std::string problem);
  void lose_damaged(std::int32_t n);
  std::error_code fail(errc value);

  dbf_header_t header_;
  std::vector<dbf_field_desc_t> fields_;
  platform::CodePage code_page_ = platform::CodePage::Windows1252;
  std::unique_ptr<platform::ReadableFile> file_;
  std::uint64_t file_size_ = 0;
  // Sequential reads fetch many records in one read; `record_` points at the
  // current one inside `block_`, or at `blank_` when none is current.
  std::vector<char> block_;
  std::int64_t block_first_ = 0;
  std::int32_t block_records_ = 0;
  std::vector<char> blank_;
  const char* record_ = nullptr;
  std::int32_t current_ = -1;
  std::vector<std::string> problems_;
  std::vector<std::string> losses_;
  std::vector<std::int32_t> damaged_;  // the damaged records read, in order
  std::size_t damaged_loss_ = 0;       // their loss in losses_ and problems_, once there is one
  std::size_t damaged_problem_ = 0;
};

}  // namespace lumdb
