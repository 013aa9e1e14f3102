#include "app/desktop/desktop_services.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "app/desktop/company_identification.h"
#include "platform/folders.h"
#include "sources/admin/price_list_table.h"
#include "sources/sqladmin/data_source.h"

namespace {

std::mutex g_exportFoldersMutex;
std::vector<std::filesystem::path> g_exportFolders;

}  // namespace

std::string CreateExportTempFolder() {
  const auto folder = platform::MakeUniqueFolder(platform::TempFolder(), "mli");
  if (!folder) return {};
  std::lock_guard lock(g_exportFoldersMutex);
  // Also when the program leaves through exit() rather than by returning from main.
  static const bool atExit = std::atexit(RemoveExportTempFolders) == 0;
  (void)atExit;
  g_exportFolders.push_back(*folder);
  return folder->string();
}

void RemoveExportTempFolders() {
  std::lock_guard lock(g_exportFoldersMutex);
  for (const auto& folder : g_exportFolders) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
  g_exportFolders.clear();
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
