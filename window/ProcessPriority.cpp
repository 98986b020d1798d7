#include "ProcessPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int HighPriorityNice = -5;
constexpr int ThreadSteps = 2;

}  // namespace

void RaiseProcessPriority() {
  if (getpriority(PRIO_PROCESS, 0) > HighPriorityNice) (void)setpriority(PRIO_PROCESS, 0, HighPriorityNice);
}

void RaiseCurrentThreadPriority() {
  // On Linux a nice value belongs to a thread when it is set through the thread's own id.
  const auto ThreadId = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int Current = getpriority(PRIO_PROCESS, ThreadId);
  if (errno == 0) (void)setpriority(PRIO_PROCESS, ThreadId, Current - ThreadSteps);
}
