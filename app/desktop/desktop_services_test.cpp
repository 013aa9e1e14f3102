#include "app/desktop/desktop_services.h"

#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "app/desktop/desktop_tree_test_support.h"
#include "platform/fake/scoped_environment.h"

namespace {
namespace fs = std::filesystem;
using platform::fake::ScopedEnv;
using platform::fake::TempTree;

TEST(CreateExportTempFolder, MakesANewEmptyFolderEachCall) {
  TempTree tree;
  ScopedEnv tmp("TMPDIR", tree.root().string());
  std::set<std::string> made;
  for (int i = 0; i < 3; ++i) {
    const std::string folder = CreateExportTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(folder).parent_path(), tree.root());
    EXPECT_EQ(fs::path(folder).filename().string().substr(0, 3), "mli");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    made.insert(folder);
  }
  EXPECT_EQ(made.size(), 3u);
}

TEST(CreateExportTempFolder, EveryFolderMadeIsRemovedWithItsFiles) {
  TempTree tree;
  ScopedEnv tmp("TMPDIR", tree.root().string());
  const fs::path first = CreateExportTempFolder();
  const fs::path second = CreateExportTempFolder();
  std::ofstream(first / "SIE.SE") << "#FLAGGA 0\r\n";
  std::ofstream(second / "SIEPREV.SE") << "#FLAGGA 0\r\n";
  RemoveExportTempFolders();
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_TRUE(fs::is_empty(tree.root()));
}

TEST(CreateExportTempFolder, ReportsFailureWithTheEmptyText) {
  // /proc is a folder in which nobody, root included, can make one.
  ScopedEnv tmp("TMPDIR", "/proc");
  EXPECT_EQ(CreateExportTempFolder(), "");
}

TEST(GetHelpPagePath, OnePagePerEdition) {
  EXPECT_EQ(GetHelpPagePath(200),
            "/tessal-administration-200/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(2000),
            "/tessal-administration-2000/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(400), "/tessal-fakturering/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(800), "/tessal-forening/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(750), "");
  EXPECT_EQ(GetHelpPagePath(0), "");
}

// PRISL.DBF with the given records {PRISL, VALUTAKOD, BENAEMN, INKLMOMS}; the
// first `deleted` records are marked deleted.
void WritePriceLists(const desktop_test::DesktopTree& t, const std::string& folder,
                     const std::vector<std::vector<std::string>>& records, std::size_t deleted = 0) {
  fixtures::DbfWriter prisl(fixtures::DbfFormat::DBase3,
                            {{"PRISL", 'C', 4}, {"VALUTAKOD", 'C', 3}, {"BENAEMN", 'C', 30}, {"INKLMOMS", 'L', 1}});
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i < deleted) {
      prisl.AddDeleted(records[i]);
    } else {
      prisl.Add(records[i]);
    }
  }
  prisl.WriteTo(t.root() / folder / "PRISL.DBF");
}

struct PriceLists {
  bool applies = false;
  std::vector<std::string> codes, lines;
};
PriceLists List(const std::string& folder, int edition) {
  PriceLists out;
  out.applies = ListPriceLists(folder, edition, &out.codes, &out.lines);
  return out;
}

TEST(ListPriceLists, TheSekPriceListsInFileOrder) {
  desktop_test::DesktopTree t;
  t.Dbf("Ftg", {.orgNo = "5560360793", .currency = "SEK"});
  WritePriceLists(t, "Ftg",
                  {{"9", "SEK", "Borttagen", "F"},  // deleted
                   {"1", "SEK", "Grundpris", "F"},
                   {"2", "EUR", "Export", "F"},
                   {"3", "", "Butik", "T"},  // the company's currency
                   {"4", "SEK", "Åhörare", "t"}},
                  1);
  const auto lists = List(t("Ftg"), 1000);
  EXPECT_TRUE(lists.applies);
  EXPECT_EQ(lists.codes, (std::vector<std::string>{"1", "3", "4"}));
  EXPECT_EQ(lists.lines,
            (std::vector<std::string>{"1 - Grundpris (Exkl moms)", "3 - Butik (Inkl moms)", "4 - Åhörare (Inkl moms)"}));

  // Edition 200 has no price lists at all.
  const auto none = List(t("Ftg"), 200);
  EXPECT_FALSE(none.applies);
  EXPECT_TRUE(none.codes.empty());
  EXPECT_TRUE(none.lines.empty());
}

TEST(ListPriceLists, CurrencyFallsBackToTheCompanysThenSek) {
  desktop_test::DesktopTree t;
  t.Dbf("Euro", {.currency = "EUR"});
  WritePriceLists(t, "Euro", {{"1", "", "Grundpris", "F"}, {"2", "EUR", "Export", "F"}});
  t.Dbf("NoCurrency", {});
  WritePriceLists(t, "NoCurrency", {{"1", "", "Grundpris", "F"}});
  t.Folder("NoTables");
  t.Dbf("AllDeleted", {});
  WritePriceLists(t, "AllDeleted", {{"1", "SEK", "Grundpris", "F"}}, 1);

  const auto euro = List(t("Euro"), 500);
  EXPECT_TRUE(euro.applies);  // all in another currency: nothing, yet price lists apply
  EXPECT_TRUE(euro.codes.empty());
  EXPECT_EQ(List(t("NoCurrency"), 500).codes, std::vector<std::string>{"1"});
  for (const char* folder : {"NoTables", "AllDeleted"}) {
    const auto lists = List(t(folder), 2000);
    EXPECT_TRUE(lists.applies) << folder;
    EXPECT_TRUE(lists.codes.empty()) << folder;
  }
}

TEST(ListPriceLists, AnSqlCompanyAsksItsDatabase) {
  desktop_test::DesktopTree t;
  t.Sql("Sql", "Molnet AB", "1", "2018");
  WritePriceLists(t, "Sql", {{"1", "SEK", "Ska inte läsas", "F"}});  // a PRISL.DBF beside it is not read
  const auto lists = List(t("Sql"), 1000);
  EXPECT_TRUE(lists.applies);
  EXPECT_TRUE(lists.codes.empty());  // no database can be reached here
}

}  // namespace
