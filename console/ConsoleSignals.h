#pragma once
// Ctrl-C and SIGTERM for the console front-end. The first stops the run as the window's Stop
// button does (after the current pass, through the run's stop token); a second ends the process
// at once. The signals are taken by a thread of this object's own with sigwait, so no code runs
// inside a signal handler.

#include <atomic>
#include <ostream>
#include <stop_token>
#include <thread>

#include <signal.h>

class TConsoleStopSignals {
 public:
  // Blocks SIGINT and SIGTERM in the calling thread, and so in every thread it starts from now on:
  // make it before anything starts a thread (an OpenCL runtime, a Vulkan driver). Says on Err that
  // the run is stopping when the first signal comes.
  explicit TConsoleStopSignals(std::ostream& Err);
  // Gives both signals their default handling back.
  ~TConsoleStopSignals();
  TConsoleStopSignals(const TConsoleStopSignals&) = delete;
  TConsoleStopSignals& operator=(const TConsoleStopSignals&) = delete;

  std::stop_token Token() const { return FStop.get_token(); }
  // The signal that stopped the run (SIGINT or SIGTERM); 0 while none came.
  int Received() const { return FReceived.load(); }

 private:
  void Watch();

  std::ostream& FErr;
  sigset_t FSignals{};
  sigset_t FPreviousMask{};
  std::stop_source FStop;
  std::atomic<int> FReceived{0};
  std::atomic<bool> FClosing{false};
  std::thread FWatcher;  // last: it starts once everything it reads is there
};
