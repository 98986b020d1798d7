#include "RunRecords.h"

#include <utility>

void TRunRecords::RunStarted(TRunInfo Run, TRunSettings Settings) { FLive.emplace(std::move(Run), std::move(Settings)); }

void TRunRecords::Replay(const TRecordStep& Step) {
  if (FLive) Step.Replay(*FLive);
}

void TRunRecords::RunEnded() {
  if (!FLive) return;
  FLastRun = FLive->TakeRecord();
  FHasLastRun = true;
  FLive.reset();
}

const TRunRecord& TRunRecords::Shown() const { return FLive ? FLive->Record() : FLastRun; }

bool TRunRecords::LastTestRunning() const { return FLive && FLive->TestUnderWay(); }
