#pragma once
// Priorities of the process and of a run's worker thread. Best effort: raising a priority needs a
// privilege most users lack, and a benchmark that cannot get it still runs.

// The process's "high priority class": a nice value of -5.
void RaiseProcessPriority();

// The calling thread two steps above the process.
void RaiseCurrentThreadPriority();
