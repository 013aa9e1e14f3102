#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "sources/admin/customer_reader.h"
#include "sources/admin/supplier_reader.h"
#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;

// A table whose records are given by column name; columns left out are blank.
class NamedTable {
 public:
  explicit NamedTable(std::vector<fixtures::DbfColumn> columns) : columns_(columns), table_(Table(columns)) {}
  NamedTable& Add(const std::map<std::string, std::string>& values) { return Put(values, false); }
  NamedTable& AddDeleted(const std::map<std::string, std::string>& values) { return Put(values, true); }
  const fixtures::DbfWriter& writer() const { return table_; }

 private:
  NamedTable& Put(const std::map<std::string, std::string>& values, bool deleted) {
    std::vector<std::string> row;
    std::size_t named = 0;
    for (const auto& column : columns_) {
      auto it = values.find(column.name);
      named += it != values.end();
      row.push_back(it == values.end() ? "" : it->second);
    }
    if (named != values.size()) throw std::invalid_argument("a value for a column the table lacks");
    deleted ? table_.AddDeleted(row) : table_.Add(row);
    return *this;
  }

  std::vector<fixtures::DbfColumn> columns_;
  fixtures::DbfWriter table_;
};

NamedTable Contacts() {
  return NamedTable({Char("SIGN", 4), Char("EPOST", 40), Char("MBTEL", 20), Char("TEL", 20), Char("KUNDNR", 10),
                     Char("LEVNR", 10)});
}
NamedTable PaymentTerms() { return NamedTable({Char("BETVILLK", 4), Char("TEXT", 30), Char("BETKOD", 4)}); }

// ---------------------------------------------------------------- what both registers share

template <class Reader>
struct Register;
template <>
struct Register<CAdminCustomerDb> {
  static constexpr const char* kFile = "KUND.DBF";
  static constexpr const char* kNumber = "KUNDNR";
  static constexpr const char* kOtherNumber = "LEVNR";
  static std::string Number(const CustomerRecord& r) { return r.customerNumber; }
};
template <>
struct Register<CAdminSupplierDb> {
  static constexpr const char* kFile = "LEV.DBF";
  static constexpr const char* kNumber = "LEVNR";
  static constexpr const char* kOtherNumber = "KUNDNR";
  static std::string Number(const SupplierRecord& r) { return r.supplierNumber; }
};

template <class Reader>
class RegisterReaderTest : public ::testing::Test {
 protected:
  using R = Register<Reader>;
  // The columns both registers have.
  NamedTable Main() const {
    return NamedTable({Char(R::kNumber, 10), Char("ORGNR", 15), Char("REF", 30), Char("ANTECK_1", 20),
                       Char("ANTECK_2", 20), Char("ANTECK_3", 20), Char("ANTECK_4", 20), Char("REF_SIGN", 4),
                       Char("VALUTAKOD", 3), Char("EPOST", 40), Char("NAMN", 30), Char("MBTEL", 20), Char("TEL", 20),
                       Char("BETVILLK", 4), Logical("INAKTIV")});
  }
  auto WalkCompany() {
    Reader reader(company.path());
    return Walk(reader);
  }
  std::vector<std::string> Numbers(const auto& walked) const {
    std::vector<std::string> numbers;
    for (const auto& r : walked.records) numbers.push_back(R::Number(r));
    return numbers;
  }
  CompanyFolder company;
};

using RegisterReaders = ::testing::Types<CAdminCustomerDb, CAdminSupplierDb>;
TYPED_TEST_SUITE(RegisterReaderTest, RegisterReaders);

TYPED_TEST(RegisterReaderTest, InactiveAndDeletedRecordsAreLeftOutWithoutARow) {
  using R = typename TestFixture::R;
  this->company.Write(R::kFile, this->Main()
                                    .AddDeleted({{R::kNumber, "0"}})
                                    .Add({{R::kNumber, "1"}, {"INAKTIV", "F"}})
                                    .Add({{R::kNumber, "2"}, {"INAKTIV", "T"}})
                                    .Add({{R::kNumber, "3"}})
                                    .Add({{R::kNumber, "4"}, {"INAKTIV", "t"}})
                                    .Add({{R::kNumber, "5"}, {"INAKTIV", "?"}})
                                    .AddDeleted({{R::kNumber, "6"}})
                                    .writer());
  TypeParam reader(this->company.path());
  EXPECT_EQ(reader.GetRecordCount(), 7);  // the file's count, deleted records included
  auto walked = Walk(reader);
  EXPECT_EQ(this->Numbers(walked), (std::vector<std::string>{"1", "3", "5"}));
  EXPECT_EQ(walked.visited, 5);
  EXPECT_EQ(walked.counted, 5);
  EXPECT_TRUE(walked.rows.empty());
}

// An inactive flag that does not read may hide an inactive record: refused
// with a row naming it, never sent as active. The other logical letters read.
TYPED_TEST(RegisterReaderTest, AnInactiveFlagThatDoesNotReadRefusesTheRecord) {
  using R = typename TestFixture::R;
  this->company.Write(R::kFile, this->Main()
                                    .Add({{R::kNumber, "1"}, {"NAMN", "Oläsbar"}, {"INAKTIV", "x"}})
                                    .Add({{R::kNumber, "2"}, {"INAKTIV", "N"}})
                                    .Add({{R::kNumber, "3"}, {"INAKTIV", "Y"}})
                                    .Add({{R::kNumber, "4"}, {"INAKTIV", "j"}})
                                    .writer());
  auto walked = this->WalkCompany();
  EXPECT_EQ(this->Numbers(walked), (std::vector<std::string>{"2"}));
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"1", "Oläsbar", "Error", "Fel:",
                                                  std::string("Värdet \"x\" i fältet INAKTIV i ") + R::kFile +
                                                      " kan inte läsas."}}));
}

TYPED_TEST(RegisterReaderTest, TextsAsStoredOrWithoutBlanks) {
  using R = typename TestFixture::R;
  this->company.Write(R::kFile, this->Main()
                                    .Add({{R::kNumber, "  K1"},
                                          {"ORGNR", "556036 - 0793"},
                                          {"REF", "Åsa Öberg"},
                                          {"ANTECK_1", "Ring före "},
                                          {"ANTECK_2", "leverans.  "},
                                          {"ANTECK_3", ""},
                                          {"ANTECK_4", " Port 3"},
                                          {"VALUTAKOD", "SEK"},
                                          {"EPOST", "info@kund.se"},
                                          {"NAMN", "Byggbolaget Väst AB"},
                                          {"MBTEL", "070-123 45 67"},
                                          {"TEL", "031\t12 34 56"}})
                                    .writer());
  auto walked = this->WalkCompany();
  ASSERT_EQ(walked.records.size(), 1u);
  const auto& r = walked.records[0];
  EXPECT_EQ(R::Number(r), "  K1");  // leading blanks of a character field stay
  EXPECT_EQ(r.corporateIdentityNumber, "556036-0793");
  EXPECT_EQ(r.contactPersonName, "Åsa Öberg");
  // The lines run on without their trailing blanks; an empty line adds nothing.
  EXPECT_EQ(r.note, "Ring föreleverans. Port 3");
  EXPECT_EQ(r.currencyCode, "SEK");
  EXPECT_EQ(r.emailAddress, "info@kund.se");
  EXPECT_EQ(r.name, "Byggbolaget Väst AB");
  EXPECT_EQ(r.mobilePhone, "070-1234567");
  EXPECT_EQ(r.telephone, "031123456");
}

TYPED_TEST(RegisterReaderTest, ContactPersonByTheRecordsSignatureAndNumber) {
  using R = typename TestFixture::R;
  this->company.Write("KONTAKT.DBF",
                      Contacts()
                          .Add({{"SIGN", "ÅÖ"}, {"EPOST", "gammal@x.se"}, {"MBTEL", "070"}, {"TEL", "08"},
                                {R::kNumber, "1"}})
                          .Add({{"SIGN", "ÅÖ"}, {"EPOST", "asa@x.se"}, {"MBTEL", "070 - 765 43 21"},
                                {"TEL", "031 65 43 21"}, {R::kNumber, "1"}})  // the last of a key wins
                          .AddDeleted({{"SIGN", "ÅÖ"}, {"EPOST", "borta@x.se"}, {R::kNumber, "1"}})
                          .Add({{"SIGN", "ÅÖ"}, {"EPOST", "annan@x.se"}, {R::kNumber, "2"}})
                          .Add({{"SIGN", ""}, {"EPOST", "utan.signatur@x.se"}, {R::kNumber, "3"}})
                          // The other register's contacts: never this one's, whatever the signature.
                          .Add({{"SIGN", "BB"}, {"EPOST", "fel@x.se"}, {R::kOtherNumber, "4"}})
                          .writer());
  this->company.Write(R::kFile, this->Main()
                                    .Add({{R::kNumber, "1"}, {"REF_SIGN", "ÅÖ"}})
                                    .Add({{R::kNumber, "2"}, {"REF_SIGN", "ÅÖ"}})
                                    .Add({{R::kNumber, "3"}, {"REF_SIGN", ""}})
                                    .Add({{R::kNumber, "4"}, {"REF_SIGN", "BB"}})
                                    .Add({{R::kNumber, "5"}, {"REF_SIGN", "ÅÖ"}})
                                    .writer());
  auto walked = this->WalkCompany();
  struct Contact {
    std::string email, mobile, phone;
    bool operator==(const Contact&) const = default;
  };
  std::vector<Contact> got;
  for (const auto& r : walked.records) got.push_back({r.contactPersonEmail, r.contactPersonMobile, r.contactPersonPhone});
  EXPECT_EQ(got, (std::vector<Contact>{{"asa@x.se", "070-7654321", "031654321"},
                                       {"annan@x.se", "", ""},
                                       {"", "", ""},
                                       {"", "", ""},
                                       {"", "", ""}}));
}

TYPED_TEST(RegisterReaderTest, PaymentTermCodeAndName) {
  using R = typename TestFixture::R;
  struct Case {
    std::string term, code, name;
  };
  const std::vector<Case> cases = {
      {"30", "30", "30 dagar netto"},        // its own code as second code
      {"K30", "30", "30 dagar netto"},       // a second code: the name of the term it names
      {"K10", "10", ""},                     // a second code no term has: no name
      {"K99", "K99", "Egen kod"},            // more than three digits: its own code
      {"KX", "KX", "Bokstäver"},             // not digits
      {"KT", "KT", "Utan andra kod"},        // no second code
      {"D", "D", "Först"},                   // the first of two terms with one code wins
      {"XX", "XX", ""},                      // not among the terms
      {"", "", ""},
      {"GML", "GML", ""}};                   // a deleted term does not count
  this->company.Write("BETVILLK.DBF", PaymentTerms()
                                          .Add({{"BETVILLK", "30"}, {"TEXT", "30 dagar netto"}, {"BETKOD", "30"}})
                                          .Add({{"BETVILLK", "K30"}, {"TEXT", "Kontant 30"}, {"BETKOD", "30"}})
                                          .Add({{"BETVILLK", "K10"}, {"TEXT", "Kontant 10"}, {"BETKOD", "10"}})
                                          .Add({{"BETVILLK", "K99"}, {"TEXT", "Egen kod"}, {"BETKOD", "1234"}})
                                          .Add({{"BETVILLK", "KX"}, {"TEXT", "Bokstäver"}, {"BETKOD", "1A"}})
                                          .Add({{"BETVILLK", "KT"}, {"TEXT", "Utan andra kod"}, {"BETKOD", ""}})
                                          .Add({{"BETVILLK", "D"}, {"TEXT", "Först"}, {"BETKOD", ""}})
                                          .Add({{"BETVILLK", "D"}, {"TEXT", "Sedan"}, {"BETKOD", "30"}})
                                          .AddDeleted({{"BETVILLK", "GML"}, {"TEXT", "Gammal"}, {"BETKOD", ""}})
                                          .writer());
  auto table = this->Main();
  for (const Case& c : cases) table.Add({{R::kNumber, "1"}, {"BETVILLK", c.term}});
  this->company.Write(R::kFile, table.writer());

  auto walked = this->WalkCompany();
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].term);
    EXPECT_EQ(walked.records[i].termsOfPaymentCode, cases[i].code);
    EXPECT_EQ(walked.records[i].termsOfPaymentName, cases[i].name);
  }
}

TYPED_TEST(RegisterReaderTest, MissingSideTablesLeaveTheRecordsOwnValues) {
  using R = typename TestFixture::R;
  this->company.Write(R::kFile,
                      this->Main().Add({{R::kNumber, "1"}, {"REF_SIGN", "ÅÖ"}, {"BETVILLK", "K30"}}).writer());
  auto walked = this->WalkCompany();
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].contactPersonEmail, "");
  EXPECT_EQ(walked.records[0].termsOfPaymentCode, "K30");
  EXPECT_EQ(walked.records[0].termsOfPaymentName, "");
}

TYPED_TEST(RegisterReaderTest, MissingColumnsGiveEmptyValuesAndLetTheRecordPass) {
  using R = typename TestFixture::R;
  this->company.Write(R::kFile, Table({Char("NAMN", 30)}).Add({"Bara namn"}));
  this->company.Write("KONTAKT.DBF", Contacts().Add({{"SIGN", ""}, {"EPOST", "x@x.se"}, {R::kNumber, ""}}).writer());
  auto walked = this->WalkCompany();
  ASSERT_EQ(walked.records.size(), 1u);
  typename decltype(walked.records)::value_type expected{};
  expected.name = "Bara namn";
  EXPECT_EQ(walked.records[0], expected);
}

TYPED_TEST(RegisterReaderTest, MissingOrEmptyMainTableHasNoRecords) {
  using R = typename TestFixture::R;
  auto missing = this->WalkCompany();
  EXPECT_EQ(missing.visited, 0);
  EXPECT_TRUE(missing.rows.empty());

  this->company.Write(R::kFile, this->Main().AddDeleted({{R::kNumber, "1"}}).writer());
  EXPECT_EQ(this->WalkCompany().visited, 0);

  TypeParam noFolder("");
  EXPECT_EQ(noFolder.GetRecordCount(), 0);
  EXPECT_FALSE(noFolder.MoveFirst());
}

// ---------------------------------------------------------------- customers

fixtures::DbfWriter CustomerTable() {
  return Table({Char("KUNDNR", 10),    Char("ORGNR", 15),    Char("REF", 30),      Char("ANTECK_1", 20),
                Char("ANTECK_2", 20),  Char("ANTECK_3", 20), Char("ANTECK_4", 20), Char("REF_SIGN", 4),
                Char("VALUTAKOD", 3),  Char("EANLOC", 13),   Char("EPOST", 40),    Char("POSTADR", 30),
                Char("POSTADR2", 30),  Char("ORT", 20),      Char("LANDKOD", 2),   Char("POSTNR", 10),
                Char("LEVNAMN", 30),   Char("LEVADR", 30),   Char("LEVADR2", 30),  Char("LEVORT", 20),
                Char("LEVLANDKOD", 2), Char("LEVPOSTNR", 10), Char("LEVSAETT", 4), Char("LEVVILLK", 4),
                Char("NAMN", 30),      Logical("BYGGTJANST"), Char("MBTEL", 20),   Char("TEL", 20),
                Char("BETVILLK", 4),   Char("MOMSREGNR", 20), Char("EREDIREF", 20), Logical("INAKTIV")});
}

TEST(CustomerReader, EveryGetterOfOneCustomer) {
  CompanyFolder company;
  company.Write("KUND.DBF",
                CustomerTable().Add({"1", "556036-0793", "Åsa Öberg", "Ring före ", "leverans.", "", "Port 3", "ÅÖ",
                                     "SEK", "7350000000002", "faktura@kund1.se", "Storgatan 1", "Box 12", "Göteborg",
                                     "SE", "411 01", "Byggbolaget Väst AB", "Lagervägen 5", "Hus B", "Mölndal", "SE",
                                     "431 30", "BIL", "FVL", "Byggbolaget Väst AB", "T", "070-123 45 67",
                                     "031-12 34 56", "K30", "SE 5560 3607-93 01", "REF-1", "F"}));
  company.Write("KONTAKT.DBF", Contacts()
                                   .Add({{"SIGN", "ÅÖ"}, {"EPOST", "asa@kund1.se"}, {"MBTEL", "070 - 765 43 21"},
                                         {"TEL", "031 65 43 21"}, {"KUNDNR", "1"}})
                                   .writer());
  company.Write("BETVILLK.DBF", PaymentTerms()
                                    .Add({{"BETVILLK", "30"}, {"TEXT", "30 dagar netto"}, {"BETKOD", "30"}})
                                    .Add({{"BETVILLK", "K30"}, {"TEXT", "Kontant 30 dagar"}, {"BETKOD", "30"}})
                                    .writer());
  CAdminCustomerDb reader(company.path());
  auto walked = Walk(reader);
  const CustomerRecord expected{.customerNumber = "1",
                                .corporateIdentityNumber = "556036-0793",
                                .contactPersonEmail = "asa@kund1.se",
                                .contactPersonMobile = "070-7654321",
                                .contactPersonName = "Åsa Öberg",
                                .contactPersonPhone = "031654321",
                                .currencyCode = "SEK",
                                .gln = "7350000000002",
                                .emailAddress = "faktura@kund1.se",
                                .invoiceAddress1 = "Storgatan 1",
                                .invoiceAddress2 = "Box 12",
                                .invoiceCity = "Göteborg",
                                .invoiceCountryCode = "SE",
                                .invoicePostalCode = "41101",
                                .deliveryCustomerName = "Byggbolaget Väst AB",
                                .deliveryAddress1 = "Lagervägen 5",
                                .deliveryAddress2 = "Hus B",
                                .deliveryCity = "Mölndal",
                                .deliveryCountryCode = "SE",
                                .deliveryPostalCode = "43130",
                                .deliveryMethodCode = "BIL",
                                .deliveryTermCode = "FVL",
                                .name = "Byggbolaget Väst AB",
                                .note = "Ring föreleverans.Port 3",
                                .reverseChargeOnConstructionServices = true,
                                .mobilePhone = "070-1234567",
                                .telephone = "031-123456",
                                .termsOfPaymentCode = "30",
                                .termsOfPaymentName = "30 dagar netto",
                                .vatNumber = "SE556036079301",
                                .wwwAddress = "",
                                .isPrivatePerson = false,
                                .electronicReference = "REF-1"};
  EXPECT_EQ(walked.records, std::vector<CustomerRecord>{expected});
  EXPECT_TRUE(walked.rows.empty());
}

TEST(CustomerReader, VatNumberAndReverseCharge) {
  struct Case {
    std::string vatNumber, construction;
    std::string expectedVat;
    bool reverseCharge;
  };
  const std::vector<Case> cases = {{"SE 5560 3607-93 01", "T", "SE556036079301", true},
                                   {"DE 123-456 789", "t", "DE123456789", true},
                                   {"SE556036079301", "F", "SE556036079301", false},
                                   {"SE556036079301", "", "SE556036079301", false},
                                   {"", "T", "", false},
                                   {" - ", "T", "", false}};
  CompanyFolder company;
  auto table = Table({Char("KUNDNR", 4), Char("MOMSREGNR", 20), Logical("BYGGTJANST")});
  for (const Case& c : cases) table.Add({"1", c.vatNumber, c.construction});
  company.Write("KUND.DBF", table);
  CAdminCustomerDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].vatNumber + "/" + cases[i].construction);
    EXPECT_EQ(walked.records[i].vatNumber, cases[i].expectedVat);
    EXPECT_EQ(walked.records[i].reverseChargeOnConstructionServices, cases[i].reverseCharge);
  }

  // A construction flag that does not read only sets how the customer is
  // invoiced: the customer goes without it, with a warning.
  company.Write("KUND.DBF", table.Add({"2", "SE556036079301", "x"}));
  CAdminCustomerDb withUnreadFlag(company.path());
  auto walkedUnread = Walk(withUnreadFlag);
  ASSERT_EQ(walkedUnread.records.size(), cases.size() + 1);
  EXPECT_FALSE(walkedUnread.records.back().reverseChargeOnConstructionServices);
  EXPECT_EQ(walkedUnread.rows,
            (std::vector<ReportRow>{{"2", "", "Warning", "Varning:",
                                     "Värdet \"x\" i fältet BYGGTJANST i KUND.DBF kan inte läsas; det skickas inte."}}));

  // Without the construction column there is no reverse charge.
  company.Write("KUND.DBF", Table({Char("KUNDNR", 4), Char("MOMSREGNR", 20)}).Add({"1", "SE556036079301"}));
  CAdminCustomerDb withoutColumn(company.path());
  auto walkedWithout = Walk(withoutColumn);
  ASSERT_EQ(walkedWithout.records.size(), 1u);
  EXPECT_FALSE(walkedWithout.records[0].reverseChargeOnConstructionServices);
}

TEST(CustomerReader, PrivatePersonByTheIdentityNumber) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"19650312-1235", true}, {"650312-1235", true}, {"650312 1235", true},  // judged without the blanks
      {"6503121234", false},   {"556036-0793", false}, {"", false}};
  CompanyFolder company;
  auto table = Table({Char("KUNDNR", 4), Char("ORGNR", 15)});
  for (const auto& c : cases) table.Add({"1", c.first});
  company.Write("KUND.DBF", table);
  CAdminCustomerDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(walked.records[i].isPrivatePerson, cases[i].second) << cases[i].first;
}

void WriteProgram(const CompanyFolder& company, const std::string& productCode) {
  company.Write("PRM.DBF", Table({Char("PRG", 3), Char("PRG_TYPE", 4), Char("ORGNR", 13), Char("NAMN", 30),
                                  Numeric("VERSION", 5, 2)})
                               .Add({"ADM", productCode, "556123-4567", "Ek Trä AB", "5.10"}));
}

TEST(CustomerReader, CustomersAreKeptByEveryEditionButTheSmallest) {
  for (auto [productCode, available] : std::vector<std::pair<std::string, bool>>{
           {"0", false}, {"5", true}, {"1", true}, {"2", true}, {"F", true}, {"W", true}}) {
    SCOPED_TRACE(productCode);
    CompanyFolder company;
    WriteProgram(company, productCode);
    CAdminCustomerDb customers(company.path());
    EXPECT_EQ(customers.IsAvailable(), available);
    customers.Close();
    EXPECT_EQ(customers.IsAvailable(), available);  // asked again after the check

    CAdminSupplierDb suppliers(company.path());
    EXPECT_TRUE(suppliers.IsAvailable());
  }
}

// ---------------------------------------------------------------- suppliers

NamedTable SupplierTable() {
  return NamedTable({Char("LEVNR", 10),   Char("ORGNR", 15),    Char("REF", 30),       Char("ANTECK_1", 20),
                     Char("ANTECK_2", 20), Char("ANTECK_3", 20), Char("ANTECK_4", 20),  Char("REF_SIGN", 4),
                     Logical("UTLBETALN"), Char("VALUTAKOD", 3), Char("EPOST", 40),     Char("POSTADR", 30),
                     Char("POSTADR2", 30), Char("ORT", 20),      Char("LANDSKOD", 2),   Char("POSTNR", 10),
                     Char("NAMN", 30),     Char("MBTEL", 20),    Char("TEL", 20),       Char("BETVILLK", 4),
                     Logical("AUTOGIRO"),  Char("BGIRO", 40),    Char("PGIRO", 12),     Char("WWW", 40),
                     Char("BG_AVGKOD", 1), Char("RIKSBKOD", 3),  Logical("OCRLEV"),     Char("SWIFTADR", 11),
                     Char("BANKKOD", 10),  Char("MBANKNAMN", 30), Logical("INAKTIV")});
}

TEST(SupplierReader, EveryGetterOfADomesticSupplier) {
  CompanyFolder company;
  company.Write("LEV.DBF", SupplierTable()
                               .Add({{"LEVNR", "1"},
                                     {"ORGNR", "556011 2233"},
                                     {"REF", "Bengt Bäckman"},
                                     {"ANTECK_1", "Leverans "},
                                     {"ANTECK_2", "måndagar"},
                                     {"REF_SIGN", "BB"},
                                     {"UTLBETALN", "F"},
                                     {"VALUTAKOD", "SEK"},
                                     {"EPOST", "order@lev1.se"},
                                     {"POSTADR", "Industrivägen 2"},
                                     {"POSTADR2", "Box 4"},
                                     {"ORT", "Västerås"},
                                     {"LANDSKOD", "SE"},
                                     {"POSTNR", "721 30"},
                                     {"NAMN", "Järnhandel i Västerås AB"},
                                     {"MBTEL", "073-111 22 33"},
                                     {"TEL", "021-12 34 56"},
                                     {"BETVILLK", "30"},
                                     {"AUTOGIRO", "T"},
                                     {"BGIRO", "123-4567"},
                                     {"PGIRO", "12 34 56-7"},
                                     {"WWW", "www.jarnhandel.se"},
                                     {"BG_AVGKOD", "0"},
                                     {"RIKSBKOD", "101"},
                                     {"OCRLEV", "T"},
                                     {"SWIFTADR", "HANDSESS"},
                                     {"BANKKOD", "ABC"},
                                     {"MBANKNAMN", "Handelsbanken"},
                                     {"INAKTIV", "F"}})
                               .writer());
  company.Write("KONTAKT.DBF", Contacts()
                                   .Add({{"SIGN", "BB"}, {"EPOST", "bengt@lev1.se"}, {"MBTEL", "073-111 22 33"},
                                         {"TEL", "08-123 45"}, {"LEVNR", "1"}})
                                   .writer());
  company.Write("BETVILLK.DBF",
                PaymentTerms().Add({{"BETVILLK", "30"}, {"TEXT", "30 dagar netto"}, {"BETKOD", "30"}}).writer());
  CAdminSupplierDb reader(company.path());
  auto walked = Walk(reader);
  // A domestic supplier: the foreign bank details stay behind.
  const SupplierRecord expected{.supplierNumber = "1",
                                .address1 = "Industrivägen 2",
                                .address2 = "Box 4",
                                .automaticPaymentService = true,
                                .supplierBankCountryCode = "SE",
                                .supplierBankgiroNumber = "123-4567",
                                .city = "Västerås",
                                .contactPersonEmail = "bengt@lev1.se",
                                .contactPersonMobile = "073-1112233",
                                .contactPersonName = "Bengt Bäckman",
                                .contactPersonPhone = "08-12345",
                                .corporateIdentityNumber = "5560112233",
                                .countryCode = "SE",
                                .currencyCode = "SEK",
                                .emailAddress = "order@lev1.se",
                                .mobilePhone = "073-1112233",
                                .name = "Järnhandel i Västerås AB",
                                .note = "Leveransmåndagar",
                                .supplierPlusgiroNumber = "123456-7",
                                .postalCode = "72130",
                                .telephone = "021-123456",
                                .termsOfPaymentCode = "30",
                                .termsOfPaymentName = "30 dagar netto",
                                .wwwAddress = "www.jarnhandel.se",
                                .usesPaymentReferenceNumbers = true};
  EXPECT_EQ(walked.records, std::vector<SupplierRecord>{expected});
  EXPECT_TRUE(walked.rows.empty());
}

TEST(SupplierReader, BankAccountByKindOfSupplier) {
  struct Case {
    std::string label;
    std::map<std::string, std::string> columns;
    std::string bankgiro, bban, iban, bic, bankCode, bankName, bankCountry;
  };
  const std::vector<Case> cases = {
      {"domestic 3+4", {{"BGIRO", "123-4567"}}, "123-4567", "", "", "", "", "", "SE"},
      {"domestic with blanks", {{"BGIRO", "1234 - 5678"}}, "1234-5678", "", "", "", "", "", "SE"},
      {"domestic without dash", {{"BGIRO", "12345678"}}, "", "", "", "", "", "", "SE"},
      {"domestic 2+4", {{"BGIRO", "12-3456"}}, "", "", "", "", "", "", "SE"},
      {"domestic 4+3", {{"BGIRO", "1234-567"}}, "", "", "", "", "", "", "SE"},
      {"domestic letters", {{"BGIRO", "12a-4567"}}, "", "", "", "", "", "", "SE"},
      {"domestic two dashes", {{"BGIRO", "123-45-67"}}, "", "", "", "", "", "", "SE"},
      {"domestic with foreign details",
       {{"BGIRO", "123-4567"}, {"SWIFTADR", "BNPAFRPP"}, {"BANKKOD", "ABC"}, {"MBANKNAMN", "Bank"}},
       "123-4567", "", "", "", "", "", "SE"},
      {"foreign BBAN",
       {{"UTLBETALN", "T"}, {"BGIRO", "12-34 5678"}, {"BANKKOD", "ABC"}, {"MBANKNAMN", "First Bank"}},
       "", "12345678", "", "", "ABC", "First Bank", ""},
      {"foreign BBAN without bank code", {{"UTLBETALN", "T"}, {"BGIRO", "12-34 5678"}}, "", "", "", "", "", "", ""},
      {"foreign BBAN with a BIC only",
       {{"UTLBETALN", "t"}, {"BGIRO", "12345678"}, {"SWIFTADR", "BNPAFRPP"}},
       "", "", "", "BNPAFRPP", "", "", ""},
      {"foreign IBAN",
       {{"UTLBETALN", "T"}, {"BGIRO", "DE89 3704-0044"}, {"SWIFTADR", "COBADEFF"}, {"BANKKOD", "ABC"}},
       "", "", "DE8937040044", "COBADEFF", "ABC", "", ""},
      {"foreign IBAN without BIC", {{"UTLBETALN", "T"}, {"BGIRO", "DE89 3704-0044"}}, "", "", "", "", "", "", ""},
      {"foreign, digit second",
       {{"UTLBETALN", "T"}, {"BGIRO", "D1 234"}, {"SWIFTADR", "COBADEFF"}, {"BANKKOD", "ABC"}},
       "", "D1234", "", "COBADEFF", "ABC", "", ""},
      {"foreign, letter then digit after Ö",
       {{"UTLBETALN", "T"}, {"BGIRO", "Ö1 234"}, {"SWIFTADR", "COBADEFF"}, {"BANKKOD", "ABC"}},
       "", "Ö1234", "", "COBADEFF", "ABC", "", ""},
      {"foreign bankgiro-looking", {{"UTLBETALN", "T"}, {"BGIRO", "123-4567"}}, "", "", "", "", "", "", ""},
      {"foreign empty account",
       {{"UTLBETALN", "T"}, {"BGIRO", ""}, {"SWIFTADR", "COBADEFF"}, {"BANKKOD", "ABC"}},
       "", "", "", "COBADEFF", "ABC", "", ""},
  };
  auto table = SupplierTable();
  for (Case c : cases) {
    c.columns["LEVNR"] = "1";
    c.columns["LANDSKOD"] = "SE";
    table.Add(c.columns);
  }
  CompanyFolder company;
  company.Write("LEV.DBF", table.writer());
  CAdminSupplierDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].label);
    const auto& r = walked.records[i];
    EXPECT_EQ(r.supplierBankgiroNumber, cases[i].bankgiro);
    EXPECT_EQ(r.supplierBankBban, cases[i].bban);
    EXPECT_EQ(r.supplierBankIban, cases[i].iban);
    EXPECT_EQ(r.supplierBankBic, cases[i].bic);
    EXPECT_EQ(r.supplierBankCode, cases[i].bankCode);
    EXPECT_EQ(r.supplierBankName, cases[i].bankName);
    EXPECT_EQ(r.supplierBankCountryCode, cases[i].bankCountry);
    EXPECT_EQ(r.supplierBankAccountNumber, "");
    EXPECT_EQ(r.countryCode, "SE");  // for every supplier
  }
}

TEST(SupplierReader, FeeAndPaymentCodesOnlyForForeignPayment) {
  struct Case {
    std::string foreign, fee, centralBank;
    std::string expectedFee, expectedCentralBank;
  };
  const std::vector<Case> cases = {{"T", "0", "101", "1", "101"}, {"T", "1", "", "2", ""},
                                   {"T", "2", "102", "2", "102"}, {"T", "3", "", "3", ""},
                                   {"T", "", "", "", ""},         {"F", "0", "101", "", ""},
                                   {"", "1", "101", "", ""}};
  auto table = SupplierTable();
  for (const Case& c : cases)
    table.Add({{"LEVNR", "1"}, {"UTLBETALN", c.foreign}, {"BG_AVGKOD", c.fee}, {"RIKSBKOD", c.centralBank}});
  CompanyFolder company;
  company.Write("LEV.DBF", table.writer());
  CAdminSupplierDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].foreign + "/" + cases[i].fee);
    EXPECT_EQ(walked.records[i].bankFeeCode, cases[i].expectedFee);
    EXPECT_EQ(walked.records[i].foreignPaymentCode, cases[i].expectedCentralBank);
  }
}

// The foreign-payment flag decides which bank details go: one that does not
// read refuses the supplier. The autogiro and OCR flags go unset with a warning.
TEST(SupplierReader, FlagsThatDoNotRead) {
  CompanyFolder company;
  company.Write("LEV.DBF", SupplierTable()
                               .Add({{"LEVNR", "1"}, {"NAMN", "Utland?"}, {"UTLBETALN", "%"}, {"BGIRO", "123-4567"}})
                               .Add({{"LEVNR", "2"}, {"NAMN", "Giro"}, {"AUTOGIRO", "1"}, {"OCRLEV", "-"}})
                               .writer());
  CAdminSupplierDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].supplierNumber, "2");
  EXPECT_FALSE(walked.records[0].automaticPaymentService);
  EXPECT_FALSE(walked.records[0].usesPaymentReferenceNumbers);
  const std::string unread = " i LEV.DBF kan inte läsas";
  EXPECT_EQ(walked.rows,
            (std::vector<ReportRow>{
                {"1", "Utland?", "Error", "Fel:", "Värdet \"%\" i fältet UTLBETALN" + unread + "."},
                {"2", "Giro", "Warning", "Varning:", "Värdet \"1\" i fältet AUTOGIRO" + unread + "; det skickas inte."},
                {"2", "Giro", "Warning", "Varning:", "Värdet \"-\" i fältet OCRLEV" + unread + "; det skickas inte."}}));
}

TEST(SupplierReader, WithoutTheForeignPaymentColumnEverySupplierIsDomestic) {
  CompanyFolder company;
  company.Write("LEV.DBF", Table({Char("LEVNR", 4), Char("LANDSKOD", 2), Char("BGIRO", 20), Char("SWIFTADR", 11),
                                  Char("BANKKOD", 4)})
                               .Add({"1", "FI", "123-4567", "NDEAFIHH", "ABC"}));
  CAdminSupplierDb reader(company.path());
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].supplierBankgiroNumber, "123-4567");
  EXPECT_EQ(walked.records[0].supplierBankCountryCode, "FI");
  EXPECT_EQ(walked.records[0].supplierBankBic, "");
  EXPECT_EQ(walked.records[0].supplierBankCode, "");
}

}  // namespace
