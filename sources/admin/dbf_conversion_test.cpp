// A DBF company converted end to end: the conversion job builds the DBF readers
// through its factory, checks and uploads every kind to the cloud stand-in, and
// every record a reader lets through is either in the stand-in or in a row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/import_job.h"
#include "app/reader_factories.h"
#include "app/sources/company_identification.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/folders.h"
#include "sources/admin/testing/reader_walk.h"
#include "tools/cloud_standin/standin_process.h"
#include "tools/samplecompany/sample_company.h"

namespace {

using namespace reader_walk;
namespace fs = std::filesystem;

const char* const kCloudCompany = "c-1001";  // "Åsa Öberg AB" of the stand-in's example fixture

class DbfConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    work_ = *platform::MakeUniqueFolder(platform::TempFolder(), "conv-dbf-");
    KLCRMiscFunc::SetIniPath(work_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    samplecompany::WriteSampleCompany(company());
  }
  void TearDown() override { fs::remove_all(work_); }

  fs::path company() const { return work_ / "Åsa Öberg AB"; }

  // The wizard's road: log in, choose the cloud company, the source company and the
  // net price list, prepare, send.
  void Convert(CMlxImportJob& job) {
    job.SetEmail("anna@example.se");
    job.SetPassword("hemligt");
    ASSERT_TRUE(job.SetCredentials());
    job.SetCloudCompany(CloudCompany{.id = kCloudCompany});
    ASSERT_EQ(job.FetchApiToken(), 0);
    job.SetSourceCompany(IdentifyCompany(company().string(), true));
    job.SetPriceListCode("1");
    job.CreateImports();
    job.CheckAll(nullptr);
    job.UploadAll();
  }

  nlohmann::json Pending(const char* kind) const { return cloud_.State()["companies"][kCloudCompany]["pending"][kind]; }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  fs::path work_;
};

// What a fresh reader of the kind lets through, walked as the upload job walks it.
template <class Interface>
std::size_t LetThrough(std::unique_ptr<Interface> reader) {
  return reader && reader->IsAvailable() ? Walk(*reader).records.size() : 0;
}

std::size_t Refused(const std::vector<ReportRow>& rows) {
  return std::count_if(rows.begin(), rows.end(), [](const ReportRow& r) { return r.kind == "Error"; });
}

TEST_F(DbfConversion, EveryRecordLetThroughIsSentOrReported) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);

  const std::string folder = company().string();
  auto readers = MakeReaderFactory(job.GetSourceCompany(), nullptr);
  ASSERT_TRUE(readers);
  struct Kind {
    ImportKind kind;
    const char* name;
    std::size_t letThrough;
  };
  for (const Kind& k : std::vector<Kind>{
           {kImportArticles, "articles", LetThrough(readers->MakeArticles(folder, "1"))},
           {kImportCustomers, "customers", LetThrough(readers->MakeCustomers(folder))},
           {kImportSuppliers, "suppliers", LetThrough(readers->MakeSuppliers(folder))},
           {kImportDeliveryTerms, "deliveryTerms", LetThrough(readers->MakeDeliveryTerms(folder))},
           {kImportDeliveryMethods, "deliveryMethods", LetThrough(readers->MakeDeliveryMethods(folder))},
           {kImportCustomerLedgerItems, "customerLedgerItems", LetThrough(readers->MakeCustomerLedgerItems(folder))},
           {kImportSupplierLedgerItems, "supplierLedgerItems", LetThrough(readers->MakeSupplierLedgerItems(folder))}}) {
    SCOPED_TRACE(k.name);
    if (!job.IsTransferred(k.kind)) continue;  // a kind whose reader is not built answers not available
    EXPECT_EQ(job.Result(k.kind), 0);
    EXPECT_EQ(Pending(k.name).size() + Refused(job.Rows(k.kind)), k.letThrough);
  }
}

TEST_F(DbfConversion, SwedishTextsArriveIntact) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);

  const auto settings = Pending("companySettings");
  ASSERT_EQ(settings.size(), 1u);
  EXPECT_EQ(settings[0]["name"], "Åsa Öberg AB");
  EXPECT_EQ(settings[0]["address1"], "Östra Hamngatan 12");
  EXPECT_EQ(settings[0]["city"], "Göteborg");

  const auto articles = Pending("articles");
  const auto painting = std::find_if(articles.begin(), articles.end(), [](auto& a) { return a["number"] == "100"; });
  ASSERT_NE(painting, articles.end());
  EXPECT_EQ((*painting)["name"], "Målning av fönsterbåge");
  EXPECT_EQ((*painting)["articleAccountName"], "Tjänster 25 %");

  const auto terms = Pending("deliveryTerms");
  ASSERT_FALSE(terms.empty());
  EXPECT_EQ(terms[0]["name"], "Fritt vårt lager");
  const auto methods = Pending("deliveryMethods");
  EXPECT_TRUE(std::any_of(methods.begin(), methods.end(),
                          [](auto& m) { return m["code"] == "HÄMT" && m["name"] == "Kunden hämtar själv"; }));
}

}  // namespace
