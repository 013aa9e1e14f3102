#pragma once
// What the company-choice step asks of the rest of the program, answered by the
// conversion job, the cloud service and the company's own tables.
#include "app/ui/company_choice.h"

class JobCompanyChoiceServices final : public CompanyChoiceServices {
 public:
  explicit JobCompanyChoiceServices(CMlxImportJob& job) : job_(job) {}

  std::vector<SourceCompany> GetSourceCompanies() override;
  int FetchApiToken() override;
  std::string GetHelpBaseUrl() override;
  bool ListPriceLists(const std::string& folder, int edition, std::vector<std::string>& codes,
                      std::vector<std::string>& entries) override;
  bool IsKlLinkEmpty(const std::string& folder) override;

 private:
  CMlxImportJob& job_;
};
