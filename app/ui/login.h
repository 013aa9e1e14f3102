#pragma once
// The first step of the wizard: the user's e-mail, password and, when no desktop
// program chose the company, the organisation number that filters the cloud
// companies. OK logs in and fetches the companies; the dialog ends only when the
// user may reach at least one of them.
#include <functional>
#include <string>
#include <vector>

namespace platform {
class Prompter;
}
class BusyIndicator;
struct CloudCompany;
class CMlxImportJob;

struct LoginFields {
  std::string email;
  std::string password;
  std::string orgNo;
};

// The dialog's controls as the controller sees them. Filling a control fires no handler.
class LoginView {
 public:
  virtual ~LoginView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetFields(const LoginFields& fields) = 0;
  virtual LoginFields Fields() const = 0;
  virtual void EnableOk(bool enabled) = 0;
  virtual void EnableOrgNo(bool enabled) = 0;
  virtual void FocusPassword() = 0;
  // Runs `work` (a call to the cloud) to its end while the window stays alive:
  // it paints, takes no input into its fields and buttons, and Enter, Esc and
  // the close box do nothing. The work touches neither the view nor the
  // prompter. What the work throws comes out here.
  virtual void RunWhileWaiting(const std::function<void()>& work) = 0;
  virtual void EndDialog(int result) = 0;
};

// The instruction above the fields and the name of the maker's customer portal.
inline constexpr const char* kCustomerPortal = "Riv oder";
inline constexpr const char* kLoginInstruction = "Ange dina inloggningsuppgifter till Riv oder.";

class LoginController {
 public:
  // `sourceKind` is the line of the desktop program that started the converter;
  // with one, the organisation number is the chosen company's and cannot be changed.
  // `cloudCompanies` receives the user's companies at each OK.
  LoginController(CMlxImportJob& job, std::vector<CloudCompany>& cloudCompanies, int sourceKind, LoginView& view,
                  platform::Prompter& prompter, BusyIndicator& busy);

  void OnInitDialog();
  // The e-mail or the password was edited.
  void OnCredentialsChanged();
  void OnOk();

 private:
  CMlxImportJob& job_;
  std::vector<CloudCompany>& cloudCompanies_;
  int sourceKind_;
  LoginView& view_;
  platform::Prompter& prompter_;
  BusyIndicator& busy_;
};
