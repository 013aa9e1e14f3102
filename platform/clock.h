#pragma once
// The local time, through a clock that tests can replace.
#include <string>

namespace platform {

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The clock in use: the system's local time unless a test installed another.
const Clock& CurrentClock();

// Installs `clock` for the life of this object.
class ScopedClock {
 public:
  explicit ScopedClock(const Clock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const Clock* previous_;
};

}  // namespace platform
