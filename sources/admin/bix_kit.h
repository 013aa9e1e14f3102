#pragma once
// Loader of the desktop program's development kit "Bix.dll", which opens a
// company of the desktop program and writes its SIE files.
//
// There is one loader per desktop program: `BixAdm` reads the administration
// program's App Paths key, `BixFor` the association program's. Each keeps its
// own process-wide state: the loaded library (never unloaded), a recursive
// mutex held around every kit call, the number of live sessions and whether
// the kit is open. The kit is opened by the first session and closed when the
// last one ends. Failures are logged and thrown as std::runtime_error.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/shared_library.h"

namespace bix {

// The record that every kit call returning a result fills in (through a hidden
// first argument). Only the code means anything to us; the rest is handed back
// to BixGetErrorText as it came.
struct BixResult {
  std::int32_t code = 0;
  unsigned char opaque[16] = {};
};
static_assert(sizeof(BixResult) == 20);

// Codes the kit answers when the call did its work with a remark; never an error.
inline constexpr std::int32_t kBixRemarkCodes[] = {78, 79};

// The entry points as we call them (plain C calls; a BixResult comes back through a hidden pointer).
using BixOpenExFn = BixResult(const char* systemFolder, const char* companyFolder, std::uint32_t access);
using BixOpenEx2Fn = BixResult(const char* systemFolder, const char* companyFolder, const char* user,
                               const char* password, std::uint32_t access);
using BixCloseFn = void();
using BixGetErrorTextFn = void(const BixResult* result, int reserved, char** buffer, int bufferSize);
using BixGetSieFn = BixResult(int sieType, char yearId, const char* fileName, const char* folder);

// What the open calls pass as their last argument: the converter only reads the company.
inline constexpr std::uint32_t kBixReadOnlyAccess = 1;

// Size of the buffer BixGetErrorText writes into.
inline constexpr int kBixErrorTextSize = 512;

// The desktop program's user, given to the converter on its command line ("-M", "-W").
struct DesktopLogin {
  std::string user;
  std::string password;
};
// The application's.
DesktopLogin CurrentDesktopLogin();

struct KitConfig {
  std::string appPathsKey;  // under HKEY_LOCAL_MACHINE
  std::string logPrefix;    // of the binding message, "[ADM] " or "[FOR] "
};

// The process-wide state of one desktop program's kit.
class Kit {
 public:
  explicit Kit(KitConfig config, std::function<DesktopLogin()> login = CurrentDesktopLogin);
  Kit(const Kit&) = delete;
  Kit& operator=(const Kit&) = delete;

  // A string value ("Path", "CommonFiles") of the program's App Paths key.
  std::string ReadAppPathsValue(std::string_view name) const;
  // The kit, loaded from the program folder on first use.
  const platform::SharedLibrary& LoadBixDll();
  // The entry point exported as "_Name@N" for the first N in 0..63; nullptr (and a log line) when none.
  void* GetBixProcAddress(std::string_view name);
  // True for code 0, false for the remark codes; otherwise logs the kit's explanation and throws it.
  bool CheckBixResult(const BixResult& result, std::string_view entryPoint);

  std::recursive_mutex& Mutex() const { return mutex_; }
  int OpenCount() const;
  bool IsOpen() const;

 private:
  friend class Session;

  const KitConfig config_;
  const std::function<DesktopLogin()> login_;
  std::mutex loadMutex_;
  std::unique_ptr<platform::SharedLibrary> library_;
  mutable std::recursive_mutex mutex_;
  int openCount_ = 0;
  bool opened_ = false;
};

// One bound entry point of the kit; unbound (null) when the kit lacks it.
class Function {
 public:
  Function(Kit& kit, std::string name);

  const std::string& Name() const { return name_; }
  bool IsBound() const { return address_ != nullptr; }

  // BixGetSie under the kit's mutex: writes the SIE file of one booking year,
  // named by the first character of `yearId` (UTF-8), which the kit is given in
  // Windows-1252. The result as CheckBixResult gives it; throws when the kit
  // reports an error, lacks the entry point, or the character has no byte there.
  bool CallLocked(int sieType, std::string_view yearId, const std::string& fileName, const std::string& folder) const;

  // The entry point as a function of the given type; throws (and logs) when unbound.
  template <class Signature>
  Signature* Bound() const {
    return reinterpret_cast<Signature*>(RequireAddress());
  }

 private:
  void* RequireAddress() const;

  Kit* kit_;
  std::string name_;
  void* address_;
};

// One use of the kit around one export. Opens the kit when it is the first
// live session (with the desktop program's user when `withDesktopLogin` and a
// user name is known); a later session shares the company the first one opened.
class Session {
 public:
  Session(Kit& kit, const std::string& companyFolder, bool withDesktopLogin);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Function BixOpenEx;
  Function BixOpenEx2;
  Function BixClose;
  Function BixGetErrorText;
  Function BixGetSie;

 private:
  Kit& kit_;
};

// BixClose under the kit's mutex; nothing when the kit lacks it.
void CloseBixLocked(Kit& kit, const Function& close);
// BixGetErrorText under the kit's mutex: the text of `result`, NUL-ended and
// converted to UTF-8; empty when the kit lacks the entry point.
std::string GetBixErrorTextLocked(Kit& kit, const Function& getErrorText, const BixResult& result);

// A session of one desktop program's kit.
template <Kit& (*KitOf)()>
class SessionOf : public Session {
 public:
  SessionOf(const std::string& companyFolder, bool withDesktopLogin)
      : Session(KitOf(), companyFolder, withDesktopLogin) {}
};

}  // namespace bix

// The administration program's kit.
namespace BixAdm {
bix::Kit& Kit();
using CBixSession = bix::SessionOf<Kit>;
using CBixFunction = bix::Function;
}  // namespace BixAdm

// The association program's kit.
namespace BixFor {
bix::Kit& Kit();
using CBixSession = bix::SessionOf<Kit>;
using CBixFunction = bix::Function;
}  // namespace BixFor
