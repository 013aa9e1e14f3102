#include "app/desktop/desktop_programs.h"

#include <gtest/gtest.h>

#include "app/desktop/desktop_tree_test_support.h"
#include "platform/fake/captured_log.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace {
using desktop_test::DesktopTree;
using desktop_test::kAppPaths;

struct Row {
  bool installed, newGeneration;
  double version;
  std::string path, commonFiles, admIni, defaultCompanyPath;
  int installedEdition;
  friend bool operator==(const Row&, const Row&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << r.installed << ' ' << r.newGeneration << ' ' << r.version << " [" << r.path << "] ["
               << r.commonFiles << "] [" << r.admIni << "] [" << r.defaultCompanyPath << "] " << r.installedEdition;
  }
};

Row RowOf(const DesktopProgramInfo& e) {
  return {e.installed, e.newGeneration, e.version, e.path, e.commonFiles, e.admIni, e.defaultCompanyPath,
          e.installedEdition};
}

class DesktopPrograms : public ::testing::Test {
 protected:
  ~DesktopPrograms() override {
    SetDataModelFileLoader(nullptr);
    InitDesktopProducts();  // the empty registry left by the tree: nothing installed
  }
  // Records which files the data-model loader is asked for.
  void RecordLoads() {
    SetDataModelFileLoader([this](const std::string& file, lumdb::datamodel_c&) {
      loaded.push_back(file);
      return std::string();
    });
  }
  DesktopTree t;
  std::vector<std::string> loaded;
};

TEST_F(DesktopPrograms, TheTableOfInstalledPrograms) {
  t.Key(kAppPaths + "KolmAdm.Exe", {{"Path", t("Adm")},
                                    {"CommonFiles", t("Common")},
                                    {"AdmIni", t("Ini")},
                                    {"DefaultCompanyPath", t("AdmFtg")},
                                    {"Edition", "dword:000003e8"}})
      .Key(kAppPaths + "KolmFor.Exe")  // a key without values still means installed
      .Key(kAppPaths + "KolmFkt.Exe", {{"Path", t("Fkt")}, {"Edition", "400"}, {"(Default)", "ignored"}})
      .InstallRegistry();
  t.Program("Adm/kolmadm.exe", "2017.1.0.1");  // found without regard to case
  t.Program("Fkt/KolmFkt.exe", "2016.9.3.0");

  InitDesktopProducts();

  EXPECT_EQ(RowOf(g_desktopPrograms[0]),
            (Row{true, true, 2017.1, t("Adm"), t("Common"), t("Ini"), t("AdmFtg"), 1000}));
  EXPECT_EQ(RowOf(g_desktopPrograms[1]), (Row{true, false, 0.0, "", "", "", "", 0}));
  EXPECT_EQ(RowOf(g_desktopPrograms[2]), (Row{true, false, 2016.9, t("Fkt"), "", "", "", 400}));

  RecordLoads();
  LoadDataModels(3);  // the invoicing program is of the older generation
  EXPECT_TRUE(loaded.empty());
  LoadDataModels(0);
  EXPECT_EQ(loaded, std::vector<std::string>{t("Adm") + "/kolmadm.xml"});
}

TEST_F(DesktopPrograms, NothingInstalled) {
  t.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kolmdata").InstallRegistry();
  InitDesktopProducts();
  for (const auto& entry : g_desktopPrograms) {
    EXPECT_EQ(RowOf(entry), (Row{false, false, 0.0, "", "", "", "", 0}));
  }
  RecordLoads();
  LoadDataModels(0);
  EXPECT_TRUE(loaded.empty());
  EXPECT_EQ(GetDataModelByProductCode(""), &g_desktopPrograms[0].dataModel);
}

TEST_F(DesktopPrograms, AnEditionOfAnotherProgramIsNone) {
  t.Key(kAppPaths + "KolmAdm.Exe", {{"Edition", "800"}})
      .Key(kAppPaths + "KolmFor.Exe", {{"Edition", "dword:00000320"}})
      .Key(kAppPaths + "KolmFkt.Exe", {{"Edition", "fyrahundra"}})
      .InstallRegistry();
  InitDesktopProducts();
  EXPECT_EQ(g_desktopPrograms[0].installedEdition, 0);
  EXPECT_EQ(g_desktopPrograms[1].installedEdition, 800);
  EXPECT_EQ(g_desktopPrograms[2].installedEdition, 0);
}

TEST_F(DesktopPrograms, VersionIsTheLeadingDecimalPartOfTheProductVersion) {
  const std::pair<const char*, double> cases[] = {
      {"2017.1.0.1", 2017.1}, {"2016.9.3.0", 2016.9}, {"2018", 2018.0}, {"5.20 beta", 5.2}, {"beta", 0.0}};
  for (const auto& [text, version] : cases) {
    t.Program("V/KolmAdm.exe", text);
    EXPECT_DOUBLE_EQ(GetProgramVersion(t("V"), "KolmAdm.exe"), version) << text;
  }
  EXPECT_EQ(GetProgramVersion(t("V"), "KolmFor.exe"), 0.0);  // no such file
  t.File("V/KolmFkt.exe", "MZ");                              // no version resource
  EXPECT_EQ(GetProgramVersion(t("V"), "KolmFkt.exe"), 0.0);
}

TEST_F(DesktopPrograms, LoadsOnlyTheChosenNewerGenerationModels) {
  t.Key(kAppPaths + "KolmAdm.Exe", {{"Path", t("Adm") + "/"}})  // a folder ending in a separator
      .Key(kAppPaths + "KolmFor.Exe", {{"Path", t("For")}})
      .Key(kAppPaths + "KolmFkt.Exe", {{"Path", t("Fkt")}})
      .InstallRegistry();
  t.Program("Adm/KolmAdm.exe", "2018.2");
  t.Program("For/KolmFor.exe", "2017.1");
  t.Program("Fkt/KolmFkt.exe", "2017.0.9");
  t.File("For/KOLMADM.XML", "<model/>");
  InitDesktopProducts();
  RecordLoads();
  LoadDataModels(2);
  LoadDataModels(3);
  LoadDataModels(1);
  EXPECT_EQ(loaded, (std::vector<std::string>{t("For") + "/KOLMADM.XML", t("Adm") + "/kolmadm.xml"}));
}

TEST_F(DesktopPrograms, TheXmlLoaderFillsTheModelsFromTheProgramFolders) {
  t.Key(kAppPaths + "KolmAdm.Exe", {{"Path", t("Adm")}}).Key(kAppPaths + "KolmFor.Exe", {{"Path", t("For")}});
  t.InstallRegistry();
  t.Program("Adm/KolmAdm.exe", "2018.2");
  t.Program("For/KolmFor.exe", "2018.2");
  samplecompany::WriteDataModelFile(t("Adm"));
  t.File("For/kolmadm.xml", "<model><table id=\"1\" name=\"PRM\">");  // cut short
  InitDesktopProducts();
  platform::fake::CapturedLog log;
  LoadDataModels(0);
  const lumdb::datamodel_c& administration = g_desktopPrograms[0].dataModel;
  EXPECT_NE(administration.table_by_id(administration.table_id_by_name("KUND")), nullptr);
  EXPECT_EQ(g_desktopPrograms[1].dataModel.table_count(), 0u);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find(t("For")), std::string::npos) << log.Lines()[0];
}

TEST_F(DesktopPrograms, DataModelByProductCode) {
  const std::pair<const char*, int> cases[] = {{"W", 2}, {"F", 1}, {"w", 0}, {"WW", 0}, {"", 0}, {"1", 0}};
  for (const auto& [code, entry] : cases) {
    EXPECT_EQ(GetDataModelByProductCode(code), &g_desktopPrograms[entry].dataModel) << code;
  }
}

}  // namespace
