#include "sources/admin/company_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/log.h"
#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;

const std::vector<fixtures::DbfColumn> kPrmColumns = {
    Char("ORGNR", 13),     Char("NAMN", 40),      Char("PRG", 3),        Char("PRG_TYPE", 4),
    Numeric("VERSION", 5, 2), Char("VALUTAKOD", 3), Char("AKI_OCR", 1),  Char("KL_FKRECID", 20),
    Char("POSTADR", 40),   Char("POSTNR", 8),     Char("ORT", 30),       Char("TEL", 20),
    Char("EPOST", 50),     Char("WWW", 50),       Char("MOMSREGNR", 20), Char("BGIRO", 12),
    Char("PGIRO", 12),     Char("SATE", 30),      Char("EANLOC", 13),    Logical("EJ_FSKATT"),
    Logical("H_SKVHUS"),   Char("IBAN_NR", 34),   Char("SWIFT_ADR", 11)};

// One PRM.DBF record: every column empty but those given.
std::vector<std::string> PrmRecord(const std::map<std::string, std::string>& values) {
  std::vector<std::string> record;
  for (const auto& column : kPrmColumns) {
    auto it = values.find(column.name);
    record.push_back(it == values.end() ? "" : it->second);
  }
  return record;
}

void WritePrm2(const CompanyFolder& company, const std::string& vatPeriodCode) {
  company.Write("PRM2.DBF", Table({Char("MVSREDPER", 1)}).Add({vatPeriodCode}));
}

void WriteNewNum(const CompanyFolder& company, const fixtures::DbfWriter& table) { company.Write("NEWNUM.DBF", table); }
fixtures::DbfWriter NewNumTable() { return Table({Numeric("ID", 3), Numeric("NR", 10)}); }

// The three settings tables every company has: PRM.DBF with the values given,
// PRM2.DBF without a VAT period code and NEWNUM.DBF without a series.
void WritePrm(const CompanyFolder& company, const std::map<std::string, std::string>& values) {
  company.Write("PRM.DBF", Table(kPrmColumns).Add(PrmRecord(values)));
  WritePrm2(company, "");
  WriteNewNum(company, NewNumTable());
}

CompanyRecord Settings(const CompanyFolder& company) {
  CAdminCompanySettings reader(company.path());
  auto walked = WalkCompany(reader);
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_TRUE(reader.IsAvailable());
  return walked.records.front();
}

std::vector<std::string> RowTexts(const CompanyFolder& company) {
  CAdminCompanySettings reader(company.path());
  std::vector<std::string> texts;
  for (const ReportRow& row : WalkCompany(reader).rows) {
    EXPECT_EQ(row.kind, "Error");
    EXPECT_TRUE(report::IsAboutWholeKind(row));
    texts.push_back(row.text);
  }
  return texts;
}

TEST(CompanySettings, ReadsEveryValueInTheCloudsForm) {
  CompanyFolder company;
  WritePrm(company, {{"ORGNR", "556677-8899"},
                     {"NAMN", "Åkessons Snickeri AB"},
                     {"PRG", "ADM"},
                     {"PRG_TYPE", "1"},
                     {"VERSION", "5.10"},
                     {"POSTADR", "Storgatan 12"},
                     {"POSTNR", "123 45"},
                     {"ORT", "Växjö"},
                     {"TEL", "0470-12 34 56"},
                     {"EPOST", "info@akessons.se"},
                     {"WWW", "www.akessons.se"},
                     {"MOMSREGNR", "SE 5566-778899 01"},
                     {"BGIRO", "123 - 4567"},
                     {"PGIRO", "12 34 56-7"},
                     {"SATE", "Växjö kommun"},
                     {"EANLOC", "7350012345678"},
                     {"EJ_FSKATT", "F"},
                     {"H_SKVHUS", "T"},
                     {"IBAN_NR", "SE45 5000 0000 0583 9825 7466"},
                     {"SWIFT_ADR", "ESSE SESS"}});
  WritePrm2(company, "1");
  WriteNewNum(company, NewNumTable()
                                  .Add({"1", "501"})
                                  .Add({"2", "1200"})
                                  .Add({"3", "100"})
                                  .Add({"7", "5"})
                                  .Add({"3", "250"})
                                  .AddDeleted({"3", "999"}));
  company.WriteText("ftg.ini", "[Byggtjanst]\r\nActive=1\r\n");

  CompanyRecord expected;
  expected.corporateIdentityNumber = "556677-8899";
  expected.name = "Åkessons Snickeri AB";
  expected.address1 = "Storgatan 12";
  expected.postalCode = "12345";
  expected.city = "Växjö";
  expected.phone = "0470-123456";
  expected.email = "info@akessons.se";
  expected.web = "www.akessons.se";
  expected.vatNumber = "SE556677889901";
  expected.bankgiroNumber = "123-4567";
  expected.plusgiroNumber = "123456-7";
  expected.residence = "Växjö kommun";
  expected.ediGlnNumber = "7350012345678";
  expected.hasFTaxCard = true;
  expected.usesReversedConstructionVat = true;
  expected.usesRotReducedInvoicing = true;
  expected.nextCustomerInvoiceNumber = 250;
  expected.nextCustomerOrderNumber = 1200;
  expected.nextCustomerQuoteNumber = 501;
  expected.exportApplication = 3;
  expected.companyType = 1;
  expected.companyBankBic = "ESSESESS";
  expected.companyBankAccountIban = "SE4550000000058398257466";
  expected.vatPeriod = 3;
  EXPECT_EQ(Settings(company), expected);
}

TEST(CompanySettings, ProductCodeGivesExportApplicationAndVatPeriod) {
  struct Case {
    std::string productCode;
    int exportApplication;
    int vatPeriod;  // PRM2.DBF asks for period code "2" (4) throughout
  };
  for (const Case& c : std::vector<Case>{{"W", 5, -1},
                                         {"WF", 5, 4},  // only the whole text "W" has no VAT period
                                         {"0", 1, 4},
                                         {"5", 2, 4},
                                         {"1", 3, 4},
                                         {"2", 4, 4},
                                         {"F", 6, 4},
                                         {"w", 0, 4},
                                         {"f", 0, 4},
                                         {"", -1, 4}}) {
    SCOPED_TRACE(c.productCode);
    CompanyFolder company;
    WritePrm(company, {{"PRG_TYPE", c.productCode}});
    WritePrm2(company, "2");
    CompanyRecord settings = Settings(company);
    EXPECT_EQ(settings.exportApplication, c.exportApplication);
    EXPECT_EQ(settings.vatPeriod, c.vatPeriod);
  }
}

// The invoicing program keeps no VAT period, so its PRM2.DBF is not even opened
// (it need not exist); any other program's missing PRM2.DBF is logged and said.
TEST(CompanySettings, InvoicingProgramLeavesPrm2Unopened) {
  for (auto [productCode, needsPrm2] : std::vector<std::pair<std::string, bool>>{{"W", false}, {"WF", true}}) {
    SCOPED_TRACE(productCode);
    platform::fake::TempTree logFolder;
    platform::ConfigureLog(true, logFolder.root().string());
    CompanyFolder company;
    WritePrm(company, {{"PRG_TYPE", productCode}});
    std::filesystem::remove(std::filesystem::path(company.path()) / "PRM2.DBF");
    CAdminCompanySettings reader(company.path());
    const auto walked = WalkCompany(reader);
    if (needsPrm2) {
      ASSERT_EQ(walked.rows.size(), 1u);
      EXPECT_EQ(walked.rows[0].text, "Filen PRM2.DBF saknas.");
    } else {
      EXPECT_TRUE(walked.rows.empty());
      EXPECT_EQ(walked.records.front().vatPeriod, -1);
    }
    platform::ConfigureLog(false, "");
    const std::string log = platform::ReadWholeFile(logFolder.root() / platform::kLogFileName).value_or("");
    EXPECT_EQ(log.find("PRM2.DBF") != std::string::npos, needsPrm2) << log;
  }
}

TEST(CompanySettings, VatPeriodCodes) {
  for (auto [code, period] : std::vector<std::pair<std::string, int>>{{"1", 3}, {"2", 4}, {"3", 1}, {"", 1}}) {
    SCOPED_TRACE(code);
    CompanyFolder company;
    WritePrm(company, {{"PRG_TYPE", "2"}});
    WritePrm2(company, code);
    EXPECT_EQ(Settings(company).vatPeriod, period);
  }
}

TEST(CompanySettings, CompanyTypeFromOrganisationNumberAndName) {
  struct Case {
    std::string orgNo;
    std::string name;
    int type;
  };
  for (const Case& c : std::vector<Case>{
           {"640512-1234", "Anna Ek", 2},                       // a birth month: sole trader
           {"641212-1234", "Anna Ek", 2},
           {"641312-1234", "Anna Ek", 0},                       // 13 to 19: nothing
           {"640012-1234", "Anna Ek", 0},
           {"556123-4567", "Ek Trä AB", 1},
           {"769612-3456", "Lantbrukarnas Ekonomisk Förening", 3},  // compared in lower case, ö too
           {"869612-3456", "Byns ek. för.", 3},
           {"769612-3456", "Byns förening", 0},
           {"969612-3456", "Berg & Dal HB", 5},
           {"969612-3456", "HB Berg & Dal", 5},
           {"969612-3456", "Bröderna Berg Handelsbolag", 5},
           {"969612-3456", "Kommanditbolaget Handelsbolag", 5},  // both words: trading partnership
           {"969612-3456", "Berg KB", 6},
           {"969612-3456", "Berg Kommanditbolag", 6},
           {"969612-3456", "HB", 0},                            // name too short
           {"969612-3456", "Bergs", 0},
           {"369612-3456", "Berg HB", 0},
           {"5561", "Ek Trä AB", 0},                            // too short to tell
           {"", "Ek Trä AB", 0}}) {
    SCOPED_TRACE(c.orgNo + " " + c.name);
    CompanyFolder company;
    WritePrm(company, {{"ORGNR", c.orgNo}, {"NAMN", c.name}});
    EXPECT_EQ(Settings(company).companyType, c.type);
  }
}

TEST(CompanySettings, FlagsAndBankAccount) {
  struct Case {
    std::string noFTax, rot, iban, swift;
    bool hasFTaxCard, rotReduced;
    std::string bic, bban, ibanOut;
  };
  for (const Case& c : std::vector<Case>{
           {"F", "F", "1234 56 78901", "", true, false, "", "12345678901", ""},
           {"", "t", "SE45 5000", "HAND SESS", true, true, "HANDSESS", "", "SE455000"},
           {"T", "", "", "", false, false, "", "", ""},
           {"t", "", "", "NDEASESS", false, false, "NDEASESS", "", ""}}) {
    SCOPED_TRACE(c.noFTax + "/" + c.rot + "/" + c.swift);
    CompanyFolder company;
    WritePrm(company, {{"EJ_FSKATT", c.noFTax}, {"H_SKVHUS", c.rot}, {"IBAN_NR", c.iban}, {"SWIFT_ADR", c.swift}});
    CompanyRecord settings = Settings(company);
    EXPECT_EQ(settings.hasFTaxCard, c.hasFTaxCard);
    EXPECT_EQ(settings.usesRotReducedInvoicing, c.rotReduced);
    EXPECT_EQ(settings.companyBankBic, c.bic);
    EXPECT_EQ(settings.companyBankAccountBban, c.bban);
    EXPECT_EQ(settings.companyBankAccountIban, c.ibanOut);
  }
}

TEST(CompanySettings, ReversedConstructionVatNeedsActiveOneInFtgIni) {
  for (auto [ini, expected] : std::vector<std::pair<std::string, bool>>{
           {"[Byggtjanst]\nActive=1\n", true},
           {"[BYGGTJANST]\nactive = 1\n", true},
           {"[Byggtjanst]\nActive=2\n", false},
           {"[Company]\nActive=1\n", false},
           {"", false}}) {
    SCOPED_TRACE(ini);
    CompanyFolder company;
    WritePrm(company, {{"PRG_TYPE", "2"}});
    if (!ini.empty()) company.WriteText("FTG.INI", ini);  // named as a Windows copy may name it
    EXPECT_EQ(Settings(company).usesReversedConstructionVat, expected);
  }
}

TEST(CompanySettings, DeletedFirstRecordsAreStillTheParameters) {
  CompanyFolder company;
  company.Write("PRM.DBF", Table(kPrmColumns)
                               .AddDeleted(PrmRecord({{"NAMN", "Första Bolaget AB"}, {"PRG_TYPE", "2"}}))
                               .Add(PrmRecord({{"NAMN", "Andra"}, {"PRG_TYPE", "5"}})));
  company.Write("PRM2.DBF", Table({Char("MVSREDPER", 1)}).AddDeleted({"2"}).Add({"1"}));
  WriteNewNum(company, NewNumTable());
  CompanyRecord settings = Settings(company);
  EXPECT_EQ(settings.name, "Första Bolaget AB");
  EXPECT_EQ(settings.exportApplication, 4);
  EXPECT_EQ(settings.vatPeriod, 4);
}

// A settings table that is missing or cannot be read whole gives an Error row
// naming it, so that none of the settings are sent: a value it would have given
// (a next invoice number, the VAT period, the company's name) is not the
// company's. PRM.DBF and PRM2.DBF hold the settings in one record: without it they
// are said too. A NEWNUM.DBF without records is a company that has numbered nothing.
TEST(CompanySettings, SettingsTablesMissingOrNotReadWholeAreSaid) {
  const std::string cutShort = "kan inte läsas helt: the file is shorter than the 32-byte header";
  const struct {
    const char* name;
    const char* file;  // damaged; none for a case of its own
    std::function<void(const CompanyFolder&, const std::filesystem::path&)> damage;
    std::vector<std::string> rows;
  } cases[] = {
      {"whole", nullptr, [](auto&, auto&) {}, {}},
      {"NEWNUM.DBF without records", "NEWNUM.DBF", [](auto& c, auto&) { WriteNewNum(c, NewNumTable()); }, {}},
      {"PRM.DBF missing", "PRM.DBF", [](auto&, auto& p) { std::filesystem::remove(p); }, {"Filen PRM.DBF saknas."}},
      {"PRM2.DBF missing", "PRM2.DBF", [](auto&, auto& p) { std::filesystem::remove(p); }, {"Filen PRM2.DBF saknas."}},
      {"PRM.DBF without its record", "PRM.DBF", [](auto& c, auto&) { c.Write("PRM.DBF", Table(kPrmColumns)); },
       {"Filen PRM.DBF kan inte läsas: filen har ingen post"}},
      {"PRM2.DBF without its record", "PRM2.DBF",
       [](auto& c, auto&) { c.Write("PRM2.DBF", Table({Char("MVSREDPER", 1)})); },
       {"Filen PRM2.DBF kan inte läsas: filen har ingen post"}},
      {"NEWNUM.DBF missing", "NEWNUM.DBF", [](auto&, auto& p) { std::filesystem::remove(p); },
       {"Filen NEWNUM.DBF saknas."}},
      {"PRM.DBF of zero length", "PRM.DBF", [](auto&, auto& p) { std::ofstream(p, std::ios::trunc); },
       {"Filen PRM.DBF " + cutShort}},
      {"PRM2.DBF of zero length", "PRM2.DBF", [](auto&, auto& p) { std::ofstream(p, std::ios::trunc); },
       {"Filen PRM2.DBF " + cutShort}},
      {"NEWNUM.DBF a folder", "NEWNUM.DBF",
       [](auto&, auto& p) {
         std::filesystem::remove(p);
         std::filesystem::create_directory(p);
       },
       {"Filen NEWNUM.DBF kan inte läsas helt: cannot open the file: not a regular file"}},
      {"all three missing", nullptr,
       [](auto& c, auto&) {
         for (const char* file : {"PRM.DBF", "PRM2.DBF", "NEWNUM.DBF"})
           std::filesystem::remove(std::filesystem::path(c.path()) / file);
       },
       {"Filen PRM.DBF saknas.", "Filen NEWNUM.DBF saknas.", "Filen PRM2.DBF saknas."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanyFolder company;
    WritePrm(company, {{"NAMN", "Åsa Öberg AB"}, {"PRG_TYPE", "1"}});
    WriteNewNum(company, NewNumTable().Add({"3", "4711"}));
    c.damage(company, std::filesystem::path(company.path()) / (c.file ? c.file : ""));
    EXPECT_EQ(RowTexts(company), c.rows);
  }
}

// A value the settings need that the tables lack, or that does not read as its
// type, is named in an Error row, so that none of the settings are sent: the
// next invoice number or VAT period it would have given is not the company's.
TEST(CompanySettings, ValuesThatDoNotReadHoldTheSettingsBack) {
  const struct {
    const char* name;
    std::function<void(const CompanyFolder&)> damage;
    std::vector<std::string> rows;
  } cases[] = {
      {"next number with letters",
       [](auto& c) { WriteNewNum(c, NewNumTable().Add({"1", "500"}).Add({"3", "abc"})); },
       {"Värdet \"abc\" i fältet NR i NEWNUM.DBF kan inte läsas."}},
      {"series with letters", [](auto& c) { WriteNewNum(c, NewNumTable().Add({"3x", "10124"})); },
       {"Värdet \"3x\" i fältet ID i NEWNUM.DBF kan inte läsas."}},
      {"next number not whole", [](auto& c) { WriteNewNum(c, NewNumTable().Add({"2", "10.5"})); },
       {"Värdet \"10.5\" i fältet NR i NEWNUM.DBF kan inte läsas."}},
      {"NEWNUM.DBF without its number column, said once",
       [](auto& c) { WriteNewNum(c, Table({Numeric("ID", 3)}).Add({"1"}).Add({"3"})); },
       {"Filen NEWNUM.DBF saknar fältet NR."}},
      {"PRM2.DBF without the VAT period column",
       [](auto& c) { c.Write("PRM2.DBF", Table({Char("MVSKONTO", 4)}).Add({"2650"})); },
       {"Filen PRM2.DBF saknar fältet MVSREDPER."}},
      {"VAT period code with a letter", [](auto& c) { WritePrm2(c, "x"); },
       {"Värdet \"x\" i fältet MVSREDPER i PRM2.DBF kan inte läsas."}},
      {"flag with a wrong letter",
       [](auto& c) {
         c.Write("PRM.DBF", Table(kPrmColumns).Add(PrmRecord({{"PRG_TYPE", "1"}, {"EJ_FSKATT", "K"}})));
       },
       {"Värdet \"K\" i fältet EJ_FSKATT i PRM.DBF kan inte läsas."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanyFolder company;
    WritePrm(company, {{"PRG_TYPE", "1"}});
    c.damage(company);
    EXPECT_EQ(RowTexts(company), c.rows);
  }

  // An older PRM.DBF without the flags: they read as not set.
  CompanyFolder older;
  WritePrm(older, {{"PRG_TYPE", "1"}});
  older.Write("PRM.DBF", Table({Char("NAMN", 30), Char("PRG_TYPE", 4)}).Add({"Gamla AB", "1"}));
  EXPECT_TRUE(Settings(older).hasFTaxCard);

  // A series the settings do not take, and blank numbers, read as today.
  CompanyFolder company;
  WritePrm(company, {{"PRG_TYPE", "1"}});
  WriteNewNum(company, NewNumTable().Add({"7", "abc"}).Add({"", "5"}).Add({"1", ""}).Add({"3", " 10124"}));
  CompanyRecord settings = Settings(company);
  EXPECT_EQ(settings.nextCustomerQuoteNumber, 0);
  EXPECT_EQ(settings.nextCustomerInvoiceNumber, 10124);
}

}  // namespace
