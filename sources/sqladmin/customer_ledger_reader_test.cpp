#include "sources/sqladmin/customer_ledger_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/fake/captured_log.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "sources/sqladmin/supplier_ledger_reader.h"

namespace {

using sqladmin_test::CompanyConnection;

const char* const kInvoiceTables =
    "CREATE TABLE OOF (DOKTYP VARCHAR(1), DOKNR INT, KOPPL_DOK3 INT, UTSK BIT, MAKUL BIT, DATUM1 DATE, DATUM2 DATE,"
    " FKTTYP VARCHAR(1), KUNDNR VARCHAR(10), NAMN NVARCHAR(50), POSTADR NVARCHAR(50), POSTADR2 NVARCHAR(50),"
    " POSTNR VARCHAR(10), ORT NVARCHAR(30), VALUTAKOD VARCHAR(3), VALUTAKURS NUMERIC(12,6), VALUTAENH INT,"
    " TOTALT NUMERIC(15,2), SALDO NUMERIC(15,2), MOMSBEL1 NUMERIC(15,2), MOMSBEL2 NUMERIC(15,2), MOMSBEL3 NUMERIC(15,2),"
    " MOMSBEL4 NUMERIC(15,2), KNTKUNDF VARCHAR(6), OCRNR VARCHAR(25), LANDKOD VARCHAR(2))";

// An invoice: DOKTYP, DOKNR, KOPPL_DOK3, MAKUL, FKTTYP, SALDO, TOTALT, MOMSBEL1, VALUTAKURS, VALUTAENH.
std::string Invoice(const std::string& values) {
  return "INSERT INTO OOF (DOKTYP, DOKNR, KOPPL_DOK3, MAKUL, FKTTYP, SALDO, TOTALT, MOMSBEL1, VALUTAKURS, VALUTAENH,"
         " KUNDNR, NAMN, DATUM1, DATUM2, KNTKUNDF, OCRNR) VALUES (" + values +
         ", 'K1', 'Kund å', '2026-01-31', '2026-02-28', '1510', '12345')";
}


class SqlCustomerInvoices : public CompanyConnection {
 protected:
  std::string With(const std::vector<std::string>& values, const char* usesOcr = "1") {
    std::string sql = std::string(kInvoiceTables) + ";CREATE TABLE PRM (AKI_OCR BIT, KL_FKRECID VARCHAR(40));" +
                      "INSERT INTO PRM VALUES (" + usesOcr + ", NULL)";
    for (const std::string& row : values) sql += ";" + Invoice(row);
    return Company("ftg", sql);
  }
};

TEST_F(SqlCustomerInvoices, OnlyOpenInvoiceDocumentsAreListedAndNullFlagsCountAsOpen) {
  const std::string folder = With({
      "'F', 1, 7, 0, 'F', 100, 100, 20, 1, 1",
      "'F', 2, 7, 0, 'N', 100, 100, 20, 1, 1",     // excluded type
      "'O', 3, 7, 0, 'F', 100, 100, 20, 1, 1",     // not an invoice document
      "'F', 4, 7, 0, 'F', 0, 100, 20, 1, 1",       // paid
      "'F', 5, 7, 1, 'F', 100, 100, 20, 1, 1",     // cancelled
      "'F', 6, 7, NULL, 'F', 100, 100, 20, 1, 1",  // cancelled flag never set
      "'F', 7, 7, 0, NULL, 100, 100, 20, 1, 1",    // type never set
  });
  std::unique_ptr<I_QZ_CustomerLedgerItems> invoices = std::make_unique<CSqlAdminCustomerLedgerItems>(folder);
  std::vector<int> numbers;
  for (bool more = invoices->MoveFirst(); more; more = invoices->MoveNext()) numbers.push_back(invoices->GetInvoiceNumber());
  EXPECT_EQ(numbers, (std::vector<int>{1, 6, 7}));
}

// An invoice without its number is named all the same, so its row counts as its
// refusal rather than reading as a row about the whole kind.
TEST_F(SqlCustomerInvoices, AnInvoiceWithoutNumberIsStillNamedInItsRow) {
  CSqlAdminCustomerLedgerItems invoices(With({"'F', NULL, 0, 0, 'F', 100, 100, 20, 1, 1"}));
  ASSERT_TRUE(invoices.MoveFirst());
  std::vector<ReportRow> rows;
  EXPECT_FALSE(invoices.CheckCurrent(rows));
  EXPECT_EQ(rows, (std::vector<ReportRow>{{"(saknas)", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));
}

TEST_F(SqlCustomerInvoices, CreditInvoicesFlipTheSignOfTotalAndVatButNotOfTheRemainder) {
  const std::string folder = With({
      "'F', 1, 7, 0, 'K', -100, -125, -25, 0, 0",
      "'F', 2, 7, 0, 'k', 100, 125, NULL, NULL, NULL",
      "'F', 3, 7, 0, 'f', 100, 125, 25, 10.5, 100",
  });
  struct Row {
    bool credit;
    std::string total, remaining, vat, rate;
    int unit;
    bool operator==(const Row&) const = default;
  };
  std::vector<Row> read;
  CSqlAdminCustomerLedgerItems invoices(folder);
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext())
    read.push_back({invoices.IsCreditInvoice(), invoices.GetTotalAmountInvoiceCurrency(),
                    invoices.GetRemainingAmountInvoiceCurrency(), invoices.GetVatAmountHigh(), invoices.GetCurrencyRate(),
                    invoices.GetCurrencyRateUnit()});
  ASSERT_EQ(read.size(), 3u);
  EXPECT_TRUE(read[0] == (Row{true, "125.00", "-100.00", "25.00", "1.000000", 1}));
  EXPECT_TRUE(read[1] == (Row{true, "-125.00", "100.00", "", "1.000000", 1}));
  EXPECT_TRUE(read[2] == (Row{false, "125.00", "100.00", "25.00", "10.500000", 100}));
}

TEST_F(SqlCustomerInvoices, AnUnbookedInvoiceIsReportedUnlessItsTypeIsExempt) {
  const std::string folder = With({
      "'F', 1, 0, 0, 'F', 100, 100, 20, 1, 1",
      "'F', 2, NULL, 0, 'f', 100, 100, 20, 1, 1",
      "'F', 3, 9, 0, 'F', 100, 100, 20, 1, 1",
  });
  CSqlAdminCustomerLedgerItems invoices(folder);
  std::vector<ReportRow> rows;
  std::vector<bool> passed;
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext()) passed.push_back(invoices.CheckCurrent(rows));
  EXPECT_EQ(passed, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(rows, (std::vector<ReportRow>{{"1", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));
}

// The invoicing program books nothing: there an invoice must have been printed instead.
TEST_F(SqlCustomerInvoices, TheInvoicingProgramAsksForAPrintedInvoiceNotABookedOne) {
  GetDataModelByProductCode("W")->clear();  // a load adds to what the model holds
  LoadDataModelFile(*GetDataModelByProductCode("W"), (tree_ / "program").string());
  std::string sql = std::string(kInvoiceTables) + ";CREATE TABLE PRM (AKI_OCR BIT, KL_FKRECID VARCHAR(40))";
  for (const char* row : {"'F', 1, 0, 1, 'F'", "'F', 2, 7, 0, 'F'", "'F', 3, 7, NULL, 'F'", "'F', 4, 0, 0, 'k'"})
    sql += std::string(";INSERT INTO OOF (DOKTYP, DOKNR, KOPPL_DOK3, UTSK, FKTTYP, SALDO) VALUES (") + row + ", 100)";
  CSqlAdminCustomerLedgerItems invoices(Company("fkt", sql, "W"));
  std::vector<ReportRow> rows;
  std::vector<bool> passed;
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext()) passed.push_back(invoices.CheckCurrent(rows));
  EXPECT_EQ(passed, (std::vector<bool>{true, false, false, true}));
  EXPECT_EQ(rows, (std::vector<ReportRow>{{"2", "", "Error", "Fel:", "Fakturan är inte utskriven."},
                                          {"3", "", "Error", "Fel:", "Fakturan är inte utskriven."}}));
}

// Open invoices go only to a cloud company not yet linked, and neither kind
// exists in the edition without that ledger.
TEST_F(SqlCustomerInvoices, EachKindIsUnavailableToItsEditionWithoutItAndToALinkedCompany) {
  const struct {
    const char* variant;  // the first character names the edition: 0 is 200, W is 400
    const char* link;
    bool customerInvoices, supplierInvoices;
  } cases[] = {
      {"1", "NULL", true, true},     {"1", "''", true, true}, {"1", "'4711'", false, false},
      {"0", "NULL", false, true},    {"W", "NULL", true, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string folder = Company("ftg" + std::to_string(++n),
                                       std::string(kInvoiceTables) + ";CREATE TABLE PRM (KL_FKRECID VARCHAR(40));" +
                                           "INSERT INTO PRM VALUES (" + c.link + ")",
                                       c.variant);
    EXPECT_EQ(CSqlAdminCustomerLedgerItems(folder).IsAvailable(), c.customerInvoices) << c.variant << c.link;
    EXPECT_EQ(CSqlAdminSupplierLedgerItems(folder).IsAvailable(), c.supplierInvoices) << c.variant << c.link;
  }
}

// A link that cannot be read may hide one that is there: neither kind is read,
// and each section says why.
TEST_F(SqlCustomerInvoices, AnUnreadableLinkKeepsBothKindsBackWithARowInEachSection) {
  platform::fake::CapturedLog log;
  const std::string folder =  // PRM is missing: the link's query fails
      Company("nolink", std::string(kInvoiceTables) + ";INSERT INTO OOF (DOKTYP, DOKNR, KOPPL_DOK3, SALDO) VALUES ('F', 1, 7, 100)");
  CSqlAdminCustomerLedgerItems customerInvoices(folder);
  CSqlAdminSupplierLedgerItems supplierInvoices(folder);
  for (I_QZ_Base* invoices : std::initializer_list<I_QZ_Base*>{&customerInvoices, &supplierInvoices}) {
    EXPECT_TRUE(invoices->IsAvailable());  // the kind keeps its section
    EXPECT_FALSE(invoices->MoveFirst());
    std::vector<ReportRow> rows;
    invoices->AddWarnings(rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(report::IsAboutWholeKind(rows[0]));
    EXPECT_EQ(rows[0].kind, report::kError);
    const std::string lead = "Företagets koppling till Tessal Molnix kan inte läsas, så fakturorna överförs inte: ";
    EXPECT_TRUE(rows[0].text.starts_with(lead)) << rows[0].text;
    EXPECT_NE(rows[0].text.find("no such table: PRM"), std::string::npos) << rows[0].text;
  }
  std::vector<std::string> linkLines;
  for (const std::string& line : log.Lines())
    if (line.find("kopplingen till Tessal Molnix") != std::string::npos) linkLines.push_back(line);
  ASSERT_EQ(linkLines.size(), 2u);
  EXPECT_NE(linkLines[0].find(folder), std::string::npos) << linkLines[0];
}

// The invoices a walk lets through, as the prepare walks them, and every row it gives.
struct Walked {
  std::vector<int> numbers;
  std::vector<ReportRow> rows;
};
Walked Walk(I_QZ_CustomerLedgerItems& invoices) {
  Walked walked;
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext())
    if (invoices.CheckCurrent(walked.rows)) walked.numbers.push_back(invoices.GetInvoiceNumber());
  invoices.AddWarnings(walked.rows);
  return walked;
}

// Invoices 1, 2 and 3 of a company that sends payment references, invoice 2 changed by `set`.
std::string ThreeInvoices(const std::string& set) {
  return std::string(kInvoiceTables) + ";CREATE TABLE PRM (AKI_OCR BIT, KL_FKRECID VARCHAR(40));" +
         "INSERT INTO PRM VALUES (1, NULL);" + Invoice("'F', 1, 7, 0, 'F', 100, 100, 20, 1, 1") + ";" +
         Invoice("'F', 2, 7, 0, 'F', 200, 200, 40, 1, 1") + ";" + Invoice("'F', 3, 7, 0, 'F', 300, 300, 60, 1, 1") +
         ";UPDATE OOF SET " + set + " WHERE DOKNR = 2";
}

// A column that SQLite lets hold a text that is no value of its type: the
// invoice is refused with a row naming it and the column, never sent with 0,
// another date or rate 1; a value it does not send only warns. The table says
// it was not read whole either way.
TEST_F(SqlCustomerInvoices, AValueThatDoesNotReadAsItsTypeIsNamedNeverSentAsAnother) {
  const struct {
    const char* set;
    const char* key;        // of the row about the invoice
    const char* kind;       // of that row
    const char* column;
    std::vector<int> sent;
  } cases[] = {
      {"SALDO = 'abc'", "2", report::kError, "OOF.SALDO", {1, 3}},
      {"SALDO = '--3'", "2", report::kError, "OOF.SALDO", {1, 3}},
      {"TOTALT = '1e999'", "2", report::kError, "OOF.TOTALT", {1, 3}},
      {"VALUTAKURS = 'abc'", "2", report::kError, "OOF.VALUTAKURS", {1, 3}},
      {"VALUTAENH = '1x'", "2", report::kError, "OOF.VALUTAENH", {1, 3}},
      {"DATUM1 = 'abc'", "2", report::kError, "OOF.DATUM1", {1, 3}},
      {"DATUM2 = '2026-02-30'", "2", report::kError, "OOF.DATUM2", {1, 3}},
      {"KOPPL_DOK3 = '7x'", "2", report::kError, "OOF.KOPPL_DOK3", {1, 3}},
      {"MAKUL = 'x'", "2", report::kError, "OOF.MAKUL", {1, 3}},
      {"DOKNR = '1a0100'", report::kMissingKey, report::kError, "OOF.DOKNR", {1, 3}},
      {"MOMSBEL4 = 'abc'", "2", report::kWarning, "OOF.MOMSBEL4", {1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    CSqlAdminCustomerLedgerItems invoices(Company(std::string("ftg") + std::to_string(&c - cases), ThreeInvoices(c.set)));
    const Walked walked = Walk(invoices);
    EXPECT_EQ(walked.numbers, c.sent);
    ASSERT_EQ(walked.rows.size(), 2u);
    EXPECT_EQ(walked.rows[0].key, c.key);
    EXPECT_EQ(walked.rows[0].kind, c.kind);
    EXPECT_NE(walked.rows[0].text.find(std::string("kolumnen ") + c.column + " har värdet"), std::string::npos)
        << walked.rows[0].text;
    EXPECT_TRUE(report::IsAboutWholeKind(walked.rows[1]));
    EXPECT_EQ(walked.rows[1].text, std::string("Tabellen OOF kan inte läsas helt: 1 värde kan inte läsas som sin "
                                               "kolumns typ (") + c.column + ")");
  }
}

// A value the driver cannot hand over whole ends the walk with a row that
// names the column, the invoice and the driver's words.
TEST_F(SqlCustomerInvoices, ARowThatCannotBeFetchedIsNamedByItsKeyColumnAndTheDriversWords) {
  CSqlAdminCustomerLedgerItems cut(Company("cut", ThreeInvoices("NAMN = '" + std::string(400, 'X') + "'")));
  const Walked walked = Walk(cut);
  EXPECT_EQ(walked.numbers, std::vector<int>{1});
  ASSERT_EQ(walked.rows.size(), 1u);
  const std::string lead = "Tabellen OOF kan inte läsas helt: kolumnen OOF.NAMN i posten 2 kan inte hämtas: 01004 ";
  EXPECT_TRUE(walked.rows[0].text.starts_with(lead)) << walked.rows[0].text;
  EXPECT_GT(walked.rows[0].text.size(), lead.size() + 5) << walked.rows[0].text;  // the driver's own words
}

TEST_F(SqlCustomerInvoices, PaymentReferenceIsSentOnlyByACompanyUsingOcr) {
  for (const auto& [usesOcr, expected] : {std::pair{"1", "12345"}, {"0", ""}, {"NULL", ""}}) {
    CSqlAdminCustomerLedgerItems invoices(With({"'F', 1, 7, 0, 'F', 100, 100, 20, 1, 1"}, usesOcr));
    ASSERT_TRUE(invoices.MoveFirst());
    EXPECT_EQ(invoices.GetPaymentReferenceNumber(), expected) << usesOcr;
    EXPECT_EQ(invoices.GetCustomerName(), "Kund å");
    EXPECT_EQ(invoices.GetInvoiceDate(), "2026-01-31");
    EXPECT_EQ(invoices.GetCustomerLedgerAccountNumber(), 1510);
  }
  CSqlAdminCustomerLedgerItems unreachable(Company("gone", ""));
  EXPECT_FALSE(unreachable.MoveFirst());
  EXPECT_EQ(unreachable.GetCurrencyRate(), "");
  EXPECT_EQ(unreachable.GetCurrencyRateUnit(), 0);
}

}  // namespace
