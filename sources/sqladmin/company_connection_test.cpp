// The connection of an SQL company and the reader base, run for real on SQLite
// company databases through unixODBC and the SQLite ODBC driver.
#include "sources/sqladmin/company_connection.h"

#include <gtest/gtest.h>

#include "app/sources/application.h"
#include "app/sources/desktop_programs.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/query/query.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/fake/scoped_environment.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {

using platform::fake::TempTree;

class CompanyConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.MakeFolder("program");
    samplecompany::WriteDataModelFile(tree_ / "program");
    LoadDataModelFile(administration(), (tree_ / "program").string());
    ASSERT_NE(administration().table_id_by_name("PRM"), lumdb::no_id);
  }
  static lumdb::datamodel_c& administration() { return *GetDataModelByProductCode("1"); }

  // A company folder whose ftg.ini names a SQLite database made of `sql`
  // (statements separated by ';'); an empty `sql` names a database that is not there.
  std::string Company(const std::string& name, const std::string& sql, const std::string& variant = "1",
                      const std::string& auth = "") {
    const std::filesystem::path database = tree_ / (name + ".db");
    if (!sql.empty()) {
      tree_.Write(name + ".db", "");
      lumdb::session_c session;
      EXPECT_FALSE(session.open("(local)", database.string(), "", ""));
      std::size_t start = 0;
      while (start < sql.size()) {
        const std::size_t end = std::min(sql.find(';', start), sql.size());
        lumdb::sqlstmt_c statement(session.connection());
        EXPECT_FALSE(statement.allocate(false));
        EXPECT_FALSE(statement.exec_direct(sql.substr(start, end - start))) << sql.substr(start, end - start);
        start = end + 1;
      }
    }
    tree_.Write(name + "/ftg.ini", "[DataSource]\nDisplayName=Företag " + name + "\nDisplayVariant=" + variant +
                                       "\nDBInstance=(local)\nDBName=" + database.string() + "\nAuth=" + auth + "\n");
    return (tree_ / name).string();
  }

  platform::fake::ScopedEnv defaultDriver_{lumdb::driver_override_variable, std::nullopt};
  TempTree tree_;
};

constexpr const char* kThreeCompanies =
    "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50));"
    "INSERT INTO PRM VALUES (' 556677-8899 ', 'Åkeri AB');"
    "INSERT INTO PRM VALUES ('5566-12', 'Två');"
    "INSERT INTO PRM VALUES ('12-34', 'Tre');"
    "CREATE TABLE PRM2 (MVSREDPER SMALLINT)";

// A reader over one table of the company, as the register readers build theirs.
class TableReader : public CAdmDbSql {
 public:
  TableReader(std::string folder, const char* table, const char* column) : CAdmDbSql(std::move(folder)) {
    if (session() == nullptr || connectionError()) return;
    const lumdb::datamodel_c* model = session()->datamodel();
    const lumdb::table_desc_t* desc = model->table_by_id(model->table_id_by_name(table));
    field = model->field_by_id(desc->field_id_by_name(column));
    lumdb::query_c query(session());
    query.setup_select(desc->id, {lumdb::colexpr_c(field->id)}, nullptr);
    OpenRecordset(CreateScrollRecordset(session()->connection(), query));
  }
  const lumdb::field_desc_t* field = nullptr;
};

TEST_F(CompanyConnection, CountsRowsAndLeavesTheRecordsetOnItsFirstRow) {
  const std::string folder = Company("ftg", kThreeCompanies);
  TableReader companies(folder, "PRM", "ORGNR");
  ASSERT_FALSE(companies.connectionError()) << companies.connectionError().message();
  EXPECT_EQ(companies.GetRecordCount(), 3);
  EXPECT_EQ(companies.GetColumnString(companies.field), " 556677-8899 ");
  EXPECT_EQ(companies.GetColumnStringNoSpace(companies.field), "556677-8899");
  ASSERT_TRUE(companies.MoveNext());
  ASSERT_TRUE(companies.MoveNext());
  EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "1234");
  EXPECT_EQ(companies.GetRecordCount(), 3);  // the position is kept
  EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "1234");
  EXPECT_FALSE(companies.MoveNext());
  EXPECT_TRUE(companies.lastMoveError());
  ASSERT_TRUE(companies.MoveFirst());
  EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "5566778899");

  TableReader empty(folder, "PRM2", "MVSREDPER");
  EXPECT_EQ(empty.GetRecordCount(), 0);
  EXPECT_FALSE(empty.MoveFirst());
  EXPECT_EQ(empty.GetColumnString(empty.field), "");
}

TEST_F(CompanyConnection, ACompanyThatCannotBeReachedOrHasNoDataSourceReadsAsEmpty) {
  TableReader unreachable(Company("gone", ""), "PRM", "ORGNR");
  ASSERT_NE(unreachable.session(), nullptr);
  EXPECT_TRUE(unreachable.connectionError());
  EXPECT_FALSE(unreachable.MoveFirst());
  EXPECT_FALSE(unreachable.MoveNext());
  EXPECT_EQ(unreachable.GetRecordCount(), 0);

  tree_.Write("dbf/ftg.ini", "[Foretag]\nNamn=x\n");
  TableReader noSource((tree_ / "dbf").string(), "PRM", "ORGNR");
  EXPECT_EQ(noSource.session(), nullptr);
  EXPECT_FALSE(noSource.connectionError());
  EXPECT_FALSE(noSource.MoveFirst());
  EXPECT_EQ(noSource.GetRecordCount(), 0);
}

TEST_F(CompanyConnection, TheFirstCompanyOfARunFixesTheDataModel) {
  DataSourceInfo first;
  ASSERT_TRUE(ReadDataSourceIni(first, Company("adm", kThreeCompanies, "1")));
  lumdb::session_c firstSession;
  ASSERT_FALSE(OpenCompanySession(first, firstSession));
  DataSourceInfo second;
  ASSERT_TRUE(ReadDataSourceIni(second, Company("fakt", kThreeCompanies, "W")));
  lumdb::session_c secondSession;
  ASSERT_FALSE(OpenCompanySession(second, secondSession));
  EXPECT_EQ(secondSession.datamodel(), &administration());
  EXPECT_EQ(lumdb::default_datamodel(), &administration());
}

TEST_F(CompanyConnection, KolmonLogsInWithTheDesktopUserOfTheDatabase) {
  const struct {
    const char* auth;
    const char* desktopUser;
    const char* user;      // written into the record
    const char* password;  // written into the record, unsanitised
  } cases[] = {
      {"KOLMON", "user1", "COMPANY1_user1", "pw;1'"},
      {"KOLMON", "", "", "pw;1'"},  // no user: trusted connection
      {"Kolmon", "user1", "", ""},  // another letter case means nothing
      {"", "user1", "", ""},
  };
  theApp.m_strDesktopPassword = "pw;1'";
  for (const auto& c : cases) {
    theApp.m_strDesktopUser = c.desktopUser;
    DataSourceInfo info;
    info.databaseName = "COMPANY1";
    info.server = "(local)";
    info.authentication = c.auth;
    info.loginUser = "stale";
    lumdb::session_c session;
    EXPECT_TRUE(OpenCompanySession(info, session));  // no such database file
    EXPECT_EQ(info.loginUser, c.user) << c.auth << "/" << c.desktopUser;
    EXPECT_EQ(info.loginPassword, c.password) << c.auth << "/" << c.desktopUser;
  }
  theApp.m_strDesktopUser.clear();
  theApp.m_strDesktopPassword.clear();
}

TEST_F(CompanyConnection, FirstRowHelpersGiveZeroAndEmptyTextWithoutRowsAndThrowForABadQuery) {
  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, Company("ftg", kThreeCompanies)));
  lumdb::session_c session;
  ASSERT_FALSE(OpenCompanySession(info, session));
  const lumdb::datamodel_c& model = administration();
  const auto* prm = model.table_by_id(model.table_id_by_name("PRM"));
  const auto* prm2 = model.table_by_id(model.table_id_by_name("PRM2"));
  const int orgnr = prm->field_id_by_name("ORGNR");
  const int period = prm2->field_id_by_name("MVSREDPER");

  lumdb::query_c companies(&session);
  companies.setup_select(prm->id, {lumdb::colexpr_c(orgnr)}, nullptr);
  EXPECT_EQ(QueryFirstWString(session.connection(), orgnr, companies), L" 556677-8899 ");
  lumdb::query_c periods(&session);
  periods.setup_select(prm2->id, {lumdb::colexpr_c(period)}, nullptr);
  EXPECT_EQ(QueryFirstInt(session.connection(), periods, period), 0);
  EXPECT_EQ(QueryFirstWString(session.connection(), period, periods), L"");

  lumdb::query_c missingTable(&session);
  const auto* numbers = model.table_by_id(model.table_id_by_name("NEWNUM"));
  missingTable.setup_select(numbers->id, {lumdb::colexpr_c(numbers->field_id_by_name("ID"))}, nullptr);
  EXPECT_THROW(QueryFirstInt(session.connection(), missingTable, numbers->field_id_by_name("ID")), lumdb::db_error);
}

}  // namespace
