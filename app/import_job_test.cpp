#include "app/import_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/engine_test_support.h"
#include "app/reader_factories.h"
#include "app/sources/fake/fake_reader_factory.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "sources/admin/admin_sie.h"
#include "sources/admin/company_settings.h"
#include "sources/admin/customer_reader.h"
#include "sources/admin/supplier_reader.h"
#include "sources/sqladmin/sqladmin_readers.h"
#include "sources/vardo/vardo_readers.h"

namespace {

using ::testing::ElementsAre;

SourceCompany Company(int kind, std::string path) {
  SourceCompany company;
  company.kind = kind;
  company.path = std::move(path);
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
    job = std::make_unique<CMlxImportJob>(kSourceAdmin, nullptr, [this](const SourceCompany&) {
      log.push_back("make readers");
      return std::unique_ptr<ReaderFactory>(std::move(factories.at(made++)));
    });
  }
  fake::FakeReaderFactory& Next() { return *factories.at(made); }

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
  fixture.job->CreateImports();
  EXPECT_EQ(second.folder, "/företag/1");
  EXPECT_EQ(second.priceListCode, "P2");
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

TEST(FetchApiToken, AFailedFetchLeavesNoToken) {
  CMlxImportJob job;
  job.SetEmail("anna@example.se");
  job.SetCloudCompany({.id = "c-1"});
  EXPECT_NE(job.FetchApiToken(), 0);  // no service answers
  EXPECT_EQ(job.ApiToken(), "");
}

}  // namespace
