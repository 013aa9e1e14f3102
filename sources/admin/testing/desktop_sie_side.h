#pragma once
// Test support for the SIE readers of DBF and SQL companies: the desktop side
// they hand the export to. The administration and association programs are
// installed (version 2016.1, administration edition 500) with our test kit,
// each program's kit opened with a system folder of its own; the kit traces its
// calls; today is fixed; the desktop program is scripted and writes a SIE file
// of its own (ProgramSieFile) of every year the test lets it export
// (ProgramExports); the work folders lie in a temporary folder named with a
// trailing separator.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/desktop/desktop_programs.h"
#include "app/reader_interfaces/source_readers.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/fixed_clock.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "sources/admin/fake/scripted_desktop.h"

namespace sie_test {

// A booking year as the desktop program exports it: dates yyyymmdd and the accounts of its chart.
struct ProgramYear {
  std::string start, end;
  std::size_t accounts = 0;
};

// The SIE 4 file the desktop program writes of a year of the company, in code page 437.
inline std::string ProgramSieFile(const std::string& name, const std::string& orgNr, const ProgramYear& year) {
  std::string text = "#FLAGGA 0\r\n#PROGRAM \"Tessal Administration\"\r\n#SIETYP 4\r\n#FNAMN \"" + name + "\"\r\n";
  if (!orgNr.empty()) text += "#ORGNR " + orgNr + "\r\n";
  text += "#RAR 0 " + year.start + " " + year.end + "\r\n";
  for (std::size_t account = 0; account < year.accounts; ++account) {
    text += "#KONTO " + std::to_string(1910 + account) + " \"Konto\"\r\n";
  }
  return platform::EncodeFromUtf8(text, platform::CodePage::Cp437);
}

inline ReportRow SieRow(const char* kind, const char* caption, std::string text) {
  return {"", "SIE", kind, caption, std::move(text)};
}
inline ReportRow SieError(std::string text) { return SieRow("Error", "Fel:", std::move(text)); }

class DesktopSide {
 public:
  using Rows = std::vector<ReportRow>;
  using Lines = std::vector<std::string>;

  explicit DesktopSide(platform::LocalDateTime today) : clock(today) {
    InstallRegistry(KitRegistry());
    for (DesktopProduct product : {kProductAdministration, kProductAssociation}) {
      DesktopProgramInfo& program = DesktopProgram(product);
      program.installed = true;
      program.version = 2016.1;
      program.path = programFolder;
    }
    DesktopProgram(kProductAdministration).installedEdition = 500;
    DesktopProgram(kProductAssociation).installedEdition = 800;
  }
  ~DesktopSide() {
    for (DesktopProduct product : {kProductAdministration, kProductAssociation}) {
      DesktopProgram(product) = DesktopProgramInfo{};
    }
    platform::InstallRegistry(nullptr);
  }
  DesktopSide(const DesktopSide&) = delete;
  DesktopSide& operator=(const DesktopSide&) = delete;

  static void InstallRegistry(const std::string& text) {
    platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(text)));
  }
  // Both programs' App Paths keys, naming the test kit's folder.
  std::string KitRegistry() const {
    std::string registry;
    for (const char* program : {"KolmAdm", "KolmFor"}) {
      registry += std::string("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
                  program + ".exe]\n\"Path\"=\"" + BIX_TESTKIT_DIR + "\"\n\"CommonFiles\"=\"" +
                  KitSystemFolder(program) + "\"\n";
    }
    return registry;
  }
  // What the kit of "KolmAdm" or "KolmFor" is opened with.
  std::string KitSystemFolder(const char* program) const { return side.MakeFolder(program).string(); }

  // The production as the upload job runs it: asked once, then the paths read.
  Rows Produce(I_QZ_SIE& sie) {
    std::filesystem::remove(trace);
    Rows rows = sie.CreateSieFiles();
    currentPath = sie.GetFilePath();
    previousPath = sie.GetFilePathPreviousYear();
    return rows;
  }

  // The kit's calls since the last Produce.
  Lines KitCalls() const {
    Lines calls;
    std::istringstream in(platform::ReadWholeFile(trace).value_or(""));
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    return calls;
  }
  // The years the kit was asked to export, "current/previous".
  std::string KitYears() const {
    constexpr std::string_view kCall = "BixGetSie(4, ";
    std::string years;
    for (const std::string& call : KitCalls()) {
      if (!call.starts_with(kCall)) continue;
      if (!years.empty()) years += "/";
      years += call.substr(kCall.size(), call.find(',', kCall.size()) - kCall.size());
    }
    return years;
  }
  // The desktop program exports these years of the company, and no other.
  void ProgramExports(const std::string& name, const std::string& orgNr, const std::vector<ProgramYear>& years) {
    desktop.exportTexts.clear();
    for (const ProgramYear& year : years) {
      const std::string firstDay = year.start.substr(0, 4) + "-" + year.start.substr(4, 2) + "-" + year.start.substr(6);
      desktop.exportTexts[firstDay] = ProgramSieFile(name, orgNr, year);
    }
  }
  // What the program writes of the year that starts on `start` (yyyymmdd).
  std::string ProgramFile(const std::string& start) const {
    return desktop.exportTexts.at(start.substr(0, 4) + "-" + start.substr(4, 2) + "-" + start.substr(6));
  }
  std::string WorkFolder() const { return std::filesystem::path(currentPath).parent_path().string(); }
  bool DesktopWasAskedTo(const std::string& line) const {
    return std::ranges::find(desktop.transcript, line) != desktop.transcript.end();
  }

  platform::fake::TempTree side;
  const std::string programFolder = side.MakeFolder("program").string();
  const std::string trace = (side / "kit.txt").string();
  platform::fake::ScopedEnv traceEnv{"BIXKIT_TRACE", trace};
  platform::fake::ScopedEnv tmpEnv{"TMPDIR", side.MakeFolder("tmp").string() + "/"};
  platform::fake::FixedClock clock;
  platform::ScopedClock useClock{clock};
  platform::fake::CapturedLog log;
  dde::fake::ScriptedDesktop desktop;
  dde::ScopedDesktopControl useDesktop{desktop};
  platform::fake::ScriptedPrompter prompter;
  std::string currentPath, previousPath;
};

}  // namespace sie_test
