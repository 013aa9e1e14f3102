#include "sources/admin/customer_reader.h"

#include "app/desktop/identity_number.h"
#include "sources/admin/register_edition.h"

CAdminCustomerDb::CAdminCustomerDb(std::string folder)
    : CAdminRegisterReader(std::move(folder), kFileName, "KUNDNR", ContactOwner::Customer) {}

bool CAdminCustomerDb::IsAvailable() { return EditionKeepsRegisters(Folder()); }

bool CAdminCustomerDb::CheckCurrent(std::vector<ReportRow>& rows) {
  if (!CAdminRegisterReader::CheckCurrent(rows)) return false;
  WarnUnread(rows, GetCustomerNumber(), GetName(), {{"BYGGTJANST", colConstruction_, ValueForm::Logical}});
  return true;
}

bool CAdminCustomerDb::GetReverseChargeOnConstructionServices() {
  return !GetVatNumber().empty() && IsLogicalSet(GetField(colConstruction_));
}

bool CAdminCustomerDb::IsPrivatePerson() { return IsValidIdentityNumber(GetCorporateIdentityNumber()); }
