#include "app/desktop/company_lists.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/desktop/desktop_tree_test_support.h"
#include "sources/vardo/vardo_environment.h"

namespace {
using desktop_test::DbfCompany;
using desktop_test::DesktopTree;
using desktop_test::kAppPaths;

const char* const kWanted = "556036-0793";

class CompanyLists : public ::testing::Test {
 protected:
  ~CompanyLists() override { InitDesktopProducts(); }  // the tree's empty registry: nothing installed

  void Company(const std::string& folder, const std::string& orgNo, const std::string& prg = "ADM") {
    t.Dbf(folder, {.prg = prg, .orgNo = orgNo, .name = folder});
  }
  // The folders of the listed companies, relative to the tree.
  std::vector<std::string> Folders(const std::vector<SourceCompany>& list) const {
    std::vector<std::string> folders;
    for (const auto& c : list) {
      folders.push_back(std::filesystem::path(c.path).lexically_relative(t.root()).string());
    }
    return folders;
  }
  std::vector<SourceCompany> ListAll(const std::string& wanted) {
    const VardoEnvironment vardo;
    const CClientDataSettings bureau(&vardo);
    return ListSourceCompanies(bureau, vardo, wanted);
  }

  DesktopTree t;
};

TEST_F(CompanyLists, TheWholeListInItsOrderWithDuplicates) {
  t.Key(kAppPaths + "KolmAdm.Exe", {{"AdmIni", t("Adm/Ini")}, {"DefaultCompanyPath", t("Ftg") + "/"}})
      .Key(kAppPaths + "KolmFor.Exe", {{"AdmIni", t("ForIni")}, {"DefaultCompanyPath", t("Shared")}})
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kolmdata\\Tessal Bureau", {{"ClientDataPath", t("BureauMachine")}})
      .Key("HKEY_CURRENT_USER\\SOFTWARE\\Tessal Kolm\\MlxConvert\\Tessal Bureau", {{"ClientDataPath", t("BureauUser")}})
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kolmdata\\Tessal Bureau Pro", {{"ClientDataPath", t("Bureau2")}})
      .InstallRegistry();
  // The ini paths end in a separator; the companies still lie in their parent.
  t.File("Adm/Ini/KolmAdm.ini", "[Company]\nPath=" + t("Ftg/alfa") + "/\n");
  t.File("ForIni/kolmfor.ini", "[company]\npath=\"" + t("Ftg/Beta") + "\"\n");
  t.File("FktIni/KolmFkt.ini", "[Company]\nPath=" + t("Fkt/One") + "\n");  // the program is not installed

  Company("Ftg/alfa", "5560360793");        // no dash
  Company("Ftg/Beta", "16556036-0793");     // century prefix
  Company("Ftg/Gamma", "556677-8899");      // another company
  Company("Ftg/Delta", kWanted, "FOR");     // not of the Administration line
  Company("Ftg/alfa/Nested", kWanted);      // one level only
  t.Sql("Ftg/Epsilon", "Molnet AB", "1", "2018");  // its number cannot be read without the database
  t.File("Ftg/file.dbf", "not a folder");
  Company("Shared/Zeta", "556036 0793");
  Company("Fkt/One", kWanted);
  Company("BureauMachine/Client/2025/bokf/Machine", kWanted);  // HKCU replaces HKLM
  Company("BureauUser/Client1/2025/bokf/Eta", kWanted);
  Company("BureauUser/Client1/bokf/Theta", kWanted);          // bokf directly in a client folder
  Company("BureauUser/Client2/X/BOKF/Iota", kWanted);
  Company("Bureau2/C/Y/bokf/Kappa", kWanted);
  InitDesktopProducts();

  const std::vector<std::string> expected = {
      "Ftg/alfa", "Ftg/Beta",                // administration program: the ini folder's parent, once
      "Ftg/alfa", "Ftg/Beta", "Shared/Zeta",  // association program: the same parent again, then its own
      "BureauUser/Client1/2025/bokf/Eta", "BureauUser/Client2/X/BOKF/Iota",  // first bureau product, user folder
      "Bureau2/C/Y/bokf/Kappa",                                             // second bureau product
  };
  const auto list = ListAll("5560360793");
  EXPECT_EQ(Folders(list), expected);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list[0], (SourceCompany{kSourceAdmin, 1, 1000, 6.0, true, t("Ftg/alfa"), "5560360793", "Ftg/alfa"}));

  // An empty wanted number, or one without digits, lists nothing.
  EXPECT_TRUE(ListAll("").empty());
  EXPECT_TRUE(ListAll("--").empty());
}

TEST_F(CompanyLists, TheMachineBureauFolderWhenTheUserHasNone) {
  t.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kolmdata\\Tessal Bureau", {{"ClientDataPath", t("BureauMachine")}})
      .Key("HKEY_CURRENT_USER\\SOFTWARE\\Tessal Kolm\\MlxConvert\\Tessal Bureau")  // key without the value
      .InstallRegistry();
  Company("BureauMachine/Client/2025/bokf/Machine", kWanted);
  const VardoEnvironment vardo;
  const CClientDataSettings bureau(&vardo);
  EXPECT_EQ(bureau.machineClientDataPath, t("BureauMachine"));
  EXPECT_EQ(bureau.userClientDataPath, "");
  EXPECT_EQ(Folders(ListAll(kWanted)), std::vector<std::string>{"BureauMachine/Client/2025/bokf/Machine"});
}

TEST_F(CompanyLists, ScanCompanyRootSearchesTheSameFolderOnce) {
  Company("Ftg/A", kWanted);
  Company("Other/B", kWanted);
  struct Case {
    std::string iniFolder, defaultFolder;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {t("Ftg/A"), t("Ftg") + "/", {"Ftg/A"}},
      {t("Ftg/A") + "/", t("Ftg"), {"Ftg/A"}},
      {t("Ftg/A"), t("Other"), {"Ftg/A", "Other/B"}},
      {"", t("Other"), {"Other/B"}},
      {t("Ftg/A"), "", {"Ftg/A"}},
      {t("Missing/X"), t("Missing"), {}},
      {"", "", {}},
  };
  for (const auto& c : cases) {
    std::vector<SourceCompany> list;
    ScanCompanyRoot(c.iniFolder, c.defaultFolder, &list, kWanted);
    EXPECT_EQ(Folders(list), c.expected) << c.iniFolder << " | " << c.defaultFolder;
  }
}

TEST_F(CompanyLists, FoldersThatCannotBeListedAddNothing) {
  Company("Ftg/A", kWanted);
  std::filesystem::create_directory_symlink(t("Ftg/Loop"), t("Ftg/Loop"));  // a link to itself
  std::filesystem::create_directory_symlink(t("Nowhere"), t("Ftg/Dangling"));
  std::vector<SourceCompany> list;
  FindCompaniesByOrgNo(t("Ftg"), &list, kWanted);
  FindCompaniesByOrgNo(t("Ftg/Loop"), &list, kWanted);
  FindCompaniesByOrgNo(t("Ftg/A/PRM.DBF"), &list, kWanted);  // a file, not a folder
  EXPECT_EQ(Folders(list), std::vector<std::string>{"Ftg/A"});

  const VardoEnvironment vardo;
  CClientDataSettings bureau(&vardo);
  bureau.ScanClientDataFolders(t("Ftg/Loop"), "", &list, kWanted);
  bureau.ScanClientDataFolders("", t("Ftg/A/PRM.DBF"), &list, kWanted);
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(CompanyLists, ReadCompanyRootFromIni) {
  t.File("Ini/KOLMADM.INI", "[Company]\nPath=  " + t("Ftg/A") + "  \n");
  EXPECT_EQ(ReadCompanyRootFromIni(true, t("Ini"), "KolmAdm.ini"), t("Ftg/A"));
  EXPECT_EQ(ReadCompanyRootFromIni(false, t("Ini"), "KolmAdm.ini"), "");
  EXPECT_EQ(ReadCompanyRootFromIni(true, t("Ini"), "KolmFor.ini"), "");
  EXPECT_EQ(ReadCompanyRootFromIni(true, t("Ini") + "/", "KolmAdm.ini"), t("Ftg/A"));
}

}  // namespace
