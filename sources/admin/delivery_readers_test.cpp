#include "sources/admin/delivery_readers.h"

#include <gtest/gtest.h>

#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;

// Both readers are built alike; each test runs over both tables.
template <class Reader>
struct CodeTable;
template <>
struct CodeTable<CAdminDeliveryTermsDb> {
  static constexpr const char* kFile = "LEVVILLK.DBF";
  static constexpr const char* kCode = "LEVVILLK";
};
template <>
struct CodeTable<CAdminDeliveryMethodsDb> {
  static constexpr const char* kFile = "LEVSAETT.DBF";
  static constexpr const char* kCode = "LEVSAETT";
};

template <class Reader>
class DeliveryReaderTest : public ::testing::Test {
 protected:
  using Table = CodeTable<Reader>;
  CompanyFolder company;
};

using DeliveryReaders = ::testing::Types<CAdminDeliveryTermsDb, CAdminDeliveryMethodsDb>;
TYPED_TEST_SUITE(DeliveryReaderTest, DeliveryReaders);

template <class Record>
std::vector<std::pair<std::string, std::string>> CodesAndNames(const std::vector<Record>& records) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& r : records) out.emplace_back(r.code, r.name);
  return out;
}

TYPED_TEST(DeliveryReaderTest, UploadsEveryLiveRecordAsStored) {
  using T = typename TestFixture::Table;
  this->company.Write(T::kFile, Table({Char(T::kCode, 6), Char("TEXT", 30)})
                                    .AddDeleted({"BORT", "Borttagen"})
                                    .Add({"FVL", "Fritt vårt lager"})
                                    .Add({"", "Utan kod"})
                                    .Add({"  PÅ ", "Mottagaren betalar frakt"})
                                    .AddDeleted({"SIST", "Borttagen sist"}));
  TypeParam reader(this->company.path());
  EXPECT_TRUE(reader.IsAvailable());
  EXPECT_EQ(reader.GetRecordCount(), 0);

  auto walked = Walk(reader);

  // Leading blanks of a character field stay; trailing ones go.
  EXPECT_EQ(CodesAndNames(walked.records),
            (std::vector<std::pair<std::string, std::string>>{
                {"FVL", "Fritt vårt lager"}, {"", "Utan kod"}, {"  PÅ", "Mottagaren betalar frakt"}}));
  EXPECT_TRUE(walked.rows.empty());
  EXPECT_TRUE(reader.IsAvailable());
}

TYPED_TEST(DeliveryReaderTest, MissingColumnsGiveEmptyTexts) {
  using T = typename TestFixture::Table;
  this->company.Write(T::kFile, Table({Char(T::kCode, 6)}).Add({"POST"}));
  TypeParam withoutNames(this->company.path());
  EXPECT_EQ(CodesAndNames(Walk(withoutNames).records),
            (std::vector<std::pair<std::string, std::string>>{{"POST", ""}}));

  this->company.Write(T::kFile, Table({Char("TEXT", 30)}).Add({"Posten"}));
  TypeParam withoutCodes(this->company.path());
  EXPECT_EQ(CodesAndNames(Walk(withoutCodes).records),
            (std::vector<std::pair<std::string, std::string>>{{"", "Posten"}}));
}

TYPED_TEST(DeliveryReaderTest, MissingOrEmptyTableReadsAsEmpty) {
  using T = typename TestFixture::Table;
  TypeParam missing(this->company.path());
  auto walked = Walk(missing);
  EXPECT_EQ(walked.visited, 0);
  EXPECT_TRUE(walked.rows.empty());

  this->company.Write(T::kFile, Table({Char(T::kCode, 6), Char("TEXT", 30)}).AddDeleted({"X", "Borta"}));
  TypeParam onlyDeleted(this->company.path());
  EXPECT_EQ(Walk(onlyDeleted).visited, 0);
}

}  // namespace
