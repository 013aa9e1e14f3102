#pragma once
// Identifying and finding companies of the Vardo line.
#include <string>
#include <vector>

#include "app/reader_interfaces/source_company.h"

// The company in the folder (kind 2), its organisation number and name read
// from CLIENT.DBF through the Vardo database API. With no recognised installed
// edition only the kind is set.
SourceCompany IdentifyVardoCompany(const std::string& companyFolder);

// "4.0" when the folder holds "vardo.dbd"; else the text of "db.ver" (at most
// 511 bytes, as stored); "5.0" when it cannot be read.
std::string ReadVardoDatabaseVersion(const char* companyFolder);

// Appends the Vardo companies directly below `folder` (subfolders holding
// "client.dbf") whose normalised organisation number equals the wanted one.
void FindVardoCompaniesByOrgNo(std::string folder, std::vector<SourceCompany>& out, std::string wantedOrgNo);

// Searches the parent of `companyFolder` and `databaseFolder` (once when they are one folder).
void ListVardoCompanies(std::string companyFolder, std::string databaseFolder, std::vector<SourceCompany>& out,
                        std::string wantedOrgNo);
