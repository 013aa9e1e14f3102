// The readers of this folder over the sample company, walked as the upload job
// walks them, in every table format and code page the generator writes.
#include <gtest/gtest.h>

#include "sources/admin/article_reader.h"
#include "sources/admin/company_settings.h"
#include "sources/admin/delivery_readers.h"
#include "platform/fake/scoped_environment.h"
#include "sources/admin/testing/reader_walk.h"
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
  void Write(int ordinaryArticles) {
    samplecompany::SampleOptions options;
    options.articles = ordinaryArticles;
    options.customers = options.suppliers = options.customerInvoices = options.supplierInvoices = 0;
    options.format = GetParam().format;
    options.codePage = GetParam().codePage;
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

}  // namespace
