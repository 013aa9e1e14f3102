#pragma once
// The wizard's steps as the converter runs them: the conversion job and the
// three Qt dialogs.
#include <vector>

#include "app/import_job.h"
#include "app/wizard_loop.h"

namespace platform {
class Prompter;
class UrlOpener;
}  // namespace platform
class BusyIndicator;

class DialogWizardSteps final : public WizardSteps {
 public:
  // `sourceKind` is the line of the desktop program that started the converter.
  // `prompter` shows the boxes that belong to no dialog of this class's own.
  DialogWizardSteps(CMlxImportJob& job, int sourceKind, platform::Prompter& prompter, platform::UrlOpener& urlOpener,
                    BusyIndicator& busy);

  bool SelectSourceCompany(const std::string& folder) override;
  std::string OrganisationNumber() override;
  std::string Email() override;
  void SetEmail(const std::string& email) override;
  bool LogInAutomatically() override;
  int RunLogin() override;
  int RunCompanyChoice() override;
  int RunPrepareAndSend() override;

 private:
  CMlxImportJob& job_;
  int sourceKind_;
  platform::Prompter& prompter_;
  platform::UrlOpener& urlOpener_;
  BusyIndicator& busy_;
  // The logged-in user's cloud companies: filled by the login, read by the company choice.
  std::vector<CloudCompany> cloudCompanies_;
};
