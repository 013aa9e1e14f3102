#include "sources/admin/bix_kit.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tools/fixtures/dbf_writer.h"

namespace bix {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using platform::fake::ScopedEnv;

constexpr const char* kAdmKey = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmAdm.exe)";
constexpr const char* kForKey = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmFor.exe)";

struct AppPaths {
  const char* key = kAdmKey;
  std::optional<std::string> path;
  std::optional<std::string> commonFiles;
};

void InstallAppPaths(const std::vector<AppPaths>& keys) {
  std::string text;
  for (const AppPaths& key : keys) {
    text += "[HKEY_LOCAL_MACHINE\\" + std::string(key.key) + "]\n";
    if (key.path) text += "\"Path\"=\"" + *key.path + "\"\n";
    if (key.commonFiles) text += "\"CommonFiles\"=\"" + *key.commonFiles + "\"\n";
  }
  platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(text)));
}

// The tables the test kit writes SIE from: two booking years with their charts.
void WriteCompanyTables(const std::filesystem::path& folder) {
  using fixtures::DbfFormat;
  using fixtures::DbfWriter;
  DbfWriter(DbfFormat::DBase3, {{"NAMN", 'C', 30}, {"ORGNR", 'C', 11}})
      .Add({"Företaget AB", "556677-8899"})
      .WriteTo(folder / "PRM.DBF");
  DbfWriter(DbfFormat::DBase3, {{"AAR_ID", 'C', 1}, {"BOERJAN", 'D', 8}, {"SLUT", 'D', 8}, {"KPTYP", 'C', 10}})
      .Add({"B", "20250101", "20251231", "BAS2014"})
      .Add({"A", "20260101", "20261231", "EU"})
      .WriteTo(folder / "BOKFAAR.DBF");
  DbfWriter(DbfFormat::DBase3, {{"AAR_ID", 'C', 1}, {"KONTO", 'N', 4}, {"BENAEMN", 'C', 40}})
      .Add({"B", "1910", "Kassa"})
      .Add({"A", "1910", "Kassa"})
      .AddDeleted({"A", "2440", "Leverantörsskulder"})
      .Add({"A", "3010", "Försäljning \"varor\""})
      .WriteTo(folder / "KONTO.DBF");
}

// A company folder, the kit installed in the registry, its calls traced and the log captured.
class KitTest : public ::testing::Test {
 protected:
  KitTest() {
    InstallAppPaths({{kAdmKey, BIX_TESTKIT_DIR, commonFiles}});
    WriteCompanyTables(company);
  }
  ~KitTest() override { platform::InstallRegistry(nullptr); }

  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    std::istringstream in(platform::ReadWholeFile(trace).value_or(""));
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    return calls;
  }
  std::string OpenCall() const { return "BixOpenEx(" + commonFiles + ", " + company + ", 1)"; }

  platform::fake::TempTree tree;
  platform::fake::CapturedLog log;
  const std::string trace = (tree / "trace.txt").string();
  ScopedEnv traceEnv{"BIXKIT_TRACE", trace};
  ScopedEnv openCode{"BIXKIT_OPEN_CODE", std::nullopt};
  ScopedEnv sieCode{"BIXKIT_SIE_CODE", std::nullopt};
  const std::string company = tree.MakeFolder("Företaget AB").string();
  const std::string commonFiles = tree.MakeFolder("Common").string();
  const std::string out = tree.MakeFolder("out").string();
  DesktopLogin login;
  Kit kit{{kAdmKey, "[ADM] "}, [this] { return login; }};
};

TEST_F(KitTest, OpensWritesAndClosesWhateverTheRemarkCodes) {
  struct Case {
    const char* openCode;
    const char* sieCode;
    bool verdict;
  };
  for (const Case& c : {Case{"0", "0", true}, Case{"78", "0", true}, Case{"79", "79", false},
                        Case{"0", "78", false}}) {
    SCOPED_TRACE(std::string(c.openCode) + "/" + c.sieCode);
    std::filesystem::remove(trace);
    ScopedEnv open("BIXKIT_OPEN_CODE", c.openCode);
    ScopedEnv sie("BIXKIT_SIE_CODE", c.sieCode);
    {
      Session session(kit, company, false);
      EXPECT_TRUE(kit.IsOpen());
      EXPECT_EQ(session.BixGetSie.CallLocked(4, "A", "SIE.SE", out), c.verdict);
    }
    EXPECT_FALSE(kit.IsOpen());
    EXPECT_EQ(kit.OpenCount(), 0);
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "BixGetSie(4, A, SIE.SE, " + out + ")", "BixClose()"));
  }
  EXPECT_THAT(log.Lines(), IsEmpty());
  // The kit wrote the year's SIE 4 in the PC8 code page with CRLF line ends.
  const auto sie = platform::ReadWholeFile(std::filesystem::path(out) / "SIE.SE");
  ASSERT_TRUE(sie);
  const std::size_t generated = sie->find("#GEN ");
  ASSERT_NE(generated, std::string::npos);
  EXPECT_EQ(sie->substr(0, generated),
            "#FLAGGA 0\r\n#FORMAT PC8\r\n#SIETYP 4\r\n#PROGRAM \"Bix testkit\" 1.0\r\n");
  EXPECT_EQ(sie->substr(sie->find("\r\n", generated) + 2),
            "#FNAMN \"F\x94retaget AB\"\r\n#ORGNR 556677-8899\r\n#RAR 0 20260101 20261231\r\n#KPTYP EU\r\n"
            "#KONTO 1910 \"Kassa\"\r\n#KONTO 3010 \"F\x94rs\x84ljning \\\"varor\\\"\"\r\n");
}

TEST_F(KitTest, KitRefusesAYearTheCompanyLacks) {
  Session session(kit, company, false);
  EXPECT_THROW(session.BixGetSie.CallLocked(4, "C", "SIE.SE", out), std::runtime_error);
  EXPECT_FALSE(platform::PathExists(std::filesystem::path(out) / "SIE.SE"));
}

// The kit takes a booking year as one byte of Windows-1252: a character without
// one there cannot be asked for, and the kit is not called with another year's byte.
TEST_F(KitTest, AYearIdentifierWithoutAKitByteIsRefusedBeforeTheCall) {
  Session session(kit, company, false);
  EXPECT_THROW(session.BixGetSie.CallLocked(4, "Ω", "SIE.SE", out), std::runtime_error);
  EXPECT_THAT(Calls(), ElementsAre(OpenCall()));
  EXPECT_THAT(log.Lines(), ElementsAre("Bokföringsåret Ω kan inte anges för BIX"));
}

TEST_F(KitTest, FailedOpenIsExplainedLoggedClosedAndRetriedByTheNextSession) {
  {
    ScopedEnv open("BIXKIT_OPEN_CODE", "5");
    ScopedEnv text("BIXKIT_ERROR_TEXT", "Företaget är låst");
    const std::string expected = "Felkod 5 vid anrop av BixOpenEx. Felbeskrivning från BIX: Företaget är låst";
    try {
      Session session(kit, company, false);
      FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), expected);
    }
    EXPECT_THAT(log.Lines(), ElementsAre(expected));
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "BixGetErrorText(5)", "BixClose()"));
    EXPECT_EQ(kit.OpenCount(), 0);
    EXPECT_FALSE(kit.IsOpen());
  }
  Session session(kit, company, false);
  EXPECT_EQ(Calls().at(3), OpenCall());
  EXPECT_EQ(kit.OpenCount(), 1);
}

TEST_F(KitTest, ErrorFromSieExportThrowsAndTheSessionStillCloses) {
  ScopedEnv sie("BIXKIT_SIE_CODE", "9");
  {
    Session session(kit, company, false);
    EXPECT_THROW(session.BixGetSie.CallLocked(4, "A", "SIE.SE", out), std::runtime_error);
  }
  EXPECT_THAT(log.Lines(), ElementsAre("Felkod 9 vid anrop av BixGetSie. Felbeskrivning från BIX: Fel 9"));
  EXPECT_EQ(Calls().back(), "BixClose()");
  EXPECT_FALSE(kit.IsOpen());
}

TEST_F(KitTest, NestedSessionsShareOneOpenOfTheFirstCompany) {
  const std::string other = tree.MakeFolder("Annat AB").string();
  {
    Session outer(kit, company, false);
    {
      Session inner(kit, other, true);
      EXPECT_EQ(kit.OpenCount(), 2);
    }
    EXPECT_EQ(kit.OpenCount(), 1);
    EXPECT_TRUE(kit.IsOpen());
    EXPECT_THAT(Calls(), ElementsAre(OpenCall()));
  }
  EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "BixClose()"));
}

TEST_F(KitTest, DesktopLoginIsUsedOnlyWhenAskedForAndAUserIsKnown) {
  struct Case {
    bool withLogin;
    const char* user;
    const char* password;
    bool loginVariant;
  };
  for (const Case& c : {Case{true, "anna", "hemligt", true}, Case{true, "", "hemligt", false},
                        Case{false, "anna", "hemligt", false}}) {
    SCOPED_TRACE(std::string(c.user) + (c.withLogin ? " asked" : " not asked"));
    std::filesystem::remove(trace);
    login = {c.user, c.password};
    { Session session(kit, company, c.withLogin); }
    const std::string open = c.loginVariant
                                 ? "BixOpenEx2(" + commonFiles + ", " + company + ", anna, hemligt, 1)"
                                 : OpenCall();
    EXPECT_THAT(Calls(), ElementsAre(open, "BixClose()"));
  }
  // By default a kit takes the user the converter was started with.
  std::filesystem::remove(trace);
  theApp.m_strDesktopUser = "bertil";
  theApp.m_strDesktopPassword = "lösen";
  {
    Kit appKit({kAdmKey, "[ADM] "});
    Session session(appKit, company, true);
  }
  theApp.m_strDesktopUser.clear();
  theApp.m_strDesktopPassword.clear();
  EXPECT_EQ(Calls().front(), "BixOpenEx2(" + commonFiles + ", " + company + ", bertil, lösen, 1)");
}

TEST(KitSetup, FailuresToFindOrLoadTheKitAreLoggedAndThrownBeforeAnyCall) {
  platform::fake::TempTree tree;
  const std::string trace = (tree / "trace.txt").string();
  ScopedEnv traceEnv("BIXKIT_TRACE", trace);
  const std::string empty = tree.MakeFolder("empty").string();
  struct Case {
    std::vector<AppPaths> registry;
    const char* message;
  };
  const Case cases[] = {
      {{{kForKey, BIX_TESTKIT_DIR, empty}}, "Det gick inte att öppna registernyckel för BIX."},
      {{{kAdmKey, std::nullopt, empty}}, "Det gick inte att hitta sökvägen för BIX."},
      {{{kAdmKey, empty, empty}}, "Det gick inte att ladda Bix.dll"},
      {{{kAdmKey, BIX_TESTKIT_DIR, std::nullopt}}, "Det gick inte att hitta sökvägen för BIX."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    InstallAppPaths(c.registry);
    platform::fake::CapturedLog log;
    Kit kit({kAdmKey, "[ADM] "});
    try {
      Session session(kit, empty, false);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), std::string(c.message));
    }
    EXPECT_THAT(log.Lines(), ElementsAre(c.message));
    EXPECT_EQ(kit.OpenCount(), 0);
  }
  EXPECT_FALSE(platform::PathExists(trace));  // not even BixClose was called
  platform::InstallRegistry(nullptr);
}

TEST(KitSetup, KitIsFoundWithOrWithoutTrailingSeparatorAndWhateverItsCase) {
  platform::fake::TempTree tree;
  const auto lowerCase = tree.MakeFolder("program");
  std::filesystem::copy_file(std::filesystem::path(BIX_TESTKIT_DIR) / "Bix.dll", lowerCase / "bix.dll");
  for (const std::string& folder :
       {std::string(BIX_TESTKIT_DIR), std::string(BIX_TESTKIT_DIR) + "/", lowerCase.string()}) {
    SCOPED_TRACE(folder);
    InstallAppPaths({{kAdmKey, folder, tree.root().string()}});
    Kit kit({kAdmKey, "[ADM] "});
    EXPECT_NO_THROW(kit.LoadBixDll());
  }
  platform::InstallRegistry(nullptr);
}

TEST_F(KitTest, EntryPointsAreBoundByTheirDecoratedNamesOnly) {
  EXPECT_NE(kit.GetBixProcAddress("BixClose"), nullptr);      // "_BixClose@0"
  EXPECT_NE(kit.GetBixProcAddress("BixGetSie"), nullptr);     // "_BixGetSie@20"
  EXPECT_NE(kit.GetBixProcAddress("KitProbeHigh"), nullptr);  // "_KitProbeHigh@63"
  EXPECT_EQ(kit.GetBixProcAddress("KitProbeTooHigh"), nullptr);
  EXPECT_EQ(kit.GetBixProcAddress("KitProbePlain"), nullptr);  // exported without decoration
  Kit association({kForKey, "[FOR] "});
  InstallAppPaths({{kForKey, BIX_TESTKIT_DIR, commonFiles}});
  EXPECT_EQ(association.GetBixProcAddress("Missing"), nullptr);
  EXPECT_THAT(log.Lines(), ElementsAre("[ADM] Det gick inte att ladda KitProbeTooHigh",
                                       "[ADM] Det gick inte att ladda KitProbePlain",
                                       "[FOR] Det gick inte att ladda Missing"));
}

TEST_F(KitTest, UnterminatedErrorTextIsCutAtTheBufferEnd) {
  ScopedEnv open("BIXKIT_OPEN_CODE", "5");
  ScopedEnv unterminated("BIXKIT_ERROR_TEXT_UNTERMINATED", "1");
  EXPECT_THROW(Session(kit, company, false), std::runtime_error);
  EXPECT_THAT(log.Lines(), ElementsAre("Felkod 5 vid anrop av BixOpenEx. Felbeskrivning från BIX: " +
                                       std::string(kBixErrorTextSize - 1, 'x')));
}

TEST_F(KitTest, MissingEntryPointThrowsInsteadOfBeingCalled) {
  InstallAppPaths({{kAdmKey, BIX_TESTKIT_WITHOUT_SIE_DIR, commonFiles}});
  Kit partial({kAdmKey, "[ADM] "});
  Session session(partial, company, false);
  EXPECT_FALSE(session.BixGetSie.IsBound());
  EXPECT_THROW(session.BixGetSie.CallLocked(4, "A", "SIE.SE", out), std::runtime_error);
  EXPECT_THAT(log.Lines(), ElementsAre("[ADM] Det gick inte att ladda BixGetSie", "BIX saknar funktionen BixGetSie"));
}

TEST(KitCopies, EachProgramReadsItsOwnKeyAndKeepsItsOwnState) {
  platform::fake::TempTree tree;
  const std::string company = tree.MakeFolder("Förening").string();
  WriteCompanyTables(company);
  InstallAppPaths({{kForKey, BIX_TESTKIT_DIR, tree.root().string()}});
  {
    BixFor::CBixSession association(company, false);
    EXPECT_EQ(BixFor::Kit().OpenCount(), 1);
    EXPECT_EQ(BixAdm::Kit().OpenCount(), 0);
    EXPECT_THROW(BixAdm::CBixSession(company, false), std::runtime_error);  // no KolmAdm.exe key
    EXPECT_TRUE(association.BixGetSie.CallLocked(4, "B", "SIE.SE", tree.root().string()));
  }
  EXPECT_FALSE(BixFor::Kit().IsOpen());
  EXPECT_TRUE(platform::PathExists(tree / "SIE.SE"));
  platform::InstallRegistry(nullptr);
}

}  // namespace
}  // namespace bix
