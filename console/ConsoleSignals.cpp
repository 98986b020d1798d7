#include "ConsoleSignals.h"

#include <pthread.h>

#include <cstdlib>

TConsoleStopSignals::TConsoleStopSignals(std::ostream& Err) : FErr(Err) {
  sigemptyset(&FSignals);
  sigaddset(&FSignals, SIGINT);
  sigaddset(&FSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &FSignals, &FPreviousMask);
  FWatcher = std::thread([this] { Watch(); });
}

TConsoleStopSignals::~TConsoleStopSignals() {
  FClosing = true;
  // Wakes the watcher's sigwait; it sees that this is the end, not the user.
  pthread_kill(FWatcher.native_handle(), SIGTERM);
  FWatcher.join();
  pthread_sigmask(SIG_SETMASK, &FPreviousMask, nullptr);
}

void TConsoleStopSignals::Watch() {
  for (;;) {
    int Signal = 0;
    if (sigwait(&FSignals, &Signal) != 0) continue;
    if (FClosing) return;
    if (FReceived.load() != 0) {
      // The user does not want to wait for the current pass: every line so far is out already,
      // since the console flushes each one.
      std::_Exit(128 + Signal);
    }
    FReceived = Signal;
    FStop.request_stop();
    FErr << "velmora: stopping after the current pass" << (Signal == SIGINT ? "; Ctrl-C again ends at once" : "")
         << "." << std::endl;
  }
}
