#include "sources/sqladmin/delivery_readers.h"

#include <gtest/gtest.h>

#include <memory>

#include "sources/sqladmin/sql_company_test_support.h"

namespace {

using sqladmin_test::CompanyConnection;

std::vector<std::pair<std::string, std::string>> ReadAll(I_QZ_Base& base, auto& reader) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (bool more = base.MoveFirst(); more; more = base.MoveNext()) rows.emplace_back(reader.GetCode(), reader.GetName());
  return rows;
}

using Rows = std::vector<std::pair<std::string, std::string>>;

TEST_F(CompanyConnection, DeliveryReadersListCodeAndTextByCode) {
  const std::string folder = Company(
      "ftg",
      "CREATE TABLE LEVVILLK (LEVVILLK VARCHAR(4), TEXT NVARCHAR(40));"
      "INSERT INTO LEVVILLK VALUES ('FVL', 'Fritt vårt lager');"
      "INSERT INTO LEVVILLK VALUES ('FK', NULL);"
      "INSERT INTO LEVVILLK VALUES ('AB', 'Fritt Åkarens lager');"
      "CREATE TABLE LEVSAETT (LEVSAETT VARCHAR(4), TEXT NVARCHAR(40));"
      "INSERT INTO LEVSAETT VALUES ('PO', 'Posten');"
      "INSERT INTO LEVSAETT VALUES ('BIL', 'Bil')");
  // Through the interfaces, as the upload jobs hold them.
  std::unique_ptr<I_QZ_DeliveryTerms> terms = std::make_unique<CSqlAdminDeliveryTermsDb>(folder);
  EXPECT_TRUE(terms->IsAvailable());
  EXPECT_EQ(terms->GetRecordCount(), 0);
  EXPECT_EQ(ReadAll(*terms, *terms), (Rows{{"AB", "Fritt Åkarens lager"}, {"FK", ""}, {"FVL", "Fritt vårt lager"}}));
  EXPECT_EQ(ReadAll(*terms, *terms).size(), 3u);  // a second walk starts again

  std::unique_ptr<I_QZ_DeliveryMethods> methods = std::make_unique<CSqlAdminDeliveryMethodsDb>(folder);
  EXPECT_EQ(ReadAll(*methods, *methods), (Rows{{"BIL", "Bil"}, {"PO", "Posten"}}));
}

TEST_F(CompanyConnection, DeliveryReadersOfAnEmptyMissingOrUnreachableTableReadNothing) {
  const std::string empty = Company("empty", "CREATE TABLE LEVVILLK (LEVVILLK VARCHAR(4), TEXT NVARCHAR(40))");
  CSqlAdminDeliveryTermsDb terms(empty);
  EXPECT_FALSE(terms.MoveFirst());
  CSqlAdminDeliveryMethodsDb missing(empty);  // LEVSAETT is not in the database
  EXPECT_TRUE(missing.connectionError());
  EXPECT_FALSE(missing.MoveFirst());
  EXPECT_EQ(missing.GetCode(), "");

  CSqlAdminDeliveryTermsDb unreachable(Company("gone", ""));
  EXPECT_TRUE(unreachable.IsAvailable());
  EXPECT_FALSE(unreachable.MoveFirst());
  EXPECT_EQ(unreachable.GetCode(), "");
  EXPECT_EQ(unreachable.GetName(), "");
}

}  // namespace
