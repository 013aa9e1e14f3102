#include "app/import_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "app/engine_test_support.h"
#include "app/reader_factories.h"
#include "app/reader_interfaces/fake/fake_reader_factory.h"
#include "klcr/service.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "sources/admin/admin_sie.h"
#include "sources/admin/company_settings.h"
#include "sources/admin/customer_reader.h"
#include "sources/admin/supplier_reader.h"
#include "sources/sqladmin/sqladmin_readers.h"
#include "sources/vardo/vardo_readers.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using ::testing::ElementsAre;

SourceCompany Company(int kind, std::string path) {
  SourceCompany company;
  company.kind = kind;
  company.path = std::move(path);
  return company;
}

SourceCompany Named(std::string path, std::string name) {
  SourceCompany company = Company(kSourceAdmin, std::move(path));
  company.name = std::move(name);
  return company;
}

TEST(CloudCompanyFilter, ComparesTheDigitsOfFiltersOfTwoCharactersOrMore) {
  const struct {
    const char* filter;
    const char* registrationNumber;
    bool taken;
  } cases[] = {
      {"", "556677-8899", true},
      {"5", "556677-8899", true},  // one character takes every company
      {"x", "", true},
      {"556677-8899", "556677-8899", true},
      {"556677 8899", "5566778899", true},
      {" 5566778899 ", "556677-8899", true},
      {"195566778899", "556677-8899", false},  // the century digits make another number
      {"556677-8898", "556677-8899", false},
      {"ab", "", true},  // no digits on either side
      {"ab", "556677-8899", false},
      {"Ö-", "", true},  // two characters, three bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesCloudCompanyFilter(c.filter, c.registrationNumber), c.taken)
        << '"' << c.filter << "\" / \"" << c.registrationNumber << '"';
  }
}

// A job whose reader factory hands out the fakes of `factories`, one set per CreateImports.
struct JobWithFakes {
  explicit JobWithFakes(int sets = 1) {
    for (int i = 0; i < sets; ++i) factories.push_back(std::make_unique<fake::FakeReaderFactory>());
    job = std::make_unique<CMlxImportJob>(
        kSourceAdmin, nullptr,
        [this](const SourceCompany&) {
          log.push_back("make readers");
          return std::unique_ptr<ReaderFactory>(std::move(factories.at(made++)));
        },
        uncertainImports);
  }
  fake::FakeReaderFactory& Next() { return *factories.at(made); }

  platform::fake::TempTree userData;
  std::filesystem::path uncertainImports = userData / "uncertain-imports.json";
  std::vector<std::unique_ptr<fake::FakeReaderFactory>> factories;
  std::size_t made = 0;
  std::vector<std::string> log;
  std::unique_ptr<CMlxImportJob> job;
};

TEST(CreateImports, ReleasesTheFirstSetBeforeBuildingTheSecond) {
  JobWithFakes fixture(2);
  auto& first = fixture.Next();
  first.articles->onDestroyed = [&] { fixture.log.push_back("articles of set 1 destroyed"); };
  first.sie->onDestroyed = [&] { fixture.log.push_back("SIE of set 1 destroyed"); };
  fixture.job->SetSourceCompany(Company(kSourceAdmin, "/företag/1"));
  fixture.job->SetPriceListCode("P2");
  fixture.job->CreateImports();
  EXPECT_EQ(fixture.factories[0], nullptr);  // handed over
  for (int k = 0; k < kImportKindCount; ++k) {
    EXPECT_NE(fixture.job->Reader(static_cast<ImportKind>(k)), nullptr) << k;
    EXPECT_NE(fixture.job->Import(static_cast<ImportKind>(k)), nullptr) << k;
  }

  auto& second = fixture.Next();
  second.articles->onDestroyed = [&] { fixture.log.push_back("articles of set 2 destroyed"); };
  std::string askedFolder, askedPriceListCode;
  second.onDestroyed = [&](const fake::FakeReaderFactory& f) {
    askedFolder = f.folder;
    askedPriceListCode = f.priceListCode;
  };
  fixture.job->CreateImports();
  EXPECT_EQ(askedFolder, "/företag/1");
  EXPECT_EQ(askedPriceListCode, "P2");
  EXPECT_THAT(fixture.log, ElementsAre("make readers", "articles of set 1 destroyed", "SIE of set 1 destroyed",
                                       "make readers"));
  fixture.job.reset();
  EXPECT_EQ(fixture.log.back(), "articles of set 2 destroyed");
}

TEST(CreateImports, AReaderThatCannotBeBuiltCostsOnlyItsKind) {
  JobWithFakes fixture;
  auto& fakes = fixture.Next();
  fakes.failing = {kImportCustomers};
  auto* suppliers = fakes.suppliers.get();
  suppliers->records = {engine_test::Supplier("1")};
  CMlxImportJob& job = *fixture.job;
  job.CreateImports();

  EXPECT_EQ(job.Reader(kImportCustomers), nullptr);
  EXPECT_EQ(job.Import(kImportCustomers), nullptr);
  EXPECT_FALSE(job.IsTransferred(kImportCustomers));
  EXPECT_THAT(job.Rows(kImportCustomers),
              ElementsAre(ReportRow{"", "", "Error", "Fel:", "Uppgifterna kunde inte läsas: the reader cannot be built"}));

  job.CheckAll(nullptr);  // the other kinds go on
  EXPECT_EQ(job.Import(kImportSuppliers)->GetCount(), 1u);
  EXPECT_EQ(job.Rows(kImportCustomers).size(), 1u);  // the row stays until the kind is checked again
}

TEST(CheckAll, ChecksAvailableKindsAndOnlyClosesTheOthers) {
  JobWithFakes fixture;
  auto& fakes = fixture.Next();
  auto* terms = fakes.deliveryTerms.get();
  auto* methods = fakes.deliveryMethods.get();
  auto* openInvoices = fakes.customerLedgerItems.get();
  auto* sie = fakes.sie.get();
  terms->records = {{.code = "FVL", .name = "Fritt vårt lager"}};
  methods->available = false;
  methods->records = {{.code = "POST", .name = "Post"}};
  openInvoices->records = {{.invoiceNumber = 1, .customerNumber = "K1", .dueDate = "2026-01-31"}};
  sie->sieRows = {{"", "SIE", "Info", "    ", "SIE-filen är skapad."}};
  CMlxImportJob& job = *fixture.job;
  job.SetTransferOpenCustomerInvoices(false);
  job.CreateImports();
  job.CheckAll(nullptr);

  EXPECT_THAT(terms->Walk(), ElementsAre("IsAvailable", "MoveFirst", "CheckCurrent", "MoveNext", "AddWarnings", "Close"));
  EXPECT_THAT(methods->calls, ElementsAre("IsAvailable", "Close"));
  EXPECT_THAT(openInvoices->calls, ElementsAre("Close"));  // the cleared flag: not even asked
  EXPECT_THAT(sie->Walk(), ElementsAre("IsAvailable", "CreateSieFiles"));
  EXPECT_EQ(job.Rows(kImportSie), sie->sieRows);
  EXPECT_FALSE(job.IsTransferred(kImportCustomerLedgerItems));
  EXPECT_EQ(openInvoices->CallCount("IsAvailable"), 0u);
}

TEST(ReaderFactory, ChoosesTheFamilyByLineAndByTheCompanysDataSource) {
  platform::fake::TempTree tree;
  tree.Write("sql/ftg.ini", "[DataSource]\nDBName=FTG1\n");
  tree.MakeFolder("dbf");
  const SourceCompany sqlCompany = Company(kSourceAdmin, (tree / "sql").string());
  const SourceCompany dbfCompany = Company(kSourceAdmin, (tree / "dbf").string());
  const SourceCompany vardoCompany = Company(kSourceVardo, (tree / "dbf").string());

  platform::fake::ScriptedPrompter prompter;
  auto isSql = [&](const SourceCompany& c) {
    return dynamic_cast<CSqlAdminArticleDb*>(MakeReaderFactory(c, &prompter)->MakeArticles(c.path, "").get()) != nullptr;
  };
  auto isVardo = [&](const SourceCompany& c) {
    return dynamic_cast<CVardoSie*>(MakeReaderFactory(c, &prompter)->MakeSie(c.path).get()) != nullptr;
  };
  EXPECT_TRUE(isSql(sqlCompany));
  EXPECT_NE(dynamic_cast<CSqlAdminSie*>(MakeReaderFactory(sqlCompany, &prompter)->MakeSie(sqlCompany.path).get()),
            nullptr);
  EXPECT_FALSE(isSql(dbfCompany));
  EXPECT_FALSE(isVardo(dbfCompany));
  EXPECT_TRUE(isVardo(vardoCompany));
  EXPECT_EQ(MakeReaderFactory(SourceCompany{}, nullptr), nullptr);

  const auto dbfReaders = MakeReaderFactory(dbfCompany, &prompter);
  EXPECT_NE(dynamic_cast<CAdminCompanySettings*>(dbfReaders->MakeCompanySettings(dbfCompany.path).get()), nullptr);
  EXPECT_NE(dynamic_cast<CAdminSie*>(dbfReaders->MakeSie(dbfCompany.path).get()), nullptr);
  EXPECT_NE(dynamic_cast<CAdminCustomerDb*>(dbfReaders->MakeCustomers(dbfCompany.path).get()), nullptr);
  EXPECT_NE(dynamic_cast<CAdminSupplierDb*>(dbfReaders->MakeSuppliers(dbfCompany.path).get()), nullptr);
  // The SIE reader may have to tell the user something: without a prompter it cannot be built.
  EXPECT_THROW(MakeReaderFactory(dbfCompany, nullptr)->MakeSie(dbfCompany.path), std::logic_error);
}

TEST(SelectSourceCompany, KeepsWhatWasIdentifiedAndAnswersWhetherTheLineMatches) {
  platform::fake::TempTree tree;
  tree.Write("sql/ftg.ini", "[DataSource]\nDisplayName=Åkeri AB\nDisplayVariant=1\nDisplayVersion=6.1\nDBName=FTG1\n");
  tree.MakeFolder("empty");
  CMlxImportJob job(kSourceAdmin);
  job.SetOrgNo("kept");

  EXPECT_FALSE(job.SelectSourceCompany(""));
  EXPECT_EQ(job.GetSourceCompany(), SourceCompany{});

  ASSERT_TRUE(job.SelectSourceCompany((tree / "sql").string()));
  EXPECT_EQ(job.GetSourceCompany().name, "Åkeri AB");
  EXPECT_EQ(job.GetSourceCompany().edition, 1000);
  EXPECT_EQ(job.OrgNo(), job.GetSourceCompany().orgNo);
  // Started by a desktop program, the company choice offers that company alone.
  EXPECT_THAT(job.GetSourceCompanies(), ElementsAre(job.GetSourceCompany()));

  job.SetOrgNo("kept");
  EXPECT_FALSE(job.SelectSourceCompany((tree / "empty").string()));
  EXPECT_EQ(job.GetSourceCompany().kind, kSourceNone);  // the result replaced the earlier choice
  EXPECT_EQ(job.OrgNo(), "kept");

  CMlxImportJob startedAlone;
  EXPECT_FALSE(startedAlone.SelectSourceCompany((tree / "sql").string()));
}

// ---------------------------------------------------------------------------
// The job against the cloud stand-in, logged in as the stand-in's user.

const std::string kUser = "anna@example.se";
const char* const kCompanyA = "c-1001";  // "Åsa Öberg AB"
const char* const kCompanyB = "c-1002";

// The field name on the wire: the setter's name without "Set" (where it has one), its leading capitals
// lower-cased up to the start of the next word ("SetGLN" gives "gln").
std::string WireName(std::string_view setter) {
  std::string name(setter.starts_with("Set") ? setter.substr(3) : setter);
  for (std::size_t i = 0; i < name.size() && std::isupper(static_cast<unsigned char>(name[i])); ++i) {
    if (i > 0 && i + 1 < name.size() && std::islower(static_cast<unsigned char>(name[i + 1]))) break;
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  }
  return name;
}

// A record as the service must hold it: every field of the kind, as the reader gave it.
#define QZ_TO_WIRE(type, getter, field, setter) wire[WireName(#setter)] = r.field;
nlohmann::json Wire(const fake::CompanyRecord& r) { nlohmann::json wire; QZ_COMPANY_FIELDS(QZ_TO_WIRE) return wire; }
nlohmann::json Wire(const fake::ArticleRecord& r) { nlohmann::json wire; QZ_ARTICLES_FIELDS(QZ_TO_WIRE) return wire; }
nlohmann::json Wire(const fake::CustomerRecord& r) { nlohmann::json wire; QZ_CUSTOMERS_FIELDS(QZ_TO_WIRE) return wire; }
nlohmann::json Wire(const fake::SupplierRecord& r) { nlohmann::json wire; QZ_SUPPLIERS_FIELDS(QZ_TO_WIRE) return wire; }
nlohmann::json Wire(const fake::DeliveryTermRecord& r) {
  nlohmann::json wire;
  QZ_DELIVERY_TERMS_FIELDS(QZ_TO_WIRE)
  return wire;
}
nlohmann::json Wire(const fake::DeliveryMethodRecord& r) {
  nlohmann::json wire;
  QZ_DELIVERY_METHODS_FIELDS(QZ_TO_WIRE)
  return wire;
}
nlohmann::json Wire(const fake::CustomerLedgerRecord& r) {
  nlohmann::json wire;
  QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(QZ_TO_WIRE)
  return wire;
}
nlohmann::json Wire(const fake::SupplierLedgerRecord& r) {
  nlohmann::json wire;
  QZ_SUPPLIER_LEDGER_ITEMS_FIELDS(QZ_TO_WIRE)
  return wire;
}
#undef QZ_TO_WIRE

template <class Record>
nlohmann::json Wire(const std::vector<Record>& records) {
  nlohmann::json wire = nlohmann::json::array();
  for (const auto& r : records) wire.push_back(Wire(r));
  return wire;
}

class JobAgainstCloud : public ::testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    folder_ = *platform::MakeUniqueFolder(platform::TempFolder(), "job-cloud-");
    KLCRMiscFunc::SetIniPath(folder_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    job().SetEmail(kUser);
    job().SetPassword("hemligt");
    ASSERT_TRUE(job().SetCredentials());
  }
  void TearDown() override {
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:9");
    klcr::detail::ForgetRunState();
    KLCRMiscFunc::SetIniPath("");
    std::filesystem::remove_all(folder_);
  }

  CMlxImportJob& job() { return *fixture_.job; }
  fake::FakeReaderFactory& fakes() { return fixture_.Next(); }

  void ChooseCloudCompany(const char* id) {
    job().SetCloudCompany({.id = id});
    ASSERT_EQ(job().FetchApiToken(), 0);
  }
  nlohmann::json Company(const char* id) const { return cloud_.State()["companies"][id]; }
  // The routes the stand-in was asked for after the first `skip` requests.
  std::vector<std::string> RoutesAfter(std::size_t skip) const {
    std::vector<std::string> routes;
    const auto requests = cloud_.State()["requests"];
    for (std::size_t i = skip; i < requests.size(); ++i) routes.push_back(requests[i]["route"]);
    return routes;
  }
  std::size_t RequestCount() const { return cloud_.State()["requests"].size(); }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  JobWithFakes fixture_;
  std::filesystem::path folder_;
};

TEST_F(JobAgainstCloud, CloudCompaniesAreFilteredByTheDigitsOfTheOrganisationNumber) {
  const struct {
    const char* filter;
    std::vector<std::string> ids;
  } cases[] = {
      {"", {kCompanyA, kCompanyB}},
      {"5", {kCompanyA, kCompanyB}},  // one character: every company
      {"556677-8899", {kCompanyA}},
      {"556677 8899", {kCompanyA}},
      {"5566778899", {kCompanyA}},
      {"556123-4567", {kCompanyB}},   // the service gives this one without a dash
      {"195566778899", {}},           // the century digits make another number
  };
  for (const auto& c : cases) {
    int code = -1;
    std::vector<std::string> ids;
    for (const auto& company : GetCloudCompanies(job(), c.filter, &code)) ids.push_back(company.id);
    EXPECT_EQ(code, 0) << c.filter;
    EXPECT_EQ(ids, c.ids) << c.filter;
  }
  const auto all = GetCloudCompanies(job(), "", nullptr);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0], (CloudCompany{"556677-8899", "Åsa Öberg AB", kCompanyA, "SE", 1, 1001}));
  EXPECT_EQ(job().FirstName(), "Anna");
  EXPECT_EQ(job().LastName(), "Åberg");

  cloud_.SetFault("customers", 500, 0, 1);
  int code = 0;
  EXPECT_TRUE(GetCloudCompanies(job(), "", &code).empty());
  EXPECT_EQ(code, 500);
  EXPECT_EQ(job().FirstName(), "Anna");  // a failed call leaves the names
}

TEST_F(JobAgainstCloud, UploadAllDiscardsFirstThenSendsEveryKindInOrderAsTheReadersGaveIt) {
  ChooseCloudCompany(kCompanyA);
  {  // an earlier, unfinished transfer of the company
    KLCR_MolnixMigration::CUploadDeliveryMethods earlier;
    earlier.SetCode("GML");
    earlier.SetName("Gammalt");
    ASSERT_EQ(earlier.AddDeliveryMethod(), 0);
    earlier.SetApiToken(job().ApiToken());
    ASSERT_EQ(earlier.Call(), 0);
  }

  // The fakes are the job's once it has built its readers; what they gave stays readable here.
  auto& f = fakes();
  auto* const company = f.company.get();
  auto* const articles = f.articles.get();
  auto* const customers = f.customers.get();
  auto* const suppliers = f.suppliers.get();
  auto* const terms = f.deliveryTerms.get();
  auto* const methods = f.deliveryMethods.get();
  auto* const customerInvoices = f.customerLedgerItems.get();
  auto* const supplierInvoices = f.supplierLedgerItems.get();
  company->values = {.corporateIdentityNumber = "556677-8899", .name = "Åsa Öberg AB", .city = "Växjö",
                     .hasFTaxCard = true, .nextCustomerInvoiceNumber = 1001, .vatPeriod = 3};
  auto article = engine_test::Article("A-1");
  article.name = "Skruv rostfri – Ø 4 mm";
  article.netPrice = "1249.50";
  article.rotRutType = 2;
  articles->records = {article, engine_test::Article("A-2")};
  auto customer = engine_test::Customer("K1");
  customer.name = "Åsa Öberg AB";
  customer.note = "rad 1\r\n\"citat\"\t\\";
  customer.isPrivatePerson = true;
  customers->records = {customer, engine_test::Customer("K2")};
  suppliers->records = {engine_test::Supplier("L1")};
  terms->records = {{.code = "FVL", .name = "Fritt vårt lager"}};
  methods->records = {{.code = "PST", .name = "Postförskott"}};
  customerInvoices->records = {{.isCreditInvoice = true, .invoiceNumber = -17, .customerNumber = "K1",
                                .customerName = "Åsa Öberg AB", .invoiceDate = "2026-01-31",
                                .dueDate = "2026-02-28", .currencyRateUnit = 1,
                                .customerLedgerAccountNumber = 1510, .totalAmountInvoiceCurrency = "-1250.00"}};
  supplierInvoices->records = {{.invoiceId = "F-9", .supplierNumber = "L1", .supplierName = "Lev Ö AB",
                                .dueDate = "2026-03-01", .currencyCode = "EUR", .currencyRate = "11.25",
                                .supplierLedgerAccountNumber = 2440}};
  const std::string sieBytes = "#FNAMN \"\x8f\x73\x61 \x99\x62\x65rg AB\"\r\n";  // code page 437, as SIE files are
  const std::string previousSieBytes = "#RAR 0 20250101 20251231\r\n";
  std::ofstream(folder_ / "SIE.SE", std::ios::binary) << sieBytes;
  std::ofstream(folder_ / "SIEPREV.SE", std::ios::binary) << previousSieBytes;
  f.sie->filePath = (folder_ / "SIE.SE").string();
  f.sie->filePathPreviousYear = (folder_ / "SIEPREV.SE").string();

  job().CreateImports();
  job().CheckAll(nullptr);
  for (int k = 0; k < kImportKindCount; ++k) EXPECT_THAT(job().Rows(static_cast<ImportKind>(k)), ElementsAre()) << k;
  const std::size_t before = RequestCount();
  job().UploadAll();

  EXPECT_THAT(RoutesAfter(before),
              ElementsAre("discard", "upload.companySettings", "upload.articles", "upload.customers",
                          "upload.suppliers", "upload.deliveryTerms", "upload.deliveryMethods",
                          "upload.customerLedgerItems", "upload.supplierLedgerItems", "upload.sie"));
  for (int k = 0; k < kImportKindCount; ++k) EXPECT_EQ(job().Result(static_cast<ImportKind>(k)), 0) << k;
  const auto cloudCompany = Company(kCompanyA);
  EXPECT_EQ(cloudCompany["discarded"], 1);
  const auto& pending = cloudCompany["pending"];
  EXPECT_EQ(pending["companySettings"], nlohmann::json::array({Wire(company->values)}));
  EXPECT_EQ(pending["articles"], Wire(articles->records));
  EXPECT_EQ(pending["customers"], Wire(customers->records));
  EXPECT_EQ(pending["suppliers"], Wire(suppliers->records));
  EXPECT_EQ(pending["deliveryTerms"], Wire(terms->records));
  EXPECT_EQ(pending["deliveryMethods"], Wire(methods->records));  // the earlier one is gone
  EXPECT_EQ(pending["customerLedgerItems"], Wire(customerInvoices->records));
  EXPECT_EQ(pending["supplierLedgerItems"], Wire(supplierInvoices->records));
  EXPECT_EQ(pending["sie"]["currentYear"]["fileName"], "SIE.SE");
  EXPECT_EQ(cloud_standin::ReceivedFileBytes(pending["sie"]["currentYear"]), sieBytes);
  EXPECT_EQ(pending["sie"]["previousYear"]["fileName"], "SIEPREV.SE");
  EXPECT_EQ(cloud_standin::ReceivedFileBytes(pending["sie"]["previousYear"]), previousSieBytes);
}

TEST_F(JobAgainstCloud, SkippedKindsAreNotSent) {
  ChooseCloudCompany(kCompanyA);
  auto& f = fakes();
  f.failing = {kImportCustomers};  // its reader cannot be built
  f.articles->records = {engine_test::Article("A-1")};
  f.suppliers->records = {engine_test::Supplier("L1")};
  f.deliveryMethods->available = false;
  f.customerLedgerItems->records = {{.invoiceNumber = 1, .customerNumber = "K1", .dueDate = "2026-01-31"}};
  // No SIE file was made, and the delivery terms and open supplier invoices are empty.
  job().SetTransferOpenCustomerInvoices(false);
  job().CreateImports();
  job().CheckAll(nullptr);
  const std::size_t before = RequestCount();
  job().UploadAll();

  EXPECT_THAT(RoutesAfter(before), ElementsAre("discard", "upload.companySettings", "upload.articles",
                                               "upload.suppliers"));
  EXPECT_EQ(job().Rows(kImportCustomers).size(), 1u);  // the kind is reported
  const auto pending = Company(kCompanyA)["pending"];
  EXPECT_FALSE(pending.contains("customers"));
  EXPECT_FALSE(pending.contains("customerLedgerItems"));
  EXPECT_EQ(pending["articles"].size(), 1u);
}

TEST_F(JobAgainstCloud, SettingsThatCouldNotBeReadWholeAreNotSent) {
  ChooseCloudCompany(kCompanyA);
  auto& f = fakes();
  f.company->warnings = {{"", "", "Error", "Fel:", "Tabellen PRM kan inte läsas: database is locked"}};
  f.articles->records = {engine_test::Article("A-1")};
  job().CreateImports();
  job().CheckAll(nullptr);
  EXPECT_TRUE(job().IsUnreadable(kImportCompany));
  const std::size_t before = RequestCount();
  job().UploadAll();

  EXPECT_THAT(RoutesAfter(before), ElementsAre("discard", "upload.articles"));
  EXPECT_FALSE(Company(kCompanyA)["pending"].contains("companySettings"));
}

TEST_F(JobAgainstCloud, TheSendUsesTheTokenFetchedForItAndAFailedFetchLeavesNone) {
  ChooseCloudCompany(kCompanyA);
  fakes().articles->records = {engine_test::Article("A-1")};
  job().CreateImports();  // the upload jobs are built while company A's token stands
  job().CheckAll(nullptr);

  ChooseCloudCompany(kCompanyB);  // the user went back and chose another company
  job().UploadAll();
  EXPECT_TRUE(Company(kCompanyA)["pending"].is_null());
  EXPECT_EQ(Company(kCompanyB)["pending"]["articles"].size(), 1u);

  cloud_.SetFault("token", 500, 0, 1);
  job().SetCloudCompany({.id = kCompanyA});
  EXPECT_EQ(job().FetchApiToken(), 500);
  EXPECT_EQ(job().ApiToken(), "");
  const std::size_t before = RequestCount();
  // Nothing goes out with company B's token, not even the discard, and without a
  // discard nothing is uploaded.
  EXPECT_EQ(job().UploadAll(), klcr::kMissingInput);
  EXPECT_THAT(RoutesAfter(before), ElementsAre());
  EXPECT_EQ(Company(kCompanyB)["discarded"], 0);
  EXPECT_EQ(Company(kCompanyB)["pending"]["articles"].size(), 1u);
}

// After "Börja om" the next preparation has a new import id, so an import whose
// completion stayed unknown is remembered, for its cloud and source company, to
// be asked about; a new job over the same file finds it as this one does.
TEST_F(JobAgainstCloud, AnImportWhoseCompletionStayedUnknownIsRememberedForItsCompanies) {
  const platform::fake::CapturedLog log;
  klcr::detail::SetStateQueryPauses({std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
  JobWithFakes fixture(2);
  CMlxImportJob& job = *fixture.job;
  job.SetEmail(kUser);
  job.SetSourceCompany(Named("/företag/1", "Företag 1"));
  job.SetCloudCompany({.id = kCompanyA});
  ASSERT_EQ(job.FetchApiToken(), 0);
  fixture.Next().articles->records = {engine_test::Article("A-1")};
  job.CreateImports();
  job.CheckAll(nullptr);
  ASSERT_EQ(job.UploadAll(), 0);
  const std::string firstId = job.ImportId();
  cloud_.SetDroppedAnswer("complete", 1);
  cloud_.SetFault("importState", 500);
  EXPECT_EQ(job.CompleteExport(), klcr::kCompletionUnknown);
  EXPECT_FALSE(job.EarlierImport());  // a send of this preparation completes the same import
  EXPECT_THAT(log.Lines(), ::testing::Contains("Det gick inte att få veta om överföringen " + firstId +
                                               " av företaget Företag 1 till företaget c-1001 avslutades; den kan "
                                               "redan finnas i Tessal Molnix"));

  job.CreateImports();
  EXPECT_NE(job.ImportId(), firstId);
  const UncertainImport remembered{kCompanyA, "/företag/1", "Företag 1", firstId};
  EXPECT_EQ(job.EarlierImport(), remembered);
  EXPECT_FALSE(job.EarlierImportWasCompleted());  // the state still cannot be asked

  job.SetCloudCompany({.id = kCompanyB});
  ASSERT_EQ(job.FetchApiToken(), 0);
  const std::size_t before = RequestCount();
  EXPECT_FALSE(job.EarlierImport());
  EXPECT_FALSE(job.EarlierImportWasCompleted());
  EXPECT_THAT(RoutesAfter(before), ElementsAre());  // nothing to ask about for this company

  // Another job over the same file, as a new run has: no token yet, so it fetches one to ask.
  JobWithFakes later;
  UncertainImportStore(later.uncertainImports).Remember(remembered);
  CMlxImportJob& next = *later.job;
  next.SetEmail(kUser);
  next.SetSourceCompany(Named("/företag/1", "Företag 1"));
  next.SetCloudCompany({.id = kCompanyA});
  EXPECT_EQ(next.EarlierImport(), remembered);
  cloud_.ClearFaults();
  EXPECT_TRUE(next.EarlierImportWasCompleted());
  EXPECT_FALSE(next.EarlierImport());  // completed: nothing to ask about any more
  EXPECT_EQ(Company(kCompanyA)["completedIds"], nlohmann::json::array({firstId}));

  // The first job's own record: the user chose to send anew.
  job.SetCloudCompany({.id = kCompanyA});
  EXPECT_EQ(job.EarlierImport(), remembered);
  job.ForgetEarlierImport();
  EXPECT_FALSE(job.EarlierImport());
}

// An import of another source company to the same cloud company: found completed,
// it is forgotten without saying this company's data is there.
TEST_F(JobAgainstCloud, AnotherSourceCompanysCompletedImportSaysNothingOfThisOne) {
  JobWithFakes fixture(2);
  CMlxImportJob& job = *fixture.job;
  job.SetEmail(kUser);
  job.SetCloudCompany({.id = kCompanyA});
  ASSERT_EQ(job.FetchApiToken(), 0);
  fixture.Next().articles->records = {engine_test::Article("A-1")};
  job.SetSourceCompany(Named("/företag/1", "Företag 1"));
  job.CreateImports();
  job.CheckAll(nullptr);
  ASSERT_EQ(job.UploadAll(), 0);
  ASSERT_EQ(job.CompleteExport(), 0);
  UncertainImportStore(fixture.uncertainImports).Remember({kCompanyA, "/företag/1", "Företag 1", job.ImportId()});

  job.SetSourceCompany(Named("/företag/2", "Företag 2"));
  job.CreateImports();
  ASSERT_TRUE(job.EarlierImport());
  EXPECT_EQ(job.EarlierImport()->sourceCompanyPath, "/företag/1");
  EXPECT_FALSE(job.EarlierImportWasCompleted());
  EXPECT_FALSE(job.EarlierImport());
}

// A state query refused for the token (401) fetches a new one and asks again.
TEST_F(JobAgainstCloud, AStateQueryRefusedForItsTokenIsAskedAgainWithANewOne) {
  JobWithFakes fixture;
  CMlxImportJob& job = *fixture.job;
  job.SetEmail(kUser);
  job.SetSourceCompany(Named("/företag/1", "Företag 1"));
  job.SetCloudCompany({.id = kCompanyA});
  ASSERT_EQ(job.FetchApiToken(), 0);
  fixture.Next().articles->records = {engine_test::Article("A-1")};
  job.CreateImports();
  job.CheckAll(nullptr);
  ASSERT_EQ(job.UploadAll(), 0);
  ASSERT_EQ(job.CompleteExport(), 0);
  const std::string completedId = job.ImportId();
  UncertainImportStore(fixture.uncertainImports).Remember({kCompanyA, "/företag/1", "Företag 1", completedId});

  const std::string oldToken = job.ApiToken();
  cloud_.SetFault("importState", 401, 0, 1);
  const std::size_t before = RequestCount();
  EXPECT_TRUE(job.EarlierImportWasCompleted());
  EXPECT_THAT(RoutesAfter(before), ElementsAre("importState", "token", "importState"));
  EXPECT_NE(job.ApiToken(), oldToken);
}

// One article to send, for a job of its own.
CMlxImportJob::ReaderFactoryMaker OneArticle() {
  return [](const SourceCompany&) {
    auto factory = std::make_unique<fake::FakeReaderFactory>();
    factory->articles->records = {engine_test::Article("A-1")};
    return std::unique_ptr<ReaderFactory>(std::move(factory));
  };
}

// The first run of the test below, in a process of its own: sends to the stand-in
// it is given and is left with the completion's outcome unknown.
TEST(EarlierRun, SendsAndIsLeftWithTheOutcomeUnknown) {
  const auto cloud = platform::GetEnvironment("MOLNIX_TEST_CLOUD");
  if (!cloud) GTEST_SKIP() << "run by JobAgainstCloud.ANewRunFindsTheUnknownImportOfAnEarlierRun";
  platform::fake::TempTree settings;
  KLCRMiscFunc::SetIniPath(settings.root().string());
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(*cloud);
  klcr::detail::SetStateQueryPauses({std::chrono::milliseconds(1)});
  CMlxImportJob job(kSourceAdmin, nullptr, OneArticle());  // its record in the per-user data folder
  job.SetEmail(kUser);
  job.SetPassword("hemligt");
  ASSERT_TRUE(job.SetCredentials());
  job.SetSourceCompany(Named("/företag/1", "Företag 1"));
  job.SetCloudCompany({.id = kCompanyA});
  ASSERT_EQ(job.FetchApiToken(), 0);
  job.CreateImports();
  job.CheckAll(nullptr);
  ASSERT_EQ(job.UploadAll(), 0);
  ASSERT_EQ(job.CompleteExport(), klcr::kCompletionUnknown);
}

// The window was killed after the unknown outcome: the next run, a new process,
// finds the import, asks the service first, and asks before a second import.
TEST_F(JobAgainstCloud, ANewRunFindsTheUnknownImportOfAnEarlierRun) {
  platform::fake::TempTree userData;
  cloud_.SetDroppedAnswer("complete", 1);
  cloud_.SetFault("importState", 500);
  const auto earlierRun = platform::RunProcess(
      platform::OwnExecutable(), {"--gtest_filter=EarlierRun.*"},
      {.environment = {"MOLNIX_TEST_CLOUD=" + cloud_.BaseUrl(), "MOLNIX_DATA_HOME=" + userData.root().string()}});
  ASSERT_TRUE(earlierRun && earlierRun->Succeeded());
  ASSERT_EQ(Company(kCompanyA)["completedIds"].size(), 1u);
  const std::string earlierId = Company(kCompanyA)["completedIds"][0];

  const platform::fake::ScopedEnv dataHome("MOLNIX_DATA_HOME", userData.root().string());
  CMlxImportJob job(kSourceAdmin, nullptr, OneArticle());
  job.SetEmail(kUser);
  job.SetSourceCompany(Named("/företag/1", "Företag 1"));
  job.SetCloudCompany({.id = kCompanyA});
  EXPECT_FALSE(job.EarlierImportWasCompleted());  // the service cannot say yet
  job.CreateImports();
  EXPECT_EQ(job.EarlierImport(), (UncertainImport{kCompanyA, "/företag/1", "Företag 1", earlierId}));

  cloud_.ClearFaults();
  const std::size_t before = RequestCount();
  EXPECT_TRUE(job.EarlierImportWasCompleted());
  EXPECT_THAT(RoutesAfter(before), ElementsAre("importState"));  // with the token fetched above
  EXPECT_FALSE(job.EarlierImport());
}

// A record that cannot be read keeps the question: every cloud company may have
// an import of unknown source, until the user chooses to send anew.
TEST(UncertainImports, ADamagedRecordKeepsTheQuestionUntilTheUserAnswers) {
  const platform::fake::CapturedLog log;
  platform::fake::TempTree tree;
  const auto file = tree.Write("uncertain-imports.json", R"({"damaged": false, "imports": [{"cloudCompany": "c-)");
  UncertainImportStore store(file);
  const UncertainImport unknown{"c-9", "", "", ""};
  EXPECT_THAT(store.Of("c-9"), ElementsAre(unknown));
  EXPECT_FALSE(log.Lines().empty());

  const UncertainImport kept{"c-1", "/ftg/a", "A AB", "id-1"};
  store.Remember(kept);  // written anew, the damage kept
  EXPECT_THAT(store.Of("c-1"), ElementsAre(kept, UncertainImport{"c-1", "", "", ""}));
  EXPECT_THAT(store.Of("c-9"), ElementsAre(unknown));
  store.ForgetAllOf("c-9");
  EXPECT_THAT(store.Of("c-9"), ElementsAre());
  EXPECT_THAT(store.Of("c-1"), ElementsAre(kept));
  store.Forget("c-1", "id-1");
  EXPECT_THAT(store.Of("c-1"), ElementsAre());
}

}  // namespace
