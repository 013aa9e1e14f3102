#include "sources/admin/bix_kit.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <boost/format.hpp>

#include "app/application.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace bix {
namespace {

constexpr int kDecorationTries = 64;  // "_Name@0" .. "_Name@63"

[[noreturn]] void LogAndThrow(const std::string& text) {
  WriteLog(text);
  throw std::runtime_error(text);
}

}  // namespace

DesktopLogin CurrentDesktopLogin() { return {theApp.m_strDesktopUser, theApp.m_strDesktopPassword}; }

Kit::Kit(KitConfig config, std::function<DesktopLogin()> login)
    : config_(std::move(config)), login_(std::move(login)) {}

std::string Kit::ReadAppPathsValue(std::string_view name) const {
  const auto& registry = platform::Registry();
  if (!registry.KeyExists(platform::RegistryRoot::LocalMachine, config_.appPathsKey)) {
    LogAndThrow("Det gick inte att öppna registernyckel för BIX.");
  }
  const auto value = registry.ReadString(platform::RegistryRoot::LocalMachine, config_.appPathsKey, name);
  if (!value) LogAndThrow("Det gick inte att hitta sökvägen för BIX.");
  // Windows hands the value over up to its first NUL.
  return value->substr(0, value->find('\0'));
}

const platform::SharedLibrary& Kit::LoadBixDll() {
  std::lock_guard lock(loadMutex_);
  if (library_) return *library_;
  const std::string folder = ReadAppPathsValue("Path");
  // A program folder copied from Windows may spell the file "bix.dll".
  const std::string file = platform::ResolveNoCase(folder, "Bix.dll");
  library_ = platform::SharedLibrary::Open(file);
  if (!library_) LogAndThrow("Det gick inte att ladda Bix.dll");
  return *library_;
}

void* Kit::GetBixProcAddress(std::string_view name) {
  const auto& library = LoadBixDll();
  for (int argumentBytes = 0; argumentBytes < kDecorationTries; ++argumentBytes) {
    const std::string decorated = "_" + std::string(name) + "@" + std::to_string(argumentBytes);
    if (void* address = library.Find(decorated)) return address;
  }
  WriteLog(config_.logPrefix + "Det gick inte att ladda " + std::string(name));
  return nullptr;
}

bool Kit::CheckBixResult(const BixResult& result, std::string_view entryPoint) {
  if (result.code == 0) return true;
  if (std::ranges::find(kBixRemarkCodes, result.code) != std::end(kBixRemarkCodes)) return false;
  const Function getErrorText(*this, "BixGetErrorText");
  const std::string explanation = GetBixErrorTextLocked(*this, getErrorText, result);
  LogAndThrow(boost::str(boost::format("Felkod %d vid anrop av %s. Felbeskrivning från BIX: %s") % result.code %
                         entryPoint % explanation));
}

int Kit::OpenCount() const {
  std::lock_guard lock(mutex_);
  return openCount_;
}

bool Kit::IsOpen() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

Function::Function(Kit& kit, std::string name)
    : kit_(&kit), name_(std::move(name)), address_(kit.GetBixProcAddress(name_)) {}

void* Function::RequireAddress() const {
  // Calling through a missing entry point would crash; fail so the caller can fall back.
  if (!address_) LogAndThrow("BIX saknar funktionen " + name_);
  return address_;
}

bool Function::CallLocked(int sieType, std::string_view yearId, const std::string& fileName,
                          const std::string& folder) const {
  auto* getSie = Bound<BixGetSieFn>();
  // The kit takes the identifier as one character of its own code page.
  const std::string kitId = platform::EncodeFromUtf8(platform::Utf8Truncate(yearId, 1), platform::CodePage::Windows1252, '\0');
  if (kitId.size() != 1 || kitId[0] == '\0') {
    LogAndThrow("Bokföringsåret " + std::string(yearId) + " kan inte anges för BIX");
  }
  std::lock_guard lock(kit_->Mutex());
  const BixResult result = getSie(sieType, kitId[0], fileName.c_str(), folder.c_str());
  return kit_->CheckBixResult(result, name_);
}

void CloseBixLocked(Kit& kit, const Function& close) {
  if (!close.IsBound()) return;
  std::lock_guard lock(kit.Mutex());
  close.Bound<BixCloseFn>()();
}

std::string GetBixErrorTextLocked(Kit& kit, const Function& getErrorText, const BixResult& result) {
  if (!getErrorText.IsBound()) return {};
  // The kit is trusted with the buffer, not with ending its text: the last byte stays NUL.
  std::vector<char> buffer(kBixErrorTextSize, '\0');
  char* bufferAddress = buffer.data();
  {
    std::lock_guard lock(kit.Mutex());
    getErrorText.Bound<BixGetErrorTextFn>()(&result, 0, &bufferAddress, kBixErrorTextSize);
  }
  buffer.back() = '\0';
  return platform::Utf8OrWindows1252(std::string_view(buffer.data()));
}

Session::Session(Kit& kit, const std::string& companyFolder, bool withDesktopLogin)
    : BixOpenEx(kit, "BixOpenEx"),
      BixOpenEx2(kit, "BixOpenEx2"),
      BixClose(kit, "BixClose"),
      BixGetErrorText(kit, "BixGetErrorText"),
      BixGetSie(kit, "BixGetSie"),
      kit_(kit) {
  std::lock_guard lock(kit_.mutex_);
  if (kit_.openCount_ == 0 && !kit_.opened_) {
    const std::string systemFolder = kit_.ReadAppPathsValue("CommonFiles");
    try {
      const DesktopLogin login = kit_.login_();
      // The password alone does not ask for the login variant.
      const bool useLogin = withDesktopLogin && !login.user.empty();
      std::lock_guard callLock(kit_.mutex_);
      if (useLogin) {
        const BixResult result = BixOpenEx2.Bound<BixOpenEx2Fn>()(
            systemFolder.c_str(), companyFolder.c_str(), login.user.c_str(), login.password.c_str(),
            kBixReadOnlyAccess);
        kit_.CheckBixResult(result, BixOpenEx2.Name());
      } else {
        const BixResult result =
            BixOpenEx.Bound<BixOpenExFn>()(systemFolder.c_str(), companyFolder.c_str(), kBixReadOnlyAccess);
        kit_.CheckBixResult(result, BixOpenEx.Name());
      }
    } catch (const std::runtime_error&) {
      CloseBixLocked(kit_, BixClose);
      throw;
    }
    // A remark code (78, 79) leaves the kit open all the same.
    kit_.opened_ = true;
  }
  ++kit_.openCount_;
}

Session::~Session() {
  std::lock_guard lock(kit_.mutex_);
  --kit_.openCount_;
  if (kit_.openCount_ == 0 && kit_.opened_) {
    CloseBixLocked(kit_, BixClose);
    kit_.opened_ = false;
  }
}

}  // namespace bix

namespace BixAdm {
bix::Kit& Kit() {
  static bix::Kit kit({R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmAdm.exe)", "[ADM] "});
  return kit;
}
}  // namespace BixAdm

namespace BixFor {
bix::Kit& Kit() {
  static bix::Kit kit({R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmFor.exe)", "[FOR] "});
  return kit;
}
}  // namespace BixFor
