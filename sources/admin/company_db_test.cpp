#include "sources/admin/company_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "platform/fake/fixed_clock.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/log.h"
#include "sources/admin/parameter_tables.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

using fixtures::DbfColumn;
using fixtures::DbfFormat;
using fixtures::DbfWriter;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A company folder and the log lines written while a test runs.
class CompanyFolder : public ::testing::Test {
 protected:
  CompanyFolder() { platform::ConfigureLog(true, logFolder_.string()); }
  ~CompanyFolder() override { platform::ConfigureLog(false, ""); }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    const auto text = platform::ReadWholeFile(logFolder_ / platform::kLogFileName).value_or("");
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
      lines.push_back(text.substr(at, end - at));
    }
    return lines;
  }
  std::string folder() const { return (tree_ / "Företag").string(); }
  std::string Path(std::string_view name) const { return folder() + "/" + std::string(name); }

  platform::fake::TempTree tree_;
  std::filesystem::path logFolder_ = tree_.MakeFolder("log");
  platform::fake::FixedClock clock_{{2024, 5, 6, 7, 8, 9}};
  platform::ScopedClock useClock_{clock_};
};

const std::vector<DbfColumn> kPrmColumns = {{"ORGNR", 'C', 15},    {"NAMN", 'C', 40},      {"PRG", 'C', 3},
                                            {"PRG_TYPE", 'C', 2},  {"VERSION", 'N', 6, 2}, {"VALUTAKOD", 'C', 3},
                                            {"AKI_OCR", 'L', 1},   {"KL_FKRECID", 'C', 36}};

TEST_F(CompanyFolder, MissingTableIsLoggedOnceAndReadsEmpty) {
  tree_.MakeFolder("Företag");
  CAdminPrm prm(folder());
  EXPECT_THAT(LogLines(), ElementsAre("2024-05-06 07:08:09 Misslyckades öppna filen " + Path("PRM.DBF")));
  EXPECT_FALSE(prm.HasRecords());
  EXPECT_FALSE(prm.MoveFirstRecord());
  EXPECT_FALSE(prm.MoveNextRecord());
  EXPECT_EQ(prm.GetOrgNr(), "");
  EXPECT_EQ(prm.RecordCount(), 0);
}

TEST_F(CompanyFolder, HeaderOnlyTableIsEmptyAndNotLogged) {
  DbfWriter(DbfFormat::DBase3, kPrmColumns).WriteTo(Path("PRM.DBF"));
  CAdminPrm prm(folder());
  EXPECT_THAT(LogLines(), IsEmpty());
  EXPECT_FALSE(prm.HasRecords());
  EXPECT_FALSE(prm.MoveFirstRecord());
  EXPECT_EQ(prm.GetName(), "");
}

TEST_F(CompanyFolder, EmptyFolderOpensNothing) {
  CAdminPrm prm("");
  EXPECT_THAT(LogLines(), IsEmpty());
  EXPECT_FALSE(prm.MoveFirstRecord());
  EXPECT_EQ(prm.RecordCount(), 0);
}

TEST_F(CompanyFolder, ParametersComeFromRecordZeroEvenWhenDeleted) {
  DbfWriter(DbfFormat::VisualFoxPro, kPrmColumns)
      .AddDeleted({"556677 - 8899", "Åsa Öberg AB", "ADM", "S", "12.50", "SEK", "T", ""})
      .Add({"111111-1111", "Annat AB", "FKT", "F", "9.00", "EUR", "F", "abc"})
      .WriteTo(Path("PRM.DBF"));
  CAdminPrm prm(folder());
  EXPECT_TRUE(prm.HasRecords());
  EXPECT_EQ(prm.GetOrgNr(), "556677-8899");
  EXPECT_EQ(prm.GetName(), "Åsa Öberg AB");
  EXPECT_EQ(prm.GetPrg(), "ADM");
  EXPECT_EQ(prm.GetPrgType(), "S");
  EXPECT_EQ(prm.GetVersion(), "12.50");
  EXPECT_EQ(prm.GetCurrencyCode(), "SEK");
  EXPECT_EQ(prm.GetAkiOcr(), "T");
  EXPECT_EQ(prm.GetKlFkRecId(), "");
  EXPECT_EQ(prm.RecordCount(), 2);
}

TEST_F(CompanyFolder, FileNamesAndTrailingSeparators) {
  DbfWriter(DbfFormat::DBase3, {{"MVSREDPER", 'C', 1}}).Add({"K"}).WriteTo(Path("prm2.dbf"));
  for (const std::string& given : {folder(), folder() + "/"}) {
    CAdminPrm2 prm2(given);
    EXPECT_EQ(prm2.Folder(), given);
    EXPECT_EQ(prm2.GetVatPeriodCode(), "K");
  }
  EXPECT_THAT(LogLines(), IsEmpty());
}

TEST_F(CompanyFolder, NavigationSkipsDeletedRecords) {
  DbfWriter(DbfFormat::DBase3, {{"ID", 'C', 4}, {"NR", 'N', 8}})
      .AddDeleted({"A", "1"})
      .AddDeleted({"B", "2"})
      .Add({"C", "3"})
      .AddDeleted({"D", "4"})
      .WriteTo(Path("NEWNUM.DBF"));
  CAdminNewNumDb numbers(folder());
  EXPECT_EQ(numbers.GetId(), "A");  // construction leaves record 0 current
  ASSERT_TRUE(numbers.MoveFirstRecord());
  EXPECT_EQ(numbers.GetId(), "C");
  EXPECT_EQ(numbers.GetNr(), "3");
  EXPECT_FALSE(numbers.MoveNextRecord());
  EXPECT_EQ(numbers.RecordCount(), 4);

  numbers.CloseTable();
  EXPECT_FALSE(numbers.MoveFirstRecord());
  EXPECT_EQ(numbers.RecordCount(), 0);
  EXPECT_EQ(numbers.GetId(), "");
}

TEST_F(CompanyFolder, CloseReleasesTheFileAlsoOfAnEmptyTable) {
  platform::fake::MemoryFileOpener files;
  files.Add(Path("NEWNUM.DBF"), DbfWriter(DbfFormat::DBase3, {{"ID", 'C', 4}, {"NR", 'N', 8}}).Bytes());
  platform::ScopedFileOpener use(files);
  CAdminNewNumDb numbers(folder());
  ASSERT_FALSE(numbers.HasRecords());
  EXPECT_EQ(files.stats().stillOpen, 1);
  numbers.CloseTable();
  EXPECT_EQ(files.stats().stillOpen, 0);
  EXPECT_FALSE(numbers.MoveFirstRecord());
}

TEST_F(CompanyFolder, UnreadableFirstRecordIsLogged) {
  DbfWriter writer(DbfFormat::DBase3, {{"ID", 'C', 4}, {"NR", 'N', 8}});
  writer.Add({"A", "1"}).EndOfFileByte(false);
  platform::fake::MemoryFileOpener files;
  files.Add(Path("NEWNUM.DBF"), writer.Bytes(), writer.HeaderLength() + 2);
  {
    platform::ScopedFileOpener use(files);
    CAdminNewNumDb numbers(folder());
    EXPECT_FALSE(numbers.HasRecords());
  }
  EXPECT_THAT(LogLines(), ElementsAre("2024-05-06 07:08:09 Misslyckades öppna filen " + Path("NEWNUM.DBF")));
}

TEST_F(CompanyFolder, DamageIsLoggedAndTheRestIsRead) {
  std::string bytes = DbfWriter(DbfFormat::DBase3, {{"ID", 'C', 4}, {"NR", 'N', 8}}).Add({"A", "1"}).Add({"B", "2"}).Bytes();
  bytes.resize(bytes.size() - 5);  // the last record loses its end
  tree_.Write("Företag/NEWNUM.DBF", bytes);
  CAdminNewNumDb numbers(folder());
  EXPECT_THAT(LogLines(),
              ElementsAre("2024-05-06 07:08:09 " + Path("NEWNUM.DBF") + ": the last record is cut short (9 of 13 bytes)",
                          "2024-05-06 07:08:09 " + Path("NEWNUM.DBF") + ": the header counts 2 records, the file holds 1"));
  EXPECT_EQ(numbers.GetId(), "A");
  EXPECT_FALSE(numbers.MoveNextRecord());
}

// Records whose deletion flag is neither blank nor "*" are passed over, never
// taken as live: the table is damaged, its row names them, and the log says so once.
TEST_F(CompanyFolder, DamagedRecordsArePassedOverAndMakeTheTableDamaged) {
  DbfWriter writer(DbfFormat::DBase3, {{"ID", 'C', 4}, {"NR", 'N', 8}});
  writer.Add({"A", "1"}).Add({"B", "2"}).AddDeleted({"C", "3"}).Add({"D", "4"}).Add({"E", "5"});
  std::string bytes = writer.Bytes();
  bytes[writer.HeaderLength()] = 'X';
  bytes[writer.HeaderLength() + 3 * writer.RecordLength()] = '\0';
  tree_.Write("Företag/NEWNUM.DBF", bytes);
  CAdminNewNumDb numbers(folder());
  std::string walked;
  for (bool more = numbers.MoveFirstRecord(); more; more = numbers.MoveNextRecord()) walked += numbers.GetId();
  EXPECT_EQ(walked, "BE");
  EXPECT_TRUE(numbers.IsDamaged());
  std::vector<ReportRow> rows;
  numbers.AddDamageRows(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_THAT(rows[0].text, ::testing::HasSubstr("NEWNUM.DBF"));
  EXPECT_THAT(rows[0].text, ::testing::HasSubstr("records 1 and 4 are damaged"));
  EXPECT_THAT(LogLines(), ElementsAre("2024-05-06 07:08:09 " + Path("NEWNUM.DBF") +
                                      ": record 1 is damaged: its deletion flag is 0x58, neither blank nor \"*\""));
}

TEST_F(CompanyFolder, FieldTextCleaners) {
  DbfWriter(DbfFormat::DBase3, {{"ID", 'C', 30}})
      .Add({"12 34\t56-78\r\n9"})
      .Add({"AB12cd"})
      .WriteTo(Path("NEWNUM.DBF"));
  struct Exposed : CAdminNewNumDb {
    using CAdminNewNumDb::CAdminNewNumDb;
    using CAdminNewNumDb::Column;
  } numbers(folder());
  const int id = numbers.Column("id");
  EXPECT_EQ(numbers.GetFieldNoBlanks(id), "123456-789");
  EXPECT_EQ(numbers.GetFieldDigits(id), "123456789");
  ASSERT_TRUE(numbers.MoveNextRecord());
  EXPECT_EQ(numbers.GetFieldNoBlanks(id), "AB12cd");
  EXPECT_EQ(numbers.GetFieldDigits(id), "AB12cd");
  EXPECT_EQ(numbers.GetFieldDigits(-1), "");
}

// The checked readings take what an xBase program stores and nothing else:
// std::nullopt (shown as "-") for every other text, blank as dBASE reads it.
TEST_F(CompanyFolder, CheckedReadingsOfNumbersAndDates) {
  struct Case {
    const char* text;
    const char* number;  // NumberValue, printed; "-" for none
    const char* whole;   // WholeNumberValue
    const char* date;    // DateValue
  };
  const Case cases[] = {
      {"", "0", "0", ""},
      {"  42  ", "42", "42", "-"},
      {"-0.50", "-0.5", "-", "-"},
      {"+7.", "7", "7", "-"},
      {"-.25", "-0.25", "-", "-"},
      {"12.00", "12", "12", "-"},
      {"2147483648", "2147483648", "-", "-"},
      {"-2147483648", "-2147483648", "-2147483648", "-"},
      {"20240229", "20240229", "20240229", "2024-02-29"},
      {"20230229", "20230229", "20230229", "-"},
      {"00000101", "101", "101", "-"},
      {"20241231", "20241231", "20241231", "2024-12-31"},
      {"2024123", "2024123", "2024123", "-"},
      {"--3", "-", "-", "-"},
      {"-", "-", "-", "-"},
      {".", "-", "-", "-"},
      {"1e3", "-", "-", "-"},
      {"0x1A", "-", "-", "-"},
      {"1.2.3", "-", "-", "-"},
      {"1 000", "-", "-", "-"},
      {"- 5", "-", "-", "-"},
      {"12kr", "-", "-", "-"},
      {"inf", "-", "-", "-"},
      {"2024-01-31", "-", "-", "-"},
  };
  DbfWriter table(DbfFormat::DBase3, {{"V", 'C', 12}});
  for (const Case& c : cases) table.Add({c.text});
  table.WriteTo(Path("NEWNUM.DBF"));
  struct Exposed : CAdminNewNumDb {
    using CAdminNewNumDb::CAdminNewNumDb;
    using CAdminNewNumDb::Column;
  } values(folder());
  const int column = values.Column("V");
  auto shown = [](const auto& value) {
    if (!value) return std::string("-");
    std::ostringstream out;
    out << std::setprecision(15) << *value;
    return out.str();
  };
  bool live = values.MoveFirstRecord();
  for (const Case& c : cases) {
    ASSERT_TRUE(live);
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    EXPECT_EQ(shown(values.NumberValue(column)), c.number);
    EXPECT_EQ(shown(values.WholeNumberValue(column)), c.whole);
    EXPECT_EQ(shown(values.DateValue(column)), c.date);
    live = values.MoveNextRecord();
  }
  EXPECT_EQ(values.NumberValue(-1), 0.0);  // a column the file lacks reads as blank
}

TEST(NumberConversion, ToInt) {
  const std::pair<const char*, int> cases[] = {
      {"", 0},           {"abc", 0},         {"12345678901", 0}, {" 12ab", 12},       {"-42", -42},
      {"+7", 7},         {"\t 99", 99},      {"2147483647", 2147483647},             {"2147483648", 0},
      {"-2147483648", -2147483648LL},        {"-2147483649", 0}, {"3.9", 3},          {"- 5", 0},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ToInt(text), expected) << '"' << text << '"';
}

TEST(NumberConversion, ToDouble) {
  const std::pair<const char*, double> cases[] = {
      {"", 0.0},     {"a", 0.0},        {"12.5", 12.5}, {"  -0.25kr", -0.25}, {"+3", 3.0},
      {"1e3", 1000}, {"1e999", 0.0},    {"inf", 0.0},   {"12,5", 12.0},       {".5", 0.5},
      // The run-time library also reads hexadecimal, and calls a value too small for a normal double out of range.
      {"0x1A", 26.0}, {" -0X1.8p1kr", -3.0}, {"0x", 0.0}, {"0xg", 0.0}, {"0x-5", 0.0}, {"1e-310", 0.0},
  };
  for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(ToDouble(text), expected) << '"' << text << '"';
}

}  // namespace
