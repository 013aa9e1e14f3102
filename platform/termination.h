#pragma once
// Leaving tidily when the process is asked to end: a run stopped with Ctrl+C,
// `kill` or a closed terminal must still remove what it wrote of the company's.

namespace platform {

// Blocks SIGINT, SIGTERM and SIGHUP and starts a thread that waits for them.
// When one comes, that thread runs `cleanup` and the process then ends as the
// signal would have ended it. Call it first thing in main, before any other
// thread starts: threads started later inherit the blocked signals, so only
// the waiting thread ever takes them.
void CleanUpOnTerminationSignals(void (*cleanup)());

}  // namespace platform
