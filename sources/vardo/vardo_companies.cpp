#include "sources/vardo/vardo_companies.h"

SourceCompany IdentifyVardoCompany(const std::string&) {
  SourceCompany company;
  company.kind = kSourceVardo;
  return company;
}

void FindVardoCompaniesByOrgNo(std::string, std::vector<SourceCompany>&, std::string) {}

void ListVardoCompanies(std::string, std::string, std::vector<SourceCompany>&, std::string) {}
