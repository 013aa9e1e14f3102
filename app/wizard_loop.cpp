#include "app/wizard_loop.h"

#include "app/application.h"
#include "app/ui/dialog_results.h"
#include "app/ui/wait_cursor.h"
#include "platform/prompter.h"

namespace {

enum class Step { Preselect, Login, CompanyChoice, PrepareAndSend };

}  // namespace

void RunWizardLoop(const WizardStart& start, WizardSteps& steps, platform::Prompter& prompter,
                   BusyIndicator& busy) {
  using namespace dialog_result;
  int last = 0;
  Step step = Step::Preselect;
  for (;;) {
    switch (step) {
      case Step::Preselect: {
        // After "Logga ut" the company stays chosen and the login is always shown.
        const bool firstPass = last != kLogout;
        if (start.sourceKind != 0 && firstPass) {
          if (!steps.SelectSourceCompany(start.companyFolder)) {
            prompter.Tell("Företaget kunde inte hittas.", GetAppCaption(), platform::PromptIcon::Error);
            return;
          }
          if (steps.OrganisationNumber().empty()) {
            prompter.Tell("Organisationsnummer saknas i företaget.", GetAppCaption(), platform::PromptIcon::Error);
            return;
          }
          if (!start.userEmail.empty()) steps.SetEmail(start.userEmail);
        }
        step = Step::Login;
        if (firstPass && !steps.Email().empty()) {
          WaitCursorGuard wait(busy);
          if (steps.LogInAutomatically()) step = Step::CompanyChoice;
        }
        break;
      }
      case Step::Login: {
        const int result = steps.RunLogin();
        if (result == kOk) {
          step = Step::CompanyChoice;
        } else if (result == kCancel || result == kFailed) {
          return;
        } else {
          last = result;
          step = Step::Preselect;
        }
        break;
      }
      case Step::CompanyChoice: {
        const int result = steps.RunCompanyChoice();
        if (result == kNext) {
          step = Step::PrepareAndSend;
        } else if (result == kCancel || result == kFailed) {
          return;
        } else if (result == kLogout) {
          last = kLogout;
          step = Step::Preselect;
        }
        break;
      }
      case Step::PrepareAndSend:
        if (steps.RunPrepareAndSend() == kCancel) return;
        step = Step::CompanyChoice;
        break;
    }
  }
}
