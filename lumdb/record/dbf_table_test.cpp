#include "lumdb/record/dbf_table.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/held_lock.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scoped_environment.h"
#include "tools/fixtures/dbf_writer.h"

namespace lumdb {
namespace {

using fixtures::DbfColumn;
using fixtures::DbfFormat;
using fixtures::DbfWriter;
using platform::CodePage;
using ::testing::HasSubstr;

const std::vector<DbfColumn> kCustomerColumns = {
    {"KUNDNR", 'C', 10}, {"NAMN", 'C', 30}, {"SALDO", 'N', 12, 2}, {"REGDAT", 'D', 8}, {"AKTIV", 'L', 1}};

DbfWriter Customers(DbfFormat format) {
  DbfWriter writer(format, kCustomerColumns);
  writer.Add({"  AB  ", "Åsa Öberg AB", "1234.50", "20240131", "T"})
      .AddDeleted({"2", "Borttagen Kund", "0.00", "20230101", "F"})
      .Add({"3", "Ängby Ölhall & Café", "-17.25", "", "F"})
      .Add({"", "", "", "", ""});
  return writer;
}

std::vector<std::vector<std::string>> ReadAll(dbf_table_c& table, std::vector<bool>* deleted = nullptr) {
  std::vector<std::vector<std::string>> rows;
  for (auto ec = table.first(); !ec; ec = table.next()) {
    std::vector<std::string> row;
    for (int i = 0; i < static_cast<int>(table.fields().size()); ++i) row.push_back(table.field_text(i));
    rows.push_back(row);
    if (deleted) deleted->push_back(table.is_deleted());
  }
  return rows;
}

struct VariantCase {
  const char* name;
  DbfFormat format;
  CodePage written;
  bool named;
  CodePage read;
};

class DbfVariants : public ::testing::TestWithParam<VariantCase> {};

// Both header variants and each code page read back field for field, in UTF-8.
TEST_P(DbfVariants, ReadsEveryRecordAndFieldInUtf8) {
  const auto& c = GetParam();
  platform::fake::TempTree tree;
  const auto path = Customers(c.format).Encoding(c.written, c.named).WriteTo(tree / "KUND.DBF");
  dbf_table_c table(path.string());
  ASSERT_TRUE(table.is_open());
  EXPECT_EQ(table.code_page(), c.read);
  EXPECT_THAT(table.problems(), ::testing::IsEmpty());
  EXPECT_EQ(table.record_count(), 4);
  ASSERT_EQ(table.fields().size(), 5u);
  EXPECT_EQ(table.fields()[2].name, "SALDO");
  EXPECT_EQ(table.fields()[2].type, 'N');

  std::vector<bool> deleted;
  const auto rows = ReadAll(table, &deleted);
  const std::vector<std::vector<std::string>> expected = {
      {"  AB", "Åsa Öberg AB", "1234.50", "20240131", "T"},
      {"2", "Borttagen Kund", "0.00", "20230101", "F"},
      {"3", "Ängby Ölhall & Café", "-17.25", "", "F"},
      {"", "", "", "", ""}};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(deleted, (std::vector<bool>{false, true, false, false}));
}

INSTANTIATE_TEST_SUITE_P(
    HeadersAndCodePages, DbfVariants,
    ::testing::Values(VariantCase{"dBase3_1252", DbfFormat::DBase3, CodePage::Windows1252, true, CodePage::Windows1252},
                      VariantCase{"dBase3_unnamed", DbfFormat::DBase3, CodePage::Windows1252, false,
                                  CodePage::Windows1252},
                      VariantCase{"dBase3_850", DbfFormat::DBase3, CodePage::Cp850, true, CodePage::Cp850},
                      VariantCase{"FoxPro_1252", DbfFormat::VisualFoxPro, CodePage::Windows1252, true,
                                  CodePage::Windows1252},
                      VariantCase{"FoxPro_850", DbfFormat::VisualFoxPro, CodePage::Cp850, true, CodePage::Cp850},
                      VariantCase{"FoxPro_865", DbfFormat::VisualFoxPro, CodePage::Cp865, true, CodePage::Cp865}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DbfTable, TrimsBlanksByFieldType) {
  platform::fake::MemoryFileOpener files;
  files.Add("T.DBF", DbfWriter(DbfFormat::DBase3, {{"TEXT", 'C', 6}, {"NUM", 'N', 4}, {"BLANK", 'C', 3}})
                         .Add({"  AB", "12", ""})
                         .Bytes());
  platform::ScopedFileOpener use(files);
  dbf_table_c table("T.DBF");
  ASSERT_FALSE(table.first());
  EXPECT_EQ(table.field_value(0), "  AB");
  EXPECT_EQ(table.field_value(1), "12");
  EXPECT_EQ(table.field_value(2), "");
  EXPECT_NE(table.field_value(2).data(), nullptr);
}

TEST(DbfTable, FindsFieldsWithoutRegardToCase) {
  platform::fake::TempTree tree;
  dbf_table_c table(Customers(DbfFormat::DBase3).WriteTo(tree / "KUND.DBF").string());
  EXPECT_EQ(table.field_index("kundnr"), 0);
  EXPECT_EQ(table.field_index("Saldo"), 2);
  EXPECT_EQ(table.field_index("KUND"), -1);
  EXPECT_EQ(table.field_value(-1).data(), nullptr);
  EXPECT_EQ(table.field_value(5).data(), nullptr);
}

TEST(DbfTable, EmptyMissingAndClosedTables) {
  platform::fake::TempTree tree;
  dbf_table_c empty(DbfWriter(DbfFormat::VisualFoxPro, kCustomerColumns).WriteTo(tree / "EMPTY.DBF").string());
  ASSERT_TRUE(empty.is_open());
  EXPECT_EQ(empty.record_count(), 0);
  EXPECT_EQ(empty.first().value(), no_data);
  EXPECT_EQ(&empty.first().category(), &err_cat<dbf_table_c>());
  EXPECT_FALSE(empty.is_deleted());
  EXPECT_THAT(empty.problems(), ::testing::IsEmpty());

  dbf_table_c missing((tree / "NONE.DBF").string());
  EXPECT_FALSE(missing.is_open());
  EXPECT_EQ(missing.first().value(), io_error);
  dbf_table_c unnamed("");
  EXPECT_FALSE(unnamed.is_open());

  dbf_table_c table(Customers(DbfFormat::DBase3).WriteTo(tree / "KUND.DBF").string());
  ASSERT_FALSE(table.first());
  table.close();
  EXPECT_FALSE(table.is_open());
  EXPECT_EQ(table.record_count(), 0);
  EXPECT_EQ(table.next().value(), io_error);
  EXPECT_EQ(table.field_value(0).data(), nullptr);
}

TEST(DbfTable, CountsRecordsFromTheFileSize) {
  for (bool endByte : {true, false}) {
    std::string bytes = Customers(DbfFormat::DBase3).EndOfFileByte(endByte).Bytes();
    fixtures::PutU32(bytes, fixtures::kDbfRecordCountAt, 99);
    platform::fake::MemoryFileOpener files;
    files.Add("KUND.DBF", bytes);
    platform::ScopedFileOpener use(files);
    dbf_table_c table("KUND.DBF");
    EXPECT_EQ(table.record_count(), 4) << endByte;
    EXPECT_THAT(table.problems(), ::testing::ElementsAre(HasSubstr("counts 99 records, the file holds 4")));
    EXPECT_EQ(ReadAll(table).size(), 4u);
  }
}

// dBASE offsets stored in the descriptors are used when they lay the fields out
// in the record; otherwise, and always for Visual FoxPro, the fields are read
// one after the other.
TEST(DbfTable, StoredFieldOffsets) {
  const struct {
    const char* name;
    DbfFormat format;
    std::uint32_t offsetA, offsetB;
    const char* a;
    const char* b;
    bool problem;
  } cases[] = {
      {"swapped, used", DbfFormat::DBase3, 3, 1, "bb", "aa", false},
      {"swapped, not relied on", DbfFormat::VisualFoxPro, 3, 1, "aa", "bb", false},
      {"overlapping", DbfFormat::DBase3, 1, 2, "aa", "bb", true},
      {"outside the record", DbfFormat::DBase3, 1, 4, "aa", "bb", true},
      {"not stored", DbfFormat::DBase3, 0, 0, "aa", "bb", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes =
        DbfWriter(c.format, {{"A", 'C', 2}, {"B", 'C', 2}}).StoreFieldOffsets(true).Add({"aa", "bb"}).Bytes();
    fixtures::PutU32(bytes, fixtures::DbfDescriptorAt(0) + fixtures::kDbfDescriptorOffsetAt, c.offsetA);
    fixtures::PutU32(bytes, fixtures::DbfDescriptorAt(1) + fixtures::kDbfDescriptorOffsetAt, c.offsetB);
    platform::fake::MemoryFileOpener files;
    files.Add("T.DBF", bytes);
    platform::ScopedFileOpener use(files);
    dbf_table_c table("T.DBF");
    ASSERT_FALSE(table.first());
    EXPECT_EQ(table.field_value(0), c.a);
    EXPECT_EQ(table.field_value(1), c.b);
    EXPECT_EQ(table.problems().size(), c.problem ? 1u : 0u);
  }
}

// dBASE IV stores a memory address in place of each field's offset.
TEST(DbfTable, ADBase4TableWithAddressesForOffsetsReadsWhole) {
  const std::vector<std::string> names = {"One", "Two", "Three", "Four", "Five",
                                          "Six", "Seven", "Eight", "Nine", "Ten"};
  DbfWriter writer(DbfFormat::DBase4, {{"NAME", 'C', 10}, {"NR", 'N', 4}});
  for (std::size_t i = 0; i < names.size(); ++i) writer.Add({names[i], std::to_string(i + 1)});
  const std::string bytes = writer.Bytes();
  ASSERT_EQ(static_cast<unsigned char>(bytes[0]), 0x8bu);
  platform::fake::MemoryFileOpener files;
  files.Add("T.DBF", bytes);
  platform::ScopedFileOpener use(files);
  dbf_table_c table("T.DBF");
  std::uint32_t storedOffset = 0;
  std::memcpy(&storedOffset, bytes.data() + fixtures::DbfDescriptorAt(0) + fixtures::kDbfDescriptorOffsetAt, 4);
  EXPECT_GT(storedOffset, 1'000'000'000u);  // little-endian, as this machine
  EXPECT_THAT(table.problems(), ::testing::ElementsAre(HasSubstr("no layout of the record")));
  std::vector<std::string> read;
  for (auto ec = table.first(); !ec; ec = table.next()) {
    read.push_back(table.field_text(0));
    EXPECT_EQ(table.field_text(1), std::to_string(read.size()));
  }
  EXPECT_EQ(read, names);
}

TEST(DbfTable, ReadsOnWithoutSeekingAndRecoversAfterAFailedRead) {
  DbfWriter writer(DbfFormat::DBase3, {{"NR", 'N', 6}});
  for (int i = 0; i < 5000; ++i) writer.Add({std::to_string(i)});
  platform::fake::MemoryFileOpener files;
  files.Add("NR.DBF", writer.Bytes());
  platform::ScopedFileOpener use(files);
  dbf_table_c table("NR.DBF");

  int expected = 0;
  for (auto ec = table.first(); !ec; ec = table.next(), ++expected) {
    ASSERT_EQ(table.field_text(0), std::to_string(expected));
  }
  EXPECT_EQ(expected, 5000);
  // Whole blocks of records per read, not one read per record.
  EXPECT_LT(files.stats().reads, 20);

  ASSERT_FALSE(table.read_record(5));
  ASSERT_FALSE(table.next());
  EXPECT_EQ(table.current_record(), 6);
  EXPECT_EQ(table.field_text(0), "6");
  EXPECT_EQ(table.read_record(5000).value(), no_data);
  EXPECT_EQ(table.current_record(), -1);
  EXPECT_EQ(table.field_text(0), "");
  EXPECT_EQ(table.read_record(-1).value(), io_error);
  ASSERT_FALSE(table.read_record(4321));
  EXPECT_EQ(table.field_text(0), "4321");
}

TEST(DbfTable, AFailingDiskGivesAReadError) {
  DbfWriter writer(DbfFormat::DBase3, {{"NR", 'N', 6}});
  for (int i = 0; i < 10; ++i) writer.Add({std::to_string(i)});
  platform::fake::MemoryFileOpener files;
  files.Add("NR.DBF", writer.Bytes(), writer.HeaderLength() + 3 * writer.RecordLength() + 2);
  platform::ScopedFileOpener use(files);
  dbf_table_c table("NR.DBF");
  std::vector<std::string> losses = table.losses();  // the end-of-file byte that cannot be read either
  EXPECT_EQ(ReadAll(table).size(), 3u);
  EXPECT_EQ(table.read_record(3).value(), io_error);
  EXPECT_EQ(table.field_text(0), "");
  // The record that cannot be read is a loss, not the end of the table; said once however often it is read.
  losses.push_back("record 4 cannot be read");  // counted from 1
  EXPECT_EQ(table.losses(), losses);
}

// A table another program is changing, under a write lock on the whole file or
// on one record, is not read, and says why once; the lock is asked about, never
// waited for. Another program's read lock hinders nobody, nor does a write lock
// past the end of the file, where xBase programs take their record locks.
TEST(DbfTable, ATableLockedForWritingByAnotherIsNotRead) {
  platform::fake::TempTree tree;
  const auto path = tree / "KUND.DBF";
  Customers(DbfFormat::DBase3).WriteTo(path);
  const auto read = [&] {
    dbf_table_c table(path.string());
    return table.is_open() ? std::vector<std::string>{"open"} : table.losses();
  };
  const std::vector<std::string> locked{dbf_table_c::kLockedByAnother};
  {
    platform::fake::HeldWriteLock lock(path);
    EXPECT_EQ(read(), locked);
  }
  EXPECT_EQ(read(), std::vector<std::string>{"open"});

  // Another process's locks.
  const struct {
    short type;
    off_t start;
    off_t length;
    bool refuses;
  } locks[] = {
      {F_WRLCK, 200, 10, true},  // one record
      {F_RDLCK, 200, 10, false},
      {F_WRLCK, 0x7FFFFFFE, 1, false},
      {F_WRLCK, 1000000000, 1, false},
      {F_WRLCK, static_cast<off_t>(std::filesystem::file_size(path)) - 1, 1, true},  // the last byte
  };
  for (const auto& [type, start, length, refuses] : locks) {
    SCOPED_TRACE(start);
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(done[1]);  // so that the parent's close ends the wait below
      const int fd = ::open(path.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = type;
      lock.l_whence = SEEK_SET;
      lock.l_start = start;
      lock.l_len = length;
      const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
      (void)!::write(ready[1], &ok, 1);
      char end;
      (void)!::read(done[0], &end, 1);  // until the parent has looked
      ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_EQ(read(), refuses ? locked : std::vector<std::string>{"open"});
    ::close(done[1]);
    ::waitpid(child, nullptr, 0);
    for (int fd : {ready[0], ready[1], done[0]}) ::close(fd);
  }
}

// A header length one byte off, either way, in a table with and without
// Visual FoxPro's backlink after the descriptors: never read as records that
// are all deleted or shifted by a byte.
TEST(DbfTable, AHeaderLengthOneByteOffIsALoss) {
  // Records that end in a blank (a text column last) read one byte early would
  // each start with a live record's flag: only the first can show the shift.
  const auto textLast = [](DbfFormat format) {
    DbfWriter writer(format, {{"NR", 'N', 4}, {"NAMN", 'C', 12}});
    writer.Add({"1", "Åsa"}).Add({"2", "Bo"}).Add({"3", "Cia"});
    return writer;
  };
  for (DbfFormat format : {DbfFormat::DBase3, DbfFormat::VisualFoxPro}) {
    for (int off : {1, -1}) {
      for (bool text : {false, true}) {
        SCOPED_TRACE(::testing::Message() << (format == DbfFormat::DBase3 ? "dBASE III " : "Visual FoxPro ") << off
                                          << (text ? ", text last" : ""));
        const DbfWriter writer = text ? textLast(format) : Customers(format);
        std::string bytes = writer.Bytes();
        fixtures::PutU16(bytes, fixtures::kDbfHeaderLengthAt, static_cast<std::uint16_t>(writer.HeaderLength() + off));
        platform::fake::MemoryFileOpener files;
        files.Add("KUND.DBF", bytes);
        platform::ScopedFileOpener use(files);
        dbf_table_c table("KUND.DBF");
        std::vector<bool> deleted;
        std::vector<bool> damaged;
        for (auto ec = table.first(); !ec; ec = table.next()) {
          deleted.push_back(table.is_deleted());
          damaged.push_back(table.is_damaged());
        }
        ASSERT_FALSE(table.losses().empty());
        // What is read at all is said damaged, never taken as live or deleted.
        EXPECT_EQ(std::count(deleted.begin(), deleted.end(), true), 0);
        EXPECT_EQ(std::count(damaged.begin(), damaged.end(), false), 0);
      }
    }
  }
}

// A deletion flag other than blank or "*" marks a damaged record: neither live
// nor deleted, a loss that names it. Many are one loss, naming the first ten.
TEST(DbfTable, ARecordWithAnotherDeletionFlagIsDamaged) {
  const auto read = [](int records, const std::vector<std::pair<int, char>>& flags) {
    DbfWriter writer(DbfFormat::DBase3, {{"NR", 'N', 4}});
    for (int i = 0; i < records; ++i) writer.Add({std::to_string(i)});
    std::string bytes = writer.Bytes();
    for (const auto& [record, flag] : flags) bytes[writer.HeaderLength() + record * writer.RecordLength()] = flag;
    platform::fake::MemoryFileOpener files;
    files.Add("T.DBF", bytes);
    platform::ScopedFileOpener use(files);
    dbf_table_c table("T.DBF");
    EXPECT_TRUE(table.losses().empty());  // found as the records are read
    std::string states;
    for (int pass = 0; pass < 2; ++pass) {  // read again, the loss stays the same
      states.clear();
      for (auto ec = table.first(); !ec; ec = table.next()) {
        states += table.is_damaged() ? (table.is_deleted() ? '?' : 'x') : table.is_deleted() ? '*' : '.';
      }
    }
    states += table.losses().size() == 1 ? " " + table.losses()[0] : " " + std::to_string(table.losses().size());
    return states;
  };
  EXPECT_EQ(read(4, {{1, 'X'}, {2, '*'}}), ".x*. record 2 is damaged: its deletion flag is 0x58, neither blank nor \"*\"");
  EXPECT_EQ(read(4, {{0, '\0'}, {3, '\xFF'}}),
            "x..x records 1 and 4 are damaged: their deletion flags are neither blank nor \"*\"");
  std::vector<std::pair<int, char>> all;
  for (int i = 0; i < 13; ++i) all.emplace_back(i, '\0');
  EXPECT_EQ(read(13, all), "xxxxxxxxxxxxx records 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 3 more are damaged: their deletion "
                           "flags are neither blank nor \"*\"");
}

struct DamageCase {
  const char* name;
  std::function<void(std::string&)> damage;
  bool opens;
  std::size_t records;    // readable records
  const char* problem;    // part of one problem line
};

class DamagedDbf : public ::testing::TestWithParam<DamageCase> {};

// A damaged file never makes the reader step outside its buffers (the
// sanitizer build checks that), and the reader says what it could not read.
TEST_P(DamagedDbf, ReadsWhatItCanAndSaysWhatItCannot) {
  const auto& c = GetParam();
  std::string bytes = Customers(DbfFormat::VisualFoxPro).Bytes();
  c.damage(bytes);
  platform::fake::MemoryFileOpener files;
  files.Add("KUND.DBF", bytes);
  platform::ScopedFileOpener use(files);
  dbf_table_c table("KUND.DBF");
  EXPECT_EQ(table.is_open(), c.opens);
  EXPECT_THAT(table.problems(), ::testing::Contains(HasSubstr(c.problem)));
  EXPECT_EQ(ReadAll(table).size(), c.records);
  for (int i = -1; i <= static_cast<int>(table.fields().size()); ++i) {
    for (std::int32_t n : {0, 3, table.record_count(), 70000}) {
      table.read_record(n);
      (void)table.field_text(i);
      (void)table.is_deleted();
    }
  }
}

const std::size_t kHeader = DbfWriter(DbfFormat::VisualFoxPro, kCustomerColumns).HeaderLength();
const std::size_t kRecord = DbfWriter(DbfFormat::VisualFoxPro, kCustomerColumns).RecordLength();

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedDbf,
    ::testing::Values(
        DamageCase{"ShorterThanHeader", [](std::string& b) { b.resize(20); }, false, 0, "shorter than the 32-byte"},
        DamageCase{"DescriptorsCut", [](std::string& b) { b.resize(32 + 40); }, false, 0, "descriptors are cut short"},
        DamageCase{"HeaderLengthZero", [](std::string& b) { fixtures::PutU16(b, fixtures::kDbfHeaderLengthAt, 0); },
                   false, 0, "too small"},
        DamageCase{"NoTerminator", [](std::string& b) { b[fixtures::DbfDescriptorAt(5)] = 'X'; }, true, 4,
                   "without the terminator"},
        DamageCase{"FieldPastRecord",
                   [](std::string& b) { b[fixtures::DbfDescriptorAt(4) + fixtures::kDbfDescriptorLengthAt] = 120; },
                   false, 0, "the fields and the deletion flag add up to 181 bytes, the record length is 62"},
        DamageCase{"RecordLengthShrunk",
                   [](std::string& b) { fixtures::PutU16(b, fixtures::kDbfRecordLengthAt, 20); }, false, 0,
                   "add up to 62 bytes, the record length is 20"},
        DamageCase{"FieldLengthZero",
                   [](std::string& b) { b[fixtures::DbfDescriptorAt(1) + fixtures::kDbfDescriptorLengthAt] = 0; },
                   false, 0, "field NAMN has length 0"},
        DamageCase{"DescriptorOverwrittenByTerminator", [](std::string& b) { b[fixtures::DbfDescriptorAt(3)] = 0x0D; },
                   false, 0, "the fields and the deletion flag add up to 53 bytes"},
        DamageCase{"LastRecordCut", [](std::string& b) { b.resize(kHeader + 3 * kRecord + 7); }, true, 3,
                   "the last record is cut short (7 of"},
        DamageCase{"HeaderLongerThanFile", [](std::string& b) { fixtures::PutU16(b, fixtures::kDbfHeaderLengthAt, 65000); },
                   false, 0, "descriptors are cut short"},
        DamageCase{"RecordsMissing",
                   [](std::string& b) {
                     b.resize(kHeader);
                     fixtures::PutU16(b, fixtures::kDbfHeaderLengthAt, static_cast<std::uint16_t>(kHeader + 20));
                   },
                   true, 0, "exceeds the file size"},
        DamageCase{"RecordLengthZero", [](std::string& b) { fixtures::PutU16(b, fixtures::kDbfRecordLengthAt, 0); },
                   false, 0, "the record length is 0"},
        DamageCase{"VersionZero", [](std::string& b) { b[0] = 0; }, false, 0, "version byte is 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumdb
