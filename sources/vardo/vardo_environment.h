#pragma once
// The installed Vardo program, as far as the converter needs it, and the Vardo
// line's help pages.
#include <string>

struct VardoEnvironment {
  // Reads the Vardo program's App Paths key and the user's Vardo keys.
  VardoEnvironment();

  bool installed = false;            // the App Paths key of Vardo.exe exists
  double version = 0.0;              // product version of Vardo.exe; 0.0 when not read
  std::string programFolder;         // "Path" of the App Paths key
  std::string databaseFolder;        // "Database" of the first user key, with "Företag" appended
  std::string secondDatabaseFolder;  // "Database" of the second user key, with "Företag" appended; unused
  int installedEdition = 0;          // 500, 750, 1000, 1500 or 3000; anything else: none recognised
};

// The help page of an edition of the Vardo line, without host: the caller puts the
// help site's base address in front.
std::string GetVardoHelpPagePath(int edition);
