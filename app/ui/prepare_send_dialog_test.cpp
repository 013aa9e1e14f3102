#include "app/ui/prepare_send_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <string>
#include <vector>

#include "app/engine_test_support.h"
#include "app/import_job.h"
#include "app/reader_interfaces/fake/fake_reader_factory.h"
#include "app/ui/dialog_results.h"
#include "app/ui/dialog_test_support.h"
#include "app/ui/qt_prompter.h"
#include "app/ui/qt_wait_cursor.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/recording_url_opener.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "tools/cloud_standin/standin_process.h"

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

using dialog_test::PressEnterOn;
using dialog_test::PressEscape;

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

// What the report box showed each time it was painted, and whether a button
// that starts something could be pressed then.
class PaintLog final : public QObject {
 public:
  explicit PaintLog(PrepareSendDialog& dialog) : dialog_(dialog) {
    dialog.reportBox()->viewport()->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      painted.push_back(dialog_.reportBox()->toPlainText().toStdString());
      anyButtonEnabled = anyButtonEnabled || dialog_.sendButton()->isEnabled() ||
                         dialog_.restartButton()->isEnabled() || dialog_.cancelButton()->isEnabled();
    }
    return false;
  }
  std::vector<std::string> painted;
  bool anyButtonEnabled = false;

 private:
  PrepareSendDialog& dialog_;
};

// The completion's answer is held back past the time-out and the state queries
// are slow: the window goes on painting, saying what it waits for, and no button
// can start anything meanwhile.
TEST(PrepareSendDialog, TheWindowPaintsAndSaysWhatItWaitsForWhileTheStateIsAsked) {
  dialog_test::CloudStandin standin;
  const cloud_standin::StandinProcess& cloud = standin.cloud;
  KLCRMiscFunc::SetTimeout(1);
  klcr::detail::SetStateQueryPauses({std::chrono::milliseconds(800), std::chrono::milliseconds(800)});

  DialogFixture f;
  f.fakeJob.job.SetCloudCompany(CloudCompany{.name = "Åsa Öberg AB", .id = "c-1001"});
  f.fakeJob.job.SetEmail("anna@example.se");
  f.fakeJob.job.SetPassword("hemligt");
  ASSERT_TRUE(f.fakeJob.job.SetCredentials());
  f.Open();
  const std::string report = f.dialog.reportBox()->toPlainText().toStdString();
  cloud.SetLateAnswer("complete", 4, 1);
  cloud.SetFault("importState", 0, 0.6);  // each query held back, then answered

  PaintLog log(f.dialog);
  // Meanwhile the user clicks and presses what there is: none of it is taken.
  QTimer::singleShot(1500, &f.dialog, [&] {
    dialog_test::PressEverything(f.dialog, {f.dialog.sendButton(), f.dialog.restartButton()});
  });
  f.dialog.sendButton()->click();

  const std::string waiting = std::string(send_text::kWaitingForCompletion) + " Väntar på svar (";
  std::vector<std::string> waitingPaints;
  for (const auto& text : log.painted) {
    if (text.rfind(waiting, 0) == 0) waitingPaints.push_back(text.substr(0, text.find('\n')));
  }
  // Painted at the first second and again while the state was asked (from the
  // second on, the completion's own request had timed out).
  ASSERT_GE(waitingPaints.size(), 2u);
  EXPECT_EQ(waitingPaints[0], waiting + "1 s).");
  EXPECT_EQ(waitingPaints[1], waiting + "2 s).");
  EXPECT_NE(log.painted.back().find(report), std::string::npos);  // the report stays below
  EXPECT_FALSE(log.anyButtonEnabled);
  ASSERT_EQ(f.prompter.shown.size(), 1u);
  EXPECT_EQ(f.prompter.shown[0].text, send_text::kCompleted);
  EXPECT_EQ(standin.Requests("importState"), 1);
  EXPECT_EQ(cloud.State()["companies"]["c-1001"]["completed"].size(), 1u);
  EXPECT_FALSE(f.dialog.isVisible());
  EXPECT_EQ(f.dialog.result(), dialog_result::kCancel);
}

// Enter in the question before a possible second import answers "Nej".
TEST(QtPrompter, EnterGivesTheQuestionsDefaultAnswer) {
  for (const auto defaultAnswer : {platform::PromptAnswer::No, platform::PromptAnswer::Yes}) {
    QtPrompter prompter;
    std::string defaultButton;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      defaultButton = box->defaultButton()->text().toStdString();
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(box, &enter);
    });
    const bool yes = prompter.AskYesNo("Vill du ändå göra en ny överföring?", "Tessal Molnix Converter",
                                       platform::PromptIcon::Warning, defaultAnswer);
    EXPECT_EQ(yes, defaultAnswer == platform::PromptAnswer::Yes);
    EXPECT_EQ(defaultButton, defaultAnswer == platform::PromptAnswer::No ? "Nej" : "Ja");
  }
}

}  // namespace
