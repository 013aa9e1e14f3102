// The desktop on Linux: no desktop program of the Administration line runs
// here and none can be started, so an export run ends at the program start
// with its log line, and no DDE server ever answers.
#include <chrono>
#include <thread>

#include "platform/paths.h"
#include "sources/admin/dde_export.h"

namespace dde {
namespace {

// The shell's answers for a missing file and for a file it has no program to open with.
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;

class NoServerChannel final : public DdeChannel {
 public:
  std::uint32_t Initialize() override { return 0; }
  bool Connect(std::string_view, std::string_view) override { return false; }
  ExecuteAnswer Execute(std::string_view, std::uint32_t) override { return ExecuteAnswer::NotAcknowledged; }
  RequestAnswer Request(std::string_view, std::uint32_t) override { return {}; }
  std::uint32_t LastError() const override { return kNoConversationEstablished; }
  void Close() override {}
};

class LinuxDesktopControl final : public DesktopControl {
 public:
  bool CanStartPrograms() const override { return false; }
  std::vector<DesktopWindow> ListWindows() override { return {}; }
  void CloseWindow(std::uint64_t) override {}
  std::intptr_t StartProgram(const std::string& file, const std::string&, const std::string&) override {
    return platform::PathExists(file) ? kNoAssociation : kFileNotFound;
  }
  void ShowWaitCursor() override {}
  void HideWaitCursor() override {}
  void Sleep(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
  std::unique_ptr<DdeChannel> NewChannel() override { return std::make_unique<NoServerChannel>(); }
};

}  // namespace

DesktopControl& SystemDesktopControl() {
  static LinuxDesktopControl desktop;
  return desktop;
}

}  // namespace dde
