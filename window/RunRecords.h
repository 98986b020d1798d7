#pragma once
// The window's one record of its runs. The worker reports straight to the window, which posts each
// record-keeping call through its event queue with the log lines; they are made again here, on the
// window's thread, so the pass chart fills as the passes come and File > Save results and Copy
// results write the very record the chart showed.

#include <optional>

#include "RunRecorder.h"
#include "WindowEvents.h"

class TRunRecords {
 public:
  // A run starts now with these tests and settings.
  void RunStarted(TRunInfo Run, TRunSettings Settings);
  // One record-keeping call of the run under way; ignored when no run of this window is under way.
  void Replay(const TRecordStep& Step);
  // The run's final message arrived: the run under way becomes the last run.
  void RunEnded();

  // The run under way, else the last run (empty before the first).
  const TRunRecord& Shown() const;
  // The last run that ended; null before the first.
  const TRunRecord* LastRun() const { return FHasLastRun ? &FLastRun : nullptr; }
  // Whether a run is under way and its last test has started and not yet ended.
  bool LastTestRunning() const;

 private:
  std::optional<TRunRecorder> FLive;  // the run under way
  TRunRecord FLastRun;
  bool FHasLastRun = false;
};
