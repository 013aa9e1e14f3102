#include "sources/admin/article_reader.h"

#include <gtest/gtest.h>

#include "sources/admin/testing/company_folder.h"
#include "sources/admin/testing/reader_walk.h"

namespace {

using namespace reader_walk;

const char* const kNoPriceList = "Det finns ingen prislista i SEK så inga priser kommer att överföras.";

fixtures::DbfWriter ArticleTable() {
  return Table({Logical("INAKTIV"), Char("ARTNR", 16), Char("BENAEMN", 40), Char("ENHKOD", 4), Char("KONTKOD", 4),
                Numeric("ILAGER", 10, 2), Numeric("H_TYPID", 3)});
}
fixtures::DbfWriter PriceTable() {
  return Table({Char("PRISL", 4), Char("ARTNR", 16), Numeric("PRIS", 12, 2), Logical("GRUND")});
}
fixtures::DbfWriter PriceListTable() {
  return Table({Char("PRISL", 4), Char("VALUTAKOD", 3), Char("BENAEMN", 30), Logical("INKLMOMS")});
}
fixtures::DbfWriter ArticleNameTable() { return Table({Char("SPRAAKKOD", 2), Char("ARTNR", 16), Char("BENAEMN", 40)}); }
fixtures::DbfWriter UnitTable() {
  return Table({Char("ENHKOD", 4), Char("ISO", 3), Char("TEXT", 20), Logical("INHEMSK")});
}

// A small company whose register shows every rule of the reader once.
void WriteTradingCompany(const CompanyFolder& company) {
  company.Write("ART.DBF", ArticleTable()
                               .Add({"F", "1001", "Skruv rostfri 4x40", "st", "01", "1250.00", ""})
                               .Add({"T", "1002", "Utgången färg", "l", "01", "0.00", ""})
                               .Add({"", "1003", "Målning, timpris", "tim", "02", "0.00", "1"})
                               .AddDeleted({"F", "1009", "Borttagen", "st", "01", "0.00", ""})
                               .Add({"", "1004", "Ädelträ ek", "kg", "09", "17.50", "43"}));
  company.Write("PRIS.DBF", PriceTable()
                                .Add({"A", "1001", "125.50", "T"})
                                .Add({"A", "1001", "99.00", "T"})   // a later base price does not count
                                .Add({"A", "1003", "450.00", "F"})  // nor one that is not a base price
                                .Add({"B", "1003", "600.00", "T"})  // nor one of another list
                                .AddDeleted({"A", "1003", "1.00", "T"})
                                .Add({"A", "1003", "480.00", "t"})
                                .Add({"A", "1004", "320.00", "F"}));
  company.Write("PRISL.DBF", PriceListTable().Add({"A", "SEK", "Grundpris", "F"}).Add({"B", "SEK", "Butik", "T"}));
  company.Write("ARTBEN.DBF", ArticleNameTable()
                                  .Add({"EN", "1001", "Stainless screw 4x40"})
                                  .Add({"en", "1003", "Painting per hour"})  // language codes are exact
                                  .Add({"DE", "1004", "Eiche"})
                                  .Add({"EN", "1001", "Screw"}));
  company.Write("ENHKOD.DBF", UnitTable()
                                  .Add({"st", "PCE", "Styck", "T"})
                                  .Add({"tim", "HUR", "Timme", "T"})
                                  .Add({"kg", "KGM", "Kilogram", "F"}));
  company.Write("ARTKNT.DBF", Table({Char("KONTKOD", 4), Char("BENAEMN", 30)})
                                  .AddDeleted({"01", "Borttaget konto"})
                                  .Add({"01", "Varor 25 %"})
                                  .Add({"02", "Tjänster 25 %"})
                                  .Add({"01", "Dubblett"}));
  company.WriteText("ftg.ini", "[Company]\nCurrencyClient=1\n");
}

TEST(ArticleReader, WalksTheLiveActiveArticlesWithTheirSideTables) {
  CompanyFolder company;
  WriteTradingCompany(company);
  CAdminArticleDb reader(company.path(), "A");
  EXPECT_EQ(reader.GetRecordCount(), 5);

  auto walked = Walk(reader);

  ArticleRecord screw{.isActive = true,
                      .number = "1001",
                      .name = "Skruv rostfri 4x40",
                      .nameEnglish = "Stainless screw 4x40",
                      .netPrice = "125.50",
                      .unitCode = "PCE",
                      .unitName = "Styck",
                      .articleAccountCode = "01",
                      .articleAccountName = "Varor 25 %",
                      .stockBalance = "1250.00"};
  ArticleRecord painting{.isActive = true,
                         .number = "1003",
                         .name = "Målning, timpris",
                         .netPrice = "480.00",
                         .unitCode = "HUR",
                         .unitName = "Timme",
                         .articleAccountCode = "02",
                         .articleAccountName = "Tjänster 25 %",
                         .stockBalance = "0.00",
                         .rotRutType = 1};
  ArticleRecord oak{.isActive = true,
                    .number = "1004",
                    .name = "Ädelträ ek",
                    .unitCode = "kg",  // not a domestic unit: passed on as it stands
                    .articleAccountCode = "09",
                    .stockBalance = "17.50",
                    .rotRutType = 26};
  EXPECT_EQ(walked.records, (std::vector<ArticleRecord>{screw, painting, oak}));
  EXPECT_EQ(walked.visited, 4);  // the inactive article is visited and counted, not uploaded
  EXPECT_EQ(walked.counted, 4);
  EXPECT_TRUE(walked.rows.empty());  // an inactive article is refused without a row
}

TEST(ArticleReader, ChosenPriceListDecidesNetOrGrossPrice) {
  struct Case {
    std::string priceList;
    std::string net, gross;
    std::vector<ReportRow> rows;
  };
  const ReportRow warning{"", "", "Misc", "Varning:", kNoPriceList};
  for (const Case& c : std::vector<Case>{
           {"", "", "", {warning}},
           {"N", "100.00", "", {}},
           {"G", "", "125.00", {}},
           {"E", "80.00", "", {}},    // INKLMOMS empty: net
           {"U", "70.00", "", {}},    // not among the price lists: net
           {"Z", "", "", {}}}) {      // no prices in the list: none, and no warning
    SCOPED_TRACE(c.priceList);
    CompanyFolder company;
    company.Write("ART.DBF", ArticleTable().Add({"", "7", "Hyvel", "st", "01", "3.00", ""}));
    company.Write("PRIS.DBF", PriceTable()
                                  .Add({"N", "7", "100.00", "T"})
                                  .Add({"G", "7", "125.00", "T"})
                                  .Add({"E", "7", "80.00", "T"})
                                  .Add({"U", "7", "70.00", "T"}));
    company.Write("PRISL.DBF", PriceListTable()
                                   .Add({"N", "SEK", "Netto", "F"})
                                   .Add({"G", "SEK", "Brutto", "T"})
                                   .Add({"E", "SEK", "Tom", ""})
                                   .Add({"Z", "SEK", "Utan priser", "T"}));
    CAdminArticleDb reader(company.path(), c.priceList);
    auto walked = Walk(reader);
    ASSERT_EQ(walked.records.size(), 1u);
    EXPECT_EQ(walked.records[0].netPrice, c.net);
    EXPECT_EQ(walked.records[0].grossPrice, c.gross);
    EXPECT_EQ(walked.rows, c.rows);
  }
}

TEST(ArticleReader, PriceIsPassedOnAsStored) {
  CompanyFolder company;
  company.Write("ART.DBF", ArticleTable().Add({"", "7", "Hyvel", "st", "01", "3.00", ""}));
  // Right-aligned in a wide numeric field, trailing zeros kept.
  company.Write("PRIS.DBF", Table({Char("PRISL", 4), Char("ARTNR", 16), Numeric("PRIS", 14, 4), Logical("GRUND")})
                                .Add({"N", "7", "1299.5000", "T"}));
  CAdminArticleDb reader(company.path(), "N");
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].netPrice, "1299.5000");
}

TEST(ArticleReader, EnglishNamesOnlyForForeignCurrencyTrade) {
  for (auto [ini, english] : std::vector<std::pair<std::string, std::string>>{
           {"[Company]\nCurrencyClient=1\n", "Plane"},
           {"[Company]\nCurrencyClient=0\nCurrencySupplier=1\n", "Plane"},
           {"[Company]\nCurrencyClient=0\nCurrencySupplier=0\n", ""},
           {"[Company]\nCurrencyClient=2\nCurrencySupplier=2\n", ""},
           {"[Other]\nCurrencyClient=1\n", ""},
           {"", ""}}) {
    SCOPED_TRACE(ini);
    CompanyFolder company;
    company.Write("ART.DBF", ArticleTable().Add({"", "7", "Hyvel", "st", "01", "3.00", ""}));
    company.Write("ARTBEN.DBF", ArticleNameTable().Add({"EN", "7", "Plane"}));
    if (!ini.empty()) company.WriteText("ftg.ini", ini);
    CAdminArticleDb reader(company.path(), "");
    auto walked = Walk(reader);
    ASSERT_EQ(walked.records.size(), 1u);
    EXPECT_EQ(walked.records[0].nameEnglish, english);
  }
}

TEST(ArticleReader, UnitsAreTakenFromTheDomesticUnitsOnly) {
  struct Case {
    std::string unit, code, name;
  };
  CompanyFolder company;
  company.Write("ENHKOD.DBF", UnitTable()
                                  .Add({"st", "PCE", "Styck", "T"})
                                  .Add({"pkt", "", "Paket", "T"})
                                  .Add({"kg", "KGM", "Kilogram", "F"})
                                  .Add({"st", "XXX", "Dubblett", "T"}));
  const std::vector<Case> cases = {{"st", "PCE", "Styck"}, {"pkt", "pkt", "Paket"}, {"kg", "kg", ""},
                                   {"m", "m", ""},         {"", "", ""}};
  auto articles = ArticleTable();
  for (const Case& c : cases) articles.Add({"", "1", "Vara", c.unit, "01", "0", ""});
  company.Write("ART.DBF", articles);

  CAdminArticleDb reader(company.path(), "");
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].unit);
    EXPECT_EQ(walked.records[i].unitCode, cases[i].code);
    EXPECT_EQ(walked.records[i].unitName, cases[i].name);
  }
}

TEST(ArticleReader, RotRutTypes) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0},   {"0", 0},   {"1", 1},   {"2", 1},   {"15", 9},  {"16", 9},  {"29", 17},
      {"30", 17}, {"31", 0}, {"32", 18}, {"37", 22}, {"39", 27}, {"41", 29}, {"42", 28}, {"43", 26},
      {"44", 0}, {"-1", 0}};
  CompanyFolder company;
  auto articles = Table({Char("ARTNR", 4), Char("H_TYPID", 3)});
  for (const auto& c : cases) articles.Add({"1", c.first});
  company.Write("ART.DBF", articles);

  CAdminArticleDb reader(company.path(), "");
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(walked.records[i].rotRutType, cases[i].second) << "H_TYPID " << cases[i].first;
}

// An article value or price that does not read refuses the article with a row
// naming it and the field; a price record that does not read is never passed
// over for a later one. A unit whose domestic flag does not read goes by its
// code alone, with a warning.
TEST(ArticleReader, ValuesThatDoNotReadAreNeverTakenAsOthers) {
  CompanyFolder company;
  company.Write("ART.DBF", ArticleTable()
                               .Add({"x", "1", "Inaktiv?", "st", "01", "1.00", ""})
                               .Add({"F", "2", "Lager", "st", "01", "12a", ""})
                               .Add({"F", "3", "Rot", "st", "01", "0", "x"})
                               .Add({"F", "4", "Grundflagga", "st", "01", "0", ""})
                               .Add({"F", "5", "Pris", "st", "01", "0", ""})
                               .Add({"F", "6", "Hel", "st", "01", "0", ""}));
  company.Write("PRIS.DBF", PriceTable()
                                .Add({"A", "4", "10.00", "Q"})
                                .Add({"A", "4", "20.00", "T"})
                                .Add({"A", "5", "1,50", "T"})
                                .Add({"B", "6", "abc", "T"})  // another list's price is not read
                                .Add({"A", "6", "30.00", "T"}));
  company.Write("PRISL.DBF", PriceListTable().Add({"A", "SEK", "Grundpris", "F"}));
  company.Write("ENHKOD.DBF", UnitTable().Add({"st", "XXX", "Fel", "1"}).Add({"st", "PCE", "Styck", "T"}));
  CAdminArticleDb reader(company.path(), "A");
  auto walked = Walk(reader);

  ArticleRecord whole{.isActive = true, .number = "6", .name = "Hel", .netPrice = "30.00", .unitCode = "st",
                      .articleAccountCode = "01", .stockBalance = "0"};
  EXPECT_EQ(walked.records, (std::vector<ArticleRecord>{whole}));
  auto refused = [](const char* number, const char* name, const char* value, const char* field, const char* file) {
    return ReportRow{number, name, "Error", "Fel:",
                     "Värdet \"" + std::string(value) + "\" i fältet " + field + " i " + file + " kan inte läsas."};
  };
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{
                             refused("1", "Inaktiv?", "x", "INAKTIV", "ART.DBF"),
                             refused("2", "Lager", "12a", "ILAGER", "ART.DBF"),
                             refused("3", "Rot", "x", "H_TYPID", "ART.DBF"),
                             refused("4", "Grundflagga", "Q", "GRUND", "PRIS.DBF"),
                             refused("5", "Pris", "1,50", "PRIS", "PRIS.DBF"),
                             {"", "", "Warning", "Varning:",
                              "Värdet \"1\" i fältet INHEMSK i ENHKOD.DBF kan inte läsas; enhet st saknas."},
                         }));
}

// Whether the chosen list's prices include VAT is not known: no price is sent.
TEST(ArticleReader, AnIncludesVatFlagThatDoesNotReadCostsThePrices) {
  CompanyFolder company;
  company.Write("ART.DBF", ArticleTable().Add({"F", "7", "Hyvel", "st", "01", "3.00", ""}));
  company.Write("PRIS.DBF", PriceTable().Add({"A", "7", "100.00", "T"}));
  company.Write("PRISL.DBF", PriceListTable().Add({"A", "SEK", "Grundpris", "x"}));
  CAdminArticleDb reader(company.path(), "A");
  auto walked = Walk(reader);
  ASSERT_EQ(walked.records.size(), 1u);
  EXPECT_EQ(walked.records[0].netPrice, "");
  EXPECT_EQ(walked.records[0].grossPrice, "");
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"", "", "Error", "Fel:",
                                                  "Värdet \"x\" i fältet INKLMOMS i PRISL.DBF kan inte läsas; "
                                                  "priser saknas."}}));
}

TEST(ArticleReader, WarningFollowsTheFileRecordCount) {
  CompanyFolder company;
  company.Write("ART.DBF", ArticleTable().AddDeleted({"", "1", "Borta", "st", "01", "0", ""}));
  CAdminArticleDb deletedOnly(company.path(), "");
  auto walked = Walk(deletedOnly);
  EXPECT_EQ(walked.visited, 0);
  // The count is the file's, deleted records included.
  EXPECT_EQ(walked.rows, (std::vector<ReportRow>{{"", "", "Misc", "Varning:", kNoPriceList}}));

  company.Write("ART.DBF", ArticleTable());
  CAdminArticleDb empty(company.path(), "");
  EXPECT_EQ(empty.GetRecordCount(), 0);
  EXPECT_TRUE(Walk(empty).rows.empty());

  CAdminArticleDb noFolder("", "");
  EXPECT_EQ(noFolder.GetRecordCount(), 0);
}

TEST(ArticleReader, WithoutSideTablesEveryLookupFallsBack) {
  CompanyFolder company;
  company.Write("ART.DBF", ArticleTable().Add({"", "7", "Hyvel", "st", "01", "3.00", "3"}));
  company.WriteText("ftg.ini", "[Company]\nCurrencyClient=1\n");
  CAdminArticleDb reader(company.path(), "A");
  auto walked = Walk(reader);
  EXPECT_EQ(walked.records, (std::vector<ArticleRecord>{{.isActive = true,
                                                          .number = "7",
                                                          .name = "Hyvel",
                                                          .unitCode = "st",
                                                          .articleAccountCode = "01",
                                                          .stockBalance = "3.00",
                                                          .rotRutType = 2}}));
  EXPECT_TRUE(walked.rows.empty());
}

}  // namespace

namespace {

using namespace reader_walk;

void WriteProgram(const CompanyFolder& company, const std::string& productCode) {
  company.Write("PRM.DBF", Table({Char("PRG", 3), Char("PRG_TYPE", 4), Char("ORGNR", 13), Char("NAMN", 30),
                                  Numeric("VERSION", 5, 2)})
                               .Add({"ADM", productCode, "556123-4567", "Ek Trä AB", "5.10"}));
}

TEST(ArticleReader, AvailableInEveryEditionButTheSmallest) {
  for (auto [productCode, available] : std::vector<std::pair<std::string, bool>>{
           {"0", false}, {"5", true}, {"1", true}, {"2", true}, {"F", true}, {"W", true}}) {
    SCOPED_TRACE(productCode);
    CompanyFolder company;
    WriteProgram(company, productCode);
    CAdminArticleDb reader(company.path(), "");
    EXPECT_EQ(reader.IsAvailable(), available);
    reader.Close();
    EXPECT_EQ(reader.IsAvailable(), available);  // asked again after the check
  }
}

TEST(ArticleReader, AvailabilityIsAskedOfTheCompanyEachTime) {
  CompanyFolder company;
  WriteProgram(company, "1");
  CAdminArticleDb reader(company.path(), "");
  EXPECT_TRUE(reader.IsAvailable());
  WriteProgram(company, "0");
  EXPECT_FALSE(reader.IsAvailable());
}

}  // namespace
