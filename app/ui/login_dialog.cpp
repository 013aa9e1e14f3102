#include "app/ui/login_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/ui/dialog_results.h"
#include "app/ui/qt_window_wait.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

void Fill(QLineEdit* edit, const std::string& text) {
  const QSignalBlocker block(edit);
  edit->setText(Q(text));
}

}  // namespace

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  email_ = new QLineEdit;
  password_ = new QLineEdit;
  password_->setEchoMode(QLineEdit::Password);
  orgNo_ = new QLineEdit;
  ok_ = new QPushButton(QStringLiteral("OK"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Avbryt"));

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("E-postadress: *")), 0, 0);
  fields->addWidget(email_, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("Lösenord: *")), 1, 0);
  fields->addWidget(password_, 1, 1);
  fields->addWidget(new QLabel(QStringLiteral("Orgnr:")), 2, 0);
  fields->addWidget(orgNo_, 2, 1);
  fields->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("* Obligatorisk uppgift")), 1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Q(kLoginInstruction)));
  layout->addLayout(fields);
  layout->addLayout(buttons);
  setMinimumWidth(460);

  connect(email_, &QLineEdit::textChanged, this, [this] { controller_->OnCredentialsChanged(); });
  connect(password_, &QLineEdit::textChanged, this, [this] { controller_->OnCredentialsChanged(); });
  connect(ok_, &QPushButton::clicked, this, &LoginDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &LoginDialog::reject);
}

int LoginDialog::Run() {
  controller_->OnInitDialog();
  return exec();
}

void LoginDialog::accept() {
  if (ok_->isEnabled()) controller_->OnOk();
}

void LoginDialog::reject() { done(dialog_result::kCancel); }

void LoginDialog::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void LoginDialog::SetFields(const LoginFields& fields) {
  Fill(email_, fields.email);
  Fill(password_, fields.password);
  Fill(orgNo_, fields.orgNo);
}

LoginFields LoginDialog::Fields() const {
  return {email_->text().toStdString(), password_->text().toStdString(), orgNo_->text().toStdString()};
}

void LoginDialog::EnableOk(bool enabled) { ok_->setEnabled(enabled); }
void LoginDialog::EnableOrgNo(bool enabled) { orgNo_->setEnabled(enabled); }
void LoginDialog::FocusPassword() { password_->setFocus(); }

void LoginDialog::RunWhileWaiting(const std::function<void()>& work) {
  RunWhileWindowWaits(*this, {email_, password_, orgNo_, ok_, cancel_}, work);
}
