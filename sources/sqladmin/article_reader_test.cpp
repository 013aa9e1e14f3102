#include "sources/sqladmin/article_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "sources/sqladmin/sql_company_test_support.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {

using sqladmin_test::CompanyConnection;

const char* const kArticleTables =
    "CREATE TABLE ENHKOD (ENHKOD VARCHAR(6), TEXT NVARCHAR(20));"
    "INSERT INTO ENHKOD VALUES ('st', 'Stycken ä');"
    "CREATE TABLE ARTKNT (KONTKOD VARCHAR(6), BENAEMN NVARCHAR(30));"
    "INSERT INTO ARTKNT VALUES ('1', 'Varor 25 % åä');"
    "CREATE TABLE ART (ARTNR VARCHAR(20), BENAEMN NVARCHAR(60), ENHKOD VARCHAR(6), KONTKOD VARCHAR(6),"
    " ILAGER NUMERIC(15,3), H_TYPID SMALLINT, INAKTIV BIT);"
    "CREATE TABLE PRISL (PRISL VARCHAR(10), BENAEMN NVARCHAR(40), INKLMOMS BIT, VALUTAKOD VARCHAR(3));"
    "INSERT INTO PRISL VALUES ('A', 'Inklusive moms', 1, 'SEK');"
    "INSERT INTO PRISL VALUES ('B', 'Exklusive moms', 0, 'SEK');"
    "INSERT INTO PRISL VALUES ('N', 'Okänd moms', NULL, 'SEK');"
    "CREATE TABLE PRIS (ARTNR VARCHAR(20), PRISL VARCHAR(10), PRIS NUMERIC(15,2), GRUND BIT);"
    "CREATE TABLE ARTBEN (ARTNR VARCHAR(20), SPRAAKKOD VARCHAR(2), BENAEMN NVARCHAR(60))";

struct Article {
  std::string number, name, english, net, gross, unitCode, unitName, account, accountName, stock;
  int rotRut = 0;
  bool operator==(const Article&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Article& a) {
  return out << a.number << '|' << a.name << '|' << a.english << '|' << a.net << '|' << a.gross << '|' << a.unitCode
             << '|' << a.unitName << '|' << a.account << '|' << a.accountName << '|' << a.stock << '|' << a.rotRut;
}

std::vector<Article> ReadAll(I_QZ_Articles& articles) {
  std::vector<Article> rows;
  for (bool more = articles.MoveFirst(); more; more = articles.MoveNext()) {
    EXPECT_TRUE(articles.IsActive());
    EXPECT_FALSE(articles.IsMolnixAccountCode());
    rows.push_back({articles.GetNumber(), articles.GetName(), articles.GetNameEnglish(), articles.GetNetPrice(),
                    articles.GetGrossPrice(), articles.GetUnitCode(), articles.GetUnitName(),
                    articles.GetArticleAccountCode(), articles.GetArticleAccountName(), articles.GetStockBalance(),
                    articles.GetRotRutType()});
  }
  return rows;
}

class SqlArticles : public CompanyConnection {
 protected:
  std::string WithArticles(const std::string& rows) { return Company("ftg", std::string(kArticleTables) + ";" + rows); }
};

TEST_F(SqlArticles, ReadActiveArticlesByNumberWithTheirJoinedNames) {
  const std::string folder = WithArticles(
      "INSERT INTO ART VALUES ('B2', 'Skruv', 'st', '1', 12.5, 7, 0);"
      "INSERT INTO ART VALUES ('A1', 'Spik å', 'kg', NULL, NULL, NULL, 0);"
      "INSERT INTO ART VALUES ('C3', 'Gammal', 'st', '1', 1, 0, 1);"
      "INSERT INTO ART VALUES ('D4', 'Okänd', 'st', '1', 1, 0, NULL);"
      "INSERT INTO ARTBEN VALUES ('B2', 'EN', 'Screw');"
      "INSERT INTO ARTBEN VALUES ('A1', 'DE', 'Nagel')");
  std::unique_ptr<I_QZ_Articles> articles = std::make_unique<CSqlAdminArticleDb>(folder, "");
  // Inactive and NULL-inactive rows are not read; a unit or account without a row
  // and a name only in another language read as empty.
  EXPECT_EQ(ReadAll(*articles),
            (std::vector<Article>{{"A1", "Spik å", "", "", "", "kg", "", "", "", "", 0},
                                  {"B2", "Skruv", "Screw", "", "", "st", "Stycken ä", "1", "Varor 25 % åä", "12.500", 4}}));
  EXPECT_EQ(articles->GetRecordCount(), 2);
}

TEST_F(SqlArticles, PriceGoesToNetOrGrossByTheChosenListsVatMode) {
  const std::string folder = WithArticles(
      "INSERT INTO ART VALUES ('A1', 'Spik', 'st', '1', 0, 0, 0);"
      "INSERT INTO ART VALUES ('B2', 'Skruv', 'st', '1', 0, 0, 0);"
      "INSERT INTO ART VALUES ('C3', 'Mutter', 'st', '1', 0, 0, 0);"
      "INSERT INTO PRIS VALUES ('A1', 'A', 125, 1);"
      "INSERT INTO PRIS VALUES ('A1', 'B', 100, 1);"
      "INSERT INTO PRIS VALUES ('A1', 'N', 90, 1);"
      "INSERT INTO PRIS VALUES ('B2', 'A', 50, 0);"
      "INSERT INTO PRIS VALUES ('B2', 'B', 40, 0)");
  struct Case {
    const char* list;
    std::vector<std::pair<std::string, std::string>> netAndGross;  // A1, B2, C3
  };
  const Case cases[] = {
      {"A", {{"", "125.00"}, {"", ""}, {"", ""}}},   // includes VAT; B2's price is not the base price
      {"B", {{"100.00", ""}, {"", ""}, {"", ""}}},   // excludes VAT
      {"N", {{"90.00", ""}, {"", ""}, {"", ""}}},    // a NULL VAT mode counts as excluded
      {"", {{"", ""}, {"", ""}, {"", ""}}},       // no list chosen: no prices
  };
  for (const Case& c : cases) {
    CSqlAdminArticleDb articles(folder, c.list);
    std::vector<std::pair<std::string, std::string>> read;
    for (const Article& article : ReadAll(articles)) read.emplace_back(article.net, article.gross);
    EXPECT_EQ(read, c.netAndGross) << "list " << c.list;
  }
}

TEST_F(SqlArticles, TheChosenListsPriceAndTheEnglishNameWinOverRowsWithoutListOrLanguage) {
  // A price without list beside the base price of the chosen list, and a name
  // without language beside the English one, give an article four joined rows.
  const std::string articles =
      "INSERT INTO ART VALUES ('A1', 'Spik', 'st', '1', 0, 0, 0);"
      "INSERT INTO ART VALUES ('B2', 'Skruv', 'st', '1', 0, 0, 0)";
  const std::string chosenFirst =
      "INSERT INTO PRIS VALUES ('A1', 'A', 20, 1);INSERT INTO PRIS VALUES ('A1', NULL, 10, 0);"
      "INSERT INTO ARTBEN VALUES ('A1', 'EN', 'Nail');INSERT INTO ARTBEN VALUES ('A1', NULL, 'Spik')";
  const std::string chosenLast =
      "INSERT INTO ARTBEN VALUES ('A1', NULL, 'Spik');INSERT INTO ARTBEN VALUES ('A1', 'EN', 'Nail');"
      "INSERT INTO PRIS VALUES ('A1', NULL, 10, 0);INSERT INTO PRIS VALUES ('A1', 'A', 20, 1)";
  for (const auto& [name, rows] : {std::pair{"first", chosenFirst}, std::pair{"last", chosenLast}}) {
    CSqlAdminArticleDb reader(Company(name, std::string(kArticleTables) + ";" + articles + ";" + rows), "A");
    EXPECT_EQ(ReadAll(reader),
              (std::vector<Article>{{"A1", "Spik", "Nail", "", "20.00", "st", "Stycken ä", "1", "Varor 25 % åä", "0.000", 0},
                                    {"B2", "Skruv", "", "", "", "st", "Stycken ä", "1", "Varor 25 % åä", "0.000", 0}}))
        << name;
    // Only the list-less price: it is the price of no list, so a net one.
    CSqlAdminArticleDb listless(Company(std::string(name) + "-B", std::string(kArticleTables) + ";" + articles + ";" + rows),
                                "B");
    ASSERT_TRUE(listless.MoveFirst());
    EXPECT_EQ(listless.GetNetPrice(), "10.00");
    EXPECT_EQ(listless.GetGrossPrice(), "");
  }
  // The preference is the statement's own, so no server's plan can change it.
  CSqlAdminArticleDb reader(WithArticles(articles), "A");
  EXPECT_EQ(reader.StatementText(),
            "SELECT T0.[ARTNR], T0.[BENAEMN], T0.[ENHKOD], T0.[KONTKOD], T0.[ILAGER], T0.[H_TYPID], T3.[PRIS],"
            " T5.[VALUTAKOD], T5.[INKLMOMS], T2.[BENAEMN], T1.[TEXT], T4.[BENAEMN] FROM [ART] AS T0"
            " LEFT JOIN [ENHKOD] AS T1 ON T0.[ENHKOD] = T1.[ENHKOD] LEFT JOIN [ARTKNT] AS T2 ON T0.[KONTKOD] = T2.[KONTKOD]"
            " LEFT JOIN [PRIS] AS T3 ON T0.[ARTNR] = T3.[ARTNR] AND (T3.[PRISL] = ? AND T3.[GRUND] = ? OR T3.[PRISL] IS NULL)"
            " LEFT JOIN [ARTBEN] AS T4 ON T0.[ARTNR] = T4.[ARTNR] AND (T4.[SPRAAKKOD] = ? OR T4.[SPRAAKKOD] IS NULL)"
            " LEFT JOIN [PRISL] AS T5 ON T3.[PRISL] = T5.[PRISL] WHERE T0.[INAKTIV] = ?"
            " ORDER BY T0.[ARTNR], T3.[PRISL] DESC, T4.[SPRAAKKOD] DESC");
}

// A data model may keep the VAT flag as a number: set when it is not zero.
TEST_F(SqlArticles, AVatFlagKeptAsANumberIsSetWhenNotZero) {
  std::string xml(samplecompany::SampleDataModelXml());
  const std::string flag = "name=\"INKLMOMS\" type=\"SQL_BIT\"";
  xml.replace(xml.find(flag), flag.size(), "name=\"INKLMOMS\" type=\"SQL_SMALLINT\"");
  tree_.Write("numbers/kolmadm.xml", xml);
  administration().clear();
  LoadDataModelFile(administration(), (tree_ / "numbers").string());
  const std::string folder = WithArticles(
      "INSERT INTO ART VALUES ('A1', 'Spik', 'st', '1', 0, 0, 0);"
      "INSERT INTO PRIS VALUES ('A1', 'A', 125, 1);INSERT INTO PRIS VALUES ('A1', 'B', 100, 1)");
  for (const auto& [list, net, gross] : {std::tuple{"A", "", "125.00"}, std::tuple{"B", "100.00", ""}}) {
    CSqlAdminArticleDb articles(folder, list);
    ASSERT_TRUE(articles.MoveFirst()) << list;
    EXPECT_EQ(articles.GetNetPrice(), net) << list;
    EXPECT_EQ(articles.GetGrossPrice(), gross) << list;
  }
}

TEST_F(SqlArticles, RotRutTypeMapsTheDesktopWorkType) {
  const std::pair<const char*, int> cases[] = {{"1", 1},  {"7", 4},  {"31", 0}, {"42", 28},
                                               {"43", 26}, {"44", 0}, {"0", 0},  {"NULL", 0}};
  std::string rows;
  for (const auto& [id, type] : cases)
    rows += std::string(";INSERT INTO ART VALUES ('") + id + "', '', '', '', 0, " + id + ", 0)";
  CSqlAdminArticleDb articles(WithArticles(rows.substr(1)), "");
  for (bool more = articles.MoveFirst(); more; more = articles.MoveNext()) {
    const std::string number = articles.GetNumber();
    for (const auto& [id, type] : cases) {
      if (number != id) continue;
      EXPECT_EQ(articles.GetRotRutType(), type) << id;
    }
  }
}

TEST_F(SqlArticles, WarnOnceWhenArticlesHaveNoPriceList) {
  const std::string folder = WithArticles(
      "INSERT INTO ART VALUES ('A1', 'Spik', 'st', '1', 0, 0, 0);"
      "INSERT INTO ART VALUES ('B2', 'Skruv', 'st', '1', 0, 0, 0);"
      "INSERT INTO ART VALUES ('C3', 'Mutter', 'st', '1', 0, 0, 0)");
  std::vector<ReportRow> rows;
  CSqlAdminArticleDb(folder, "").AddWarnings(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, "Det finns ingen prislista i SEK så inga priser kommer att överföras.");
  EXPECT_EQ(rows[0].caption, "Varning:");

  rows.clear();
  CSqlAdminArticleDb(folder, "A").AddWarnings(rows);
  CSqlAdminArticleDb(WithArticles("SELECT 1"), "").AddWarnings(rows);
  EXPECT_TRUE(rows.empty());
}

TEST_F(SqlArticles, AnUnreachableOrEmptyCompanyReadsNothing) {
  for (const std::string& folder : {Company("gone", ""), Company("bare", "CREATE TABLE X (A INT)")}) {
    CSqlAdminArticleDb articles(folder, "A");
    EXPECT_FALSE(articles.MoveFirst());
    EXPECT_EQ(articles.GetRecordCount(), 0);
    EXPECT_EQ(articles.GetNumber(), "");
    EXPECT_EQ(articles.GetNetPrice(), "");
    EXPECT_EQ(articles.GetRotRutType(), 0);
  }
}

}  // namespace

namespace {

// A number or flag that SQLite lets hold letters, in the article's own row or in
// the price rows that decide its price: the article is refused with a row that
// names it and the column, whether the walk meets it or its filter would leave
// it out, and never sent without its price or as inactive.
TEST_F(SqlArticles, ANumberOrFlagThatDoesNotReadRefusesTheArticleWithItsRow) {
  const struct {
    const char* change;
    const char* column;
  } cases[] = {
      {"UPDATE ART SET INAKTIV = 'nej' WHERE ARTNR = 'B2'", "ART.INAKTIV"},
      {"UPDATE ART SET ILAGER = 'många' WHERE ARTNR = 'B2'", "ART.ILAGER"},
      {"UPDATE ART SET H_TYPID = '7x' WHERE ARTNR = 'B2'", "ART.H_TYPID"},
      {"UPDATE PRIS SET PRIS = '--3' WHERE ARTNR = 'B2'", "PRIS.PRIS"},
      {"UPDATE PRIS SET GRUND = 'ja' WHERE ARTNR = 'B2'", "PRIS.GRUND"},
      {"UPDATE PRISL SET INKLMOMS = 'kanske' WHERE PRISL = 'A'", "PRISL.INKLMOMS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    CSqlAdminArticleDb articles(Company(std::string("ftg") + std::to_string(&c - cases),
                                        std::string(kArticleTables) +
                                            ";INSERT INTO ART VALUES ('A1', 'Spik', 'st', '1', 1, 0, 0);"
                                            "INSERT INTO ART VALUES ('B2', 'Skruv', 'st', '1', 12.5, 7, 0);"
                                            "INSERT INTO PRIS VALUES ('B2', 'A', 100, 1);" +
                                            c.change),
                                "A");
    std::vector<std::string> sent;
    std::vector<ReportRow> rows;
    for (bool more = articles.MoveFirst(); more; more = articles.MoveNext())
      if (articles.CheckCurrent(rows)) sent.push_back(articles.GetNumber());
    articles.AddWarnings(rows);
    EXPECT_EQ(sent, std::vector<std::string>{"A1"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::tie(rows[0].key, rows[0].name, rows[0].kind), std::tie("B2", "Skruv", report::kError));
    EXPECT_NE(rows[0].text.find(std::string("kolumnen ") + c.column + " har värdet"), std::string::npos) << rows[0].text;
    EXPECT_EQ(rows[1].text, std::string("Tabellen ART kan inte läsas helt: 1 värde kan inte läsas som sin kolumns typ (") +
                                c.column + ")");
  }
}

}  // namespace
