#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/desktop/company_lists.h"
#include "platform/fake/captured_log.h"

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

// The company list leaves out an SQL company whose number cannot be read; the log
// names its folder and why, whatever is wrong with its database.
TEST_F(CompanyConnection, TheCompanyListLogsEachSqlCompanyItLeavesOutAndWhy) {
  const std::string prm = "CREATE TABLE PRM (ORGNR VARCHAR(13));INSERT INTO PRM VALUES ('556677-8899')";
  Company("list/good", prm);
  Company("list/gone", "");
  Company("list/random", "");
  tree_.Write("list/random.db", std::string(4096, '\x5a'));
  Company("list/empty", "");
  tree_.Write("list/empty.db", "");
  Company("list/folder", "");
  tree_.MakeFolder("list/folder.db");
  Company("list/fifo", "");
  ASSERT_EQ(mkfifo((tree_ / "list" / "fifo.db").c_str(), 0600), 0);
  const struct {
    const char* folder;
    const char* why;  // in the driver's words
  } leftOut[] = {
      {"empty", "no such table: PRM"}, {"fifo", "connect failed"}, {"folder", "connect failed"},
      {"gone", "connect failed"}, {"random", "file is not a database"},
  };

  platform::fake::CapturedLog log;
  std::vector<SourceCompany> companies;
  FindCompaniesByOrgNo((tree_ / "list").string(), &companies, "556677-8899");
  ASSERT_EQ(companies.size(), 1u);
  EXPECT_EQ(companies[0].path, (tree_ / "list" / "good").string());
  std::vector<std::string> lines;
  for (const std::string& line : log.Lines())
    if (line.starts_with("Företaget i ")) lines.push_back(line);
  ASSERT_EQ(lines.size(), std::size(leftOut));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].starts_with("Företaget i " + (tree_ / "list" / leftOut[i].folder).string() + " kan inte läsas"))
        << lines[i];
    EXPECT_NE(lines[i].find(leftOut[i].why), std::string::npos) << lines[i];
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
