#include "sources/admin/customer_ledger_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/log.h"
#include "sources/admin/supplier_ledger_reader.h"
#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;
using Values = std::map<std::string, std::string>;

const char* const kNotBooked = "Fakturan är inte bokförd.";
const char* const kNotPrinted = "Fakturan är inte utskriven.";

const std::vector<fixtures::DbfColumn> kOofColumns = {
    Char("DOKTYP", 2),        Numeric("DOKNR", 8),      Numeric("KOPPL_DOK3", 8), Logical("UTSK"),
    Logical("MAKUL"),         {"DATUM1", 'D', 8},       {"DATUM2", 'D', 8},       Char("FKTTYP", 2),
    Char("KUNDNR", 10),       Char("NAMN", 40),         Char("POSTADR", 40),      Char("POSTADR2", 40),
    Char("POSTNR", 10),       Char("ORT", 30),          Char("VALUTAKOD", 3),     Numeric("VALUTAKURS", 10, 4),
    Numeric("VALUTAENH", 4),  Numeric("TOTALT", 12, 2), Numeric("SALDO", 12, 2),  Numeric("MOMSBEL1", 12, 2),
    Numeric("MOMSBEL2", 12, 2), Numeric("MOMSBEL3", 12, 2), Numeric("KNTKUNDF", 4), Char("OCRNR", 25),
    Char("LANDKOD", 2)};

// An open, printed and booked invoice in SEK; a case names only what differs.
const Values kOpenInvoice = {
    {"DOKTYP", "F"},           {"DOKNR", "10001"},     {"KOPPL_DOK3", "1234"}, {"UTSK", "T"},
    {"MAKUL", "F"},            {"DATUM1", "20240131"}, {"DATUM2", "20240301"}, {"FKTTYP", "F"},
    {"KUNDNR", "1"},           {"NAMN", "Byggbolaget Väst AB"}, {"POSTADR", "Storgatan 1"},
    {"POSTADR2", "Box 12"},    {"POSTNR", "411 01"},   {"ORT", "Göteborg"},    {"VALUTAKOD", "SEK"},
    {"TOTALT", "1250.00"},     {"SALDO", "1250.00"},   {"MOMSBEL1", "250.00"}, {"KNTKUNDF", "1510"},
    {"OCRNR", "100013"},       {"LANDKOD", "SE"}};

std::vector<std::string> Record(const std::vector<fixtures::DbfColumn>& columns, Values values) {
  for (const auto& [column, value] : kOpenInvoice) values.try_emplace(column, value);
  std::vector<std::string> record;
  for (const auto& column : columns) record.push_back(values[column.name]);
  return record;
}

// The walked record of kOpenInvoice.
const CustomerLedgerRecord kOpenRecord{.invoiceNumber = 10001,
                                       .customerNumber = "1",
                                       .customerName = "Byggbolaget Väst AB",
                                       .customerAddress1 = "Storgatan 1",
                                       .customerAddress2 = "Box 12",
                                       .customerCity = "Göteborg",
                                       .customerCountry = "SE",
                                       .customerPostalCode = "411 01",
                                       .invoiceDate = "2024-01-31",
                                       .dueDate = "2024-03-01",
                                       .paymentReferenceNumber = "100013",
                                       .currencyCode = "SEK",
                                       .currencyRate = "1.000000",
                                       .currencyRateUnit = 1,
                                       .customerLedgerAccountNumber = 1510,
                                       .totalAmountInvoiceCurrency = "1250.00",
                                       .remainingAmountInvoiceCurrency = "1250.00",
                                       .vatAmountHigh = "250.00"};

// PRM_TYPE "1" is the administration program's edition 1000, "0" edition 200,
// "5" edition 500 and "W" the invoicing program (400).
void WritePrm(const CompanyFolder& company, const std::string& productCode, const std::string& usesOcr = "T",
              const std::string& cloudLink = "") {
  company.Write("PRM.DBF", Table({Char("ORGNR", 13), Char("NAMN", 40), Char("PRG", 3), Char("PRG_TYPE", 2),
                                  Numeric("VERSION", 6, 2), Logical("AKI_OCR"), Char("KL_FKRECID", 36)})
                               .Add({"556677-8899", "Åsa Öberg AB", "ADM", productCode, "12.30", usesOcr, cloudLink}));
}

void WriteInvoices(const CompanyFolder& company, const std::vector<Values>& invoices) {
  auto table = Table(kOofColumns);
  for (const auto& invoice : invoices) table.Add(Record(kOofColumns, invoice));
  company.Write("OOF.DBF", table);
}

auto WalkInvoices(const CompanyFolder& company) {
  CAdminCustomerLedgerItems reader(company.path());
  return Walk(reader);
}

ReportRow Row(const std::string& key, const char* text) { return {key, "", "Error", "Fel:", text}; }

TEST(CustomerLedger, SelectsTheOpenInvoicesThatMayBeMoved) {
  struct Case {
    const char* label;
    std::string productCode;
    Values invoice;
    bool uploaded;
    std::vector<ReportRow> rows;
  };
  const std::vector<Case> cases = {
      {"booked invoice", "5", {}, true, {}},
      {"order", "1", {{"DOKTYP", "O"}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"lower-case document type", "1", {{"DOKTYP", "f"}}, false, {}},
      {"two-letter document type", "1", {{"DOKTYP", "FK"}}, false, {}},
      {"never sent", "1", {{"FKTTYP", "N"}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"paid", "1", {{"SALDO", "0.00"}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"no balance", "1", {{"SALDO", ""}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"minus nothing", "1", {{"SALDO", "-0"}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"one öre", "1", {{"SALDO", "0.01"}}, true, {}},
      {"overpaid", "1", {{"SALDO", "-125.50"}}, true, {}},
      {"cancelled, neither printed nor booked", "W", {{"MAKUL", "T"}, {"UTSK", "F"}, {"KOPPL_DOK3", ""}}, false, {}},
      {"cancelled in the other edition", "1", {{"MAKUL", "t"}, {"KOPPL_DOK3", "0"}}, false, {}},
      {"not booked", "5", {{"KOPPL_DOK3", "0"}}, false, {Row("10001", kNotBooked)}},
      {"no booking", "5", {{"KOPPL_DOK3", ""}}, false, {Row("10001", kNotBooked)}},
      {"credit not booked", "1", {{"FKTTYP", "K"}, {"KOPPL_DOK3", "0"}}, false, {Row("10001", kNotBooked)}},
      {"two-letter invoice type is tested", "1", {{"FKTTYP", "FK"}, {"KOPPL_DOK3", "0"}}, false,
       {Row("10001", kNotBooked)}},
      {"printed by the invoicing program", "W", {{"KOPPL_DOK3", "0"}}, true, {}},
      {"not printed by the invoicing program", "W", {{"UTSK", "F"}}, false, {Row("10001", kNotPrinted)}},
      {"unprinted in the smallest edition needs booking only", "0", {{"UTSK", "F"}}, true, {}},
      {"exempt invoice", "1", {{"FKTTYP", "f"}, {"KOPPL_DOK3", "0"}, {"UTSK", "F"}}, true, {}},
      {"exempt credit", "W", {{"FKTTYP", "k"}, {"KOPPL_DOK3", "0"}, {"UTSK", "F"}}, true, {}},
      {"invoice number that is no number", "1", {{"DOKNR", "12A"}, {"KOPPL_DOK3", "0"}}, false,
       {Row("12A", "Värdet \"12A\" i fältet DOKNR i OOF.DBF kan inte läsas.")}},
      // Named all the same, so the row is never taken for one about every invoice.
      {"no invoice number", "1", {{"DOKNR", ""}, {"KOPPL_DOK3", "0"}}, false,
       {Row("(saknas)", "Värdet i fältet DOKNR i OOF.DBF saknas.")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    CompanyFolder company;
    WritePrm(company, c.productCode);
    WriteInvoices(company, {c.invoice});
    auto walked = WalkInvoices(company);
    EXPECT_EQ(walked.visited, 1);
    EXPECT_EQ(walked.records.size(), c.uploaded ? 1u : 0u);
    EXPECT_EQ(walked.rows, c.rows);
  }
}

// A value that does not read as its field's type is never taken as another:
// the invoice is refused with a row that names it and the field, whatever the
// value decides (whether the invoice is open, its number, dates, rate, amounts).
TEST(CustomerLedger, ValuesThatDoNotReadRefuseTheInvoice) {
  struct Case {
    std::string productCode;
    Values invoice;
    std::string key, text;
  };
  auto unread = [](const char* value, const char* field) {
    return "Värdet \"" + std::string(value) + "\" i fältet " + field + " i OOF.DBF kan inte läsas.";
  };
  const std::vector<Case> cases = {
      {"1", {{"SALDO", "--3"}}, "10001", unread("--3", "SALDO")},
      {"1", {{"SALDO", "1e999"}}, "10001", unread("1e999", "SALDO")},
      {"1", {{"SALDO", "0x10"}}, "10001", unread("0x10", "SALDO")},
      {"1", {{"SALDO", "12 50"}}, "10001", unread("12 50", "SALDO")},
      {"1", {{"MAKUL", "X"}}, "10001", unread("X", "MAKUL")},
      {"1", {{"VALUTAKOD", "EUR"}, {"VALUTAKURS", "abc"}}, "10001", unread("abc", "VALUTAKURS")},
      {"1", {{"VALUTAENH", "1.5"}}, "10001", unread("1.5", "VALUTAENH")},
      {"1", {{"DOKNR", "1a0100"}}, "1a0100", unread("1a0100", "DOKNR")},
      {"1", {{"DATUM1", "2024XX31"}}, "10001", unread("2024XX31", "DATUM1")},
      {"1", {{"DATUM2", "20230229"}}, "10001", unread("20230229", "DATUM2")},  // no leap year
      {"1", {{"DATUM2", "2024ÄÄ31"}}, "10001", unread("2024ÄÄ31", "DATUM2")},
      {"1", {{"TOTALT", "1.250,00"}}, "10001", unread("1.250,00", "TOTALT")},
      {"1", {{"MOMSBEL2", "*****"}}, "10001", unread("*****", "MOMSBEL2")},
      {"1", {{"KNTKUNDF", "15x0"}}, "10001", unread("15x0", "KNTKUNDF")},
      {"1", {{"KOPPL_DOK3", "12-3"}}, "10001", unread("12-3", "KOPPL_DOK3")},
      {"W", {{"UTSK", "1"}}, "10001", unread("1", "UTSK")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CompanyFolder company;
    WritePrm(company, c.productCode);
    WriteInvoices(company, {c.invoice});
    auto walked = WalkInvoices(company);
    EXPECT_TRUE(walked.records.empty());
    EXPECT_EQ(walked.rows, (std::vector<ReportRow>{Row(c.key, c.text.c_str())}));
  }
}

// What dBASE and FoxPro write reads: blanks around a number, a sign, a point
// without digits after it, the logical letters of either case.
TEST(CustomerLedger, NumbersAndFlagsAsXBaseWritesThem) {
  CompanyFolder company;
  WritePrm(company, "W");
  WriteInvoices(company, {{{"SALDO", "+12."}, {"UTSK", "y"}, {"MAKUL", "n"}, {"KNTKUNDF", "151"}},
                          {{"SALDO", "-.50"}, {"UTSK", "J"}, {"MAKUL", "?"}, {"VALUTAENH", "10."}},
                          {{"SALDO", "1"}, {"UTSK", "T"}, {"MAKUL", "Y"}}});
  auto walked = WalkInvoices(company);
  EXPECT_TRUE(walked.rows.empty());
  ASSERT_EQ(walked.records.size(), 2u);  // the third is cancelled
  EXPECT_EQ(walked.records[0].remainingAmountInvoiceCurrency, "+12.");
  EXPECT_EQ(walked.records[0].customerLedgerAccountNumber, 151);  // stored with blanks before it
  EXPECT_EQ(walked.records[1].remainingAmountInvoiceCurrency, "-.50");
  EXPECT_EQ(walked.records[1].currencyRateUnit, 10);
}

TEST(CustomerLedger, GivesEveryValueInTheCloudsForm) {
  CompanyFolder company;
  WritePrm(company, "1");
  WriteInvoices(company, {{},
                          {{"DOKNR", "10023"}, {"VALUTAKOD", "EUR"}, {"VALUTAKURS", "10.8600"}, {"VALUTAENH", "100"},
                           {"DATUM2", ""}, {"POSTNR", "  80 331"}, {"MOMSBEL3", "12.00"}, {"POSTADR2", ""}},
                          {{"DOKNR", "10024"}, {"FKTTYP", "K"}, {"TOTALT", "1250.00"}, {"SALDO", "-1250.00"},
                           {"MOMSBEL1", "250.00"}, {"MOMSBEL2", ""}, {"MOMSBEL3", "-5.00"}}});
  auto walked = WalkInvoices(company);

  auto foreign = kOpenRecord;
  foreign.invoiceNumber = 10023;
  foreign.currencyCode = "EUR";
  foreign.currencyRate = "10.8600";
  foreign.currencyRateUnit = 100;
  foreign.dueDate = "";
  foreign.customerPostalCode = "  80 331";  // a character column keeps its leading blanks
  foreign.customerAddress2 = "";
  foreign.vatAmountLow = "12.00";
  auto credit = kOpenRecord;
  credit.invoiceNumber = 10024;
  credit.isCreditInvoice = true;
  credit.totalAmountInvoiceCurrency = "-1250.00";
  credit.remainingAmountInvoiceCurrency = "-1250.00";  // the balance is passed on as stored
  credit.vatAmountHigh = "-250.00";
  credit.vatAmountMiddle = "";
  credit.vatAmountLow = "5.00";
  EXPECT_EQ(walked.records, (std::vector<CustomerLedgerRecord>{kOpenRecord, foreign, credit}));
  EXPECT_TRUE(walked.rows.empty());
}

TEST(CustomerLedger, ValueForms) {
  struct Case {
    Values invoice;
    std::string CustomerLedgerRecord::*field;
    std::string expected;
  };
  using R = CustomerLedgerRecord;
  const std::vector<Case> cases = {
      {{{"DATUM1", ""}}, &R::invoiceDate, ""},
      {{{"DATUM1", "20240229"}}, &R::invoiceDate, "2024-02-29"},
      {{{"VALUTAKURS", "0"}}, &R::currencyRate, "1.000000"},
      {{{"VALUTAKURS", "0.0000"}}, &R::currencyRate, "1.000000"},
      {{{"VALUTAKURS", "1.0000"}}, &R::currencyRate, "1.0000"},
      {{{"FKTTYP", "K"}, {"TOTALT", "-80.50"}}, &R::totalAmountInvoiceCurrency, "80.50"},
      {{{"FKTTYP", "k"}, {"TOTALT", "80.50"}}, &R::totalAmountInvoiceCurrency, "-80.50"},
      {{{"FKTTYP", "F"}, {"TOTALT", "-80.50"}}, &R::totalAmountInvoiceCurrency, "-80.50"},
      {{{"FKTTYP", "k"}, {"TOTALT", ""}}, &R::totalAmountInvoiceCurrency, ""},
  };
  CompanyFolder company;
  WritePrm(company, "1");
  std::vector<Values> invoices;
  for (const Case& c : cases) invoices.push_back(c.invoice);
  WriteInvoices(company, invoices);
  auto walked = WalkInvoices(company);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(walked.records[i].*cases[i].field, cases[i].expected) << i;

  WriteInvoices(company, {{{"VALUTAENH", ""}}, {{"VALUTAENH", "0"}}, {{"VALUTAENH", "-3"}}});
  walked = WalkInvoices(company);
  ASSERT_EQ(walked.records.size(), 3u);
  EXPECT_EQ(walked.records[0].currencyRateUnit, 1);
  EXPECT_EQ(walked.records[1].currencyRateUnit, 1);
  EXPECT_EQ(walked.records[2].currencyRateUnit, -3);
}

TEST(CustomerLedger, PaymentReferenceOnlyForACompanyThatUsesThem) {
  for (auto [usesOcr, reference] : std::vector<std::pair<std::string, std::string>>{
           {"T", "100013"}, {"t", "100013"}, {"F", ""}, {"", ""}}) {
    SCOPED_TRACE(usesOcr);
    CompanyFolder company;
    WritePrm(company, "1", usesOcr);
    WriteInvoices(company, {{}});
    auto walked = WalkInvoices(company);
    ASSERT_EQ(walked.records.size(), 1u);
    EXPECT_EQ(walked.records[0].paymentReferenceNumber, reference);
  }

  CompanyFolder withoutParameters;
  WriteInvoices(withoutParameters, {{}});
  auto walked = WalkInvoices(withoutParameters);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].paymentReferenceNumber, "");

  // Whether the company uses them is not known: none is sent, and a row says so.
  CompanyFolder unreadFlag;
  WritePrm(unreadFlag, "1", "x");
  WriteInvoices(unreadFlag, {{}});
  walked = WalkInvoices(unreadFlag);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].paymentReferenceNumber, "");
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"", "", "Warning", "Varning:",
                                                  "Värdet \"x\" i fältet AKI_OCR i PRM.DBF kan inte läsas; "
                                                  "OCR-nummer saknas."}}));
}

TEST(CustomerLedger, AvailableUnlessTheSmallestEditionOrLinkedToTheCloud) {
  struct Case {
    std::string productCode, cloudLink;
    bool available;
  };
  for (const Case& c : std::vector<Case>{{"1", "", true},
                                         {"5", "", true},
                                         {"W", "", true},
                                         {"F", "", true},
                                         {"0", "", false},
                                         {"1", "7d1c5a52-0b1e-4bb6-9d5e-1f0c2a3b4c5d", false},
                                         {"W", "42", false}}) {
    SCOPED_TRACE(c.productCode + "/" + c.cloudLink);
    CompanyFolder company;
    WritePrm(company, c.productCode, "T", c.cloudLink);
    WriteInvoices(company, {{}});
    CAdminCustomerLedgerItems reader(company.path());
    EXPECT_EQ(reader.IsAvailable(), c.available);
    Walk(reader);
    EXPECT_EQ(reader.IsAvailable(), c.available);  // the same answer after the walk and the close
  }

  CompanyFolder withoutParameters;  // not identified, not linked
  EXPECT_TRUE(CAdminCustomerLedgerItems(withoutParameters.path()).IsAvailable());
}

// A PRM.DBF that cannot be read may hide a link to the cloud: the invoices of
// both kinds are kept back, as a link keeps them, and each section says why.
TEST(CustomerLedger, AnUnreadableLinkKeepsBothKindsBackWithARowInEachSection) {
  const std::string lead = "Företagets koppling till Tessal Molnix kan inte läsas, så fakturorna överförs inte: ";
  const struct {
    const char* name;
    std::function<void(const CompanyFolder&)> damage;
    std::string why;
  } cases[] = {
      {"missing", [](const CompanyFolder& c) { std::filesystem::remove(std::filesystem::path(c.path()) / "PRM.DBF"); },
       "Filen PRM.DBF saknas."},
      {"zero length", [](const CompanyFolder& c) { c.WriteText("PRM.DBF", ""); },
       "Filen PRM.DBF kan inte läsas helt: the file is shorter than the 32-byte header"},
      {"without its record",
       [](const CompanyFolder& c) { c.Write("PRM.DBF", Table({Char("PRG", 3), Char("KL_FKRECID", 36)})); },
       "Filen PRM.DBF kan inte läsas: filen har ingen post"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanyFolder company;
    WritePrm(company, "1", "T", "7d1c5a52-0b1e-4bb6-9d5e-1f0c2a3b4c5d");  // linked, but that cannot be read
    WriteInvoices(company, {{}});
    company.Write("LEVFKT.DBF", Table({Numeric("LOEPNR", 8), Numeric("SALDO", 12, 2)}).Add({"1", "100.00"}));
    c.damage(company);
    platform::fake::CapturedLog log;
    CAdminCustomerLedgerItems customerInvoices(company.path());
    CAdminSupplierLedgerItems supplierInvoices(company.path());
    for (I_QZ_Base* invoices : std::initializer_list<I_QZ_Base*>{&customerInvoices, &supplierInvoices}) {
      EXPECT_TRUE(invoices->IsAvailable());  // the kind keeps its section
      EXPECT_FALSE(invoices->MoveFirst());
      std::vector<ReportRow> rows;
      invoices->AddWarnings(rows);
      EXPECT_EQ(rows, (std::vector<ReportRow>{{"", "", "Error", "Fel:", lead + c.why}}));
    }
    int logged = 0;
    for (const std::string& line : log.Lines())
      logged += line.find("kopplingen till Tessal Molnix") != std::string::npos && line.find(company.path()) != std::string::npos;
    EXPECT_EQ(logged, 2);
  }
}

TEST(CustomerLedger, MissingColumnsDecideAsEmptyTexts) {
  struct Case {
    const char* missing;
    std::size_t uploaded;
    std::vector<ReportRow> rows;
  };
  // Over a booked invoice and one that is not booked.
  for (const Case& c : std::vector<Case>{
           {"DOKTYP", 0, {}},
           {"SALDO", 0, {}},
           {"KOPPL_DOK3", 0, {Row("10001", kNotBooked), Row("10002", kNotBooked)}},
           {"MAKUL", 1, {Row("10002", kNotBooked)}},
           // Named all the same: one invoice, not all.
           {"DOKNR", 0, {Row("(saknas)", "Filen OOF.DBF saknar fältet DOKNR."),
                         Row("(saknas)", "Filen OOF.DBF saknar fältet DOKNR.")}}}) {
    SCOPED_TRACE(c.missing);
    std::vector<fixtures::DbfColumn> columns;
    for (const auto& column : kOofColumns)
      if (column.name != c.missing) columns.push_back(column);
    CompanyFolder company;
    WritePrm(company, "1");
    company.Write("OOF.DBF", Table(columns)
                                 .Add(Record(columns, {}))
                                 .Add(Record(columns, {{"DOKNR", "10002"}, {"KOPPL_DOK3", "0"}})));
    auto walked = WalkInvoices(company);
    EXPECT_EQ(walked.records.size(), c.uploaded);
    EXPECT_EQ(walked.rows, c.rows);
  }
}

class CustomerLedgerTables : public ::testing::Test {
 protected:
  CustomerLedgerTables() { platform::ConfigureLog(true, logFolder_.root().string()); }
  ~CustomerLedgerTables() override { platform::ConfigureLog(false, ""); }
  std::string Log() const {
    return platform::ReadWholeFile(logFolder_.root() / platform::kLogFileName).value_or("");
  }

  platform::fake::TempTree logFolder_;
  CompanyFolder company;
};

TEST_F(CustomerLedgerTables, MissingTableIsLoggedAndReadsEmpty) {
  WritePrm(company, "1");
  auto walked = WalkInvoices(company);
  EXPECT_EQ(walked.visited, 0);
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_THAT(Log(), ::testing::HasSubstr("Misslyckades öppna filen "));
  EXPECT_THAT(Log(), ::testing::HasSubstr("OOF.DBF"));
}

TEST_F(CustomerLedgerTables, EmptyTableAndDeletedRecordsAreNeverVisited) {
  WritePrm(company, "1");
  company.Write("OOF.DBF", Table(kOofColumns));
  EXPECT_EQ(WalkInvoices(company).visited, 0);
  EXPECT_EQ(Log(), "");

  company.Write("OOF.DBF", Table(kOofColumns)
                               .AddDeleted(Record(kOofColumns, {{"DOKNR", "1"}}))
                               .AddDeleted(Record(kOofColumns, {{"DOKNR", "2"}}))
                               .Add(Record(kOofColumns, {{"DOKNR", "3"}}))
                               .AddDeleted(Record(kOofColumns, {{"DOKNR", "4"}, {"KOPPL_DOK3", "0"}})));
  auto walked = WalkInvoices(company);
  EXPECT_EQ(walked.visited, 1);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].invoiceNumber, 3);
  EXPECT_TRUE(walked.rows.empty());
}

}  // namespace
