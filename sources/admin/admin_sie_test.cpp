#include "sources/admin/admin_sie.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/paths.h"
#include "sources/admin/sie_versions.h"
#include "sources/admin/testing/desktop_sie_side.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using platform::fake::ScopedEnv;
using sie_test::SieError;
using sie_test::SieRow;
using Rows = std::vector<ReportRow>;

struct YearRecord {
  std::string id, start, end, chart;
};
struct AccountRecord {
  std::string yearId, account;
};

const YearRecord kLastYear{"B", "20250101", "20251231", "EU"};
const YearRecord kThisYear{"A", "20260101", "20261231", "EU"};

// A DBF company of the administration program (edition 500, database 15.2) with
// this year and last year, today 2026-06-15.
class AdminSieTest : public ::testing::Test, protected sie_test::DesktopSide {
 protected:
  AdminSieTest() : DesktopSide({2026, 6, 15, 12, 0, 0}) {
    ProgramExports("Företaget AB", "556677-8899", {{"20260101", "20261231", 1}, {"20250101", "20251231", 1}});
  }

  void WriteCompany(const std::string& productCode = "5", const std::vector<YearRecord>& years = {kLastYear,
                                                                                                 kThisYear},
                    const std::vector<AccountRecord>& accounts = {{"A", "1910"}, {"B", "1910"}}) {
    using fixtures::DbfFormat;
    using fixtures::DbfWriter;
    DbfWriter(DbfFormat::DBase3,
              {{"PRG", 'C', 3}, {"PRG_TYPE", 'C', 4}, {"VERSION", 'C', 8}, {"NAMN", 'C', 30}, {"ORGNR", 'C', 13}})
        .Add({"ADM", productCode, "15.2", "Företaget AB", "556677-8899"})
        .WriteTo(company / "PRM.DBF");
    DbfWriter bookingYears(DbfFormat::DBase3,
                           {{"AAR_ID", 'C', 1}, {"BOERJAN", 'D', 8}, {"SLUT", 'D', 8}, {"KPTYP", 'C', 10}});
    for (const auto& year : years) bookingYears.Add({year.id, year.start, year.end, year.chart});
    bookingYears.WriteTo(company / "BOKFAAR.DBF");
    DbfWriter chart(DbfFormat::DBase3, {{"AAR_ID", 'C', 1}, {"KONTO", 'N', 6}, {"BENAEMN", 'C', 20}});
    for (const auto& account : accounts) chart.Add({account.yearId, account.account, "Konto"});
    chart.WriteTo(company / "KONTO.DBF");
  }

  Rows Produce() {
    CAdminSie sie(company.string(), prompter);
    return DesktopSide::Produce(sie);
  }

  platform::fake::TempTree tree;
  const std::filesystem::path company = tree.MakeFolder("Företaget");
};

TEST_F(AdminSieTest, KitExportsTheLatestTwoStartedYearsWhateverTheirOrder) {
  const YearRecord future{"C", "20270101", "20271231", "EU"};
  const YearRecord undated{"D", "", "", "EU"};
  const YearRecord older{"E", "20240101", "20241231", "EU"};
  for (const auto& years : {std::vector{future, kThisYear, undated, kLastYear, older},
                            std::vector{older, kLastYear, undated, kThisYear, future}}) {
    WriteCompany("5", years);
    EXPECT_THAT(Produce(), IsEmpty());
    EXPECT_THAT(KitCalls(), ElementsAre("BixOpenEx(" + KitSystemFolder("KolmAdm") + ", " + company.string() + ", 1)",
                                        "BixGetSie(4, A, SIE.SE, " + WorkFolder() + ")",
                                        "BixGetSie(4, B, SIEPREV.SE, " + WorkFolder() + ")", "BixClose()"));
    EXPECT_EQ(previousPath, platform::JoinPath(WorkFolder(), "SIEPREV.SE"));
    EXPECT_THAT(*platform::ReadWholeFile(currentPath), ::testing::HasSubstr("#RAR 0 20260101 20261231\r\n"));
    EXPECT_THAT(*platform::ReadWholeFile(previousPath), ::testing::HasSubstr("#RAR 0 20250101 20251231\r\n"));
  }
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_THAT(desktop.transcript, IsEmpty());
}

TEST_F(AdminSieTest, OneYearOnlyAsksForNoPreviousYear) {
  ScopedEnv remark("BIXKIT_SIE_CODE", "78");  // a remark still counts as written
  // A year without identifier cannot be asked for, so it is no previous year either.
  const YearRecord unnamed{"", "20250101", "20251231", "EU"};
  for (const auto& years : {std::vector{kThisYear}, std::vector{unnamed, kThisYear}}) {
    SCOPED_TRACE(years.size());
    WriteCompany("5", years);
    EXPECT_THAT(Produce(), IsEmpty());
    EXPECT_EQ(std::ranges::count_if(KitCalls(), [](const std::string& c) { return c.starts_with("BixGetSie"); }),
              1);
    EXPECT_EQ(currentPath, platform::JoinPath(WorkFolder(), "SIE.SE"));
    EXPECT_EQ(previousPath, "");
  }
}

TEST_F(AdminSieTest, CompaniesThatCannotBeExportedGetTheirRows) {
  const Rows noVouchers{SieRow("AccountType", "Fel:", "Kontoplanen innehåller kontonummer som börjar på 0 eller 9."),
                        SieRow("Info", "    ", "Inga verifikationer kommer att kunna importeras till Molnix.")};
  struct Case {
    const char* name;
    std::function<void()> setUp;
    Rows rows;
  };
  const Case cases[] = {
      {"invoicing company", [this] { WriteCompany("W"); },
       {SieError("Fakturering stöder inte SIE-överföring.")}},
      {"association program missing",
       [this] {
         WriteCompany("F");
         DesktopProgram(kProductAssociation).installed = false;
       },
       {SieError("För att kunna skapa SIE-filer krävs att Tessal Vadorado är installerat på datorn.")}},
      {"administration program missing",
       [this] {
         WriteCompany();
         DesktopProgram(kProductAdministration).installed = false;
       },
       {SieError("För att kunna skapa SIE-filer krävs att Tessal Administration är installerat på datorn.")}},
      {"program version not in the table",
       [this] {
         WriteCompany();
         DesktopProgram(kProductAdministration).version = 2016.15;
       },
       {SieError("För att kunna skapa SIE-filer krävs att installerad version av Tessal Administration stöder\r\n"
                 "\tföretagets databasversion.")}},
      {"association version pairs another database",
       [this] {
         WriteCompany("F");
         DesktopProgram(kProductAssociation).version = 2016.2;
       },
       {SieError("För att kunna skapa SIE-filer krävs att installerad version av Tessal Vadorado stöder\r\n"
                 "\tföretagets databasversion.")}},
      {"edition mismatch",
       [this] {
         WriteCompany("1");
       },
       {SieError("SIE-fil kunde inte skapas. Företaget måste vara från samma programvariant av Tessal "
                 "Administration\r\n\tsom finns installerad på datorn.")}},
      {"every year starts after today", [this] { WriteCompany("5", {{"C", "20270101", "", ""}}); },
       {SieError("Företaget saknar bokföringsår och SIE kan inte skapas.")}},
      {"current year without identifier",
       [this] { WriteCompany("5", {kLastYear, {"", "20260101", "20261231", ""}}); },
       {SieError("Företaget saknar bokföringsår och SIE kan inte skapas.")}},
      {"old chart this year",
       [this] { WriteCompany("5", {kLastYear, {"A", "20260101", "20261231", "BAS95"}}); },
       {SieRow("AccountType", "Fel:", "Kontoplanen är av typen BAS95."),
        SieRow("Info", "    ", "Inga verifikationer kommer att kunna importeras till Molnix.")}},
      {"account 999 this year",
       [this] { WriteCompany("5", {kLastYear, kThisYear}, {{"A", "1910"}, {"A", "999"}}); },
       noVouchers},
      {"account 10000 last year",
       [this] { WriteCompany("5", {kLastYear, kThisYear}, {{"B", "10000"}, {"A", "1910"}}); },
       noVouchers},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.setUp();
    EXPECT_EQ(Produce(), c.rows);
    EXPECT_EQ(currentPath, "");
    EXPECT_EQ(previousPath, "");
    EXPECT_THAT(KitCalls(), IsEmpty());
    DesktopProgram(kProductAdministration).version = 2016.1;
    DesktopProgram(kProductAssociation).version = 2016.1;
    DesktopProgram(kProductAdministration).installed = true;
    DesktopProgram(kProductAssociation).installed = true;
  }
}

TEST_F(AdminSieTest, LookalikesOfStoppingCasesExport) {
  // Accounts outside the range only in a year not exported; a chart type in lower case.
  WriteCompany("5", {kLastYear, {"A", "20260101", "20261231", "bas95"}, {"C", "20230101", "20231231", "EU"}},
               {{"A", "1000"}, {"B", "8999"}, {"C", "999"}, {"C", "10000"}});
  EXPECT_THAT(Produce(), IsEmpty());
  EXPECT_NE(currentPath, "");
  EXPECT_NE(previousPath, "");
}

TEST(SieVersions, ProgramVersionsPairWithOneDatabaseVersion) {
  EXPECT_EQ(SieVersionPairs().size(), 78u);
  EXPECT_TRUE(std::ranges::is_sorted(SieVersionPairs(), {}, &SieVersionPair::programVersion));
  struct Case {
    double program, database;
    bool accepted;
  };
  for (const Case& c : {Case{2016.1, 15.2, true}, Case{2016.15, 15.2, false}, Case{2016.1, 16.2, false},
                        Case{5.0, 5.0, true}, Case{5.52, 5.4, true}, Case{2023.3, 23.3, true},
                        Case{2024.0, 23.3, false}, Case{2018.8, 18.7, false}, Case{4.9, 5.0, false}, Case{2019.22, 19.22, true}}) {
    EXPECT_EQ(IsSieVersionAccepted(c.program, c.database), c.accepted) << c.program << " " << c.database;
  }
}

TEST_F(AdminSieTest, SmallestEditionExportsThroughTheProgramWithoutTheKit) {
  WriteCompany("0");
  DesktopProgram(kProductAdministration).installedEdition = 200;

  EXPECT_THAT(Produce(), IsEmpty());

  EXPECT_THAT(KitCalls(), IsEmpty());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text,
            "Tessal Administration kommer nu att starta för att kunna skapa SIE-filer. För att slutföra "
            "SIE-exporten kan du behöva gå igenom vissa dialoger i programmet.");
  EXPECT_EQ(prompter.shown[0].caption, GetAppCaption());
  EXPECT_EQ(prompter.shown[0].icon, platform::PromptIcon::Information);
  EXPECT_EQ(desktop.transcript.front(), "start " + programFolder + "/KolmAdm.exe /F " + company.string());
  EXPECT_TRUE(DesktopWasAskedTo("System: [VäljÅr('2026-01-01')]"));
  EXPECT_TRUE(DesktopWasAskedTo("System: [VäljÅr('2025-01-01')]"));
  EXPECT_EQ(platform::ReadWholeFile(currentPath), ProgramFile("20260101"));
  EXPECT_EQ(platform::ReadWholeFile(previousPath), ProgramFile("20250101"));
}

TEST_F(AdminSieTest, OldChartOfThePreviousYearLeavesThatYearOut) {
  WriteCompany("0", {{"B", "20250101", "20251231", "BAS96"}, kThisYear});
  DesktopProgram(kProductAdministration).installedEdition = 200;

  EXPECT_EQ(Produce(), (Rows{SieRow("Warning", "Varning:", "Kontoplanen är av typen BAS96."),
                             SieRow("Info", "    ",
                                    "Inga verifikationer för året 20250101 - 20251231 kommer att kunna importeras "
                                    "till Molnix.")}));
  EXPECT_NE(currentPath, "");
  EXPECT_EQ(previousPath, "");
  EXPECT_FALSE(DesktopWasAskedTo("System: [VäljÅr('2025-01-01')]"));
}

TEST_F(AdminSieTest, KitFailureHandsBothYearsToTheProgram) {
  struct Case {
    const char* variable;
    const char* value;
    const char* logLine;
  };
  for (const Case& c : {Case{"BIXKIT_OPEN_CODE", "5", "Felkod 5 vid anrop av BixOpenEx. Felbeskrivning från BIX: Fel 5"},
                        Case{"BIXKIT_FAIL_YEAR", "B",
                             "Felkod 6 vid anrop av BixGetSie. Felbeskrivning från BIX: Fel 6"}}) {
    SCOPED_TRACE(c.variable);
    ScopedEnv failure(c.variable, c.value);
    platform::fake::CapturedLog caseLog;
    prompter.shown.clear();
    desktop.transcript.clear();
    WriteCompany();

    EXPECT_THAT(Produce(), IsEmpty());

    EXPECT_THAT(caseLog.Lines(), ElementsAre(c.logLine));
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + currentPath + "';4)]"));
    EXPECT_TRUE(DesktopWasAskedTo("Bokf: [SieExport('" + previousPath + "';4)]"));
    EXPECT_EQ(platform::ReadWholeFile(currentPath), ProgramFile("20260101"));  // the program's, not the kit's
    EXPECT_EQ(platform::ReadWholeFile(previousPath), ProgramFile("20250101"));
  }
}

TEST_F(AdminSieTest, AssociationCompanyFallsBackToItsOwnProgram) {
  WriteCompany("F");
  InstallRegistry("");  // no kit for either program
  desktop.programWindow.title = "Tessal Vadorado - Förening";

  EXPECT_THAT(Produce(), IsEmpty());

  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_THAT(prompter.shown[0].text, ::testing::StartsWith("Tessal Vadorado kommer nu att starta"));
  EXPECT_EQ(desktop.transcript.front(), "start " + programFolder + "/KolmFor.exe /F " + company.string());
  EXPECT_EQ(desktop.transcript.back(), "close Tessal Vadorado - Förening");
}

TEST_F(AdminSieTest, FailedProgramExportEmptiesThePaths) {
  desktop.startResult = 2;
  // Without the kit, and after the kit wrote this year's file and failed on last year's.
  for (const char* productCode : {"0", "5"}) {
    SCOPED_TRACE(productCode);
    WriteCompany(productCode);
    DesktopProgram(kProductAdministration).installedEdition = productCode == std::string("0") ? 200 : 500;
    ScopedEnv failure("BIXKIT_FAIL_YEAR", "B");
    EXPECT_EQ(Produce(),
              (Rows{SieError("SIE-fil kunde inte skapas. Det gick inte öppna företaget i Tessal Administration.")}));
    EXPECT_EQ(currentPath, "");
    EXPECT_EQ(previousPath, "");
  }
  EXPECT_THAT(KitCalls(), ::testing::Contains(::testing::StartsWith("BixGetSie(4, A, SIE.SE, ")));
}

// Where no desktop program can run, the user is not told that one starts.
TEST_F(AdminSieTest, ADesktopThatCannotStartTheProgramIsNotToldItStarts) {
  WriteCompany("0");
  DesktopProgram(kProductAdministration).installedEdition = 200;
  desktop.canStartPrograms = false;

  EXPECT_EQ(Produce(),
            (Rows{SieError("SIE-fil kunde inte skapas. Det gick inte öppna företaget i Tessal Administration.")}));
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_THAT(desktop.transcript, IsEmpty());
  EXPECT_EQ(currentPath, "");
  EXPECT_EQ(previousPath, "");
}

TEST_F(AdminSieTest, FilesTheProgramDidNotWriteAreNotUploaded) {
  WriteCompany("0");
  DesktopProgram(kProductAdministration).installedEdition = 200;
  desktop.exportTexts.clear();  // acknowledges the exports but writes nothing

  // Without the current year's file nothing can be sent.
  EXPECT_EQ(Produce(), (Rows{SieError("SIE-filen SIE.SE kunde inte skapas.")}));
  EXPECT_EQ(currentPath, "");
  EXPECT_EQ(previousPath, "");
}

TEST_F(AdminSieTest, AMissingPreviousYearFileIsAWarningAndTheCurrentOneGoes) {
  WriteCompany();
  ScopedEnv silent("BIXKIT_SILENT_YEAR", "B");
  EXPECT_EQ(Produce(), (Rows{SieRow("Warning", "Varning:", "SIE-filen SIEPREV.SE kunde inte skapas.")}));
  EXPECT_EQ(currentPath, platform::JoinPath(WorkFolder(), "SIE.SE"));
  EXPECT_EQ(previousPath, "");

  ScopedEnv silentCurrent("BIXKIT_SILENT_YEAR", "A");
  EXPECT_EQ(Produce(), (Rows{SieError("SIE-filen SIE.SE kunde inte skapas.")}));
  EXPECT_EQ(currentPath, "");
  EXPECT_EQ(previousPath, "");
}

// A booking year is named by a whole character, and the kit is given it in its own
// code page: "Ä" and "Å" share their first UTF-8 byte but are different years.
TEST_F(AdminSieTest, BookingYearsAreNamedByWholeCharacters) {
  const YearRecord current{"Ä", "20260101", "20261231", "EU"};
  const YearRecord previous{"Ö", "20250101", "20251231", "EU"};
  const YearRecord older{"Å", "20240101", "20241231", "EU"};
  // An account outside the range in a year that is not exported stops nothing.
  WriteCompany("5", {older, previous, current}, {{"Ä", "1910"}, {"Ö", "1930"}, {"Å", "0999"}});
  EXPECT_THAT(Produce(), IsEmpty());
  EXPECT_THAT(KitCalls(), ElementsAre("BixOpenEx(" + KitSystemFolder("KolmAdm") + ", " + company.string() + ", 1)",
                                      "BixGetSie(4, Ä, SIE.SE, " + WorkFolder() + ")",
                                      "BixGetSie(4, Ö, SIEPREV.SE, " + WorkFolder() + ")", "BixClose()"));
  const std::string sie = *platform::ReadWholeFile(currentPath);
  EXPECT_THAT(sie, ::testing::HasSubstr("#RAR 0 20260101 20261231\r\n#KPTYP EU\r\n#KONTO 1910 "));
  EXPECT_THAT(sie, ::testing::Not(::testing::HasSubstr("0999")));

  // The same account in the current year does stop the export.
  WriteCompany("5", {older, previous, current}, {{"Ä", "0999"}});
  EXPECT_EQ(Produce().front().kind, "AccountType");
}

TEST_F(AdminSieTest, ShortStartDateGivesTheErrorRowInsteadOfACrash) {
  WriteCompany("0", {{"A", "2026", "20261231", "EU"}});
  DesktopProgram(kProductAdministration).installedEdition = 200;
  EXPECT_EQ(Produce(),
            (Rows{SieError("SIE-fil kunde inte skapas. Det gick inte öppna företaget i Tessal Administration.")}));
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_THAT(desktop.transcript, IsEmpty());
}

TEST_F(AdminSieTest, NoWorkFolderGivesTheErrorRow) {
  WriteCompany();
  // A temp folder so deep that no folder can be made inside it.
  std::filesystem::path deep = tree / "deep";
  while (deep.string().size() < 4086) {
    deep /= std::string(std::min<std::size_t>(200, 4088 - deep.string().size()), 'd');
  }
  std::filesystem::create_directories(deep);
  ScopedEnv tmp("TMPDIR", deep.string());

  EXPECT_EQ(Produce(), (Rows{SieError("SIE-fil kunde inte skapas. Det gick inte att skapa en tillfällig mapp.")}));
  EXPECT_THAT(KitCalls(), IsEmpty());
}

// Booking years or a chart of accounts that cannot be read whole make no SIE
// file: the kit would export what it read of them. An Error row names the
// table; the kit is not asked.
TEST_F(AdminSieTest, TablesNotReadWholeMakeNoFile) {
  const auto cut = [](const std::filesystem::path& path) {
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 9);
  };
  const struct {
    const char* file;
    std::function<void(const std::filesystem::path&)> damage;
    std::string text;  // the start of the one row
  } cases[] = {
      {"KONTO.DBF", [](auto& path) { std::filesystem::remove(path); }, "Filen KONTO.DBF saknas."},
      {"KONTO.DBF", cut, "Filen KONTO.DBF kan inte läsas helt: the last record is cut short"},
      {"BOKFAAR.DBF", cut, "Filen BOKFAAR.DBF kan inte läsas helt: the last record is cut short"},
      {"BOKFAAR.DBF", [](auto& path) { std::filesystem::resize_file(path, 0); },
       "Filen BOKFAAR.DBF kan inte läsas helt: the file is shorter than the 32-byte header"},
      {"BOKFAAR.DBF", [](auto& path) { std::filesystem::remove(path); },
       "Företaget saknar bokföringsår och SIE kan inte skapas."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    WriteCompany();
    c.damage(company / c.file);
    const Rows rows = Produce();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].kind, "Error");
    EXPECT_THAT(rows[0].text, ::testing::StartsWith(c.text));
    EXPECT_EQ(currentPath, "");
    EXPECT_THAT(KitCalls(), IsEmpty());
  }
}

// The tables are read before the desktop side writes the files, and read again
// by it: another program that takes a table between the kit's two calls leaves
// what the kit could not read out of the previous year's file. A file that does
// not tell what the converter read is not sent, nor the other one, and the row
// says why; so for the program's files.
TEST_F(AdminSieTest, AFileThatDoesNotTellWhatWasReadIsNotSent) {
  const struct {
    const char* productCode;  // "0": the smallest edition, exported by the program
    const char* lockedFile;   // taken between the kit's calls
    std::string row;
  } cases[] = {
      {"5", "PRM.DBF",
       "Filen SIEPREV.SE stämmer inte med företagets tabeller: företagsnamnet är \"\" i filen men \"Företaget AB\" i "
       "företaget; organisationsnumret är \"\" i filen men \"556677-8899\" i företaget."},
      {"5", "KONTO.DBF", "Filen SIEPREV.SE stämmer inte med företagets tabeller: filen har 0 konton men kontoplanen 3."},
      {"0", "",
       "Filen SIE.SE stämmer inte med företagets tabeller: räkenskapsåret är 20250101 - 20251231 i filen men "
       "20260101 - 20261231 i företaget; filen har 3 konton men kontoplanen 2."},
  };
  // The program writes last year's file when asked for this year's.
  ProgramExports("Företaget AB", "556677-8899", {{"20250101", "20251231", 3}});
  desktop.exportTexts["2026-01-01"] = ProgramFile("20250101");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    ScopedEnv lockedYear("BIXKIT_LOCK_YEAR", "B");
    ScopedEnv lockedFile("BIXKIT_LOCK_FILE", c.lockedFile);
    WriteCompany(c.productCode, {kLastYear, kThisYear},
                 {{"A", "1910"}, {"A", "3010"}, {"B", "1910"}, {"B", "1930"}, {"B", "3010"}});
    DesktopProgram(kProductAdministration).installedEdition = c.productCode == std::string("0") ? 200 : 500;
    EXPECT_EQ(Produce(), (Rows{SieError("SIE-fil kunde inte skapas. " + c.row)}));
    EXPECT_EQ(currentPath, "");
    EXPECT_EQ(previousPath, "");
  }
}

TEST_F(AdminSieTest, AvailableForEveryCompanyButAnInvoicingOne) {
  for (const auto& [code, available] : {std::pair{"5", true}, std::pair{"F", true}, std::pair{"W", false}}) {
    WriteCompany(code);
    EXPECT_EQ(CAdminSie(company.string(), prompter).IsAvailable(), available) << code;
  }
}

}  // namespace
