#include "tools/samplecompany/sample_company.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lumdb/record/dbf_table.h"
#include "platform/fake/scoped_environment.h"
#include "platform/profile.h"
#include "sources/admin/parameter_tables.h"

namespace samplecompany {
namespace {

struct Variant {
  fixtures::DbfFormat format;
  platform::CodePage codePage;
};

class SampleCompany : public ::testing::TestWithParam<Variant> {};

TEST_P(SampleCompany, EveryTableReadsCleanlyWithTheAskedSizes) {
  platform::fake::TempTree tree;
  SampleOptions options;
  options.articles = 30;
  options.customers = 7;
  options.suppliers = 0;
  options.customerInvoices = 11;
  options.supplierInvoices = 3;
  options.format = GetParam().format;
  options.codePage = GetParam().codePage;
  WriteSampleCompany(tree / "Åsa Öberg AB", options);

  const std::pair<const char*, int> counts[] = {
      {"PRM.DBF", 1},       {"PRM2.DBF", 1},      {"NEWNUM.DBF", 6},   {"ART.DBF", 8 + 30},  {"PRIS.DBF", 8 + 60},
      {"PRISL.DBF", 4},     {"ARTBEN.DBF", 4 + 10}, {"ENHKOD.DBF", 6}, {"ARTKNT.DBF", 4},   {"KUND.DBF", 6 + 7},
      {"LEV.DBF", 7},       {"KONTAKT.DBF", 5},   {"BETVILLK.DBF", 6}, {"LEVVILLK.DBF", 5}, {"LEVSAETT.DBF", 4},
      {"OOF.DBF", 11 + 11 + 2}, {"LEVFKT.DBF", 10 + 3}, {"BOKFAAR.DBF", 4}, {"KONTO.DBF", 23}};
  for (const auto& [name, count] : counts) {
    lumdb::dbf_table_c table((tree / "Åsa Öberg AB" / name).string());
    ASSERT_TRUE(table.is_open()) << name;
    EXPECT_THAT(table.problems(), ::testing::IsEmpty()) << name;
    EXPECT_EQ(table.record_count(), count) << name;
    EXPECT_EQ(table.code_page(), options.codePage) << name;
  }

  CAdminPrm prm((tree / "Åsa Öberg AB").string());
  EXPECT_EQ(prm.GetOrgNr(), "556677-8899");
  EXPECT_EQ(prm.GetName(), "Åsa Öberg AB");
  EXPECT_EQ(prm.GetPrg(), "ADM");
  EXPECT_EQ(prm.GetPrgType(), "1");
  EXPECT_EQ(prm.GetKlFkRecId(), "");

  lumdb::dbf_table_c methods((tree / "Åsa Öberg AB" / "LEVSAETT.DBF").string());
  ASSERT_FALSE(methods.read_record(2));
  EXPECT_EQ(methods.field_text(methods.field_index("TEXT")), "Kunden hämtar själv");
  EXPECT_EQ(platform::GetProfileInt(tree / "Åsa Öberg AB" / "ftg.ini", "Company", "CurrencyClient", 0), 1);
}

INSTANTIATE_TEST_SUITE_P(Variants, SampleCompany,
                         ::testing::Values(Variant{fixtures::DbfFormat::DBase3, platform::CodePage::Windows1252},
                                           Variant{fixtures::DbfFormat::VisualFoxPro, platform::CodePage::Cp850}));

}  // namespace
}  // namespace samplecompany
