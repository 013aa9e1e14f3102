// The SIE files of a Vardo company: the checks before the export, the booking
// years chosen, and the files our engine writes into the working folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/clock.h"
#include "platform/files.h"
#include "sources/vardo/vardo_environment.h"
#include "sources/vardo/vardo_sie.h"
#include "sources/vardo/vardo_test_support.h"
#include "tools/fixtures/dbf_value.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

ReportRow Sie(const char* kind, const char* caption, std::string text) { return {"", "SIE", kind, caption, text}; }
ReportRow NoVouchers() {
  return Sie("Info", "    ", "Inga verifikationer kommer att kunna importeras till Molnix.");
}

std::string Date(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
  return text;
}

class VardoSieTest : public ::testing::Test {
 protected:
  // The run's working folder: the same for every call under this test's temp folder.
  fs::path WorkFolder() const { return CreateTempWorkFolder(); }
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  // A year as ACCYEAR.DBF holds it: years relative to this one, and the chart.
  struct Year {
    int offset;
    int chart;
  };
  void WriteYears(const std::vector<Year>& years) const {
    fixtures::DbfWriter writer(fixtures::DbfFormat::DBase3,
                               {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}});
    int number = 1;
    for (const Year& y : years) {
      writer.Add({std::to_string(number++), Date(year_ + y.offset, 1, 1), Date(year_ + y.offset, 12, 31),
                  std::to_string(y.chart)});
    }
    writer.WriteTo(fs::path(company_) / "ACCYEAR.DBF");
  }
  void WriteAccounts(const std::vector<std::pair<std::string, int>>& accounts) const {
    fixtures::DbfWriter writer(fixtures::DbfFormat::DBase3,
                               {{"ACCNO", 'C', 12}, {"ACCNAME", 'C', 40}, {"ACCVAT", 'N', 1}, {"ACCCHART", 'N', 4}});
    for (const auto& [number, chart] : accounts) writer.Add({number, "Konto " + number, "0", std::to_string(chart)});
    writer.WriteTo(fs::path(company_) / "ACCOUNT.DBF");
  }

  vardo_test::VardoInstall install_;
  std::string company_ = install_.AddSampleCompany();
  int year_ = platform::CurrentClock().Now().year;
  // A working folder of the test's own: tests run side by side.
  platform::fake::ScopedEnv temp_{"TMPDIR", install_.Tree().MakeFolder("tmp").string()};
};

TEST_F(VardoSieTest, WritesTheCurrentAndThePreviousYear) {
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(), IsEmpty());
  EXPECT_EQ(reader.GetFilePath(), (WorkFolder() / "SIE.SE").string());
  EXPECT_EQ(reader.GetFilePathPreviousYear(), (WorkFolder() / "SIEPREV.SE").string());
  const auto current = platform::ReadWholeFile(reader.GetFilePath());
  const auto previous = platform::ReadWholeFile(reader.GetFilePathPreviousYear());
  ASSERT_TRUE(current && previous);
  const std::string y = std::to_string(year_), p = std::to_string(year_ - 1);
  EXPECT_THAT(*current, HasSubstr("#RAR 0 " + y + "0101 " + y + "1231\r\n"));
  EXPECT_THAT(*previous, HasSubstr("#RAR 0 " + p + "0101 " + p + "1231\r\n"));
  EXPECT_TRUE(reader.IsAvailable());
}

// A file left in the shared working folder by an earlier export is never taken for this one's.
TEST_F(VardoSieTest, OneYearOnlyLeavesNoOldPreviousYearFile) {
  Write(WorkFolder() / "SIEPREV.SE", "#FNAMN \"Ett annat företag\"\r\n");
  Write(WorkFolder() / "SIE.SE", "#FNAMN \"Ett annat företag\"\r\n");
  WriteYears({{0, 250}});
  WriteAccounts({{"0100", 250}});  // with one year the chart is not checked
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(), IsEmpty());
  EXPECT_EQ(reader.GetFilePathPreviousYear(), "");
  EXPECT_FALSE(fs::exists(WorkFolder() / "SIEPREV.SE"));
  EXPECT_THAT(platform::ReadWholeFile(reader.GetFilePath()).value_or(""), HasSubstr("#FNAMN \"M"));
}

TEST_F(VardoSieTest, AccountNumbersTheCloudCannotTake) {
  struct Case {
    const char* account;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{
           {"0100", "Kontoplanen innehåller kontonummer som börjar på 0."},
           {"12AB", "Kontoplanen innehåller kontonummer som börjar på 0."},  // its leading number
           {"9100", "Kontoplanen innehåller kontonummer som börjar på 9."},
           {"19300", "Kontoplanen innehåller 5-ställigt kontonummer."},
           {"99999999999", "Kontoplanen innehåller 5-ställigt kontonummer."},  // beyond any int
           {"AB12", "Kontoplanen innehåller kontonummer med felaktiga tecken."},
           {"", "Kontoplanen innehåller kontonummer med felaktiga tecken."},
       }) {
    SCOPED_TRACE(c.account);
    WriteAccounts({{"1930", 250}, {c.account, 250}, {"0999", 150}});
    CVardoSie reader(company_);
    EXPECT_THAT(reader.CreateSieFiles(),
                ElementsAre(Sie("AccountType", "Fel:", c.text), NoVouchers()));
    EXPECT_EQ(reader.GetFilePath(), "");
  }
  WriteAccounts({{"1930", 250}, {"8999", 250}, {"-5", 250}, {"0100", 150}});  // another chart is not checked
  EXPECT_THAT(CVardoSie(company_).CreateSieFiles(), IsEmpty());
}

TEST_F(VardoSieTest, OldChartTypes) {
  WriteYears({{-1, 250}, {0, 150}});
  CVardoSie current(company_);
  EXPECT_THAT(current.CreateSieFiles(),
              ElementsAre(Sie("AccountType", "Varning:", "Kontoplanen är av typen BAS96."), NoVouchers()));
  EXPECT_EQ(current.GetFilePath(), "");

  WriteYears({{-1, 150}, {0, 250}});
  CVardoSie previous(company_);
  EXPECT_THAT(previous.CreateSieFiles(),
              ElementsAre(Sie("AccountType", "Varning:", "Kontoplanen är av typen BAS96."), NoVouchers()));
  EXPECT_NE(previous.GetFilePath(), "");  // the current year is written before the previous one is looked at
  EXPECT_EQ(previous.GetFilePathPreviousYear(), "");
}

TEST_F(VardoSieTest, NoBookingYear) {
  const ReportRow noYear = Sie("Error", "Fel:", "Företaget saknar bokföringsår och SIE kan inte skapas.");
  WriteYears({});
  EXPECT_THAT(CVardoSie(company_).CreateSieFiles(), ElementsAre(noYear));
  WriteYears({{-30, 250}, {-29, 250}});
  fixtures::DbfWriter undated(fixtures::DbfFormat::DBase3,
                              {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}});
  undated.Add({"1", "", "", "250"}).WriteTo(fs::path(company_) / "ACCYEAR.DBF");
  EXPECT_THAT(CVardoSie(company_).CreateSieFiles(), ElementsAre(noYear));
}

// No year covers today: the last one read is taken as the current year.
TEST_F(VardoSieTest, WithoutAYearOfTodayTheLastYearsAreWritten) {
  WriteYears({{-3, 250}, {-2, 250}});
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(), IsEmpty());
  const std::string y = std::to_string(year_ - 2), p = std::to_string(year_ - 3);
  EXPECT_THAT(platform::ReadWholeFile(reader.GetFilePath()).value_or(""), HasSubstr("#RAR 0 " + y + "0101"));
  EXPECT_THAT(platform::ReadWholeFile(reader.GetFilePathPreviousYear()).value_or(""),
              HasSubstr("#RAR 0 " + p + "0101"));
}

// What keeps the export from being made is said, never passed over; a year
// without a start date is no year of today's.
TEST_F(VardoSieTest, AnExportThatFailsIsReported) {
  fixtures::DbfWriter years(fixtures::DbfFormat::DBase3,
                            {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}});
  years.Add({"1", "", "", "250"}).Add({"2", Date(year_, 1, 1), Date(year_, 12, 31), "250"});
  years.WriteTo(fs::path(company_) / "ACCYEAR.DBF");
  CVardoSie blankFirst(company_);
  EXPECT_THAT(blankFirst.CreateSieFiles(), IsEmpty());
  EXPECT_THAT(platform::ReadWholeFile(blankFirst.GetFilePath()).value_or(""),
              HasSubstr("#RAR 0 " + Date(year_, 1, 1) + " " + Date(year_, 12, 31) + "\r\n"));
  EXPECT_EQ(blankFirst.GetFilePathPreviousYear(), "");  // the blank year is no previous year either

  // The year where the walk ends has no start date: the database cannot export it.
  fixtures::DbfWriter undatedLast(fixtures::DbfFormat::DBase3,
                                  {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}});
  undatedLast.Add({"1", Date(year_ - 5, 1, 1), Date(year_ - 5, 12, 31), "250"}).Add({"2", "", "", "250"});
  undatedLast.WriteTo(fs::path(company_) / "ACCYEAR.DBF");
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(), ElementsAre(Sie("Error", "Fel:", "SIE-filen SIE.SE kunde inte skapas.")));
  EXPECT_EQ(reader.GetFilePath(), "");
  EXPECT_FALSE(fs::exists(WorkFolder() / "SIE.SE"));
}

// The current year goes without the previous one's file, with a warning, as on the other lines.
TEST_F(VardoSieTest, APreviousYearThatCannotBeMadeIsAWarning) {
  fixtures::DbfWriter years(fixtures::DbfFormat::DBase3,
                            {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}});
  // The record before the current year has no start date: the database cannot export it.
  years.Add({"1", Date(year_ - 2, 1, 1), Date(year_ - 2, 12, 31), "250"})
      .Add({"2", "", "", "250"})
      .Add({"3", Date(year_, 1, 1), Date(year_, 12, 31), "250"});
  years.WriteTo(fs::path(company_) / "ACCYEAR.DBF");
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(), ElementsAre(Sie("Warning", "Varning:", "SIE-filen SIEPREV.SE kunde inte skapas.")));
  EXPECT_EQ(reader.GetFilePath(), (WorkFolder() / "SIE.SE").string());
  EXPECT_EQ(reader.GetFilePathPreviousYear(), "");
}

// No file is made from accounts or booking years that cannot be read whole: the row names the table.
TEST_F(VardoSieTest, TablesThatCannotBeReadWholeGiveNoFile) {
  const std::string accounts = platform::ReadWholeFile(fs::path(company_) / "ACCOUNT.DBF").value();
  Write(fs::path(company_) / "ACCOUNT.DBF", accounts.substr(0, accounts.size() - 30));
  CVardoSie cut(company_);
  const auto rows = cut.CreateSieFiles();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].kind, "Error");
  EXPECT_THAT(rows[0].text, ::testing::StartsWith("SIE-fil kunde inte skapas. Filen ACCOUNT.DBF kan inte läsas helt: "
                                                  "the last record is cut short"));
  EXPECT_EQ(cut.GetFilePath(), "");
  EXPECT_EQ(cut.GetFilePathPreviousYear(), "");

  Write(fs::path(company_) / "ACCOUNT.DBF", accounts);
  fs::remove(fs::path(company_) / "ACCYEAR.DBF");  // not "saknar bokföringsår": the table is not there
  CVardoSie noYears(company_);
  EXPECT_THAT(noYears.CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:",
                              "SIE-fil kunde inte skapas. Filen ACCYEAR.DBF kan inte läsas helt: the file does not exist")));
  EXPECT_EQ(noYears.GetFilePath(), "");
}

// The database reads the tables again to write a file: one that does not tell
// what was read here (a build of the database that leaves the accounts out) is
// not sent, and the row says why.
TEST_F(VardoSieTest, AFileThatDoesNotTellWhatWasReadIsNotSent) {
  fs::copy_file(fs::path(VARDO_ENGINE_SIE_WITHOUT_ACCOUNTS_FOLDER) / "PyxBase5.dll",
                install_.ProgramFolder() / "PyxBase5.dll", fs::copy_options::overwrite_existing);
  WriteAccounts({{"1930", 250}, {"3010", 250}, {"1910", 150}});  // the last of another chart
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:",
                              "SIE-fil kunde inte skapas. Filen SIE.SE stämmer inte med företagets tabeller: filen "
                              "har 0 konton men kontoplanen 2.")));
  EXPECT_EQ(reader.GetFilePath(), "");
  EXPECT_EQ(reader.GetFilePathPreviousYear(), "");
}

// A booking year whose dates do not read is never replaced by another year,
// and an account that cannot be read leaves no file without it.
TEST_F(VardoSieTest, UnreadableYearsAndAccountsGiveNoFile) {
  const struct {
    const char* file;
    std::vector<std::pair<std::string, std::string>> match;
    const char* field;
    const char* value;
    const char* says;
  } cases[] = {
      {"ACCYEAR.DBF", {{"YEARNO", "2"}}, "BEGIN", "2O260101", "BEGIN holds \"2O260101\""},
      {"ACCYEAR.DBF", {{"YEARNO", "2"}}, "END", "20261232", "END holds \"20261232\""},
      {"ACCOUNT.DBF", {{"ACCNO", "3001"}}, "ACCCHART", "x", "ACCCHART holds \"x\""},
      {"ACCOUNT.DBF", {{"ACCNO", "3001"}}, "ACCNO", "", "ACCNO holds \"\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " \"" + c.value + "\"");
    company_ = install_.AddSampleCompany(std::string("Skadad ") + c.field + c.value);
    // Charts of two kinds: the accounts are then the engine's alone to check.
    WriteYears({{-1, 200}, {0, 250}});
    fixtures::ChangeDbfValue(fs::path(company_) / c.file, c.match, c.field, c.value);
    CVardoSie reader(company_);
    const auto rows = reader.CreateSieFiles();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].kind, "Error");
    EXPECT_THAT(rows[0].text, ::testing::StartsWith(std::string("SIE-fil kunde inte skapas. Filen ") + c.file +
                                                    " kan inte läsas helt: "));
    EXPECT_THAT(rows[0].text, HasSubstr(c.says));
    EXPECT_EQ(reader.GetFilePath(), "");
    EXPECT_EQ(reader.GetFilePathPreviousYear(), "");
  }
}

TEST_F(VardoSieTest, AnOldFileThatCannotBeRemovedIsReported) {
  Write(WorkFolder() / "SIE.SE" / "inside", "a folder in the file's place");
  CVardoSie reader(company_);
  const auto rows = reader.CreateSieFiles();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_THAT(rows[0].text, HasSubstr("SIE-fil kunde inte skapas. Den gamla filen "));
  EXPECT_EQ(reader.GetFilePath(), "");
}

// A company that lost its CLIENT.DBF is told by the file; a database newer than
// the library reads, by the database.
TEST_F(VardoSieTest, ADatabaseThatCannotBeOpenedIsReported) {
  const std::string version = fs::path(company_).lexically_relative(install_.Tree().root()).string() + "/db.ver";
  install_.Tree().Write(version, "7.0\r\n");
  CVardoSie newer(company_);
  EXPECT_THAT(newer.CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:", "SIE-fil kunde inte skapas. Företagets databas kunde inte öppnas.")));
  EXPECT_EQ(newer.GetFilePath(), "");

  install_.Tree().Write(version, samplecompany::kVardoDatabaseVersion);
  fs::remove(fs::path(company_) / "CLIENT.DBF");
  CVardoSie reader(company_);
  EXPECT_THAT(reader.CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:",
                              "SIE-fil kunde inte skapas. Filen CLIENT.DBF kan inte läsas helt: the file does not exist")));
  EXPECT_EQ(reader.GetFilePath(), "");
}

TEST_F(VardoSieTest, ACompanyOfAnOlderDatabaseVersion) {
  install_.Tree().Write(fs::path(company_).lexically_relative(install_.Tree().root()).string() + "/db.ver", "5.0\r\n");
  EXPECT_THAT(CVardoSie(company_).CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:",
                              "För att kunna skapa SIE-filer krävs att installerad version av Tessal Vardo stöder"
                              "\r\n\tföretagets databasversion.")));
}

TEST(VardoSieWithoutVardo, TheProgramMustBeInstalled) {
  vardo_test::InstallRegistry("");
  platform::fake::TempTree tree;
  EXPECT_THAT(CVardoSie(tree.root().string()).CreateSieFiles(),
              ElementsAre(Sie("Error", "Fel:",
                              "För att kunna skapa SIE-filer krävs att Tessal Vardo är installerat på datorn.")));
}

}  // namespace
