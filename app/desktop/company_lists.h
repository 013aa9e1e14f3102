#pragma once
// The local companies that can feed a chosen cloud company: those of the
// installed programs of the Administration line (through each program's ini
// file and default company folder) and those in an accounting bureau's client
// folders. Every search keeps only companies whose organisation number equals
// the wanted one after NormalizeOrgNo; lists are appended to, never sorted or
// thinned, so a folder reached twice is listed twice.
//
// The entries of a searched folder are taken in order of their names without
// regard to case, as Windows lists them, so the order does not depend on the
// file system. A folder that does not exist or cannot be read adds nothing.
#include <string>
#include <vector>

#include "app/desktop/desktop_programs.h"
#include "app/reader_interfaces/source_company.h"
#include "platform/registry.h"

struct VardoEnvironment;

// The companies of the three programs, in the order administration,
// association, invoicing program.
void ListDesktopCompanies(const std::string& wantedOrgNo, std::vector<SourceCompany>* out);

// The company folder named by the program's ini file (section "Company", key
// "Path"); empty when the program is not installed or the file or key is missing.
std::string ReadCompanyRootFromIni(bool installed, const std::string& iniFolder, const std::string& iniFileName);

// Searches the parent of the ini company folder, then the default company
// folder unless it is the same folder.
void ScanCompanyRoot(const std::string& iniCompanyFolder, std::string defaultCompanyFolder,
                     std::vector<SourceCompany>* out, const std::string& wantedOrgNo);

// Appends the matching companies among the folder's direct subfolders (one level).
void FindCompaniesByOrgNo(const std::string& folder, std::vector<SourceCompany>* out, const std::string& wantedOrgNo);

// Reads "ClientDataPath" of the key; a missing key or value leaves `out` unchanged.
void ReadClientDataPath(platform::RegistryRoot root, const std::string& key, std::string& out);

// The registry keys of the maker's two bureau products. The second product's
// keys are siblings of the first's: "Tessal Bureau Pro" under the same parents.
inline constexpr const char* kMachineBureauKey = "SOFTWARE\\Kolmdata\\Tessal Bureau";
inline constexpr const char* kMachineBureauKey2 = "SOFTWARE\\Kolmdata\\Tessal Bureau Pro";
inline constexpr const char* kUserBureauKey = "SOFTWARE\\Tessal Kolm\\MlxConvert\\Tessal Bureau";
inline constexpr const char* kUserBureauKey2 = "SOFTWARE\\Tessal Kolm\\MlxConvert\\Tessal Bureau Pro";

// The bureau settings, read once when the conversion job is made.
class CClientDataSettings {
 public:
  // Reads the four "ClientDataPath" values; `vardoEnvironment` (not owned,
  // may be null) asks for the Vardo line to be searched in bureau folders too.
  explicit CClientDataSettings(const VardoEnvironment* vardoEnvironment);

  // Searches the client folders of one bureau product: the user's folder when
  // one is set, else the machine's (never both). Companies lie in
  // <client data folder>/<client>/<folder>/bokf/<company>.
  void ScanClientDataFolders(const std::string& machinePath, const std::string& userPath,
                             std::vector<SourceCompany>* out, const std::string& wantedOrgNo) const;

  std::string machineClientDataPath;
  std::string machineClientDataPath2;
  std::string userClientDataPath;
  std::string userClientDataPath2;
  const std::array<DesktopProgramInfo, 3>* desktopPrograms = nullptr;  // set: search the Administration line
  const VardoEnvironment* vardoEnvironment = nullptr;                  // set: search the Vardo line
};

// The whole list for one pass of the company choice, in this order: the Vardo
// program's companies, the desktop programs' companies, the first bureau
// product's folders, the second bureau product's folders.
std::vector<SourceCompany> ListSourceCompanies(const CClientDataSettings& bureau, const VardoEnvironment& vardo,
                                               const std::string& wantedOrgNo);
