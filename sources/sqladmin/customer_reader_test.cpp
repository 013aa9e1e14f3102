#include "sources/sqladmin/customer_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {

using sqladmin_test::CompanyConnection;

const char* const kCustomerTables =
    "CREATE TABLE KUND (KUNDNR VARCHAR(10), ORGNR VARCHAR(13), REF NVARCHAR(40), ANTECK_1 NVARCHAR(60),"
    " ANTECK_2 NVARCHAR(60), ANTECK_3 NVARCHAR(60), ANTECK_4 NVARCHAR(60), REF_SIGN VARCHAR(6), VALUTAKOD VARCHAR(3),"
    " EANLOC VARCHAR(13), EPOST VARCHAR(80), POSTADR NVARCHAR(50), POSTADR2 NVARCHAR(50), ORT NVARCHAR(30),"
    " LANDKOD VARCHAR(2), POSTNR VARCHAR(10), LEVNAMN NVARCHAR(50), LEVADR NVARCHAR(50), LEVADR2 NVARCHAR(50),"
    " LEVORT NVARCHAR(30), LEVLANDKOD VARCHAR(2), LEVPOSTNR VARCHAR(10), LEVSAETT VARCHAR(4), LEVVILLK VARCHAR(4),"
    " NAMN NVARCHAR(50), BYGGTJANST BIT, MBTEL VARCHAR(20), TEL VARCHAR(20), BETVILLK VARCHAR(4),"
    " MOMSREGNR VARCHAR(20), EREDIREF VARCHAR(40), INAKTIV BIT);"
    "CREATE TABLE BETVILLK (BETVILLK VARCHAR(4), TEXT NVARCHAR(40), BETKOD VARCHAR(4));"
    "INSERT INTO BETVILLK VALUES ('30', '30 dagar netto', '30');"
    "INSERT INTO BETVILLK VALUES ('K', 'Kontant', '1234');"
    "INSERT INTO BETVILLK VALUES ('F', 'Delbetalning ä', 'F1');"
    "INSERT INTO BETVILLK VALUES ('E', 'Tomt', NULL);"
    "CREATE TABLE KONTAKT (KUNDNR VARCHAR(10), LEVNR VARCHAR(10), SIGN VARCHAR(6), EPOST VARCHAR(80),"
    " MBTEL VARCHAR(20), TEL VARCHAR(20));"
    "CREATE TABLE KUNDNOTE (KUNDNR VARCHAR(10), TXT NVARCHAR(200))";

// A customer row: number, name, terms code, the rest as given or NULL.
std::string Customer(const std::string& number, const std::string& values) {
  return "INSERT INTO KUND (KUNDNR, NAMN, INAKTIV" + std::string(values.empty() ? "" : ", ") +
         values.substr(0, values.find('|')) + ") VALUES ('" + number + "', 'Kund " + number + "', 0" +
         (values.empty() ? "" : ", " + values.substr(values.find('|') + 1)) + ")";
}

class SqlCustomers : public CompanyConnection {
 protected:
  std::string WithCustomers(const std::vector<std::string>& rows, const std::string& name = "ftg") {
    std::string sql = kCustomerTables;
    for (const std::string& row : rows) sql += ";" + row;
    return Company(name, sql);
  }
};

TEST_F(SqlCustomers, ReadActiveCustomersWithCleanedNumbersAndTheirContact) {
  const std::string folder = WithCustomers({
      Customer("K2", "ORGNR, POSTNR, LEVPOSTNR, MOMSREGNR, MBTEL, TEL, REF, REF_SIGN, EPOST, POSTADR, ORT, LEVNAMN,"
                     " LEVSAETT, LEVVILLK, VALUTAKOD, EANLOC, EREDIREF, BYGGTJANST|"
                     "'19121212-1212', '831 30', '111 22', 'SE 5566-778899 01', '070-1 2', '063 12', 'Åsa Öberg',"
                     " 'AO', 'k2@exempel.se', 'Storgatan 1', 'Östersund', 'Lager', 'PO', 'FVL', 'EUR',"
                     " '7350000000007', 'Ref 9', 1"),
      Customer("K1", "ORGNR, BYGGTJANST|'556677-8899', 1"),
      "INSERT INTO KUND (KUNDNR, NAMN, INAKTIV) VALUES ('K3', 'Borta', 1)",
      "INSERT INTO KUND (KUNDNR, NAMN, INAKTIV) VALUES ('K4', 'Okänd', NULL)",
      "INSERT INTO KONTAKT VALUES ('K2', NULL, 'AO', 'asa@exempel.se', '070 99', '063 11')",
      "INSERT INTO KONTAKT VALUES ('K1', NULL, 'AO', 'fel@exempel.se', '1', '2')",
  });
  std::unique_ptr<I_QZ_Customers> customers = std::make_unique<CSqlAdminCustomerDb>(folder);
  ASSERT_TRUE(customers->MoveFirst());
  // K1: no VAT number, so no reverse charge; its REF_SIGN is NULL, so the contact
  // of another customer with the same signature is not its own.
  EXPECT_EQ(customers->GetCustomerNumber(), "K1");
  EXPECT_EQ(customers->GetCorporateIdentityNumber(), "556677-8899");
  EXPECT_FALSE(customers->IsPrivatePerson());
  EXPECT_FALSE(customers->GetReverseChargeOnConstructionServices());
  EXPECT_EQ(customers->GetContactPersonEmail(), "");
  ASSERT_TRUE(customers->MoveNext());
  EXPECT_EQ(customers->GetCustomerNumber(), "K2");
  EXPECT_EQ(customers->GetName(), "Kund K2");
  EXPECT_TRUE(customers->IsPrivatePerson());
  EXPECT_EQ(customers->GetInvoicePostalCode(), "83130");
  EXPECT_EQ(customers->GetDeliveryPostalCode(), "11122");
  EXPECT_EQ(customers->GetVatNumber(), "SE556677889901");
  EXPECT_TRUE(customers->GetReverseChargeOnConstructionServices());
  EXPECT_EQ(customers->GetMobilePhone(), "070-12");
  EXPECT_EQ(customers->GetTelephone(), "06312");
  EXPECT_EQ(customers->GetContactPersonName(), "Åsa Öberg");
  EXPECT_EQ(customers->GetContactPersonEmail(), "asa@exempel.se");
  EXPECT_EQ(customers->GetContactPersonMobile(), "07099");
  EXPECT_EQ(customers->GetContactPersonPhone(), "06311");
  EXPECT_EQ(customers->GetEmailAddress(), "k2@exempel.se");
  EXPECT_EQ(customers->GetInvoiceAddress1(), "Storgatan 1");
  EXPECT_EQ(customers->GetInvoiceCity(), "Östersund");
  EXPECT_EQ(customers->GetDeliveryCustomerName(), "Lager");
  EXPECT_EQ(customers->GetDeliveryMethodCode(), "PO");
  EXPECT_EQ(customers->GetDeliveryTermCode(), "FVL");
  EXPECT_EQ(customers->GetCurrencyCode(), "EUR");
  EXPECT_EQ(customers->GetGLN(), "7350000000007");
  EXPECT_EQ(customers->GetElectronicReference(), "Ref 9");
  EXPECT_EQ(customers->GetWwwAddress(), "");
  EXPECT_FALSE(customers->MoveNext());  // inactive and NULL-inactive customers are not read
  EXPECT_EQ(customers->GetRecordCount(), 2);
}

TEST_F(SqlCustomers, TermsCodeIsTheCloudPaymentCodeOnlyWhenItIsOneToThreeDigits) {
  const std::string folder = WithCustomers({
      Customer("K1", "BETVILLK|'30'"), Customer("K2", "BETVILLK|'K'"), Customer("K3", "BETVILLK|'F'"),
      Customer("K4", "BETVILLK|'E'"), Customer("K5", "BETVILLK|'X'"),
  });
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"30", "30 dagar netto"}, {"K", "Kontant"}, {"F", "Delbetalning ä"}, {"E", "Tomt"}, {"X", ""}};
  CSqlAdminCustomerDb customers(folder);
  std::vector<std::pair<std::string, std::string>> read;
  for (bool more = customers.MoveFirst(); more; more = customers.MoveNext())
    read.emplace_back(customers.GetTermsOfPaymentCode(), customers.GetTermsOfPaymentName());
  EXPECT_EQ(read, expected);
}

TEST_F(SqlCustomers, ATableOrRowThatCannotBeReadGivesAnErrorRowNotSilence) {
  const struct {
    std::string folder;
    std::vector<std::string> read;
    std::string lead;  // of the one error row; empty for none
  } cases[] = {
      // The database keeps a value longer than its column: the fetch of that row fails.
      {WithCustomers({Customer("K1", "ORT|'Åre'"), Customer("K2", "ORT|'" + std::string(200, 'x') + "'"),
                      Customer("K3", "")},
                     "truncated"),
       {"K1"},
       "Tabellen KUND kan inte läsas helt: "},
      // The data model has the table, the database does not.
      {Company("notable", "CREATE TABLE BETVILLK (BETVILLK VARCHAR(4), TEXT NVARCHAR(40), BETKOD VARCHAR(4))"),
       {},
       "Tabellen KUND kan inte läsas: "},
      // A walk that ends after its last row says nothing.
      {WithCustomers({Customer("K1", "")}, "whole"), {"K1"}, ""},
  };
  for (const auto& c : cases) {
    CSqlAdminCustomerDb customers(c.folder);
    std::vector<std::string> read;
    for (bool more = customers.MoveFirst(); more; more = customers.MoveNext()) read.push_back(customers.GetCustomerNumber());
    EXPECT_EQ(read, c.read) << c.lead;
    std::vector<ReportRow> rows;
    customers.AddWarnings(rows);
    if (c.lead.empty()) {
      EXPECT_TRUE(rows.empty());
      continue;
    }
    ASSERT_EQ(rows.size(), 1u) << c.lead;
    EXPECT_EQ(rows[0].kind, "Error");
    EXPECT_EQ(rows[0].caption, "Fel:");
    // The driver's own words follow.
    EXPECT_TRUE(rows[0].text.starts_with(c.lead) && rows[0].text.size() > c.lead.size()) << rows[0].text;
  }
}

TEST_F(SqlCustomers, NoteRunsTheNoteLinesTogetherAndTwoContactsGiveOneCustomer) {
  const std::string folder = WithCustomers({
      Customer("K1", "ANTECK_1, ANTECK_2, ANTECK_4, REF_SIGN|'Betalar ', 'sent', 'å', 'AB'"),
      "INSERT INTO KONTAKT VALUES ('K1', NULL, 'AB', 'a@exempel.se', NULL, NULL)",
      "INSERT INTO KONTAKT VALUES ('K1', NULL, 'AB', 'b@exempel.se', NULL, NULL)",
      "INSERT INTO KUNDNOTE VALUES ('K1', 'inte läst')",
      Customer("K2", ""),
  });
  CSqlAdminCustomerDb customers(folder);
  std::vector<std::string> read;
  for (bool more = customers.MoveFirst(); more; more = customers.MoveNext())
    read.push_back(customers.GetCustomerNumber() + ":" + customers.GetNote());
  EXPECT_EQ(read, (std::vector<std::string>{"K1:Betalar sentå", "K2:"}));
}

// The shipped data model less the customers' note lines and, when asked, less the note table.
std::string ModelWithoutNoteLines(bool dropNoteTable) {
  std::string xml(samplecompany::SampleDataModelXml());
  for (const char* line : {"ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4"}) {
    const std::size_t at = xml.find(std::string("name=\"") + line + "\"");  // KUND's come first
    const std::size_t start = xml.rfind('\n', at) + 1;
    xml.erase(start, xml.find('\n', at) + 1 - start);
  }
  if (dropNoteTable) {
    const std::size_t start = xml.find("<table id=\"31\" name=\"KUNDNOTE\"");
    xml.erase(start, xml.find("</table>", start) + 8 - start);
  }
  return xml;
}

TEST_F(SqlCustomers, WithoutNoteLinesInTheDataModelTheNoteComesFromTheNoteTable) {
  const std::string folder = WithCustomers({
      Customer("K1", "ANTECK_1|'rad som inte läses'"),
      "INSERT INTO KUNDNOTE VALUES ('K1', 'Ring före leverans, gärna på förmiddagen')",
  });
  for (const auto& [dropNoteTable, expected] :
       {std::pair{false, "Ring före leverans, gärna på förmiddagen"}, std::pair{true, ""}}) {
    tree_.Write("model/kolmadm.xml", ModelWithoutNoteLines(dropNoteTable));
    administration().clear();  // a load adds to what the model holds
    LoadDataModelFile(administration(), (tree_ / "model").string());
    const lumdb::table_desc_t* customerTable = administration().table_by_id(administration().table_id_by_name("KUND"));
    ASSERT_NE(customerTable, nullptr);
    ASSERT_EQ(customerTable->field_id_by_name("ANTECK_1"), lumdb::no_id);
    CSqlAdminCustomerDb customers(folder);
    ASSERT_TRUE(customers.MoveFirst()) << dropNoteTable;
    EXPECT_EQ(customers.GetNote(), expected) << dropNoteTable;
    EXPECT_EQ(customers.GetName(), "Kund K1");
  }
}

TEST_F(SqlCustomers, EveryNoteRowIsKeptAndTheContactIsTheSameWhateverTheRowOrder) {
  tree_.Write("model/kolmadm.xml", ModelWithoutNoteLines(false));
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "model").string());
  const std::vector<std::string> notesAndContacts = {
      "INSERT INTO KUNDNOTE VALUES ('K1', 'Ring före leverans')",
      "INSERT INTO KUNDNOTE VALUES ('K1', 'Betalar sent')",
      "INSERT INTO KONTAKT VALUES ('K1', NULL, 'AB', 'b@exempel.se', '070 2', NULL)",
      "INSERT INTO KONTAKT VALUES ('K1', NULL, 'AB', 'a@exempel.se', '070 1', NULL)",
      "INSERT INTO KUNDNOTE VALUES ('K2', 'Egen')",
  };
  for (const bool reversed : {false, true}) {
    std::vector<std::string> rows = {Customer("K1", "REF_SIGN|'AB'"), Customer("K2", "REF_SIGN|'AB'")};
    if (reversed) {
      rows.insert(rows.begin(), notesAndContacts.rbegin(), notesAndContacts.rend());
    } else {
      rows.insert(rows.end(), notesAndContacts.begin(), notesAndContacts.end());
    }
    CSqlAdminCustomerDb customers(WithCustomers(rows, reversed ? "reversed" : "inserted"));
    std::vector<std::string> read;
    for (bool more = customers.MoveFirst(); more; more = customers.MoveNext()) {
      read.push_back(customers.GetCustomerNumber() + ":" + customers.GetNote() + ":" +
                     customers.GetContactPersonEmail() + ":" + customers.GetContactPersonMobile());
    }
    EXPECT_EQ(read, (std::vector<std::string>{"K1:Betalar sent Ring före leverans:a@exempel.se:0701", "K2:Egen::"}))
        << reversed;
  }
  // The order is the statement's own: by number, then note, then contact.
  CSqlAdminCustomerDb customers(WithCustomers({}, "text"));
  EXPECT_EQ(customers.StatementText(),
            "SELECT T0.[KUNDNR], T0.[ORGNR], T0.[REF], T0.[REF_SIGN], T0.[VALUTAKOD], T0.[EANLOC], T0.[EPOST],"
            " T0.[POSTADR], T0.[POSTADR2], T0.[ORT], T0.[LANDKOD], T0.[POSTNR], T0.[LEVNAMN], T0.[LEVADR],"
            " T0.[LEVADR2], T0.[LEVORT], T0.[LEVLANDKOD], T0.[LEVPOSTNR], T0.[LEVSAETT], T0.[LEVVILLK], T0.[NAMN],"
            " T0.[BYGGTJANST], T0.[MBTEL], T0.[TEL], T0.[BETVILLK], T0.[MOMSREGNR], T0.[EREDIREF], T1.[BETVILLK],"
            " T1.[TEXT], T1.[BETKOD], T3.[SIGN], T3.[KUNDNR], T3.[EPOST], T3.[MBTEL], T3.[TEL], T2.[KUNDNR], T2.[TXT]"
            " FROM [KUND] AS T0 LEFT JOIN [BETVILLK] AS T1 ON T0.[BETVILLK] = T1.[BETVILLK]"
            " LEFT JOIN [KUNDNOTE] AS T2 ON T0.[KUNDNR] = T2.[KUNDNR]"
            " LEFT JOIN [KONTAKT] AS T3 ON T0.[KUNDNR] = T3.[KUNDNR] AND T0.[REF_SIGN] = T3.[SIGN]"
            " WHERE T0.[INAKTIV] = ? ORDER BY T0.[KUNDNR], T2.[TXT], T3.[EPOST], T3.[MBTEL], T3.[TEL]");
}

TEST_F(SqlCustomers, AnUnreachableCompanyReadsNothing) {
  CSqlAdminCustomerDb customers(Company("gone", ""));
  EXPECT_FALSE(customers.MoveFirst());
  EXPECT_EQ(customers.GetCustomerNumber(), "");
  EXPECT_EQ(customers.GetNote(), "");
  EXPECT_FALSE(customers.GetReverseChargeOnConstructionServices());
  EXPECT_FALSE(customers.IsPrivatePerson());
}

}  // namespace

namespace {

// A flag that SQLite lets hold letters: the customer is refused with a row that
// names it and the column, never sent as inactive or without its reverse charge.
// Its two contacts give it two rows; the value is counted once.
TEST_F(SqlCustomers, AFlagThatDoesNotReadRefusesTheCustomerWithItsRow) {
  for (const char* column : {"INAKTIV", "BYGGTJANST"}) {
    SCOPED_TRACE(column);
    CSqlAdminCustomerDb customers(WithCustomers({Customer("K1", ""), Customer("K2", "MOMSREGNR, REF_SIGN|'SE556677889901', 'AO'"),
                                                 "INSERT INTO KONTAKT VALUES ('K2', NULL, 'AO', 'a@exempel.se', NULL, NULL)",
                                                 "INSERT INTO KONTAKT VALUES ('K2', NULL, 'AO', 'b@exempel.se', NULL, NULL)",
                                                 std::string("UPDATE KUND SET ") + column + " = 'kanske' WHERE KUNDNR = 'K2'"},
                                                column));
    std::vector<std::string> sent;
    std::vector<ReportRow> rows;
    for (bool more = customers.MoveFirst(); more; more = customers.MoveNext())
      if (customers.CheckCurrent(rows)) sent.push_back(customers.GetCustomerNumber());
    customers.AddWarnings(rows);
    EXPECT_EQ(sent, std::vector<std::string>{"K1"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].key, "K2");
    EXPECT_EQ(rows[0].name, "Kund K2");
    EXPECT_EQ(rows[0].text, std::string("Posten överförs inte: kolumnen KUND.") + column +
                                " har värdet \"kanske\", som inte är en flagga (0 eller 1).");
    EXPECT_EQ(rows[1].text, std::string("Tabellen KUND kan inte läsas helt: 1 värde kan inte läsas som sin kolumns typ (KUND.") +
                                column + ")");
  }
}

}  // namespace
