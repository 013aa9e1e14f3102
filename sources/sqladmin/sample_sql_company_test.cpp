// The SQL readers over the generated sample SQL company, as the demo opens it.
#include <gtest/gtest.h>

#include "sources/sqladmin/company_settings.h"
#include "sources/sqladmin/delivery_readers.h"
#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_sql_company.h"

namespace {

using sqladmin_test::CompanyConnection;

TEST_F(CompanyConnection, TheSampleSqlCompanyReadsThroughEveryBuiltReader) {
  const std::string folder = (tree_ / "Sjobergs").string();
  samplecompany::WriteSampleSqlCompany(folder, tree_ / "program");

  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, folder));
  EXPECT_EQ(info.displayName, "Åkerbergs Järn & Trä AB");
  EXPECT_EQ(ReadCompanyOrgNr(info), "556677-8899");
  EXPECT_EQ(ReadCompanyCloudLinkId(info), "");

  std::vector<std::string> codes, lines;
  FillPriceListCombo(codes, lines, folder);
  EXPECT_EQ(lines, (std::vector<std::string>{"A - Baspris å (Inkl moms)", "B - Grossist (Exkl moms)"}));

  CSqlAdminCompanySettingsDb company(folder);
  EXPECT_EQ(company.GetName(), "Åkerbergs Järn & Trä AB");
  EXPECT_EQ(company.GetPhone(), "063-123456");
  EXPECT_EQ(company.GetCompanyType(), 1);
  EXPECT_EQ(company.GetExportApplication(), 3);
  EXPECT_EQ(company.GetVatPeriod(), 4);
  EXPECT_EQ(company.GetNextCustomerInvoiceNumber(), 10001);
  EXPECT_EQ(company.GetCompanyBankAccountBban(), "12345678901");

  CSqlAdminDeliveryTermsDb terms(folder);
  ASSERT_TRUE(terms.MoveFirst());
  EXPECT_EQ(terms.GetCode(), "FK");
  EXPECT_EQ(terms.GetName(), "");
  ASSERT_TRUE(terms.MoveNext());
  EXPECT_EQ(terms.GetName(), "Fritt vårt lager");
  EXPECT_FALSE(terms.MoveNext());
  CSqlAdminDeliveryMethodsDb methods(folder);
  ASSERT_TRUE(methods.MoveFirst());
  EXPECT_EQ(methods.GetName(), "Egen bil, Åre");
}

}  // namespace
