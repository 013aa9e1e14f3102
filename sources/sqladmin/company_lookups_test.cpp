#include <gtest/gtest.h>

#include "sources/sqladmin/data_source.h"
#include "sources/sqladmin/sql_company_test_support.h"

namespace {

using sqladmin_test::CompanyConnection;

TEST_F(CompanyConnection, LookUpsReadTheOrganisationNumberAndCloudLinkAsStored) {
  const struct {
    const char* name;
    const char* row;  // nullptr: no database at all
    const char* orgNr;
    const char* link;
  } cases[] = {
      {"linked", "'5566-12 ', 'abc-123'", "5566-12 ", "abc-123"},
      {"unlinked", "'556677-8899', NULL", "556677-8899", ""},
      {"gone", nullptr, "", ""},
  };
  for (const auto& c : cases) {
    const std::string sql =
        c.row ? std::string("CREATE TABLE PRM (ORGNR VARCHAR(13), KL_FKRECID VARCHAR(40));INSERT INTO PRM VALUES (") +
                    c.row + ")"
              : "";
    DataSourceInfo info;
    ASSERT_TRUE(ReadDataSourceIni(info, Company(c.name, sql)));
    EXPECT_EQ(ReadCompanyOrgNr(info), c.orgNr) << c.name;
    EXPECT_EQ(ReadCompanyCloudLinkId(info), c.link) << c.name;
  }
}

TEST_F(CompanyConnection, PriceListsInSekAreListedByCode) {
  const std::string folder = Company(
      "ftg",
      "CREATE TABLE PRISL (PRISL VARCHAR(10), BENAEMN NVARCHAR(30), INKLMOMS BIT, VALUTAKOD VARCHAR(3));"
      "INSERT INTO PRISL VALUES ('B', 'Grossist', 0, 'SEK');"
      "INSERT INTO PRISL VALUES ('A', 'Bas å', 1, 'SEK');"
      "INSERT INTO PRISL VALUES ('E', 'Export', 0, 'EUR');"
      "INSERT INTO PRISL VALUES ('C', 'Kampanj', 0, NULL)");
  std::vector<std::string> codes{"earlier"};
  std::vector<std::string> lines;
  FillPriceListCombo(codes, lines, folder);
  EXPECT_EQ(codes, (std::vector<std::string>{"earlier", "A", "B"}));
  EXPECT_EQ(lines, (std::vector<std::string>{"A - Bas å (Inkl moms)", "B - Grossist (Exkl moms)"}));

  codes.clear();
  lines.clear();
  FillPriceListCombo(codes, lines, Company("gone", ""));
  tree_.MakeFolder("nosource");
  FillPriceListCombo(codes, lines, (tree_ / "nosource").string());
  FillPriceListCombo(codes, lines, Company("noprices", "CREATE TABLE PRM (ORGNR VARCHAR(13))"));
  EXPECT_TRUE(codes.empty());
  EXPECT_TRUE(lines.empty());
}

}  // namespace
