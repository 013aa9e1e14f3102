#include "app/desktop/company_identification.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "app/desktop/desktop_tree_test_support.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/held_lock.h"

namespace {
using desktop_test::DbfCompany;
using desktop_test::DesktopTree;

SourceCompany Admin(int product, int edition, double version, std::string path, std::string orgNo,
                    std::string name) {
  return {kSourceAdmin, product, edition, version, version >= 5.0, std::move(path), std::move(orgNo),
          std::move(name)};
}

TEST(IdentifyCompany, DbfCompanies) {
  DesktopTree t;
  struct Case {
    DbfCompany prm;
    int product, edition;  // 0: no company
    double version;
  };
  const Case cases[] = {
      {{.productCode = "1", .version = "6.0"}, 1, 1000, 6.0},
      {{.productCode = "0"}, 1, 200, 6.0},
      {{.productCode = "2"}, 1, 2000, 6.0},
      {{.productCode = "5XY"}, 1, 500, 6.0},  // only the first character counts
      {{.productCode = "F"}, 2, 800, 6.0},
      {{.productCode = "W"}, 3, 400, 6.0},
      {{.productCode = "f"}, 0, 0, 0},
      {{.productCode = "3"}, 0, 0, 0},
      {{.productCode = ""}, 0, 0, 0},
      {{.prg = "adm"}, 0, 0, 0},
      {{.prg = "FOR"}, 0, 0, 0},
      {{.version = "4.99"}, 1, 1000, 4.99},  // identified, not supported
      {{.version = "5.0"}, 1, 1000, 5.0},
      {{.version = ""}, 1, 1000, 0.0},
      {{.version = "ny"}, 1, 1000, 0.0},
  };
  int n = 0;
  for (Case c : cases) {
    const std::string folder = "F" + std::to_string(n++);
    c.prm.orgNo = " 556036 -0793";
    c.prm.name = "Åkeriet AB";
    t.Dbf(folder, c.prm);
    const SourceCompany expected =
        c.product == 0 ? SourceCompany{} : Admin(c.product, c.edition, c.version, t(folder), "556036-0793", "Åkeriet AB");
    EXPECT_EQ(IdentifyCompany(t(folder), true), expected) << folder;
    EXPECT_EQ(IdentifyCompany(t(folder), false), expected) << folder;  // a DBF company's number is always read
  }
  EXPECT_EQ(IdentifyCompany(t("Missing"), true), SourceCompany{});
  t.Folder("Empty");
  EXPECT_EQ(IdentifyCompany(t("Empty"), true), SourceCompany{});
}

// Another program's write lock on PRM.DBF leaves the company out, and the log
// says why; its record lock past the end of the file (as xBase programs take
// them) hinders nothing.
TEST(IdentifyCompany, ALockedPrmLeavesTheCompanyOutWithALogLine) {
  DesktopTree t;
  t.Dbf("F", {.orgNo = "556036-0793", .name = "Åkeriet AB"});
  const std::string prm = t("F") + "/PRM.DBF";
  for (const off_t start : {0L, 1000000000L, 0x7FFFFFFEL}) {
    SCOPED_TRACE(start);
    platform::fake::CapturedLog log;
    std::optional<platform::fake::HeldWriteLock> lock;
    lock.emplace(prm, start, start == 0 ? 0 : 1);
    const SourceCompany company = IdentifyCompany(t("F"), true);
    if (start == 0) {
      EXPECT_EQ(company, SourceCompany{});
      EXPECT_THAT(log.Lines(), ::testing::Contains("Företaget i " + t("F") +
                                                   " kan inte läsas: another program holds the file locked"));
    } else {
      EXPECT_EQ(company.name, "Åkeriet AB");
      EXPECT_THAT(log.Lines(), ::testing::IsEmpty());
    }
  }
}

TEST(IdentifyCompany, SqlCompaniesAreReadFromTheirIniFile) {
  DesktopTree t;
  t.Sql("Sql", "Molnet AB", "W2", "2018.1");
  // Without a reachable database the organisation number is empty.
  const SourceCompany expected = Admin(3, 400, 2018.1, t("Sql"), "", "Molnet AB");
  EXPECT_EQ(IdentifyCompany(t("Sql"), true), expected);
  EXPECT_EQ(IdentifyCompany(t("Sql"), false), expected);

  // Both an ftg.ini naming a database and a PRM.DBF: an SQL company.
  t.Sql("Both", "Från ini", "0", "4.5");
  t.Dbf("Both", {.orgNo = "5560360793", .name = "Från DBF"});
  EXPECT_EQ(IdentifyCompany(t("Both"), true), Admin(1, 200, 4.5, t("Both"), "", "Från ini"));

  t.Sql("Unknown", "Okänd AB", "X", "2018");
  EXPECT_EQ(IdentifyCompany(t("Unknown"), true), SourceCompany{});
}

TEST(IdentifyCompany, SqlOrDbfAndTheCloudLink) {
  DesktopTree t;
  t.Sql("Sql", "Molnet AB", "1", "2018");
  t.File("DbName/ftg.ini", "[DataSource]\nDBName=ftg7\n");  // the database name alone will do
  t.File("NoSource/ftg.ini", "[DataSource]\nDBInstance=srv\n");
  t.Dbf("Linked", {.orgNo = "5560360793", .cloudLink = "7d4c2a9e-0001"});
  t.Dbf("Unlinked", {.orgNo = "5560360793"});

  EXPECT_TRUE(IsSqlCompany(t("Sql")));
  EXPECT_TRUE(IsSqlCompany(t("DbName")));
  EXPECT_FALSE(IsSqlCompany(t("NoSource")));
  EXPECT_FALSE(IsSqlCompany(t("Linked")));
  EXPECT_FALSE(IsSqlCompany(""));

  EXPECT_FALSE(IsKlLinkEmpty(t("Linked")));
  EXPECT_TRUE(IsKlLinkEmpty(t("Unlinked")));
  EXPECT_TRUE(IsKlLinkEmpty(t("Sql")));  // its database cannot be reached
  EXPECT_TRUE(IsKlLinkEmpty(t("Missing")));
}

TEST(NormalizeOrgNo, TheComparisonForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"556036-0793", "556036-0793"}, {"5560360793", "556036-0793"},   {"165560360793", "556036-0793"},
      {"556 036 0793", "556036-0793"}, {"5560360793-0", "55603607930"},  // 11 digits stay digits
      {"12345", "12345"},             {"", ""},                        {"ab-c", ""},
      {"19811218-9876", "811218-9876"},
  };
  for (const auto& [text, normal] : cases) EXPECT_EQ(NormalizeOrgNo(text), normal) << text;
}

}  // namespace
