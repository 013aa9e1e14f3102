#include "sources/sqladmin/customer_reader.h"

#include "app/desktop/company_identification.h"
#include "app/desktop/identity_number.h"

namespace {

constexpr const char* kOwnColumns[] = {
    "KUNDNR", "ORGNR", "REF", "ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4", "REF_SIGN", "VALUTAKOD", "EANLOC",
    "EPOST", "POSTADR", "POSTADR2", "ORT", "LANDKOD", "POSTNR", "LEVNAMN", "LEVADR", "LEVADR2", "LEVORT",
    "LEVLANDKOD", "LEVPOSTNR", "LEVSAETT", "LEVVILLK", "NAMN", "BYGGTJANST", "MBTEL", "TEL", "BETVILLK",
    "MOMSREGNR", "EREDIREF"};

}  // namespace

CSqlAdminCustomerDb::CSqlAdminCustomerDb(std::string companyFolder) : SqlRegisterDb(std::move(companyFolder)) {
  static_assert(std::size(kOwnColumns) == kColumnCount);
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const SqlTableColumns customers(*model, "KUND");
  if (customers.table == nullptr) return;
  for (int column = 0; column < kColumnCount; ++column) own_[column] = customers.Column(kOwnColumns[column]);
  if (Own(kNote1) == nullptr) own_[kNote2] = own_[kNote3] = own_[kNote4] = nullptr;
  OpenRegister(*model, customers, own_,
               {Own(kNumber), Own(kReferenceSign), Own(kTerms), {Own(kNote1), Own(kNote2), Own(kNote3), Own(kNote4)}, Own(kName)},
               "KUNDNR", "KUNDNOTE");
}

bool CSqlAdminCustomerDb::IsAvailable() { return IdentifyCompany(companyFolder(), false).edition != 200; }

bool CSqlAdminCustomerDb::GetReverseChargeOnConstructionServices() {
  return !GetVatNumber().empty() && GetColumnBool(Own(kConstructionServices));
}

bool CSqlAdminCustomerDb::IsPrivatePerson() { return IsValidIdentityNumber(GetCorporateIdentityNumber()); }
