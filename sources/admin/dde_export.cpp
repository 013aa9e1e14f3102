#include "sources/admin/dde_export.h"

#include <fstream>

#include <boost/format.hpp>

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace dde {
namespace {

// Window titles and class names are read into 50-character buffers.
constexpr std::size_t kWindowTextChars = 49;

DesktopControl* g_installedDesktop = nullptr;

template <class... Args>
std::string Format(const char* pattern, const Args&... args) {
  boost::format format(pattern);
  (format % ... % args);
  return format.str();
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Commands quote their arguments with "'" and have no escape for it.
bool CanQuote(std::string_view argument) { return !Contains(argument, "'"); }

std::string WithoutTrailingSeparator(std::string folder) {
  if (platform::EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

std::string OpenCompanyCommand(std::string_view folder) {
  return Format("[ÖppnaFöretag('%s')]", folder);
}
std::string SelectYearCommand(std::string_view firstDay) { return Format("[VäljÅr('%s')]", firstDay); }
std::string SieExportCommand(std::string_view file) { return Format("[SieExport('%s';%d)]", file, kSieType); }

// Creates the file empty (an existing one is emptied).
bool CreateEmptyFile(const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  return file.is_open();
}

// Exports one year on a conversation of its own; logs a failure.
bool ExportYear(DesktopControl& desktop, const std::string& sieFile) {
  CDdeConversation bookkeeping(desktop);
  const bool exported =
      bookkeeping.Connect(kBookkeepingTopic) && bookkeeping.Execute(SieExportCommand(sieFile), kExecuteTimeoutMs);
  if (!exported) WriteLog(Format("Fel vid DDE-kommunikation. Felkod: %d", bookkeeping.LastError()));
  bookkeeping.Disconnect();
  return exported;
}

// Waits for the window of a program just started; false after the last wait,
// even when the window shows up in the look that follows it.
bool WaitForProgramWindow(DesktopControl& desktop, const ProgramTitles& titles) {
  int waits = 0;
  while (!FindProgramWindow(desktop, titles.older) && !FindProgramWindow(desktop, titles.newer) &&
         waits < kStartWaits) {
    desktop.ShowWaitCursor();
    desktop.Sleep(kStartWaitMs);
    ++waits;
  }
  return waits < kStartWaits;
}

// Steps on the "System" conversation once the program runs; the run's result.
bool ExportOnProgram(DesktopControl& desktop, CDdeConversation& system, const std::string& companyFolder,
                     const std::string& sieFile, const std::string& firstDay, const ProgramTitles& titles,
                     const std::string& previousSieFile, const std::string& previousFirstDay) {
  const bool opened = system.Execute(OpenCompanyCommand(WithoutTrailingSeparator(companyFolder)), kExecuteTimeoutMs);
  std::string openedFolder;
  const bool answered = system.Request(kOpenCompanyItem, openedFolder);
  if (!opened || !answered || openedFolder.empty()) {
    WriteLog("DDE: Gick inte att öppna företaget.");
    return false;
  }
  if (!system.Execute(SelectYearCommand(firstDay), kExecuteTimeoutMs)) {
    WriteLog(Format("Fel vid DDE-kommunikation. %s kunde inte välja in året (Felkod: %d).", titles.productWord,
                    system.LastError()));
    return false;
  }
  bool result = ExportYear(desktop, sieFile);
  if (!previousFirstDay.empty()) {
    if (!system.Execute(SelectYearCommand(previousFirstDay), kExecuteTimeoutMs)) return false;
    result = ExportYear(desktop, previousSieFile) && result;
  }
  return result;
}

}  // namespace

// --- conversation -----------------------------------------------------------

CDdeConversation::CDdeConversation(DesktopControl& desktop) : desktop_(desktop) {}

CDdeConversation::~CDdeConversation() { Disconnect(); }

bool CDdeConversation::Connect(std::string_view topic) {
  lastError_ = 0;
  if (!channel_) {
    auto channel = desktop_.NewChannel();
    if (const std::uint32_t error = channel->Initialize(); error != 0) {
      lastError_ = error;
      return false;
    }
    channel_ = std::move(channel);
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) desktop_.Sleep(kRetryPauseMs);
    connected_ = channel_->Connect(kServiceName, topic);
    if (connected_) return true;
    lastError_ = channel_->LastError();
    if (lastError_ != kNoConversationEstablished) break;
  }
  return false;
}

bool CDdeConversation::Execute(std::string_view command, std::uint32_t timeoutMs) {
  if (!connected_) {
    lastError_ = kNoConversationEstablished;
    return false;
  }
  ExecuteAnswer answer = ExecuteAnswer::NotAcknowledged;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) desktop_.Sleep(kRetryPauseMs);
    answer = channel_->Execute(command, timeoutMs);
    if (answer != ExecuteAnswer::NotAcknowledged) break;
  }
  lastError_ = answer == ExecuteAnswer::Busy ? kBusyError : channel_->LastError();
  return answer == ExecuteAnswer::Acknowledged;
}

bool CDdeConversation::Request(std::string_view item, std::string& output) {
  output.clear();
  if (!connected_) {
    lastError_ = kNoConversationEstablished;
    return false;
  }
  const RequestAnswer answer = channel_->Request(item, kRequestTimeoutMs);
  lastError_ = answer.busy ? kBusyError : channel_->LastError();
  if (!answer.data) return false;
  output = answer.data->substr(0, answer.data->find('\0'));
  return true;
}

void CDdeConversation::Disconnect() {
  if (channel_) channel_->Close();
  channel_.reset();
  connected_ = false;
}

// --- windows ----------------------------------------------------------------

const ProgramTitles& TitlesOf(bool administration) {
  static const ProgramTitles kAdministration{"KOLM Administration", "Tessal Administration", "Administration"};
  static const ProgramTitles kAssociation{"KOLM Vadorado", "Tessal Vadorado", "Vadorado"};
  return administration ? kAdministration : kAssociation;
}

bool FindProgramWindowProc(DesktopControl& desktop, const DesktopWindow& window, ProgramWindowSearch& search) {
  const std::string title = platform::Utf8Truncate(window.title, kWindowTextChars);
  const std::string className = platform::Utf8Truncate(window.className, kWindowTextChars);
  // Folder windows of the shell carry the folder's name, which may well be the program's.
  const bool shellFolder = Contains(className, "ExploreWClass") || Contains(className, "CabinetWClass");
  if (search.title.empty() || !Contains(title, search.title) || shellFolder) {
    search.found = false;
    return true;
  }
  search.found = true;
  if (!search.closeMatches) return false;
  desktop.CloseWindow(window.id);
  search.found = false;
  return true;
}

namespace {
bool WalkWindows(DesktopControl& desktop, std::string_view title, bool closeMatches) {
  ProgramWindowSearch search{std::string(title), closeMatches, false};
  for (const DesktopWindow& window : desktop.ListWindows()) {
    if (!FindProgramWindowProc(desktop, window, search)) break;
  }
  return search.found;
}
}  // namespace

bool FindProgramWindow(DesktopControl& desktop, std::string_view title) { return WalkWindows(desktop, title, false); }

void CloseProgramWindows(DesktopControl& desktop, std::string_view title) { WalkWindows(desktop, title, true); }

// --- the run ----------------------------------------------------------------

bool RunDdeSieExport(const std::string& programFile, const std::string& companyFolder, const std::string& sieFile,
                     const std::string& firstDay, bool administration, const std::string& previousSieFile,
                     const std::string& previousFirstDay, DesktopControl& desktop) {
  const ProgramTitles& titles = TitlesOf(administration);
  const bool previousYear = !previousFirstDay.empty();

  std::vector<std::string> arguments{companyFolder, sieFile, firstDay};
  if (previousYear) arguments.insert(arguments.end(), {previousSieFile, previousFirstDay});
  for (const std::string& argument : arguments) {
    if (!CanQuote(argument)) {
      WriteLog(Format("DDE: Texten %s innehåller ' och kan inte skickas till programmet.", argument));
      return false;
    }
  }

  std::vector<std::string> files{sieFile};
  if (previousYear) files.push_back(previousSieFile);
  for (const std::string& file : files) {
    if (!CreateEmptyFile(file)) {
      WriteLog(Format("DDE: Filen %s kunde inte skapas.", file));
      return false;
    }
  }

  const bool running = FindProgramWindow(desktop, titles.older) || FindProgramWindow(desktop, titles.newer);
  if (!running) {
    if (desktop.StartProgram(programFile, "/F", companyFolder) <= 32) {
      WriteLog(Format("DDE: Sökvägen %s till '%s' är felaktig", programFile, titles.newer));
      return false;
    }
    if (!WaitForProgramWindow(desktop, titles)) {
      WriteLog(Format("DDE: Tessal %s gick inte att öppna.", titles.productWord));
      return false;  // the started program is left to the user
    }
  }

  bool result = false;
  CDdeConversation system(desktop);
  if (!system.Connect(kSystemTopic)) {
    WriteLog(Format("Fel vid DDE-kommunikation. Felkod: %d", system.LastError()));
  } else {
    std::string formerCompany;
    const bool formerKnown = system.Request(kOpenCompanyItem, formerCompany);
    result = ExportOnProgram(desktop, system, companyFolder, sieFile, firstDay, titles, previousSieFile,
                             previousFirstDay);
    if (formerKnown && !formerCompany.empty()) {
      if (CanQuote(formerCompany)) {
        system.Execute(OpenCompanyCommand(formerCompany), kExecuteTimeoutMs);
      } else {
        WriteLog(Format("DDE: Texten %s innehåller ' och kan inte skickas till programmet.", formerCompany));
      }
    }
  }
  system.Disconnect();
  if (!running) {
    CloseProgramWindows(desktop, titles.older);
    CloseProgramWindows(desktop, titles.newer);
  }
  return result;
}

bool ExportSieThroughDde(const std::string& programFile, const std::string& companyFolder,
                         const std::string& sieFile, const std::string& firstDay, bool administration,
                         const std::string& previousSieFile, const std::string& previousFirstDay,
                         DesktopControl& desktop) {
  desktop.ShowWaitCursor();
  const bool exported = RunDdeSieExport(programFile, companyFolder, sieFile, firstDay, administration,
                                        previousSieFile, previousFirstDay, desktop);
  desktop.HideWaitCursor();
  return exported;
}

// --- the desktop in use -----------------------------------------------------

DesktopControl& SystemDesktopControl();  // dde_desktop_linux.cpp

DesktopControl& CurrentDesktopControl() {
  return g_installedDesktop ? *g_installedDesktop : SystemDesktopControl();
}

ScopedDesktopControl::ScopedDesktopControl(DesktopControl& desktop) : previous_(g_installedDesktop) {
  g_installedDesktop = &desktop;
}

ScopedDesktopControl::~ScopedDesktopControl() { g_installedDesktop = previous_; }

}  // namespace dde
