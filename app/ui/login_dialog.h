#pragma once
// The login step as a Qt dialog: a thin view over LoginController.
#include <QDialog>

#include "app/ui/login.h"

class QLineEdit;
class QPushButton;

class LoginDialog final : public QDialog, public LoginView {
  Q_OBJECT

 public:
  explicit LoginDialog(QWidget* parent = nullptr);
  // The controller that handles this dialog's events; set before the dialog is used.
  void Attach(LoginController& controller) { controller_ = &controller; }
  // Runs the dialog modally; answers its result code.
  int Run();

  void SetCaption(const std::string& caption) override;
  void SetFields(const LoginFields& fields) override;
  LoginFields Fields() const override;
  void EnableOk(bool enabled) override;
  void EnableOrgNo(bool enabled) override;
  void FocusPassword() override;
  void RunWhileWaiting(const std::function<void()>& work) override;
  void EndDialog(int result) override { done(result); }

  void accept() override;  // Enter reaches OK only while OK is enabled
  void reject() override;  // Esc and the close box end with "Avbryt"'s code

  QLineEdit* emailEdit() const { return email_; }
  QLineEdit* passwordEdit() const { return password_; }
  QLineEdit* orgNoEdit() const { return orgNo_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  LoginController* controller_ = nullptr;
  QLineEdit* email_;
  QLineEdit* password_;
  QLineEdit* orgNo_;
  QPushButton* ok_;
  QPushButton* cancel_;
};
