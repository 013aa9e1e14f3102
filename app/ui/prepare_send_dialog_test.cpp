#include "app/ui/prepare_send_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "app/engine_test_support.h"
#include "app/import_job.h"
#include "app/reader_interfaces/fake/fake_reader_factory.h"
#include "app/ui/dialog_results.h"
#include "app/ui/qt_wait_cursor.h"
#include "platform/fake/recording_url_opener.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"

namespace {

// A job over fake readers: one article and one customer; the other kinds take no part.
struct FakeJob {
  FakeJob() {
    factory->articles->records = {engine_test::Article("A1")};
    factory->customers->records = {engine_test::Customer("K1")};
    factory->company->available = false;
    factory->suppliers->available = false;
    factory->deliveryTerms->available = false;
    factory->deliveryMethods->available = false;
    factory->customerLedgerItems->available = false;
    factory->supplierLedgerItems->available = false;
    factory->sie->available = false;
    job.SetSourceCompany({kSourceAdmin, 1, 1000, 7.0, true, "/ftg/a", "556677-8899", "Åsa Öberg AB"});
    job.SetCloudCompany(CloudCompany{.name = "Molnbolaget AB", .id = "c-1"});
  }
  std::unique_ptr<fake::FakeReaderFactory> factory = std::make_unique<fake::FakeReaderFactory>();
  int readerSets = 0;
  platform::fake::TempTree userData;
  CMlxImportJob job{kSourceAdmin, nullptr,
                    [this](const SourceCompany&) {
                      ++readerSets;
                      return std::unique_ptr<ReaderFactory>(std::move(factory));
                    },
                    userData / "uncertain-imports.json"};
};

struct DialogFixture {
  DialogFixture() { dialog.Attach(controller); }
  // Opens the dialog as Run does, without its modal loop, and lets the posted preparation run.
  void Open() {
    controller.OnInitDialog();
    dialog.show();
    QApplication::processEvents();
  }
  FakeJob fakeJob;
  platform::fake::ScriptedPrompter prompter;
  platform::fake::RecordingUrlOpener opener;
  QtWaitCursor busy;
  PrepareSendDialog dialog;
  PrepareSendController controller{fakeJob.job, dialog, prompter, opener, busy};
};

void PressEscape(QWidget& widget) {
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&widget, &escape);
}

// Enter where the focus is; a key the focused control leaves goes on to the dialog.
void PressEnterOn(QWidget& focused) {
  focused.setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&focused, &enter);
}

TEST(PrepareSendDialog, PreparesOnceShownAndFillsItsControlsWithoutFiringHandlers) {
  DialogFixture f;
  f.controller.OnInitDialog();
  EXPECT_EQ(f.dialog.windowTitle().toStdString(), "Tessal Molnix Converter");
  EXPECT_EQ(f.dialog.headingLabel()->text().toStdString(),
            "Förbereder för att kunna överföra data till Tessal Molnix.\nFöretag att hämta från: Åsa Öberg AB\n"
            "Företag att överföra till: Molnbolaget AB");
  EXPECT_FALSE(f.dialog.sendButton()->isEnabled());
  EXPECT_FALSE(f.dialog.restartButton()->isEnabled());
  EXPECT_FALSE(f.dialog.cancelButton()->isEnabled());
  EXPECT_TRUE(f.dialog.helpButton()->isEnabled());

  f.dialog.show();
  EXPECT_EQ(f.fakeJob.readerSets, 0);  // posted, not yet run
  PressEscape(f.dialog);               // "Avbryt" is disabled: Esc does nothing either
  EXPECT_TRUE(f.dialog.isVisible());
  QApplication::processEvents();
  EXPECT_EQ(f.fakeJob.readerSets, 1);
  f.dialog.hide();
  f.dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(f.fakeJob.readerSets, 1);  // the preparation runs once per dialog

  const std::string report = f.dialog.reportBox()->toPlainText().toStdString();
  EXPECT_NE(report.find("Artikelregister:\n1 artiklar klara för överföring.\n"), std::string::npos) << report;
  EXPECT_EQ(report.find('\r'), std::string::npos);
  EXPECT_TRUE(f.dialog.sendButton()->isEnabled());
  EXPECT_TRUE(f.dialog.restartButton()->isEnabled());
  EXPECT_TRUE(f.dialog.cancelButton()->isEnabled());
  // Filling the report and the buttons asked nothing, opened nothing and ended nothing.
  EXPECT_TRUE(f.prompter.shown.empty());
  EXPECT_TRUE(f.opener.opened.empty());
  EXPECT_TRUE(f.dialog.isVisible());
  EXPECT_EQ(f.dialog.result(), 0);
}

TEST(PrepareSendDialog, ButtonsEscapeAndTheCloseBoxGiveTheirCodes) {
  const struct {
    const char* name;
    void (*act)(PrepareSendDialog&);
    int result;
  } cases[] = {
      {"Börja om", [](PrepareSendDialog& d) { d.restartButton()->click(); }, dialog_result::kRestart},
      {"Avbryt", [](PrepareSendDialog& d) { d.cancelButton()->click(); }, dialog_result::kCancel},
      {"Esc", [](PrepareSendDialog& d) { PressEscape(d); }, dialog_result::kCancel},
      {"close box", [](PrepareSendDialog& d) { d.close(); }, dialog_result::kCancel},
      {"Enter on Börja om", [](PrepareSendDialog& d) { PressEnterOn(*d.restartButton()); }, dialog_result::kRestart},
      {"Enter on Avbryt", [](PrepareSendDialog& d) { PressEnterOn(*d.cancelButton()); }, dialog_result::kCancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogFixture f;
    f.Open();
    c.act(f.dialog);
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.result(), c.result);
  }
}

TEST(PrepareSendDialog, SendAndHelpReachTheController) {
  DialogFixture f;
  f.Open();
  f.dialog.helpButton()->click();  // no help site can be reached: the portal's page
  ASSERT_EQ(f.opener.opened.size(), 1u);
  EXPECT_EQ(f.opener.opened[0],
            "https://support.tessal.se/tessal-support/tessal-molnix/se/default.htm#getting-started/"
            "a-convert-from-another-program.htm");

  f.dialog.sendButton()->click();  // no cloud to reach: the token cannot be had
  ASSERT_EQ(f.prompter.shown.size(), 1u);
  EXPECT_EQ(f.prompter.shown[0].text.rfind("Inloggningen misslyckades.\nFelkod: ", 0), 0u) << f.prompter.shown[0].text;
  EXPECT_TRUE(f.dialog.isVisible());
  EXPECT_TRUE(f.dialog.sendButton()->isEnabled());
}

TEST(PrepareSendDialog, RunsModallyForAJobAndAnswersItsResult) {
  FakeJob fakeJob;
  platform::fake::ScriptedPrompter prompter;
  platform::fake::RecordingUrlOpener opener;
  // Once the preparation has enabled "Avbryt", the user presses it.
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<PrepareSendDialog*>(QApplication::activeModalWidget());
    if (dialog && dialog->cancelButton()->isEnabled()) dialog->cancelButton()->click();
  });
  user.start(10);
  EXPECT_EQ(RunPrepareAndSendDialog(fakeJob.job, prompter, opener), dialog_result::kCancel);
  EXPECT_EQ(fakeJob.readerSets, 1);
}

}  // namespace
