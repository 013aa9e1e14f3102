#include "platform/termination.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace platform {

void CleanUpOnTerminationSignals(void (*cleanup)()) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, cleanup] {
    int received = 0;
    if (sigwait(&signals, &received) != 0) return;
    cleanup();
    // End as the signal would have: its default action, taken by this thread.
    ::signal(received, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, received);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(received);
  }).detach();
}

}  // namespace platform
