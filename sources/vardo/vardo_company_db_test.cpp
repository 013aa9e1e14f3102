#include "sources/vardo/vardo_company_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/captured_log.h"
#include "platform/files.h"
#include "sources/vardo/vardo_test_support.h"
#include "sources/vardo/vardo_text_tables.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class VardoTableTest : public ::testing::Test {
 protected:
  vardo_test::VardoInstall install_;
  std::string company_ = install_.AddSampleCompany();
};

TEST_F(VardoTableTest, ReadsTypedValuesRecordByRecord) {
  Vardo::CBookingYearDb years(company_);
  ASSERT_EQ(years.OpenStatus(), 0);
  std::vector<std::string> rows;
  for (bool more = years.MoveFirst(); more; more = years.MoveNext()) {
    const int begin = years.GetDate(vardo_table::kAccountYear, "BEGIN");
    rows.push_back(std::to_string(years.GetLong(vardo_table::kAccountYear, "YEARNO")) + " " + FormatVardoDate(begin) +
                   " " + FormatAmount(years.GetDouble(vardo_table::kAccountYear, "ACCCHART")));
  }
  const int year = platform::CurrentClock().Now().year;
  const auto row = [](int number, int y) { return std::to_string(number) + " " + std::to_string(y) + "-01-01 250.00"; };
  EXPECT_THAT(rows, ElementsAre(row(1, year - 2), row(2, year - 1), row(3, year), row(4, year + 1)));

  CVardoPrm client(company_);
  EXPECT_EQ(client.GetString(vardo_table::kClient, "CLNAME"), samplecompany::kVardoCompanyName);
  EXPECT_EQ(client.GetLong(vardo_table::kClient, "VATPER"), 3);
  EXPECT_EQ(client.GetString(vardo_table::kClient, ""), "");
  CVardoCompanyDb person(company_, "PERSON.DBF");
  person.SetTableId(vardo_table::kPerson);
  EXPECT_EQ(person.GetString(vardo_table::kPerson, "TYPE"), " 1");  // leading blank kept
  EXPECT_FALSE(person.GetBool(vardo_table::kPerson, "INACTIVE"));
}

// A value crosses the API whole: a field as wide as a field can be, full of
// letters that take two or three bytes in UTF-8, arrives to the last letter.
TEST_F(VardoTableTest, AFullFieldOfSwedishLettersIsNeverCut) {
  std::string swedish, euros;
  for (int i = 0; i < 254; ++i) swedish += i % 3 == 0 ? "å" : i % 3 == 1 ? "ä" : "ö";
  for (int i = 0; i < 255; ++i) euros += "€";
  fixtures::DbfWriter texts(fixtures::DbfFormat::DBase3, {{"TEXTNO", 'N', 4}, {"TEXTNAME", 'C', 255}});
  texts.Encoding(platform::CodePage::Windows1252);
  texts.Add({"1", swedish}).Add({"2", euros}).WriteTo(std::filesystem::path(company_) / "TEXT.DBF");
  CVardoTextDb table(company_);
  ASSERT_TRUE(table.MoveFirst());
  EXPECT_EQ(table.GetTextName(), swedish);
  ASSERT_TRUE(table.MoveNext());
  EXPECT_EQ(table.GetTextName(), euros);
}

TEST_F(VardoTableTest, AMissingFieldIsLoggedAtEachRead) {
  CVardoPrm client(company_);
  platform::fake::CapturedLog log;
  EXPECT_EQ(client.GetString(vardo_table::kClient, "NOSUCH"), "");
  EXPECT_EQ(client.GetString(vardo_table::kClient, "NOSUCH"), "");
  EXPECT_EQ(client.GetLong(vardo_table::kClient, "NOSUCH"), 0);
  EXPECT_THAT(log.Lines(), ElementsAre("Fältet saknas i tabellen", "Fältet saknas i tabellen", "Fältet saknas i tabellen"));
}

TEST_F(VardoTableTest, TheSecondTableReopensTheDatabaseTheFirstClosed) {
  CVardoPrm client(company_);
  auto texts = std::make_unique<CVardoCompanyDb>(company_, "TEXT.DBF");
  texts->SetTableId(vardo_table::kText);
  ASSERT_TRUE(client.MoveFirst());
  texts.reset();  // closes the database under the client table
  {
    platform::fake::CapturedLog log;
    EXPECT_FALSE(client.MoveNext());
    EXPECT_THAT(log.Lines(), ElementsAre("Databasen är inte öppen"));
  }
  platform::fake::CapturedLog log;
  EXPECT_TRUE(client.MoveFirst());
  EXPECT_EQ(client.GetString(vardo_table::kClient, "ORGNO"), samplecompany::kOrgNo);
  // The wrapper's line for the first try, then the open's own line.
  EXPECT_THAT(log.Lines(), ElementsAre("Databasen är inte öppen", ""));
}

TEST_F(VardoTableTest, ReopenSwitchesTheDatabaseToTheTablesCompany) {
  const std::string other = install_.AddSampleCompany("Annan Firma AB");
  CVardoPrm first(company_);
  CVardoPrm second(other);  // the database is now the other company
  ASSERT_TRUE(first.Reopen(first.CompanyFolder(), first.TableFile()));
  EXPECT_TRUE(first.MoveFirst());
  std::string path;
  ASSERT_EQ(VardoDatabaseGetPath(path), 0);
  EXPECT_EQ(path, company_);
  EXPECT_TRUE(first.Reopen("", "CLIENT.DBF"));  // an empty folder opens nothing

  platform::fake::CapturedLog log;
  EXPECT_FALSE(first.Reopen(company_ + "-finns-inte", "CLIENT.DBF"));
  EXPECT_THAT(log.Lines(), ElementsAre("Sökvägen till databasen är felaktig", "Misslyckades öppna filen " + company_ + "/CLIENT.DBF"));
  EXPECT_FALSE(first.MoveFirst());  // unusable until opened again
}

TEST_F(VardoTableTest, AnEmptyFolderOpensNothingAndReadsTheOpenDatabase) {
  CVardoPrm client(company_);
  CVardoCompanyDb years("", "ACCYEAR.DBF");
  years.SetTableId(vardo_table::kAccountYear);
  EXPECT_EQ(years.OpenStatus(), 0);
  EXPECT_TRUE(years.MoveFirst());
  EXPECT_EQ(years.GetLong(vardo_table::kAccountYear, "YEARNO"), 1);
  CVardoCompanyDb none(company_, "NONE.DBF");  // no table id: nothing to move on
  EXPECT_FALSE(none.MoveFirst());
}

// A missing table reads as empty and says so: a row about the whole table and
// a log line naming its file; it is never taken for a table without records.
TEST_F(VardoTableTest, AMissingTableReadsAsEmpty) {
  std::filesystem::remove(std::filesystem::path(company_) / "SERIES.DBF");
  auto owned = std::make_unique<CVardoClientsettingsDb>(company_);
  CVardoClientsettingsDb& series = *owned;
  platform::fake::CapturedLog log;
  EXPECT_FALSE(series.MoveFirst());
  EXPECT_EQ(series.GetString(vardo_table::kSeries, "ID"), "");
  EXPECT_THAT(log.Lines(), Contains("Filen SERIES.DBF kan inte läsas helt: the file does not exist"));
  EXPECT_FALSE(series.IsReadWhole());
  std::vector<ReportRow> rows;
  series.AddDamageRows(rows);
  series.AddDamageRows(rows);  // once, however often asked
  EXPECT_THAT(rows, ElementsAre(ReportRow{"", "", "Error", "Fel:",
                                          "Filen SERIES.DBF kan inte läsas helt: the file does not exist"}));

  owned.reset();  // closes the database

  // An empty table is read whole.
  fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"ID", 'N', 4}}).WriteTo(std::filesystem::path(company_) / "SERIES.DBF");
  CVardoClientsettingsDb empty(company_);
  EXPECT_FALSE(empty.MoveFirst());
  EXPECT_TRUE(empty.IsReadWhole());
}

// A table cut by another program while it is walked loses every record after
// the cut: the walk goes on to the end, and the loss is logged once with its
// count, not once per record.
TEST_F(VardoTableTest, ATableCutDuringTheWalkIsLoggedOnce) {
  // More records than the reader reads ahead in one block: those past the cut are read after it.
  samplecompany::VardoSampleOptions many;
  many.customerInvoices = 2000;
  const std::string company = install_.AddSampleCompany("Stor", many);
  const auto file = std::filesystem::path(company) / "LEDGER.DBF";
  const std::string whole = platform::ReadWholeFile(file).value();
  const auto u16 = [&whole](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(whole[at])) |
           static_cast<std::size_t>(static_cast<unsigned char>(whole[at + 1])) << 8;
  };
  const std::size_t header = u16(fixtures::kDbfHeaderLengthAt);
  const std::size_t record = u16(fixtures::kDbfRecordLengthAt);
  const std::size_t records = (whole.size() - header) / record;
  constexpr std::size_t kBeforeTheCut = 1000;
  CVardoCompanyDb ledger(company, "LEDGER.DBF");
  ledger.SetTableId(vardo_table::kLedger);
  platform::fake::CapturedLog log;
  ASSERT_TRUE(ledger.MoveFirst());
  std::filesystem::resize_file(file, header + kBeforeTheCut * record);
  std::size_t read = 1;
  while (ledger.MoveNext()) ++read;
  EXPECT_EQ(read, kBeforeTheCut);
  std::vector<std::string> aboutTheTable;
  for (const std::string& line : log.Lines()) {
    if (line.find("LEDGER.DBF") != std::string::npos) aboutTheTable.push_back(line);
  }
  const std::string lost = std::to_string(records - kBeforeTheCut);
  const std::string first = "Filen LEDGER.DBF kan inte läsas helt: record " + std::to_string(kBeforeTheCut + 1) +
                            " cannot be read";
  EXPECT_THAT(aboutTheTable, ElementsAre(first, first + " (" + lost + " records in all)"));
  EXPECT_LT(log.Lines().size(), 6u);
  std::vector<ReportRow> rows;
  ledger.AddDamageRows(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_THAT(rows[0].text, HasSubstr("(" + lost + " records in all)"));
}

// Field handles are kept until the database may have been closed: a handle
// read again after another company's CLIENT.DBF (columns in another order) was
// opened behind the cache's back would read the wrong column.
TEST_F(VardoTableTest, FieldHandlesAreCachedUntilTheDatabaseCloses) {
  const auto other = install_.CompaniesFolder() / "Omvänd";
  std::filesystem::create_directories(other);
  fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"CLNAME", 'C', 20}, {"ORGNO", 'C', 15}}).Add({"Omvänd AB", "556000-0000"}).WriteTo(other / "CLIENT.DBF");

  auto client = std::make_unique<CVardoPrm>(company_);
  EXPECT_EQ(client->GetString(vardo_table::kClient, "ORGNO"), samplecompany::kOrgNo);
  // Behind the cache's back: the cached handle is used and reads column one of the other table.
  BoundVardoApi().DatabaseClose();
  BoundVardoApi().DatabaseSetPath(other.c_str());
  BoundVardoApi().DatabaseOpen("Omvänd");
  EXPECT_EQ(client->GetString(vardo_table::kClient, "ORGNO"), "Omvänd AB");
  client.reset();  // empties the cache

  CVardoPrm reversed(other.string());
  EXPECT_EQ(reversed.GetString(vardo_table::kClient, "ORGNO"), "556000-0000");
  CloseVardoDatabase();
  EXPECT_EQ(GetFieldHandle(vardo_table::kClient, "ORGNO"), 0);  // asked again: the database is closed
}

// A field a reader keeps is looked up again, and read again, in a database
// opened anew: another company's CLIENT.DBF may hold its columns in another order.
TEST_F(VardoTableTest, AKeptFieldIsLookedUpAgainInADatabaseOpenedAnew) {
  const auto other = install_.CompaniesFolder() / "Omvänd";
  std::filesystem::create_directories(other);
  fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"CLNAME", 'C', 20}, {"ORGNO", 'C', 15}})
      .Add({"Omvänd AB", "556000-0000"})
      .WriteTo(other / "CLIENT.DBF");
  VardoField orgNo{vardo_table::kClient, "ORGNO"};
  {
    CVardoPrm client(company_);
    EXPECT_EQ(client.GetString(orgNo), samplecompany::kOrgNo);
    EXPECT_EQ(client.GetString(orgNo), samplecompany::kOrgNo);
  }
  CVardoPrm first(other.string());
  EXPECT_EQ(first.GetString(orgNo), "556000-0000");
  CVardoPrm second(company_);  // switches the database under the first table
  EXPECT_EQ(first.GetString(orgNo), samplecompany::kOrgNo);
}

TEST(VardoHelpers, SplitPostalCodeAndCity) {
  struct Case {
    const char* text;
    bool split;
    const char* postalCode;
    const char* city;
  };
  const Case cases[] = {
      {"123 45 Storby", true, "12345", "Storby"},
      {"SE-123 45 Storby", true, "12345", "Storby"},
      {"Box 12, 123 45 Storby", true, "1212345", "Storby"},
      {"  411 09   Göteborg ", true, "41109", "Göteborg "},
      {"Storgatan 12 B", false, "0", "Storgatan 12 B"},
      {"Storby 12345", false, "0", "Storby 12345"},
      {"Storby", false, "0", "Storby"},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string postalCode = "x", city = "y";
    EXPECT_EQ(SplitPostalCodeAndCity(c.text, postalCode, city), c.split) << c.text;
    EXPECT_EQ(postalCode, c.postalCode) << c.text;
    EXPECT_EQ(city, c.city) << c.text;
  }
}

TEST(VardoHelpers, TextsAndPaths) {
  EXPECT_EQ(FormatAmount(12.5), "12.50");
  EXPECT_EQ(FormatAmount(1234.5), "1234.50");
  EXPECT_EQ(FormatAmount(-3), "-3.00");
  EXPECT_EQ(FormatAmount(0.005), "0.01");
  EXPECT_EQ(FormatInteger(-220), "-220");
  EXPECT_EQ(GetLastPathComponent("C:\\Data\\Firma1"), "Firma1");
  EXPECT_EQ(GetLastPathComponent("C:\\Data\\Firma1\\"), "");
  EXPECT_EQ(GetLastPathComponent("/srv/vardo/Företag/Firma"), "Firma");
  EXPECT_EQ(GetLastPathComponent("Firma"), "Firma");
  EXPECT_EQ(FormatSieFilePath("/tmp/x", "SIEPREV.SE"), "/tmp/x/SIEPREV.SE");
  EXPECT_EQ(FormatSieFilePath("/tmp/x/", "ABCDEFGHIJKLMN"), "/tmp/x/ABCDEFGHIJK");
  EXPECT_EQ(MakeFilePath("/f", "vardo", ".dbd"), "/f/vardo.dbd");
  EXPECT_EQ(MakeFilePath("/f", "vardo", "dbd"), "/f/vardo.dbd");
  EXPECT_EQ(MakeFilePath("/f", "db.ver", "dbd"), "/f/db.ver");
  EXPECT_EQ(MakePersSettingsKey("100", "EDIYourRef", 1), "1100EDIYourRef");
  EXPECT_EQ(FormatVardoDate(0), "");
}

}  // namespace
