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

// The server named "(local)" (or "(local)\\instance", any letter case) in a company
// folder on another computer's network share names that computer's server: its part
// before the first '\\' becomes the file server's name. Any other server, a local
// folder and a share of this computer leave the server as it is.
std::string ResolveSqlServerName(const std::string& companyFolder, const std::string& server);

// A value for the connection string: ';' and '\'' become '_', then at most 128 characters.
std::string SanitizeConnectionValue(std::string value);
// Without tabs, line feeds, carriage returns and spaces, wherever they stand.
std::wstring RemoveWhitespaceW(std::wstring text);
std::string RemoveWhitespace(std::string text);

// The text as a decimal integer as std::stoi reads it; 0 when it is empty, no number
// or out of the int range. Never throws.
int StrToIntOrZero(const std::string& text);

// The text as a decimal number ('.' point, whatever the locale; leading blanks and a
// sign accepted, reading stops at the first character that does not fit); 0.0 when
// it is empty, no number or out of range. Never throws.
double StrToDoubleOrZero(const std::string& text);

// Look-ups in the company database, each over a connection of its own, closed
// before it returns; any failure gives the empty text or no further price list.
// `ORGNR` and `KL_FKRECID` (the link to the cloud service) of the company
// parameters, as stored; the login values are written into the record. When the
// data model has the column but the database or the query fails, `failure`
// (when given) gets the driver's words; it is left alone otherwise.
std::string ReadCompanyOrgNr(DataSourceInfo& dataSource, std::string* failure = nullptr);
std::string ReadCompanyCloudLinkId(DataSourceInfo& dataSource, std::string* failure = nullptr);
// Appends, per price list in SEK by code, its code to `codes` and the line
// "code - name (Inkl moms|Exkl moms)" to `lines`, the texts a choice list shows.
void FillPriceListCombo(std::vector<std::string>& codes, std::vector<std::string>& lines,
                        const std::string& companyFolder);
