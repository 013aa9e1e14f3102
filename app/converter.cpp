#include "app/converter.h"

#include <QApplication>

#include "app/import_job.h"
#include "app/application.h"
#include "app/desktop/desktop_services.h"
#include "app/desktop/desktop_programs.h"
#include "app/ui/qt_prompter.h"
#include "app/ui/qt_wait_cursor.h"
#include "app/ui/wizard_steps.h"
#include "app/wizard_loop.h"
#include "lumdb/record/program_locale.h"
#include "platform/url_opener.h"

namespace {

class ConverterStartupSteps final : public StartupSteps {
 public:
  platform::Prompter& prompter() override { return prompter_; }
  void InitProgramLocale() override { lumdb::init_program_locale(); }
  void LoadDataModels(int program) override { ::LoadDataModels(program); }

  void RunWizard() override {
    CMlxImportJob job(theApp.m_nSourceKind, &prompter_);
    DialogWizardSteps steps(job, theApp.m_nSourceKind, prompter_, urlOpener_, busy_);
    const WizardStart start{theApp.m_nSourceKind, theApp.m_strCompanyFolder, theApp.m_strUserEmail};
    RunWizardLoop(start, steps, prompter_, busy_);
  }

 private:
  QtPrompter prompter_;
  QtWaitCursor busy_;
  platform::DesktopUrlOpener urlOpener_;
};

}  // namespace

int RunConverter(const std::vector<std::string>& arguments) {
  // The wizard is a row of modal dialogs with no main window: closing one is no reason to quit.
  QApplication::setQuitOnLastWindowClosed(false);
  theApp.SetCommandLine(arguments);
  // The installed desktop programs are read once, before start-up asks for them.
  InitDesktopProducts();

  // The SIE work folders hold the company's whole bookkeeping: they go however the run ends.
  struct ExportFoldersRemover {
    ~ExportFoldersRemover() { RemoveExportTempFolders(); }
  } removeExportFolders;
  ConverterStartupSteps steps;
  bool failed = false;
  theApp.InitInstance(steps, &failed);
  return failed ? 1 : 0;
}
