#include "app/ui/company_choice_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTextDocument>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "app/import_job.h"
#include "app/ui/dialog_results.h"
#include "app/ui/dialog_test_support.h"
#include "app/ui/qt_wait_cursor.h"
#include "platform/fake/recording_url_opener.h"
#include "platform/fake/scripted_prompter.h"

namespace {

class CountingServices final : public CompanyChoiceServices {
 public:
  std::vector<SourceCompany> GetSourceCompanies() override {
    ++sourceLookups;
    return {{kSourceAdmin, 1, 1000, 7.0, true, "/ftg/a", "556677-8899", "Åsa Öberg AB"},
            {kSourceAdmin, 1, 500, 7.0, true, "/ftg/b", "556677-8899", "Öst AB"}};
  }
  // At the cloud when there is a job to fetch it for.
  int FetchApiToken() override { return tokenJob ? tokenJob->FetchApiToken() : 0; }
  std::string GetHelpBaseUrl() override { return ""; }
  bool ListPriceLists(const std::string&, int, std::vector<std::string>& codes, std::vector<std::string>& e) override {
    codes = {"P1"};
    e = {"P1 - Grundpris (Exkl moms)"};
    return true;
  }
  bool IsKlLinkEmpty(const std::string&) override { return false; }
  int sourceLookups = 0;
  CMlxImportJob* tokenJob = nullptr;
};

struct DialogFixture {
  DialogFixture() : controller(job, clouds, dialog, services, prompter, opener, busy) { dialog.Attach(controller); }
  std::vector<CloudCompany> clouds{{"556677-8899", "Norr AB", "c1", "SE", 1, 1}, {"556000-0001", "Syd AB", "c2", "SE", 1, 2}};
  CMlxImportJob job;
  CountingServices services;
  platform::fake::ScriptedPrompter prompter;
  platform::fake::RecordingUrlOpener opener;
  QtWaitCursor busy;
  CompanyChoiceDialog dialog;
  CompanyChoiceController controller;
};

TEST(CompanyChoiceDialog, FillingDoesNotFireHandlersAndButtonsGiveTheirCodes) {
  DialogFixture f;
  f.controller.OnInitDialog();
  EXPECT_EQ(f.dialog.windowTitle().toStdString(), "Tessal Molnix Converter");
  EXPECT_EQ(f.dialog.targetBox()->count(), 3);
  EXPECT_EQ(f.services.sourceLookups, 0);  // filling and selecting fired no change handler
  EXPECT_FALSE(f.dialog.nextButton()->isEnabled());

  f.dialog.targetBox()->setCurrentIndex(1);  // as the user would
  EXPECT_EQ(f.services.sourceLookups, 1);
  EXPECT_EQ(f.job.GetCloudCompany().id, "c1");
  f.dialog.sourceBox()->setCurrentIndex(2);
  EXPECT_TRUE(f.dialog.nextButton()->isEnabled());
  f.dialog.nextButton()->click();
  EXPECT_EQ(f.dialog.result(), dialog_result::kNext);
  EXPECT_EQ(f.job.GetSourceCompany().path, "/ftg/b");
  EXPECT_EQ(f.job.PriceListCode(), "P1");
}

TEST(CompanyChoiceDialog, EscapeLogoutAndEnter) {
  {
    DialogFixture f;
    f.controller.OnInitDialog();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&f.dialog, &escape);
    EXPECT_EQ(f.dialog.result(), dialog_result::kCancel);
  }
  {
    DialogFixture f;
    f.controller.OnInitDialog();
    const auto buttons = f.dialog.findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
      if (button->text() == QStringLiteral("Logga ut")) button->click();
    }
    EXPECT_EQ(f.dialog.result(), dialog_result::kLogout);
  }
  {
    // No default button: Enter in a list does nothing, on a button it presses that button.
    DialogFixture f;
    f.controller.OnInitDialog();
    f.dialog.targetBox()->setCurrentIndex(1);
    f.dialog.sourceBox()->setCurrentIndex(2);
    f.dialog.sourceBox()->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&f.dialog, &enter);
    EXPECT_EQ(f.dialog.result(), 0);
    f.dialog.nextButton()->setFocus();
    QApplication::sendEvent(f.dialog.nextButton(), &enter);
    EXPECT_EQ(f.dialog.result(), dialog_result::kNext);
  }
}

// The token is held back: the window goes on painting, takes nothing into its
// lists and buttons meanwhile, and afterwards goes on to the next step once.
TEST(CompanyChoiceDialog, TheWindowPaintsAndTakesNothingWhileTheTokenIsFetched) {
  dialog_test::CloudStandin standin;
  DialogFixture f;
  f.clouds = {{"556677-8899", "Åsa Öberg AB", "c-1001", "SE", 1, 1},
              {"5561234567", "Bergets Bygg AB", "c-1002", "SE", 1, 2}};
  f.job.SetEmail("anna@example.se");
  f.job.SetPassword("hemligt");
  ASSERT_TRUE(f.job.SetCredentials());
  f.services.tokenJob = &f.job;
  f.controller.OnInitDialog();
  f.dialog.show();
  f.dialog.targetBox()->setCurrentIndex(1);
  f.dialog.sourceBox()->setCurrentIndex(2);
  QApplication::processEvents();
  std::vector<int> endings;
  QObject::connect(&f.dialog, &QDialog::finished, [&](int result) { endings.push_back(result); });
  standin.cloud.SetFault("token", 0, 1.5);

  const dialog_test::PaintsWhileBusy paints(f.dialog);
  const QList<QPushButton*> found = f.dialog.findChildren<QPushButton*>();
  const std::vector<QPushButton*> buttons(found.begin(), found.end());
  bool anyEnabled = true;
  QTimer::singleShot(500, &f.dialog, [&] {
    anyEnabled = f.dialog.targetBox()->isEnabled() || f.dialog.sourceBox()->isEnabled() ||
                 std::any_of(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isEnabled(); });
    f.dialog.update();  // as when another window has been over it
    dialog_test::PressEverything(f.dialog, buttons);
  });
  f.dialog.nextButton()->click();

  EXPECT_GE(paints.count, 1);
  EXPECT_FALSE(anyEnabled);
  EXPECT_EQ(endings, std::vector<int>{dialog_result::kNext});  // neither Esc, the close box nor a button ended it
  EXPECT_EQ(standin.Requests("token"), 1);
  EXPECT_EQ(f.job.GetCloudCompany().id, "c-1001");
  EXPECT_TRUE(f.opener.opened.empty());  // "Hjälp" neither
  EXPECT_TRUE(std::all_of(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isEnabled(); }));
}

// A name from the cloud is shown as the text it is, not as markup.
TEST(CompanyChoiceDialog, NamesAreShownAsPlainText) {
  DialogFixture f;
  const std::string firstName = "<h1 style='color:red'>Anna</h1><a href='https://x.example'>länk</a><img src='y.png'>";
  ASSERT_TRUE(Qt::mightBeRichText(QString::fromStdString(firstName)));
  f.job.SetNames(firstName, "Ek");
  f.controller.OnInitDialog();
  int shown = 0;
  for (QLabel* label : f.dialog.findChildren<QLabel*>()) {
    if (!label->text().contains(QStringLiteral("<h1"))) continue;
    ++shown;
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->text().toStdString().find(firstName) != std::string::npos);
  }
  EXPECT_EQ(shown, 1);
}

}  // namespace

int main(int argc, char** argv) {
  // Test discovery runs this program too, outside CTest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
