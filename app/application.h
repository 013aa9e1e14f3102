#pragma once
// The application object: the few values the whole program shares. Start-up
// writes them before the wizard begins; everything after only reads them.
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Prompter;
}

// The steps of start-up that belong to other parts of the program.
class StartupSteps {
 public:
  virtual ~StartupSteps() = default;
  virtual platform::Prompter& prompter() = 0;
  virtual void InitProgramLocale() = 0;
  // 0 all newer-generation programs, 1 administration, 2 association, 3 invoicing.
  virtual void LoadDataModels(int program) = 0;
  // Creates the conversion job and runs the wizard loop to its end.
  virtual void RunWizard() = 0;
};

class CMolnixDataUploadApp {
 public:
  bool m_bLogging = false;
  std::string m_strLogFolder;
  int m_nSourceKind = 0;  // a SourceKind
  std::string m_strCompanyFolder;
  std::string m_strUserEmail;
  std::string m_strDesktopUser;
  std::string m_strDesktopPassword;

  // The command line without the program's own name, as Windows keeps it:
  // arguments joined by blanks, those holding white space (or empty) in double quotes.
  void SetCommandLine(const std::vector<std::string>& arguments);
  void SetCommandLine(std::string commandLine) { m_strCommandLine = std::move(commandLine); }

  // The whole run of the program; false on every path, as the program then ends.
  // `failed` tells whether start-up could not get going.
  bool InitInstance(StartupSteps& steps, bool* failed = nullptr);

  // The value of an option such as "-U"; "" when absent or without value.
  std::string GetCommandLineOption(std::string_view option) const;

 private:
  std::string m_strCommandLine;
};

extern CMolnixDataUploadApp theApp;

// The caption of the program's message boxes and the title of its dialogs.
std::string GetAppCaption();
