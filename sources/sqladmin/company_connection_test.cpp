// The connection of an SQL company and the reader base, run for real on SQLite
// company databases through unixODBC and the SQLite ODBC driver.
#include "sources/sqladmin/company_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "app/application.h"
#include "app/desktop/desktop_programs.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/query/query.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/errors.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "sources/sqladmin/data_source.h"
#include "sources/sqladmin/sql_company_test_support.h"

namespace {

using sqladmin_test::CompanyConnection;

constexpr const char* kThreeCompanies =
    "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50));"
    "INSERT INTO PRM VALUES (' 556677-8899 ', 'Åkeri AB');"
    "INSERT INTO PRM VALUES ('5566-12', 'Två');"
    "INSERT INTO PRM VALUES ('12-34', 'Tre');"
    "CREATE TABLE PRM2 (MVSREDPER SMALLINT)";

// A reader over one table of the company, as the register readers build theirs:
// forward-only, or scrollable.
class TableReader : public CAdmDbSql {
 public:
  TableReader(std::string folder, const char* table, const char* column, bool scrollable = true)
      : CAdmDbSql(std::move(folder)) {
    if (session() == nullptr || connectionError()) return;
    const lumdb::datamodel_scope scope = ModelScope();
    const lumdb::datamodel_c* model = session()->datamodel();
    const lumdb::table_desc_t* desc = model->table_by_id(model->table_id_by_name(table));
    field = model->field_by_id(desc->field_id_by_name(column));
    lumdb::query_c query(session());
    query.setup_select(desc->id, {lumdb::colexpr_c(field->id)}, nullptr);
    if (scrollable) {
      OpenRecordset(CreateScrollRecordset(session()->connection(), query));
    } else {
      OpenRecordset(std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query));
    }
  }
  const lumdb::field_desc_t* field = nullptr;
};

TEST_F(CompanyConnection, CountsRowsKeepingTheRowOfAWalkAndReleasingAReaderOnNoRow) {
  const std::string folder = Company("ftg", kThreeCompanies);
  for (const bool scrollable : {true, false}) {
    SCOPED_TRACE(scrollable ? "scrollable" : "forward-only");
    TableReader companies(folder, "PRM", "ORGNR", scrollable);
    ASSERT_FALSE(companies.connectionError()) << companies.connectionError().message();
    // Before the walk: counted and released, so the walk starts with MoveFirst.
    EXPECT_EQ(companies.GetRecordCount(), 3);
    EXPECT_EQ(companies.GetColumnString(companies.field), "");
    EXPECT_FALSE(companies.MoveNext());
    ASSERT_TRUE(companies.MoveFirst());
    EXPECT_EQ(companies.GetColumnString(companies.field), " 556677-8899 ");
    EXPECT_EQ(companies.GetColumnStringNoSpace(companies.field), "556677-8899");
    ASSERT_TRUE(companies.MoveNext());
    ASSERT_TRUE(companies.MoveNext());
    EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "1234");
    EXPECT_EQ(companies.GetRecordCount(), 3);  // the position is kept
    EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "1234");
    EXPECT_FALSE(companies.MoveNext());
    EXPECT_TRUE(companies.lastMoveError());
    EXPECT_TRUE(companies.UnreadText().empty());
    EXPECT_EQ(companies.GetColumnString(companies.field), "");
    // After the walk: counted, still on no row, and walked again from the first row.
    EXPECT_EQ(companies.GetRecordCount(), 3);
    EXPECT_EQ(companies.GetColumnString(companies.field), "");
    ASSERT_TRUE(companies.MoveFirst());
    EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "5566778899");
    ASSERT_TRUE(companies.MoveNext());
    EXPECT_EQ(companies.GetColumnString(companies.field), "5566-12");
    // Released in the middle of a walk: the walk ends without a failure.
    companies.ReleaseStatement();
    EXPECT_FALSE(companies.MoveNext());
    EXPECT_TRUE(companies.UnreadText().empty());
    EXPECT_EQ(companies.GetRecordCount(), 3);
    ASSERT_TRUE(companies.MoveFirst());
    EXPECT_EQ(companies.GetColumnStringNoDash(companies.field), "5566778899");

    TableReader empty(folder, "PRM2", "MVSREDPER", scrollable);
    EXPECT_EQ(empty.GetRecordCount(), 0);
    EXPECT_FALSE(empty.MoveFirst());
    EXPECT_EQ(empty.GetColumnString(empty.field), "");
  }
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

TEST_F(CompanyConnection, EachCompanyIsReadThroughItsOwnProgramsDataModel) {
  // The invoicing program numbers the company parameters otherwise: a company
  // of it read with the administration program's ids would give its name as
  // its organisation number.
  std::string invoicingXml(samplecompany::SampleDataModelXml());
  for (const auto& [from, to] : {std::pair{"id=\"1\" name=\"ORGNR\"", "id=\"2\" name=\"ORGNR\""},
                                 std::pair{"id=\"2\" name=\"NAMN\"", "id=\"1\" name=\"NAMN\""}}) {
    invoicingXml.replace(invoicingXml.find(from), std::string_view(from).size(), to);
  }
  tree_.Write("invoicing/kolmadm.xml", invoicingXml);
  lumdb::datamodel_c& invoicing = *GetDataModelByProductCode("W");
  invoicing.clear();
  LoadDataModelFile(invoicing, (tree_ / "invoicing").string());
  const std::string prm = "CREATE TABLE PRM (ORGNR VARCHAR(13), NAMN NVARCHAR(50), KL_FKRECID VARCHAR(40));";
  const std::string administrationCompany = Company("adm", prm + "INSERT INTO PRM VALUES ('556677-8899', 'Adm AB', NULL)", "1");
  const std::string invoicingCompany = Company("fakt", prm + "INSERT INTO PRM VALUES ('556000-0001', 'Fakt AB', NULL)", "W");

  std::vector<std::tuple<std::string, const char*, const char*, lumdb::datamodel_c*>> companies = {
      {administrationCompany, "556677-8899", "Adm AB", &administration()},
      {invoicingCompany, "556000-0001", "Fakt AB", &invoicing}};
  for (int pass = 0; pass < 2; ++pass) {  // either program's company first
    for (const auto& [folder, orgNr, name, model] : companies) {
      DataSourceInfo info;
      ASSERT_TRUE(ReadDataSourceIni(info, folder));
      EXPECT_EQ(ReadCompanyOrgNr(info), orgNr) << folder;
      TableReader names(folder, "PRM", "NAMN");
      EXPECT_EQ(names.session()->datamodel(), model);
      ASSERT_TRUE(names.MoveFirst()) << folder;
      EXPECT_EQ(names.GetColumnString(names.field), name);
    }
    std::reverse(companies.begin(), companies.end());
  }
  EXPECT_EQ(lumdb::default_datamodel(), nullptr);  // no company's model is forced on the others
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
    CompanySession session;
    EXPECT_TRUE(OpenCompanySession(info, session));  // no such database file
    EXPECT_EQ(info.loginUser, c.user) << c.auth << "/" << c.desktopUser;
    EXPECT_EQ(info.loginPassword, c.password) << c.auth << "/" << c.desktopUser;
  }
  theApp.m_strDesktopUser.clear();
  theApp.m_strDesktopPassword.clear();
}

// The SQLite driver splits the connection string at ";" whatever braces stand
// around a value: a company folder (perhaps on a shared drive) must not be able
// to name a library to load or a setting of the driver through its ftg.ini.
TEST_F(CompanyConnection, AValueThatCouldAddAConnectionAttributeIsRefusedBeforeAnyConnection) {
  const std::string library = LOAD_MARK_LIBRARY;
  const std::string mark = (tree_ / "mark.txt").string();
  const platform::fake::ScopedEnv markFile("LOAD_MARK_FILE", mark);
  const std::string database = (tree_ / "good.db").string();
  Company("good", kThreeCompanies);
  const std::string made = (tree_ / "made.db").string();
  const struct {
    std::string key;  // named in the log
    std::string dataSource;
    std::string desktopUser;
  } cases[] = {
      // Put in braces, the value still ends at ";" for the driver: "Foo=" takes the closing brace.
      {"DBInstance", "DBInstance=x;LoadExt=" + library + ";Foo=\nDBName=" + database},
      {"DBName", "DBInstance=(local)\nDBName=" + made + ";NoCreat=0;Foo="},
      {"DBName", "DBInstance=(local)\nDBName={" + database + "}"},
      {"DBInstance", "DBInstance=(local)\tx\nDBName=" + database},
      // A NUL would end the string there, and with it the driver's NoCreat=1.
      {"DBName", "DBInstance=(local)\nDBName=" + made + std::string(1, '\0')},
      {"Användarnamnet", "DBInstance=(local)\nDBName=" + database + "\nAuth=KOLMON", "u;LoadExt=" + library + ";Foo="},
  };
  int n = 0;
  for (const auto& c : cases) {
    platform::fake::CapturedLog log;
    theApp.m_strDesktopUser = c.desktopUser;
    const std::string folder = "refused" + std::to_string(++n);
    tree_.Write(folder + "/ftg.ini", "[DataSource]\nDisplayName=Företag " + folder + "\nDisplayVariant=1\n" + c.dataSource + "\n");
    TableReader reader((tree_ / folder).string(), "PRM", "ORGNR");
    ASSERT_NE(reader.session(), nullptr) << c.dataSource;
    EXPECT_TRUE(reader.connectionError()) << c.dataSource;
    EXPECT_EQ(reader.session()->connection(), nullptr);
    EXPECT_TRUE(reader.session()->refusal().starts_with(c.key)) << reader.session()->refusal();
    const std::string refusal = reader.session()->refusal();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               "Företaget Företag " + folder + " öppnas inte: " + refusal,
                               "Företagets databas i " + (tree_ / folder).string() + " kunde inte öppnas: " + refusal}));
    EXPECT_EQ(reader.UnreadText(), "Företagets databas kan inte öppnas: " + refusal);
    EXPECT_FALSE(std::filesystem::exists(mark)) << c.dataSource;
    EXPECT_FALSE(std::filesystem::exists(made)) << c.dataSource;
  }
  theApp.m_strDesktopUser.clear();
}

// A table without rows gives no value, so no made-up one goes out as the company's.
TEST_F(CompanyConnection, FirstRowHelpersThrowWithoutRowsAndForABadQuery) {
  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, Company("ftg", kThreeCompanies)));
  CompanySession session;
  ASSERT_FALSE(OpenCompanySession(info, session));
  const lumdb::datamodel_scope scope = session.ModelScope();
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
  const auto noRow = ::testing::ThrowsMessage<std::runtime_error>(::testing::StrEq("tabellen har ingen rad"));
  EXPECT_THAT([&] { QueryFirstInt(session.connection(), periods, period); }, noRow);
  EXPECT_THAT([&] { QueryFirstWString(session.connection(), period, periods); }, noRow);

  lumdb::query_c missingTable(&session);
  const auto* numbers = model.table_by_id(model.table_id_by_name("NEWNUM"));
  missingTable.setup_select(numbers->id, {lumdb::colexpr_c(numbers->field_id_by_name("ID"))}, nullptr);
  EXPECT_THROW(QueryFirstInt(session.connection(), missingTable, numbers->field_id_by_name("ID")), lumdb::db_error);
}

}  // namespace
