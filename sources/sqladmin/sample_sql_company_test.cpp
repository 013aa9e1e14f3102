// The SQL readers over the generated sample SQL company, as the demo opens it:
// built by the reader factory and walked as the upload job walks them, and
// checked by the job's prepare step.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "app/import_job.h"
#include "app/reader_factories.h"
#include "app/desktop/company_identification.h"
#include "lumdb/record/sqlite3_shell.h"
#include "platform/fake/captured_log.h"
#include "sources/admin/testing/reader_walk.h"
#include "sources/sqladmin/company_settings.h"
#include "sources/sqladmin/delivery_readers.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_sql_company.h"

namespace {

using namespace reader_walk;

// The company lies under a folder with Swedish letters, as the demo's does.
class SampleSqlCompany : public sqladmin_test::CompanyConnection {
 protected:
  void SetUp() override {
    CompanyConnection::SetUp();
    samplecompany::SqlSampleOptions options;
    options.bookingYear = 2024;
    samplecompany::WriteSampleSqlCompany(folder(), tree_ / "program", options);
  }
  std::string folder() const { return (tree_ / "Företag" / "Åkerbergs Järn & Trä AB").string(); }
  std::unique_ptr<ReaderFactory> Readers() const {
    return MakeReaderFactory(IdentifyCompany(folder(), true), nullptr);
  }
  std::string database() const { return (std::filesystem::path(folder()) / samplecompany::kSqlDatabaseFileName).string(); }
  // The sample's data model with the flags MAKUL, INAKTIV and GRUND of the given
  // type (the text after type=" in kolmadm.xml) in place of SQL_BIT.
  void LoadModelWithFlagsAs(const std::string& type) {
    std::string xml(samplecompany::SampleDataModelXml());
    for (const char* flag : {"MAKUL", "INAKTIV", "GRUND"}) {
      const std::string from = std::string("name=\"") + flag + "\" type=\"SQL_BIT";
      const std::string to = std::string("name=\"") + flag + "\" type=\"" + type;
      for (std::size_t at = xml.find(from); at != std::string::npos; at = xml.find(from, at + to.size()))
        xml.replace(at, from.size(), to);
    }
    tree_.Write("program/kolmadm.xml", xml);
    administration().clear();
    LoadDataModelFile(administration(), (tree_ / "program").string());
    ASSERT_TRUE(DataModelFailure(administration()).empty()) << DataModelFailure(administration());
  }
};

// The records a walk let through, by their key.
template <class Record, class Key>
std::map<std::string, Record> ByKey(const std::vector<Record>& records, Key key) {
  std::map<std::string, Record> byKey;
  for (const Record& record : records) {
    if constexpr (std::is_same_v<decltype(record.*key), const int&>) {
      byKey.emplace(std::to_string(record.*key), record);
    } else {
      byKey.emplace(record.*key, record);
    }
  }
  return byKey;
}

TEST_F(SampleSqlCompany, SettingsLookUpsAndDeliveryReaders) {
  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, folder()));
  EXPECT_EQ(info.displayName, "Åkerbergs Järn & Trä AB");
  EXPECT_EQ(ReadCompanyOrgNr(info), "556677-8899");
  EXPECT_EQ(ReadCompanyCloudLinkId(info), "");

  std::vector<std::string> codes, lines;
  FillPriceListCombo(codes, lines, folder());
  EXPECT_EQ(lines, (std::vector<std::string>{"A - Baspris å (Inkl moms)", "B - Grossist (Exkl moms)"}));

  CSqlAdminCompanySettingsDb company(folder());
  EXPECT_EQ(company.GetName(), "Åkerbergs Järn & Trä AB");
  EXPECT_EQ(company.GetCity(), "Östersund");
  EXPECT_EQ(company.GetPhone(), "063-123456");
  EXPECT_EQ(company.GetCompanyType(), 1);
  EXPECT_EQ(company.GetExportApplication(), 3);
  EXPECT_EQ(company.GetVatPeriod(), 4);
  // After the last invoice the sample holds: 18 open ordinary ones and a paid one after every fifth.
  EXPECT_EQ(company.GetNextCustomerInvoiceNumber(), 10121);
  EXPECT_EQ(company.GetCompanyBankAccountBban(), "12345678901");

  CSqlAdminDeliveryTermsDb terms(folder());
  ASSERT_TRUE(terms.MoveFirst());
  EXPECT_EQ(terms.GetCode(), "FK");
  EXPECT_EQ(terms.GetName(), "");
  ASSERT_TRUE(terms.MoveNext());
  EXPECT_EQ(terms.GetName(), "Fritt vårt lager");
  EXPECT_FALSE(terms.MoveNext());
  CSqlAdminDeliveryMethodsDb methods(folder());
  ASSERT_TRUE(methods.MoveFirst());
  EXPECT_EQ(methods.GetName(), "Egen bil, Åre");
}

// The prepare step over the sample: every kind read in full, each with exactly
// one record refused and the row that says why.
TEST_F(SampleSqlCompany, PrepareRefusesOneRecordOfEachKindWithItsRow) {
  CMlxImportJob job(kSourceAdmin);
  job.SetSourceCompany(IdentifyCompany(folder(), true));
  job.SetPriceListCode("A");
  job.CreateImports();
  job.CheckAll(nullptr);

  const auto refused = [](const char* key, const char* name, const char* text) {
    return ReportRow{key, name, report::kError, report::kCaptionError, text};
  };
  const struct {
    ImportKind kind;
    std::size_t accepted;
    std::vector<ReportRow> rows;
  } kinds[] = {
      {kImportArticles, 23,
       {refused("106", "Specialbeställning på mått", "Obligatoriska uppgifter saknas."),
        {"106", "", report::kInfo, "", "Konteringskod saknas."}}},
      {kImportCustomers, 17, {refused("5", "Kund utan ort AB", "Ort saknas.")}},
      {kImportSuppliers, 13, {refused("7", "", "Namn saknas.")}},
      {kImportCustomerLedgerItems, 25, {refused("10002", "", "Fakturan är inte bokförd.")}},
      {kImportSupplierLedgerItems, 19, {refused("5", "", "Fakturan är inte bokförd.")}},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.kind);
    ASSERT_NE(job.Import(kind.kind), nullptr);
    EXPECT_EQ(job.Import(kind.kind)->GetCount(), kind.accepted);
    EXPECT_EQ(job.Rows(kind.kind), kind.rows);
  }
}

TEST_F(SampleSqlCompany, ArticlesPricedByTheChosenListsVatMode) {
  auto readers = Readers();
  ASSERT_TRUE(readers);
  const auto gross = ByKey(Walk(*readers->MakeArticles(folder(), "A")).records, &ArticleRecord::number);
  const auto walkedNet = Walk(*readers->MakeArticles(folder(), "B"));
  const auto net = ByKey(walkedNet.records, &ArticleRecord::number);
  EXPECT_EQ(walkedNet.records.size(), 24u);
  EXPECT_EQ(walkedNet.counted, 24);
  EXPECT_FALSE(net.contains("102"));  // inactive
  EXPECT_FALSE(net.contains("ZZ-GAMMAL"));

  using Seen = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string,
                          std::string, std::string, int>;
  const std::map<std::string, Seen> expected = {
      // name, English name, unit, account, stock, net and gross price in list B, in list A, ROT/RUT
      {"100", {"Målning av fönsterbåge", "Window frame painting", "Timme", "Tjänster 25 %", "0.000", "450.00", "", "",
               "562.50", 1}},
      {"101", {"Städning, RUT", "", "Timme", "Tjänster 25 %", "", "380.00", "", "", "475.00", 26}},
      {"103", {"Kabel", "Cable", "Meter", "Varor 25 %", "125.500", "12.50", "", "", "", 0}},
      {"104", {"Tapetrulle", "", "Förpackning", "Varor 25 %", "12.000", "", "", "", "", 0}},
      // A price without list has no list to say whether it includes VAT: net in both.
      {"105", {"Spackel", "", "Styck", "Böcker 6 %", "40.000", "55.00", "", "55.00", "", 0}},
      {"106", {"Specialbeställning på mått", "", "Styck", "", "", "", "", "", "", 0}},
  };
  for (const auto& [number, seen] : expected) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(net.contains(number) && gross.contains(number));
    const ArticleRecord& n = net.at(number);
    const ArticleRecord& g = gross.at(number);
    EXPECT_EQ(Seen(n.name, n.nameEnglish, n.unitName, n.articleAccountName, n.stockBalance, n.netPrice, n.grossPrice,
                   g.netPrice, g.grossPrice, n.rotRutType),
              seen);
  }
}

TEST_F(SampleSqlCompany, CustomersWithTermsContactsAndNotes) {
  auto readers = Readers();
  ASSERT_TRUE(readers);
  const auto walked = Walk(*readers->MakeCustomers(folder()));
  EXPECT_EQ(walked.records.size(), 18u);
  const auto customers = ByKey(walked.records, &CustomerRecord::customerNumber);
  EXPECT_FALSE(customers.contains("4"));  // inactive

  using Seen = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string,
                          bool, bool, std::string>;
  const std::map<std::string, Seen> expected = {
      // name, city, contact e-mail and mobile, note, terms code and name, private person, reverse VAT, VAT number
      {"1", {"Byggbolaget Väst AB", "Göteborg", "asa@kund1.se", "070-1234567", "Ring före leverans.Port 3", "30",
             "30 dagar netto", false, true, "SE556036079301"}},
      {"2", {"Märta Sjögren", "Umeå", "", "", "", "30", "Kontant 30 dagar", true, false, ""}},
      {"3", {"Müller GmbH", "München", "", "", "", "K99", "Egen kod, förskott", false, true, "DE123456789"}},
      {"5", {"Kund utan ort AB", "", "", "", "", "10", "10 dagar netto", false, false, ""}},
  };
  for (const auto& [number, seen] : expected) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(customers.contains(number));
    const CustomerRecord& c = customers.at(number);
    EXPECT_EQ(Seen(c.name, c.invoiceCity, c.contactPersonEmail, c.contactPersonMobile, c.note, c.termsOfPaymentCode,
                   c.termsOfPaymentName, c.isPrivatePerson, c.reverseChargeOnConstructionServices, c.vatNumber),
              seen);
  }
  EXPECT_EQ(customers.at("1").deliveryCity, "Mölndal");
  EXPECT_EQ(customers.at("1").contactPersonName, "Åsa Öberg");
}

TEST_F(SampleSqlCompany, SuppliersByTheirBankRules) {
  auto readers = Readers();
  ASSERT_TRUE(readers);
  const auto walked = Walk(*readers->MakeSuppliers(folder()));
  EXPECT_EQ(walked.records.size(), 14u);
  const auto suppliers = ByKey(walked.records, &SupplierRecord::supplierNumber);
  EXPECT_FALSE(suppliers.contains("5"));  // inactive

  using Seen = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string,
                          std::string, std::string, std::string>;
  const std::map<std::string, Seen> expected = {
      // name, bankgiro, BBAN, IBAN, BIC, bank code, bank country, fee code, foreign payment code, terms code
      {"1", {"Järnhandel i Västerås AB", "123-4567", "", "", "", "", "SE", "", "", "30"}},
      {"2", {"Norrlands Trä AB", "1234-5678", "", "", "", "", "SE", "", "", "30"}},
      {"3", {"Outils de Paris SARL", "", "", "FR7630006000011234567890189", "BNPAFRPP", "", "", "1", "101", "30"}},
      {"4", {"Boston Tools Inc", "", "12345678", "", "", "ABC", "", "2", "102", "30"}},
      {"6", {"Öckerö Åkeri AB", "", "", "", "", "", "SE", "", "", "10"}},
  };
  for (const auto& [number, seen] : expected) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(suppliers.contains(number));
    const SupplierRecord& s = suppliers.at(number);
    EXPECT_EQ(Seen(s.name, s.supplierBankgiroNumber, s.supplierBankBban, s.supplierBankIban, s.supplierBankBic,
                   s.supplierBankCode, s.supplierBankCountryCode, s.bankFeeCode, s.foreignPaymentCode,
                   s.termsOfPaymentCode),
              seen);
  }
  const SupplierRecord& hardware = suppliers.at("1");
  EXPECT_EQ(hardware.note, "Leverans måndagar");
  EXPECT_EQ(hardware.contactPersonName, "Bengt Bäckman");
  EXPECT_EQ(hardware.contactPersonEmail, "bengt@lev1.se");
  EXPECT_EQ(hardware.supplierPlusgiroNumber, "123456-7");
  EXPECT_TRUE(hardware.usesPaymentReferenceNumbers);
  EXPECT_TRUE(hardware.automaticPaymentService);
}

TEST_F(SampleSqlCompany, OpenCustomerInvoicesByTheFilterAndSignRules) {
  auto readers = Readers();
  ASSERT_TRUE(readers);
  const auto walked = Walk(*readers->MakeCustomerLedgerItems(folder()));
  EXPECT_EQ(walked.visited, 26);
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"10002", "", report::kError, report::kCaptionError,
                                                  "Fakturan är inte bokförd."}}));
  const auto invoices = ByKey(walked.records, &CustomerLedgerRecord::invoiceNumber);
  for (const char* passedOver : {"10002", "10005", "10006", "10007", "20001"})
    EXPECT_FALSE(invoices.contains(passedOver)) << passedOver;

  using Seen = std::tuple<bool, std::string, std::string, std::string, std::string, std::string, std::string, int,
                          std::string>;
  const std::map<std::string, Seen> expected = {
      // credit, customer name, total, remaining, VAT 25 %, currency, rate, rate unit, payment reference
      {"10001", {false, "Byggbolaget Väst AB", "1250.00", "1250.00", "250.00", "SEK", "1.000000", 1, "100016"}},
      {"10003", {true, "Byggbolaget Väst AB", "-1250.00", "-1250.00", "-250.00", "SEK", "1.000000", 1, "100032"}},
      {"10004", {false, "Byggbolaget Väst AB", "80.50", "80.50", "16.10", "SEK", "1.000000", 1, "100040"}},
      {"10008", {false, "Byggbolaget Väst AB", "420.00", "210.00", "84.00", "SEK", "1.000000", 1, "100081"}},
      {"10009", {false, "Müller GmbH", "1000.00", "1000.00", "0.00", "EUR", "10.860000", 1, ""}},
      {"10010", {false, "Byggbolaget Väst AB", "75.00", "75.00", "15.00", "SEK", "1.000000", 1, "100107"}},
      {"10011", {false, "Müller GmbH", "200.00", "200.00", "0.00", "EUR", "1.000000", 1, ""}},
  };
  for (const auto& [number, seen] : expected) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(invoices.contains(number));
    const CustomerLedgerRecord& i = invoices.at(number);
    EXPECT_EQ(Seen(i.isCreditInvoice, i.customerName, i.totalAmountInvoiceCurrency, i.remainingAmountInvoiceCurrency,
                   i.vatAmountHigh, i.currencyCode, i.currencyRate, i.currencyRateUnit, i.paymentReferenceNumber),
              seen);
  }
  EXPECT_EQ(invoices.at("10009").customerCity, "München");
  EXPECT_EQ(invoices.at("10001").invoiceDate, "2024-01-31");
  EXPECT_EQ(invoices.at("10001").dueDate, "2024-03-01");
}

TEST_F(SampleSqlCompany, OpenSupplierInvoicesByTheFilterAndSignRules) {
  auto readers = Readers();
  ASSERT_TRUE(readers);
  const auto walked = Walk(*readers->MakeSupplierLedgerItems(folder()));
  EXPECT_EQ(walked.visited, 20);
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"5", "", report::kError, report::kCaptionError,
                                                  "Fakturan är inte bokförd."}}));
  const auto invoices = ByKey(walked.records, &SupplierLedgerRecord::invoiceId);
  for (const char* passedOver : {"5", "6", "7"}) EXPECT_FALSE(invoices.contains(passedOver)) << passedOver;

  using Seen = std::tuple<bool, std::string, std::string, std::string, std::string, std::string, std::string,
                          std::string, std::string, std::string>;
  const std::map<std::string, Seen> expected = {
      // credit, supplier name, country, payment reference, message, VAT, currency, rate, total, remaining
      {"1", {false, "Järnhandel i Västerås AB", "SE", "44556678", "44556678", "125.00", "SEK", "1.000000", "625.00",
             "625.00"}},
      {"2", {false, "Norrlands Trä AB", "SE", "", "Avser order 4711, Åre", "50.00", "SEK", "1.000000",
             "250.00", "250.00"}},
      {"3", {true, "Järnhandel i Västerås AB", "SE", "", "", "-25.00", "SEK", "1.000000", "-125.00", "-125.00"}},
      {"4", {false, "Outils de Paris SARL", "FR", "", "", "0.00", "EUR", "11.200000", "400.00", "400.00"}},
      {"8", {false, "Norrlands Trä AB", "SE", "", "", "20.00", "SEK", "1.000000", "100.00", "100.00"}},
      {"9", {false, "Okänd Leverantör AB", "", "", "1234567890", "30.00", "USD", "1.000000", "150.00", "150.00"}},
  };
  for (const auto& [id, seen] : expected) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(invoices.contains(id));
    const SupplierLedgerRecord& i = invoices.at(id);
    EXPECT_EQ(Seen(i.isCreditInvoice, i.supplierName, i.supplierCountry, i.paymentReferenceNumber, i.paymentMessage,
                   i.totalVatAmount, i.currencyCode, i.currencyRate, i.totalAmountInvoiceCurrency,
                   i.remainingAmountInvoiceCurrency),
              seen);
  }
}

// What one prepare reads of the company: every reader made first, as the job
// makes them (they live together), then each kind walked as its upload job walks
// it; an open-invoice kind that is not available reads nothing.
struct Prepared {
  Walked<CompanyRecord> company;
  Walked<ArticleRecord> articles;
  Walked<CustomerRecord> customers;
  Walked<SupplierRecord> suppliers;
  Walked<DeliveryTermRecord> terms;
  Walked<DeliveryMethodRecord> methods;
  Walked<CustomerLedgerRecord> customerInvoices;
  Walked<SupplierLedgerRecord> supplierInvoices;
};

Prepared Prepare(ReaderFactory& readers, const std::string& folder) {
  auto company = readers.MakeCompanySettings(folder);
  auto articles = readers.MakeArticles(folder, "A");
  auto customers = readers.MakeCustomers(folder);
  auto suppliers = readers.MakeSuppliers(folder);
  auto terms = readers.MakeDeliveryTerms(folder);
  auto methods = readers.MakeDeliveryMethods(folder);
  auto customerInvoices = readers.MakeCustomerLedgerItems(folder);
  auto supplierInvoices = readers.MakeSupplierLedgerItems(folder);
  Prepared prepared;
  prepared.company = WalkCompany(*company);
  prepared.articles = Walk(*articles);
  prepared.customers = Walk(*customers);
  prepared.suppliers = Walk(*suppliers);
  prepared.terms = Walk(*terms);
  prepared.methods = Walk(*methods);
  if (customerInvoices->IsAvailable()) prepared.customerInvoices = Walk(*customerInvoices);
  if (supplierInvoices->IsAvailable()) prepared.supplierInvoices = Walk(*supplierInvoices);
  return prepared;
}

bool SaysWholeKindError(const std::vector<ReportRow>& rows) {
  return std::any_of(rows.begin(), rows.end(),
                     [](const ReportRow& row) { return row.kind == report::kError && report::IsAboutWholeKind(row); });
}

// A kind is read as in the whole company, or says it was not: an error row about
// the whole kind. Records read always add up to those let through and those refused.
template <class Record>
void ExpectWholeOrSaid(const Walked<Record>& damaged, const Walked<Record>& whole, bool mustSay, const char* kind) {
  SCOPED_TRACE(kind);
  const bool said = SaysWholeKindError(damaged.rows);
  if (mustSay) EXPECT_TRUE(said) << ::testing::PrintToString(damaged.rows);
  if (!said) {
    EXPECT_EQ(damaged.records, whole.records);
    EXPECT_EQ(damaged.rows, whole.rows);
  }
  const auto refused = std::count_if(damaged.rows.begin(), damaged.rows.end(),
                                     [](const ReportRow& row) { return !report::IsAboutWholeKind(row); });
  if constexpr (!std::is_same_v<Record, CompanyRecord>)
    EXPECT_EQ(damaged.visited, static_cast<int>(damaged.records.size() + refused));
}

// Each table a reader reads dropped, and the whole database damaged: every kind
// that is read short, or with a field emptied, says so in its own section, and
// settings that could not be read are never given as the company's.
TEST_F(SampleSqlCompany, ATableOfDamageCasesEachKindReadShortSaysSo) {
  namespace fs = std::filesystem;
  const fs::path database = fs::path(folder()) / samplecompany::kSqlDatabaseFileName;
  const fs::path pristine = tree_ / "pristine.db";
  fs::copy_file(database, pristine);
  std::unique_ptr<ReaderFactory> readers = Readers();
  const Prepared whole = Prepare(*readers, folder());
  ASSERT_TRUE(whole.company.rows.empty());
  ASSERT_FALSE(whole.articles.records.empty());
  ASSERT_FALSE(whole.supplierInvoices.records.empty());

  enum Kind : unsigned { kCompany = 1, kArticles = 2, kCustomers = 4, kSuppliers = 8, kTerms = 16, kMethods = 32,
                         kCustomerInvoices = 64, kSupplierInvoices = 128, kEvery = 255 };
  auto dropTable = [&](const char* table) {
    return [&database, table] {
      lumdb::session_c session;
      ASSERT_FALSE(session.open("(local)", database.string(), "", ""));
      lumdb::sqlstmt_c statement(session.connection());
      ASSERT_FALSE(statement.allocate(false));
      ASSERT_FALSE(statement.exec_direct(std::string("DROP TABLE ") + table)) << table;
    };
  };
  const struct {
    std::string name;
    std::function<void()> damage;
    unsigned mustSay;  // the kinds that must say they were not read whole
  } cases[] = {
      {"PRM", dropTable("PRM"), kCompany | kCustomerInvoices | kSupplierInvoices},
      {"PRM2", dropTable("PRM2"), kCompany},
      {"NEWNUM", dropTable("NEWNUM"), kCompany},
      {"ART", dropTable("ART"), kArticles},
      {"PRIS", dropTable("PRIS"), kArticles},
      {"PRISL", dropTable("PRISL"), kArticles},
      {"ARTKNT", dropTable("ARTKNT"), kArticles},
      {"ENHKOD", dropTable("ENHKOD"), kArticles},
      {"ARTBEN", dropTable("ARTBEN"), kArticles},
      {"KUND", dropTable("KUND"), kCustomers},
      {"KUNDNOTE", dropTable("KUNDNOTE"), kCustomers},
      {"BETVILLK", dropTable("BETVILLK"), kCustomers | kSuppliers},
      {"KONTAKT", dropTable("KONTAKT"), kCustomers | kSuppliers},
      {"LEV", dropTable("LEV"), kSuppliers | kSupplierInvoices},
      {"LEVNOTE", dropTable("LEVNOTE"), kSuppliers},
      {"LEVVILLK", dropTable("LEVVILLK"), kTerms},
      {"LEVSAETT", dropTable("LEVSAETT"), kMethods},
      {"OOF", dropTable("OOF"), kCustomerInvoices},
      {"LEVFKT", dropTable("LEVFKT"), kSupplierInvoices},
      {"zero length", [&] { fs::resize_file(database, 0); }, kEvery},
      {"cut in a page", [&] { fs::resize_file(database, fs::file_size(database) / 2 + 100); }, 0},
      {"removed", [&] { fs::remove(database); }, kEvery},
      {"a folder in its place", [&] { fs::remove(database); fs::create_directory(database); }, kEvery},
      {"random bytes", [&] { tree_.Write(fs::relative(database, tree_.root()).string(), std::string(4096, '\x5a')); },
       kEvery},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(database);
    fs::copy_file(pristine, database);
    c.damage();
    const Prepared damaged = Prepare(*readers, folder());
    ExpectWholeOrSaid(damaged.company, whole.company, c.mustSay & kCompany, "company");
    ExpectWholeOrSaid(damaged.articles, whole.articles, c.mustSay & kArticles, "articles");
    ExpectWholeOrSaid(damaged.customers, whole.customers, c.mustSay & kCustomers, "customers");
    ExpectWholeOrSaid(damaged.suppliers, whole.suppliers, c.mustSay & kSuppliers, "suppliers");
    ExpectWholeOrSaid(damaged.terms, whole.terms, c.mustSay & kTerms, "terms");
    ExpectWholeOrSaid(damaged.methods, whole.methods, c.mustSay & kMethods, "methods");
    ExpectWholeOrSaid(damaged.customerInvoices, whole.customerInvoices, c.mustSay & kCustomerInvoices,
                      "customer invoices");
    ExpectWholeOrSaid(damaged.supplierInvoices, whole.supplierInvoices, c.mustSay & kSupplierInvoices,
                      "supplier invoices");
  }
}

// A database another program holds locked: every kind says so, and only the
// first statement of the prepare waits on the lock.
TEST_F(SampleSqlCompany, ALockedDatabaseIsWaitedOnOncePerPrepare) {
  std::unique_ptr<ReaderFactory> readers = Readers();
  platform::fake::CapturedLog log;
  Prepared locked;
  {
    const sqladmin_test::HeldLock lock((std::filesystem::path(folder()) / samplecompany::kSqlDatabaseFileName).string());
    locked = Prepare(*readers, folder());
  }
  for (const std::vector<ReportRow>* rows :
       {&locked.company.rows, &locked.articles.rows, &locked.customers.rows, &locked.suppliers.rows, &locked.terms.rows,
        &locked.methods.rows, &locked.customerInvoices.rows, &locked.supplierInvoices.rows}) {
    ASSERT_TRUE(SaysWholeKindError(*rows));
    EXPECT_NE(rows->front().text.find("database is locked"), std::string::npos) << rows->front().text;
  }
  int waited = 0;
  for (const std::string& line : log.Lines())
    waited += line.starts_with("Recordset could not be opened") && line.find("database is locked") != std::string::npos;
  EXPECT_EQ(waited, 1);
}

// Another program writing to the company while the prepared readers live, as
// the desktop program would: the sqlite3 shell, which gives up at once on a lock
// (and says so on the standard error).
bool WritesBeside(const std::string& database) {
  return lumdb::RunSqlite3ToDevNull(database, "UPDATE PRM SET NAMN = NAMN; UPDATE ART SET BENAEMN = BENAEMN").has_value();
}

// A prepared job keeps its readers until the next prepare: they hold nothing on
// the database once their walks ended, the article count was asked (no price
// list chosen) and the check closed them.
TEST_F(SampleSqlCompany, APreparedJobHoldsNoLockOnTheCompany) {
  CMlxImportJob job(kSourceAdmin);
  job.SetSourceCompany(IdentifyCompany(folder(), true));
  job.SetPriceListCode("");
  job.CreateImports();
  job.CheckAll(nullptr);
  ASSERT_NE(job.Import(kImportArticles), nullptr);
  EXPECT_EQ(job.Import(kImportArticles)->GetCount(), 23u);
  EXPECT_TRUE(WritesBeside(database()));
}

// The readers as the job's check uses them: after the walk, after the count that
// follows it, after a walk the job stops at its maximum (then the warnings, with
// the count, and the close), and after a close alone.
TEST_F(SampleSqlCompany, AReaderHoldsNoStatementOnceItsWalkEndedItsCountIsKnownOrItIsClosed) {
  auto readers = Readers();
  // Each made just before its use: a reader's statement runs when it is made,
  // and each check below is about the readers made before it, which stay alive.
  auto walked = readers->MakeArticles(folder(), "");
  int visited = 0;
  for (bool more = walked->MoveFirst(); more; more = walked->MoveNext()) ++visited;
  EXPECT_EQ(visited, 24);
  EXPECT_TRUE(WritesBeside(database())) << "after the walk";
  EXPECT_EQ(walked->GetRecordCount(), 24);
  EXPECT_TRUE(WritesBeside(database())) << "after the count";

  auto stoppedArticles = readers->MakeArticles(folder(), "");
  auto stoppedCustomers = readers->MakeCustomers(folder());
  for (I_QZ_Base* reader : std::initializer_list<I_QZ_Base*>{stoppedArticles.get(), stoppedCustomers.get()}) {
    ASSERT_TRUE(reader->MoveFirst());
    ASSERT_TRUE(reader->MoveNext());
    std::vector<ReportRow> rows;
    reader->AddWarnings(rows);
    reader->Close();
  }
  EXPECT_TRUE(WritesBeside(database())) << "after walks stopped at a maximum";

  auto closed = readers->MakeSuppliers(folder());
  ASSERT_TRUE(closed->MoveFirst());
  closed->Close();
  EXPECT_TRUE(WritesBeside(database())) << "after a close";

  // Counted before its walk: the walk then starts from the first row.
  auto counted = readers->MakeArticles(folder(), "");
  EXPECT_EQ(counted->GetRecordCount(), 24);
  EXPECT_TRUE(WritesBeside(database())) << "after a count before the walk";
  EXPECT_EQ(Walk(*counted).records, Walk(*readers->MakeArticles(folder(), "")).records);
  EXPECT_TRUE(WritesBeside(database())) << "after the walk of a counted reader";
}

// Flags a company's data model keeps as numbers read as set for any value but 0,
// and their filters select as they read: the records are those the BIT model reads.
TEST_F(SampleSqlCompany, FlagsKeptAsNumbersSelectTheRecordsTheBitModelSelects) {
  auto readers = Readers();
  const Prepared bits = Prepare(*readers, folder());
  ASSERT_EQ(bits.articles.records.size(), 24u);
  const struct {
    const char* type;
    const char* values;  // set flags given other values than 1
  } variants[] = {
      {"SQL_NUMERIC\" len=\"1\" dec=\"0", ""},
      {"SQL_SMALLINT",
       "UPDATE OOF SET MAKUL = -1 WHERE MAKUL = 1; UPDATE LEVFKT SET MAKUL = 2 WHERE MAKUL = 1;"
       "UPDATE ART SET INAKTIV = -1 WHERE INAKTIV = 1; UPDATE KUND SET INAKTIV = 2 WHERE INAKTIV = 1;"
       "UPDATE LEV SET INAKTIV = -1 WHERE INAKTIV = 1; UPDATE PRIS SET GRUND = 2 WHERE GRUND = 1"},
  };
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.type);
    LoadModelWithFlagsAs(variant.type);
    if (*variant.values) {
      ASSERT_TRUE(lumdb::RunSqlite3ToDevNull(database(), variant.values));
    }
    const Prepared numbers = Prepare(*readers, folder());
    EXPECT_EQ(numbers.articles.records, bits.articles.records);
    EXPECT_EQ(numbers.articles.rows, bits.articles.rows);
    EXPECT_EQ(numbers.customers.records, bits.customers.records);
    EXPECT_EQ(numbers.customers.rows, bits.customers.rows);
    EXPECT_EQ(numbers.suppliers.records, bits.suppliers.records);
    EXPECT_EQ(numbers.suppliers.rows, bits.suppliers.rows);
    EXPECT_EQ(numbers.customerInvoices.records, bits.customerInvoices.records);
    EXPECT_EQ(numbers.customerInvoices.rows, bits.customerInvoices.rows);
    EXPECT_EQ(numbers.supplierInvoices.records, bits.supplierInvoices.records);
    EXPECT_EQ(numbers.supplierInvoices.rows, bits.supplierInvoices.rows);
  }
}

// A flag whose filter cannot be built (a model that keeps it as text) reads
// nothing of its kind rather than other records, and the row names the column.
TEST_F(SampleSqlCompany, AFilterTermThatCannotBeBuiltReadsNothingAndSaysWhichColumn) {
  LoadModelWithFlagsAs("SQL_VARCHAR\" len=\"1");
  auto readers = Readers();
  platform::fake::CapturedLog log;
  const Prepared prepared = Prepare(*readers, folder());
  const auto row = [](const char* table, const char* column) {
    return std::vector<ReportRow>{{"", "", report::kError, report::kCaptionError,
                                   std::string("Tabellen ") + table + " kan inte läsas: villkoret på kolumnen " + column +
                                       " kan inte ställas upp"}};
  };
  EXPECT_EQ(prepared.articles.rows, row("ART", "ART.INAKTIV"));
  EXPECT_EQ(prepared.customers.rows, row("KUND", "KUND.INAKTIV"));
  EXPECT_EQ(prepared.suppliers.rows, row("LEV", "LEV.INAKTIV"));
  EXPECT_EQ(prepared.customerInvoices.rows, row("OOF", "OOF.MAKUL"));
  EXPECT_EQ(prepared.supplierInvoices.rows, row("LEVFKT", "LEVFKT.MAKUL"));
  for (const std::size_t read : {prepared.articles.records.size(), prepared.customers.records.size(),
                                 prepared.suppliers.records.size(), prepared.customerInvoices.records.size(),
                                 prepared.supplierInvoices.records.size()})
    EXPECT_EQ(read, 0u);
}

// A data model that did not load reads nothing, and every kind says why, in the
// loader's words; so does the company list.
TEST_F(SampleSqlCompany, ADataModelThatDidNotLoadIsNamedInEveryKind) {
  tree_.Write("broken/kolmadm.xml", "<datamodel><table id=\"1\" name=\"PRM\"></datamodel>");
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "broken").string());
  ASSERT_EQ(administration().table_count(), 0u);
  const std::string reason = DataModelFailure(administration());
  ASSERT_TRUE(reason.starts_with((tree_ / "broken" / "kolmadm.xml").string() + ": rad 1")) << reason;

  platform::fake::CapturedLog log;
  EXPECT_EQ(IdentifyCompany(folder(), true).orgNo, "");
  ASSERT_FALSE(log.Lines().empty());
  EXPECT_NE(log.Lines()[0].find(reason), std::string::npos) << log.Lines()[0];

  std::unique_ptr<ReaderFactory> readers = Readers();
  const Prepared prepared = Prepare(*readers, folder());
  const std::vector<ReportRow> expected{{"", "", report::kError, report::kCaptionError,
                                         "Företagets datamodell saknas: " + reason}};
  EXPECT_EQ(prepared.company.rows, expected);
  EXPECT_EQ(prepared.articles.rows, expected);
  EXPECT_EQ(prepared.customers.rows, expected);
  EXPECT_EQ(prepared.suppliers.rows, expected);
  EXPECT_EQ(prepared.terms.rows, expected);
  EXPECT_EQ(prepared.methods.rows, expected);
  EXPECT_TRUE(prepared.articles.records.empty());
}

}  // namespace
