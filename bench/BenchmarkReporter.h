#pragma once
// The only way out of a test: log lines and the peak result, and the facts that the record of a
// run is made of. The window posts lines and results to its event queue, the console prints
// them, the tests of the program record them.

#include <cstdint>
#include <string>

#include "BenchmarkModel.h"
#include "RunRecord.h"

class TBenchmarkReporter {
 public:
  virtual ~TBenchmarkReporter() = default;
  // Callable from any thread; never blocks on the receiver.
  virtual void Log(const std::string& Text) = 0;
  virtual void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) = 0;

  // Record keeping, called by a test as it goes, on the thread that runs it. A reporter that keeps
  // no record ignores them.
  // A test begins over a block of BlockSize bytes.
  virtual void TestStarted(TBenchmarkType /*BenchmarkType*/, std::int64_t /*BlockSize*/) {}
  // The adapter memory a GFX test walks, once it has its block.
  virtual void GFXBlockUsed(const TGFXBlockRecord& /*Block*/) {}
  // The OpenCL device the test runs on, once it has its objects.
  virtual void OpenCLDeviceUsed(const TOpenCLRecord& /*Device*/) {}
  // The processors an all-core test runs its threads on, one thread each, once they are pinned.
  virtual void ThreadsUsed(const TThreadsRecord& /*Threads*/) {}
  // A line the test has just logged that says why it may fail: a failure's record keeps it beside
  // the error's own message.
  virtual void ReasonLogged(const std::string& /*Line*/) {}
  // One pass, in pass order, as soon as it is timed.
  virtual void PassTimed(const TPassRecord& /*Pass*/) {}
  // How the test ended: after its last line, and for a failure with the error's message.
  virtual void TestEnded(TTestStatus /*Status*/, const std::string& /*Message*/) {}
};
