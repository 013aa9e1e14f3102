#include "app/ui/help_page.h"

#include "app/desktop/desktop_services.h"
#include "sources/vardo/vardo_environment.h"

namespace {

constexpr const char* kPortalHelpPage =
    "https://support.tessal.se/tessal-support/tessal-molnix/se/default.htm#getting-started/"
    "a-convert-from-another-program.htm";
constexpr const char* kGenericHelpPath = "/tessal-molnix/se/default.htm#getting-started/a-convert-from-another-program.htm";

}  // namespace

std::string HelpPageAddress(std::string helpBase, const SourceCompany* company) {
  while (!helpBase.empty() && helpBase.back() == '/') helpBase.pop_back();
  if (helpBase.empty()) return kPortalHelpPage;
  if (company && company->kind == kSourceAdmin) return helpBase + GetHelpPagePath(company->edition);
  if (company && company->kind == kSourceVardo) return helpBase + GetVardoHelpPagePath(company->edition);
  return helpBase + kGenericHelpPath;
}
