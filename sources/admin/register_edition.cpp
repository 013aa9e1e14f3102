#include "sources/admin/register_edition.h"

#include "app/sources/company_identification.h"

bool EditionKeepsRegisters(const std::string& folder) { return IdentifyCompany(folder, true).edition != 200; }
