#pragma once
// A reporter that keeps the record of a run from what the tests report, and hands everything on to
// another reporter (the window, which draws the passes as they come), or keeps the lines and
// results to its own Log (the console).

#include "BenchmarkReporter.h"
#include "RunRecord.h"

class TRunRecorder : public TBenchmarkReporter {
 public:
  // Forward: where lines, results and the record-keeping calls go on to; none: they stop here.
  TRunRecorder(TRunInfo Run, TRunSettings Settings, TBenchmarkReporter* Forward = nullptr);

  void Log(const std::string& Text) override;
  void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) override;

  void TestStarted(TBenchmarkType BenchmarkType, std::int64_t BlockSize) override;
  void GFXBlockUsed(const TGFXBlockRecord& Block) override;
  void OpenCLDeviceUsed(const TOpenCLRecord& Device) override;
  void ThreadsUsed(const TThreadsRecord& Threads) override;
  void ReasonLogged(const std::string& Line) override;
  void PassTimed(const TPassRecord& Pass) override;
  void TestEnded(TTestStatus Status, const std::string& Message) override;

  // The record so far. A test that has not said how it ended counts as failed once the record is
  // taken or the next test starts.
  const TRunRecord& Record() const { return FRecord; }
  // Whether the last test has started and not yet said how it ended.
  bool TestUnderWay() const { return FTestOpen; }
  TRunRecord TakeRecord();

 protected:
  // Called once a test's end is recorded.
  virtual void TestRecorded(const TTestRecord& /*Test*/) {}

 private:
  void CloseOpenTest();

  TRunRecord FRecord;
  TBenchmarkReporter* FForward;
  bool FTestOpen = false;
};
