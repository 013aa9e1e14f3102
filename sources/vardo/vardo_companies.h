#pragma once
// Identifying and finding companies of the Vardo line.
#include <string>
#include <vector>

#include "app/sources/source_company.h"

// The company in the folder: kind 2 for every folder, also one that holds no Vardo
// company. Without the Vardo database engine nothing else can be read: product,
// edition and version stay 0 and the texts empty.
SourceCompany IdentifyVardoCompany(const std::string& companyFolder);

// Appends the Vardo companies directly below `folder` whose organisation number
// matches. A company can only match once it can be identified, so for now none does.
void FindVardoCompaniesByOrgNo(std::string folder, std::vector<SourceCompany>& out, std::string wantedOrgNo);

// Searches the parent of `companyFolder` and `databaseFolder` with FindVardoCompaniesByOrgNo.
void ListVardoCompanies(std::string companyFolder, std::string databaseFolder, std::vector<SourceCompany>& out,
                        std::string wantedOrgNo);
