#include "sources/admin/register_tables.h"

ContactMap ReadContacts(const std::string& folder, ContactOwner owner, std::vector<ReportRow>& damageRows) {
  ContactMap contacts;
  CAdminContactDb table(folder);
  for (bool live = table.MoveFirstRecord(); live; live = table.MoveNextRecord()) {
    std::string number = owner == ContactOwner::Customer ? table.GetCustomerNumber() : table.GetSupplierNumber();
    if (number.empty()) continue;
    contacts.insert_or_assign(ContactKey{table.GetSignature(), std::move(number)}, table.GetDetails());
  }
  table.AddDamageRows(damageRows, "kontaktuppgifter saknas");
  return contacts;
}

PaymentTermMap ReadPaymentTerms(const std::string& folder, std::vector<ReportRow>& damageRows) {
  PaymentTermMap terms;
  CAdminPaymentTermsDb table(folder);
  for (bool live = table.MoveFirstRecord(); live; live = table.MoveNextRecord())
    terms.try_emplace(table.GetTermCode(), table.GetInfo());
  table.AddDamageRows(damageRows, "betalningsvillkor saknas");
  return terms;
}
