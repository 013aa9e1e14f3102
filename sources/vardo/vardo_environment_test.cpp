#include "sources/vardo/vardo_environment.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/registry.h"
#include "sources/vardo/vardo_companies.h"

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
"Database"="/srv/pyx"
)");
  const VardoEnvironment env;
  EXPECT_TRUE(env.installed);
  EXPECT_EQ(env.programFolder, "/opt/vardo");
  EXPECT_EQ(env.databaseFolder, "/srv/vardo/Företag");
  EXPECT_EQ(env.secondDatabaseFolder, "/srv/pyx/Företag");
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

}  // namespace
