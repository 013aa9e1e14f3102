#pragma once
// A desktop with a scripted desktop program: its windows, its DDE server and a
// transcript of everything a run did to them, one line per step:
//
//   start <file> <parameters> <folder>     sleep <ms>        close <window title>
//   connect <topic>  (or "... failed")     disconnect <topic>
//   <topic>: <command>  (" -> busy" or " -> refused" when not acknowledged)
//   <topic>: request <item> -> <answer>    (" -> none" when no data came back)
//
// The server answers while a window of the program is open; it acknowledges
// every command unless told otherwise, remembers the company last opened and
// the year last selected, and writes the export text it is given for that year
// into the file it is asked to export.
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sources/admin/dde_export.h"

namespace dde::fake {

class ScriptedDesktop final : public DesktopControl {
 public:
  std::vector<std::string> transcript;
  std::vector<DesktopWindow> windows;

  bool canStartPrograms = true;
  std::intptr_t startResult = 42;
  DesktopWindow programWindow{100, "Tessal Administration - Företag", "KolmAdmMain"};
  int startupWaits = 0;  // waits of the run before the started program's window shows

  std::string openCompany;                        // what "[SökvägFöretag]" answers
  std::map<std::string, ExecuteAnswer> answers;   // per command; acknowledged when absent
  std::set<std::string> refusedTopics;            // connections to these fail
  // What an acknowledged export writes, by the first day (yyyy-mm-dd) of the year
  // selected last; nothing for a year without one.
  std::map<std::string, std::string> exportTexts;
  int waitCursorShown = 0;

  // A program window that is already open.
  void AddWindow(std::string title, std::string className = "KolmAdmMain") {
    windows.push_back({nextId_++, std::move(title), std::move(className)});
  }
  int CountSleeps(int milliseconds) const {
    int count = 0;
    for (const auto& line : transcript) count += line == "sleep " + std::to_string(milliseconds);
    return count;
  }

  bool CanStartPrograms() const override { return canStartPrograms; }
  std::vector<DesktopWindow> ListWindows() override { return windows; }
  void CloseWindow(std::uint64_t id) override {
    std::erase_if(windows, [&](const DesktopWindow& window) {
      if (window.id != id) return false;
      transcript.push_back("close " + window.title);
      return true;
    });
  }
  std::intptr_t StartProgram(const std::string& file, const std::string& parameters,
                             const std::string& folder) override {
    transcript.push_back("start " + file + " " + parameters + " " + folder);
    if (startResult > 32) pendingStart_ = true;
    ShowStartedWindowWhenDue();
    return startResult;
  }
  void ShowWaitCursor() override { ++waitCursorShown; }
  void HideWaitCursor() override {}
  void Sleep(int milliseconds) override {
    transcript.push_back("sleep " + std::to_string(milliseconds));
    if (pendingStart_ && milliseconds == kStartWaitMs) --startupWaits;
    ShowStartedWindowWhenDue();
  }
  std::unique_ptr<DdeChannel> NewChannel() override { return std::make_unique<Channel>(*this); }

 private:
  void ShowStartedWindowWhenDue() {
    if (!pendingStart_ || startupWaits > 0) return;
    pendingStart_ = false;
    windows.push_back(programWindow);
  }
  bool ServerRunning() const {
    for (const auto& window : windows) {
      if (window.className == programWindow.className) return true;
    }
    return false;
  }

  class Channel final : public DdeChannel {
   public:
    explicit Channel(ScriptedDesktop& desktop) : desktop_(desktop) {}
    std::uint32_t Initialize() override { return 0; }
    bool Connect(std::string_view, std::string_view topic) override {
      topic_ = topic;
      connected_ = desktop_.ServerRunning() && !desktop_.refusedTopics.contains(topic_);
      desktop_.transcript.push_back("connect " + topic_ + (connected_ ? "" : " failed"));
      lastError_ = connected_ ? 0 : kNoConversationEstablished;
      return connected_;
    }
    ExecuteAnswer Execute(std::string_view command, std::uint32_t) override {
      const auto scripted = desktop_.answers.find(std::string(command));
      const ExecuteAnswer answer =
          scripted == desktop_.answers.end() ? ExecuteAnswer::Acknowledged : scripted->second;
      static constexpr std::string_view kOpen = "[ÖppnaFöretag('";
      static constexpr std::string_view kExport = "[SieExport('";
      static constexpr std::string_view kSelectYear = "[VäljÅr('";
      if (answer == ExecuteAnswer::Acknowledged && command.starts_with(kOpen)) {
        desktop_.openCompany = command.substr(kOpen.size(), command.size() - kOpen.size() - 3);
      }
      if (answer == ExecuteAnswer::Acknowledged && command.starts_with(kSelectYear)) {
        desktop_.selectedYear_ = command.substr(kSelectYear.size(), command.size() - kSelectYear.size() - 3);
      }
      const auto exportText = desktop_.exportTexts.find(desktop_.selectedYear_);
      if (answer == ExecuteAnswer::Acknowledged && command.starts_with(kExport) &&
          exportText != desktop_.exportTexts.end()) {
        const std::string_view file = command.substr(kExport.size(), command.rfind("';") - kExport.size());
        std::ofstream(std::string(file), std::ios::binary | std::ios::trunc) << exportText->second;
      }
      const char* suffix = answer == ExecuteAnswer::Acknowledged ? ""
                           : answer == ExecuteAnswer::Busy       ? " -> busy"
                                                                 : " -> refused";
      desktop_.transcript.push_back(topic_ + ": " + std::string(command) + suffix);
      lastError_ = answer == ExecuteAnswer::NotAcknowledged ? kExecuteRefused : 0;
      return answer;
    }
    RequestAnswer Request(std::string_view item, std::uint32_t) override {
      RequestAnswer answer;
      if (item == kOpenCompanyItem) answer.data = desktop_.openCompany;
      desktop_.transcript.push_back(topic_ + ": request " + std::string(item) + " -> " +
                                    answer.data.value_or("none"));
      return answer;
    }
    std::uint32_t LastError() const override { return lastError_; }
    void Close() override {
      if (connected_) desktop_.transcript.push_back("disconnect " + topic_);
      connected_ = false;
    }

    static constexpr std::uint32_t kExecuteRefused = 0x4009;

   private:
    ScriptedDesktop& desktop_;
    std::string topic_;
    bool connected_ = false;
    std::uint32_t lastError_ = 0;
  };

  bool pendingStart_ = false;
  std::uint64_t nextId_ = 1;
  std::string selectedYear_;
};

}  // namespace dde::fake
