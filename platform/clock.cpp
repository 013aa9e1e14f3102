#include "platform/clock.h"

#include <ctime>

namespace platform {
namespace {

class SystemClock final : public Clock {
 public:
  LocalDateTime Now() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
  }
};

const SystemClock g_systemClock;
const Clock* g_clock = &g_systemClock;

}  // namespace

const Clock& CurrentClock() { return *g_clock; }

ScopedClock::ScopedClock(const Clock& clock) : previous_(g_clock) { g_clock = &clock; }
ScopedClock::~ScopedClock() { g_clock = previous_; }

}  // namespace platform
