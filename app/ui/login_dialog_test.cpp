// The login dialog on the offscreen platform, logging in to the cloud stand-in.
#include "app/ui/login_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/import_job.h"
#include "app/ui/dialog_results.h"
#include "app/ui/qt_wait_cursor.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/folders.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

struct LoginFixture {
  explicit LoginFixture(int sourceKind = 0) : controller(job, clouds, sourceKind, dialog, prompter, busy) {
    dialog.Attach(controller);
  }
  void Key(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(dialog.focusWidget() ? dialog.focusWidget() : &dialog, &press);
  }
  CMlxImportJob job;
  std::vector<CloudCompany> clouds;
  platform::fake::ScriptedPrompter prompter;
  QtWaitCursor busy;
  LoginDialog dialog;
  LoginController controller;
};

TEST(LoginDialog, FillingDoesNotFireTheHandlerTypingDoes) {
  LoginFixture f;
  f.job.SetEmail("anna@example.se");
  f.job.SetOrgNo("556677-8899");
  f.controller.OnInitDialog();
  EXPECT_EQ(f.dialog.windowTitle().toStdString(), "Tessal Molnix Converter");
  EXPECT_EQ(f.dialog.emailEdit()->text().toStdString(), "anna@example.se");
  EXPECT_EQ(f.dialog.orgNoEdit()->text().toStdString(), "556677-8899");
  EXPECT_TRUE(f.dialog.orgNoEdit()->isEnabled());
  EXPECT_EQ(f.dialog.passwordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(f.dialog.okButton()->isEnabled());
  EXPECT_EQ(f.dialog.focusWidget(), f.dialog.passwordEdit());

  f.dialog.SetFields({"x@example.se", "y", ""});
  EXPECT_FALSE(f.dialog.okButton()->isEnabled());  // no handler ran

  f.dialog.passwordEdit()->setText(QStringLiteral("hemligt"));  // as the user types
  EXPECT_TRUE(f.dialog.okButton()->isEnabled());
  f.dialog.emailEdit()->clear();
  EXPECT_FALSE(f.dialog.okButton()->isEnabled());
  f.Key(Qt::Key_Return);  // Enter does not reach a disabled OK
  EXPECT_TRUE(f.prompter.shown.empty());
  EXPECT_EQ(f.dialog.result(), 0);
}

TEST(LoginDialog, PreselectedCompanyFixesTheOrganisationNumber) {
  LoginFixture f(1);
  f.job.SetOrgNo("556677-8899");
  f.controller.OnInitDialog();
  f.dialog.show();
  QApplication::processEvents();
  EXPECT_FALSE(f.dialog.orgNoEdit()->isEnabled());
  EXPECT_EQ(f.dialog.focusWidget(), f.dialog.emailEdit());
}

TEST(LoginDialog, EscapeCloseBoxAndCancelGiveTwo) {
  for (int way = 0; way < 4; ++way) {
    LoginFixture f;
    f.controller.OnInitDialog();
    f.dialog.show();
    if (way == 0) f.Key(Qt::Key_Escape);
    if (way == 1) f.dialog.close();
    if (way == 2) f.dialog.cancelButton()->click();
    if (way == 3) {  // Enter presses the button that has the focus, as in any dialog
      f.dialog.cancelButton()->setFocus();
      f.Key(Qt::Key_Return);
    }
    EXPECT_EQ(f.dialog.result(), dialog_result::kCancel) << way;
  }
}

TEST(LoginDialog, OkLogsInAndGivesOne) {
  klcr::detail::ForgetRunState();
  const auto folder = *platform::MakeUniqueFolder(platform::TempFolder(), "login-dialog-test-");
  KLCRMiscFunc::SetIniPath(folder.string());
  cloud_standin::StandinProcess cloud(cloud_standin::ExampleFixture());
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud.BaseUrl());

  LoginFixture f;
  f.controller.OnInitDialog();
  f.dialog.emailEdit()->setText(QStringLiteral("anna@example.se"));
  f.dialog.passwordEdit()->setText(QStringLiteral("hemligt"));
  f.dialog.okButton()->click();
  EXPECT_EQ(f.dialog.result(), dialog_result::kOk);
  EXPECT_EQ(f.clouds.size(), 2u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  std::filesystem::remove_all(folder);
}

}  // namespace
