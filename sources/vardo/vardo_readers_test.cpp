// The Vardo readers over the sample Vardo company and small variants of it,
// walked as the upload job walks them, through our engine behind the API.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "sources/admin/testing/reader_walk.h"
#include "sources/vardo/vardo_readers.h"
#include "sources/vardo/vardo_test_support.h"
#include "tools/fixtures/dbf_value.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

using namespace reader_walk;
using ::testing::ElementsAre;
using ::testing::Contains;
using ::testing::IsEmpty;

// Only the records the generator writes for the special cases, so every value is known here.
samplecompany::VardoSampleOptions SpecialCasesOnly() {
  samplecompany::VardoSampleOptions options;
  options.articles = options.customers = options.suppliers = 0;
  options.customerInvoices = options.supplierInvoices = 0;
  return options;
}

class VardoReaders : public ::testing::Test {
 protected:
  // Replaces one table of the company with the given columns and records.
  void WriteTable(const char* file, std::vector<fixtures::DbfColumn> columns,
                  const std::vector<std::vector<std::string>>& records) const {
    fixtures::DbfWriter writer(fixtures::DbfFormat::DBase3, std::move(columns));
    writer.Encoding(platform::CodePage::Cp850);
    for (const auto& record : records) writer.Add(record);
    writer.WriteTo(std::filesystem::path(company_) / file);
  }
  void WriteTexts(const std::vector<std::vector<std::string>>& records) const {
    WriteTable("TEXT.DBF", {{"TEXTNO", 'N', 4}, {"TEXTNAME", 'C', 40}}, records);
  }

  vardo_test::VardoInstall install_;
  std::string company_ = install_.AddSampleCompany(samplecompany::kVardoCompanyName, SpecialCasesOnly());
  int year_ = platform::CurrentClock().Now().year;
};

TEST_F(VardoReaders, CompanySettings) {
  CVardoCompanySettings reader(company_);
  auto walked = WalkCompany(reader);
  CompanyRecord expected{.corporateIdentityNumber = "556677-8899",
                         .name = "Märta Åkesson Bygg AB",
                         .address1 = "Sjöbergsgatan 4",
                         .address2 = "Box 118",
                         .postalCode = "41251",
                         .city = "Göteborg",
                         .phone = "031-70 80 90",
                         .mobile = "070-123 45 67",
                         .email = "info@akessonbygg.se",
                         .web = "www.akessonbygg.se",
                         .vatNumber = "SE556677889901",
                         .bankgiroNumber = "5432-1098",
                         .residence = "Göteborg",
                         .ediGlnNumber = "7350000000018",
                         .hasFTaxCard = true,
                         .nextCustomerInvoiceNumber = 5151,  // the printed entry of two
                         .nextCustomerOrderNumber = 813,     // none printed: the last entry
                         .nextCustomerQuoteNumber = 10,
                         .exportApplication = 15,            // edition 3000
                         .companyType = 1,
                         .companyBankBic = "ESSESESS",
                         .companyBankAccountIban = "SE35 5000 0000 0549 1000 0003",
                         .vatPeriod = 3};
  EXPECT_EQ(walked.records, std::vector<CompanyRecord>{expected});
  EXPECT_THAT(walked.rows, IsEmpty());
  EXPECT_TRUE(reader.IsAvailable());
}

TEST_F(VardoReaders, CompanySettingsWithoutBicSeriesOrPostalCode) {
  WriteTable("CLIENT.DBF",
             {{"ORGNO", 'C', 15}, {"CLNAME", 'C', 40}, {"ADR3", 'C', 40}, {"IBAN", 'C', 34}, {"SWIFT", 'C', 11},
              {"VATREG", 'C', 20}, {"VATPER", 'N', 2}},
             {{"19AB-1234", "Ödmans Handelsbolag", "Göteborg", "5000-1234567", "", "", "12"}});
  WriteTable("SERIES.DBF", {{"ID", 'N', 4}, {"YEARNO", 'N', 4}, {"PRINTNUM", 'N', 2}, {"LASTNUM", 'N', 10}}, {});
  CVardoCompanySettings reader(company_);
  auto record = WalkCompany(reader).records.at(0);
  EXPECT_EQ(record.postalCode, "0");
  EXPECT_EQ(record.city, "Göteborg");
  EXPECT_EQ(record.companyBankAccountBban, "5000-1234567");
  EXPECT_EQ(record.companyBankAccountIban, "");
  EXPECT_FALSE(record.hasFTaxCard);
  EXPECT_EQ(record.vatPeriod, 4);  // yearly
  EXPECT_EQ(record.companyType, 0);  // "AB" where the month should be: no type, no failure
  EXPECT_EQ(record.nextCustomerInvoiceNumber, 1);
  EXPECT_EQ(record.nextCustomerQuoteNumber, 1);
}

TEST(VardoCompanyType, FromOrganisationNumberAndName) {
  struct Case {
    const char* orgNo;
    const char* name;
    int type;
  };
  for (const Case& c : std::vector<Case>{
           {"556677-8899", "Vad som helst", 1},
           {"640823-3234", "Lena Sjögren", 2},         // a personal identity number
           {"691201-1234", "Ek. För. Fel", 2},         // the month decides before the name
           {"769600-1234", "Bygdens Ekonomisk Förening", 3},
           {"869600-1234", "BYGDENS EK. FÖR.", 3},
           {"869600-1234", "Bygdens Förening", 0},
           {"969600-1234", "Ek & Gran HB", 5},
           {"969600-1234", "hb Ek & Gran", 5},
           {"969600-1234", "Öbergs Handelsbolag", 5},
           {"969600-1234", "Ek & Gran KB", 6},
           {"969600-1234", "Öbergs Kommanditbolag", 6},
           {"969600-1234", "HB", 0},                   // a name of three characters or less
           {"969600-1234", "Ek & Gran AB", 0},
           {"551500-1234", "Mitt i mellan", 0},        // 13-19
           {"550000-1234", "Noll", 0},
           {"356677-8899", "Annan första siffra", 0},
           {"5566", "Kort", 0},
           {"55--77-8899", "Tecken", 0},               // never a failure
           {"55ÅÄ77-8899", "Tecken", 0},
       }) {
    SCOPED_TRACE(std::string(c.orgNo) + " " + c.name);
    EXPECT_EQ(VardoCompanyType(c.orgNo, c.name), c.type);
  }
}

TEST_F(VardoReaders, Articles) {
  CVardoArticleDb reader(company_, "1");
  auto walked = Walk(reader);
  const auto article = [](const char* number, const char* name, const char* nameEnglish, const char* net,
                          const char* gross, const char* unitCode, const char* unitName, const char* account,
                          const char* accountName, const char* stock) {
    return ArticleRecord{.isActive = true, .number = number, .name = name, .nameEnglish = nameEnglish,
                         .netPrice = net, .grossPrice = gross, .unitCode = unitCode, .unitName = unitName,
                         .articleAccountCode = account, .articleAccountName = accountName, .stockBalance = stock};
  };
  EXPECT_THAT(walked.records,
              ElementsAre(article("A100", "Fönsterbåge, målning", "Window frame painting", "450.00", "", "tim",
                                  "Timme", "3001", "Försäljning av tjänster", "0.00"),
                          article("A101", "Skruv rostfri 4x40", "Stainless screw", "", "125.50", "st", "Styck",
                                  "3051", "Försäljning av varor", "1250.00"),
                          // VATINCL 2 is no price including VAT; unit 363 has no code text
                          article("A102", "Kopparrör 15 mm", "", "89.90", "", "363", "Meter", "3051",
                                  "Försäljning av varor", "-3.00"),
                          // an account the chart lacks, a unit without texts
                          article("A104", "Specialbeställning", "", "0.00", "", "", "", "3999", "", "0.00")));
  EXPECT_EQ(walked.counted, 5);  // the inactive article is read, not sent, and gives no row
  EXPECT_THAT(walked.rows, IsEmpty());
  EXPECT_TRUE(reader.IsAvailable());
}

// A unit's code text may come before or after its name text; of two name texts the later one counts.
TEST_F(VardoReaders, ArticleUnitsWhicheverTextComesFirst) {
  WriteTexts({{"861", "st"}, {"361", "Stycken"}, {"862", "tim"}, {"362", "Timme"}, {"362", "Timmar"},
              {"863", ""}, {"363", "Meter"}, {"864", "kg"}});
  CVardoArticleDb reader(company_, "");
  std::vector<std::pair<std::string, std::string>> units;
  for (const auto& article : Walk(reader).records) units.emplace_back(article.unitCode, article.unitName);
  EXPECT_THAT(units, ElementsAre(std::pair{"tim", "Timmar"}, std::pair{"st", "Stycken"}, std::pair{"363", "Meter"},
                                 std::pair{"", ""}));
}

TEST_F(VardoReaders, Customers) {
  CVardoCustomerDb reader(company_);
  auto walked = Walk(reader);
  CustomerRecord withEverything{.customerNumber = "1001",
                                .corporateIdentityNumber = "556012-3459",
                                .contactPersonName = "Göran Ek",
                                .currencyCode = "SEK",
                                .gln = "7350000000025",
                                .emailAddress = "inkop@orjansror.se",
                                .invoiceAddress1 = "Rörvägen 3",
                                .invoiceAddress2 = "Box 12",
                                .invoiceCity = "Stad",
                                .invoiceCountryCode = "SE",
                                .invoicePostalCode = "12345",
                                .deliveryCustomerName = "Örjans Rör, lager",
                                .deliveryAddress1 = "Lagervägen 9",
                                .deliveryCity = "Göteborg",
                                .deliveryCountryCode = "SE",
                                .deliveryPostalCode = "41301",
                                .deliveryMethodCode = "231",
                                .deliveryTermCode = "220",
                                .name = "Örjans Rör AB",
                                .note = "Ring före leverans. Portkod 1234, släpp av vid lastkajen.",
                                .mobilePhone = "070-111 22 33",
                                .telephone = "08-123 456",
                                .termsOfPaymentCode = "30",
                                .termsOfPaymentName = "30 dagar netto",
                                .vatNumber = "SE556012345901",
                                .wwwAddress = "www.orjansror.se",
                                .electronicReference = "REF-77"};
  // No postal line at all; a term whose number does not start its name goes by its text number.
  CustomerRecord withoutPostalLine{.customerNumber = "1003",
                                   .corporateIdentityNumber = "640823-3234",
                                   .currencyCode = "SEK",
                                   .emailAddress = "lena@example.se",
                                   .invoiceAddress1 = "Storgatan 1",
                                   .invoiceCountryCode = "SE",
                                   .deliveryMethodCode = "232",
                                   .deliveryTermCode = "221",
                                   .name = "Lena Sjögren",
                                   .mobilePhone = "073-456 78 90",
                                   .termsOfPaymentCode = "423",
                                   .termsOfPaymentName = "Netto 10 dagar"};
  EXPECT_THAT(walked.records, ElementsAre(withEverything, withoutPostalLine));
  EXPECT_EQ(walked.counted, 3);  // and the inactive customer; suppliers and delivery addresses are not customers
  EXPECT_EQ(walked.visited, 3);  // the walk stands on no other person: the reader passes them itself
  EXPECT_THAT(walked.rows, IsEmpty());
  EXPECT_TRUE(reader.IsAvailable());
}

// The look-ups do not depend on the first person record, the person type is
// read as a number, and the reference key keeps the person type apart from the id.
TEST_F(VardoReaders, CustomerLookUpsWhateverTheTableHolds) {
  std::vector<fixtures::DbfColumn> columns = {{"ID", 'C', 10},   {"TYPE", 'C', 2},   {"PNAME", 'C', 40},
                                              {"ADR1", 'C', 40}, {"ADR2", 'C', 40}, {"ADR3", 'C', 40},
                                              {"CREDIT", 'N', 2}, {"INACTIVE", 'L', 1}};
  WriteTable("PERSON.DBF", columns,
             {{"2001", " 2", "Leverantören", "", "", "", "0", "F"},
              {"X", "X1", "Ingen typ", "", "", "", "0", "F"},
              {"100", "1", "Kund utan blanksteg", "", "Storgatan 1", "", "1", "F"},
              {"100", " 3", "Leveransadressen", "Lagervägen 2", "Box 7", "123 45 Stad", "0", "F"}});
  WriteTable("PERSSETTINGS.DBF", {{"TYPE", 'N', 2}, {"ID", 'C', 10}, {"KEY", 'C', 20}, {"VALUE", 'C', 40}},
             {{"1", "100", "EDIYourRef", "Kundens referens"}, {"11", "00", "EDIYourRef", "En annan persons"}});
  CVardoCustomerDb reader(company_);
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 1u);
  const CustomerRecord& customer = walked.records[0];
  EXPECT_EQ(customer.name, "Kund utan blanksteg");
  EXPECT_EQ(customer.invoiceAddress2, "");  // ADR2 is the postal line when ADR3 is empty
  EXPECT_EQ(customer.invoicePostalCode, "0");
  EXPECT_EQ(customer.invoiceCity, "Storgatan 1");
  EXPECT_EQ(customer.termsOfPaymentCode, "C");
  EXPECT_EQ(customer.deliveryCustomerName, "Leveransadressen");
  EXPECT_EQ(customer.deliveryAddress2, "Box 7");
  EXPECT_EQ(customer.deliveryPostalCode, "12345");
  EXPECT_EQ(customer.electronicReference, "Kundens referens");
  EXPECT_EQ(walked.counted, 1);
}

TEST_F(VardoReaders, Suppliers) {
  CVardoSupplierDb reader(company_);
  auto walked = Walk(reader);
  SupplierRecord sjobergs{.supplierNumber = "2001",
                          .supplierBankCountryCode = "SE",
                          .supplierBankgiroNumber = "5050-1055",
                          .city = "Skellefteå",
                          .contactPersonName = "Kjell Hägg",
                          .corporateIdentityNumber = "556200-1113",
                          .countryCode = "SE",
                          .currencyCode = "SEK",
                          .emailAddress = "order@sjobergstra.se",
                          .name = "Sjöbergs Trä AB",
                          .postalCode = "93133",
                          .telephone = "0910-12 34 56",
                          .termsOfPaymentCode = "C",
                          .termsOfPaymentName = "Kontant",
                          .wwwAddress = "www.sjobergstra.se"};
  SupplierRecord paris{.supplierNumber = "2002",
                       .address1 = "Rue de Rivoli 10",
                       .supplierBankBic = "BNPAFRPP",
                       .supplierBankCountryCode = "FR",
                       .supplierBankIban = "FR1420041010050500013M02606",
                       .supplierBankName = "BNP Paribas",
                       .city = "Paris",
                       .countryCode = "FR",
                       .currencyCode = "EUR",
                       .name = "Outils de Paris SARL",
                       .postalCode = "75001",
                       .termsOfPaymentCode = "30",
                       .termsOfPaymentName = "30 dagar netto"};
  sjobergs.address1 = "Sågverksvägen 2";
  ASSERT_EQ(walked.records.size(), 3u);
  EXPECT_EQ(walked.records[0], sjobergs);  // its history note is not taken
  EXPECT_EQ(walked.records[1], paris);
  EXPECT_EQ(walked.records[2].name, "Typen utan blanksteg AB");  // TYPE "2" is a supplier too
  EXPECT_EQ(walked.records[2].supplierPlusgiroNumber, "12 34 56-7");
  EXPECT_EQ(walked.counted, 4);  // and the inactive supplier
  EXPECT_EQ(walked.visited, 4);
  EXPECT_THAT(walked.rows, IsEmpty());
}

TEST_F(VardoReaders, SupplierPostalLineHasNoSecondTry) {
  WriteTable("PERSON.DBF",
             {{"ID", 'C', 10}, {"TYPE", 'C', 2}, {"ADR2", 'C', 40}, {"ADR3", 'C', 40}, {"INACTIVE", 'L', 1}},
             {{"1", " 2", "123 45 Stad", "", "F"}, {"2", " 2", "Box 5", "Kvarnbyn", "F"}});
  CVardoSupplierDb reader(company_);
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 2u);
  EXPECT_EQ(std::tie(walked.records[0].address2, walked.records[0].postalCode, walked.records[0].city),
            std::tuple("", "12345", "Stad"));
  EXPECT_EQ(std::tie(walked.records[1].address2, walked.records[1].postalCode, walked.records[1].city),
            std::tuple("Box 5", "0", "Kvarnbyn"));
}

TEST_F(VardoReaders, DeliveryTermsAndMethods) {
  CVardoDeliveryTermsDb terms(company_);
  auto walkedTerms = Walk(terms);
  EXPECT_THAT(walkedTerms.records, ElementsAre(DeliveryTermRecord{"220", "Fritt vårt lager"},
                                               DeliveryTermRecord{"221", "Fritt kunds lager"}));
  EXPECT_EQ(walkedTerms.visited, 20);  // every live text of the table
  CVardoDeliveryMethodsDb methods(company_);
  EXPECT_THAT(Walk(methods).records,
              ElementsAre(DeliveryMethodRecord{"231", "Post"}, DeliveryMethodRecord{"232", "Bil från Göteborg"},
                          DeliveryMethodRecord{"240", "Kunden hämtar själv"}));
}

TEST_F(VardoReaders, PaymentTermCodes) {
  struct Case {
    const char* name;
    const char* code;
  };
  const std::vector<Case> cases = {{"30 dagar", "30"},   {"Kontant", "C"},        {"Netto 30", "423"},
                                   {"200 dagar", "424"}, {"0 dagar", "0"},        {"179 dagar", "179"},
                                   {"-5 dagar", "427"},  {"Efter överenskommelse", "428"}, {"X", ""}};
  std::vector<std::vector<std::string>> texts;
  for (std::size_t i = 0; i < cases.size(); ++i) texts.push_back({std::to_string(421 + i), cases[i].name});
  WriteTexts(texts);
  std::vector<std::vector<std::string>> persons;
  for (std::size_t i = 0; i < cases.size(); ++i) persons.push_back({std::to_string(i), " 1", std::to_string(i), "F"});
  WriteTable("PERSON.DBF", {{"ID", 'C', 10}, {"TYPE", 'C', 2}, {"CREDIT", 'N', 2}, {"INACTIVE", 'L', 1}}, persons);
  CVardoCustomerDb reader(company_);
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(walked.records[i].termsOfPaymentCode, cases[i].code);
    EXPECT_EQ(walked.records[i].termsOfPaymentName, std::string(cases[i].code).empty() ? "" : cases[i].name);
  }
}

TEST_F(VardoReaders, OpenCustomerInvoices) {
  CVardoCustomerLedgerItems reader(company_);
  auto walked = Walk(reader);
  const std::string year = std::to_string(year_);
  const auto invoice = [&](bool credit, int number, const char* date, const char* currency, const char* rate,
                           const char* total, const char* remaining, const char* vat) {
    return CustomerLedgerRecord{.isCreditInvoice = credit, .invoiceNumber = number, .customerNumber = "1001",
                                .customerName = "Örjans Rör AB", .invoiceDate = year + date,
                                .dueDate = year + "-03-12", .currencyCode = currency, .currencyRate = rate,
                                .currencyRateUnit = 1, .customerLedgerAccountNumber = 1510,
                                .totalAmountInvoiceCurrency = total, .remainingAmountInvoiceCurrency = remaining,
                                .vatAmountHigh = vat};
  };
  EXPECT_THAT(walked.records,
              ElementsAre(invoice(false, 5001, "-02-01", "SEK", "1.000000", "1250.00", "1250.00", "250.00"),
                          invoice(true, 5002, "-02-10", "SEK", "1.000000", "-300.00", "-300.00", "-60.00"),
                          invoice(false, 5008, "-02-10", "EUR", "11.200000", "100.00", "100.00", "20.00")));
  EXPECT_THAT(walked.rows,
              ElementsAre(ReportRow{"5003", "", "Error", "Inf:", "Räntefaktura kan inte överföras."},
                          ReportRow{"5004", "", "Error", "Inf:", "A-contofaktura kan inte överföras."},
                          ReportRow{"5006", "", "Error", "Fel:", "Saldo högre än total på fakturan."},
                          ReportRow{"5001", "", "Error", "Fel:", "Faktura med samma nr från annat år redan upplagd."}));
  EXPECT_TRUE(reader.IsAvailable());
  EXPECT_TRUE(reader.MoveFirst());
  EXPECT_TRUE(reader.IsCurrentCounted());
}

TEST_F(VardoReaders, OpenSupplierInvoices) {
  CVardoSupplierLedgerItems reader(company_);
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 3u);
  const SupplierLedgerRecord& first = walked.records[0];
  EXPECT_EQ(first.invoiceId, "7001");
  EXPECT_EQ(first.supplierName, "Sjöbergs Trä AB");
  EXPECT_EQ(first.supplierLedgerAccountNumber, 2440);
  EXPECT_EQ(std::tie(first.paymentReferenceNumber, first.paymentMessage), std::tuple("18", "18"));
  EXPECT_EQ(first.totalVatAmount, "125.00");
  EXPECT_TRUE(first.isUsingTotalVatAmount);
  EXPECT_EQ(first.invoiceDate, std::to_string(year_) + "-02-10");
  EXPECT_EQ(std::tie(walked.records[1].paymentReferenceNumber, walked.records[1].paymentMessage),
            std::tuple("", "19"));  // a wrong check digit
  const SupplierLedgerRecord& credit = walked.records[2];
  EXPECT_EQ(std::tie(credit.invoiceId, credit.paymentReferenceNumber, credit.paymentMessage),
            std::tuple("7003", "", "K-12"));
  EXPECT_TRUE(credit.isCreditInvoice);
  EXPECT_EQ(std::tie(credit.totalAmountInvoiceCurrency, credit.remainingAmountInvoiceCurrency, credit.currencyRate),
            std::tuple("-125.00", "-125.00", "11.200000"));
  EXPECT_THAT(walked.rows, ElementsAre(ReportRow{"7004", "", "Error", "Fel:", "Saldo högre än total på fakturan."}));
  EXPECT_TRUE(reader.IsAvailable());
}

// The check of an open item, row by row; a number refused for another reason does not take the number.
TEST_F(VardoReaders, OpenInvoiceChecks) {
  const std::vector<fixtures::DbfColumn> columns = {
      {"PERSTYPE", 'N', 1}, {"LEDTYPE", 'N', 2},      {"LEDNO", 'N', 8},        {"YEARNO", 'N', 4},
      {"PERSNO", 'C', 10},  {"RESIDUAL", 'N', 12, 2}, {"FRESIDUAL", 'N', 12, 2}, {"FORAMOUNT", 'N', 12, 2},
      {"RATE", 'N', 10, 4}};
  WriteTable("LEDGER.DBF", columns,
             {{"1", "0", "1", "1", "K1", "0.00", "100.00", "100.00", "0"},        // paid in the home currency
              {"1", "0", "2", "1", "K1", "100.00", "0.00", "100.00", "0"},        // paid
              {"1", "0", "1", "2", "K1", "100.00", "100.00", "100.00", "0"},      // 1 is free: sent
              {"1", "1", "3", "1", "K1", "-100.00", "-120.00", "-100.00", "0"},   // credit above its total
              {"1", "1", "4", "1", "K1", "-100.00", "-50.00", "-100.00", "0"},    // part of a credit left
              {"1", "-1", "5", "1", "K1", "100.00", "100.00", "100.00", "0"},     // no known type: not sent
              {"2", "0", "6", "1", "L1", "100.00", "100.00", "100.00", "0"}});    // the other ledger
  CVardoCustomerLedgerItems reader(company_);
  auto walked = Walk(reader);
  std::vector<int> sent;
  for (const auto& item : walked.records) sent.push_back(item.invoiceNumber);
  EXPECT_THAT(sent, ElementsAre(1, 4));
  EXPECT_THAT(walked.rows, ElementsAre(ReportRow{"3", "", "Error", "Fel:", "Saldo högre än total på fakturan."}));
  EXPECT_EQ(walked.records[0].currencyRate, "0.000000");
  EXPECT_EQ(walked.records[0].customerLedgerAccountNumber, 0);  // a person the table lacks
}

// Which kinds a company of each edition offers.
class VardoEditions : public ::testing::TestWithParam<int> {};

TEST_P(VardoEditions, OpenInvoicesFromTheirEdition) {
  const int edition = GetParam();
  vardo_test::VardoInstall install(edition);
  const std::string company = install.AddSampleCompany(samplecompany::kVardoCompanyName, SpecialCasesOnly());
  EXPECT_TRUE(CVardoArticleDb(company, "").IsAvailable());
  EXPECT_TRUE(CVardoCustomerDb(company).IsAvailable());
  EXPECT_TRUE(CVardoSupplierDb(company).IsAvailable());
  EXPECT_EQ(CVardoCustomerLedgerItems(company).IsAvailable(), edition >= 1000);
  EXPECT_EQ(CVardoSupplierLedgerItems(company).IsAvailable(), edition >= 1500);
  const std::map<int, int> exportApplications = {{500, 11}, {750, 12}, {1000, 13}, {1500, 14}, {3000, 15}};
  EXPECT_EQ(CVardoCompanySettings(company).GetExportApplication(), exportApplications.at(edition));
}

INSTANTIATE_TEST_SUITE_P(Editions, VardoEditions, ::testing::Values(500, 750, 1000, 1500, 3000));

TEST(VardoEditionUnknown, NoCompanyKindIsAvailable) {
  vardo_test::VardoInstall install(400);
  const std::string company = install.AddSampleCompany();
  EXPECT_FALSE(CVardoArticleDb(company, "").IsAvailable());
  EXPECT_FALSE(CVardoCustomerDb(company).IsAvailable());
  EXPECT_FALSE(CVardoCustomerLedgerItems(company).IsAvailable());
  EXPECT_EQ(CVardoCompanySettings(company).GetExportApplication(), -1);
}

}  // namespace

// A value that does not read as its field's type (letters in a number, date
// or logical field): a record whose choice, key, amount, rate or date it is
// is refused with an Error row naming the field; a record it only adds to goes
// without it, with a Warning row. No reader sends a value the company does
// not have, nor another record in the one's place.
class VardoDamagedValues : public VardoReaders {
 protected:
  void Damage(const char* file, std::vector<std::pair<std::string, std::string>> match, const char* field,
              const char* value) const {
    fixtures::ChangeDbfValue(std::filesystem::path(company_) / file, match, field, value);
  }
  // The row whose text names the field and its stored value.
  static auto RowNaming(const char* kind, const std::string& key, const std::string& field, const std::string& value) {
    return ::testing::AllOf(::testing::Field(&ReportRow::kind, kind), ::testing::Field(&ReportRow::key, key),
                            ::testing::Field(&ReportRow::text, ::testing::HasSubstr("fältet " + field)),
                            ::testing::Field(&ReportRow::text, ::testing::HasSubstr("(\"" + value + "\")")));
  }
  static std::vector<int> Numbers(const std::vector<CustomerLedgerRecord>& items) {
    std::vector<int> numbers;
    for (const auto& item : items) numbers.push_back(item.invoiceNumber);
    return numbers;
  }
};

TEST_F(VardoDamagedValues, OpenInvoicesAreRefusedNeverReplaced) {
  const struct {
    const char* field;
    const char* value;
    std::vector<std::pair<std::string, std::string>> match;
    std::vector<int> sent;
  } cases[] = {
      // The current year's 5001 is refused; the earlier year's 5001 is not sent in its place.
      {"RESIDUAL", "--3", {{"LEDNO", "5001"}, {"YEARNO", "3"}}, {5002, 5008}},
      {"RATE", "x.5", {{"LEDNO", "5008"}}, {5001, 5002}},
      {"FORAMOUNT", "12abc", {{"LEDNO", "5002"}}, {5001, 5008}},
      {"LEDDUEDATE", "20261301", {{"LEDNO", "5002"}}, {5001, 5008}},
      {"LEDNO", "50O8", {{"LEDNO", "5008"}}, {5001, 5002}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    company_ = install_.AddSampleCompany(std::string("Skadad ") + c.field, SpecialCasesOnly());
    Damage("LEDGER.DBF", c.match, c.field, c.value);
    CVardoCustomerLedgerItems reader(company_);
    auto walked = Walk(reader);
    EXPECT_THAT(Numbers(walked.records), ElementsAre(c.sent[0], c.sent[1]));
    const std::string key = std::string(c.field) == "LEDNO" ? report::kMissingKey : c.match.front().second;
    EXPECT_THAT(walked.rows, Contains(RowNaming("Error", key, c.field, c.value)));
  }
}

// An item whose ledger does not read may be of either: both lose it, as an item that cannot be read.
TEST_F(VardoDamagedValues, AnItemOfNoKnownLedgerIsLostToBoth) {
  Damage("LEDGER.DBF", {{"LEDNO", "5008"}}, "PERSTYPE", "K");
  const ReportRow lost{"", "", "Error", "Fel:",
                       "Filen LEDGER.DBF kan inte läsas helt: fältet PERSTYPE har ett värde som inte kan läsas (\"K\")"};
  CVardoCustomerLedgerItems customers(company_);
  auto walkedCustomers = Walk(customers);
  EXPECT_THAT(Numbers(walkedCustomers.records), ElementsAre(5001, 5002));
  EXPECT_THAT(walkedCustomers.rows, Contains(lost));
  CVardoSupplierLedgerItems suppliers(company_);
  auto walkedSuppliers = Walk(suppliers);
  EXPECT_EQ(walkedSuppliers.records.size(), 3u);
  EXPECT_THAT(walkedSuppliers.rows, Contains(lost));
}

TEST_F(VardoDamagedValues, AnInvoiceDateThatDoesNotReadRefusesItsItem) {
  Damage("INVOICE.DBF", {{"INVNO", "5001"}}, "INVDATE", "2026-2-1");
  CVardoCustomerLedgerItems reader(company_);
  auto walked = Walk(reader);
  EXPECT_THAT(Numbers(walked.records), ElementsAre(5002, 5008));  // not dated from the ledger row
  EXPECT_THAT(walked.rows, Contains(::testing::AllOf(
                               ::testing::Field(&ReportRow::key, "5001"),
                               ::testing::Field(&ReportRow::text, ::testing::StartsWith(
                                                                      "Fakturans datum kunde inte läsas ur INVOICE.DBF: "
                                                                      "fältet INVDATE har ett värde som inte kan läsas")))));
}

// The settings are held back, as for a table that cannot be read.
TEST_F(VardoDamagedValues, CompanySettingsAreHeldBack) {
  const struct {
    const char* file;
    std::vector<std::pair<std::string, std::string>> match;
    const char* field;
    const char* value;
  } cases[] = {
      {"SERIES.DBF", {{"ID", "101"}, {"YEARNO", "2"}}, "LASTNUM", "abc"},
      {"SERIES.DBF", {{"ID", "101"}, {"YEARNO", "2"}}, "ID", "1O1"},
      {"CLIENT.DBF", {}, "VATPER", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    company_ = install_.AddSampleCompany(std::string("Skadad ") + c.field, SpecialCasesOnly());
    Damage(c.file, c.match, c.field, c.value);
    CVardoCompanySettings reader(company_);
    auto walked = WalkCompany(reader);
    EXPECT_THAT(walked.rows, ElementsAre(ReportRow{"", "", "Error", "Fel:",
                                                   std::string("Filen ") + c.file + " kan inte läsas helt: fältet " +
                                                       c.field + " har ett värde som inte kan läsas (\"" + c.value +
                                                       "\")"}));
  }
}

TEST_F(VardoDamagedValues, RegistersRefuseWhatChoosesAndWarnOfWhatAdds) {
  {
    Damage("PERSON.DBF", {{"ID", "1001"}, {"TYPE", "1"}}, "INACTIVE", "J");
    Damage("PERSON.DBF", {{"ID", "1003"}}, "CREDIT", "3O");
    CVardoCustomerDb reader(company_);
    auto walked = Walk(reader);
    EXPECT_THAT(walked.rows, ElementsAre(RowNaming("Error", "1001", "INACTIVE", "J"),
                                         RowNaming("Warning", "1003", "CREDIT", "3O")));
    ASSERT_EQ(walked.records.size(), 1u);
    EXPECT_EQ(walked.records[0].customerNumber, "1003");
    EXPECT_EQ(walked.records[0].termsOfPaymentCode, "");  // not the first term of the range
    EXPECT_EQ(walked.counted, 3);
  }
  {
    Damage("ARTICLE.DBF", {{"ARTNO", "A100"}}, "ARTPRICE0", "450,00");
    Damage("ARTICLE.DBF", {{"ARTNO", "A101"}}, "ARTUNIT", "st");
    CVardoArticleDb reader(company_, "");
    auto walked = Walk(reader);
    EXPECT_THAT(walked.rows, ElementsAre(RowNaming("Error", "A100", "ARTPRICE0", "450,00"),
                                         RowNaming("Warning", "A101", "ARTUNIT", "st")));
    ASSERT_FALSE(walked.records.empty());
    EXPECT_EQ(walked.records[0].number, "A101");
    EXPECT_EQ(std::tie(walked.records[0].unitCode, walked.records[0].unitName), std::tuple("", ""));
  }
  {
    // A text whose number does not read may be of any range: lost, as a text that cannot be read.
    Damage("TEXT.DBF", {{"TEXTNO", "220"}}, "TEXTNO", "22O");
    CVardoDeliveryTermsDb terms(company_);
    auto walked = Walk(terms);
    EXPECT_EQ(walked.records.size(), 1u);
    EXPECT_THAT(walked.rows, ElementsAre(ReportRow{"", "", "Error", "Fel:",
                                                   "Filen TEXT.DBF kan inte läsas helt: fältet TEXTNO har ett värde "
                                                   "som inte kan läsas (\"22O\")"}));
    // So does a look-up of another table.
    Damage("HISTORY.DBF", {{"REF", "1001"}}, "HISTTYPE", "x");
    CVardoCustomerDb customers(company_);
    auto lookedUp = Walk(customers);
    EXPECT_THAT(lookedUp.rows,
                Contains(::testing::Field(&ReportRow::text,
                                          "Filen HISTORY.DBF kan inte läsas helt: fältet HISTTYPE har ett värde som "
                                          "inte kan läsas (\"x\"); anteckningar saknas.")));
  }
}

// A person whose type does not read may be anyone: every reader of persons loses it, as a record that cannot be read.
TEST_F(VardoDamagedValues, APersonOfNoKnownTypeIsLostToEveryReader) {
  WriteTable("PERSON.DBF", {{"ID", 'C', 10}, {"TYPE", 'N', 2}, {"PNAME", 'C', 40}, {"INACTIVE", 'L', 1}},
             {{"1001", "1", "Kunden AB", "F"}, {"1002", "x", "Vem AB", "F"}, {"2001", "2", "Leverantören AB", "F"}});
  const ReportRow lost{"", "", "Error", "Fel:",
                       "Filen PERSON.DBF kan inte läsas helt: fältet TYPE har ett värde som inte kan läsas (\"x\")"};
  CVardoCustomerDb customers(company_);
  auto walkedCustomers = Walk(customers);
  ASSERT_EQ(walkedCustomers.records.size(), 1u);
  EXPECT_EQ(walkedCustomers.records[0].name, "Kunden AB");
  EXPECT_THAT(walkedCustomers.rows, ElementsAre(lost));
  CVardoSupplierDb suppliers(company_);
  auto walkedSuppliers = Walk(suppliers);
  ASSERT_EQ(walkedSuppliers.records.size(), 1u);
  EXPECT_EQ(walkedSuppliers.records[0].name, "Leverantören AB");
  EXPECT_THAT(walkedSuppliers.rows, ElementsAre(lost));
}
