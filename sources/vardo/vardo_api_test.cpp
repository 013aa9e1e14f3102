// Loading and binding the Vardo database API from a program folder. The
// library stays loaded once loaded, so every test runs in a process of its own.
#include "sources/vardo/vardo_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/captured_log.h"
#include "sources/vardo/vardo_company_db.h"
#include "sources/vardo/vardo_test_support.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kAppPaths = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vardo.exe]\n";

// A program folder with the libraries named here copied from `source` (as named there).
class ProgramFolder {
 public:
  ProgramFolder& Copy(const std::filesystem::path& source, const char* from, const std::string& to) {
    std::filesystem::copy_file(source / from, tree_ / to);
    return *this;
  }
  ProgramFolder& Companions() {
    return Copy(vardo_test::EngineFolder(), "c4dll.dll", "c4dll.dll").Copy(vardo_test::EngineFolder(), "xfiles.dll", "xfiles.dll");
  }
  void Register() const { vardo_test::InstallRegistry(std::string(kAppPaths) + "\"Path\"=\"" + tree_.root().string() + "\"\n"); }
  const platform::fake::TempTree& Tree() const { return tree_; }

 private:
  platform::fake::TempTree tree_;
};

// What every wrapper gives without a library; nothing of it reaches the caller as an exception.
void ExpectEveryWrapperWithoutLibrary() {
  EXPECT_EQ(VardoRecordFirst(0), -1);
  EXPECT_EQ(VardoRecordField(0, "ORGNO"), 0);
  EXPECT_EQ(OpenVardoDatabase("Firma"), 0);
  EXPECT_EQ(CloseVardoDatabase(), 0);
  EXPECT_EQ(ExportVardoSieFile("/tmp/x", 1), -1);
  EXPECT_EQ(VardoGetYearNo(0), -1);
  EXPECT_EQ(VardoFieldValueString(1), "");
  EXPECT_EQ(VardoFieldValueDouble(1), 0.0);
  EXPECT_EQ(VardoFieldValueLong(1), -1);
  EXPECT_EQ(VardoYear(1), -1);
  std::string path;
  EXPECT_EQ(VardoDatabaseGetPath(path), -1);
}

TEST(VardoApiLoad, WithoutTheAppPathsKeyNothingLoads) {
  platform::fake::CapturedLog log;
  vardo_test::InstallRegistry("");
  EXPECT_THROW(GetVardoProgramFolder(), std::runtime_error);
  EXPECT_EQ(LoadVardoDatabaseApi(), nullptr);
  ExpectEveryWrapperWithoutLibrary();
  EXPECT_THAT(log.Lines(), Contains("Det gick inte att öppna registernyckel för Vardo."));
  vardo_test::InstallRegistry(std::string(kAppPaths));
  EXPECT_EQ(LoadVardoDatabaseApi(), nullptr);
  EXPECT_THAT(log.Lines(), Contains("Det gick inte att hitta sökvägen för Vardo."));
}

TEST(VardoApiLoad, WithoutPyxBaseNothingLoadsAndTheNextCallTriesAgain) {
  platform::fake::CapturedLog log;
  ProgramFolder program;
  program.Companions().Register();
  ExpectEveryWrapperWithoutLibrary();
  const auto lines = log.Lines();
  EXPECT_GE(std::count(lines.begin(), lines.end(), "Det gick inte att hitta pyxbase5"), 2);
  EXPECT_THAT(lines, Not(Contains(HasSubstr("Det gick inte att ladda"))));
  // A table object without the library is unusable, without a failure line of its own.
  CVardoPrm table(program.Tree().root().string());
  EXPECT_EQ(table.OpenStatus(), -1);
  EXPECT_FALSE(table.MoveFirst());
  EXPECT_THAT(log.Lines(), Not(Contains(HasSubstr("Misslyckades öppna filen"))));

  // Found whatever its case, once it is there.
  program.Copy(vardo_test::EngineFolder(), "PyxBase5.dll", "pyxbase5.DLL");
  EXPECT_NE(LoadVardoDatabaseApi(), nullptr);
  EXPECT_NE(BoundVardoApi().RecordFind, nullptr);
}

TEST(VardoApiLoad, AMissingCompanionStopsTheLoad) {
  for (const char* missing : {"c4dll.dll", "xfiles.dll"}) {
    platform::fake::CapturedLog log;
    ProgramFolder program;
    for (const char* library : {"c4dll.dll", "xfiles.dll", "PyxBase5.dll"}) {
      if (std::string(library) != missing) program.Copy(vardo_test::EngineFolder(), library, library);
    }
    program.Register();
    EXPECT_EQ(LoadVardoDatabaseApi(), nullptr) << missing;
    EXPECT_THAT(log.Lines(), ElementsAre(std::string("Det gick inte att ladda ") + missing));
  }
}

TEST(VardoApiLoad, AFunctionMissingAtLoadFailsTheBindingButLaterCallsFindTheirOwn) {
  platform::fake::CapturedLog log;
  vardo_test::VardoInstall install;
  const std::string company = install.AddSampleCompany();
  std::filesystem::copy_file(std::filesystem::path(VARDO_ENGINE_WITHOUT_RECORD_FIND_FOLDER) / "PyxBase5.dll",
                             install.ProgramFolder() / "PyxBase5.dll", std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(VardoRecordFirst(0), -1);  // the first call sees no library
  EXPECT_THAT(log.Lines(), ElementsAre("Det gick inte att ladda metoder i pyxbase5.dll"));
  EXPECT_NE(LoadVardoDatabaseApi(), nullptr);  // loaded all the same
  // Later calls resolve their functions by name (no error handler is installed).
  CVardoPrm client(company);
  EXPECT_EQ(client.OpenStatus(), 0);
  EXPECT_EQ(client.GetString(vardo_table::kClient, "ORGNO"), samplecompany::kOrgNo);
}

TEST(VardoApiLoad, FunctionsNotNeededAtLoadAreLookedUpWhenUsed) {
  platform::fake::CapturedLog log;
  vardo_test::VardoInstall install;
  const std::string company = install.AddSampleCompany();
  std::filesystem::copy_file(std::filesystem::path(VARDO_ENGINE_WITHOUT_LATE_FUNCTIONS_FOLDER) / "PyxBase5.dll",
                             install.ProgramFolder() / "PyxBase5.dll", std::filesystem::copy_options::overwrite_existing);
  EXPECT_NE(LoadVardoDatabaseApi(), nullptr);
  EXPECT_EQ(BoundVardoApi().GetYearNo, nullptr);
  EXPECT_THAT(log.Lines(), IsEmpty());
  // Never called while missing: the wrapper gives its failure value and says which.
  EXPECT_EQ(VardoGetYearNo(0), -1);
  EXPECT_EQ(VardoRecordPrev(16), -1);
  EXPECT_THAT(log.Lines(), Contains("Funktionen saknas i pyxbase5.dll: GetYearNo"));
  // Without DatabaseGetPath a table object cannot open.
  CVardoPrm client(company);
  EXPECT_EQ(client.OpenStatus(), -1);
}

TEST(VardoApiValues, AFailedTextReadGivesNoText) {
  vardo_test::VardoInstall install;
  CVardoPrm client(install.AddSampleCompany());
  platform::fake::CapturedLog log;
  EXPECT_EQ(VardoFieldValueString((5 << 16) | 1), "");  // a handle of no table: the read fails
  EXPECT_THAT(log.Lines(), ElementsAre("Strängvärdet kunde inte hämtas"));
}

struct OpenCase {
  const char* name;
  std::function<void(const platform::fake::TempTree&, const std::string&)> prepare;
  int result;
  std::vector<std::string> lines;
};

TEST(VardoApiOpen, ResultCodesAndTheirLogTexts) {
  const OpenCase cases[] = {
      {"opened", [](auto&, auto&) {}, 0, {""}},
      {"no such folder", [](auto&, auto&) {}, -1, {"Sökvägen till databasen är felaktig"}},
      {"an older database", [](const auto& tree, const std::string& company) { tree.Write(company + "/vardo.dbd", ""); },
       -3, {"Fel version, databasen måste uppdateras"}},
      {"a newer database", [](const auto& tree, const std::string& company) { tree.Write(company + "/db.ver", "7.2"); },
       -4, {"Fel version, APIet måste uppdateras"}},
  };
  vardo_test::VardoInstall install;
  for (const auto& c : cases) {
    platform::fake::CapturedLog log;
    const std::string name = std::string("Firma ") + c.name;
    const std::string company = install.AddSampleCompany(name);
    c.prepare(install.Tree(), std::filesystem::path(company).lexically_relative(install.Tree().root()).string());
    VardoDatabaseSetPath(c.result == -1 ? (company + "x").c_str() : company.c_str());
    EXPECT_EQ(OpenVardoDatabase(GetLastPathComponent(company).c_str()), c.result) << c.name;
    EXPECT_EQ(log.Lines(), c.lines) << c.name;
    CloseVardoDatabase();
  }
  platform::fake::CapturedLog log;
  const std::string company = install.AddSampleCompany();
  VardoDatabaseSetPath(company.c_str());
  OpenVardoDatabase(samplecompany::kVardoCompanyName);
  EXPECT_EQ(OpenVardoDatabase(samplecompany::kVardoCompanyName), kVardoAlreadyOpen);
  EXPECT_THAT(log.Lines(), ElementsAre("", "Databasen redan öppen"));
}

// The library's error callback never unwinds through the library: the wrapper
// raises the error once the call has returned, and a table object opening the
// company catches it.
TEST(VardoApiErrors, ADamagedClientTableIsReportedAfterTheCallReturns) {
  platform::fake::CapturedLog log;
  vardo_test::VardoInstall install;
  const std::string company = install.AddSampleCompany();
  install.Tree().Write(std::filesystem::path(company).lexically_relative(install.Tree().root()).string() + "/CLIENT.DBF",
                       std::string("\x03\x7c\x01\x01\x05", 5));
  CVardoPrm client(company);
  EXPECT_EQ(client.OpenStatus(), -1);
  EXPECT_FALSE(client.MoveFirst());
  EXPECT_EQ(client.GetString(vardo_table::kClient, "ORGNO"), "");
  const auto lines = log.Lines();
  // "Database Error: 1, 0\nCLIENT.DBF: <what the reader found>" (the log reader splits it at the line end).
  EXPECT_THAT(lines, Contains("Database Error: 1, 0"));
  EXPECT_THAT(lines, Contains(HasSubstr("32-byte header")));
  EXPECT_THAT(lines, Contains("Misslyckades öppna filen " + company + "/CLIENT.DBF"));

  VardoDatabaseSetPath(company.c_str());
  EXPECT_THROW(OpenVardoDatabase(samplecompany::kVardoCompanyName), std::runtime_error);
  // Reported once: the next call starts clean.
  EXPECT_EQ(VardoRecordFirst(0), -1);
}

}  // namespace
