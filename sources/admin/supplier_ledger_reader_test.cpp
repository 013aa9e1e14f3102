#include "sources/admin/supplier_ledger_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/log.h"
#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;
using Values = std::map<std::string, std::string>;

const char* const kNotBooked = "Fakturan är inte bokförd.";

const std::vector<fixtures::DbfColumn> kLevfktColumns = {
    Numeric("LOEPNR", 8),    Char("FKT_TYP", 1),        Char("FKT_NR", 20),    Char("LEVNR", 10),
    Char("NAMN", 40),        Char("OCR", 25),           {"FDATUM", 'D', 8},    {"FFDATUM", 'D', 8},
    Numeric("MOMSBEL", 12, 2), Char("VALUTAKOD", 3),    Numeric("VKURS", 10, 4), Numeric("VENHET", 4),
    Numeric("KNTLEVF", 4),   Numeric("TOTAL", 12, 2),   Numeric("SALDO", 12, 2), Numeric("JOURN_NR", 8),
    Logical("MAKUL")};

// An open, booked invoice of supplier 1 in SEK; a case names only what differs.
const Values kOpenInvoice = {
    {"LOEPNR", "1"},       {"FKT_TYP", "F"},        {"FKT_NR", "A-778"},    {"LEVNR", "1"},
    {"NAMN", "Järnhandel i Västerås AB"},           {"OCR", "1234567897"},  {"FDATUM", "20231215"},
    {"FFDATUM", "20240114"}, {"MOMSBEL", "125.00"}, {"VALUTAKOD", "SEK"},   {"KNTLEVF", "2440"},
    {"TOTAL", "625.00"},   {"SALDO", "625.00"},     {"JOURN_NR", "301"},    {"MAKUL", "F"}};

const SupplierLedgerRecord kOpenRecord{.invoiceId = "1",
                                       .supplierInvoiceNumber = "A-778",
                                       .supplierNumber = "1",
                                       .supplierName = "Järnhandel i Västerås AB",
                                       .supplierCountry = "SE",
                                       .supplierBankCountryCode = "SE",
                                       .invoiceDate = "2023-12-15",
                                       .dueDate = "2024-01-14",
                                       .paymentReferenceNumber = "1234567897",
                                       .paymentMessage = "1234567897",
                                       .isUsingTotalVatAmount = true,
                                       .totalVatAmount = "125.00",
                                       .currencyCode = "SEK",
                                       .currencyRate = "1.000000",
                                       .currencyRateUnit = 1,
                                       .supplierLedgerAccountNumber = 2440,
                                       .totalAmountInvoiceCurrency = "625.00",
                                       .remainingAmountInvoiceCurrency = "625.00"};

std::vector<std::string> Record(Values values) {
  for (const auto& [column, value] : kOpenInvoice) values.try_emplace(column, value);
  std::vector<std::string> record;
  for (const auto& column : kLevfktColumns) record.push_back(values[column.name]);
  return record;
}

void WriteInvoices(const CompanyFolder& company, const std::vector<Values>& invoices) {
  auto table = Table(kLevfktColumns);
  for (const auto& invoice : invoices) table.Add(Record(invoice));
  company.Write("LEVFKT.DBF", table);
}

void WritePrm(const CompanyFolder& company, const std::string& productCode, const std::string& cloudLink = "") {
  company.Write("PRM.DBF", Table({Char("PRG", 3), Char("PRG_TYPE", 2), Numeric("VERSION", 6, 2), Char("KL_FKRECID", 36)})
                               .Add({"ADM", productCode, "12.30", cloudLink}));
}

fixtures::DbfWriter SupplierTable() { return Table({Char("LEVNR", 10), Char("NAMN", 40), Char("LANDSKOD", 2)}); }

// A company of edition 1000 whose supplier 1 is Swedish.
void WriteCompany(const CompanyFolder& company, const std::vector<Values>& invoices) {
  WritePrm(company, "1");
  company.Write("LEV.DBF", SupplierTable().Add({"1", "Järnhandel i Västerås AB", "SE"}));
  WriteInvoices(company, invoices);
}

auto WalkInvoices(const CompanyFolder& company) {
  CAdminSupplierLedgerItems reader(company.path());
  return Walk(reader);
}

ReportRow Row(const std::string& key) { return {key, "", "Error", "Fel:", kNotBooked}; }
ReportRow Missing() { return {"(saknas)", "", "Error", "Fel:", "Filen LEVFKT.DBF saknar fältet LOEPNR."}; }

TEST(SupplierLedger, SelectsTheOpenBookedInvoices) {
  struct Case {
    const char* label;
    Values invoice;
    bool uploaded;
    std::vector<ReportRow> rows;
  };
  const std::vector<Case> cases = {
      {"booked", {}, true, {}},
      {"journal 17", {{"JOURN_NR", "17"}}, true, {}},
      {"paid", {{"SALDO", "0.00"}, {"JOURN_NR", "0"}}, false, {}},
      {"no balance", {{"SALDO", ""}, {"JOURN_NR", "0"}}, false, {}},
      {"overpaid", {{"SALDO", "-20.00"}}, true, {}},
      {"cancelled, not booked", {{"MAKUL", "T"}, {"JOURN_NR", "0"}}, false, {}},
      {"not booked", {{"LOEPNR", "5"}, {"JOURN_NR", "0"}}, false, {Row("5")}},
      {"no journal", {{"LOEPNR", "6"}, {"JOURN_NR", ""}}, false, {Row("6")}},
      {"credit not booked", {{"LOEPNR", "7"}, {"FKT_TYP", "K"}, {"JOURN_NR", "0"}}, false, {Row("7")}},
      {"credit", {{"FKT_TYP", "K"}, {"SALDO", "-125.00"}}, true, {}},
      {"supplier not in the register", {{"LEVNR", "99"}}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    CompanyFolder company;
    WriteCompany(company, {c.invoice});
    auto walked = WalkInvoices(company);
    EXPECT_EQ(walked.visited, 1);
    EXPECT_EQ(walked.records.size(), c.uploaded ? 1u : 0u);
    EXPECT_EQ(walked.rows, c.rows);
  }
}

// A value that does not read as its field's type is never taken as another:
// the invoice is refused with a row that names it and the field.
TEST(SupplierLedger, ValuesThatDoNotReadRefuseTheInvoice) {
  struct Case {
    Values invoice;
    std::string key, field, value;
  };
  const std::vector<Case> cases = {
      {{{"SALDO", "--3"}}, "1", "SALDO", "--3"},
      {{{"SALDO", "1e999"}}, "1", "SALDO", "1e999"},
      {{{"MAKUL", "Q"}}, "1", "MAKUL", "Q"},
      {{{"LOEPNR", "1a"}}, "1a", "LOEPNR", "1a"},
      {{{"FDATUM", "20241301"}}, "1", "FDATUM", "20241301"},
      {{{"FFDATUM", "2024-3-1"}}, "1", "FFDATUM", "2024-3-1"},
      {{{"VALUTAKOD", "EUR"}, {"VKURS", "abc"}}, "1", "VKURS", "abc"},
      {{{"VENHET", "x"}}, "1", "VENHET", "x"},
      {{{"TOTAL", "12,50"}}, "1", "TOTAL", "12,50"},
      {{{"MOMSBEL", "2.5.0"}}, "1", "MOMSBEL", "2.5.0"},
      {{{"KNTLEVF", "24a0"}}, "1", "KNTLEVF", "24a0"},
      {{{"JOURN_NR", "O"}}, "1", "JOURN_NR", "O"},  // a letter O for a zero
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field + " " + c.value);
    CompanyFolder company;
    WriteCompany(company, {c.invoice});
    auto walked = WalkInvoices(company);
    EXPECT_TRUE(walked.records.empty());
    const std::string text = "Värdet \"" + c.value + "\" i fältet " + c.field + " i LEVFKT.DBF kan inte läsas.";
    EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{c.key, "", "Error", "Fel:", text}}));
  }
}

TEST(SupplierLedger, GivesEveryValueInTheCloudsForm) {
  CompanyFolder company;
  WriteCompany(company, {{},
                         {{"LOEPNR", "2"}, {"FKT_TYP", "K"}, {"TOTAL", "500.00"}, {"MOMSBEL", "100.00"},
                          {"SALDO", "-500.00"}, {"OCR", "1234567890"}},
                         {{"LOEPNR", "3"}, {"FKT_TYP", "k"}, {"TOTAL", "500.00"}, {"MOMSBEL", "100.00"},
                          {"OCR", "Faktura 4711"}, {"FFDATUM", ""}},
                         {{"LOEPNR", "4"}, {"LEVNR", "99"}, {"OCR", ""}, {"VALUTAKOD", "EUR"}, {"VKURS", "11.2000"},
                          {"VENHET", "100"}, {"KNTLEVF", ""}}});
  auto walked = WalkInvoices(company);

  auto credit = kOpenRecord;
  credit.invoiceId = "2";
  credit.isCreditInvoice = true;
  credit.totalAmountInvoiceCurrency = "-500.00";
  credit.totalVatAmount = "-100.00";
  credit.remainingAmountInvoiceCurrency = "-500.00";  // the balance as stored
  credit.paymentReferenceNumber = "";                 // fails the check digit
  credit.paymentMessage = "1234567890";
  auto lowerCase = kOpenRecord;  // "k" is no credit invoice among the supplier invoices
  lowerCase.invoiceId = "3";
  lowerCase.totalAmountInvoiceCurrency = "500.00";
  lowerCase.totalVatAmount = "100.00";
  lowerCase.paymentReferenceNumber = "";
  lowerCase.paymentMessage = "Faktura 4711";
  lowerCase.dueDate = "";
  auto foreign = kOpenRecord;
  foreign.invoiceId = "4";
  foreign.supplierNumber = "99";
  foreign.supplierCountry = foreign.supplierBankCountryCode = "";
  foreign.paymentReferenceNumber = foreign.paymentMessage = "";
  foreign.currencyCode = "EUR";
  foreign.currencyRate = "11.2000";
  foreign.currencyRateUnit = 100;
  foreign.supplierLedgerAccountNumber = 0;
  EXPECT_EQ(walked.records, (std::vector<SupplierLedgerRecord>{kOpenRecord, credit, lowerCase, foreign}));
  EXPECT_TRUE(walked.rows.empty());
}

TEST(SupplierLedger, CountryOfTheFirstLiveSupplierOfTheNumber) {
  CompanyFolder company;
  WritePrm(company, "1");
  company.Write("LEV.DBF", SupplierTable()
                               .AddDeleted({"1", "Gamla Järnhandeln", "NO"})
                               .Add({"1", "Järnhandel i Västerås AB", "SE"})
                               .Add({"1", "Dublett", "DK"})
                               .Add({"2", "Utan land", ""})
                               .Add({"", "Utan nummer", "FI"}));
  WriteInvoices(company, {{{"LEVNR", "1"}}, {{"LEVNR", "2"}}, {{"LEVNR", ""}}, {{"LEVNR", "3"}}});
  auto walked = WalkInvoices(company);
  ASSERT_EQ(walked.records.size(), 4u);
  std::vector<std::pair<std::string, std::string>> countries;
  for (const auto& r : walked.records) countries.emplace_back(r.supplierCountry, r.supplierBankCountryCode);
  EXPECT_EQ(countries, (std::vector<std::pair<std::string, std::string>>{
                           {"SE", "SE"}, {"", ""}, {"FI", "FI"}, {"", ""}}));
}

TEST(SupplierLedger, AvailableUnlessTheInvoicingProgramOrLinkedToTheCloud) {
  struct Case {
    std::string productCode, cloudLink;
    bool available;
  };
  for (const Case& c : std::vector<Case>{{"1", "", true},
                                         {"0", "", true},
                                         {"5", "", true},
                                         {"F", "", true},
                                         {"W", "", false},
                                         {"1", "7d1c5a52-0b1e-4bb6-9d5e-1f0c2a3b4c5d", false}}) {
    SCOPED_TRACE(c.productCode + "/" + c.cloudLink);
    CompanyFolder company;
    WritePrm(company, c.productCode, c.cloudLink);
    WriteInvoices(company, {{{"JOURN_NR", "0"}}});
    CAdminSupplierLedgerItems reader(company.path());
    EXPECT_EQ(reader.IsAvailable(), c.available);
    // The selection is the same in every edition.
    EXPECT_EQ(Walk(reader).rows, std::vector<ReportRow>{Row("1")});
    EXPECT_EQ(reader.IsAvailable(), c.available);
  }

  CompanyFolder withoutParameters;
  EXPECT_TRUE(CAdminSupplierLedgerItems(withoutParameters.path()).IsAvailable());
}

TEST(SupplierLedger, MissingColumnsDecideAsEmptyTexts) {
  struct Case {
    const char* missing;
    std::size_t uploaded;
    std::vector<ReportRow> rows;
  };
  // Over a booked invoice and one that is not booked.
  for (const Case& c : std::vector<Case>{{"SALDO", 0, {}},
                                         {"JOURN_NR", 0, {Row("1"), Row("2")}},
                                         {"MAKUL", 1, {Row("2")}},
                                         // Named all the same: one invoice, not all.
                                         {"LOEPNR", 0, {Missing(), Missing()}}}) {
    SCOPED_TRACE(c.missing);
    std::vector<fixtures::DbfColumn> columns;
    for (const auto& column : kLevfktColumns)
      if (column.name != c.missing) columns.push_back(column);
    auto table = Table(columns);
    for (const Values& values : {Values{}, Values{{"LOEPNR", "2"}, {"JOURN_NR", "0"}}}) {
      auto full = Record(values);
      std::vector<std::string> record;
      for (std::size_t i = 0; i < kLevfktColumns.size(); ++i)
        if (kLevfktColumns[i].name != c.missing) record.push_back(full[i]);
      table.Add(record);
    }
    CompanyFolder company;
    WritePrm(company, "1");
    company.Write("LEVFKT.DBF", table);
    auto walked = WalkInvoices(company);
    EXPECT_EQ(walked.records.size(), c.uploaded);
    EXPECT_EQ(walked.rows, c.rows);
  }
}

class SupplierLedgerTables : public ::testing::Test {
 protected:
  SupplierLedgerTables() { platform::ConfigureLog(true, logFolder_.root().string()); }
  ~SupplierLedgerTables() override { platform::ConfigureLog(false, ""); }
  std::string Log() const { return platform::ReadWholeFile(logFolder_.root() / platform::kLogFileName).value_or(""); }

  platform::fake::TempTree logFolder_;
  CompanyFolder company;
};

TEST_F(SupplierLedgerTables, MissingInvoiceTableIsLoggedAndReadsEmpty) {
  WritePrm(company, "1");
  company.Write("LEV.DBF", SupplierTable().Add({"1", "Järnhandel i Västerås AB", "SE"}));
  auto walked = WalkInvoices(company);
  EXPECT_EQ(walked.visited, 0);
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_THAT(Log(), ::testing::HasSubstr("Misslyckades öppna filen " +
                                          (std::filesystem::path(company.path()) / "LEVFKT.DBF").string()));
}

TEST_F(SupplierLedgerTables, MissingSupplierRegisterLeavesTheCountriesEmpty) {
  WritePrm(company, "1");
  WriteInvoices(company, {{}});
  auto walked = WalkInvoices(company);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].supplierCountry, "");
  EXPECT_EQ(walked.records[0].supplierBankCountryCode, "");
  EXPECT_THAT(Log(), ::testing::HasSubstr("Misslyckades öppna filen " +
                                          (std::filesystem::path(company.path()) / "LEV.DBF").string()));
}

TEST_F(SupplierLedgerTables, DeletedInvoicesAreNeverVisited) {
  WriteCompany(company, {});
  company.Write("LEVFKT.DBF", Table(kLevfktColumns)
                                  .AddDeleted(Record({{"LOEPNR", "1"}}))
                                  .AddDeleted(Record({{"LOEPNR", "2"}}))
                                  .Add(Record({{"LOEPNR", "3"}}))
                                  .AddDeleted(Record({{"LOEPNR", "4"}, {"JOURN_NR", "0"}})));
  auto walked = WalkInvoices(company);
  EXPECT_EQ(walked.visited, 1);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].invoiceId, "3");
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_EQ(Log(), "");
}

}  // namespace
