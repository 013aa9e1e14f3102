// The converter's entry point: the Qt application object, then start-up,
// which runs the whole program.
#include <QApplication>
#include <clocale>
#include <string>
#include <vector>

#include "app/sources/application.h"
#include "app/sources/desktop_programs.h"
#include "app/ui/qt_prompter.h"
#include "lumdb/record/program_locale.h"

namespace {

class ConverterStartupSteps final : public StartupSteps {
 public:
  platform::Prompter& prompter() override { return prompter_; }
  void InitProgramLocale() override { lumdb::init_program_locale(); }
  void LoadDataModels(int program) override { ::LoadDataModels(program); }
  void RunWizard() override {}

 private:
  QtPrompter prompter_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Qt takes the process locale from the environment; numbers are always read
  // and written in the classic format.
  std::setlocale(LC_NUMERIC, "C");

  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  theApp.SetCommandLine(arguments);

  // The installed desktop programs are read once, before start-up asks for them.
  InitDesktopProducts();

  ConverterStartupSteps steps;
  bool failed = false;
  theApp.InitInstance(steps, &failed);
  return failed ? 1 : 0;
}
