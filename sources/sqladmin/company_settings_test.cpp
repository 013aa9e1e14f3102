#include "sources/sqladmin/company_settings.h"

#include <gtest/gtest.h>

#include "platform/fake/captured_log.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {

using sqladmin_test::CompanyConnection;

TEST(CompanyTypeOf, FollowsTheOrganisationNumberAndTheName) {
  const struct {
    const char* orgNr;
    const char* name;
    int type;
  } cases[] = {
      {"5566-12", "Bolaget AB", 1},
      {"5566", "Bolaget AB", 0},  // four characters or fewer
      {"8001011234", "Vem som helst", 2},
      {"8012011234", "Vem som helst", 2},
      {"5500001234", "Bolaget AB", 0},
      {"5513001234", "Bolaget AB", 0},
      {"5519001234", "Bolaget AB", 0},
      {"7696001234", "Bygdens EK. FÖR.", 3},
      {"8696001234", "Mejeriet ekonomisk förening", 3},
      {"7696001234", "Bygdens förening", 0},
      {"9696001234", "Bröderna Olsson HB", 5},
      {"9696001234", "HB Bröderna", 5},
      {"9696001234", "Olssons Handelsbolag", 5},
      {"9696001234", "Olssons KOMMANDITBOLAG", 6},
      {"9696001234", "Olsson kb", 6},
      {"9696001234", " hb", 0},  // three characters
      {"9696001234", "Olssons firma", 0},
      {"6696001234", "Olssons firma", 0},
      // Only digits count: a dash or letter early on does not make a month of them.
      {"556-677-8899", "Bolaget AB", 1},
      {"5-5667788", "Bolaget AB", 1},
      {"55AB661234", "Bolaget AB", 1},
      {"55-4", "Bolaget AB", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CompanyTypeOf(c.orgNr, c.name), c.type) << c.orgNr << " " << c.name;
}

constexpr const char* kParameters =
    "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50), POSTADR NVARCHAR(50), POSTNR VARCHAR(10),"
    " ORT NVARCHAR(30), TEL VARCHAR(20), EPOST VARCHAR(80), WWW VARCHAR(80), MOMSREGNR VARCHAR(20),"
    " BGIRO VARCHAR(12), PGIRO VARCHAR(12), SATE NVARCHAR(30), EANLOC VARCHAR(13), EJ_FSKATT BIT, H_SKVHUS BIT,"
    " PRG_TYPE VARCHAR(2), SWIFT_ADR VARCHAR(11), IBAN_NR VARCHAR(34), KL_FKRECID VARCHAR(40), AKI_OCR BIT);"
    "CREATE TABLE NEWNUM (ID INTEGER, NR BIGINT);"
    "INSERT INTO NEWNUM VALUES (1, 100);"
    "INSERT INTO NEWNUM VALUES (2, 200);"
    "INSERT INTO NEWNUM VALUES (3, 300);"
    "INSERT INTO NEWNUM VALUES (4, 400);"
    "CREATE TABLE PRM2 (MVSREDPER SMALLINT)";

TEST_F(CompanyConnection, CompanySettingsAreReadAndCleanedAtConstruction) {
  const std::string folder = Company(
      "ftg",
      std::string(kParameters) +
          ";INSERT INTO PRM VALUES (' 5566-12 ', 'Åkeri AB', 'Box 1', '123 45', 'Östersund', '063-12 34',"
          " 'info@akeri.se', 'akeri.se', 'SE12-34 56', '123-4567', ' 12 34 5-6', 'Östersund', '7350000000000',"
          " NULL, 1, '1', '', 'SE12 3456', '', 0);"
          "INSERT INTO PRM2 VALUES (2)",
      "1", "", "[Byggtjanst]\nActive=1\n");
  CSqlAdminCompanySettingsDb company(folder);
  EXPECT_EQ(company.GetCorporateIdentityNumber(), "5566-12");
  EXPECT_EQ(company.GetName(), "Åkeri AB");
  EXPECT_EQ(company.GetPostalCode(), "12345");
  EXPECT_EQ(company.GetCity(), "Östersund");
  EXPECT_EQ(company.GetPhone(), "063-1234");
  EXPECT_EQ(company.GetVatNumber(), "SE1234 56");
  EXPECT_EQ(company.GetBankgiroNumber(), "123-4567");
  EXPECT_EQ(company.GetPlusgiroNumber(), "12345-6");
  EXPECT_EQ(company.GetEdiGlnNumber(), "7350000000000");
  EXPECT_TRUE(company.HasFTaxCard());
  EXPECT_TRUE(company.UsesRotReducedInvoicing());
  EXPECT_TRUE(company.UsesReversedConstructionVat());
  EXPECT_EQ(company.GetCompanyBankBic(), "");
  EXPECT_EQ(company.GetCompanyBankAccountBban(), "SE123456");
  EXPECT_EQ(company.GetCompanyBankAccountIban(), "");
  EXPECT_EQ(company.GetExportApplication(), 3);
  EXPECT_EQ(company.GetCompanyType(), 1);
  EXPECT_EQ(company.GetVatPeriod(), 4);
  EXPECT_EQ(company.GetNextCustomerQuoteNumber(), 100);
  EXPECT_EQ(company.GetNextCustomerOrderNumber(), 200);
  EXPECT_EQ(company.GetNextCustomerInvoiceNumber(), 300);
  EXPECT_EQ(company.GetAddress2(), "");
  EXPECT_EQ(company.GetMobile(), "");
  EXPECT_FALSE(company.UsesMoss());
  std::vector<ReportRow> rows;
  company.AddWarnings(rows);
  EXPECT_TRUE(rows.empty());
}

TEST_F(CompanyConnection, CompanySettingsVatPeriodProgramTypeAndBankAccount) {
  const struct {
    const char* name;
    const char* programType;
    const char* bic;
    const char* fTax;
    const char* vatPeriodRow;  // nullptr: PRM2 without rows, so no period is read (and a row says so)
    int vatPeriod;
    int exportApplication;
  } cases[] = {
      {"p1", "0", "'NDEASESS'", "0", "1", 3, 1},   {"p3", "5", "NULL", "1", "3", 1, 2},
      {"pnull", "2", "NULL", "0", "NULL", 1, 4},   {"prows", "F", "NULL", "0", nullptr, -1, 6},
      {"invoicing", "W", "NULL", "0", "1", -1, 5}, {"none", "", "NULL", "0", "2", 4, -1},
      {"other", "3", "NULL", "0", "2", 4, 0},
  };
  for (const auto& c : cases) {
    std::string sql = std::string(kParameters) + ";INSERT INTO PRM (ORGNR, NAMN, PRG_TYPE, SWIFT_ADR, IBAN_NR, EJ_FSKATT)"
                      " VALUES ('9696001234', 'Olssons firma', '" + c.programType + "', " + c.bic + ", 'SE12 3456', " +
                      c.fTax + ")";
    if (c.vatPeriodRow) sql += std::string(";INSERT INTO PRM2 VALUES (") + c.vatPeriodRow + ")";
    CSqlAdminCompanySettingsDb company(Company(c.name, sql));
    EXPECT_EQ(company.GetVatPeriod(), c.vatPeriod) << c.name;
    EXPECT_EQ(company.GetExportApplication(), c.exportApplication) << c.name;
    EXPECT_EQ(company.HasFTaxCard(), std::string(c.fTax) == "0") << c.name;
    if (std::string(c.bic) == "NULL") {
      EXPECT_EQ(company.GetCompanyBankAccountBban(), "SE123456") << c.name;
    } else {
      EXPECT_EQ(company.GetCompanyBankBic(), "NDEASESS");
      EXPECT_EQ(company.GetCompanyBankAccountIban(), "SE123456");
      EXPECT_EQ(company.GetCompanyBankAccountBban(), "");
    }
  }
}

// A settings table that cannot be read gives a row naming it with the driver's
// words, and none of its values is sent made up (the job sends no settings then).
TEST_F(CompanyConnection, EachSettingsTableThatCannotBeReadGivesItsRow) {
  const std::string whole = std::string(kParameters) +
                            ";INSERT INTO PRM (ORGNR, NAMN) VALUES ('556677-8899', 'Åkeri AB');INSERT INTO PRM2 VALUES (1)";
  // The company less every statement on the table.
  auto without = [&](const std::string& table) {
    std::string sql;
    for (std::size_t start = 0; start < whole.size();) {
      const std::size_t end = std::min(whole.find(';', start), whole.size());
      const std::string statement = whole.substr(start, end - start);
      if (statement.find(" " + table + " ") == std::string::npos) sql += (sql.empty() ? "" : ";") + statement;
      start = end + 1;
    }
    return sql;
  };
  const struct {
    const char* name;
    std::string sql;
    std::vector<std::string> leads;  // of the rows, in order
  } cases[] = {
      {"whole", whole, {}},
      {"PRM missing", without("PRM"), {"Tabellen PRM kan inte läsas: "}},
      {"PRM without rows", std::string(kParameters) + ";INSERT INTO PRM2 VALUES (1)",
       {"Tabellen PRM kan inte läsas: tabellen har ingen rad"}},
      {"PRM2 missing", without("PRM2"), {"Tabellen PRM2 kan inte läsas: "}},
      {"PRM2 without rows", std::string(kParameters) + ";INSERT INTO PRM (ORGNR) VALUES ('1')",
       {"Tabellen PRM2 kan inte läsas: tabellen har ingen rad"}},
      {"NEWNUM missing", without("NEWNUM"), {"Tabellen NEWNUM kan inte läsas: "}},
      // A value that does not read, or a next number that is not there, is not sent as 0 or another value.
      {"NEWNUM.NR NULL", whole + ";UPDATE NEWNUM SET NR = NULL WHERE ID = 3",
       {"Tabellen NEWNUM kan inte läsas: kolumnen NEWNUM.NR saknar värde i raden med ID 3"}},
      {"NEWNUM.NR letters", whole + ";UPDATE NEWNUM SET NR = 'abc' WHERE ID = 2",
       {"Tabellen NEWNUM kan inte läsas: kolumnen NEWNUM.NR har värdet \"abc\", som inte är ett tal"}},
      {"NEWNUM.NR cut number", whole + ";UPDATE NEWNUM SET NR = '12x' WHERE ID = 1",
       {"Tabellen NEWNUM kan inte läsas: kolumnen NEWNUM.NR har värdet \"12x\""}},
      {"NEWNUM.ID letters", whole + ";UPDATE NEWNUM SET ID = 'x' WHERE ID = 4",
       {"Tabellen NEWNUM kan inte läsas: kolumnen NEWNUM.ID har värdet \"x\""}},
      {"PRM2 letters", whole + ";UPDATE PRM2 SET MVSREDPER = 'kvartal'",
       {"Tabellen PRM2 kan inte läsas: kolumnen PRM2.MVSREDPER har värdet \"kvartal\", som inte är ett tal"}},
      {"PRM flag letters", whole + ";UPDATE PRM SET EJ_FSKATT = 'nej'",
       {"Tabellen PRM kan inte läsas: kolumnen PRM.EJ_FSKATT har värdet \"nej\", som inte är en flagga (0 eller 1)"}},
      // Another series without its number is not one the company sends.
      {"NR NULL of another series", whole + ";UPDATE NEWNUM SET NR = NULL WHERE ID = 4", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::fake::CapturedLog log;
    std::vector<ReportRow> rows;
    CSqlAdminCompanySettingsDb(Company(std::string("ftg") + std::to_string(&c - cases), c.sql)).AddWarnings(rows);
    ASSERT_EQ(rows.size(), c.leads.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_TRUE(report::IsAboutWholeKind(rows[i]));
      EXPECT_EQ(rows[i].kind, report::kError);
      EXPECT_TRUE(rows[i].text.starts_with(c.leads[i])) << rows[i].text;
      EXPECT_GT(rows[i].text.size(), std::string_view("Tabellen PRM kan inte läsas: ").size()) << rows[i].text;
    }
    int logged = 0;
    for (const std::string& line : log.Lines()) logged += line.starts_with("Företagsinställningar: Tabellen ");
    EXPECT_EQ(logged, static_cast<int>(c.leads.size()));
  }
}

TEST_F(CompanyConnection, ALockedDatabaseSaysSoInEachSettingsRowAndIsWaitedOnOnce) {
  platform::fake::CapturedLog log;
  const std::string folder = Company("locked", std::string(kParameters) + ";INSERT INTO PRM (ORGNR) VALUES ('1')");
  std::vector<ReportRow> rows;
  {
    const sqladmin_test::HeldLock lock(Database("locked"));
    CSqlAdminCompanySettingsDb(folder).AddWarnings(rows);
  }
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& [row, table] : {std::pair{rows[0], "PRM"}, {rows[1], "PRM2"}, {rows[2], "NEWNUM"}}) {
    EXPECT_TRUE(row.text.starts_with(std::string("Tabellen ") + table + " kan inte läsas: ")) << row.text;
    EXPECT_NE(row.text.find("database is locked"), std::string::npos) << row.text;
  }
  // Only the first statement met the lock: the others were not tried.
  int tried = 0;
  for (const std::string& line : log.Lines()) tried += line.starts_with("Recordset could not be opened");
  EXPECT_EQ(tried, 1);
}

TEST_F(CompanyConnection, CompanySettingsOfAnUnreachableDatabaseOrAModelWithoutATable) {
  platform::fake::CapturedLog log;
  CSqlAdminCompanySettingsDb unreachable(Company("gone", "", "1", "", "[Byggtjanst]\nActive=1\n"));
  EXPECT_EQ(unreachable.GetExportApplication(), -1);
  EXPECT_EQ(unreachable.GetVatPeriod(), -1);
  EXPECT_TRUE(unreachable.UsesReversedConstructionVat());
  std::vector<ReportRow> rows;
  unreachable.AddWarnings(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].kind, report::kError);
  EXPECT_TRUE(rows[0].text.starts_with("Företagets databas kunde inte öppnas, så dess inställningar saknas: "))
      << rows[0].text;
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Lines()[0], "Företagsinställningar: " + rows[0].text);

  // A model without the number series would send next numbers 0 as the company's.
  std::string xml(samplecompany::SampleDataModelXml());
  const std::size_t start = xml.find("<table id=\"3\" name=\"NEWNUM\"");
  xml.erase(start, xml.find("</table>", start) + 8 - start);
  tree_.Write("model/kolmadm.xml", xml);
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "model").string());
  rows.clear();
  CSqlAdminCompanySettingsDb(Company("nonumbers", std::string(kParameters) +
                                                     ";INSERT INTO PRM (ORGNR) VALUES ('1');INSERT INTO PRM2 VALUES (1)"))
      .AddWarnings(rows);
  EXPECT_EQ(rows, (std::vector<ReportRow>{
                      {"", "", "Error", "Fel:", "Tabellen NEWNUM kan inte läsas: datamodellen saknar tabellen"}}));
}

}  // namespace
