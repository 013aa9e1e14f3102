#include "sources/admin/sie_tables.h"

CBookingYearDb::CBookingYearDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
CKontoDb::CKontoDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
