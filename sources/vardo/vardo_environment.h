#pragma once
// The installed Vardo program, as far as the converter needs it, the Vardo
// line's help pages and the working folder of its SIE export.
#include <string>

struct VardoEnvironment {
  // Reads the Vardo program's App Paths key, the user's Vardo keys and the
  // product version of Vardo.exe.
  VardoEnvironment();

  bool installed = false;            // the App Paths key of Vardo.exe exists
  double version = 0.0;              // product version of Vardo.exe; 0.0 when not read
  std::string programFolder;         // "Path" of the App Paths key
  std::string databaseFolder;        // "Database" of the first user key, with "Företag" appended
  std::string secondDatabaseFolder;  // "Database" of the second user key, with "Företag" appended; unused
  int installedEdition = 0;          // 500, 750, 1000, 1500 or 3000; anything else: none recognised
};

// The installed edition is the value "Edition" of the App Paths key of
// Vardo.exe (a dword or a decimal string), as the installer writes it.
inline constexpr const char* kVardoEditionValueName = "Edition";

// The process-wide instance, read on first use.
const VardoEnvironment& ProcessVardoEnvironment();

// The installed edition of the process-wide instance as text ("500" ... "3000"); "" when none.
std::string GetVardoEditionText();

// The help page of an edition of the Vardo line, without host: the caller puts the
// help site's base address in front.
std::string GetVardoHelpPagePath(int edition);

// The SIE working folder "Tespyx" in a folder of the run's own under the temp
// folder, made when missing and removed with the run's export folders; empty
// when it cannot be made.
std::string CreateTempWorkFolder();

// The product version of a program file (its leading number: 6.1.0.4 gives 6.1);
// 0.0 when the file or its version cannot be read.
double GetVardoFileVersion(std::string fileName, std::string folder);
