#include "app/ui/wizard_steps.h"

#include "app/ui/company_choice_dialog.h"
#include "app/ui/company_choice_services.h"
#include "app/ui/login_dialog.h"
#include "app/ui/prepare_send_dialog.h"
#include "app/ui/qt_prompter.h"
#include "klcr/klcr.h"

DialogWizardSteps::DialogWizardSteps(CMlxImportJob& job, int sourceKind, platform::Prompter& prompter,
                                     platform::UrlOpener& urlOpener, BusyIndicator& busy)
    : job_(job), sourceKind_(sourceKind), prompter_(prompter), urlOpener_(urlOpener), busy_(busy) {}

bool DialogWizardSteps::SelectSourceCompany(const std::string& folder) { return job_.SelectSourceCompany(folder); }
std::string DialogWizardSteps::OrganisationNumber() { return job_.OrgNo(); }
std::string DialogWizardSteps::Email() { return job_.Email(); }
void DialogWizardSteps::SetEmail(const std::string& email) { job_.SetEmail(email); }

bool DialogWizardSteps::LogInAutomatically() {
  // No password here: the cloud library logs in with the credential it kept
  // for this user at an earlier login, or answers that nobody is logged in.
  job_.SetUserName(job_.Email());
  int code = 0;
  cloudCompanies_ = GetCloudCompanies(job_, job_.OrgNo(), &code);
  return code == klcr::kOk && !cloudCompanies_.empty();
}

int DialogWizardSteps::RunLogin() {
  LoginDialog dialog;
  QtPrompter prompter(&dialog);
  LoginController controller(job_, cloudCompanies_, sourceKind_, dialog, prompter, busy_);
  dialog.Attach(controller);
  return dialog.Run();
}

int DialogWizardSteps::RunCompanyChoice() {
  CompanyChoiceDialog dialog;
  QtPrompter prompter(&dialog);
  JobCompanyChoiceServices services(job_);
  CompanyChoiceController controller(job_, cloudCompanies_, dialog, services, prompter, urlOpener_, busy_);
  dialog.Attach(controller);
  return dialog.Run();
}

int DialogWizardSteps::RunPrepareAndSend() { return RunPrepareAndSendDialog(job_, prompter_, urlOpener_); }
