// The readers of this folder over the sample company, walked as the upload job
// walks them, in every table format and code page the generator writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>

#include "sources/admin/article_reader.h"
#include "sources/admin/company_settings.h"
#include "sources/admin/customer_ledger_reader.h"
#include "sources/admin/customer_reader.h"
#include "sources/admin/delivery_readers.h"
#include "sources/admin/supplier_ledger_reader.h"
#include "sources/admin/supplier_reader.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sources/admin/testing/reader_walk.h"
#include "sources/admin/testing/sample_dbf_tables.h"
#include "tools/samplecompany/sample_company.h"

namespace {

using namespace reader_walk;

struct Layout {
  const char* label;
  fixtures::DbfFormat format;
  platform::CodePage codePage;
};

class SampleCompanyReaders : public ::testing::TestWithParam<Layout> {
 protected:
  // Only the records the generator writes for the special cases, so every value is known here.
  void SetUp() override { Write(0); }
  void Write(int ordinaryRecords) {
    samplecompany::SampleOptions options;
    options.articles = options.customers = options.suppliers = ordinaryRecords;
    options.customerInvoices = options.supplierInvoices = 0;
    options.format = GetParam().format;
    options.codePage = GetParam().codePage;
    options.bookingYear = 2024;
    samplecompany::WriteSampleCompany(folder.root(), options);
  }
  std::string path() const { return folder.root().string(); }

  platform::fake::TempTree folder;
};

INSTANTIATE_TEST_SUITE_P(Layouts, SampleCompanyReaders,
                         ::testing::Values(Layout{"dBase3_1252", fixtures::DbfFormat::DBase3,
                                                  platform::CodePage::Windows1252},
                                           Layout{"FoxPro_850", fixtures::DbfFormat::VisualFoxPro,
                                                  platform::CodePage::Cp850}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_P(SampleCompanyReaders, CompanySettings) {
  CAdminCompanySettings reader(path());
  auto walked = WalkCompany(reader);
  CompanyRecord expected{.corporateIdentityNumber = "556677-8899",
                         .name = "Åsa Öberg AB",
                         .address1 = "Östra Hamngatan 12",
                         .postalCode = "41109",
                         .city = "Göteborg",
                         .phone = "031-123456",
                         .email = "info@asaoberg.se",
                         .web = "www.asaoberg.se",
                         .vatNumber = "SE556677889901",
                         .bankgiroNumber = "5566-7788",
                         .plusgiroNumber = "123456-7",
                         .residence = "Göteborg",
                         .ediGlnNumber = "7350000000001",
                         .hasFTaxCard = true,
                         .usesReversedConstructionVat = true,
                         .usesRotReducedInvoicing = true,
                         .nextCustomerInvoiceNumber = 10100,
                         .nextCustomerOrderNumber = 3001,
                         .nextCustomerQuoteNumber = 5001,
                         .exportApplication = 3,
                         .companyType = 1,
                         .companyBankBic = "ESSESESS",
                         .companyBankAccountIban = "SE4550000000058398257466",
                         .vatPeriod = 3};
  EXPECT_EQ(walked.records, std::vector<CompanyRecord>{expected});
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_TRUE(reader.IsAvailable());
}

TEST_P(SampleCompanyReaders, ArticlesOfTheNetPriceList) {
  CAdminArticleDb reader(path(), "1");
  ASSERT_TRUE(reader.IsAvailable());
  auto walked = Walk(reader);

  const ArticleRecord hourly{.isActive = true, .unitCode = "HUR", .unitName = "Timme", .articleAccountCode = "2",
                             .articleAccountName = "Tjänster 25 %"};
  auto painting = hourly;
  painting.number = "100";
  painting.name = "Målning av fönsterbåge";
  painting.nameEnglish = "Window frame painting";
  painting.netPrice = "450.00";
  painting.stockBalance = "0.00";
  painting.rotRutType = 1;
  auto cleaning = hourly;
  cleaning.number = "101";
  cleaning.name = "Städning, RUT";
  cleaning.netPrice = "380.00";
  cleaning.rotRutType = 26;
  auto plumbing = hourly;
  plumbing.number = "103";
  plumbing.name = "Rörmokeri";
  plumbing.stockBalance = "0.00";
  const ArticleRecord cable{.isActive = true,
                            .number = "104",
                            .name = "Kabel",
                            .nameEnglish = "Cable",
                            .netPrice = "12.50",
                            .unitCode = "m",
                            .unitName = "Meter",
                            .articleAccountCode = "1",
                            .articleAccountName = "Varor 25 %",
                            .stockBalance = "125.50"};
  const ArticleRecord wallpaper{.isActive = true,
                                .number = "105",
                                .name = "Tapetrulle",
                                .unitCode = "frp",
                                .articleAccountCode = "1",
                                .articleAccountName = "Varor 25 %",
                                .stockBalance = "12.00"};
  const ArticleRecord special{.isActive = true, .number = "106", .name = "Specialbeställning"};
  EXPECT_EQ(walked.records,
            (std::vector<ArticleRecord>{painting, cleaning, plumbing, cable, wallpaper, special}));
  EXPECT_EQ(walked.counted, 7);  // the inactive article counts in the progress, not in the upload
  EXPECT_TRUE(walked.rows.empty());
}

TEST_P(SampleCompanyReaders, ArticlesOfTheGrossPriceListOrOfNone) {
  CAdminArticleDb gross(path(), "2");
  auto walked = Walk(gross);
  ASSERT_EQ(walked.records.size(), 6u);
  EXPECT_EQ(walked.records[0].grossPrice, "562.50");
  for (const auto& article : walked.records) EXPECT_EQ(article.netPrice, "") << article.number;

  CAdminArticleDb none(path(), "");
  EXPECT_EQ(Walk(none).rows,
            (std::vector<ReportRow>{{"", "", "Misc", "Varning:",
                                     "Det finns ingen prislista i SEK så inga priser kommer att överföras."}}));
}

TEST_P(SampleCompanyReaders, DeliveryTermsAndMethods) {
  CAdminDeliveryTermsDb terms(path());
  auto walkedTerms = Walk(terms);
  EXPECT_EQ(walkedTerms.records, (std::vector<DeliveryTermRecord>{{"FVL", "Fritt vårt lager"},
                                                                  {"FK", "Fritt kund"},
                                                                  {"  EX", "Ex works, inledande blanksteg"},
                                                                  {"", "Kod saknas"}}));
  EXPECT_TRUE(walkedTerms.rows.empty());

  CAdminDeliveryMethodsDb methods(path());
  auto walkedMethods = Walk(methods);
  EXPECT_EQ(walkedMethods.records, (std::vector<DeliveryMethodRecord>{
                                       {"POST", "Posten"}, {"BIL", "Bil"}, {"HÄMT", "Kunden hämtar själv"}}));
  EXPECT_TRUE(walkedMethods.rows.empty());
}

TEST_P(SampleCompanyReaders, OpenCustomerInvoices) {
  CAdminCustomerLedgerItems reader(path());
  ASSERT_TRUE(reader.IsAvailable());
  auto walked = Walk(reader);

  const CustomerLedgerRecord westernBuilders{.customerNumber = "1",
                                             .customerName = "Byggbolaget Väst AB",
                                             .customerAddress1 = "Storgatan 1",
                                             .customerAddress2 = "Box 12",
                                             .customerCity = "Göteborg",
                                             .customerCountry = "SE",
                                             .customerPostalCode = "411 01",
                                             .invoiceDate = "2024-01-31",
                                             .dueDate = "2024-03-01",
                                             .currencyCode = "SEK",
                                             .currencyRate = "1.000000",
                                             .currencyRateUnit = 1,
                                             .customerLedgerAccountNumber = 1510};
  auto booked = westernBuilders;
  booked.invoiceNumber = 10001;
  booked.paymentReferenceNumber = "100016";
  booked.totalAmountInvoiceCurrency = booked.remainingAmountInvoiceCurrency = "1250.00";
  booked.vatAmountHigh = "250.00";
  auto credit = westernBuilders;
  credit.isCreditInvoice = true;
  credit.invoiceNumber = 10003;
  credit.paymentReferenceNumber = "100032";
  credit.totalAmountInvoiceCurrency = credit.remainingAmountInvoiceCurrency = "-1250.00";
  credit.vatAmountHigh = "-250.00";
  auto exempt = westernBuilders;
  exempt.invoiceNumber = 10004;
  exempt.paymentReferenceNumber = "100040";
  exempt.totalAmountInvoiceCurrency = exempt.remainingAmountInvoiceCurrency = "80.50";
  exempt.vatAmountHigh = "16.10";
  const CustomerLedgerRecord foreign{.invoiceNumber = 10009,
                                     .customerNumber = "3",
                                     .customerName = "Müller GmbH",
                                     .customerAddress1 = "Hauptstraße 4",
                                     .customerCity = "München",
                                     .customerCountry = "DE",
                                     .customerPostalCode = "80331",
                                     .invoiceDate = "2024-01-31",
                                     .currencyCode = "EUR",
                                     .currencyRate = "10.8600",
                                     .currencyRateUnit = 1,
                                     .customerLedgerAccountNumber = 1510,
                                     .totalAmountInvoiceCurrency = "1000.00",
                                     .remainingAmountInvoiceCurrency = "1000.00",
                                     .vatAmountHigh = "0.00"};
  auto exemptCredit = westernBuilders;
  exemptCredit.isCreditInvoice = true;
  exemptCredit.invoiceNumber = 10010;
  exemptCredit.paymentReferenceNumber = "100107";
  exemptCredit.totalAmountInvoiceCurrency = "-200.00";
  exemptCredit.remainingAmountInvoiceCurrency = "-200.00";
  exemptCredit.vatAmountHigh = "-40.00";
  EXPECT_EQ(walked.records, (std::vector<CustomerLedgerRecord>{booked, credit, exempt, foreign, exemptCredit}));
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"10002", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));
  EXPECT_EQ(walked.visited, 10);  // the deleted invoice is never visited
}

TEST_P(SampleCompanyReaders, OpenSupplierInvoices) {
  CAdminSupplierLedgerItems reader(path());
  ASSERT_TRUE(reader.IsAvailable());
  auto walked = Walk(reader);

  const SupplierLedgerRecord inSek{.invoiceDate = "2024-01-31",
                                   .dueDate = "2024-03-01",
                                   .isUsingTotalVatAmount = true,
                                   .currencyCode = "SEK",
                                   .currencyRate = "1.000000",
                                   .currencyRateUnit = 1,
                                   .supplierLedgerAccountNumber = 2440};
  auto ironmonger = inSek;
  ironmonger.supplierNumber = "1";
  ironmonger.supplierName = "Järnhandel i Västerås AB";
  ironmonger.supplierCountry = ironmonger.supplierBankCountryCode = "SE";
  auto timber = inSek;
  timber.supplierNumber = "2";
  timber.supplierName = "Norrlands Trä AB";
  timber.supplierCountry = timber.supplierBankCountryCode = "SE";

  auto reference = ironmonger;
  reference.invoiceId = "1";
  reference.supplierInvoiceNumber = "A-778";
  reference.paymentReferenceNumber = reference.paymentMessage = "44556678";
  reference.totalVatAmount = "125.00";
  reference.totalAmountInvoiceCurrency = reference.remainingAmountInvoiceCurrency = "625.00";
  auto message = timber;
  message.invoiceId = "2";
  message.supplierInvoiceNumber = "99812";
  message.paymentMessage = "Avser order 4711";
  message.totalVatAmount = "50.00";
  message.totalAmountInvoiceCurrency = message.remainingAmountInvoiceCurrency = "250.00";
  auto credit = ironmonger;
  credit.invoiceId = "3";
  credit.isCreditInvoice = true;
  credit.supplierInvoiceNumber = "K-12";
  credit.totalVatAmount = "-25.00";
  credit.totalAmountInvoiceCurrency = "-125.00";
  credit.remainingAmountInvoiceCurrency = "-125.00";
  auto paris = inSek;
  paris.invoiceId = "4";
  paris.supplierInvoiceNumber = "FR-2024-1";
  paris.supplierNumber = "3";
  paris.supplierName = "Outils de Paris SARL";
  paris.supplierCountry = paris.supplierBankCountryCode = "FR";
  paris.totalVatAmount = "0.00";
  paris.currencyCode = "EUR";
  paris.currencyRate = "11.2000";
  paris.totalAmountInvoiceCurrency = paris.remainingAmountInvoiceCurrency = "400.00";
  auto unknown = inSek;
  unknown.invoiceId = "9";
  unknown.supplierInvoiceNumber = "5501";
  unknown.supplierNumber = "99";
  unknown.supplierName = "Okänd Leverantör AB";
  unknown.paymentMessage = "1234567890";
  unknown.totalVatAmount = "30.00";
  unknown.totalAmountInvoiceCurrency = unknown.remainingAmountInvoiceCurrency = "150.00";
  auto lowerCase = timber;
  lowerCase.invoiceId = "10";
  lowerCase.supplierInvoiceNumber = "K-13";
  lowerCase.totalVatAmount = "10.00";
  lowerCase.totalAmountInvoiceCurrency = lowerCase.remainingAmountInvoiceCurrency = "50.00";
  EXPECT_EQ(walked.records,
            (std::vector<SupplierLedgerRecord>{reference, message, credit, paris, unknown, lowerCase}));
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"5", "", "Error", "Fel:", "Fakturan är inte bokförd."}}));
  EXPECT_EQ(walked.visited, 9);
}

TEST_P(SampleCompanyReaders, OrdinaryOpenInvoicesAreAllMoved) {
  samplecompany::SampleOptions options;
  options.customerInvoices = 12;
  options.supplierInvoices = 7;
  options.format = GetParam().format;
  options.codePage = GetParam().codePage;
  samplecompany::WriteSampleCompany(folder.root(), options);

  CAdminCustomerLedgerItems customerInvoices(path());
  auto customers = Walk(customerInvoices);
  EXPECT_EQ(customers.records.size(), 5u + 12u);  // the paid ones among them are skipped
  EXPECT_EQ(customers.rows.size(), 1u);
  CAdminSupplierLedgerItems supplierInvoices(path());
  auto suppliers = Walk(supplierInvoices);
  EXPECT_EQ(suppliers.records.size(), 6u + 7u);
  EXPECT_EQ(suppliers.rows.size(), 1u);
}

TEST_P(SampleCompanyReaders, OrdinaryArticlesFollowTheSpecialOnes) {
  Write(40);
  CAdminArticleDb reader(path(), "1");
  auto walked = Walk(reader);
  // Six special articles, and the ordinary ones but every seventeenth, which is inactive.
  ASSERT_EQ(walked.records.size(), 6u + 40u - 2u);
  for (std::size_t i = 6; i < walked.records.size(); ++i) {
    EXPECT_NE(walked.records[i].netPrice, "") << walked.records[i].number;
    EXPECT_EQ(walked.records[i].grossPrice, "") << walked.records[i].number;
  }
}

TEST_P(SampleCompanyReaders, Customers) {
  CAdminCustomerDb reader(path());
  ASSERT_TRUE(reader.IsAvailable());
  auto walked = Walk(reader);

  const CustomerRecord builder{.customerNumber = "1",
                               .corporateIdentityNumber = "556036-0793",
                               .contactPersonEmail = "asa.ny@kund1.se",  // the later of two contacts
                               .contactPersonMobile = "070-7654321",
                               .contactPersonName = "Åsa Öberg",
                               .contactPersonPhone = "031-654321",
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
                               .electronicReference = "REF-1"};
  const CustomerRecord person{.customerNumber = "2",
                              .corporateIdentityNumber = "19650312-1235",
                              .contactPersonName = "Märta Sjögren",  // no signature: no contact details
                              .currencyCode = "SEK",
                              .emailAddress = "marta@example.se",
                              .invoiceAddress1 = "Ängsvägen 3",
                              .invoiceCity = "Umeå",
                              .invoiceCountryCode = "SE",
                              .invoicePostalCode = "90331",
                              .deliveryMethodCode = "POST",
                              .deliveryTermCode = "FK",
                              .name = "Märta Sjögren",
                              .telephone = "090-123456",
                              .termsOfPaymentCode = "30",  // K30 names term 30
                              .termsOfPaymentName = "30 dagar netto",
                              .isPrivatePerson = true};
  const CustomerRecord foreign{.customerNumber = "3",
                               .currencyCode = "EUR",
                               .invoiceAddress1 = "Hauptstraße 4",
                               .invoiceCity = "München",
                               .invoiceCountryCode = "DE",
                               .invoicePostalCode = "80331",
                               .name = "Müller GmbH",
                               .reverseChargeOnConstructionServices = true,
                               .termsOfPaymentCode = "K99",  // its second code is too long
                               .termsOfPaymentName = "Egen kod",
                               .vatNumber = "DE123456789"};
  const CustomerRecord withoutCity{.customerNumber = "6",
                                   .corporateIdentityNumber = "556677-0003",
                                   .currencyCode = "SEK",
                                   .invoiceAddress1 = "Kyrkvägen 2",
                                   .invoiceCountryCode = "SE",
                                   .name = "Kund utan ort AB",
                                   .termsOfPaymentCode = "10",
                                   .termsOfPaymentName = "10 dagar netto"};
  EXPECT_EQ(walked.records, (std::vector<CustomerRecord>{builder, person, foreign, withoutCity}));
  EXPECT_EQ(walked.counted, 5);  // the inactive customer counts in the progress, not in the upload
  EXPECT_TRUE(walked.rows.empty());
}

TEST_P(SampleCompanyReaders, Suppliers) {
  CAdminSupplierDb reader(path());
  ASSERT_TRUE(reader.IsAvailable());
  auto walked = Walk(reader);

  const SupplierRecord hardware{.supplierNumber = "1",
                                .address1 = "Industrivägen 2",
                                .automaticPaymentService = true,
                                .supplierBankCountryCode = "SE",
                                .supplierBankgiroNumber = "123-4567",
                                .city = "Västerås",
                                .contactPersonEmail = "bengt@lev1.se",
                                .contactPersonMobile = "073-1112233",
                                .contactPersonName = "Bengt Bäckman",
                                .contactPersonPhone = "08-12345",
                                .corporateIdentityNumber = "556011-2233",
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
  const SupplierRecord timber{.supplierNumber = "2",
                              .address1 = "Sjögatan 8",
                              .supplierBankCountryCode = "SE",
                              .supplierBankgiroNumber = "1234-5678",
                              .city = "Luleå",
                              .corporateIdentityNumber = "556011-4455",
                              .countryCode = "SE",
                              .currencyCode = "SEK",
                              .name = "Norrlands Trä AB",
                              .postalCode = "97231",
                              .termsOfPaymentCode = "30",
                              .termsOfPaymentName = "30 dagar netto"};
  const SupplierRecord paris{.supplierNumber = "3",
                             .address1 = "Rue de la Paix 1",
                             .supplierBankBic = "BNPAFRPP",
                             .supplierBankIban = "FR7630006000011234567890189",
                             .supplierBankName = "BNP Paribas",
                             .city = "Paris",
                             .countryCode = "FR",
                             .currencyCode = "EUR",
                             .name = "Outils de Paris SARL",
                             .postalCode = "75002",
                             .termsOfPaymentCode = "30",
                             .termsOfPaymentName = "30 dagar netto",
                             .bankFeeCode = "1",
                             .foreignPaymentCode = "101"};
  const SupplierRecord boston{.supplierNumber = "4",
                              .address1 = "Main Street 5",
                              .supplierBankBban = "12345678",
                              .supplierBankCode = "ABC",
                              .supplierBankName = "First Bank",
                              .city = "Boston",
                              .countryCode = "US",
                              .currencyCode = "USD",
                              .name = "Boston Tools Inc",
                              .postalCode = "02108",
                              .termsOfPaymentCode = "30",
                              .termsOfPaymentName = "30 dagar netto",
                              .bankFeeCode = "2",
                              .foreignPaymentCode = "102"};
  const SupplierRecord withoutName{.supplierNumber = "7",
                                   .supplierBankCountryCode = "SE",
                                   .countryCode = "SE",
                                   .currencyCode = "SEK",
                                   .termsOfPaymentCode = "30",
                                   .termsOfPaymentName = "30 dagar netto"};
  EXPECT_EQ(walked.records, (std::vector<SupplierRecord>{hardware, timber, paris, boston, withoutName}));
  EXPECT_EQ(walked.counted, 6);
  EXPECT_TRUE(walked.rows.empty());
}

TEST_P(SampleCompanyReaders, OrdinaryCustomersAndSuppliersFollowTheSpecialOnes) {
  Write(12);
  CAdminCustomerDb customers(path());
  auto walkedCustomers = Walk(customers);
  ASSERT_EQ(walkedCustomers.records.size(), 4u + 12u);
  for (std::size_t i = 4; i < walkedCustomers.records.size(); ++i) {
    const auto& customer = walkedCustomers.records[i];
    EXPECT_EQ(customer.isPrivatePerson, (i - 4) % 4 == 1) << customer.customerNumber;
    EXPECT_EQ(customer.vatNumber.empty(), customer.isPrivatePerson) << customer.customerNumber;
    EXPECT_EQ(customer.termsOfPaymentName, customer.termsOfPaymentCode + " dagar netto") << customer.customerNumber;
  }

  CAdminSupplierDb suppliers(path());
  auto walkedSuppliers = Walk(suppliers);
  ASSERT_EQ(walkedSuppliers.records.size(), 5u + 12u);
  for (std::size_t i = 5; i < walkedSuppliers.records.size(); ++i)
    EXPECT_NE(walkedSuppliers.records[i].supplierBankgiroNumber, "") << walkedSuppliers.records[i].supplierNumber;
}

// ---------------------------------------------------------------- damaged tables

// Opens the files of a folder from memory, but refuses one as a file without read
// permission is refused (the tests may run as a user who may read everything).
class RefusingOpener final : public platform::FileOpener {
 public:
  RefusingOpener(const std::filesystem::path& folder, std::string refused) : refused_(std::move(refused)) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      files_.Add(platform::JoinPath(folder.string(), entry.path().filename().string()),
                 platform::ReadWholeFile(entry.path()).value_or(""));
    }
  }
  std::unique_ptr<platform::ReadableFile> OpenForReading(const std::filesystem::path& path,
                                                         std::string* error) override {
    if (path.filename() == refused_) {
      if (error) *error = "Permission denied";
      return nullptr;
    }
    return files_.OpenForReading(path, error);
  }

 private:
  std::string refused_;
  platform::fake::MemoryFileOpener files_;
};

// A table that exists but cannot be read whole gives a row that names the file and
// what was wrong, and the records that were read are still offered; a missing
// table is no damage.
TEST(DamagedTables, GiveTheirRowsAndKeepWhatWasRead) {
  platform::fake::TempTree folder;
  samplecompany::WriteSampleCompany(folder.root());
  const std::filesystem::path customers = folder.root() / "KUND.DBF";
  const std::string whole = *platform::ReadWholeFile(customers);
  const auto u16 = [&](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(whole[at]) |
                                    static_cast<unsigned char>(whole[at + 1]) << 8);
  };
  const std::size_t header = u16(fixtures::kDbfHeaderLengthAt);
  const std::size_t record = u16(fixtures::kDbfRecordLengthAt);
  const int records = static_cast<int>((whole.size() - 1 - header) / record);
  std::string noise(3000, '\0');
  std::mt19937 random(12);
  for (char& c : noise) c = static_cast<char>(random());

  const struct {
    const char* name;
    std::function<void()> damage;
    const char* problem;  // empty: no row
    int readable;         // records the reader still offers
    bool refused = false;
  } cases[] = {
      {"whole", [] {}, "", records},
      {"zero length", [&] { folder.Write("KUND.DBF", ""); }, "the file is shorter than the 32-byte header", 0},
      {"random bytes", [&] { folder.Write("KUND.DBF", noise); }, "", -1},
      {"no read permission", [] {}, "cannot open the file: Permission denied", 0, true},
      {"cut record", [&] { folder.Write("KUND.DBF", whole.substr(0, header + 3 * record + 7)); },
       "the last record is cut short (7 of", 3},
      {"counts past the file",
       [&] {
         std::string bytes = whole;
         fixtures::PutU32(bytes, fixtures::kDbfRecordCountAt, static_cast<std::uint32_t>(records + 6));
         folder.Write("KUND.DBF", bytes);
       },
       "the header counts", records},
      {"missing", [&] { std::filesystem::remove(customers); }, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write("KUND.DBF", whole);
    c.damage();
    RefusingOpener refusing(folder.root(), "KUND.DBF");
    std::optional<platform::ScopedFileOpener> useRefusing;
    if (c.refused) useRefusing.emplace(refusing);

    CAdminCustomerDb reader(folder.root().string());
    if (c.readable >= 0) EXPECT_EQ(reader.GetRecordCount(), c.readable);
    const auto walked = Walk(reader);
    const std::string lead = "Filen KUND.DBF kan inte läsas helt: ";
    if (c.readable < 0) {  // whatever the noise makes of the header, something is lost and said
      ASSERT_FALSE(walked.rows.empty());
      EXPECT_TRUE(walked.rows.front().text.starts_with(lead)) << walked.rows.front().text;
    } else if (*c.problem == '\0') {
      EXPECT_TRUE(walked.rows.empty());
    } else {
      // One row for the table, with everything lost (a cut file also holds fewer records than its header counts).
      ASSERT_EQ(walked.rows.size(), 1u);
      EXPECT_EQ(walked.rows[0].kind, "Error");
      EXPECT_EQ(walked.rows[0].key, "");
      EXPECT_TRUE(walked.rows[0].text.starts_with(lead + c.problem)) << walked.rows[0].text;
    }
  }

  // A company without supplier invoices has no LEVFKT.DBF: nothing to say.
  std::filesystem::remove(folder.root() / "LEVFKT.DBF");
  CAdminSupplierLedgerItems invoices(folder.root().string());
  EXPECT_TRUE(Walk(invoices).rows.empty());
}

// A side table that a reader joins and that exists but cannot be read whole gives
// one row in each register that joins it, naming the file and what its loss
// costs that register's records; a missing side table is a company without such
// records and says nothing, but PRM.DBF every company has.
TEST(DamagedTables, SideTablesGiveOneRowNamingWhatIsLost) {
  platform::fake::TempTree folder;
  samplecompany::WriteSampleCompany(folder.root());
  const std::string company = folder.root().string();
  using RowsOf = std::function<std::vector<ReportRow>()>;
  const RowsOf articles = [&] {
    CAdminArticleDb reader(company, "1");
    return Walk(reader).rows;
  };
  const RowsOf customers = [&] {
    CAdminCustomerDb reader(company);
    return Walk(reader).rows;
  };
  const RowsOf suppliers = [&] {
    CAdminSupplierDb reader(company);
    return Walk(reader).rows;
  };
  const RowsOf customerInvoices = [&] {
    CAdminCustomerLedgerItems reader(company);
    auto rows = Walk(reader).rows;
    std::erase_if(rows, [](const ReportRow& row) { return !report::IsAboutWholeKind(row); });  // not booked
    return rows;
  };
  const RowsOf supplierInvoices = [&] {
    CAdminSupplierLedgerItems reader(company);
    auto rows = Walk(reader).rows;
    std::erase_if(rows, [](const ReportRow& row) { return !report::IsAboutWholeKind(row); });
    return rows;
  };
  const struct {
    const char* file;
    std::vector<RowsOf> joinedBy;
    const char* cost;
    bool required = false;
  } cases[] = {
      {"PRIS.DBF", {articles}, "priser saknas"},
      {"PRISL.DBF", {articles}, "priser saknas"},
      {"ARTBEN.DBF", {articles}, "engelska benämningar saknas"},
      {"ENHKOD.DBF", {articles}, "enheter saknas"},
      {"ARTKNT.DBF", {articles}, "kontonamn saknas"},
      {"KONTAKT.DBF", {customers, suppliers}, "kontaktuppgifter saknas"},
      {"BETVILLK.DBF", {customers, suppliers}, "betalningsvillkor saknas"},
      {"LEV.DBF", {supplierInvoices}, "leverantörernas land saknas"},
      {"PRM.DBF", {customerInvoices}, "OCR-nummer saknas", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::filesystem::path table = folder.root() / c.file;
    const std::string whole = *platform::ReadWholeFile(table);
    folder.Write(c.file, "");
    for (const RowsOf& rowsOf : c.joinedBy) {
      EXPECT_EQ(rowsOf(), (std::vector<ReportRow>{{"", "", "Error", "Fel:",
                                                   std::string("Filen ") + c.file +
                                                       " kan inte läsas helt: the file is shorter than the 32-byte "
                                                       "header; " + c.cost + "."}}));
    }
    std::filesystem::remove(table);
    const std::vector<ReportRow> missing{{"", "", "Error", "Fel:", std::string("Filen ") + c.file + " saknas; " + c.cost + "."}};
    for (const RowsOf& rowsOf : c.joinedBy) EXPECT_EQ(rowsOf(), c.required ? missing : std::vector<ReportRow>{});
    folder.Write(c.file, whole);
  }
}

// Whether the chosen list's prices include VAT is not known when the list cannot
// be read: no price goes rather than a gross price sent as a net one. A list
// read before the damage keeps its prices, and the row names no cost.
TEST(DamagedTables, PricesOfAListThatCannotBeReadAreNotSent) {
  platform::fake::TempTree folder;
  samplecompany::WriteSampleCompany(folder.root());
  const std::string whole = *platform::ReadWholeFile(folder.root() / "PRISL.DBF");
  const std::size_t header = fixtures::kDbfHeaderLengthAt;
  const std::size_t headerLength = static_cast<unsigned char>(whole[header]) |
                                   static_cast<unsigned char>(whole[header + 1]) << 8;
  const std::size_t recordLength = static_cast<unsigned char>(whole[fixtures::kDbfRecordLengthAt]) |
                                   static_cast<unsigned char>(whole[fixtures::kDbfRecordLengthAt + 1]) << 8;
  folder.Write("PRISL.DBF", whole.substr(0, headerLength + recordLength + 5));  // list "1" whole, "2" cut
  for (auto [list, priced] : {std::pair{"1", true}, std::pair{"2", false}}) {
    SCOPED_TRACE(list);
    CAdminArticleDb reader(folder.root().string(), list);
    const auto walked = Walk(reader);
    ASSERT_FALSE(walked.records.empty());
    EXPECT_EQ(std::any_of(walked.records.begin(), walked.records.end(),
                          [](const ArticleRecord& a) { return !a.netPrice.empty() || !a.grossPrice.empty(); }),
              priced);
    ASSERT_EQ(walked.rows.size(), 1u);
    EXPECT_TRUE(walked.rows[0].text.starts_with("Filen PRISL.DBF kan inte läsas helt: the last record is cut short"));
    EXPECT_EQ(walked.rows[0].text.ends_with("; priser saknas."), !priced) << walked.rows[0].text;
  }
}

// What every reader of the company sent, and the rows they gave.
struct Sent {
  CompanyRecord settings;
  std::vector<ArticleRecord> articles;
  std::vector<CustomerRecord> customers;
  std::vector<SupplierRecord> suppliers;
  std::vector<CustomerLedgerRecord> customerInvoices;
  std::vector<SupplierLedgerRecord> supplierInvoices;
  std::vector<ReportRow> settingsRows, recordRows;
};

Sent SendAll(const std::string& company) {
  Sent sent;
  auto walk = [&](auto&& reader, auto& records) {
    auto walked = Walk(reader);
    records = walked.records;
    sent.recordRows.insert(sent.recordRows.end(), walked.rows.begin(), walked.rows.end());
  };
  CAdminCompanySettings settings(company);
  auto walkedSettings = WalkCompany(settings);
  sent.settings = walkedSettings.records.front();
  sent.settingsRows = walkedSettings.rows;
  walk(CAdminArticleDb(company, "1"), sent.articles);
  walk(CAdminCustomerDb(company), sent.customers);
  walk(CAdminSupplierDb(company), sent.suppliers);
  walk(CAdminCustomerLedgerItems(company), sent.customerInvoices);
  walk(CAdminSupplierLedgerItems(company), sent.supplierInvoices);
  return sent;
}

// The number, date and logical columns of a DBF file: name, offset in the record, length.
struct TypedColumn {
  std::string name;
  std::size_t offset, length;
};
std::vector<TypedColumn> TypedColumns(const std::string& bytes) {
  std::vector<TypedColumn> columns;
  std::size_t offset = 1;  // after the deletion flag
  for (std::size_t at = 32; at + 32 <= bytes.size() && bytes[at] != '\r'; at += 32) {
    const std::size_t length = static_cast<unsigned char>(bytes[at + fixtures::kDbfDescriptorLengthAt]);
    const char type = bytes[at + 11];
    if (type == 'N' || type == 'F' || type == 'D' || type == 'L')
      columns.push_back({std::string(bytes.c_str() + at), offset, length});
    offset += length;
  }
  return columns;
}

// Letters in a number, date or logical column of every record of a table the
// readers read never go unsaid: whatever any reader sends otherwise than it
// sends from the whole company has a row that names the column, and the
// settings are either the company's or held back by an Error row.
TEST(DamagedValues, LettersInAnyTypedColumnAreNeverSilent) {
  platform::fake::TempTree folder;
  samplecompany::SampleOptions options;
  options.articles = options.customers = options.suppliers = options.customerInvoices = options.supplierInvoices = 3;
  samplecompany::WriteSampleCompany(folder.root(), options);
  const std::string company = folder.root().string();
  const Sent whole = SendAll(company);
  ASSERT_TRUE(whole.settingsRows.empty());

  int damaged = 0;
  for (const auto& table : conversion_damage::SampleDbfTables()) {
    if (table.name == "BOKFAAR.DBF" || table.name == "KONTO.DBF") continue;  // the SIE files' tables
    const std::filesystem::path file = folder.root() / table.name;
    const std::string bytes = *platform::ReadWholeFile(file);
    const std::size_t headerLength = static_cast<unsigned char>(bytes[fixtures::kDbfHeaderLengthAt]) |
                                     static_cast<unsigned char>(bytes[fixtures::kDbfHeaderLengthAt + 1]) << 8;
    const std::size_t recordLength = static_cast<unsigned char>(bytes[fixtures::kDbfRecordLengthAt]) |
                                     static_cast<unsigned char>(bytes[fixtures::kDbfRecordLengthAt + 1]) << 8;
    for (const TypedColumn& column : TypedColumns(bytes)) {
      SCOPED_TRACE(table.name + " " + column.name);
      std::string letters = bytes;
      for (std::size_t at = headerLength; at + recordLength <= letters.size(); at += recordLength)
        letters.replace(at + column.offset, column.length, std::string(column.length, 'x'));
      folder.Write(table.name, letters);
      const Sent sent = SendAll(company);
      ++damaged;
      const std::string named = "fältet " + column.name + " i " + table.name;
      auto says = [&](const std::vector<ReportRow>& rows) {
        return std::any_of(rows.begin(), rows.end(), [&](const ReportRow& row) {
          return row.text.find(named) != std::string::npos;
        });
      };
      if (sent.settings != whole.settings) {
        EXPECT_TRUE(says(sent.settingsRows)) << ::testing::PrintToString(sent.settingsRows);
        EXPECT_TRUE(std::any_of(sent.settingsRows.begin(), sent.settingsRows.end(),
                                [](const ReportRow& row) { return row.kind == "Error"; }));
      }
      const bool recordsChanged = sent.articles != whole.articles || sent.customers != whole.customers ||
                                  sent.suppliers != whole.suppliers ||
                                  sent.customerInvoices != whole.customerInvoices ||
                                  sent.supplierInvoices != whole.supplierInvoices;
      if (recordsChanged) EXPECT_TRUE(says(sent.recordRows)) << ::testing::PrintToString(sent.recordRows);
    }
    folder.Write(table.name, bytes);
  }
  EXPECT_GT(damaged, 20);
}

}  // namespace
