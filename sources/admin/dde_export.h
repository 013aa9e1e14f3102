#pragma once
// SIE export through the running desktop program, driven over DDE: start the
// administration or association program when it is not running, have it open
// the company, select a booking year and export SIE 4, for the current and the
// previous booking year, put it back on the company it had open, and close it
// again when this run started it.
//
// The conversation logic runs against two interfaces: a DDE client channel,
// and the desktop (top-level windows, program start, wait cursor, waiting).
// On Linux the desktop holds no such program: a run fails with its log line.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dde {

inline constexpr const char* kServiceName = "KOLMAdm";
inline constexpr const char* kSystemTopic = "System";
inline constexpr const char* kBookkeepingTopic = "Bokf";
inline constexpr const char* kOpenCompanyItem = "[SökvägFöretag]";

inline constexpr std::uint32_t kExecuteTimeoutMs = 120000;
inline constexpr std::uint32_t kRequestTimeoutMs = 10000;
inline constexpr int kAttempts = 3;
inline constexpr int kRetryPauseMs = 500;
inline constexpr int kStartWaitMs = 100;
inline constexpr int kStartWaits = 50;
inline constexpr int kSieType = 4;

// Error codes of a conversation (those of the Windows DDE client library).
inline constexpr std::uint32_t kBusyError = 0x4000;
inline constexpr std::uint32_t kNoConversationEstablished = 0x400A;

enum class ExecuteAnswer { Acknowledged, Busy, NotAcknowledged /* refused or timed out */ };

struct RequestAnswer {
  std::optional<std::string> data;  // nullopt when no data came back
  bool busy = false;
};

// One DDE client instance and at most one conversation on it. Texts are UTF-8;
// an implementation exchanges them in the server's code page.
class DdeChannel {
 public:
  virtual ~DdeChannel() = default;
  virtual std::uint32_t Initialize() = 0;  // 0, or the error that prevented it
  virtual bool Connect(std::string_view service, std::string_view topic) = 0;
  virtual ExecuteAnswer Execute(std::string_view command, std::uint32_t timeoutMs) = 0;
  virtual RequestAnswer Request(std::string_view item, std::uint32_t timeoutMs) = 0;
  virtual std::uint32_t LastError() const = 0;
  // Ends the conversation and the instance.
  virtual void Close() = 0;
};

struct DesktopWindow {
  std::uint64_t id = 0;
  std::string title;
  std::string className;
};

// The desktop the run works on.
class DesktopControl {
 public:
  virtual ~DesktopControl() = default;
  // False where no desktop program can ever run: the user is then not told that one starts.
  virtual bool CanStartPrograms() const = 0;
  virtual std::vector<DesktopWindow> ListWindows() = 0;  // the top-level windows
  // Asks the window to close and returns once its program has handled that.
  virtual void CloseWindow(std::uint64_t id) = 0;
  // Opens a program as the shell would; 32 or below means it failed (the shell's rule).
  virtual std::intptr_t StartProgram(const std::string& file, const std::string& parameters,
                                     const std::string& workingFolder) = 0;
  virtual void ShowWaitCursor() = 0;
  virtual void HideWaitCursor() = 0;
  virtual void Sleep(int milliseconds) = 0;
  virtual std::unique_ptr<DdeChannel> NewChannel() = 0;
};

// The desktop in use: the system's unless a test installed another.
DesktopControl& CurrentDesktopControl();

class ScopedDesktopControl {
 public:
  explicit ScopedDesktopControl(DesktopControl& desktop);
  ~ScopedDesktopControl();
  ScopedDesktopControl(const ScopedDesktopControl&) = delete;
  ScopedDesktopControl& operator=(const ScopedDesktopControl&) = delete;

 private:
  DesktopControl* previous_;
};

// One conversation with the desktop program's DDE server, on its own channel.
class CDdeConversation {
 public:
  explicit CDdeConversation(DesktopControl& desktop);
  ~CDdeConversation();
  CDdeConversation(const CDdeConversation&) = delete;
  CDdeConversation& operator=(const CDdeConversation&) = delete;

  bool Connect(std::string_view topic);
  // True when the server acknowledged the command; a busy answer is not retried.
  bool Execute(std::string_view command, std::uint32_t timeoutMs);
  // The item's text (up to its first NUL) in `output`, which is emptied first.
  bool Request(std::string_view item, std::string& output);
  void Disconnect();  // safe to call repeatedly
  std::uint32_t LastError() const { return lastError_; }

 private:
  DesktopControl& desktop_;
  std::unique_ptr<DdeChannel> channel_;  // null until initialised
  bool connected_ = false;
  std::uint32_t lastError_ = 0;
};

// Window titles by which a running program is recognised (a title containing them matches).
struct ProgramTitles {
  const char* older;
  const char* newer;
  const char* productWord;  // "Administration" or "Vadorado", for log lines
};
const ProgramTitles& TitlesOf(bool administration);

// The state of one walk over the top-level windows.
struct ProgramWindowSearch {
  std::string title;
  bool closeMatches = false;
  bool found = false;
};

// Visits one window; false stops the walk.
bool FindProgramWindowProc(DesktopControl& desktop, const DesktopWindow& window, ProgramWindowSearch& search);
bool FindProgramWindow(DesktopControl& desktop, std::string_view title);
void CloseProgramWindows(DesktopControl& desktop, std::string_view title);

// The export run; `previousFirstDay` empty when there is no previous year to export.
// Dates are yyyy-mm-dd.
bool RunDdeSieExport(const std::string& programFile, const std::string& companyFolder, const std::string& sieFile,
                     const std::string& firstDay, bool administration, const std::string& previousSieFile,
                     const std::string& previousFirstDay, DesktopControl& desktop = CurrentDesktopControl());

// The run under the wait cursor.
bool ExportSieThroughDde(const std::string& programFile, const std::string& companyFolder,
                         const std::string& sieFile, const std::string& firstDay, bool administration,
                         const std::string& previousSieFile, const std::string& previousFirstDay,
                         DesktopControl& desktop = CurrentDesktopControl());

}  // namespace dde
