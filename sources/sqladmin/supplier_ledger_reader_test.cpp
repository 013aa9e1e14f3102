#include "sources/sqladmin/supplier_ledger_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sources/sqladmin/sql_company_test_support.h"

namespace {

using sqladmin_test::CompanyConnection;


// Invoices given as LOEPNR, FKT_TYP, LEVNR, OCR, MOMSBEL, VKURS, VENHET, TOTAL, SALDO, JOURN_NR, MAKUL.
class SqlSupplierInvoices : public CompanyConnection {
 protected:
  std::string With(const std::vector<std::string>& rows) {
    std::string sql =
        "CREATE TABLE LEVFKT (LOEPNR INT, FKT_TYP VARCHAR(1), FKT_NR VARCHAR(25), LEVNR VARCHAR(10), NAMN NVARCHAR(50),"
        " OCR VARCHAR(25), FDATUM DATE, FFDATUM DATE, MOMSBEL NUMERIC(15,2), VALUTAKOD VARCHAR(3), VKURS NUMERIC(12,6),"
        " VENHET INT, KNTLEVF VARCHAR(6), TOTAL NUMERIC(15,2), SALDO NUMERIC(15,2), JOURN_NR INT, MAKUL BIT);"
        "CREATE TABLE LEV (LEVNR VARCHAR(10), LANDSKOD VARCHAR(2));"
        "INSERT INTO LEV VALUES ('L1', 'DE')";
    for (const std::string& row : rows)
      sql += ";INSERT INTO LEVFKT (LOEPNR, FKT_TYP, LEVNR, OCR, MOMSBEL, VKURS, VENHET, TOTAL, SALDO, JOURN_NR, MAKUL,"
             " NAMN, FKT_NR, KNTLEVF, FDATUM) VALUES (" + row + ", 'Lev ä', 'F-9', '2440', '2026-03-01')";
    return Company("ftg", sql);
  }
};

TEST_F(SqlSupplierInvoices, OpenInvoicesWithSupplierCountrySignAndRateDefaults) {
  const std::string folder = With({
      "1, 'K', 'L1', '4321', -25, 0, 0, -125, -125, 5, 0",       // credit: VAT and total flip, remainder not
      "2, 'k', 'L9', '1234', 25, NULL, NULL, 125, 125, 5, NULL",  // lower-case k is ordinary; NULL cancelled is open
      "3, 'F', 'L1', '', 25, 10.5, 100, 125, 0, 5, 0",           // paid
      "4, 'F', 'L1', '', 25, 1, 1, 125, 125, 5, 1",              // cancelled
      "5, 'F', 'L1', '', 25, 1, 1, 125, NULL, 5, 0",             // no remainder
  });
  std::unique_ptr<I_QZ_SupplierLedgerItems> invoices = std::make_unique<CSqlAdminSupplierLedgerItems>(folder);
  ASSERT_TRUE(invoices->MoveFirst());
  EXPECT_EQ(invoices->GetInvoiceId(), "1");
  EXPECT_TRUE(invoices->IsCreditInvoice());
  EXPECT_EQ(invoices->GetTotalVatAmount(), "25.00");
  EXPECT_EQ(invoices->GetTotalAmountInvoiceCurrency(), "125.00");
  EXPECT_EQ(invoices->GetRemainingAmountInvoiceCurrency(), "-125.00");
  EXPECT_EQ(invoices->GetSupplierCountry(), "DE");
  EXPECT_EQ(invoices->GetSupplierBankCountryCode(), "DE");
  EXPECT_EQ(invoices->GetCurrencyRate(), "1.000000");
  EXPECT_EQ(invoices->GetCurrencyRateUnit(), 1);
  EXPECT_EQ(invoices->GetSupplierName(), "Lev ä");
  EXPECT_EQ(invoices->GetSupplierInvoiceNumber(), "F-9");
  EXPECT_EQ(invoices->GetSupplierLedgerAccountNumber(), 2440);
  EXPECT_EQ(invoices->GetInvoiceDate(), "2026-03-01");
  ASSERT_TRUE(invoices->MoveNext());
  EXPECT_EQ(invoices->GetInvoiceId(), "2");
  EXPECT_FALSE(invoices->IsCreditInvoice());
  EXPECT_EQ(invoices->GetTotalAmountInvoiceCurrency(), "125.00");
  EXPECT_EQ(invoices->GetSupplierCountry(), "");  // supplier not in the register
  EXPECT_EQ(invoices->GetCurrencyRate(), "1.000000");
  EXPECT_EQ(invoices->GetCurrencyRateUnit(), 1);
  EXPECT_FALSE(invoices->MoveNext());
}

TEST_F(SqlSupplierInvoices, PaymentReferenceNeedsTheCheckDigitAndUnbookedInvoicesAreReported) {
  const std::string folder = With({
      "1, 'F', 'L1', '12344', 25, 1, 1, 125, 125, 5, 0",  // passes the mod-10 check
      "2, 'F', 'L1', '1234', 25, 1, 1, 125, 125, 0, 0",   // fails it; not booked
      "3, 'F', 'L1', '43A1', 25, 1, 1, 125, 125, NULL, 0",
      "4, 'F', 'L1', NULL, 25, 1, 1, 125, 125, 7, 0",
  });
  CSqlAdminSupplierLedgerItems invoices(folder);
  std::vector<std::pair<std::string, std::string>> references;
  std::vector<ReportRow> rows;
  std::vector<bool> booked;
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext()) {
    references.emplace_back(invoices.GetPaymentReferenceNumber(), invoices.GetPaymentMessage());
    booked.push_back(invoices.CheckCurrent(rows));
  }
  EXPECT_EQ(references, (std::vector<std::pair<std::string, std::string>>{
                            {"12344", "12344"}, {"", "1234"}, {"", "43A1"}, {"", ""}}));
  EXPECT_EQ(booked, (std::vector<bool>{true, false, false, true}));
  EXPECT_EQ(rows, (std::vector<ReportRow>{{"2", "", "Error", "Fel:", "Fakturan är inte bokförd."},
                                          {"3", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));

  CSqlAdminSupplierLedgerItems unreachable(Company("gone", ""));
  EXPECT_FALSE(unreachable.MoveFirst());
  EXPECT_EQ(unreachable.GetTotalVatAmount(), "");
  EXPECT_EQ(unreachable.GetCurrencyRateUnit(), 0);
}

// An invoice without its running number is named all the same, so its row counts
// as its refusal rather than reading as a row about the whole kind.
TEST_F(SqlSupplierInvoices, AnInvoiceWithoutNumberIsStillNamedInItsRow) {
  CSqlAdminSupplierLedgerItems invoices(With({"NULL, 'F', 'L1', NULL, 25, 1, 1, 125, 125, 0, 0"}));
  ASSERT_TRUE(invoices.MoveFirst());
  std::vector<ReportRow> rows;
  EXPECT_FALSE(invoices.CheckCurrent(rows));
  EXPECT_EQ(rows, (std::vector<ReportRow>{{"(saknas)", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));
}

}  // namespace
