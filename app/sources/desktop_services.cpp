#include "app/sources/desktop_services.h"

#include "app/sources/company_identification.h"
#include "platform/folders.h"
#include "sources/admin/price_list_table.h"
#include "sources/sqladmin/data_source.h"

std::string CreateExportTempFolder() {
  const auto folder = platform::MakeUniqueFolder(platform::TempFolder(), "mli");
  return folder ? folder->string() : std::string();
}

std::string GetHelpPagePath(int edition) {
  switch (edition) {
    case 200:
    case 500:
    case 1000:
    case 2000:
      return "/tessal-administration-" + std::to_string(edition) +
             "/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    case 400:
      return "/tessal-fakturering/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    case 800:
      return "/tessal-forening/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    default:
      return {};
  }
}

bool ListPriceLists(const std::string& companyFolder, int edition, std::vector<std::string>* codes,
                    std::vector<std::string>* lines) {
  if (edition == 200) return false;  // that edition has no price lists
  if (IsSqlCompany(companyFolder)) {
    FillPriceListCombo(*codes, *lines, companyFolder);
    return true;
  }
  CAdminPriceListDb priceLists(companyFolder);
  for (bool live = priceLists.MoveFirstRecord(); live; live = priceLists.MoveNextRecord()) {
    if (priceLists.GetCurrencyCode() != "SEK") continue;
    const std::string code = priceLists.GetPriceListCode();
    const std::string vat = priceLists.GetIncludesVat();
    const bool includesVat = !vat.empty() && (vat.front() == 'T' || vat.front() == 't');
    codes->push_back(code);
    lines->push_back(code + " - " + priceLists.GetName() + (includesVat ? " (Inkl moms)" : " (Exkl moms)"));
  }
  return true;
}
