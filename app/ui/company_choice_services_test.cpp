// The company-choice step's services over a job, a generated DBF company and the cloud stand-in.
#include "app/ui/company_choice_services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/import_job.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/folders.h"
#include "tools/cloud_standin/standin_process.h"
#include "tools/samplecompany/sample_company.h"

namespace {

using ::testing::ElementsAre;
namespace fs = std::filesystem;

class ChoiceServices : public testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    folder_ = *platform::MakeUniqueFolder(platform::TempFolder(), "choice-services-test-");
    KLCRMiscFunc::SetIniPath(folder_.string());
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Company(const std::string& name, samplecompany::SampleOptions options) {
    const fs::path company = folder_ / name;
    samplecompany::WriteSampleCompany(company, options);
    return company.string();
  }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  fs::path folder_;
};

TEST_F(ChoiceServices, AnswerFromTheJobAndTheCompanysTables) {
  const std::string unlinked = Company("fri", {});
  samplecompany::SampleOptions linkedOptions;
  linkedOptions.cloudLinkId = "KL-17";
  const std::string linked = Company("länkad", linkedOptions);

  CMlxImportJob job(kSourceAdmin);
  ASSERT_TRUE(job.SelectSourceCompany(unlinked));
  JobCompanyChoiceServices services(job);

  const auto companies = services.GetSourceCompanies();
  ASSERT_EQ(companies.size(), 1u);  // a desktop program chose the company
  EXPECT_EQ(companies[0].path, unlinked);
  EXPECT_EQ(companies[0].name, samplecompany::kCompanyName);

  std::vector<std::string> codes, entries;
  EXPECT_TRUE(services.ListPriceLists(unlinked, 1000, codes, entries));
  EXPECT_THAT(codes, ElementsAre("1", "2"));
  EXPECT_THAT(entries, ElementsAre("1 - Grundpris (Exkl moms)", "2 - Butikspris inkl moms (Inkl moms)"));
  codes.clear(), entries.clear();
  EXPECT_FALSE(services.ListPriceLists(unlinked, 200, codes, entries));
  EXPECT_TRUE(codes.empty());

  EXPECT_TRUE(services.IsKlLinkEmpty(unlinked));
  EXPECT_FALSE(services.IsKlLinkEmpty(linked));
}

TEST_F(ChoiceServices, TokenAndHelpBaseComeFromTheService) {
  CMlxImportJob job;
  job.SetEmail("anna@example.se");
  job.SetPassword("hemligt");
  ASSERT_TRUE(job.SetCredentials());
  job.SetCloudCompany({"556677-8899", "Åsa Öberg AB", "c-1001", "SE", 1, 1001});
  JobCompanyChoiceServices services(job);

  EXPECT_EQ(services.FetchApiToken(), klcr::kOk);
  EXPECT_FALSE(job.ApiToken().empty());
  job.SetCloudCompany({"", "", "c-okänd", "SE", 1, 0});
  EXPECT_EQ(services.FetchApiToken(), 404);
  EXPECT_TRUE(job.ApiToken().empty());

  EXPECT_EQ(services.GetHelpBaseUrl(), cloud_.BaseUrl() + "/help");
}

}  // namespace
