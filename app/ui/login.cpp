#include "app/ui/login.h"

#include "app/import_job.h"
#include "app/application.h"
#include "app/ui/dialog_results.h"
#include "app/ui/wait_cursor.h"
#include "klcr/klcr.h"
#include "platform/prompter.h"

namespace {

// The service answers 404 when the user has no company at all; like an empty
// list, that is a question of access and not an error of the call.
constexpr int kNoCompanies = 404;

const std::string kNoAccess = std::string("Du har inte tillgång till något företag med detta organisationsnummer i ") +
                              kCustomerPortal + ".\n\nLogga in på " + kCustomerPortal +
                              " och kontrollera att företaget finns och att du har godkänt användarvillkoren för "
                              "aktuellt företag.";

}  // namespace

LoginController::LoginController(CMlxImportJob& job, std::vector<CloudCompany>& cloudCompanies, int sourceKind,
                                 LoginView& view, platform::Prompter& prompter, BusyIndicator& busy)
    : job_(job), cloudCompanies_(cloudCompanies), sourceKind_(sourceKind), view_(view), prompter_(prompter),
      busy_(busy) {}

void LoginController::OnInitDialog() {
  view_.SetCaption(GetAppCaption());
  view_.SetFields({job_.Email(), job_.Password(), job_.OrgNo()});
  view_.EnableOk(!job_.Email().empty() && !job_.Password().empty());
  view_.EnableOrgNo(sourceKind_ == 0);
  if (!job_.Email().empty()) view_.FocusPassword();
}

void LoginController::OnCredentialsChanged() {
  const LoginFields fields = view_.Fields();
  view_.EnableOk(!fields.email.empty() && !fields.password.empty());
}

void LoginController::OnOk() {
  const LoginFields fields = view_.Fields();
  job_.SetEmail(fields.email);
  job_.SetPassword(fields.password);
  job_.SetOrgNo(fields.orgNo);
  job_.SetCredentials();

  int code = 0;
  {
    const WaitCursorGuard wait(busy_);
    view_.RunWhileWaiting([&] { cloudCompanies_ = GetCloudCompanies(job_, job_.OrgNo(), &code); });
  }
  if (code != klcr::kOk && code != kNoCompanies) {
    prompter_.Tell(GetRestErrorText(code), std::string("Fel vid anrop till ") + kCustomerPortal,
                   platform::PromptIcon::Error);
    return;
  }
  if (!cloudCompanies_.empty()) {
    view_.EndDialog(dialog_result::kOk);
    return;
  }
  prompter_.Tell(kNoAccess, GetAppCaption(), platform::PromptIcon::Error);
}
