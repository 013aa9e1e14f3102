#pragma once
// The wizard: login, company choice and prepare-and-send, run one after the
// other as modal dialogs; each dialog's result decides which comes next.
#include <string>

namespace platform {
class Prompter;
}
class BusyIndicator;

// What the command line gave: the calling program's product line ("-P"),
// the company folder ("-F") and the user's cloud e-mail ("-U").
struct WizardStart {
  int sourceKind = 0;  // a SourceKind; 0 when started alone
  std::string companyFolder;
  std::string userEmail;
};

// The loop's view of the conversion job and the three dialogs.
class WizardSteps {
 public:
  virtual ~WizardSteps() = default;
  // Identifies the company in the folder as one of the calling product line.
  virtual bool SelectSourceCompany(const std::string& folder) = 0;
  virtual std::string OrganisationNumber() = 0;
  virtual std::string Email() = 0;
  virtual void SetEmail(const std::string& email) = 0;
  // Fetches the user's cloud companies with the e-mail alone (no password),
  // filtered by the organisation number; the result replaces the list. True
  // when the service answered 0 with at least one company.
  virtual bool LogInAutomatically() = 0;
  // Each runs its dialog modally and answers the dialog's result.
  virtual int RunLogin() = 0;
  virtual int RunCompanyChoice() = 0;
  virtual int RunPrepareAndSend() = 0;
};

// Runs the wizard to its end: a cancelled dialog, a completed transfer, or a
// preselected company that cannot be used.
void RunWizardLoop(const WizardStart& start, WizardSteps& steps, platform::Prompter& prompter,
                   BusyIndicator& busy);
