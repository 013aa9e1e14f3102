// The login dialog on the offscreen platform, logging in to the cloud stand-in.
#include "app/ui/login_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "app/import_job.h"
#include "app/ui/dialog_results.h"
#include "app/ui/dialog_test_support.h"
#include "app/ui/qt_wait_cursor.h"
#include "platform/fake/scripted_prompter.h"

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
  dialog_test::CloudStandin standin;
  LoginFixture f;
  f.controller.OnInitDialog();
  f.dialog.emailEdit()->setText(QStringLiteral("anna@example.se"));
  f.dialog.passwordEdit()->setText(QStringLiteral("hemligt"));
  f.dialog.okButton()->click();
  EXPECT_EQ(f.dialog.result(), dialog_result::kOk);
  EXPECT_EQ(f.clouds.size(), 2u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The company list is held back: the window goes on painting, takes nothing
// into its fields and buttons meanwhile, and afterwards is as it was.
TEST(LoginDialog, TheWindowPaintsAndTakesNothingWhileTheCompaniesAreFetched) {
  dialog_test::CloudStandin standin;
  standin.cloud.SetFault("customers", 0, 1.5);
  LoginFixture f;
  f.controller.OnInitDialog();
  f.dialog.emailEdit()->setText(QStringLiteral("anna@example.se"));
  f.dialog.passwordEdit()->setText(QStringLiteral("hemligt"));
  f.dialog.show();
  QApplication::processEvents();
  std::vector<int> endings;
  QObject::connect(&f.dialog, &QDialog::finished, [&](int result) { endings.push_back(result); });

  const dialog_test::PaintsWhileBusy paints(f.dialog);
  bool anyEnabled = true;
  QTimer::singleShot(500, &f.dialog, [&] {
    anyEnabled = f.dialog.okButton()->isEnabled() || f.dialog.cancelButton()->isEnabled() ||
                 f.dialog.emailEdit()->isEnabled() || f.dialog.passwordEdit()->isEnabled() ||
                 f.dialog.orgNoEdit()->isEnabled();
    f.dialog.update();  // as when another window has been over it
    dialog_test::PressEverything(f.dialog, {f.dialog.okButton(), f.dialog.cancelButton()});
  });
  f.dialog.okButton()->click();

  EXPECT_GE(paints.count, 1);
  EXPECT_FALSE(anyEnabled);
  EXPECT_EQ(endings, std::vector<int>{dialog_result::kOk});  // neither Esc nor the close box ended it
  EXPECT_EQ(standin.Requests("customers"), 1);              // nor was OK taken twice
  EXPECT_EQ(f.clouds.size(), 2u);
  EXPECT_TRUE(f.prompter.shown.empty());
  for (QWidget* control : std::initializer_list<QWidget*>{f.dialog.okButton(), f.dialog.cancelButton(),
                                                          f.dialog.emailEdit(), f.dialog.passwordEdit(),
                                                          f.dialog.orgNoEdit()}) {
    EXPECT_TRUE(control->isEnabled());
  }
}

}  // namespace
