#pragma once
// The wait cursor over blocking work on the user-interface thread, behind an
// interface so that controllers stay free of the toolkit.
class BusyIndicator {
 public:
  virtual ~BusyIndicator() = default;
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

// Shows the wait cursor for its lifetime, also when the work throws.
class WaitCursorGuard {
 public:
  explicit WaitCursorGuard(BusyIndicator& busy) : busy_(busy) { busy_.BeginBusy(); }
  ~WaitCursorGuard() { busy_.EndBusy(); }
  WaitCursorGuard(const WaitCursorGuard&) = delete;
  WaitCursorGuard& operator=(const WaitCursorGuard&) = delete;

 private:
  BusyIndicator& busy_;
};
