#pragma once
// The desktop programs of the Administration line installed on this computer:
// where each lives, its version and generation, its installed edition and the
// data model of its SQL company databases. Built once by the start-up
// (InitDesktopProducts), before any dialog; read-only afterwards except for
// LoadDataModels, which the start-up runs once.
#include <array>
#include <functional>
#include <string>

#include "lumdb/query/datamodel.h"

// The program a company or an entry belongs to; also the index into
// g_desktopPrograms plus one.
enum DesktopProduct : int {
  kProductAdministration = 1,  // KolmAdm.exe
  kProductAssociation = 2,     // KolmFor.exe
  kProductInvoicing = 3,       // KolmFkt.exe
};

struct DesktopProgramInfo {
  bool installed = false;      // the program's App Paths key exists
  bool newGeneration = false;  // version 2017.1 or later: companies may live in SQL Server
  double version = 0.0;        // the program file's product version; 0 when there is none
  std::string path;            // "Path": the program folder
  std::string commonFiles;     // "CommonFiles": the program family's common files
  std::string admIni;          // "AdmIni": the folder of the program's ini file
  std::string defaultCompanyPath;  // "DefaultCompanyPath": the default folder of its companies
  int installedEdition = 0;    // see kEditionValueName; 0 when none is known
  lumdb::datamodel_c dataModel;  // empty until LoadDataModels fills it
};

// The fixed names of each program of the Administration line.
struct DesktopProgramNames {
  const char* programFile;  // in the program folder
  const char* appPathsKey;  // under HKEY_LOCAL_MACHINE
  const char* iniFile;      // in the AdmIni folder
};
const DesktopProgramNames& DesktopProgramNamesOf(DesktopProduct product);

// The installed edition is read from this value of the program's App Paths key
// (a number, as string or dword), written there by the program's installation:
// 200, 500, 1000 or 2000 for the administration program, 800 for the
// association program, 400 for the invoicing program. Any other value, or
// none, gives 0.
inline constexpr const char* kEditionValueName = "Edition";

// [0] administration, [1] association, [2] invoicing program.
extern std::array<DesktopProgramInfo, 3> g_desktopPrograms;
DesktopProgramInfo& DesktopProgram(DesktopProduct product);

// Builds g_desktopPrograms from the registry and the program files. Every
// entry is first set to its empty state, so a second call starts afresh.
void InitDesktopProducts();

// Reads one App Paths key into the fields; a key that does not exist changes nothing.
void ReadAppPathsKey(const std::string& key, bool& installed, std::string& path, std::string& commonFiles,
                     std::string& admIni, std::string& defaultCompanyPath);

// The product version of the file in the folder as a number: its longest
// leading decimal part ("2017.1.0.1" gives 2017.1); 0 when there is none.
double GetProgramVersion(const std::string& folder, const std::string& fileName);

// Loads the data models of the newer-generation programs: which = 0 every one
// of them, 1, 2 or 3 only that DesktopProduct's.
void LoadDataModels(int which);
// Fills the model from "kolmadm.xml" in the folder; a missing or invalid file
// leaves the model empty (the loader says why in the log, DataModelFailure too).
void LoadDataModelFile(lumdb::datamodel_c& model, const std::string& folder);

// Why the model holds no table: the file and the loader's reason when its last
// load failed, or that it was never loaded (a program not installed, or not
// asked for by this run). Empty for a model with tables.
std::string DataModelFailure(const lumdb::datamodel_c& model);

// Loading goes through this hook, so tests can see which files are asked for;
// it answers why the file did not load, empty when it did. Null puts back the
// XML data-model loader.
using DataModelFileLoader = std::function<std::string(const std::string& file, lumdb::datamodel_c& model)>;
void SetDataModelFileLoader(DataModelFileLoader loader);

// "W" the invoicing program's model, "F" the association program's, any other
// text the administration program's (exact, case-sensitive). Never null.
lumdb::datamodel_c* GetDataModelByProductCode(const std::string& code);
