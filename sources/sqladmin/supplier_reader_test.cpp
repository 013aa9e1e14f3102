#include "sources/sqladmin/supplier_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sources/sqladmin/sql_company_test_support.h"

namespace {

using sqladmin_test::CompanyConnection;

const char* const kSupplierTables =
    "CREATE TABLE LEV (LEVNR VARCHAR(10), ORGNR VARCHAR(13), REF NVARCHAR(40), ANTECK_1 NVARCHAR(60),"
    " ANTECK_2 NVARCHAR(60), ANTECK_3 NVARCHAR(60), ANTECK_4 NVARCHAR(60), REF_SIGN VARCHAR(6), UTLBETALN BIT,"
    " VALUTAKOD VARCHAR(3), EPOST VARCHAR(80), POSTADR NVARCHAR(50), POSTADR2 NVARCHAR(50), ORT NVARCHAR(30),"
    " LANDSKOD VARCHAR(2), POSTNR VARCHAR(10), NAMN NVARCHAR(50), MBTEL VARCHAR(20), TEL VARCHAR(20),"
    " BETVILLK VARCHAR(4), AUTOGIRO BIT, BGIRO VARCHAR(34), PGIRO VARCHAR(12), WWW VARCHAR(80), BG_AVGKOD VARCHAR(2),"
    " RIKSBKOD VARCHAR(3), OCRLEV BIT, SWIFTADR VARCHAR(11), BANKKOD VARCHAR(12), MBANKNAMN NVARCHAR(40), INAKTIV BIT);"
    "CREATE TABLE BETVILLK (BETVILLK VARCHAR(4), TEXT NVARCHAR(40), BETKOD VARCHAR(4));"
    "INSERT INTO BETVILLK VALUES ('30', '30 dagar', '030');"
    "CREATE TABLE KONTAKT (KUNDNR VARCHAR(10), LEVNR VARCHAR(10), SIGN VARCHAR(6), EPOST VARCHAR(80),"
    " MBTEL VARCHAR(20), TEL VARCHAR(20));"
    "INSERT INTO KONTAKT VALUES (NULL, 'L1', 'PÅ', 'pa@exempel.se', '070 1', '063 2');"
    "CREATE TABLE LEVNOTE (LEVNR VARCHAR(10), TXT NVARCHAR(200))";

// A supplier: number, foreign flag, BGIRO, SWIFTADR, BANKKOD, BG_AVGKOD.
std::string Supplier(const std::string& number, int foreign, const std::string& bankgiro, const std::string& bic,
                     const std::string& bankCode, const std::string& fee) {
  auto text = [](const std::string& value) { return value == "NULL" ? value : "'" + value + "'"; };
  return "INSERT INTO LEV (LEVNR, NAMN, INAKTIV, UTLBETALN, BGIRO, SWIFTADR, BANKKOD, BG_AVGKOD, LANDSKOD, MBANKNAMN,"
         " RIKSBKOD) VALUES ('" + number + "', 'Lev " + number + "', 0, " + std::to_string(foreign) + ", " +
         text(bankgiro) + ", " + text(bic) + ", " + text(bankCode) + ", " + text(fee) + ", 'DE', 'Bank ä', '101')";
}

struct Payment {
  std::string bankgiro, bban, iban, bic, bankCode, bankName, bankCountry, fee, foreignCode;
  bool operator==(const Payment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Payment& p) {
  return out << p.bankgiro << '|' << p.bban << '|' << p.iban << '|' << p.bic << '|' << p.bankCode << '|'
             << p.bankName << '|' << p.bankCountry << '|' << p.fee << '|' << p.foreignCode;
}

TEST_F(CompanyConnection, SupplierPaymentDetailsFollowTheForeignPaymentFlag) {
  struct Case {
    const char* number;
    int foreign;
    const char* bankgiro;
    const char* bic;
    const char* bankCode;
    const char* fee;
    Payment expected;
  };
  const Case cases[] = {
      // Domestic: the bankgiro in its form, blanks removed; no foreign details.
      {"D1", 0, "123 4-5678", "X", "Y", "0", {"1234-5678", "", "", "", "", "", "DE", "", ""}},
      {"D2", 0, "12345678", "", "", "", {"", "", "", "", "", "", "DE", "", ""}},
      {"D3", 0, "12345-6789", "", "", "", {"", "", "", "", "", "", "DE", "", ""}},
      // Foreign: the account is a BBAN when a digit leads, an IBAN when two letters do.
      {"F1", 1, "DE89 3704-0044", "COBADEFF", "370400", "0",
       {"", "", "DE8937040044", "COBADEFF", "370400", "Bank ä", "", "1", "101"}},
      {"F2", 1, "1234-56", "COBADEFF", "370400", "2", {"", "123456", "", "COBADEFF", "370400", "Bank ä", "", "2", "101"}},
      {"F3", 1, "X", "COBADEFF", "", "1", {"", "", "X", "COBADEFF", "", "Bank ä", "", "2", "101"}},
      {"F4", 1, "A1", "", "370400", "7", {"", "A1", "", "", "370400", "Bank ä", "", "7", "101"}},
  };
  std::string sql = kSupplierTables;
  for (const Case& c : cases) sql += ";" + Supplier(c.number, c.foreign, c.bankgiro, c.bic, c.bankCode, c.fee);
  std::unique_ptr<I_QZ_Suppliers> suppliers = std::make_unique<CSqlAdminSupplierDb>(Company("ftg", sql));
  EXPECT_TRUE(suppliers->IsAvailable());
  std::size_t index = 0;
  for (bool more = suppliers->MoveFirst(); more; more = suppliers->MoveNext(), ++index) {
    ASSERT_LT(index, std::size(cases));
    const Payment read{suppliers->GetSupplierBankgiroNumber(), suppliers->GetSupplierBankBban(),
                       suppliers->GetSupplierBankIban(),       suppliers->GetSupplierBankBic(),
                       suppliers->GetSupplierBankCode(),       suppliers->GetSupplierBankName(),
                       suppliers->GetSupplierBankCountryCode(), suppliers->GetBankFeeCode(),
                       suppliers->GetForeignPaymentCode()};
    EXPECT_EQ(suppliers->GetSupplierNumber(), cases[index].number);
    EXPECT_EQ(read, cases[index].expected) << cases[index].number;
    EXPECT_EQ(suppliers->GetSupplierBankAccountNumber(), "");
  }
  EXPECT_EQ(index, std::size(cases));
}

TEST_F(CompanyConnection, SupplierSharesTheCustomersContactNoteAndTermsRules) {
  const std::string folder = Company(
      "ftg", std::string(kSupplierTables) +
                 ";INSERT INTO LEV (LEVNR, NAMN, INAKTIV, REF, REF_SIGN, BETVILLK, ANTECK_1, ANTECK_3, PGIRO, POSTNR,"
                 " AUTOGIRO, OCRLEV, WWW) VALUES ('L1', 'Lev ä', 0, 'Per Åberg', 'PÅ', '30', 'Rad 1 ', 'rad 3',"
                 " '12 34-5', '111 22', 1, 1, 'www.lev.se');"
                 "INSERT INTO LEV (LEVNR, NAMN, INAKTIV) VALUES ('L2', 'Borta', 1);"
                 "INSERT INTO LEV (LEVNR, NAMN, INAKTIV) VALUES ('L3', 'Okänd', NULL)");
  CSqlAdminSupplierDb suppliers(folder);
  ASSERT_TRUE(suppliers.MoveFirst());
  EXPECT_EQ(suppliers.GetName(), "Lev ä");
  EXPECT_EQ(suppliers.GetContactPersonName(), "Per Åberg");
  EXPECT_EQ(suppliers.GetContactPersonEmail(), "pa@exempel.se");
  EXPECT_EQ(suppliers.GetContactPersonMobile(), "0701");
  EXPECT_EQ(suppliers.GetContactPersonPhone(), "0632");
  EXPECT_EQ(suppliers.GetNote(), "Rad 1 rad 3");
  EXPECT_EQ(suppliers.GetTermsOfPaymentCode(), "030");
  EXPECT_EQ(suppliers.GetTermsOfPaymentName(), "30 dagar");
  EXPECT_EQ(suppliers.GetSupplierPlusgiroNumber(), "1234-5");
  EXPECT_EQ(suppliers.GetPostalCode(), "11122");
  EXPECT_TRUE(suppliers.GetAutomaticPaymentService());
  EXPECT_TRUE(suppliers.UsesPaymentReferenceNumbers());
  EXPECT_EQ(suppliers.GetWwwAddress(), "www.lev.se");
  EXPECT_FALSE(suppliers.MoveNext());

  CSqlAdminSupplierDb unreachable(Company("gone", ""));
  EXPECT_FALSE(unreachable.MoveFirst());
  EXPECT_EQ(unreachable.GetTermsOfPaymentCode(), "");
  EXPECT_FALSE(unreachable.GetAutomaticPaymentService());
}

}  // namespace
