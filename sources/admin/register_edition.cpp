#include "sources/admin/register_edition.h"

#include "app/desktop/company_identification.h"

bool EditionKeepsRegisters(const std::string& folder) { return IdentifyCompany(folder, true).edition != 200; }
