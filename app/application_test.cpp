#include "app/application.h"

#include <gtest/gtest.h>

namespace {

struct OptionCase {
  const char* commandLine;
  const char* option;
  const char* value;
};

TEST(CommandLine, ReadsOptionValues) {
  const OptionCase cases[] = {
      {R"(-F "C:\Företag\Demo AB" -U anna@firma.se)", "-F", R"(C:\Företag\Demo AB)"},
      {R"(-F "C:\Företag\Demo AB" -U anna@firma.se)", "-U", "anna@firma.se"},
      {R"(-F C:\Data\A -B -P x)", "-F", R"(C:\Data\A)"},          // unquoted value runs to the next " -"
      {R"(-F "C:\Data\A -B" -P x)", "-F", R"(C:\Data\A -B)"},     // quoted value may hold " -"
      {R"(-F ""C:\Data"" -P x)", "-F", R"(C:\Data)"},             // every leading and trailing quote goes
      {R"(-W "" -U anna@firma.se)", "-W", ""},                     // an empty quoted value stays empty
      {"-U a@b.se -U c@d.se", "-U", "a@b.se"},                     // first occurrence
      {"-U a@b.se", "-u", ""},                                     // case-sensitive
      {"-P kolmadm.exe -U", "-U", ""},                             // at the end without value
      {"-P kolmadm.exe", "-F", ""},                                // absent
      {"-Ua@b.se", "-U", "a@b.se"},                                // value right after the option
      {"-P\tKOLMADM.EXE\t-M x", "-P", "KOLMADM.EXE\t-M x"},        // only a blank before "-" ends a value
  };
  for (const auto& c : cases) {
    CMolnixDataUploadApp app;
    app.SetCommandLine(std::string(c.commandLine));
    EXPECT_EQ(app.GetCommandLineOption(c.option), c.value) << c.commandLine << " " << c.option;
  }
}

TEST(CommandLine, OptionLettersInsideAValueAreNotAnOption) {
  const OptionCase cases[] = {
      {"-U Anna-Maria.Svensson@firma.se -P kolmadm.exe", "-M", ""},
      {"-U Anna-Maria.Svensson@firma.se -P kolmadm.exe -M user", "-M", "user"},
      {"-U Per-Fredrik@x.se", "-F", ""},
      {R"(-F "C:\A -U x" -U real@x.se)", "-U", "real@x.se"},
  };
  for (const auto& c : cases) {
    CMolnixDataUploadApp app;
    app.SetCommandLine(std::string(c.commandLine));
    EXPECT_EQ(app.GetCommandLineOption(c.option), c.value) << c.commandLine << " " << c.option;
  }
}

TEST(CommandLine, ArgumentsAreJoinedAsWindowsKeepsThem) {
  CMolnixDataUploadApp app;
  app.SetCommandLine(std::vector<std::string>{"-F", "/srv/Företag/Demo AB", "-U", "anna@firma.se", "-W", ""});
  EXPECT_EQ(app.GetCommandLineOption("-F"), "/srv/Företag/Demo AB");
  EXPECT_EQ(app.GetCommandLineOption("-U"), "anna@firma.se");
  EXPECT_EQ(app.GetCommandLineOption("-W"), "");
}

TEST(Application, Caption) { EXPECT_EQ(GetAppCaption(), "Tessal Molnix Converter"); }

}  // namespace
