#include "sources/sqladmin/sie_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "app/application.h"
#include "sources/admin/testing/desktop_sie_side.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using platform::fake::ScopedEnv;
using sie_test::SieError;
using sie_test::SieRow;
using Rows = std::vector<ReportRow>;

struct Year {
  std::string id, start, end, chart;
};
struct Account {
  std::string yearId, number;
};

const ReportRow kNoVouchers = SieRow("Info", "    ", "Inga verifikationer kommer att kunna importeras till Molnix.");
const ReportRow kNoYears = SieError("Företaget saknar bokföringsår och SIE kan inte skapas.");

const Year k2021{"A", "2021-01-01", "2021-12-31", "EUBAS97"};
const Year k2022{"B", "2022-01-01", "2022-12-31", "EUBAS97"};
const Year k2023{"C", "2023-01-01", "2023-12-31", "EUBAS97"};

// SQL companies of database version 15.2; the administration program installed
// in edition 1000; today 2022-06-30.
class SqlSieTest : public sqladmin_test::CompanyConnection, protected sie_test::DesktopSide {
 protected:
  SqlSieTest() : DesktopSide({2022, 6, 30, 12, 0, 0}) {}

  void SetUp() override {
    CompanyConnection::SetUp();
    // Each company is read through its own program's data model; here every program's holds the same tables.
    for (const char* product : {"F", "W"}) {
      LoadDataModelFile(*GetDataModelByProductCode(product), (tree_ / "program").string());
    }
    DesktopProgram(kProductAdministration).installedEdition = 1000;
    ProgramExports("Åkeriet AB", "556000-0001",
                   {{"20200101", "20201231"}, {"20210101", "20211231"}, {"20220101", "20221231"}});
  }

  // A company of the product code with the booking years and chart, in a database of its own.
  std::string SieCompany(const std::vector<Year>& years, const std::vector<Account>& accounts = {},
                         const std::string& variant = "1", const std::string& version = "15.2") {
    std::string sql =
        "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50));"
        "INSERT INTO PRM VALUES ('556000-0001', 'Åkeriet AB');"
        "CREATE TABLE BOKFAAR (AAR_ID VARCHAR(2), BOERJAN DATE, SLUT DATE, KPTYP VARCHAR(10));"
        "CREATE TABLE KONTO (AAR_ID VARCHAR(2), KONTO VARCHAR(6), BENAEMN NVARCHAR(60))";
    for (const Year& year : years) {
      sql += ";INSERT INTO BOKFAAR VALUES ('" + year.id + "', '" + year.start + "', '" + year.end + "', '" +
             year.chart + "')";
    }
    for (const Account& account : accounts) {
      sql += ";INSERT INTO KONTO VALUES ('" + account.yearId + "', '" + account.number + "', 'Kassa')";
    }
    return Company("ftg" + std::to_string(++companies_), sql, variant, "", "DisplayVersion=" + version + "\n");
  }

  // Through the interface, as the upload job holds the reader.
  Rows Produce(const std::string& folder) {
    std::unique_ptr<I_QZ_SIE> sie = std::make_unique<CSqlAdminSie>(folder, prompter);
    return DesktopSide::Produce(*sie);
  }

  int companies_ = 0;
};

TEST_F(SqlSieTest, KitWritesBothYearsOfTheSqlCompanyFromItsDatabase) {
  const std::string folder = SieCompany({k2023, k2021, k2022}, {{"B", "1910"}, {"B", "3010"}, {"A", "1930"}});

  EXPECT_THAT(Produce(folder), IsEmpty());

  EXPECT_THAT(KitCalls(), ElementsAre("BixOpenEx(" + KitSystemFolder("KolmAdm") + ", " + folder + ", 1)",
                                      "BixGetSie(4, B, SIE.SE, " + WorkFolder() + ")",
                                      "BixGetSie(4, A, SIEPREV.SE, " + WorkFolder() + ")", "BixClose()"));
  // The temporary folder's trailing separator is not doubled.
  EXPECT_EQ(currentPath, WorkFolder() + "/SIE.SE");
  EXPECT_THAT(currentPath, ::testing::Not(HasSubstr("//")));
  EXPECT_EQ(previousPath, WorkFolder() + "/SIEPREV.SE");
  const std::string current = *platform::ReadWholeFile(currentPath);
  EXPECT_THAT(current, HasSubstr("#ORGNR 556000-0001\r\n#RAR 0 20220101 20221231\r\n#KPTYP EUBAS97\r\n"
                                 "#KONTO 1910 \"Kassa\"\r\n#KONTO 3010 \"Kassa\"\r\n"));
  EXPECT_THAT(current, ::testing::Not(HasSubstr("1930")));
  EXPECT_THAT(*platform::ReadWholeFile(previousPath), HasSubstr("#RAR 0 20210101 20211231\r\n#KPTYP EUBAS97\r\n"
                                                                 "#KONTO 1930 \"Kassa\"\r\n"));
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_THAT(desktop.transcript, IsEmpty());
}

TEST_F(SqlSieTest, BookingYearsAreTheLatestTwoStartedByToday) {
  struct Case {
    const char* name;
    std::vector<Year> years;
    std::vector<std::string> exported;  // "current/previous" as the kit was asked, any of them
  };
  const Case cases[] = {
      {"three years, one ahead", {k2021, k2022, k2023}, {"B/A"}},
      {"one year", {k2022}, {"B"}},
      {"today is a first day", {k2021, {"D", "2022-06-30", "2022-12-31", "EU"}}, {"D/A"}},
      {"equal starts compete for the previous year", {{"E", "2022-01-01", "", "EU"}, k2022}, {"B/E", "E/B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT(Produce(SieCompany(c.years)), IsEmpty());
    EXPECT_THAT(c.exported, ::testing::Contains(KitYears()));
  }
  for (const auto& years : {std::vector<Year>{}, std::vector<Year>{k2023, {"D", "2022-07-01", "", "EU"}}}) {
    SCOPED_TRACE(years.size());
    EXPECT_EQ(Produce(SieCompany(years)), Rows{kNoYears});
    EXPECT_EQ(currentPath, "");
    EXPECT_THAT(KitCalls(), IsEmpty());
  }
}

TEST_F(SqlSieTest, ChartsTheCloudCannotTakeStopTheExport) {
  const Rows accountRows{
      SieRow("AccountType", "Fel:", "Kontoplanen innehåller kontonummer som börjar på 0 eller 9."), kNoVouchers};
  struct Case {
    const char* name;
    std::vector<Year> years;
    std::vector<Account> accounts;
    Rows rows;
  };
  const Case cases[] = {
      {"old chart this year, modern last year",
       {k2021, {"B", "2022-01-01", "2022-12-31", "BAS96"}},
       {},
       {SieRow("AccountType", "Fel:", "Kontoplanen är av typen BAS96."), kNoVouchers}},
      {"0999 this year", {k2021, k2022}, {{"B", "1910"}, {"B", "0999"}}, accountRows},
      {"9000 last year", {k2021, k2022}, {{"A", "9000"}, {"B", "1910"}}, accountRows},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Produce(SieCompany(c.years, c.accounts)), c.rows);
    EXPECT_EQ(currentPath, "");
    EXPECT_EQ(previousPath, "");
    EXPECT_THAT(KitCalls(), IsEmpty());
  }

  // Accounts of a year not exported, and the limits themselves, stop nothing.
  const Year y2020{"Z", "2020-01-01", "2020-12-31", "EU"};
  EXPECT_THAT(Produce(SieCompany({y2020, k2021, k2022}, {{"Z", "0999"}, {"Z", "9000"}, {"A", "1000"}, {"B", "8999"}})),
              IsEmpty());
  EXPECT_EQ(KitYears(), "B/A");
}

TEST_F(SqlSieTest, AChartThatCannotBeCheckedIsWarnedOfAndTheExportGoesOn) {
  // The data model has the chart table, but not the column the check needs.
  std::string xml(samplecompany::SampleDataModelXml());
  const std::string accountField = "<field id=\"2\" name=\"KONTO\"";
  xml.replace(xml.find(accountField), accountField.size(), "<field id=\"2\" name=\"KONTONR\"");
  tree_.Write("renamed/kolmadm.xml", xml);
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "renamed").string());
  // The accounts the kit writes are not counted against a chart that could not be read.
  EXPECT_EQ(Produce(SieCompany({k2021, k2022}, {{"B", "1910"}, {"A", "1910"}})),
            Rows{SieRow("Warning", "Varning:", "Kontoplanen kunde inte kontrolleras: datamodellen saknar kolumnen KONTO.KONTO")});
  EXPECT_EQ(KitYears(), "B/A");
  EXPECT_NE(previousPath, "");
}

// The files are made of the booking years, the chart and the company's name and
// number: when one cannot be read, no file is made (not one without accounts or
// without its company) and a row says which table.
TEST_F(SqlSieTest, SieTablesThatCannotBeReadGiveTheirRowAndNoFile) {
  const std::string prm =
      "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50));INSERT INTO PRM VALUES ('556000-0001', 'Åkeriet AB');";
  const std::string years =
      "CREATE TABLE BOKFAAR (AAR_ID VARCHAR(2), BOERJAN DATE, SLUT DATE, KPTYP VARCHAR(10));"
      "INSERT INTO BOKFAAR VALUES ('B', '2022-01-01', '2022-12-31', 'EUBAS97')";
  // The database keeps a name longer than its column: that account cannot be fetched.
  const std::string chart =
      ";CREATE TABLE KONTO (AAR_ID VARCHAR(2), KONTO VARCHAR(6), BENAEMN NVARCHAR(60));"
      "INSERT INTO KONTO VALUES ('B', '1910', 'Kassa');"
      "INSERT INTO KONTO VALUES ('B', '1930', '" + std::string(200, 'x') + "');"
      "INSERT INTO KONTO VALUES ('B', '3010', 'Försäljning')";
  const std::string ini = "DisplayVersion=15.2\n";
  const std::string locked = SieCompany({k2021, k2022});
  const struct {
    const char* name;
    std::string folder;
    std::string lead;  // of the one error row
    std::string words;
  } cases[] = {
      {"chart missing", Company("nochart", prm + years, "1", "", ini), "Tabellen KONTO kan inte läsas: ",
       "no such table: KONTO"},
      {"an account that cannot be fetched", Company("badaccount", prm + years + chart, "1", "", ini),
       "Tabellen KONTO kan inte läsas: ", "01004"},
      {"years missing", Company("noyears", prm, "1", "", ini), "Tabellen BOKFAAR kan inte läsas: ",
       "no such table: BOKFAAR"},
      // The files carry the company's name and number.
      {"company without its row", Company("norow", "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50));" + years + chart,
                                          "1", "", ini),
       "Tabellen PRM kan inte läsas: ", "tabellen har ingen rad"},
      {"database gone", Company("gone", "", "1", "", ini), "Företagets databas kan inte öppnas: ", "connect failed"},
      {"database locked", locked, "Tabellen BOKFAAR kan inte läsas: ", "database is locked"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<sqladmin_test::HeldLock> lock;
    if (c.folder == locked) lock.emplace(Database("ftg" + std::to_string(companies_)));
    const Rows rows = Produce(c.folder);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].kind, "Error");
    EXPECT_EQ(rows[0].name, "SIE");
    EXPECT_THAT(rows[0].text, ::testing::StartsWith(c.lead));
    EXPECT_THAT(rows[0].text, HasSubstr(c.words));
    EXPECT_EQ(currentPath, "");
    EXPECT_THAT(KitCalls(), IsEmpty());
  }

  // A program whose data model did not load says so, not that the company lacks years.
  administration().clear();
  tree_.Write("broken/kolmadm.xml", "<datamodel><table");
  LoadDataModelFile(administration(), (tree_ / "broken").string());
  const Rows rows = Produce(SieCompany({k2022}));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_THAT(rows[0].text, ::testing::StartsWith("Företagets datamodell saknas: " + (tree_ / "broken" / "kolmadm.xml").string()));
}

TEST_F(SqlSieTest, OldChartOfThePreviousYearLeavesThatYearOut) {
  const std::string folder = SieCompany({{"A", "2021-01-01", "2021-12-31", "NE2007"}, k2022});
  EXPECT_EQ(Produce(folder),
            (Rows{SieRow("Warning", "Varning:", "Kontoplanen är av typen NE2007."),
                  SieRow("Info", "    ",
                         "Inga verifikationer för året 20210101 - 20211231 kommer att kunna importeras till Molnix.")}));
  EXPECT_EQ(KitYears(), "B");
  EXPECT_NE(currentPath, "");
  EXPECT_EQ(previousPath, "");
}

TEST_F(SqlSieTest, ProducerFollowsProductAndEdition) {
  // An association company of any edition: the association program's kit.
  EXPECT_THAT(Produce(SieCompany({k2021, k2022}, {}, "F")), IsEmpty());
  EXPECT_THAT(KitCalls().front(), ::testing::StartsWith("BixOpenEx(" + KitSystemFolder("KolmFor") + ", "));
  EXPECT_EQ(KitYears(), "B/A");

  // The smallest edition: straight to the program, after telling the user.
  DesktopProgram(kProductAdministration).installedEdition = 200;
  const std::string folder = SieCompany({k2021, k2022}, {}, "0");
  EXPECT_THAT(Produce(folder), IsEmpty());
  EXPECT_THAT(KitCalls(), IsEmpty());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (platform::Prompt{"Tessal Administration kommer nu att starta för att kunna skapa SIE-filer. För att "
                              "slutföra SIE-exporten kan du behöva gå igenom vissa dialoger i programmet.",
                              GetAppCaption(), platform::PromptIcon::Information}));
  EXPECT_EQ(desktop.transcript.front(), "start " + programFolder + "/KolmAdm.exe /F " + folder);
  EXPECT_TRUE(DesktopWasAskedTo("System: [VäljÅr('2022-01-01')]"));
  EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + currentPath + "';4)]"));
  EXPECT_TRUE(DesktopWasAskedTo("System: [VäljÅr('2021-01-01')]"));
  EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + previousPath + "';4)]"));
  EXPECT_EQ(platform::ReadWholeFile(currentPath), ProgramFile("20220101"));
  EXPECT_EQ(platform::ReadWholeFile(previousPath), ProgramFile("20210101"));
}

TEST_F(SqlSieTest, KitFailingOnThePreviousYearHandsBothYearsToTheProgram) {
  ScopedEnv failure("BIXKIT_FAIL_YEAR", "A");
  const std::string folder = SieCompany({k2021, k2022});

  EXPECT_THAT(Produce(folder), IsEmpty());

  EXPECT_EQ(KitYears(), "B/A");  // the kit wrote this year's file before it failed
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + currentPath + "';4)]"));
  EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + previousPath + "';4)]"));
  EXPECT_EQ(platform::ReadWholeFile(currentPath), ProgramFile("20220101"));  // the program's file, not the kit's
  EXPECT_EQ(platform::ReadWholeFile(previousPath), ProgramFile("20210101"));

  desktop.startResult = 2;  // and when the program cannot be started either, no file is kept
  EXPECT_EQ(Produce(folder),
            (Rows{SieError("SIE-fil kunde inte skapas. Det gick inte öppna företaget i Tessal Administration.")}));
  EXPECT_EQ(currentPath, "");
  EXPECT_EQ(previousPath, "");
}

// A second export whose previous year is left out names no file of the first.
TEST_F(SqlSieTest, SkippedPreviousYearOfTheProgramExportKeepsNoStalePath) {
  DesktopProgram(kProductAdministration).installedEdition = 200;
  CSqlAdminSie sie(SieCompany({{"Z", "2020-01-01", "2020-12-31", "BAS95"}, k2021, k2022}, {}, "0"), prompter);
  EXPECT_THAT(DesktopSide::Produce(sie), IsEmpty());
  EXPECT_NE(previousPath, "");

  // A year earlier the previous year is the one of the old chart.
  clock.Set({2021, 6, 30, 12, 0, 0});
  desktop.transcript.clear();
  EXPECT_EQ(DesktopSide::Produce(sie).size(), 2u);
  EXPECT_NE(currentPath, "");
  EXPECT_EQ(previousPath, "");
  EXPECT_TRUE(DesktopWasAskedTo("System: [VäljÅr('2021-01-01')]"));
  EXPECT_FALSE(DesktopWasAskedTo("System: [VäljÅr('2020-01-01')]"));

  // A program that acknowledges the export but writes nothing leaves no path either.
  desktop.exportTexts.clear();
  EXPECT_EQ(DesktopSide::Produce(sie), (Rows{SieRow("Warning", "Varning:", "Kontoplanen är av typen BAS95."),
                                    SieRow("Info", "    ",
                                           "Inga verifikationer för året 20200101 - 20201231 kommer att kunna "
                                           "importeras till Molnix."),
                                    SieError("SIE-filen SIE.SE kunde inte skapas.")}));
  EXPECT_EQ(currentPath, "");
}

// The desktop side reads the database again to write the files: a file that
// does not tell what the converter read is not sent, and the row says why.
TEST_F(SqlSieTest, AFileThatDoesNotTellWhatWasReadIsNotSent) {
  DesktopProgram(kProductAdministration).installedEdition = 200;
  desktop.exportTexts["2021-01-01"] =
      sie_test::ProgramSieFile("Åkeriet AB", "556000-0001", {"20210101", "20211231", 1});
  EXPECT_EQ(Produce(SieCompany({k2021, k2022}, {{"A", "1930"}, {"A", "3010"}}, "0")),
            (Rows{SieError("SIE-fil kunde inte skapas. Filen SIEPREV.SE stämmer inte med företagets tabeller: filen "
                           "har 1 konton men kontoplanen 2.")}));
  EXPECT_EQ(currentPath, "");
  EXPECT_EQ(previousPath, "");

  // The kit's files of the same company tell what was read.
  DesktopProgram(kProductAdministration).installedEdition = 1000;
  EXPECT_THAT(Produce(SieCompany({k2021, k2022}, {{"A", "1930"}, {"A", "3010"}, {"B", "1910"}})), IsEmpty());
  EXPECT_NE(previousPath, "");
}

TEST_F(SqlSieTest, ProgramAndVersionChecksComeFirst) {
  const std::string administrationVersion =
      "För att kunna skapa SIE-filer krävs att installerad version av Tessal Administration stöder\r\n\t"
      "företagets databasversion.";
  struct Case {
    const char* name;
    std::string variant;
    double programVersion;
    std::string databaseVersion;
    Rows rows;
  };
  const Case cases[] = {
      {"invoicing company", "W", 2016.1, "15.2", {SieError("Fakturering stöder inte SIE-överföring.")}},
      {"between two pairs", "1", 2018.8, "18.7", {SieError(administrationVersion)}},
      {"above the last pair", "1", 2024.0, "23.3", {SieError(administrationVersion)}},
      {"pair of another database", "1", 2016.1, "16.2", {SieError(administrationVersion)}},
      {"association pair of another database", "F", 2016.2, "15.2",
       {SieError("För att kunna skapa SIE-filer krävs att installerad version av Tessal Vadorado stöder\r\n\t"
                 "företagets databasversion.")}},
      {"edition differs", "2", 2016.1, "15.2",
       {SieError("SIE-fil kunde inte skapas. Företaget måste vara från samma programvariant av Tessal "
                 "Administration\r\n\tsom finns installerad på datorn.")}},
      // Both versions are read from text the same way, so written differently they still pair.
      {"version written with a trailing zero", "1", 2016.1, "15.20", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesktopProgram(kProductAdministration).version = c.programVersion;
    DesktopProgram(kProductAssociation).version = c.programVersion;
    EXPECT_EQ(Produce(SieCompany({k2021, k2022}, {}, c.variant, c.databaseVersion)), c.rows);
    EXPECT_EQ(currentPath.empty(), !c.rows.empty());
  }

  DesktopProgram(kProductAssociation).installed = false;
  EXPECT_EQ(Produce(SieCompany({k2022}, {}, "F")),
            Rows{SieError("För att kunna skapa SIE-filer krävs att Tessal Vadorado är installerat på datorn.")});
  DesktopProgram(kProductAdministration).installed = false;
  EXPECT_EQ(Produce(SieCompany({k2022})),
            Rows{SieError("För att kunna skapa SIE-filer krävs att Tessal Administration är installerat på datorn.")});
}

TEST_F(SqlSieTest, ACompanyWithoutTheBookingYearTableInItsModelHasNoBookingYears) {
  std::string xml(samplecompany::SampleDataModelXml());
  const std::size_t start = xml.find("<table id=\"60\" name=\"BOKFAAR\"");
  xml.erase(start, xml.find("</table>", start) + 8 - start);
  const std::size_t reference = xml.find("<reference table=\"BOKFAAR\"");
  xml.erase(reference, xml.find("</reference>", reference) + 12 - reference);
  tree_.Write("noyears/kolmadm.xml", xml);
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "noyears").string());
  ASSERT_NE(administration().table_count(), 0u);
  CSqlAdminSie sie(SieCompany({k2022}), prompter);
  EXPECT_TRUE(sie.IsAvailable());
  EXPECT_EQ(DesktopSide::Produce(sie), Rows{kNoYears});
  EXPECT_FALSE(sie.MoveFirst());
  EXPECT_FALSE(CSqlAdminSie(SieCompany({}, {}, "W"), prompter).IsAvailable());
}

}  // namespace
