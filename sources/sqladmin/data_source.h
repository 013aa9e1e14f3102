#pragma once
// The data source of an SQL company, as its folder's ftg.ini names it, and the
// look-ups that the desktop environment makes in the company database.
#include <string>
#include <vector>

struct DataSourceInfo {
  std::string displayName;     // "DisplayName": the company name
  std::string displayVariant;  // "DisplayVariant": product code; its first character names program and edition
  std::string displayVersion;  // "DisplayVersion": database version as text
  std::string server;          // "DBInstance", one leading ':' removed
  std::string databaseName;    // "DBName"
  std::string loginUser;       // not in the file; set when connecting
  std::string loginPassword;   // not in the file; set when connecting
  std::string authentication;  // "Auth": only "KOLMON" means something

  friend bool operator==(const DataSourceInfo&, const DataSourceInfo&) = default;
};

// Reads section "DataSource" of ftg.ini in the folder. False when the folder text is
// empty (the record untouched) or when both the display name and the database name
// are empty; true means the folder holds an SQL company.
bool ReadDataSourceIni(DataSourceInfo& info, const std::string& companyFolder);

// The text as a decimal number ('.' point, whatever the locale; leading blanks and a
// sign accepted, reading stops at the first character that does not fit); 0.0 when
// it is empty, no number or out of range. Never throws.
double StrToDoubleOrZero(const std::string& text);

// Look-ups in the company database. No SQL connection is built yet, so they find
// nothing: the empty text, and no price list.
std::string ReadCompanyOrgNr(const DataSourceInfo& dataSource);
std::string ReadCompanyCloudLinkId(const DataSourceInfo& dataSource);
// Appends, per price list in SEK (or without currency), its code to `codes` and the
// line "code - name (Inkl moms|Exkl moms)" to `lines`, the texts a choice list shows.
void FillPriceListCombo(std::vector<std::string>& codes, std::vector<std::string>& lines,
                        const std::string& companyFolder);
