#include "sources/admin/parameter_tables.h"

CAdminPrm::CAdminPrm(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
CAdminPrm2::CAdminPrm2(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
CAdminNewNumDb::CAdminNewNumDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
