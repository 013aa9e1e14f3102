#include "lumdb/record/dbf_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace lumdb {
namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kFieldTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kLiveRecord = ' ';
constexpr char kDeletedRecord = '*';
// A damaged-records loss lists at most this many records by number.
constexpr std::size_t kDamagedRecordsNamed = 10;
// Sequential reading fetches about this many bytes of whole records at a time.
constexpr std::size_t kBlockBytes = 64 * 1024;

std::uint16_t U16(const char* p) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}

std::uint32_t U32(const char* p) {
  return static_cast<std::uint32_t>(U16(p)) | static_cast<std::uint32_t>(U16(p + 2)) << 16;
}

std::string Num(std::int64_t v) { return std::to_string(v); }

// Whether the offsets put every field inside the record, after the deletion
// flag, without two fields sharing a byte.
bool is_record_layout(const std::vector<dbf_field_desc_t>& fields, std::uint16_t record_length) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;  // [begin, end)
  for (const auto& field : fields) {
    const std::uint64_t begin = field.offset;
    const std::uint64_t end = begin + field.length;
    if (begin < 1 || end > record_length) return false;
    spans.emplace_back(begin, end);
  }
  std::sort(spans.begin(), spans.end());
  for (std::size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].first < spans[i - 1].second) return false;
  }
  return true;
}

}  // namespace

platform::CodePage dbf_code_page(std::uint8_t language_driver) {
  using platform::CodePage;
  switch (language_driver) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18: case 0x19: case 0x1B:
      return CodePage::Cp437;
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A: case 0x1D: case 0x25:
    case 0x37:
      return CodePage::Cp850;
    case 0x08: case 0x17: case 0x66:
      return CodePage::Cp865;
    default:  // 0x03, 0x57 to 0x59, none, or a code page we cannot decode
      return CodePage::Windows1252;
  }
}

dbf_table_c::dbf_table_c(std::string_view path) { open(path); }

dbf_table_c::~dbf_table_c() = default;

void dbf_table_c::open(std::string_view path) {
  if (path.empty()) return;
  std::string why;
  file_ = platform::OpenForReading(std::string(path), &why);
  if (!file_) {
    lost("cannot open the file: " + why);
    return;
  }
  file_size_ = file_->Size();
  const auto give_up = [this](std::string problem) {
    lost(std::move(problem));
    close();
  };
  // A table another program is changing is not read: what it holds is not
  // settled. Asked once, never waited for.
  if (file_->IsWriteLockedByAnother()) return give_up(kLockedByAnother);

  char head[kHeaderSize];
  if (file_->ReadAt(0, head) != kHeaderSize) return give_up("the file is shorter than the 32-byte header");
  header_.version = static_cast<std::uint8_t>(head[0]);
  const std::uint32_t stored_count = U32(head + 4);
  header_.record_count = static_cast<std::int32_t>(stored_count);
  header_.header_length = U16(head + 8);
  header_.record_length = U16(head + 10);
  header_.language_driver = static_cast<std::uint8_t>(head[29]);
  code_page_ = dbf_code_page(header_.language_driver);
  if (header_.version == 0) return give_up("the version byte is 0");

  // Room for this many descriptors lies between the header and the terminator byte.
  const int descriptor_count = (static_cast<int>(header_.header_length) - 33) / static_cast<int>(kDescriptorSize);
  if (descriptor_count < 0) return give_up("header length " + Num(header_.header_length) + " is too small");
  const std::size_t area = static_cast<std::size_t>(descriptor_count) * kDescriptorSize;
  std::vector<char> descriptors(area + 1);
  const std::size_t got = file_->ReadAt(kHeaderSize, descriptors);
  if (got < area) return give_up("the field descriptors are cut short");

  // The terminator's offset in the file; 0 when none was found.
  std::uint64_t terminator = 0;
  for (std::size_t at = 0; at < area; at += kDescriptorSize) {
    const char* d = descriptors.data() + at;
    // Visual FoxPro keeps a backlink after the terminator; nothing past it is a field.
    if (d[0] == kFieldTerminator) {
      terminator = kHeaderSize + at;
      break;
    }
    dbf_field_desc_t field;
    const std::string_view raw(d, ::strnlen(d, 11));
    field.name = platform::DecodeToUtf8(raw, code_page_);
    field.type = d[11];
    field.offset = U32(d + 12);
    field.length = static_cast<std::uint8_t>(d[16]);
    field.decimals = static_cast<std::uint8_t>(d[17]);
    fields_.push_back(std::move(field));
  }
  if (terminator == 0 && got > area && descriptors[area] == kFieldTerminator) terminator = kHeaderSize + area;
  if (terminator == 0) {
    // Without the terminator whatever follows the fields (a backlink, the
    // records) reads as descriptors: the fields are those that fill the record.
    problems_.push_back("the field descriptors end without the terminator byte");
    std::uint64_t filled = 0;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      if (filled + 1 == header_.record_length) {
        fields_.resize(i);
        break;
      }
      filled += fields_[i].length;
    }
  }

  // A layout that does not fit would read every record shifted, each value
  // another field's bytes: such a table gives nothing.
  std::uint64_t fields_length = 0;
  for (const auto& field : fields_) {
    if (field.length == 0) return give_up("field " + field.name + " has length 0");
    fields_length += field.length;
  }
  if (fields_length + 1 != header_.record_length) {
    if (terminator == 0) {
      return give_up("header length " + Num(header_.header_length) +
                     " leaves no room for the field descriptors and their terminator");
    }
    return give_up("the fields and the deletion flag add up to " + Num(fields_length + 1) +
                   " bytes, the record length is " + Num(header_.record_length));
  }
  // Bytes between the terminator and the first record are a backlink or a
  // writer's padding; a deletion flag as the last of them says that the first
  // record begins one byte before where the header puts it.
  if (terminator != 0 && header_.header_length > terminator + 1 && header_.header_length <= file_size_) {
    char before_first = 0;
    if (file_->ReadAt(header_.header_length - 1u, {&before_first, 1}) == 1 &&
        (before_first == kLiveRecord || before_first == kDeletedRecord)) {
      return give_up("header length " + Num(header_.header_length) +
                     " puts the records one byte late: the byte before the first is a deletion flag");
    }
  }

  // Byte 0 of a record is the deletion flag. Visual FoxPro's stored offsets
  // are not relied on; other versions' are used when set and when they lay the
  // fields out in the record. dBASE IV and some other writers store a memory
  // address there instead: then every field takes its running offset.
  std::vector<std::uint32_t> running_offsets;
  std::uint32_t running = 1;
  for (const auto& field : fields_) {
    running_offsets.push_back(running);
    running += field.length;
  }
  bool stored = false;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].offset == 0 || header_.version == kDbfVisualFoxPro) {
      fields_[i].offset = running_offsets[i];
    } else {
      stored = true;
    }
  }
  if (stored && !is_record_layout(fields_, header_.record_length)) {
    problems_.push_back("the stored field offsets are no layout of the record; the fields are read one after "
                        "the other");
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i].offset = running_offsets[i];
  }

  const std::int64_t record_length = header_.record_length;
  const std::int64_t data = static_cast<std::int64_t>(file_size_) - header_.header_length;
  std::int64_t count = std::max<std::int64_t>(data, 0) / record_length;
  if (data < 0) {
    lost("header length " + Num(header_.header_length) + " exceeds the file size " + Num(file_size_));
  } else if (const std::int64_t rest = data % record_length; rest != 0) {
    char last = 0;
    const bool end_marker = rest == 1 && file_->ReadAt(file_size_ - 1, {&last, 1}) == 1 && last == kEndOfFile;
    // Records that do not fill the file, the first of them without a deletion
    // flag, begin elsewhere than the header says: each would read shifted.
    char first = 0;
    if (!end_marker && count > 0 && file_->ReadAt(header_.header_length, {&first, 1}) == 1 &&
        first != kLiveRecord && first != kDeletedRecord) {
      return give_up("header length " + Num(header_.header_length) +
                     " does not put the records where they begin: the first has no deletion flag and the last is "
                     "cut short");
    }
    if (!end_marker) {
      lost("the last record is cut short (" + Num(rest) + " of " + Num(record_length) + " bytes)");
    }
  }
  if (count > std::numeric_limits<std::int32_t>::max()) {
    lost("more records than can be counted; only the first " +
                        Num(std::numeric_limits<std::int32_t>::max()) + " are read");
    count = std::numeric_limits<std::int32_t>::max();
  }
  if (count != stored_count) {
    // Fewer records than the header counts are records lost; more are read all the same.
    std::string problem = "the header counts " + Num(stored_count) + " records, the file holds " + Num(count);
    if (count < stored_count) {
      lost(std::move(problem));
    } else {
      problems_.push_back(std::move(problem));
    }
  }
  header_.record_count = static_cast<std::int32_t>(count);
  blank_.assign(static_cast<std::size_t>(record_length), ' ');
  record_ = blank_.data();
}

void dbf_table_c::close() {
  file_.reset();
  file_size_ = 0;
  header_ = {};
  fields_.clear();
  block_.clear();
  block_.shrink_to_fit();
  block_first_ = 0;
  block_records_ = 0;
  blank_.clear();
  record_ = nullptr;
  current_ = -1;
}

// A record read again after it failed is the same loss, said once.
void dbf_table_c::lost(std::string problem) {
  if (std::find(losses_.begin(), losses_.end(), problem) != losses_.end()) return;
  losses_.push_back(problem);
  problems_.push_back(std::move(problem));
}

std::error_code dbf_table_c::fail(errc value) {
  current_ = -1;
  record_ = blank_.empty() ? nullptr : blank_.data();
  return make_error<dbf_table_c>(value);
}

std::error_code dbf_table_c::read_record(std::int32_t n) {
  const std::int64_t record_length = header_.record_length;
  if (!is_open() || n < 0) return fail(io_error);
  if (n >= block_first_ && n < block_first_ + block_records_) {
    record_ = block_.data() + (n - block_first_) * record_length;
    current_ = n;
    if (is_damaged()) lose_damaged(n);
    return success;
  }
  if (n >= header_.record_count) return fail(no_data);

  const std::int64_t per_block = std::max<std::int64_t>(1, static_cast<std::int64_t>(kBlockBytes) / record_length);
  const std::int64_t wanted = std::min<std::int64_t>(per_block, header_.record_count - n);
  if (block_.size() < static_cast<std::size_t>(per_block * record_length)) {
    block_.resize(static_cast<std::size_t>(per_block * record_length));
  }
  const std::uint64_t offset = header_.header_length + static_cast<std::uint64_t>(n) * record_length;
  const std::size_t got = file_->ReadAt(offset, {block_.data(), static_cast<std::size_t>(wanted * record_length)});
  block_first_ = n;
  block_records_ = static_cast<std::int32_t>(static_cast<std::int64_t>(got) / record_length);
  // The file's size promised the record, so a short read is a read error, and a
  // record lost: the walk it ends is not the whole table.
  if (block_records_ == 0) {
    lost("record " + Num(n + 1) + " cannot be read");  // counted from 1, as a user counts them
    return fail(io_error);
  }
  record_ = block_.data();
  current_ = n;
  if (is_damaged()) lose_damaged(n);
  return success;
}

bool dbf_table_c::is_deleted() const { return current_ >= 0 && record_[0] == kDeletedRecord; }

bool dbf_table_c::is_damaged() const {
  return current_ >= 0 && record_[0] != kLiveRecord && record_[0] != kDeletedRecord;
}

// All damaged records are one loss, which names the first few of them, counted from 1.
void dbf_table_c::lose_damaged(std::int32_t n) {
  const auto at = std::lower_bound(damaged_.begin(), damaged_.end(), n);
  if (at != damaged_.end() && *at == n) return;
  damaged_.insert(at, n);
  std::string text;
  if (damaged_.size() == 1) {
    char flag[8];
    std::snprintf(flag, sizeof flag, "0x%02X", static_cast<unsigned char>(record_[0]));
    text = "record " + Num(n + 1) + " is damaged: its deletion flag is " + flag + ", neither blank nor \"*\"";
  } else {
    const std::size_t named = std::min(damaged_.size(), kDamagedRecordsNamed);
    text = "records";
    for (std::size_t i = 0; i < named; ++i) {
      const bool last = i + 1 == damaged_.size();
      text += (i == 0 ? " " : last ? " and " : ", ") + Num(damaged_[i] + 1);
    }
    if (named < damaged_.size()) text += " and " + Num(static_cast<std::int64_t>(damaged_.size() - named)) + " more";
    text += " are damaged: their deletion flags are neither blank nor \"*\"";
  }
  if (damaged_.size() == 1) {
    damaged_loss_ = losses_.size();
    damaged_problem_ = problems_.size();
    losses_.push_back(text);
    problems_.push_back(std::move(text));
  } else {
    losses_[damaged_loss_] = text;
    problems_[damaged_problem_] = std::move(text);
  }
}

int dbf_table_c::field_index(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (platform::EqualsNoCase(fields_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string_view dbf_table_c::field_value(int i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= fields_.size() || !record_) return {};
  const dbf_field_desc_t& field = fields_[static_cast<std::size_t>(i)];
  const char* begin = record_ + field.offset;
  const char* end = begin + field.length;
  // Most fields are mostly blank: eight blanks at a time, then one by one.
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
  const auto blanks = [](const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word == kEightBlanks;
  };
  if (field.type != 'C') {
    while (end - begin >= 8 && blanks(begin)) begin += 8;
    while (begin < end && *begin == ' ') ++begin;
  }
  while (end - begin >= 8 && blanks(end - 8)) end -= 8;
  while (end > begin && end[-1] == ' ') --end;
  return {begin, static_cast<std::size_t>(end - begin)};
}

std::string dbf_table_c::field_text(int i) const {
  std::string out;
  field_text(i, out);
  return out;
}

void dbf_table_c::field_text(int i, std::string& out) const {
  out.clear();
  platform::AppendDecodedUtf8(out, field_value(i), code_page_);
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> dbf_number(std::string_view text) {
  text = platform::Trim(text);
  if (text.empty()) return 0.0;
  if (text.front() == '+' || text.front() == '-') {
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    const std::optional<double> magnitude = text.empty() || !(is_digit(text.front()) || text.front() == '.')
                                                ? std::nullopt
                                                : dbf_number(text);
    if (!magnitude) return std::nullopt;
    return negative ? -*magnitude : *magnitude;
  }
  std::size_t digits = 0, points = 0;
  for (char c : text) {
    if (is_digit(c)) {
      ++digits;
    } else if (c != '.' || ++points > 1) {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace lumdb
