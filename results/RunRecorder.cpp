#include "RunRecorder.h"

#include <utility>

namespace {

// What a test that neither completed nor reported an error is recorded with.
constexpr const char* NoEndMessage = "The test ended without reporting how";

}  // namespace

TRunRecorder::TRunRecorder(TRunInfo Run, TRunSettings Settings, TBenchmarkReporter* Forward)
    : FRecord{std::move(Run), std::move(Settings), {}}, FForward(Forward) {}

void TRunRecorder::Log(const std::string& Text) {
  if (FForward) FForward->Log(Text);
}

void TRunRecorder::SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) {
  if (FForward) FForward->SendResult(Text, BenchmarkType, Finished);
}

void TRunRecorder::TestStarted(TBenchmarkType BenchmarkType, std::int64_t BlockSize) {
  CloseOpenTest();
  if (FForward) FForward->TestStarted(BenchmarkType, BlockSize);
  TTestRecord Test;
  Test.Type = BenchmarkType;
  Test.BlockSize = BlockSize;
  FRecord.Tests.push_back(std::move(Test));
  FTestOpen = true;
}

void TRunRecorder::GFXBlockUsed(const TGFXBlockRecord& Block) {
  if (FTestOpen) FRecord.Tests.back().GFX = Block;
  if (FForward) FForward->GFXBlockUsed(Block);
}

void TRunRecorder::ThreadsUsed(const TThreadsRecord& Threads) {
  if (FTestOpen) FRecord.Tests.back().Threads = Threads;
  if (FForward) FForward->ThreadsUsed(Threads);
}

void TRunRecorder::OpenCLDeviceUsed(const TOpenCLRecord& Device) {
  if (FTestOpen) FRecord.Tests.back().OpenCL = Device;
  if (FForward) FForward->OpenCLDeviceUsed(Device);
}

void TRunRecorder::ReasonLogged(const std::string& Line) {
  if (FTestOpen) {
    std::string& Reason = FRecord.Tests.back().Reason;
    Reason += (Reason.empty() ? "" : " ") + Line;
  }
  if (FForward) FForward->ReasonLogged(Line);
}

void TRunRecorder::PassTimed(const TPassRecord& Pass) {
  if (FTestOpen) FRecord.Tests.back().Passes.push_back(Pass);
  if (FForward) FForward->PassTimed(Pass);
}

void TRunRecorder::TestEnded(TTestStatus Status, const std::string& Message) {
  if (!FTestOpen) return;
  FTestOpen = false;
  if (FForward) FForward->TestEnded(Status, Message);
  TTestRecord& Test = FRecord.Tests.back();
  Test.Status = Status;
  Test.Message = Message;
  // Only a failure has a reason: a test that completed after saying its block was reduced did not fail.
  if (Status != TTestStatus::Failed) Test.Reason.clear();
  TestRecorded(Test);
}

void TRunRecorder::CloseOpenTest() {
  if (FTestOpen) TestEnded(TTestStatus::Failed, NoEndMessage);
}

TRunRecord TRunRecorder::TakeRecord() {
  CloseOpenTest();
  return std::move(FRecord);
}
