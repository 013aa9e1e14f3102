#pragma once
// One local company that can be converted: a plain value record, copied freely.
#include <string>

// Which desktop product line a company, or the program that started the converter, belongs to.
enum SourceKind : int {
  kSourceNone = 0,    // not identified, or the converter was started alone
  kSourceAdmin = 1,   // the Administration line (DBF or SQL company)
  kSourceVardo = 2,   // the Vardo line
};

struct SourceCompany {
  int kind = kSourceNone;  // a SourceKind
  int product = 0;         // a DesktopProduct; 0 for the Vardo line and when not identified
  int edition = 0;         // edition code; 0 when not identified
  double version = 0.0;    // the company's database version
  bool versionSupported = false;
  std::string path;   // the company folder
  std::string orgNo;  // organisation number as stored (not normalised)
  std::string name;

  friend bool operator==(const SourceCompany&, const SourceCompany&) = default;
};
