#include "sources/vardo/vardo_environment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

#include "app/desktop/company_lists.h"
#include "app/desktop/desktop_services.h"
#include "platform/fake/captured_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_test_support.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

class VardoEnvironmentTest : public ::testing::Test {
 protected:
  void Install(const char* text) {
    platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(text)));
  }
  void TearDown() override { Install(""); }
};

TEST_F(VardoEnvironmentTest, ReadsProgramAndDatabaseFolders) {
  Install(R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Vardo.exe]
"Path"="/opt/vardo"
[HKEY_CURRENT_USER\Software\Tessal Kolm\Tessal Vardo]
"Database"="/srv/vardo/"
[HKEY_CURRENT_USER\Software\Tessal Pyx\PYX Vardo 5]
"Database"="/srv/pyx/"
)");
  const VardoEnvironment env;
  EXPECT_TRUE(env.installed);
  EXPECT_EQ(env.programFolder, "/opt/vardo");
  EXPECT_EQ(env.databaseFolder, "/srv/vardo/Företag");
  EXPECT_EQ(env.secondDatabaseFolder, "/srv/pyx//Företag");  // this key's separator is kept
  EXPECT_EQ(env.version, 0.0);  // no Vardo.exe there
  EXPECT_EQ(env.installedEdition, 0);
}

TEST(VardoEnvironmentInstalled, VersionAndEditionOfTheInstalledProgram) {
  const vardo_test::VardoInstall install(1500);
  const VardoEnvironment env;
  EXPECT_TRUE(env.installed);
  EXPECT_DOUBLE_EQ(env.version, 6.1);  // "6.1.0.4"
  EXPECT_EQ(env.installedEdition, 1500);
  EXPECT_EQ(env.databaseFolder, install.CompaniesFolder().string());
  EXPECT_EQ(GetVardoEditionText(), "1500");
}

TEST(VardoEnvironmentInstalled, AnUnknownEditionHasNoText) {
  const vardo_test::VardoInstall install(400);
  EXPECT_EQ(GetVardoEditionText(), "");
  EXPECT_EQ(GetVardoHelpPagePath(400), GetVardoHelpPagePath(0));
}

TEST(CreateTempWorkFolder, MakesTespyxInAFolderOfTheRunsOwnThatGoesWithTheExportFolders) {
  const platform::fake::TempTree tree;
  const platform::fake::ScopedEnv tmp("TMPDIR", tree.root().string());
  tree.MakeFolder("Tespyx");  // made first by someone else: never used
  const std::filesystem::path folder = CreateTempWorkFolder();
  EXPECT_EQ(folder.filename(), "Tespyx");
  EXPECT_EQ(folder.parent_path().parent_path(), tree.root());
  EXPECT_NE(folder.parent_path(), tree.root());
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(std::filesystem::status(folder.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  EXPECT_EQ(CreateTempWorkFolder(), folder.string());  // reused

  RemoveExportTempFolders();
  EXPECT_FALSE(std::filesystem::exists(folder.parent_path()));
  EXPECT_TRUE(std::filesystem::is_directory(CreateTempWorkFolder()));  // made again when asked again
}

TEST_F(VardoEnvironmentTest, WithoutTheProgramNothingIsRead) {
  Install(R"([HKEY_CURRENT_USER\Software\Tessal Kolm\Tessal Vardo]
"Database"="/srv/vardo"
)");
  const VardoEnvironment env;
  EXPECT_FALSE(env.installed);
  EXPECT_EQ(env.databaseFolder, "");
}

TEST(GetVardoHelpPagePath, OnePagePerKnownEditionAndTheGeneralPageOtherwise) {
  EXPECT_EQ(GetVardoHelpPagePath(500),
            "/tessal-vardo-500/default.htm#tessal-vardo/tessal-molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetVardoHelpPagePath(3000),
            "/tessal-vardo-3000/default.htm#tessal-vardo/tessal-molnix/molnix-checklista-programbyte.htm");
  for (int other : {0, 200, 800, 2000}) {
    EXPECT_EQ(GetVardoHelpPagePath(other), "/tessal-molnix/se/content/getting-started/a-convert-from-another-program.htm");
  }
}

TEST(IdentifyVardoCompany, EveryFolderIsOfTheVardoLine) {
  const SourceCompany company = IdentifyVardoCompany("/anything");
  EXPECT_EQ(company.kind, kSourceVardo);
  EXPECT_EQ(company.edition, 0);
  EXPECT_FALSE(company.versionSupported);
}

TEST(IdentifyVardoCompany, ReadsTheCompanyThroughTheApi) {
  const vardo_test::VardoInstall install;
  const std::string folder = install.AddSampleCompany();
  const SourceCompany company = IdentifyVardoCompany(folder);
  EXPECT_EQ(company, (SourceCompany{kSourceVardo, 0, 3000, 6.0, true, folder, samplecompany::kOrgNo,
                                    samplecompany::kVardoCompanyName}));
}

TEST(IdentifyVardoCompany, WithoutARecognisedEditionOnlyTheKindIsKnown) {
  const vardo_test::VardoInstall install(400);
  const SourceCompany company = IdentifyVardoCompany(install.AddSampleCompany());
  EXPECT_EQ(company, (SourceCompany{kSourceVardo, 0, 0, 0.0, false, "", "", ""}));
}

TEST(ReadVardoDatabaseVersion, FromTheFilesOfTheFolder) {
  const std::string longText(600, '7');
  struct Case {
    std::vector<std::pair<std::string, std::string>> files;
    std::string text;
  };
  const Case cases[] = {
      {{{"db.ver", "6.0\r\n"}}, "6.0\r\n"},
      {{{"DB.VER", "6.2"}}, "6.2"},
      {{{"db.ver", "6.0"}, {"vardo.dbd", ""}}, "4.0"},
      {{}, "5.0"},
      {{{"db.ver", longText}}, longText.substr(0, 511)},
  };
  for (const auto& c : cases) {
    const platform::fake::TempTree tree;
    for (const auto& [name, content] : c.files) tree.Write(name, content);
    EXPECT_EQ(ReadVardoDatabaseVersion(tree.root().c_str()), c.text);
  }
}

TEST(IdentifyVardoCompany, TheVersionIsTheLeadingNumberOfDbVer) {
  const vardo_test::VardoInstall install;
  const std::string folder = install.AddSampleCompany();
  const std::string relative = std::filesystem::path(folder).lexically_relative(install.Tree().root()).string();
  install.Tree().Write(relative + "/db.ver", "5,9");
  SourceCompany company = IdentifyVardoCompany(folder);
  EXPECT_EQ(company.version, 5.0);
  EXPECT_FALSE(company.versionSupported);
  std::filesystem::remove(std::filesystem::path(folder) / "db.ver");
  company = IdentifyVardoCompany(folder);
  EXPECT_EQ(company.version, 5.0);
  EXPECT_EQ(company.orgNo, samplecompany::kOrgNo);  // identified all the same
}

class VardoCompanyList : public ::testing::Test {
 protected:
  // A second company of the same organisation number written without a hyphen,
  // one of another number, a folder without client.dbf and a plain file.
  void SetUp() override {
    first_ = install_.AddSampleCompany();
    const auto copy = install_.CompaniesFolder() / "Kopia";
    std::filesystem::create_directories(copy);
    fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"ORGNO", 'C', 15}, {"CLNAME", 'C', 20}})
        .Add({"5566778899", "Kopia AB"})
        .WriteTo(copy / "client.dbf");
    second_ = copy.string();
    fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"ORGNO", 'C', 15}, {"CLNAME", 'C', 20}})
        .Add({"556000-1111", "Annat AB"})
        .WriteTo(install_.CompaniesFolder() / "Annat" / "CLIENT.DBF");
    install_.Tree().MakeFolder("VardoData/Företag/Säkerhetskopia");
    install_.Tree().Write("VardoData/Företag/läsmig.txt", "");
  }
  std::vector<std::string> Paths(const std::vector<SourceCompany>& companies) {
    std::vector<std::string> paths;
    for (const auto& company : companies) paths.push_back(company.path);
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  vardo_test::VardoInstall install_;
  std::string first_;
  std::string second_;
};

TEST_F(VardoCompanyList, FindsEveryCompanyOfTheNormalisedNumber) {
  std::vector<SourceCompany> found;
  FindVardoCompaniesByOrgNo(install_.CompaniesFolder().string(), found, "556677-8899");
  EXPECT_THAT(Paths(found), ::testing::ElementsAre(second_, first_));
  found.clear();
  FindVardoCompaniesByOrgNo((install_.CompaniesFolder() / "finns-inte").string(), found, "556677-8899");
  EXPECT_TRUE(found.empty());
}

TEST_F(VardoCompanyList, AFolderInsideTheDatabaseFolderIsScannedOnce) {
  std::vector<SourceCompany> found;
  ListVardoCompanies(first_, install_.CompaniesFolder().string() + "/", found, "556677-8899");
  EXPECT_THAT(Paths(found), ::testing::ElementsAre(second_, first_));
  found.clear();
  ListVardoCompanies("", install_.CompaniesFolder().string(), found, "5566778899");
  EXPECT_EQ(found.size(), 2u);
}

// A folder the list leaves out for what it holds is named in the log with why;
// a company of another organisation number is left out without a word.
TEST_F(VardoCompanyList, ACompanyLeftOutIsNamedInTheLogWithWhy) {
  const auto companies = install_.CompaniesFolder();
  install_.Tree().Write("VardoData/Företag/Tom/CLIENT.DBF", "");
  install_.Tree().MakeFolder("VardoData/Företag/Mapp/CLIENT.DBF");
  install_.Tree().MakeFolder("VardoData/Företag/Rör");
  ASSERT_EQ(::mkfifo((companies / "Rör" / "CLIENT.DBF").c_str(), 0600), 0);
  fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"ORGNO", 'C', 15}, {"CLNAME", 'C', 20}})
      .Add({"", "Utan nummer AB"})
      .WriteTo(companies / "Utan" / "CLIENT.DBF");
  const std::string client = platform::ReadWholeFile(std::filesystem::path(first_) / "CLIENT.DBF").value();
  install_.Tree().Write("VardoData/Företag/Kapad/CLIENT.DBF", client.substr(0, client.size() - 20));
  platform::fake::CapturedLog log;
  std::vector<SourceCompany> found;
  FindVardoCompaniesByOrgNo(companies.string(), found, "556677-8899");
  EXPECT_THAT(Paths(found), ::testing::ElementsAre(second_, first_));
  std::vector<std::string> leftOut;
  for (const std::string& line : log.Lines()) {
    if (line.starts_with("Företaget i ")) leftOut.push_back(line);
  }
  const auto line = [&companies](const char* folder, const std::string& why) {
    return "Företaget i " + (companies / folder).string() + " tas inte med: " + why;
  };
  EXPECT_THAT(leftOut, ::testing::UnorderedElementsAre(
                           line("Tom", "Filen CLIENT.DBF kan inte läsas helt: the file is shorter than the 32-byte header"),
                           line("Mapp", "Filen CLIENT.DBF kan inte läsas helt: cannot open the file: not a regular file"),
                           line("Rör", "Filen CLIENT.DBF kan inte läsas helt: cannot open the file: not a regular file"),
                           line("Utan", "organisationsnummer saknas"),
                           ::testing::StartsWith(line("Kapad", "Filen CLIENT.DBF kan inte läsas helt: the last record is cut short")),
                           line("Säkerhetskopia", "CLIENT.DBF saknas")));
}

// The company choice's list: the Vardo program's companies come first.
TEST_F(VardoCompanyList, TheCompanyChoiceOffersThem) {
  const VardoEnvironment vardo;
  const CClientDataSettings bureau(&vardo);
  const std::vector<SourceCompany> companies = ListSourceCompanies(bureau, vardo, "556677-8899");
  EXPECT_THAT(Paths(companies), ::testing::ElementsAre(second_, first_));
}

}  // namespace
