// The sample Vardo company converted end to end: the conversion job builds the
// Vardo readers through its factory, checks and uploads every kind to the
// cloud stand-in, and every record a reader reads is in the stand-in or in a row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/import_job.h"
#include "app/reader_factories.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/files.h"
#include "sources/admin/testing/reader_walk.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_test_support.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using namespace reader_walk;
namespace fs = std::filesystem;

const char* const kCloudCompany = "c-1001";  // the stand-in's company with the sample's organisation number

class VardoConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    KLCRMiscFunc::SetIniPath(install_.Tree().MakeFolder("klcr").string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
  }

  // The wizard's road: log in, choose the cloud company and the source company, prepare, send.
  void Convert(CMlxImportJob& job) {
    job.SetEmail("anna@example.se");
    job.SetPassword("hemligt");
    ASSERT_TRUE(job.SetCredentials());
    job.SetCloudCompany(CloudCompany{.id = kCloudCompany});
    ASSERT_EQ(job.FetchApiToken(), 0);
    job.SetSourceCompany(IdentifyVardoCompany(company_));
    job.CreateImports();
    job.CheckAll(nullptr);
    job.UploadAll();
  }

  nlohmann::json Pending(const char* kind) const { return cloud_.State()["companies"][kCloudCompany]["pending"][kind]; }

  vardo_test::VardoInstall install_;
  std::string company_ = install_.AddSampleCompany();
  platform::fake::ScopedEnv temp_{"TMPDIR", install_.Tree().MakeFolder("tmp").string()};
  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
};

TEST_F(VardoConversion, EveryRecordReadIsSentOrReported) {
  CMlxImportJob job(kSourceVardo);
  Convert(job);

  auto readers = MakeReaderFactory(job.GetSourceCompany(), nullptr);
  ASSERT_TRUE(readers);
  for (const KindRead& k : CountReadPerKind(*readers, company_, "")) {
    SCOPED_TRACE(k.name);
    ASSERT_TRUE(job.IsTransferred(k.kind));
    EXPECT_EQ(job.Result(k.kind), 0);
    EXPECT_GT(k.read, 0u);
    EXPECT_EQ(Pending(k.name).size() + CountRefused(job.Rows(k.kind)), k.read);
  }
  EXPECT_EQ(job.Result(kImportCompany), 0);
  EXPECT_EQ(Pending("companySettings").size(), 1u);
}

// PERSON.DBF cut in a record and SERIES.DBF cut: what could be read is sent,
// the kinds that lost say so, the counts add up, and no settings go.
TEST_F(VardoConversion, ADamagedCompanySendsWhatItReadAndSaysWhatItLost) {
  for (const char* file : {"PERSON.DBF", "SERIES.DBF"}) {
    const fs::path path = fs::path(company_) / file;
    const std::string bytes = platform::ReadWholeFile(path).value();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() * 2 / 3);
  }
  CMlxImportJob job(kSourceVardo);
  Convert(job);

  const auto damageRow = [](const std::vector<ReportRow>& rows, const std::string& file) {
    return std::count_if(rows.begin(), rows.end(), [&](const ReportRow& row) {
      return row.kind == "Error" && report::IsAboutWholeKind(row) &&
             row.text.starts_with("Filen " + file + " kan inte läsas helt: ");
    });
  };
  auto readers = MakeReaderFactory(job.GetSourceCompany(), nullptr);
  ASSERT_TRUE(readers);
  for (const KindRead& k : CountReadPerKind(*readers, company_, "")) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(Pending(k.name).size() + CountRefused(job.Rows(k.kind)), k.read);
  }
  for (ImportKind kind : {kImportCustomers, kImportSuppliers, kImportCustomerLedgerItems, kImportSupplierLedgerItems}) {
    EXPECT_EQ(damageRow(job.Rows(kind), "PERSON.DBF"), 1) << kind;  // once, never once per record
  }
  EXPECT_GT(Pending("customers").size(), 0u);
  EXPECT_LT(Pending("customers").size(), 13u);
  EXPECT_EQ(damageRow(job.Rows(kImportCompany), "SERIES.DBF"), 1);
  EXPECT_TRUE(Pending("companySettings").empty());
  // An open invoice of a customer that was not read goes nowhere but in a row.
  const auto& invoiceRows = job.Rows(kImportCustomerLedgerItems);
  EXPECT_TRUE(std::any_of(invoiceRows.begin(), invoiceRows.end(), [](const ReportRow& row) {
    return row.text == "Fakturans kund kunde inte läsas ur PERSON.DBF." && !row.key.empty();
  }));
  EXPECT_EQ(Pending("deliveryTerms").size(), 2u);  // the kinds that read neither table are whole
}

// The customers end on a full progress step, and the suppliers follow them in
// PERSON.DBF: the walk does not stand on each supplier to show the same count again.
TEST_F(VardoConversion, TheProgressOfTheCustomersShowsEachCountOnce) {
  fs::remove_all(company_);
  samplecompany::VardoSampleOptions options;
  options.customers = 247;  // and the three special customers: 250
  options.suppliers = 300;
  install_.AddSampleCompany(samplecompany::kVardoCompanyName, options);
  struct Shown : ProgressSink {
    void ShowProgress(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
  } shown;
  CMlxImportJob job(kSourceVardo);
  job.SetSourceCompany(IdentifyVardoCompany(company_));
  job.CreateImports();
  job.CheckAll(&shown);
  // The count at the 250th customer, and the count the walk ends with.
  EXPECT_EQ(std::count(shown.texts.begin(), shown.texts.end(), "250 kunder kontrollerade."), 2)
      << ::testing::PrintToString(shown.texts);
  EXPECT_EQ(job.Import(kImportCustomers)->GetCount(), 248u);  // the inactive one is read, not sent; one is refused
}

TEST_F(VardoConversion, SwedishTextsArriveIntact) {
  CMlxImportJob job(kSourceVardo);
  Convert(job);

  const auto settings = Pending("companySettings");
  ASSERT_EQ(settings.size(), 1u);
  EXPECT_EQ(settings[0]["name"], "Märta Åkesson Bygg AB");
  EXPECT_EQ(settings[0]["address1"], "Sjöbergsgatan 4");
  EXPECT_EQ(settings[0]["city"], "Göteborg");
  const auto has = [this](const char* kind, const char* field, const char* value) {
    const auto records = Pending(kind);
    return std::any_of(records.begin(), records.end(), [&](const auto& r) { return r[field] == value; });
  };
  EXPECT_TRUE(has("articles", "name", "Fönsterbåge, målning"));
  EXPECT_TRUE(has("customers", "name", "Örjans Rör AB"));
  EXPECT_TRUE(has("customers", "note", "Ring före leverans. Portkod 1234, släpp av vid lastkajen."));
  EXPECT_TRUE(has("suppliers", "city", "Skellefteå"));
  EXPECT_TRUE(has("deliveryTerms", "name", "Fritt vårt lager"));
  EXPECT_TRUE(has("deliveryMethods", "name", "Kunden hämtar själv"));
  EXPECT_TRUE(has("customerLedgerItems", "customerName", "Örjans Rör AB"));
  EXPECT_TRUE(has("supplierLedgerItems", "supplierName", "Sjöbergs Trä AB"));
}

TEST_F(VardoConversion, SieFilesArriveByteForByteAsTheEngineWroteThem) {
  CMlxImportJob job(kSourceVardo);
  Convert(job);

  EXPECT_THAT(job.Rows(kImportSie), ::testing::IsEmpty());
  EXPECT_EQ(job.Result(kImportSie), 0);
  auto* sie = dynamic_cast<I_QZ_SIE*>(job.Reader(kImportSie));
  ASSERT_NE(sie, nullptr);
  const auto received = Pending("sie");
  for (const auto& [year, path, name] : {std::tuple{"currentYear", sie->GetFilePath(), "SIE.SE"},
                                         std::tuple{"previousYear", sie->GetFilePathPreviousYear(), "SIEPREV.SE"}}) {
    SCOPED_TRACE(year);
    ASSERT_EQ(fs::path(path).filename(), name);
    const auto made = platform::ReadWholeFile(path);
    ASSERT_TRUE(made);
    EXPECT_THAT(*made, ::testing::HasSubstr("#PROGRAM \"PyxBase5\""));
    EXPECT_EQ(received[year]["fileName"], name);
    EXPECT_EQ(cloud_standin::ReceivedFileBytes(received[year]), *made);
  }
}

}  // namespace
