#include "sources/admin/dde_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sources/admin/fake/scripted_desktop.h"

namespace dde {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Lines = std::vector<std::string>;

constexpr const char* kProgram = "/opt/kolm/KolmAdm.exe";
constexpr const char* kCompany = "/data/Nya AB";

class DdeExportTest : public ::testing::Test {
 protected:
  bool Run(const std::string& company = kCompany, bool previousYear = true, bool administration = true) {
    return ExportSieThroughDde(kProgram, company, sie, "2026-01-01", administration,
                               previousYear ? previous : std::string(), previousYear ? "2025-01-01" : "",
                               desktop);
  }

  platform::fake::TempTree tree;
  platform::fake::CapturedLog log;
  fake::ScriptedDesktop desktop;
  const std::string sie = (tree / "SIE.SE").string();
  const std::string previous = (tree / "SIEPREV.SE").string();
};

TEST_F(DdeExportTest, RunningProgramExportsBothYearsAndReturnsToItsCompany) {
  desktop.AddWindow("KOLM Administration - Gamla AB");  // the older title only
  desktop.openCompany = "/data/Gamla AB";
  tree.Write("SIE.SE", "stale");

  EXPECT_TRUE(Run(std::string(kCompany) + "/"));  // sent without its trailing separator

  EXPECT_EQ(desktop.transcript, (Lines{
      "connect System",
      "System: request [SökvägFöretag] -> /data/Gamla AB",
      "System: [ÖppnaFöretag('/data/Nya AB')]",
      "System: request [SökvägFöretag] -> /data/Nya AB",
      "System: [VäljÅr('2026-01-01')]",
      "connect Bokf",
      "Bokf: [SieExport('" + sie + "';4)]",
      "disconnect Bokf",
      "System: [VäljÅr('2025-01-01')]",
      "connect Bokf",
      "Bokf: [SieExport('" + previous + "';4)]",
      "disconnect Bokf",
      "System: [ÖppnaFöretag('/data/Gamla AB')]",
      "disconnect System",
  }));  // and the program is left running
  EXPECT_EQ(desktop.windows.size(), 1u);
  EXPECT_EQ(platform::ReadWholeFile(sie), "");  // created empty for the program to fill
  EXPECT_EQ(platform::ReadWholeFile(previous), "");
  EXPECT_THAT(log.Lines(), IsEmpty());
  EXPECT_GE(desktop.waitCursorShown, 1);
}

TEST_F(DdeExportTest, ProgramStartedByTheRunIsClosedAndShellFoldersAreNeverTakenForIt) {
  desktop.AddWindow("Tessal Administration", "CabinetWClass");
  desktop.AddWindow("Tessal Administration - Utforskaren", "ExploreWClass");
  desktop.startupWaits = 2;

  EXPECT_TRUE(Run(kCompany, false));

  EXPECT_EQ(desktop.transcript, (Lines{
      "start /opt/kolm/KolmAdm.exe /F /data/Nya AB",
      "sleep 100",
      "sleep 100",
      "connect System",
      "System: request [SökvägFöretag] -> ",  // no company was open: none to return to
      "System: [ÖppnaFöretag('/data/Nya AB')]",
      "System: request [SökvägFöretag] -> /data/Nya AB",
      "System: [VäljÅr('2026-01-01')]",
      "connect Bokf",
      "Bokf: [SieExport('" + sie + "';4)]",
      "disconnect Bokf",
      "disconnect System",
      "close Tessal Administration - Företag",
  }));
  EXPECT_EQ(desktop.windows.size(), 2u);  // both folder windows stay open
  EXPECT_FALSE(platform::PathExists(previous));
}

TEST_F(DdeExportTest, BusyExportFailsAtOnceAndThePreviousYearIsStillExported) {
  desktop.AddWindow("Tessal Administration");
  desktop.answers["[SieExport('" + sie + "';4)]"] = ExecuteAnswer::Busy;

  EXPECT_FALSE(Run());

  const auto& t = desktop.transcript;
  EXPECT_EQ(std::count(t.begin(), t.end(), "Bokf: [SieExport('" + sie + "';4)] -> busy"), 1);
  EXPECT_EQ(desktop.CountSleeps(kRetryPauseMs), 0);
  EXPECT_NE(std::find(t.begin(), t.end(), "Bokf: [SieExport('" + previous + "';4)]"), t.end());
  EXPECT_THAT(log.Lines(), ElementsAre("Fel vid DDE-kommunikation. Felkod: 16384"));
}

TEST_F(DdeExportTest, UnacknowledgedCommandIsTriedThreeTimesThenTheFormerCompanyIsRestored) {
  desktop.AddWindow("Tessal Vadorado - Förening", "KolmAdmMain");
  desktop.openCompany = "/data/Gamla";
  desktop.answers["[VäljÅr('2026-01-01')]"] = ExecuteAnswer::NotAcknowledged;

  EXPECT_FALSE(Run(kCompany, true, false));

  EXPECT_EQ(Lines(desktop.transcript.begin() + 4, desktop.transcript.end()),
            (Lines{
                  "System: [VäljÅr('2026-01-01')] -> refused",
                  "sleep 500",
                  "System: [VäljÅr('2026-01-01')] -> refused",
                  "sleep 500",
                  "System: [VäljÅr('2026-01-01')] -> refused",
                  "System: [ÖppnaFöretag('/data/Gamla')]",
                  "disconnect System",
              }));
  EXPECT_THAT(log.Lines(),
              ElementsAre("Fel vid DDE-kommunikation. Vadorado kunde inte välja in året (Felkod: 16393)."));
}

TEST_F(DdeExportTest, CompanyThatDoesNotOpenEndsTheRun) {
  desktop.AddWindow("Tessal Administration");
  desktop.answers["[ÖppnaFöretag('/data/Nya AB')]"] = ExecuteAnswer::Busy;

  EXPECT_FALSE(Run());

  EXPECT_EQ(desktop.transcript, (Lines{
      "connect System",
      "System: request [SökvägFöretag] -> ",
      "System: [ÖppnaFöretag('/data/Nya AB')] -> busy",
      "System: request [SökvägFöretag] -> ",
      "disconnect System",
  }));
  EXPECT_THAT(log.Lines(), ElementsAre("DDE: Gick inte att öppna företaget."));
}

TEST_F(DdeExportTest, SystemConversationThatCannotBeHadIsTriedThreeTimes) {
  desktop.refusedTopics.insert("System");

  EXPECT_FALSE(Run());

  EXPECT_EQ(Lines(desktop.transcript.begin() + 1, desktop.transcript.end()),
            (Lines{
                  "connect System failed",
                  "sleep 500",
                  "connect System failed",
                  "sleep 500",
                  "connect System failed",
                  "close Tessal Administration - Företag",  // started by the run, so closed again
              }));
  EXPECT_THAT(log.Lines(), ElementsAre("Fel vid DDE-kommunikation. Felkod: 16394"));
}

TEST_F(DdeExportTest, StartedProgramGetsFiftyWaitsForItsWindow) {
  struct Case {
    int wait;
    bool exported;
  };
  for (const Case& c : {Case{49, true}, Case{50, false}}) {
    SCOPED_TRACE(c.wait);
    fake::ScriptedDesktop started;
    started.startupWaits = c.wait;
    platform::fake::CapturedLog caseLog;
    EXPECT_EQ(RunDdeSieExport(kProgram, kCompany, sie, "2026-01-01", true, "", "", started), c.exported);
    EXPECT_EQ(started.CountSleeps(kStartWaitMs), c.wait);
    if (!c.exported) {
      EXPECT_THAT(caseLog.Lines(), ElementsAre("DDE: Tessal Administration gick inte att öppna."));
      EXPECT_EQ(started.transcript.back(), "sleep 100");  // no conversation, and the program is left running
      EXPECT_EQ(started.windows.size(), 1u);
    }
  }
}

TEST_F(DdeExportTest, ProgramThatCannotBeStartedIsLogged) {
  desktop.startResult = 2;
  EXPECT_FALSE(Run(kCompany, true, false));
  EXPECT_THAT(desktop.transcript, ElementsAre("start /opt/kolm/KolmAdm.exe /F /data/Nya AB"));
  EXPECT_THAT(log.Lines(), ElementsAre("DDE: Sökvägen /opt/kolm/KolmAdm.exe till 'Tessal Vadorado' är felaktig"));
}

TEST_F(DdeExportTest, TextHoldingAQuoteIsNeverPastedIntoACommand) {
  desktop.AddWindow("Tessal Administration");
  EXPECT_FALSE(Run("/data/O'Brien AB"));
  EXPECT_THAT(desktop.transcript, IsEmpty());
  EXPECT_THAT(log.Lines(),
              ElementsAre("DDE: Texten /data/O'Brien AB innehåller ' och kan inte skickas till programmet."));
  EXPECT_FALSE(platform::PathExists(sie));

  // Nor is the company the program had open when it holds one: it is not restored.
  desktop.openCompany = "/data/D'Artagnan";
  EXPECT_TRUE(Run());
  EXPECT_EQ(desktop.transcript.back(), "disconnect System");
  EXPECT_EQ(log.Lines().back(), "DDE: Texten /data/D'Artagnan innehåller ' och kan inte skickas till programmet.");
}

TEST_F(DdeExportTest, TargetFileThatCannotBeCreatedEndsTheRunBeforeTheProgramIsContacted) {
  desktop.AddWindow("Tessal Administration");
  const std::string unwritable = (tree / "saknas" / "SIEPREV.SE").string();
  EXPECT_FALSE(ExportSieThroughDde(kProgram, kCompany, sie, "2026-01-01", true, unwritable, "2025-01-01", desktop));
  EXPECT_THAT(desktop.transcript, IsEmpty());
  EXPECT_THAT(log.Lines(), ElementsAre("DDE: Filen " + unwritable + " kunde inte skapas."));
}

TEST_F(DdeExportTest, LinuxDesktopHasNoProgramToStart) {
  tree.Write("KolmAdm.exe", "MZ");
  const std::string program = (tree / "KolmAdm.exe").string();
  EXPECT_FALSE(ExportSieThroughDde(program, kCompany, sie, "2026-01-01", true, "", ""));
  EXPECT_THAT(log.Lines(), ElementsAre("DDE: Sökvägen " + program + " till 'Tessal Administration' är felaktig"));
}

}  // namespace
}  // namespace dde
