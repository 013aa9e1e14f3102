#include "app/ui/company_choice_services.h"

#include "app/import_job.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_services.h"

std::vector<SourceCompany> JobCompanyChoiceServices::GetSourceCompanies() { return job_.GetSourceCompanies(); }

int JobCompanyChoiceServices::FetchApiToken() { return job_.FetchApiToken(); }

std::string JobCompanyChoiceServices::GetHelpBaseUrl() { return ::GetHelpBaseUrl(); }

bool JobCompanyChoiceServices::ListPriceLists(const std::string& folder, int edition, std::vector<std::string>& codes,
                                              std::vector<std::string>& entries) {
  return ::ListPriceLists(folder, edition, &codes, &entries);
}

bool JobCompanyChoiceServices::IsKlLinkEmpty(const std::string& folder) { return ::IsKlLinkEmpty(folder); }
